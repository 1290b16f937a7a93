// The demo's "Чековая лента" window: opened beside the main window, it fills with what the
// built-in register prints, also while a window waits for the register's answer.
#include <QScrollBar>
#include <QStatusBar>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "app/ui/demo_tape.h"
#include "app/ui/main_window.h"
#include "app/ui/tape_window.h"
#include "link/codepage.h"
#include "link/engine.h"
#include "tests/app/ui/window_test_bench.h"

using namespace tolvanet;
using tolvanet::testing::WindowTestBench;

class TapeWindowTest : public QObject {
  Q_OBJECT

 private:
  WindowTestBench bench_;
  std::unique_ptr<ui::TapeWindow> tape_;

  bool Ok(int code, const std::string& text) {
    return TheEngine().ExecuteCommand(code, ToCp1251(text)).error_code == "0000";
  }
  // A receipt of one loaf, paid in cash.
  bool SellReceipt() {
    return Ok(36, "406172;7;Хліб;12.50;0;1;") && Ok(99, "406172;1;1;0;") &&
           Ok(100, "406172;7;1.000;12.50;") && Ok(103, "406172;0;20.00;") && Ok(101, "406172;1;");
  }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    tape_ = std::make_unique<ui::TapeWindow>();
    ui::ConnectTape(*tape_, *bench_.reg);
    tape_->AddOpener(bench_.windows->Form1.get());
    bench_.windows->Form1->show();
    tape_->ShowBeside(bench_.windows->Form1.get());
  }
  void cleanup() {
    bench_.reg->SetPrintSink({});
    tape_.reset();
    bench_.TearDown();
  }

  void opensEmptyAndGrowsWithEverySoldReceipt() {
    QVERIFY(tape_->isVisible());
    QVERIFY(tape_->Text().isEmpty());
    QVERIFY(bench_.ConnectAndClear());
    QVERIFY(SellReceipt());
    QCoreApplication::processEvents();  // the document was posted before the answer came
    const QString first = tape_->Text();
    QVERIFY2(first.contains(QStringLiteral("Хліб")), qPrintable(first));
    QVERIFY(first.contains(QStringLiteral("СУМА")));
    // Exactly the register's own lines.
    const auto docs = bench_.reg->printed();
    QStringList expected;
    for (const std::string& line : docs.back().tape)
      expected << QString::fromStdString(line);
    QCOMPARE(first, expected.join('\n'));

    QVERIFY(SellReceipt());
    QCoreApplication::processEvents();
    const QString both = tape_->Text();
    QVERIFY(both.startsWith(first + "\n\n✂"));
    QCOMPARE(both.count(QStringLiteral("СУМА")), 2);
    // Newest at the bottom, scrolled to it.
    QScrollBar* bar = tape_->Memo1->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
    // For the documentation: TOLVANET_TAPE_SCREENSHOT=FILE.png keeps a picture of the window.
    if (const char* shot = std::getenv("TOLVANET_TAPE_SCREENSHOT"))
      QVERIFY(tape_->grab().save(QString::fromLocal8Bit(shot)));
  }

  void fillsWhileAWindowWaitsForTheRegister() {
    QVERIFY(bench_.ConnectAndClear());
    QVERIFY(Ok(36, "406172;7;Хліб;12.50;0;1;") && Ok(99, "406172;1;1;0;") &&
            Ok(100, "406172;7;1.000;12.50;") && Ok(103, "406172;0;20.00;"));
    bench_.reg->ChangeFaults([](sim::Faults& f) { f.answer_delay_ms = 300; });
    bool shown_while_waiting = false;
    bench_.platform.on_process_events = [&] {
      if (tape_->Text().contains(QStringLiteral("СУМА")))
        shown_while_waiting = true;
    };
    QVERIFY(Ok(101, "406172;1;"));
    bench_.platform.on_process_events = nullptr;
    QVERIFY(shown_while_waiting);
  }

  void savesToATextFileAndEmpties() {
    QVERIFY(bench_.ConnectAndClear());
    QVERIFY(SellReceipt());
    QCoreApplication::processEvents();
    const std::string path = bench_.Path("saved tape.txt");
    bench_.platform.files.push_back(path);
    tape_->Button1->click();
    std::ifstream in(path, std::ios::binary);
    std::stringstream saved;
    saved << in.rdbuf();
    QCOMPARE(QString::fromStdString(saved.str()), tape_->Text() + "\n");
    QVERIFY(bench_.platform.messages.empty());

    tape_->Button2->click();
    QVERIFY(tape_->Text().isEmpty());
    QVERIFY(SellReceipt());
    QCoreApplication::processEvents();
    QVERIFY(!tape_->Text().startsWith("\n"));  // no cut line before the first document
    QVERIFY(tape_->Text().startsWith(QString::fromStdString(bench_.reg->printed().back().tape[0])));
  }

  void savingWhereNothingCanBeWrittenSaysSo() {
    bench_.platform.files.push_back(bench_.Path("no such folder/tape.txt"));
    tape_->Button1->click();
    QCOMPARE(bench_.platform.messages.size(), std::size_t{1});
  }

  void reopenedFromTheStatusBar() {
    tape_->close();
    QVERIFY(!tape_->isVisible());
    auto* opener = bench_.windows->Form1->findChild<QPushButton*>("TapeOpener");
    QVERIFY(opener);
    opener->click();
    QVERIFY(tape_->isVisible());
  }
};

QTEST_MAIN(TapeWindowTest)
#include "tape_window_test.moc"
