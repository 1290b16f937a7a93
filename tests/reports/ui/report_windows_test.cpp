// The "Отчеты" windows against the built-in simulator: what each button sends, where a failure
// stops, inputs refused before anything is sent, and what each window sets up when it opens.
#include <QTimer>
#include <QtTest>
#include <functional>
#include <utility>

#include "app/app_state.h"
#include "link/codepage.h"
#include "link/decimal.h"
#include "reports/ui/daily_reports_dialog.h"
#include "reports/ui/extra_reports_dialog.h"
#include "reports/ui/free_resources_dialog.h"
#include "reports/ui/periodic_report_dialog.h"
#include "reports/ui/sold_goods_report_dialog.h"
#include "reports/ui/vrn303_reports_dialog.h"
#include "tests/app/ui/window_test_bench.h"

using namespace tolvanet;
using Sent = std::vector<std::pair<int, std::string>>;

class ReportWindowsTest : public QObject {
  Q_OBJECT

 private:
  testing::WindowTestBench bench_;
  testing::ScriptedPlatform& platform_ = bench_.platform;
  sim::Register*& reg_ = bench_.reg;
  ui::ReportWindows& W() { return bench_.windows->reports; }

  Sent Requests() const {
    Sent sent;
    for (const auto& r : reg_->requests())
      sent.emplace_back(r.code, r.text);
    return sent;
  }
  void Forget() {
    reg_->ClearRequests();
    platform_.messages.clear();
  }
  // Opens a window from its menu item, runs `check` while it is open, then closes it.
  void Open(QAction* item, QDialog* dialog, const std::function<void()>& check) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      seen = dialog->isVisible();
      check();
      dialog->reject();
    });
    item->trigger();
    QVERIFY(seen);
    QVERIFY(!dialog->isVisible());
  }
  static bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
  }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
    reg_->ChangeFaults([](sim::Faults& f) { f.syn_interval_ms = 1; });
  }
  void cleanup() { bench_.TearDown(); }

  void everyReportsItemOpensItsWindow() {
    ui::TForm1& main = *bench_.windows->Form1;
    const std::vector<std::tuple<QAction*, QDialog*, QString>> items = {
        {main.N11, static_cast<QDialog*>(W().Form10), "Информация о свободных ресурсах и статусе"},
        {main.VRN3031, static_cast<QDialog*>(W().Form48), "VRN303 дневные отчеты"},
        {main.N12, static_cast<QDialog*>(W().Form23), "Печать дневных отчетов"},
        {main.N13, static_cast<QDialog*>(W().Form25), "Печать периодического отчета "},
        {main.N14, static_cast<QDialog*>(W().Form24), "Отчет по реализованным товарам"},
        {main.N22, static_cast<QDialog*>(W().Form31), "Печать дополнительных дневных отчетов"},
    };
    for (const auto& [item, dialog, title] : items) {
      QVERIFY(item->isEnabled());
      Open(item, dialog,
           [&, title = title, dialog = dialog] { QCOMPARE(dialog->windowTitle(), title); });
    }
  }

  void dailyReportButtonsSendTheirCommands() {
    ui::TForm23* f = W().Form23;
    f->Edit1->setText("406172");
    const std::string title = ToCp1251("%MHJc*** Контрольная лента ***");
    struct Case {
      QPushButton* button;
      Sent sent;
      QString box;  // the error code box afterwards
    };
    const Case cases[] = {
        {f->Button1, {{161, "406172;1;"}}, "0000"},
        {f->Button2, {{161, "406172;0;"}}, "0000"},
        {f->Button5,
         {{96, "406172;"}, {97, "406172;" + title + ";"}, {166, "406172;2;;;"}, {101, "406172;0;"}},
         "untouched"},
        {f->Button6, {{161, "406172;2;"}}, "0000"},
    };
    for (const auto& c : cases) {
      Forget();
      TheAppState().status_available = false;
      f->Edit3->setText("untouched");
      c.button->click();
      QCOMPARE(Requests(), c.sent);
      QCOMPARE(platform_.messages, std::vector<std::string>{});
      QCOMPARE(f->Edit3->text(), c.box);
      QVERIFY(TheAppState().status_available);
      QVERIFY(f->Button4->isEnabled());
    }
    // "Закрыть" clears the box and disables the status button, and sets the flag too.
    TheAppState().status_available = false;
    f->Button3->click();
    QVERIFY(f->Edit3->text().isEmpty());
    QVERIFY(!f->Button4->isEnabled());
    QVERIFY(TheAppState().status_available);
  }

  void dailyReportFailureShowsTheHeading() {
    ui::TForm23* f = W().Form23;
    reg_->SetNextError(0x0101);
    TheAppState().status_available = false;
    f->Button1->click();  // X: the flag only on success
    QCOMPARE(bench_.Codes(), std::vector<int>{161});
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY(StartsWith(platform_.messages[0], "Печать дневных отчетов:\n  "));
    QCOMPARE(f->Edit3->text(), QString("0101"));
    QVERIFY(!TheAppState().status_available);
    QVERIFY(f->Button4->isEnabled());  // the status of the failing reply can be looked at
  }

  void unloadWithAndWithoutTheArticleBase() {
    TheAppState().access_level = "high";
    ui::TForm48* f = W().Form48;
    f->CheckBox1->setChecked(false);
    f->Button6->click();
    QCOMPARE(Requests(), (Sent{{161, "406172;5;"}, {161, "406172;2;"}}));
    QCOMPARE(f->Edit3->text(), QString("0000"));

    Forget();
    reg_->ChangeState([](sim::RegisterState& s) { s.articles[5] = sim::Article{}; });
    f->CheckBox1->setChecked(true);
    f->Button6->click();
    QCOMPARE(Requests(), (Sent{{161, "406172;5;"}, {161, "406172;2;"}, {59, "406172;"}}));
    QCOMPARE(platform_.messages, std::vector<std::string>{});
    QVERIFY(reg_->State().articles.empty());
    QVERIFY(TheAppState().status_available);
    QVERIFY(f->Button4->isEnabled());
  }

  void unloadStopsWhenItsFirstStepFails() {
    ui::TForm48* f = W().Form48;
    f->CheckBox1->setChecked(true);
    reg_->SetNextError(0x0101);
    f->Button6->click();
    QCOMPARE(Requests(), (Sent{{161, "406172;5;"}}));
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY(StartsWith(platform_.messages[0], "Печать дневных отчетов:\n  "));

    // The article base refused (its fixed password is not the programming one): the fixed
    // text, with its trailing blank, after both tape steps.
    Forget();
    reg_->ChangeState([](sim::RegisterState& s) {
      s.admin_password = "777";
      s.programming_password = "888";
      s.reports_password = "555";
    });
    f->Edit1->setText("555");
    f->Button6->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{161, 161, 59}));
    QCOMPARE(platform_.messages, std::vector<std::string>{"Ошибка "});
    QVERIFY(f->Edit3->text() != QString("0000"));
  }

  void vrn303WindowFollowsAccessLevelAndStatusFlagAtEachOpening() {
    ui::TForm48* f = W().Form48;
    ui::TForm1& main = *bench_.windows->Form1;
    TheAppState().access_level = "medium";
    TheAppState().status_available = false;
    Open(main.VRN3031, f, [&] {
      QVERIFY(f->Button6->isHidden());  // never seen by a "medium" operator
      QVERIFY(!f->Button4->isEnabled());
    });
    TheAppState().access_level = "high";
    TheAppState().status_available = true;
    Open(main.VRN3031, f, [&] {
      QVERIFY(!f->Button6->isHidden());
      QVERIFY(f->Button4->isEnabled());
      // The status button refreshes the window instead of opening the status window.
      f->Edit3->setText("0000");
      TheAppState().access_level = "medium";
      f->Button4->click();
      QVERIFY(f->Button6->isHidden());
      QVERIFY(f->Edit3->text().isEmpty());
      QVERIFY(f->Button4->isEnabled());
    });
    QCOMPARE(bench_.Codes(), std::vector<int>{});
  }

  void soldGoodsLastCodeFollowsTheAccessLevelAtEachOpening() {
    ui::TForm24* f = W().Form24;
    ui::TForm1& main = *bench_.windows->Form1;
    for (const auto& [level, code] :
         {std::pair{"high", "99999999999999"}, std::pair{"medium", "999999999"},
          std::pair{"high", "99999999999999"}}) {
      TheAppState().access_level = level;
      Open(main.N14, f, [&, code = code] {
        QCOMPARE(f->Edit4->text(), QString(code));
        QVERIFY(f->Edit3->text().isEmpty());
        QVERIFY(!f->Button4->isEnabled());
      });
    }
  }

  void soldGoodsReportSendsCodesAndClosesAfterAFailure() {
    ui::TForm24* f = W().Form24;
    f->Edit2->setText("0");
    f->Edit4->setText("99999999999999");
    f->Button1->click();
    QCOMPARE(Requests(),
             (Sent{{96, "406172;"}, {164, "406172;0;99999999999999;"}, {101, "406172;0;"}}));
    QCOMPARE(platform_.messages, std::vector<std::string>{});
    QVERIFY(f->Button4->isEnabled());

    // The register refuses the report: the receipt is still closed.
    Forget();
    f->Edit2->setText("9");
    f->Edit4->setText("1");
    f->Button1->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{96, 164, 101}));
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY(StartsWith(platform_.messages[0], "Отчет по реализованным товарам:\n  "));
    QCOMPARE(f->Edit3->text(), QString("0000"));  // the closing's code came last
    QCOMPARE(reg_->State().receipt.state, 0);

    // Its status button asks the register afresh, then shows the status window.
    Forget();
    // The status window opens only after the answer came: close it as soon as it shows.
    bool shown = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      if (bench_.windows->Form5->isVisible()) {
        shown = true;
        poll.stop();
        bench_.windows->Form5->reject();
      }
    });
    poll.start(5);
    f->Button4->click();
    QVERIFY(shown);
    QCOMPARE(bench_.Codes(), std::vector<int>{128});
  }

  void nonNumericInputSendsNothing() {
    ui::TForm24* goods = W().Form24;
    goods->Edit2->setText("12a");
    goods->Edit4->setText("999");
    goods->Button1->click();
    QCOMPARE(platform_.messages, std::vector<std::string>{NotAnIntegerMessage("12a")});

    ui::TForm25* periodic = W().Form25;
    periodic->RadioGroup1->Item(1)->click();
    periodic->Edit1->setText("1");
    periodic->Edit2->setText("x");
    periodic->Button1->click();
    QCOMPARE(platform_.messages.back(), NotAnIntegerMessage("x"));
    QCOMPARE(bench_.Codes(), std::vector<int>{});
    QCOMPARE(reg_->State().receipt.state, 0);
  }

  void periodicReportByDatesAndByNumbers() {
    ui::TForm25* f = W().Form25;
    ui::TForm1& main = *bench_.windows->Form1;
    Open(main.N13, f, [&] {
      QCOMPARE(f->DateTimePicker1->date(), QDate::currentDate());
      QCOMPARE(f->DateTimePicker2->date(), QDate::currentDate());
      QCOMPARE(f->DateTimePicker1->displayFormat(), QString("dd.MM.yy"));
    });
    // One daily report on 6 June 2014.
    reg_->ChangeState([](sim::RegisterState& s) {
      s.z_reports.push_back({1, *sim::ParseDate("060614") + 3600, 0, 0, 0});
    });
    f->RadioGroup1->Item(0)->click();
    f->RadioGroup2->SetItemIndex(1);  // Полный
    f->DateTimePicker1->setDate(QDate(2014, 6, 5));
    f->DateTimePicker2->setDate(QDate(2014, 6, 7));
    f->Button1->click();
    QCOMPARE(Requests(),
             (Sent{{96, "406172;"}, {162, "406172;050614;070614;1;"}, {101, "406172;0;"}}));
    QCOMPARE(platform_.messages, std::vector<std::string>{});
    QCOMPARE(f->Edit8->text(), QString("0000"));

    Forget();
    f->RadioGroup1->Item(1)->click();
    QVERIFY(!f->GroupBox2->isHidden());
    QVERIFY(f->GroupBox1->isHidden());
    f->RadioGroup2->SetItemIndex(0);
    f->Edit1->setText("1");
    f->Edit2->setText("1");
    f->Button1->click();
    QCOMPARE(Requests(), (Sent{{96, "406172;"}, {163, "406172;1;1;0;"}, {101, "406172;0;"}}));
  }

  void extraReportFailureLeavesTheReceiptOpen() {
    ui::TForm31* f = W().Form31;
    ui::TForm1& main = *bench_.windows->Form1;
    f->ComboBox1->setCurrentIndex(2);
    Open(main.N22, f, [&] { QCOMPARE(f->ComboBox1->currentIndex(), 0); });
    f->ComboBox1->setCurrentIndex(2);
    f->Button1->click();
    QCOMPARE(Requests(), (Sent{{96, "406172;"}, {166, "406172;2;;;"}, {101, "406172;0;"}}));

    // A wrong password: the report fails and, unlike the sold goods report, no 101 follows.
    Forget();
    f->Edit1->setText("1");
    f->Button1->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{96, 166}));
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY(StartsWith(platform_.messages[0], "Печать дополнительных дневных отчетов:\n  "));
    QCOMPARE(reg_->State().receipt.state, 5);
  }

  void freeResourcesFillsThePanel() {
    ui::TForm10* f = W().Form10;
    reg_->ChangeState([](sim::RegisterState& s) { s.fiscalized = true; });
    f->Button1->click();
    QCOMPARE(bench_.Codes(), std::vector<int>{160});
    QCOMPARE(platform_.messages,
             std::vector<std::string>{"Информация о свободных ресурсах и статусе - Успешно!"});
    QCOMPARE(f->Edit8->text(), QString("0000"));
    const bool checked[] = {false, false, false, true, true, false};
    QCheckBox* boxes[] = {f->CheckBox1, f->CheckBox2, f->CheckBox3,
                          f->CheckBox4, f->CheckBox5, f->CheckBox6};
    for (int i = 0; i < 6; ++i)
      QCOMPARE(boxes[i]->isChecked(), checked[i]);
    QCOMPARE(f->CheckBox3->text(), QString("Разрешение записи фискального номера "));
    QCOMPARE(f->Edit3->text(), QString("2000"));
    QCOMPARE(f->Edit7->text(), QString("2000"));

    // A short answer: what it has, and nothing in the rest.
    Forget();
    reg_->ChangeState([](sim::RegisterState& s) { s.fiscalized = false; });
    reg_->SetAnswerRewrite([](const sim::Request&, sim::Answer& a) { a.data = "1;1;"; });
    f->Button1->click();
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY(f->CheckBox1->isChecked());
    QVERIFY(f->CheckBox2->isChecked());
    QVERIFY(!f->CheckBox4->isChecked());
    QVERIFY(f->Edit2->text().isEmpty());
    QVERIFY(f->Edit7->text().isEmpty());
  }
};

QTEST_MAIN(ReportWindowsTest)
#include "report_windows_test.moc"
