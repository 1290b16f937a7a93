// The fiscal receipt window on the simulator: a whole receipt with the exact command texts,
// every button's failure, inputs refused before anything is sent, and card payments through the
// simulated terminal.
#include "sales/ui/fiscal_receipt_dialog.h"

#include <QTest>
#include <fstream>

#include "app/profile.h"
#include "link/codepage.h"
#include "sales/ui/article_dialog.h"
#include "sim/terminal.h"
#include "tests/app/ui/window_test_bench.h"

namespace tolvanet {

using Texts = std::vector<std::pair<int, std::string>>;

class FiscalReceiptDialogTest : public QObject {
  Q_OBJECT
  testing::WindowTestBench bench_;
  ui::TForm21* f_ = nullptr;

  // Code and text of every request since the last clear.
  Texts Requests() const {
    Texts out;
    for (const auto& r : bench_.reg->requests())
      out.emplace_back(r.code, r.text);
    return out;
  }
  std::string LastMessage() const {
    return bench_.platform.messages.empty() ? "" : bench_.platform.messages.back();
  }
  // An article file of two lines in Windows-1251 with CR LF, chosen at the first opening.
  void OpenWithArticles() {
    const std::string path = bench_.Path("goods.art");
    std::ofstream(path, std::ios::binary)
        << ToCp1251("123;Хлеб;4.50;1;2;\r\n124;Сок;30.00;0;1;\r\n");
    bench_.platform.files.push_back(path);
    f_->FormActivate();
  }
  void Select(int row) {
    f_->ListBox1->setCurrentRow(row);
    f_->ListBox1Click();
  }
  void Clear() {
    bench_.reg->ClearRequests();
    bench_.platform.messages.clear();
  }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
    f_ = bench_.windows->sales.Form21;
  }
  void cleanup() { bench_.TearDown(); }

  void firstOpeningAsksForTheArticleFileOnce() {
    f_->FormActivate();  // cancelled: the list stays empty
    QCOMPARE(bench_.platform.file_dialogs.size(), std::size_t{1});
    QCOMPARE(bench_.platform.file_dialogs[0].default_suffix, std::string("ART"));
    QCOMPARE(f_->ListBox1->count(), 0);
    f_->Button2->click();
    QCOMPARE(LastMessage(), std::string("Не выбран товар!"));
    OpenWithArticles();
    QCOMPARE(f_->ListBox1->count(), 2);
    QCOMPARE(f_->ListBox1->item(0)->text(), QString("123;Хлеб;4.50;1;2;"));
    f_->FormActivate();  // loaded: no second question
    QCOMPARE(bench_.platform.file_dialogs.size(), std::size_t{2});
    QCOMPARE(f_->ComboBox1->count(), TheAppState().payment_type_count);
    QCOMPARE(f_->ComboBox2->currentIndex(), 1);
    QVERIFY(bench_.Codes().empty());
  }

  void receiptWalkSendsTheExactTexts() {
    OpenWithArticles();
    f_->Button1->click();
    Select(0);
    f_->Edit10->setText("2");
    f_->Edit9->setText("4.50");
    f_->Button2->click();
    Select(1);
    f_->Edit10->setText("1.000");
    f_->Edit9->setText("30");
    f_->Button2->click();
    f_->Edit4->setText("-10");
    f_->Button3->click();  // on the last item
    f_->Button13->click();
    QCOMPARE(f_->Label5->text(), QString("36.00"));
    QTest::mouseClick(f_->Label5, Qt::LeftButton);
    QCOMPARE(f_->Edit8->text(), QString("36.00"));
    f_->Edit8->setText("50");
    f_->Button8->click();  // cash, with change
    f_->Button9->click();
    const Texts expected = {
        {99, "406172;1;1;0;"},
        {36, "406172;" + ToCp1251("123;Хлеб;4.50;1;2;")},
        {100, "406172;123;2.000;4.50;"},
        {36, "406172;" + ToCp1251("124;Сок;30.00;0;1;")},
        {100, "406172;124;1.000;30.00;"},
        {104, "406172;-10.00;"},
        {109, "406172;1;"},
        {103, "406172;0;50.00;"},
        {101, "406172;1;"},
    };
    QCOMPARE(Requests(), expected);
    QVERIFY(bench_.platform.messages.empty());
    QCOMPARE(f_->Edit7->text(), QString("0000"));
    QVERIFY(f_->Button16->isEnabled());
    const auto docs = bench_.reg->printed();
    QVERIFY(!docs.empty() && docs.back().closed);
    QCOMPARE(bench_.reg->State().receipt.state, 0);
  }

  void eachButtonShowsItsOwnFailure() {
    OpenWithArticles();
    Select(0);
    struct Case {
      QPushButton* button;
      const char* message;
    };
    const Case cases[] = {
        {f_->Button1, "Ошибка открытия чека"},
        {f_->Button10, "Ошибка печати комментария"},
        {f_->Button2, "Ошибка "},
        {f_->Button3, "Ошибка надбавки-скидки"},
        {f_->Button4, "Ошибка надбавки-скидки"},
        {f_->Button6, "Ошибка надбавки-скидки"},
        {f_->Button7, "Ошибка надбавки-скидки"},
        {f_->Button19, "Ошибка надбавки-скидки"},
        {f_->Button20, "Ошибка надбавки-скидки"},
        {f_->Button12, "Ошибка аннулирования"},
        {f_->Button5, "Ошибка аннулирования"},
        {f_->Button14, "Ошибка аннулирования"},
        {f_->Button15, "Ошибка аннулирования"},
        {f_->Button13, "Ошибка печати итога"},
        {f_->Button8, "Ошибка оплаты чека"},
        {f_->Button9, "Ошибка закрытия чека"},
    };
    f_->Edit8->setText("1.00");
    for (const Case& c : cases) {
      Clear();
      bench_.reg->SetNextError(0x0B07);
      c.button->click();
      QCOMPARE(LastMessage(), std::string(c.message));
      QCOMPARE(bench_.Codes().size(), std::size_t{1});  // the sale stops after the article
      QVERIFY(f_->Edit7->text() != "0000");
    }

    // The sale itself refused by the register, and a time-out with the button's own text.
    Clear();
    f_->Button1->click();
    f_->Edit10->setText("100000");
    f_->Button2->click();
    QCOMPARE(LastMessage(), std::string("Ошибка продажи"));
    Clear();
    f_->Edit10->setText("1");
    bench_.reg->AimFault({.error = sim::err::kInvalidDocState, .code = 100});
    f_->Button2->click();  // the article is programmed, the sale refused
    QCOMPARE(bench_.Codes(), (std::vector<int>{36, 100}));
    QCOMPARE(LastMessage(), std::string("Ошибка продажи"));
    bench_.reg->ChangeFaults([](sim::Faults& fl) { fl.no_answer = true; });
    f_->Button9->click();
    QCOMPARE(LastMessage(), std::string("Таймаут устройства! Ошибка закрыиия чека!"));
  }

  void refusedInputsSendNothing() {
    OpenWithArticles();
    Select(0);
    struct Case {
      QLineEdit* edit;
      const char* text;
      QPushButton* button;
      const char* message;
    };
    const Case cases[] = {
        {f_->Edit3, "", f_->Button2, "Не выбран товар!"},
        {f_->Edit10, "0", f_->Button2, "Кол-во"},
        {f_->Edit9, "-0.01", f_->Button2, "Цена"},
        {f_->Edit3, "12x;A;1.00;0;1;", f_->Button2, "Код товара"},
        {f_->Edit12, "one", f_->Button1, "не является целым числом"},
        {f_->Edit4, "5%", f_->Button3, "не является числом"},
        {f_->Edit15, "", f_->Button20, "не является целым числом"},
        {f_->Edit8, "abc", f_->Button8, "Сумма оплаты"},
        {f_->Edit8, "0", f_->Button8, "Сумма оплаты"},
        {f_->Edit2, "a;b", f_->Button10, "\";\""},
        {f_->Edit1, "40;6172", f_->Button9, "\";\""},
        {f_->Edit11, "01234567890", f_->Button17, "Длина штрих-кода не равна 12 символов! Ошибка!"},
        {f_->Edit11, "01234567890A", f_->Button17, "цифр"},
    };
    for (const Case& c : cases) {
      const QString before = c.edit->text();
      c.edit->setText(c.text);
      c.button->click();
      QVERIFY2(LastMessage().find(c.message) != std::string::npos, LastMessage().c_str());
      c.edit->setText(before);
    }
    QVERIFY(bench_.Codes().empty());
  }

  void displayFlagOffSendsZeroToTotalAndClose() {
    f_->CheckBox2->setChecked(false);
    f_->Button13->click();
    f_->Button9->click();
    QCOMPARE(Requests(), (Texts{{109, "406172;0;"}, {101, "406172;0;"}}));
  }

  void barCodeAndDisplayUseTheFixedPassword() {
    f_->Edit1->setText("1111");
    f_->Button17->click();
    f_->ComboBox2->setCurrentIndex(2);
    f_->Button18->click();
    const auto requests = bench_.reg->requests();
    QCOMPARE(requests.size(), std::size_t{2});
    QCOMPARE(requests[0].code, std::uint8_t{111});
    QVERIFY(requests[0].text.rfind("406172;50;", 0) == 0);
    QCOMPARE(requests[1].text, std::string("406172;2;0;Comment for printing;"));
    QVERIFY(!f_->Button16->isEnabled());  // these two leave the status button alone
    QVERIFY(bench_.platform.messages.empty());
    // A refusal is shown now, not swallowed.
    bench_.reg->SetNextError(0x0B07);
    f_->Button18->click();
    QVERIFY(LastMessage().rfind("Вывод на индикатор:", 0) == 0);
  }

  void cardPaymentGoesThroughTheTerminal() {
    sim::Terminal terminal;
    QVERIFY2(terminal.Start(), terminal.error_text().c_str());
    WritePrivateProfileString("Communication", "Terminal", terminal.device_path(), bench_.Ini());
    TheAppState().el_journal = "КСЕФ";  // as the main window reads it from the file on connecting
    for (auto [code, text] : {std::pair{99, "406172;1;1;0;"},
                              {36, "406172;7;Tea;500.00;0;0;"},
                              {100, "406172;7;1.000;500.00;"}}) {
      QCOMPARE(bench_.reg->Execute(code, text).error_code, std::string("0000"));
    }
    Clear();
    f_->card_timings.read_limit = std::chrono::milliseconds(2000);
    f_->card_timings.step_limit = std::chrono::milliseconds(3000);
    f_->FormActivate();
    f_->ComboBox1->setCurrentIndex(1);
    f_->Edit8->setText(" 12.34 ");
    f_->Button8->click();
    QVERIFY2(bench_.platform.messages.empty(), LastMessage().c_str());
    QCOMPARE(terminal.payments().size(), std::size_t{1});
    QCOMPARE(terminal.payments()[0].amount, std::string("1234"));
    const auto requests = bench_.reg->requests();
    const std::string id = terminal.payments()[0].transaction_id;
    bool registered = false;
    for (const auto& r : requests)
      registered = registered || (r.code == 120 && r.text == "406172;1;12.34;" + id + ";");
    QVERIFY(registered);
    QCOMPARE(f_->Edit7->text(), QString("0000"));
    // On paper: the card lines, the payment with its transaction, then the signature lines.
    using Kind = sim::PrintedLine::Kind;
    const std::vector<sim::PrintedLine> printed = bench_.reg->printed().back().lines;
    const std::vector<sim::PrintedLine> tail(printed.end() - 8, printed.end());
    const std::vector<sim::PrintedLine> expected = {
        {Kind::kText, "VISA CARD"},
        {Kind::kText, "**** **** 1234 5678"},
        {Kind::kText, "TERMINAL T1000001 AUTH OK"},
        {Kind::kPayment, "1;12.34;" + id + ";"},
        {Kind::kText, ToCp1251("ПІДПИС")},
        {Kind::kText, ToCp1251("КАСИРА . . . . . . . . ")},
        {Kind::kText, ToCp1251("ПІДПИС")},
        {Kind::kText, ToCp1251("КЛІЄНТА. . . . . . . . ")},
    };
    QVERIFY(tail == expected);

    // Without the card lines nothing is printed, only CardPayment registered (besides the
    // routine's look at the receipt state); with a typed identifier the terminal is not asked.
    auto payment_requests = [this] {
      Texts out;
      for (const auto& r : Requests()) {
        if (r.first != 128)
          out.push_back(r);
      }
      return out;
    };
    Clear();
    f_->CheckBox4->setChecked(true);
    f_->Edit8->setText("1");
    f_->Button8->click();
    QCOMPARE(payment_requests().size(), std::size_t{1});
    QCOMPARE(payment_requests()[0].first, 120);
    Clear();
    f_->CheckBox3->setChecked(true);
    f_->Edit13->setText("ID-000000000000000000-cut");  // the box takes 20 characters
    f_->Button8->click();
    QCOMPARE(payment_requests(), (Texts{{120, "406172;1;1.00;ID-00000000000000000;"}}));
    QCOMPARE(terminal.payments().size(), std::size_t{2});
    f_->CheckBox3->setChecked(false);
    f_->CheckBox4->setChecked(false);

    // The wait for the card is cancelled with Esc; nothing is charged or registered.
    terminal.ChangeBehaviour(
        [](sim::TerminalBehaviour& b) { b.silence = sim::TerminalBehaviour::Silence::kCardData; });
    Clear();
    int pumps = 0;
    QString stage;
    bench_.platform.on_process_events = [&] {
      if (++pumps == 5) {
        stage = f_->CardStageLabel->text();
        QTest::keyClick(f_, Qt::Key_Escape);
      }
    };
    f_->Button8->click();
    bench_.platform.on_process_events = nullptr;
    QVERIFY2(stage.startsWith("Ожидание карты"), stage.toUtf8().constData());
    QVERIFY(f_->CardStageLabel->text().isEmpty());
    QVERIFY(!bench_.platform.messages.empty());
    for (const auto& r : bench_.reg->requests())
      QVERIFY(r.code != 120);
    terminal.Stop();
  }

  // Esc while the terminal is waited for cancels the wait and nothing else: the window stays
  // open with the outcome and the payment type, so a second "Оплатить" is a card payment
  // again, never cash.
  void escDuringACardWaitKeepsTheWindowAndItsPaymentType() {
    sim::Terminal terminal;
    QVERIFY2(terminal.Start(), terminal.error_text().c_str());
    WritePrivateProfileString("Communication", "Terminal", terminal.device_path(), bench_.Ini());
    TheAppState().el_journal = "КСЕФ";
    for (auto [code, text] : {std::pair{99, "406172;1;1;0;"},
                              {36, "406172;7;Tea;500.00;0;0;"},
                              {100, "406172;7;1.000;500.00;"}}) {
      QCOMPARE(bench_.reg->Execute(code, text).error_code, std::string("0000"));
    }
    f_->card_timings.read_limit = std::chrono::milliseconds(2000);
    f_->card_timings.step_limit = std::chrono::milliseconds(3000);
    f_->show();  // activation: the article file question is cancelled
    f_->ComboBox1->setCurrentIndex(2);
    f_->Edit8->setText("5.00");
    terminal.ChangeBehaviour(
        [](sim::TerminalBehaviour& b) { b.silence = sim::TerminalBehaviour::Silence::kCardData; });
    Clear();
    bool pressed = false;
    bench_.platform.on_process_events = [&] {
      if (!pressed && f_->CardStageLabel->text().startsWith("Ожидание карты")) {
        pressed = true;
        QTest::keyClick(f_, Qt::Key_Escape);
      }
    };
    f_->Button8->click();
    bench_.platform.on_process_events = nullptr;
    QVERIFY(pressed);
    QVERIFY(f_->isVisible());
    QCOMPARE(f_->ComboBox1->currentIndex(), 2);
    QCOMPARE(bench_.platform.messages,
             std::vector<std::string>{"Оплата банковской картой прервана оператором."});
    for (const auto& r : bench_.reg->requests())
      QVERIFY(r.code != 120 && r.code != 103);

    // The hurried second press goes to the terminal with the same type.
    terminal.ChangeBehaviour(
        [](sim::TerminalBehaviour& b) { b.silence = sim::TerminalBehaviour::Silence::kNone; });
    Clear();
    f_->Button8->click();
    QVERIFY2(bench_.platform.messages.empty(), LastMessage().c_str());
    QCOMPARE(terminal.payments().size(), std::size_t{1});
    bool card = false;
    for (const auto& r : bench_.reg->requests()) {
      QVERIFY(r.code != 103);
      card = card || (r.code == 120 && r.text.rfind("406172;2;5.00;", 0) == 0);
    }
    QVERIFY(card);
    f_->Button11->click();
    terminal.Stop();
  }
};

}  // namespace tolvanet

QTEST_MAIN(tolvanet::FiscalReceiptDialogTest)
#include "fiscal_receipt_dialog_test.moc"
