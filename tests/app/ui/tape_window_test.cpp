// The demo's "Чековая лента" window: opened beside the main window, it fills with what the
// built-in register prints, also while a window waits for the register's answer.
#include <QPainter>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
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
  }

  // The logo shows as its picture in the window; the text (and the saved file) keeps the block
  // characters the register's tape has. Two receipts with the same logo share one picture.
  void showsTheLogoAsAPicture() {
    QVERIFY(bench_.ConnectAndClear());
    bench_.reg->ChangeState([](sim::RegisterState& s) {
      s.logo_width = 16;
      s.logo_height = 4;
      std::fill(s.logo.begin(), s.logo.begin() + 8, std::uint8_t{0xF0});
    });
    QVERIFY(Ok(39, "406172;0;0;0400;40;32;32;25;"));
    QVERIFY(SellReceipt());
    QVERIFY(SellReceipt());
    QCoreApplication::processEvents();
    const auto docs = bench_.reg->printed();
    QCOMPARE(docs.back().logo_lines, std::size_t{2});
    QStringList expected;
    for (const std::string& line : docs[docs.size() - 2].tape)
      expected << QString::fromStdString(line);
    expected << QString() << QString::fromStdString(sim::CutLine(docs.back().tape_width));
    for (const std::string& line : docs.back().tape)
      expected << QString::fromStdString(line);
    QCOMPARE(tape_->Text(), expected.join('\n'));
    QCOMPARE(tape_->PictureCount(), 2);
    int images = 0;
    QSet<QString> names;
    for (QTextBlock b = tape_->Memo1->document()->begin(); b.isValid(); b = b.next()) {
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        if (!f.isImageFormat())
          continue;
        ++images;
        names << f.toImageFormat().name();
        const QImage shown =
            tape_->Memo1->document()
                ->resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()))
                .value<QImage>();
        QVERIFY(!shown.isNull());
        QCOMPARE(shown.width(), 16 * shown.height() / 4);                   // square dots
        QVERIFY(shown.pixelColor(0, 0).lightness() < 100);                  // a dark dot top left
        QVERIFY(shown.pixelColor(shown.width() - 1, 0).lightness() > 200);  // paper on the right
      }
      QVERIFY2(!b.text().contains(QStringLiteral("█")), qPrintable(b.text()));
    }
    QCOMPARE(images, 2);
    QCOMPARE(names.size(), 1);

    // For the documentation: TOLVANET_TAPE_SCREENSHOT=FILE.png keeps a picture of the window
    // after a receipt with a lettered logo.
    if (const char* shot = std::getenv("TOLVANET_TAPE_SCREENSHOT")) {
      tape_->Button2->click();
      QImage lettering(200, 40, QImage::Format_RGB32);
      lettering.fill(Qt::white);
      QPainter painter(&lettering);
      QFont font = painter.font();
      font.setPixelSize(30);
      font.setBold(true);
      painter.setFont(font);
      painter.drawRect(0, 0, 199, 39);
      painter.drawText(lettering.rect(), Qt::AlignCenter, QStringLiteral("ТОЛВАНЕТ"));
      painter.end();
      bench_.reg->ChangeState([&](sim::RegisterState& s) {
        s.logo_width = lettering.width();
        s.logo_height = lettering.height();
        std::fill(s.logo.begin(), s.logo.end(), std::uint8_t{0});
        for (int y = 0; y < lettering.height(); ++y)
          for (int x = 0; x < lettering.width(); ++x)
            if (qGray(lettering.pixel(x, y)) < 128)
              s.logo[static_cast<std::size_t>(y * 25 + x / 8)] |= std::uint8_t(0x80 >> (x % 8));
      });
      QVERIFY(Ok(39, "406172;0;0;0400;00;32;32;25;"));
      QVERIFY(SellReceipt());
      QCoreApplication::processEvents();
      QVERIFY(tape_->grab().save(QString::fromLocal8Bit(shot)));
    }
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
