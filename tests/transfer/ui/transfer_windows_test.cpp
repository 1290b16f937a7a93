// What the three transfer windows share, each through its own buttons on the built-in
// simulator: a password that would shift the fields of a command is refused before anything
// is sent, and a damaged answer (checksum error or NAK) inside a transfer ends it with one
// message, or with none of its own when a repeat mends it.
#include <QImage>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <functional>
#include <iterator>

#include "app/ui/windows.h"
#include "link/commands.h"
#include "link/free_text.h"
#include "tests/app/ui/window_test_bench.h"
#include "transfer/ui/firmware_read_dialog.h"
#include "transfer/ui/fiscal_memory_dialog.h"
#include "transfer/ui/logo_dialog.h"

using namespace tolvanet;

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Pattern(std::size_t n) {
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i < n; ++i)
    bytes[i] = static_cast<char>(i * 11 + 7);
  return bytes;
}

constexpr char kChecksumWords[] = "ошибка контрольной суммы";
constexpr char kNakWords[] = "(NAK)";

}  // namespace

class TransferWindowsTest : public QObject {
  Q_OBJECT
  testing::WindowTestBench bench_;

  ui::TForm45* Firmware() const { return bench_.windows->transfer.Form45; }
  ui::TForm7* Flash() const { return bench_.windows->transfer.Form7; }
  ui::TForm6* Logo() const { return bench_.windows->transfer.Form6; }

  // Opens a window from its menu item, runs `body` in it and closes it with `close`.
  void Open(QAction* item, QDialog* window, QPushButton* close, const std::function<void()>& body) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      body();
      seen = true;
      if (window->isVisible())
        close->click();
    });
    item->trigger();
    QVERIFY(seen);
  }
  void InFirmware(const std::function<void()>& body) {
    Open(bench_.windows->Form1->N40, Firmware(), Firmware()->Button2, body);
  }
  void InFlash(const std::function<void()>& body) {
    Open(bench_.windows->Form1->N20, Flash(), Flash()->Button1, body);
  }
  void InLogo(const std::function<void()>& body) {
    Open(bench_.windows->Form1->N18, Logo(), Logo()->Button1, body);
  }
  // A BMP of `width` x `height`, all black, for the logo window to open next.
  void OfferPicture(int width, int height) {
    const std::string path = bench_.Path("logo.bmp");
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QVERIFY(image.save(QString::fromStdString(path), "BMP"));
    bench_.platform.files.push_back(path);
  }
  // The address and count boxes; the window enables its read and write buttons when they
  // change (each opening disables them), so they are emptied first.
  void SetRange(const QString& start, const QString& count) {
    Flash()->Edit4->clear();
    Flash()->Edit4->setText(start);
    Flash()->Edit5->setText(count);
  }
  std::size_t Requests(int code) const {
    std::size_t n = 0;
    for (const auto& r : bench_.reg->requests())
      n += r.code == code;
    return n;
  }
  void Forget() {
    bench_.reg->ClearRequests();
    bench_.platform.messages.clear();
    bench_.platform.asked.clear();
  }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
    bench_.reg->FillFlash(0, Pattern(400));
  }
  void cleanup() { bench_.TearDown(); }

  // "1;999" into the fiscal memory write would send the address 999 and a shifted count.
  void fieldShiftingPasswordSendsNothing() {
    std::ofstream(bench_.Path("restore.bin"), std::ios::binary) << Pattern(100);
    const QString password = "1;999";
    struct Case {
      const char* what;
      std::function<void()> run;
      std::vector<int> codes;  // none of these may be sent
    };
    const std::vector<Case> cases = {
        {"firmware read",
         [&] {
           bench_.platform.files.push_back(bench_.Path("fw.hex"));
           InFirmware([&] {
             Firmware()->Edit2->setText(password);
             Firmware()->Button1->click();
           });
         },
         {cmd::kSetDataSource, cmd::kReadDataFromBuf}},
        {"flash dump",
         [&] {
           bench_.platform.files.push_back(bench_.Path("dump.bin"));
           InFlash([&] {
             Flash()->Edit3->setText(password);
             SetRange("0", "100");
             Flash()->Button3->click();
           });
         },
         {cmd::kReadFlash}},
        {"flash restore",
         [&] {
           bench_.platform.files.push_back(bench_.Path("restore.bin"));
           InFlash([&] {
             Flash()->Edit3->setText(password);
             SetRange("0", "100");
             Flash()->Button4->click();
           });
         },
         {cmd::kWriteFlash}},
        {"flash erase",
         [&] {
           InFlash([&] {
             Flash()->Edit3->setText(password);
             Flash()->Button2->click();
           });
         },
         {cmd::kClearFlash}},
        {"logo limits on opening",
         [&] {
           Logo()->Edit1->setText(password);
           InLogo([] {});
         },
         {cmd::kGetDiagnosticInfo}},
        {"logo programming",
         [&] {
           Logo()->Edit1->setText("406172");
           OfferPicture(16, 2);
           InLogo([&] {
             Logo()->Button2->click();
             Logo()->Edit1->setText(password);
             Logo()->Button3->click();
           });
         },
         {cmd::kSetUserLogo, cmd::kSetLogoParams}},
    };
    for (const Case& c : cases) {
      Forget();
      c.run();
      for (int code : c.codes)
        QVERIFY2(Requests(code) == 0, c.what);
      QVERIFY2(bench_.platform.asked.empty(), c.what);
      QVERIFY2(bench_.platform.messages == std::vector<std::string>{FreeTextMessage("Пароль")},
               c.what);
    }
    QVERIFY(!std::filesystem::exists(bench_.Path("fw.hex")));
    QVERIFY(!std::filesystem::exists(bench_.Path("dump.bin")));
    QCOMPARE(Slurp(bench_.Path("restore.bin")), Pattern(100));
    const auto flash = bench_.reg->State().flash.Bytes();
    QCOMPARE(std::string(flash.begin(), flash.begin() + 400), Pattern(400));
  }

  // A block that a repeat mends shows nothing: the dump ends with its success message alone.
  void damagedDumpBlockMendedByARepeat_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("checksum") << static_cast<int>(sim::AimedFault::Kind::kBadChecksum);
    QTest::newRow("NAK") << static_cast<int>(sim::AimedFault::Kind::kNak);
  }
  void damagedDumpBlockMendedByARepeat() {
    QFETCH(int, kind);
    bench_.reg->AimFault(
        {.kind = static_cast<sim::AimedFault::Kind>(kind), .code = cmd::kReadFlash, .skip = 1});
    const std::string path = bench_.Path("dump.bin");
    bench_.platform.files.push_back(path);
    InFlash([&] {
      SetRange("0", "150");
      Flash()->Button3->click();
    });
    QCOMPARE(bench_.platform.messages,
             std::vector<std::string>{"Успешно. Чтение данных завершено."});
    QCOMPARE(Slurp(path), Pattern(150));
    QCOMPARE(Requests(cmd::kReadFlash), std::size_t{4});
    QCOMPARE(Flash()->Edit8->text(), QString("1"));
  }

  // A damaged answer that ends a transfer is told once, under the transfer's heading.
  void damagedAnswerEndsWithOneMessage_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("words");
    QTest::newRow("checksum") << static_cast<int>(sim::AimedFault::Kind::kBadChecksum)
                              << QString(kChecksumWords);
    QTest::newRow("NAK") << static_cast<int>(sim::AimedFault::Kind::kNak) << QString(kNakWords);
  }
  void damagedAnswerEndsWithOneMessage() {
    QFETCH(int, kind);
    QFETCH(QString, words);
    std::ofstream(bench_.Path("restore.bin"), std::ios::binary) << Pattern(150);
    const auto fault = static_cast<sim::AimedFault::Kind>(kind);
    struct Case {
      const char* what;
      int code;
      int skip;
      std::string heading;
      std::function<void()> run;
    };
    const std::vector<Case> cases = {
        {"firmware packet", cmd::kReadDataFromBuf, 2, "ReadDataFromBuf ошибка:\n  ",
         [&] {
           bench_.platform.files.push_back(bench_.Path("fw.hex"));
           InFirmware([&] { Firmware()->Button1->click(); });
         }},
        {"flash dump, repeats spent", cmd::kReadFlash, 1,
         "Ошибка чтения данных из флеш-памяти. \nЧтение данных остановлено. ErrCode=",
         [&] {
           bench_.reg->AimFault({.kind = fault, .code = cmd::kReadFlash, .skip = 2});
           bench_.platform.files.push_back(bench_.Path("dump.bin"));
           InFlash([&] {
             Flash()->Edit7->setText("1");
             SetRange("0", "150");
             Flash()->Button3->click();
           });
         }},
        {"flash restore block", cmd::kWriteFlash, 1, "Ошибка записи в флеш-память:\n  ",
         [&] {
           bench_.platform.files.push_back(bench_.Path("restore.bin"));
           InFlash([&] {
             SetRange("0", "150");
             Flash()->Button4->click();
           });
         }},
        {"flash erase", cmd::kClearFlash, 0, "Ошибка обнуления флеш-памяти:\n  ",
         [&] { InFlash([&] { Flash()->Button2->click(); }); }},
        {"logo chunk", cmd::kSetUserLogo, 1, "Ошибка записи логотипа:\n  ",
         [&] {
           OfferPicture(200, 3);
           InLogo([&] {
             Logo()->Button2->click();
             Logo()->Button3->click();
           });
         }},
    };
    for (const Case& c : cases) {
      Forget();
      bench_.reg->ClearAimedFaults();
      bench_.reg->AimFault({.kind = fault, .code = c.code, .skip = c.skip});
      c.run();
      const auto& messages = bench_.platform.messages;
      QVERIFY2(messages.size() == 1, c.what);
      QVERIFY2(messages[0].rfind(c.heading, 0) == 0, (c.what + (": " + messages[0])).c_str());
      QVERIFY2(messages[0].find(words.toStdString()) != std::string::npos,
               (c.what + (": " + messages[0])).c_str());
    }
  }
};

QTEST_MAIN(TransferWindowsTest)
#include "transfer_windows_test.moc"
