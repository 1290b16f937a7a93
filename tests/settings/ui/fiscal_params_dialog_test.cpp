// The fiscal-parameter windows on the built-in simulator: reading and programming in the basic
// and extended form with their confirmation and result windows, the serial number and clock,
// and fiscalization with its question and its bounded wait for the register.
#include <QApplication>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/config.h"
#include "app/profile.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "settings/ui/acquirer_session_dialog.h"
#include "settings/ui/fiscal_params_dialog.h"
#include "settings/ui/fiscal_windows.h"
#include "settings/ui/fiscalization_dialog.h"
#include "settings/ui/id_dev_dialog.h"
#include "settings/ui/modem_state_dialog.h"
#include "settings/ui/network_dialog.h"
#include "settings/ui/program_confirm_dialog.h"
#include "settings/ui/program_result_dialog.h"
#include "settings/ui/serial_number_dialog.h"
#include "tests/app/ui/window_test_bench.h"

using namespace tolvanet;

namespace {

// Handles the confirmation and result windows while they are open: `confirm` decides how the
// confirmation is left; the result window's lines are recorded and it is closed.
class ModalScript {
 public:
  ModalScript(ui::FiscalWindows& w, std::function<void(ui::TForm22&)> confirm)
      : w_(w), confirm_(std::move(confirm)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Step(); });
    timer_.start(5);
  }
  std::vector<QString> result_lines;
  bool confirm_seen = false;

 private:
  void Step() {
    if (w_.Form22->isVisible() && !confirm_seen) {
      confirm_seen = true;
      confirm_(*w_.Form22);
    } else if (w_.Form36->isVisible()) {
      result_lines = {w_.Form36->Label1->text(), w_.Form36->Label2->text(),
                      w_.Form36->Label3->text()};
      w_.Form36->Button2->click();
    }
  }
  ui::FiscalWindows& w_;
  std::function<void(ui::TForm22&)> confirm_;
  QTimer timer_;
};

void Choose(ui::TForm22& f, bool fiscal, bool ids, bool taxes) {
  f.CheckBox2->setChecked(fiscal);
  f.CheckBox3->setChecked(ids);
  f.CheckBox4->setChecked(taxes);
}

}  // namespace

class FiscalParamsDialogTest : public QObject {
  Q_OBJECT

 private:
  testing::WindowTestBench bench_;
  ui::FiscalWindows& w() { return bench_.windows->fiscal; }
  std::vector<sim::Request> Requests() const { return bench_.reg->requests(); }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
  }
  void cleanup() { bench_.TearDown(); }

  void everyMenuItemOpensItsWindow() {
    auto* main = bench_.windows->Form1.get();
    const std::vector<std::pair<QAction*, QDialog*>> items = {
        {main->N29, w().Form15}, {main->N30, w().Form37},    {main->N42, w().Form49},
        {main->N32, w().Form19}, {main->IDDEV1, w().Form50}, {main->N43, w().Form51},
        {main->N44, w().Form53}};
    for (const auto& [item, window] : items) {
      bool shown = false;
      QTimer::singleShot(0, [&, window = window] {
        shown = window->isVisible();
        window->reject();
      });
      item->trigger();
      QVERIFY2(shown, qPrintable(item->text()));
    }
    // ExtendedTax 0 with the medium access level gives the basic form.
    WritePrivateProfileString("Fiscal Printer", "ExtendedTax", "0", bench_.Ini());
    bool basic = false;
    QTimer::singleShot(0, [&] {
      basic = w().Form18->isVisible();
      w().Form18->reject();
    });
    main->N30->trigger();
    QVERIFY(basic);
  }

  // Each window of the menu carries its own name as its caption.
  void captions() {
    const std::vector<std::pair<QDialog*, QString>> windows = {
        {w().Form15, "Установить заводской номер"},
        {w().Form18, "Программирование фискальных параметров"},
        {w().Form37, "Программирование фискальных параметров"},
        {w().Form19, "Фискализация"},
        {w().Form49, "Параметры связи"},
        {w().Form50, "Установить и прочитать ID_DEV"},
        {w().Form51, "Состояние модема"},
        {w().Form53, "Последний успешный сеанс связи с эквайером"},
    };
    for (const auto& [window, caption] : windows)
      QCOMPARE(window->windowTitle(), caption);
  }

  void readFillsTheBoxesAndSelectsOnlyListEntries() {
    bench_.reg->ChangeState([](sim::RegisterState& s) {
      s.fiscal_number = "1234567890";
      s.tax_id = "123456789012";
      s.taxes[1] = {6, "7.00", ToCp1251("ПДВ_Б"), 0};
      s.taxes[2] = {1, "0.00", ToCp1251("ПДВ_В"), -1};
    });
    for (ui::TForm18* f : {w().Form18, static_cast<ui::TForm18*>(w().Form37)}) {
      f->show();
      f->Button1->click();
      QCOMPARE(bench_.platform.messages.back(), std::string("Успешно!"));
      QCOMPARE(f->Edit2->text(), QString("SM000012345"));
      QCOMPARE(f->Edit15->text(), QString("1234567890"));
      QCOMPARE(f->Edit3->text(), QString("123456789012"));
      QCOMPARE(f->Edit1->text(), QString(""));
      QCOMPARE(f->NameBoxes[1]->text(), QString("ПДВ_Б"));
      QCOMPARE(f->RateBoxes[1]->text(), QString("7.00"));
      if (f->Extended()) {
        QCOMPARE(f->TypeBoxes[1]->currentText(), QString("Налог 2  Вложенный +"));
        QCOMPARE(f->LinkedBoxes[1]->currentText(), QString("Налог А"));
        QCOMPARE(f->LinkedBoxes[2]->currentText(), QString("Отсутствует"));
      } else {
        QCOMPARE(f->TypeBoxes[1]->currentIndex(), -1);  // type 6 is not in the basic list
      }
      f->reject();
    }
    QCOMPARE(bench_.Codes(),
             (std::vector<int>{66, 68, 70, 72, 72, 72, 72, 72, 66, 68, 70, 72, 72, 72, 72, 72}));

    // A group whose type is outside the list cannot be programmed back: the taxes are not
    // sent at all, the group is named and the outcome is a failure, while the other selected
    // parameters still go out.
    bench_.reg->ClearRequests();
    auto* f = w().Form18;
    f->show();
    f->Button1->click();
    bench_.reg->ClearRequests();
    bench_.platform.messages.clear();
    {  // this script's timer must end before the next one's window opens
      ModalScript script(w(), [](ui::TForm22& c) {
        Choose(c, true, false, true);
        c.Button1->click();
      });
      f->Button5->click();
      QCOMPARE(bench_.Codes(), std::vector<int>{67});
      QCOMPARE(bench_.platform.messages,
               std::vector<std::string>{"Налог Б:\n  не выбран тип налога.\nНалоги не "
                                        "запрограммированы: выберите значения в списках и "
                                        "повторите."});
      QCOMPARE(script.result_lines,
               (std::vector<QString>{"Фискальный номер - успешно.",
                                     "Регистрационный номер - не программировался.",
                                     "Ставки налогов - ошибка."}));
      f->reject();
    }

    // The same for a linked group the extended form could not select.
    bench_.reg->ChangeState([](sim::RegisterState& s) { s.taxes[3] = {1, "0.00", "X", 7}; });
    auto* e = w().Form37;
    e->show();
    e->Button1->click();
    QCOMPARE(e->LinkedBoxes[3]->currentIndex(), -1);
    bench_.reg->ClearRequests();
    bench_.platform.messages.clear();
    ModalScript extended_script(w(), [](ui::TForm22& c) {
      Choose(c, false, false, true);
      c.Button1->click();
    });
    e->Button5->click();
    QVERIFY(bench_.Codes().empty());
    QCOMPARE(bench_.platform.messages.size(), std::size_t{1});
    QVERIFY(bench_.platform.messages[0].starts_with(
        "Налог Г:\n  не выбрана связанная налоговая группа.\n"));
    QVERIFY(!extended_script.result_lines.empty());
    QCOMPARE(extended_script.result_lines.back(), QString("Ставки налогов - ошибка."));
  }

  void programmingSendsTheTaxTextsOfEachForm() {
    // The rate goes out as it was checked: two decimals and a point, whatever was typed.
    struct Case {
      bool extended;
      int linked_index;  // group А's linked list
      QString rate;      // group А's rate box
      std::string text;
    };
    const std::vector<Case> cases = {
        {false, -1, "20.00", "406172;0;01;20.00;" + ToCp1251("ПДВ_А") + ";-1;"},
        {true, 1, "20.00", "406172;0;01;20.00;" + ToCp1251("ПДВ_А") + ";1;"},
        {true, 0, "20.00", "406172;0;01;20.00;" + ToCp1251("ПДВ_А") + ";-1;"},
        {false, -1, "7,5", "406172;0;01;7.50;" + ToCp1251("ПДВ_А") + ";-1;"},
        {true, 0, " 20 ", "406172;0;01;20.00;" + ToCp1251("ПДВ_А") + ";-1;"},
        {false, -1, "14.", "406172;0;01;14.00;" + ToCp1251("ПДВ_А") + ";-1;"},
    };
    for (const Case& c : cases) {
      ui::TForm18* f = c.extended ? w().Form37 : w().Form18;
      f->show();
      f->RateBoxes[0]->setText(c.rate);
      if (c.extended)
        f->LinkedBoxes[0]->setCurrentIndex(c.linked_index);
      bench_.reg->ClearRequests();
      ModalScript script(w(), [](ui::TForm22& confirm) {
        Choose(confirm, false, false, true);
        confirm.Button1->click();
      });
      f->Button5->click();
      const auto requests = Requests();
      QCOMPARE(requests.size(), std::size_t{5});
      QCOMPARE(requests[0].text, c.text);
      QCOMPARE(script.result_lines,
               (std::vector<QString>{"Фискальный номер - не программировался.",
                                     "Регистрационный номер - не программировался.",
                                     "Ставки налогов - успешно."}));
      f->reject();
    }
  }

  void theConfirmationLeftWithoutContinueSendsNothing() {
    const std::vector<std::pair<const char*, std::function<void(ui::TForm22&)>>> ways = {
        {"Отменить", [](ui::TForm22& c) { c.Button2->click(); }},
        {"close box", [](ui::TForm22& c) { c.close(); }},
        {"Esc", [](ui::TForm22& c) { QTest::keyClick(&c, Qt::Key_Escape); }},
    };
    auto* f = w().Form37;
    f->show();
    for (const auto& [what, leave] : ways) {
      ModalScript script(w(), [leave = leave](ui::TForm22& c) {
        Choose(c, true, true, true);
        leave(c);
      });
      f->Button5->click();
      QVERIFY2(script.confirm_seen, what);
      QVERIFY2(bench_.Codes().empty(), what);
      QVERIFY2(script.result_lines.empty(), what);
    }
    // "Продолжить" after a cancel: the choice starts as cancelled at each opening, and the
    // button clears it.
    ModalScript script(w(), [](ui::TForm22& c) {
      Choose(c, true, false, false);
      c.Button1->click();
    });
    f->Button5->click();
    QCOMPARE(bench_.Codes(), std::vector<int>{67});
  }

  void aGroupFailingInTheMiddleAndTheResultWindowsOutcomes() {
    auto* f = w().Form18;
    f->show();
    f->Edit15->setText("1234567890");
    f->Edit3->setText("ABC");  // the register takes digits only
    // Group В fails: А and Б are programmed, Г and Д are not sent; the other steps go on.
    ModalScript script(w(), [](ui::TForm22& c) {
      Choose(c, true, true, true);
      c.Button1->click();
    });
    f->RateBoxes[2]->setText("100.00");  // beyond the register's range: "0304"
    f->TypeBoxes[2]->setCurrentIndex(1);
    f->Button5->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{71, 71, 71, 67, 69}));
    QCOMPARE(bench_.platform.messages,
             (std::vector<std::string>{
                 "Налог В:\n  Значение поля номер 3 выходит за допустимый диапазон!",
                 "Ошибка SetTaxIdNumber!"}));
    QCOMPARE(script.result_lines,
             (std::vector<QString>{"Фискальный номер - успешно.", "Регистрационный номер - ошибка.",
                                   "Ставки налогов - ошибка."}));
  }

  void extendedLengthErrorsSendNothing() {
    struct Case {
      QString fiscal, id, tax;
      std::string message;
    };
    const std::vector<Case> cases = {
        {"123456789", "", "", "Неверная длина фискального номера, исправьте!"},
        {"", "12345678901", "", "Неверный длина идентификационного номера, исправьте!"},
        {"", "", "12345678901", "Неверный длина налогового номера, исправьте!"},
        {"", "", "1;2",
         "Поле \"Налоговый номер\" не может содержать символ \";\" и управляющие "
         "символы. Ошибка!"},
    };
    auto* f = w().Form37;
    f->show();
    for (const Case& c : cases) {
      f->Edit15->setText(c.fiscal);
      f->Edit3->setText(c.id);
      f->Edit1->setText(c.tax);
      bench_.platform.messages.clear();
      ModalScript script(w(), [](ui::TForm22& confirm) {
        Choose(confirm, true, true, true);
        confirm.Button1->click();
      });
      f->Button5->click();
      QVERIFY(bench_.Codes().empty());
      QCOMPARE(bench_.platform.messages, std::vector<std::string>{c.message});
      QVERIFY(script.result_lines.empty());
    }
    // An empty fiscal number passes and is sent as an empty field.
    f->Edit15->clear();
    f->Edit3->clear();
    f->Edit1->clear();
    ModalScript script(w(), [](ui::TForm22& confirm) {
      Choose(confirm, true, false, false);
      confirm.Button1->click();
    });
    f->Button5->click();
    QCOMPARE(Requests().back().text, std::string("406172;;"));
  }

  void countryCodeTwoHidesTheIdentificationNumber() {
    WritePrivateProfileString("CountryMode", "Country code", "2", bench_.Ini());
    auto* f = w().Form37;
    f->show();
    QVERIFY(!f->Edit3->isVisible());
    f->reject();
    WritePrivateProfileString("CountryMode", "Country code", "3", bench_.Ini());
    f->show();
    QVERIFY(f->Edit3->isVisible());
  }

  void serialNumberAndClock() {
    auto* f = w().Form15;
    f->show();
    QCOMPARE(f->Edit1->text().size(), 6);
    f->Edit4->setText("SM0001");
    f->Button2->click();
    QVERIFY(bench_.Codes().empty());
    QCOMPARE(
        bench_.platform.messages.back(),
        std::string("Неверное количество символов в номере! \n Заводской номер не установлен!"));
    f->Edit4->setText("SM00001");
    f->Button2->click();
    QCOMPARE(Requests().back().text, std::string("406172;SM00001;"));
    QCOMPARE(bench_.platform.messages.back(), std::string("Успешно. Заводской номер установлен!"));

    bench_.reg->ClearRequests();
    f->Edit1->setText("010125");
    f->Edit2->setText("1200");
    f->Button3->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{32, 243}));
    QVERIFY(f->Label6->isVisible());
    f->Button2->click();  // any other action hides the note again
    QVERIFY(!f->Label6->isVisible());
  }

  void fiscalizationRefusesBadInputsAndAsksFirst() {
    auto* f = w().Form19;
    f->show();
    struct Case {
      QString serial, pw1, pw2;
      std::string message;
    };
    const std::vector<Case> cases = {
        {"SM000012345", "12345", "12345", "Довжина пароля - 6!"},
        {"SM000012345", "123456", "654321", "Повторно зроби ввод паролей та фіскалізацію"},
        {"", "123456", "123456", "Заводський номер не введено! Фіскалізацію не виконано."},
    };
    for (const Case& c : cases) {
      f->Edit4->setText(c.serial);
      f->Edit1->setText(c.pw1);
      f->Edit2->setText(c.pw2);
      f->Button2->click();
      QCOMPARE(bench_.platform.messages.back(), c.message);
    }
    QVERIFY(bench_.platform.asked.empty());
    // Declined: nothing sent.
    f->Edit4->setText("SM000012345");
    f->Edit1->setText("123456");
    f->Edit2->setText("123456");
    bench_.platform.answers = {false};
    f->Button2->click();
    QVERIFY(bench_.Codes().empty());
    QCOMPARE(bench_.platform.asked.size(), std::size_t{1});
    QVERIFY(bench_.platform.asked[0].default_cancel);
    QVERIFY(QString::fromStdString(bench_.platform.asked[0].text).contains("SM000012345"));
  }

  // Only an empty serial number is refused here: a short one goes to the register, which
  // judges it (the simulated one refuses a serial that is not its own).
  void fiscalizationSendsAShortSerialNumber() {
    auto* f = w().Form19;
    f->show();
    f->Edit4->setText("AB123");
    f->Edit1->setText("123456");
    f->Edit2->setText("123456");
    f->Button2->click();
    QCOMPARE(bench_.Codes(), std::vector<int>{64});
    QCOMPARE(Requests()[0].text, std::string("406172;AB123;123456;"));
    QCOMPARE(bench_.platform.messages.size(), std::size_t{1});
    QVERIFY(bench_.platform.messages[0].starts_with("Фіскаліз. реєстратора:\n  "));
  }

  void fiscalizationWaitsForTheRestartThenPrintsTheReceipt() {
    bench_.reg->ChangeFaults([](sim::Faults& fl) { fl.restart_busy_ms = 300; });
    auto* f = w().Form19;
    f->show();
    f->Edit4->setText("SM000012345");
    f->Edit1->setText("123456");
    f->Edit2->setText("123456");
    f->Button2->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{64, 128, 128, 96, 132, 97, 101}));
    QCOMPARE(bench_.platform.messages,
             std::vector<std::string>{"Фіскаліз. реєстратора - Успішно!"});
    QCOMPARE(f->Edit5->text(), QString("0000"));
    QVERIFY(bench_.reg->State().fiscalized);
  }

  void aRegisterThatStaysBusyEndsTheWaitWithAMessage() {
    bench_.reg->ChangeFaults([](sim::Faults& fl) { fl.restart_busy_ms = 60000; });
    auto* f = w().Form19;
    f->wait.attempts = 2;
    f->show();
    f->Edit4->setText("SM000012345");
    f->Edit1->setText("123456");
    f->Edit2->setText("123456");
    f->Button2->click();
    QCOMPARE(bench_.Codes(), (std::vector<int>{64, 128, 128}));
    QCOMPARE(bench_.platform.messages,
             std::vector<std::string>{"Фіскалізацію виконано. Реєстратор не відповів.\n"
                                      "Квитанцію про фіскалізацію не надруковано."});
    QVERIFY(!f->Progress->isVisible());

    // Esc while it waits stops the wait; the window stays open with the outcome.
    bench_.reg->ChangeState([](sim::RegisterState& s) { s.fiscalized = false; });
    bench_.reg->ChangeFaults([](sim::Faults& fl) { fl.restart_busy_ms = 0; });
    bench_.reg->ChangeFaults([](sim::Faults& fl) { fl.restart_busy_ms = 60000; });
    bench_.reg->ClearRequests();
    bench_.platform.messages.clear();
    f->wait.attempts = 30;
    bench_.platform.on_process_events = [&] {
      if (bench_.Codes().size() == 2)
        QTest::keyClick(f, Qt::Key_Escape);
    };
    f->Button2->click();
    bench_.platform.on_process_events = nullptr;
    QCOMPARE(bench_.Codes(), (std::vector<int>{64, 128}));
    QCOMPARE(bench_.platform.messages,
             std::vector<std::string>{"Фіскалізацію виконано. Очікування реєстратора "
                                      "перервано.\nКвитанцію про фіскалізацію не надруковано."});
    QVERIFY(f->isVisible());
  }
};

QTEST_MAIN(FiscalParamsDialogTest)
#include "fiscal_params_dialog_test.moc"
