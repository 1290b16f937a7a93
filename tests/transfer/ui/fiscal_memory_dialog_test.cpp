// The fiscal memory window on the built-in simulator: the input check, its wiring to the core
// loops, the erase question, Stop and Esc during a dump.
#include <QCloseEvent>
#include <QKeyEvent>
#include <QSpontaneKeyEvent>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <iterator>

#include "app/ui/windows.h"
#include "link/commands.h"
#include "tests/app/ui/window_test_bench.h"
#include "transfer/ui/fiscal_memory_dialog.h"

using namespace tolvanet;

namespace {
std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
std::string Pattern(std::size_t n) {
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i < n; ++i)
    bytes[i] = static_cast<char>(i * 13 + 5);
  return bytes;
}
}  // namespace

class FiscalMemoryDialogTest : public QObject {
  Q_OBJECT
  testing::WindowTestBench bench_;
  ui::TForm7* f_ = nullptr;

  std::string Flash(std::size_t n) const {
    const auto flash = bench_.reg->State().flash.Bytes();
    return std::string(flash.begin(), flash.begin() + static_cast<long>(n));
  }
  std::size_t Requests(int code) const {
    std::size_t n = 0;
    for (const auto& r : bench_.reg->requests())
      n += r.code == code;
    return n;
  }
  // Opens the window from its menu item, runs `body` in it and closes it.
  void Open(const std::function<void()>& body) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      body();
      seen = true;
      if (f_->isVisible())
        f_->Button1->click();
    });
    bench_.windows->Form1->N20->trigger();
    QVERIFY(seen);
  }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
    bench_.reg->FillFlash(0, Pattern(400));
    f_ = bench_.windows->transfer.Form7;
  }
  void cleanup() { bench_.TearDown(); }

  void inputCheckEnablesReadAndWrite() {
    f_->Edit4->setText("10");
    f_->Edit5->setText("20");
    Open([&] {
      // Every opening starts with the buttons off.
      QVERIFY(!f_->Button3->isEnabled());
      QVERIFY(!f_->Button4->isEnabled());
      QVERIFY(f_->Button2->isEnabled());
      f_->Edit5->setText("120");
      QVERIFY(f_->Button3->isEnabled() && f_->Button4->isEnabled());
      f_->Edit4->setText("-1");
      QCOMPARE(bench_.platform.messages.back(), std::string("Ошибка! Только десятичные цифры!"));
      QVERIFY(f_->Button3->isEnabled());  // keeps its state
      f_->Edit4->clear();
      QVERIFY(!f_->Button3->isEnabled() && !f_->Button4->isEnabled());
    });
    QVERIFY(bench_.Codes().empty());
  }

  void dumpAndRestoreThroughTheButtons() {
    const std::string path = bench_.Path("flash.bin");
    bench_.platform.files.push_back(path);
    Open([&] {
      f_->Edit4->setText("0");
      f_->Edit5->setText("120");
      f_->Button3->click();
    });
    QCOMPARE(Slurp(path), Pattern(120));
    QCOMPARE(bench_.platform.messages.back(), std::string("Успешно. Чтение данных завершено."));
    QCOMPARE(bench_.platform.file_dialogs.back().title,
             std::string("Чтение данныхт из флеш-памяти в файл"));
    QCOMPARE(f_->Edit6->text(), QString("150"));
    QCOMPARE(f_->CGauge1->value(), 100);
    QCOMPARE(f_->Edit1->text(), QString("0000"));
    QCOMPARE(f_->Edit2->text().size(), 18);  // six status bytes
    QCOMPARE(f_->Edit8->text(), QString("0"));

    bench_.platform.files.push_back(path);
    Open([&] {
      f_->Edit4->setText("200");
      f_->Edit5->setText("120");
      f_->Button4->click();
    });
    QCOMPARE(Flash(320).substr(200), Pattern(120));
    QCOMPARE(bench_.platform.messages.back(), std::string("Успешно. Запись данных завершена."));
  }

  void eraseAsksWithCancelAsDefault() {
    bench_.platform.answers = {false, true};
    Open([&] {
      f_->Button2->click();
      QCOMPARE(Requests(cmd::kClearFlash), std::size_t{0});
      f_->Button2->click();
    });
    QCOMPARE(bench_.platform.asked.size(), std::size_t{2});
    QVERIFY(bench_.platform.asked[0].default_cancel);
    QCOMPARE(Requests(cmd::kClearFlash), std::size_t{1});
    QCOMPARE(Flash(10), std::string(10, '\xFF'));
  }

  // During a dump the erase button is off; Stop and Esc end it after a block, and the window
  // stays open (it closes only with "Закрыть").
  void stopAndEscDuringADump_data() {
    QTest::addColumn<bool>("esc");
    QTest::newRow("Остановить") << false;
    QTest::newRow("Esc") << true;
  }
  void stopAndEscDuringADump() {
    QFETCH(bool, esc);
    const std::string path = bench_.Path("flash.bin");
    bench_.platform.files.push_back(path);
    bool pressed = false;
    bool erase_off = false;
    bench_.platform.on_process_events = [&] {
      if (pressed || Requests(cmd::kReadFlash) < 2)
        return;
      pressed = true;
      erase_off = !f_->Button2->isEnabled();
      if (esc) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(f_, &key);
      } else {
        f_->Button5->click();
      }
    };
    Open([&] {
      f_->Edit4->setText("0");
      f_->Edit5->setText("400");
      f_->Button3->click();
      QVERIFY(f_->isVisible());
    });
    QVERIFY(pressed);
    QVERIFY(erase_off);
    QCOMPARE(bench_.platform.messages.back(),
             std::string("Чтение данных остановлено пользователем."));
    const std::string file = Slurp(path);
    QVERIFY(file.size() >= 50 && file.size() < 400);
    QCOMPARE(file, Pattern(file.size()));
    QVERIFY(f_->Button2->isEnabled());
  }
  // The window closes only with "Закрыть": Esc when idle and the desktop's close leave it
  // open and send nothing.
  void escWhenIdleKeepsTheWindowOpen() {
    bool open_after_esc = false;
    bool open_after_close = false;
    Open([&] {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(f_, &key);
      open_after_esc = f_->isVisible();
      QCloseEvent close;
      QSpontaneKeyEvent::setSpontaneous(&close);
      QApplication::instance()->notify(f_, &close);  // sendEvent would clear the flag
      open_after_close = f_->isVisible() && !close.isAccepted();
    });
    QVERIFY(open_after_esc);
    QVERIFY(open_after_close);
    QVERIFY(!f_->isVisible());  // "Закрыть" closed it
    QVERIFY(bench_.Codes().empty());
  }
};

QTEST_MAIN(FiscalMemoryDialogTest)
#include "fiscal_memory_dialog_test.moc"
