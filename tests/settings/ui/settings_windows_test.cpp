// The settings windows of the "Утилиты" menu against the built-in simulator: each menu item
// opens its window; header centring, skipped rows, clearing and a failing line; a bad operator
// number; unknown register parameters; the clock; payment types; the maintenance reminder; and
// the service counters.
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <functional>
#include <iterator>

#include "app/app_state.h"
#include "app/ui/qt_platform.h"
#include "app/ui/windows.h"
#include "link/codepage.h"
#include "link/engine.h"
#include "settings/ui/date_time_dialog.h"
#include "settings/ui/decimal_point_dialog.h"
#include "settings/ui/header_text_dialog.h"
#include "settings/ui/maintenance_dialog.h"
#include "settings/ui/operators_dialog.h"
#include "settings/ui/passwords_dialog.h"
#include "settings/ui/payment_types_dialog.h"
#include "settings/ui/registrator_params_dialog.h"
#include "settings/ui/service_counters_dialog.h"
#include "sim/command_args.h"
#include "tests/app/ui/window_test_bench.h"
#include "tests/link/fixed_clock.h"

using namespace tolvanet;
using ui::Q;

class SettingsWindowsTest : public QObject {
  Q_OBJECT

 private:
  testing::WindowTestBench bench_;
  testing::ScriptedPlatform& platform_ = bench_.platform;
  sim::Register*& reg_ = bench_.reg;
  ui::SettingsWindows* s_ = nullptr;  // the windows under test, set by init()

  // Opens `dialog` from its menu item, runs `work` while it is open, then closes it.
  void Open(QAction* item, QDialog* dialog, const std::function<void()>& work) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      QVERIFY(dialog->isVisible());
      work();
      ran = true;
      dialog->reject();
    });
    item->trigger();
    QVERIFY(ran);
    reg_->ClearRequests();  // not needed afterwards; keeps the next test's view clean
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& r : reg_->requests())
      texts.push_back(r.text);
    return texts;
  }
  std::string LastMessage() const {
    return platform_.messages.empty() ? std::string() : platform_.messages.back();
  }
  // End-of-session entries in the session log so far.
  int SessionEnds() const {
    std::ifstream in(bench_.Path("session.log"), std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string mark = ToCp1251(";Конец Сеанса");
    int n = 0;
    for (auto at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1))
      ++n;
    return n;
  }
  static void SetRow(QTableWidget* grid, QCheckBox* centre, int row, const QString& text,
                     int clicks) {
    grid->item(row, 1)->setText(text);
    centre->setChecked(false);
    for (int i = 0; i < clicks; ++i)
      emit grid->cellClicked(row, 2);
  }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
    s_ = &bench_.windows->settings;
    TheEngine().log().SetLogFileName(bench_.Path("session.log"));
  }
  void cleanup() {
    TheEngine().log().SetLogFileName("");
    bench_.TearDown();
  }

  void everyMenuItemOpensItsWindow() {
    auto* m = bench_.windows->Form1.get();
    const std::vector<std::pair<QAction*, QDialog*>> items = {
        {m->N25, s_->Form11}, {m->N26, s_->Form12}, {m->N27, s_->Form13},
        {m->N19, s_->Form26}, {m->N21, s_->Form27}, {m->N23, s_->Form32},
        {m->N36, s_->Form34}, {m->N1, s_->Form38},  {m->N3, s_->Form39},
    };
    for (auto [item, dialog] : items) {
      QVERIFY2(item->isEnabled(), qPrintable(item->text()));
      Open(item, dialog, [] {});
    }
    QCOMPARE(s_->Form11->windowTitle(), QString("Заголовок и рекламный текст"));
    QCOMPARE(s_->Form39->windowTitle(), QString("Служебные счетчики"));
  }

  // Centring counts Windows-1251 characters; rows left at "не записывать" are not sent.
  void headerCentringAndSkippedRows() {
    ui::TForm11* f = s_->Form11;
    s_->Form11->Edit2->setText("32");
    bench_.windows->Form1->FormActivate();  // the main window's step: back to "40"
    QCOMPARE(f->Edit2->text(), QString("40"));
    Open(bench_.windows->Form1->N25, f, [&] {
      QCOMPARE(f->StringGrid1->item(4, 2)->text(), QString("не записывать"));
      SetRow(f->StringGrid1, f->HeaderCentre[0], 0, "ABCDEFGHIJ", 1);
      SetRow(f->StringGrid1, f->HeaderCentre[1], 1, "  АБВГДЕЖЗИК ", 1);
      SetRow(f->StringGrid1, f->HeaderCentre[2], 2, "  " + QString(40, 'X') + " ", 1);
      SetRow(f->StringGrid1, f->HeaderCentre[3], 3, "Wide", 2);
      SetRow(f->StringGrid1, f->HeaderCentre[4], 4, "not sent", 0);
      SetRow(f->StringGrid2, f->AdvertisingCentre[0], 0, "not sent", 0);
      f->Button5->click();  // centre the whole header
      f->HeaderCentre[3]->setChecked(false);
      QVERIFY(!f->Button2->isEnabled());  // no operation chosen yet
      f->ComboBox1->setCurrentIndex(0);
      reg_->ClearRequests();
      f->Button2->click();
      QCOMPARE(bench_.Codes(), (std::vector<int>{34, 34, 34, 34}));
      QCOMPARE(Texts(), (std::vector<std::string>{
                            "406172;0;" + std::string(15, ' ') + "ABCDEFGHIJ;0;",
                            "406172;1;" + std::string(15, ' ') + ToCp1251("АБВГДЕЖЗИК") + ";0;",
                            "406172;2;" + std::string(40, 'X') + ";0;",
                            "406172;3;Wide;1;",
                        }));
      QCOMPARE(LastMessage(), std::string("Успешно!"));
    });
  }

  void headerClearingAndReading() {
    ui::TForm11* f = s_->Form11;
    struct Case {
      int op;
      std::vector<std::string> texts;
    };
    const std::vector<Case> cases = {
        {6, {"406172;0;;0;", "406172;11;;1;"}},
        {7, {"406172;0;;0;"}},
        {8, {"406172;11;;1;"}},
    };
    Open(bench_.windows->Form1->N25, f, [&] {
      SetRow(f->StringGrid1, f->HeaderCentre[0], 0, "kept text", 1);
      SetRow(f->StringGrid2, f->AdvertisingCentre[1], 1, "kept text", 2);
      for (const auto& c : cases) {
        f->ComboBox1->setCurrentIndex(c.op);
        QVERIFY(!f->CheckBox1->isEnabled());
        reg_->ClearRequests();
        f->Button2->click();
        QCOMPARE(Texts(), c.texts);
      }
      // Reading takes every row, "не записывать" or not.
      reg_->ChangeState([](sim::RegisterState& s) { s.header[12] = {"Big sale", 1}; });
      f->ComboBox1->setCurrentIndex(3);
      reg_->ClearRequests();
      f->Button2->click();
      QCOMPARE(bench_.Codes(), std::vector<int>(14, 35));
      QCOMPARE(f->StringGrid2->item(2, 1)->text(), QString("Big sale"));
      QCOMPARE(f->StringGrid2->item(2, 2)->text(), QString("двойная ширина"));
      QCOMPARE(f->StringGrid1->item(5, 2)->text(), QString("одинарная ширина"));
    });
  }

  void headerFailureAtLineThreeAndRefusedText() {
    ui::TForm11* f = s_->Form11;
    Open(bench_.windows->Form1->N25, f, [&] {
      for (int r = 0; r < 6; ++r)
        SetRow(f->StringGrid1, f->HeaderCentre[r], r, r == 3 ? QString(41, 'L') : "ok", 1);
      f->ComboBox1->setCurrentIndex(1);
      reg_->ClearRequests();
      f->Button2->click();
      QCOMPARE(bench_.Codes(), (std::vector<int>{34, 34, 34, 34}));  // stops at line 3
      QVERIFY(LastMessage().rfind("Заголовок.\n  Строка 3 :\n  ", 0) == 0);

      SetRow(f->StringGrid1, f->HeaderCentre[3], 3, "a;b", 0);
      reg_->ClearRequests();
      platform_.messages.clear();
      f->Button2->click();
      QVERIFY(bench_.Codes().empty());
      QVERIFY(LastMessage().rfind("Заголовок.\n  Строка 3 :\n  ", 0) == 0);
    });
  }

  void operatorWithBadNumber() {
    ui::TForm12* f = s_->Form12;
    for (const char* bad : {"", "1a", "2.5"}) {
      f->Edit5->setText(bad);
      f->Button2->click();
      QCOMPARE(LastMessage(), std::string("Ошибка! Номер оператора неверный."));
    }
    QVERIFY(bench_.Codes().empty());
    f->Edit5->setText("3");
    f->Edit2->setText("Ольга");
    f->Edit1->setText("123");
    f->Button1->click();
    f->Button2->click();
    QCOMPARE(f->Edit3->text(), QString("Ольга"));
    QVERIFY(!f->CheckBox1->isChecked());
    f->Edit5->setText("9");
    f->Button2->click();
    QVERIFY(LastMessage().rfind("Оператор 9 \n  ", 0) == 0);
    f->Edit5->setText("3");
    f->Edit2->setText("A;B");
    reg_->ClearRequests();
    f->Button1->click();
    QVERIFY(bench_.Codes().empty());
  }

  void passwordsAndDecimalPoint() {
    s_->Form13->Edit4->setText("111111");
    s_->Form13->Button1->click();
    QCOMPARE(Texts().back(), std::string("406172;406172;406172;111111;"));
    QCOMPARE(reg_->State().admin_password, std::string("111111"));

    ui::TForm32* d = s_->Form32;
    QCOMPARE(d->ComboBox1->currentIndex(), 0);
    d->Edit1->setText("111111");
    reg_->ChangeState([](sim::RegisterState& s) { s.decimal_point = 7; });
    d->Button2->click();  // out of range: the list keeps its entry
    QCOMPARE(d->ComboBox1->currentIndex(), 0);
    reg_->ChangeState([](sim::RegisterState& s) { s.decimal_point = 3; });
    d->Button2->click();
    QCOMPARE(d->ComboBox1->currentIndex(), 3);
    QCOMPARE(d->Edit3->text(), QString("0000"));
  }

  // An unknown speed and an out-of-range contrast leave their lists; every other box is filled.
  void registerParametersWithUnknownValues() {
    ui::TForm26* f = s_->Form26;
    reg_->ChangeState([](sim::RegisterState& s) {
      s.params.speed = 14400;
      s.params.contrast = 7;
      s.params.document_flags = 0x8001;
      s.params.extended_flags = 0x40;
      s.params.drawer_open_pulse = 0x1A;
      s.params.chars_per_line = 8;
    });
    f->ComboBox2->setCurrentIndex(3);
    f->ComboBox1->setCurrentIndex(2);
    f->Button2->click();
    QCOMPARE(f->ComboBox2->currentIndex(), 3);
    QCOMPARE(f->ComboBox1->currentIndex(), 2);
    QCOMPARE(f->Edit2->text(), QString("1A"));
    QCOMPARE(f->Edit4->text(), QString("08"));
    QVERIFY(f->DocumentFlags[7]->isChecked());   // 0x8000
    QVERIFY(f->DocumentFlags[8]->isChecked());   // 0x0001
    QVERIFY(!f->DocumentFlags[0]->isChecked());  // 0x0100
    QVERIFY(f->PrintFlags[5]->isChecked());      // 0x40
    QCOMPARE(platform_.messages.size(), std::size_t{2});
    QVERIFY(platform_.messages[0].find("Скорость обмена: \"14400\"") != std::string::npos);
    QVERIFY(platform_.messages[0].find("Контрастность печати: \"7\"") != std::string::npos);
    QCOMPARE(LastMessage(), std::string("Успешно!"));

    f->ComboBox2->setCurrentIndex(11);  // "Не изменять"
    f->Edit3->setText("G1");
    reg_->ClearRequests();
    f->Button1->click();
    QVERIFY(bench_.Codes().empty());
    f->Edit3->setText("2b");
    const int ends = SessionEnds();
    f->Button1->click();
    QCOMPARE(SessionEnds(), ends + 1);  // the new speed ends the session
    QCOMPARE(Texts(), std::vector<std::string>{"406172;0;2;8001;40;1A;2B;08;"});
    QCOMPARE(LastMessage(), std::string("Успешно!"));
  }

  void dateAndTimeFromOneReading() {
    ui::TForm27* f = s_->Form27;
    f->SetClock([] { return testing::LocalTime(31, 12, 2026, 23, 59, 59); });
    Open(bench_.windows->Form1->N21, f, [&] {
      QVERIFY(!f->Button4->isEnabled());
      f->Button1->click();
      QCOMPARE(Texts(), std::vector<std::string>{"406172;311226;2359;"});
      QCOMPARE(LastMessage(), std::string("Успешно!"));

      reg_->SetClock([] { return sim::FromCivil({2099, 12, 31, 12, 5, 0}); });
      reg_->ChangeState([](sim::RegisterState& s) { s.clock_offset = 0; });
      f->Button2->click();
      QCOMPARE(f->DateTimePicker1->date(), QDate(2099, 12, 31));
      QCOMPARE(f->Edit2->text(), QString("1205"));

      f->Edit2->setText("2460");
      reg_->ClearRequests();
      f->Button1->click();
      QVERIFY(bench_.Codes().empty());
    });
  }

  void paymentTypes() {
    ui::TForm34* f = s_->Form34;
    struct Case {
      const char* name;
      const char* number;
      bool enabled;
    } cases[] = {{"", "", false}, {"Картка", "", false}, {"", "1", false}, {"Картка", "1", true}};
    for (const auto& c : cases) {
      f->Edit1->setText(c.name);
      f->Edit2->setText(c.number);
      QCOMPARE(f->Button1->isEnabled(), c.enabled);
    }
    f->CheckBox1->setChecked(true);
    f->CheckBox3->setChecked(true);
    f->Button1->click();
    QCOMPARE(Texts().back(), "406172;1;81;" + ToCp1251("Картка") + ";");

    // Row 2 of 6 fails: reading stops there, and both buttons come back.
    TheAppState().payment_type_count = 6;
    reg_->ClearRequests();
    bool armed = false;
    platform_.on_process_events = [&] {
      if (!armed && reg_->requests().size() == 2) {
        armed = true;
        reg_->SetNextError(0x0600);
      }
    };
    f->Button2->click();
    platform_.on_process_events = nullptr;
    QCOMPARE(bench_.Codes(), (std::vector<int>{46, 46, 46}));
    QVERIFY(LastMessage().rfind("Чтение форм оплаты:\n  ", 0) == 0);
    QCOMPARE(f->StringGrid1->rowCount(), 6);
    QCOMPARE(f->StringGrid1->item(1, 1)->text(), QString("Картка"));
    QCOMPARE(f->StringGrid1->item(1, 2)->text(), QString("Разрешено"));
    QCOMPARE(f->StringGrid1->item(1, 3)->text(), QString("Запрещено"));
    QCOMPARE(f->StringGrid1->item(1, 4)->text(), QString("Разрешено"));
    QVERIFY(f->StringGrid1->item(2, 1) == nullptr);
    QVERIFY(f->Button1->isEnabled());
    QVERIFY(f->Button2->isEnabled());
  }

  void maintenanceReminder() {
    ui::TForm38* f = s_->Form38;
    f->SetClock([] { return testing::LocalTime(15, 6, 2027, 10, 0, 0); });
    Open(bench_.windows->Form1->N1, f, [&] {
      f->Edit3->setText("123456");
      f->Edit4->setText("654321");
      f->Button1->click();
      QCOMPARE(LastMessage(), std::string("Неверный пароль. Попробуйте ещё раз!"));
      QVERIFY(bench_.Codes().empty());

      f->Edit4->setText("123456");
      f->Memo1->setPlainText("Call service\n\nPhone 123\nSoon");
      f->Edit5->setText("10");
      f->CheckBox2->setChecked(true);
      f->CheckBox5->setChecked(true);
      f->Button1->click();
      QCOMPARE(Texts(),
               (std::vector<std::string>{"406172;0;Call service;", "406172;1;Phone 123;",
                                         "406172;1;Soon;", "406172;123456;150627;10;12;"}));
      QCOMPARE(LastMessage(), std::string("Успешно!"));

      // An unset reminder answers "000000": the date box keeps its day and says so.
      reg_->ChangeState([](sim::RegisterState& s) { s.reminder = {}; });
      f->Edit5->setText("99");
      platform_.messages.clear();
      f->Button2->click();
      QCOMPARE(f->DateTimePicker1->date(), QDate(2027, 6, 15));
      QCOMPARE(f->Edit5->text(), QString("0"));
      QVERIFY(!f->CheckBox2->isChecked());
      QVERIFY(platform_.messages.at(0).find("Дата события: \"000000\"") != std::string::npos);
      QCOMPARE(LastMessage(), std::string("Успешно!"));
    });
  }

  void serviceCounters() {
    ui::TForm39* f = s_->Form39;
    reg_->ChangeState([](sim::RegisterState& s) { s.counters[0] = 87; });
    struct Case {
      int counter;
      int value;  // stored in the register first
      QString shown;
    } cases[] = {{0, 87, "87%"}, {1, 2, "2. USB"}, {1, 7, "7"}, {2, 45, "45"}, {16, 1200, "1200"}};
    for (const auto& c : cases) {
      reg_->ChangeState([&](sim::RegisterState& s) { s.counters[c.counter] = c.value; });
      f->ComboBox1->setCurrentIndex(c.counter);
      f->Button1->click();
      QCOMPARE(f->Edit1->text(), c.shown);
    }
    f->ComboBox1->setCurrentIndex(0);
    QVERIFY(!f->Button2->isEnabled());
    f->ComboBox1->setCurrentIndex(4);
    QVERIFY(!f->Button1->isEnabled());
    QVERIFY(f->Edit1->text().isEmpty());
    f->ComboBox1->setCurrentIndex(2);
    QCOMPARE(f->Edit1->text(), QString("0"));

    f->ComboBox1->setCurrentIndex(3);
    f->Edit1->setText("1");
    reg_->ClearRequests();
    const int ends = SessionEnds();
    f->Button2->click();
    QCOMPARE(Texts(), std::vector<std::string>{"406172;3;1;"});
    QCOMPARE(SessionEnds(), ends + 1);  // USB storage mode ends the session
    QCOMPARE(LastMessage(), std::string("Успешно!"));
    f->ComboBox1->setCurrentIndex(13);
    f->Edit1->setText("");  // an empty value sends 0
    f->Button2->click();
    QCOMPARE(Texts().back(), std::string("406172;13;0;"));
    QCOMPARE(SessionEnds(), ends + 1);

    // Switching remote access off is asked first, Cancel by default; declined, nothing is sent.
    f->ComboBox1->setCurrentIndex(20);
    f->Edit1->setText("0");
    reg_->ClearRequests();
    platform_.answers = {false};
    f->Button2->click();
    QVERIFY(bench_.Codes().empty());
    QVERIFY(platform_.asked.back().default_cancel);
    f->Edit1->setText("1");
    f->Button2->click();
    QCOMPARE(Texts(), std::vector<std::string>{"406172;20;1;"});
  }
};

QTEST_MAIN(SettingsWindowsTest)
#include "settings_windows_test.moc"
