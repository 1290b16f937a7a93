// The firmware read window on the built-in simulator: its wiring to the core loop, Stop, and
// Esc during the loop.
#include <QKeyEvent>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <iterator>

#include "app/ui/windows.h"
#include "link/commands.h"
#include "tests/app/ui/window_test_bench.h"
#include "transfer/ui/firmware_read_dialog.h"

using namespace tolvanet;

namespace {
std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

class FirmwareReadDialogTest : public QObject {
  Q_OBJECT
  testing::WindowTestBench bench_;
  ui::TForm45* f_ = nullptr;

  std::size_t Packets() const {
    std::size_t n = 0;
    for (const auto& r : bench_.reg->requests())
      n += r.code == cmd::kReadDataFromBuf;
    return n;
  }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
    f_ = bench_.windows->transfer.Form45;
  }
  void cleanup() { bench_.TearDown(); }

  void readsTheFirmwareFromItsMenuItem() {
    const std::string path = bench_.Path("fw.hex");
    bench_.platform.files.push_back(path);
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QVERIFY(f_->isVisible());
      QCOMPARE(f_->windowTitle(), QString("Чтение ПО"));
      f_->Button1->click();
      seen = true;
      f_->Button2->click();
    });
    bench_.windows->Form1->N40->trigger();
    QVERIFY(seen);
    const auto image = bench_.reg->FirmwareImage();
    QCOMPARE(Slurp(path), std::string(image.begin(), image.end()));
    QCOMPARE(bench_.platform.messages.back(), std::string("Чтение внутреннего ПО - успешно!"));
    QCOMPARE(bench_.platform.file_dialogs.back().filter,
             std::string("HEX файлы|*.HEX|Все файлы|*.*"));
    QCOMPARE(bench_.platform.file_dialogs.back().default_suffix, std::string("HEX"));
    QCOMPARE(f_->Edit7->text(), QString("0000"));
    QCOMPARE(f_->ProgressBar1->value(), 0);
  }

  void cancelledFileChoiceSendsNothing() {
    f_->Button1->click();
    QVERIFY(bench_.Codes().empty());
  }

  // "Стоп", Esc and "Выход" all end the loop before the next packet; only "Выход" then
  // closes the window, Esc leaves it open with the outcome.
  void stopEscAndExitDuringTheLoop_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Стоп") << 0;
    QTest::newRow("Esc") << 1;
    QTest::newRow("Выход") << 2;
  }
  void stopEscAndExitDuringTheLoop() {
    QFETCH(int, how);
    const std::string path = bench_.Path("fw.hex");
    bench_.platform.files.push_back(path);
    bool pressed = false;
    bool second_start_blocked = false;
    bench_.platform.on_process_events = [&] {
      if (pressed || Packets() < 3)
        return;
      pressed = true;
      second_start_blocked = !f_->Button1->isEnabled();
      if (how == 0) {
        f_->Button3->click();
      } else if (how == 1) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(f_, &esc);
      } else {
        f_->Button2->click();
      }
    };
    bool open_after = false;
    QTimer::singleShot(0, [&] {
      f_->Button1->click();
      open_after = f_->isVisible();
      if (f_->isVisible())
        f_->Button2->click();
    });
    bench_.windows->Form1->N40->trigger();
    QVERIFY(pressed);
    QCOMPARE(open_after, how != 2);
    QVERIFY(second_start_blocked);
    QVERIFY(!f_->isVisible());
    QCOMPARE(bench_.platform.messages.back(),
             std::string("Чтение остановлено по запросу пользователя!"));
    const auto image = bench_.reg->FirmwareImage();
    const std::string file = Slurp(path);
    QVERIFY(!file.empty() && file.size() < image.size());
    QCOMPARE(file, std::string(image.begin(), image.begin() + static_cast<long>(file.size())));
  }
};

QTEST_MAIN(FirmwareReadDialogTest)
#include "firmware_read_dialog_test.moc"
