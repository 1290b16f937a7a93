// The article window and the smaller receipt windows on the simulator: article files written
// line by line, the non-fiscal receipt, service cash in and out, the void-and-close window's
// states, and receipt copies by dates and numbers.
#include <QDate>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "link/codepage.h"
#include "sales/ui/article_dialog.h"
#include "sales/ui/fiscal_receipt_dialog.h"
#include "sales/ui/non_fiscal_receipt_dialog.h"
#include "sales/ui/receipt_copy_dialog.h"
#include "sales/ui/service_cash_dialog.h"
#include "sales/ui/void_close_dialog.h"
#include "tests/app/ui/window_test_bench.h"

namespace tolvanet {

using Texts = std::vector<std::pair<int, std::string>>;

class ReceiptWindowsTest : public QObject {
  Q_OBJECT
  testing::WindowTestBench bench_;

  Texts Requests() const {
    Texts out;
    for (const auto& r : bench_.reg->requests())
      out.emplace_back(r.code, r.text);
    return out;
  }
  std::string LastMessage() const {
    return bench_.platform.messages.empty() ? "" : bench_.platform.messages.back();
  }
  void Clear() {
    bench_.reg->ClearRequests();
    bench_.platform.messages.clear();
  }
  ui::SalesWindows& w() { return bench_.windows->sales; }
  std::string Data(const char* name) const {
    return std::string(TOLVANET_SOURCE_DIR) + "/tests/sales/data/" + name;
  }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
  }
  void cleanup() { bench_.TearDown(); }

  void everyMenuItemOpensItsWindow() {
    ui::TForm1& m = *bench_.windows->Form1;
    const std::pair<QAction*, QDialog*> items[] = {
        {m.N7, w().Form20}, {m.N8, w().Form21},  {m.N9, w().Form8},
        {m.N10, w().Form9}, {m.N16, w().Form35}, {m.N15, w().Form41},
    };
    for (const auto& [item, dialog] : items) {
      QVERIFY(item->isEnabled());
      bool shown = false;
      QTimer::singleShot(0, dialog, [&shown, d = dialog] {
        shown = d->isVisible();
        d->close();
      });
      item->trigger();
      QVERIFY2(shown, item->text().toUtf8().constData());
    }
  }

  void articleFilesAreWrittenLineByLine() {
    ui::TForm20* f = w().Form20;
    bench_.platform.files.push_back(Data("cp1251_crlf.art"));
    f->Button1->click();
    QCOMPARE(f->Memo1->toPlainText(),
             QString("123;Хлеб белый;4.50;1;2;\n456;Молоко 2,5%;12.00;0;1;\n\n789;Сок;30.25;1;2;"));
    QVERIFY(f->Label3->text().endsWith("cp1251_crlf.art"));
    QCOMPARE(bench_.platform.file_dialogs.back().filter,
             std::string("Product filse -  ART|*.ART|AllFiles (*.*)|*.*"));
    f->Button2->click();
    const Texts expected = {{36, "406172;" + ToCp1251("123;Хлеб белый;4.50;1;2;")},
                            {36, "406172;" + ToCp1251("456;Молоко 2,5%;12.00;0;1;")},
                            {36, "406172;" + ToCp1251("789;Сок;30.25;1;2;")}};
    QCOMPARE(Requests(), expected);
    QCOMPARE(bench_.platform.messages, std::vector<std::string>{"Завершено"});
    QCOMPARE(f->ProgressBar1->value(), 4);

    // A second file replaces the list; the receipt window shows the new one when it opens.
    Clear();
    bench_.platform.files.push_back(Data("long_line.art"));
    f->Button1->click();
    f->Button2->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{36, 36}));
    QCOMPARE(bench_.platform.messages.size(), std::size_t{2});
    QVERIFY(bench_.platform.messages[0].find("не записаны: 2.") != std::string::npos);
    QCOMPARE(bench_.platform.messages[1], std::string("Завершено"));
    w().Form21->FormActivate();
    QCOMPARE(w().Form21->ListBox1->count(), 3);
    QCOMPARE(w().Form21->ListBox1->item(0)->text(), QString("1;Чай;10.00;0;1;"));

    // A time-out leaves its notice in the status bar; the writing goes on.
    Clear();
    bench_.reg->ChangeFaults([](sim::Faults& fl) { fl.no_answer = true; });
    f->Memo1->setPlainText("1;A;1.00;0;1;\n2;B;1.00;0;1;");
    f->Button2->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{36, 36}));
    QCOMPARE(f->StatusPanel->text(), QString("Ошибка! Таймаут устройства! "));
    f->Button3->click();
    QVERIFY(f->Memo1->toPlainText().isEmpty());
    Clear();
    f->Button2->click();  // an empty list: nothing to write
    QVERIFY(bench_.Codes().empty());
    QCOMPARE(bench_.platform.messages, std::vector<std::string>{"Завершено"});

    // Esc during the writing stops it before the next line.
    Clear();
    bench_.reg->ChangeFaults([](sim::Faults& fl) { fl.no_answer = false; });
    f->Memo1->setPlainText("1;A;1.00;0;1;\n2;B;1.00;0;1;\n3;C;1.00;0;1;\n4;D;1.00;0;1;");
    bool pressed = false;
    bench_.platform.on_process_events = [&] {
      if (!pressed && bench_.reg->requests().size() == 1) {
        pressed = true;
        QTest::keyClick(f, Qt::Key_Escape);
      }
    };
    f->Button2->click();
    bench_.platform.on_process_events = nullptr;
    QCOMPARE(bench_.Codes(), std::vector<int>{36});
    QCOMPARE(f->StatusPanel->text(), QString("Запись остановлена"));
    QVERIFY(bench_.platform.messages.empty());
  }

  void nonFiscalReceiptCutsItsLines() {
    ui::TForm8* f = w().Form8;
    f->Button2->click();  // an empty memo: an empty receipt
    QCOMPARE(Requests(), (Texts{{96, "406172;"}, {101, "406172;0;"}}));
    Clear();
    f->Memo1->setPlainText("12345678;0123456789;0123456789;0123456789;12\nЧек");
    f->Button2->click();
    const Texts expected = {{96, "406172;"},
                            {97, "406172;123456780123456789012345678901234567;"},
                            {97, "406172;" + ToCp1251("Чек") + ";"},
                            {101, "406172;0;"}};
    QCOMPARE(Requests(), expected);
    QVERIFY(bench_.platform.messages.empty());

    // The memo's lines are those a list shows: a final line break prints no extra line, an
    // empty line in between is printed.
    const std::vector<std::pair<QString, std::vector<std::string>>> memos = {
        {"a\n", {"a"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"\n", {""}},
    };
    for (const auto& [memo, lines] : memos) {
      Clear();
      f->Memo1->setPlainText(memo);
      f->Button2->click();
      Texts sent = {{96, "406172;"}};
      for (const std::string& line : lines)
        sent.push_back({97, "406172;" + line + ";"});
      sent.push_back({101, "406172;0;"});
      QCOMPARE(Requests(), sent);
    }
    f->Memo1->setPlainText("12345678;0123456789;0123456789;0123456789;12\nЧек");

    // A line the register refuses stops the receipt there; it stays open.
    Clear();
    bench_.reg->AimFault({.error = sim::err::kInvalidDocState, .code = 97, .skip = 1});
    f->Button2->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{96, 97, 97}));
    QVERIFY(!LastMessage().empty());
    QCOMPARE(bench_.reg->State().receipt.state, sim::receipt_state::kNonFiscal);
    bench_.reg->ChangeState([](sim::RegisterState& s) { s.receipt = sim::Receipt{}; });

    QTest::keyClick(f->Memo1, ';');
    QCOMPARE(bench_.platform.captions.back(), std::string("Ввод текста"));
    QCOMPARE(LastMessage(),
             std::string("; - недопустимый символ, \n   будет удален при печати чека!"));
    QVERIFY(f->Memo1->toPlainText().contains(';'));

    Clear();
    bench_.reg->OpenReceipt(sim::DocKind::kSale);
    f->Button2->click();  // the open fails: nothing more is sent
    QCOMPARE(bench_.Codes(), std::vector<int>{96});
    QVERIFY(!LastMessage().empty());
  }

  void serviceCashInAndOut() {
    ui::TForm9* f = w().Form9;
    f->Edit1->setText("5");
    f->Button3->click();
    QCOMPARE(Requests(),
             (Texts{{99, "406172;1;0;2;"}, {119, "406172;0;5.00;"}, {101, "406172;0;"}}));
    QCOMPARE(f->Edit2->text(), QString("5.00"));
    QCOMPARE(LastMessage(), std::string("Служебный внос денег - Успешно!"));

    Clear();
    f->Edit1->setText("-5");  // the sign comes from the button
    f->Button2->click();
    QVERIFY(bench_.Codes().empty());
    QVERIFY(LastMessage().find("больше нуля") != std::string::npos);
    f->Edit1->setText("1.00");
    f->Button2->click();
    QCOMPARE(bench_.reg->requests()[1].text, std::string("406172;0;-1.00;"));
    QCOMPARE(f->Edit2->text(), QString("4.00"));
    QCOMPARE(LastMessage(), std::string("Служебное изъятие денег - Успешно!"));

    // More than the drawer holds: refused in the middle, the service receipt stays open.
    Clear();
    f->Edit1->setText("10");
    f->Button2->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{99, 119}));
    QVERIFY(LastMessage().rfind("Служебное изъятие денег:\n  ", 0) == 0);
    QCOMPARE(bench_.reg->State().receipt.state, sim::receipt_state::kCashInOut);
  }

  void voidAndCloseFollowsStatusByte2() {
    ui::TForm35* f = w().Form35;
    struct Case {
      std::function<void(sim::Register&)> prepare;
      const char* text;
      bool close;
      bool void_;
    };
    const Case cases[] = {
        {[](sim::Register&) {}, "Нет открытых чеков", false, false},
        {[](sim::Register& r) { r.OpenReceipt(sim::DocKind::kNonFiscal); },
         "Открыт нефискальный чек", true, false},
        {[](sim::Register& r) { r.OpenReceipt(sim::DocKind::kSale); }, "Открыт фискальный чек",
         false, true},
        {[](sim::Register& r) {
           r.OpenReceipt(sim::DocKind::kSale);
           r.ChangeState(
               [](sim::RegisterState& s) { s.receipt.state = sim::receipt_state::kCompleted; });
         },
         "Открыт фискальный чек", true, true},
        {[](sim::Register& r) { r.OpenReceipt(sim::DocKind::kReturn); }, "Открыт чек возврата",
         false, true},
    };
    for (const Case& c : cases) {
      bench_.reg->ChangeState([](sim::RegisterState& s) { s.receipt = sim::Receipt{}; });
      c.prepare(*bench_.reg);
      f->FormActivate();
      QCOMPARE(f->StatusPanel->text(), QString(c.text));
      QCOMPARE(f->Button2->isEnabled(), c.close);
      QCOMPARE(f->Button3->isEnabled(), c.void_);
      QCOMPARE(f->Edit1->text(), QString("0000"));
    }
    Clear();
    f->Button3->click();  // the return receipt is voided
    QCOMPARE(Requests(), (Texts{{107, "406172;0;"}}));
    QCOMPARE(f->StatusPanel->text(), QString("Нет открытых чеков"));
    QVERIFY(!f->Button2->isEnabled() && !f->Button3->isEnabled());

    // A failed check leaves both buttons disabled.
    bench_.reg->OpenReceipt(sim::DocKind::kSale);
    bench_.reg->ChangeFaults([](sim::Faults& fl) { fl.no_answer = true; });
    f->FormActivate();
    QCOMPARE(LastMessage(),
             std::string("Проверка состояния регистратора:\n  Таймаут устройства! Ошибка!"));
    QVERIFY(!f->Button2->isEnabled() && !f->Button3->isEnabled());
  }

  void receiptCopiesByDatesAndNumbers() {
    ui::TForm41* f = w().Form41;
    w().Form8->Button2->click();  // document 1, today
    Clear();
    f->FormActivate();
    f->Edit3->setText("0000");
    f->Edit4->setText("2359");
    f->Button1->click();
    const std::string today = QDate::currentDate().toString("ddMMyy").toStdString();
    QCOMPARE(Requests(), (Texts{{238, "406172;" + today + ";0000;" + today + ";2359;0;"}}));
    QCOMPARE(f->Label3->text(), QString("1"));
    QCOMPARE(f->Label4->text(), QString("1"));
    f->Edit1->setText("9");
    f->Edit2->setText("9");
    QTest::mouseClick(f->Label3, Qt::LeftButton);
    QTest::mouseClick(f->Label4, Qt::LeftButton);
    QCOMPARE(f->Edit1->text(), QString("1"));
    QCOMPARE(f->Edit2->text(), QString("1"));
    f->Button3->click();
    QCOMPARE(bench_.reg->requests().back().text, std::string("406172;1;1;"));
    QVERIFY(bench_.platform.messages.empty());

    // Nothing in the period: the message, and no numbers of the earlier search left behind.
    f->DateTimePicker1->setDate(QDate::currentDate().addDays(-3));
    f->DateTimePicker2->setDate(QDate::currentDate().addDays(-2));
    f->Button1->click();
    QVERIFY(LastMessage().rfind("Печать копии чека :\n  ", 0) == 0);
    QVERIFY(f->Label3->text().isEmpty() && f->Label4->text().isEmpty());
    QVERIFY(f->Edit5->text() != "0000");
    f->Edit1->setText("x");
    Clear();
    f->Button3->click();
    QVERIFY(bench_.Codes().empty());
  }
};

}  // namespace tolvanet

QTEST_MAIN(tolvanet::ReceiptWindowsTest)
#include "receipt_windows_test.moc"
