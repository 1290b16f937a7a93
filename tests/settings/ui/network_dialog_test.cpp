// The network, ID_DEV, modem and acquirer windows on the built-in simulator.
#include <QtTest>
#include <fstream>

#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "settings/ui/acquirer_session_dialog.h"
#include "settings/ui/fiscal_windows.h"
#include "settings/ui/id_dev_dialog.h"
#include "settings/ui/modem_state_dialog.h"
#include "settings/ui/network_dialog.h"
#include "tests/app/ui/window_test_bench.h"

using namespace tolvanet;

class NetworkDialogTest : public QObject {
  Q_OBJECT

 private:
  testing::WindowTestBench bench_;
  ui::FiscalWindows& w() { return bench_.windows->fiscal; }
  std::string LastText() const { return bench_.reg->requests().back().text; }
  const std::vector<std::string>& Messages() const { return bench_.platform.messages; }

  std::vector<QString> Boxes(ui::TForm49* f) {
    return {f->CheckBox1->isChecked() ? "on" : "off",
            f->Edit1->text(),
            f->Edit2->text(),
            f->Edit3->text(),
            f->Edit4->text(),
            f->Edit5->text(),
            f->Edit7->text(),
            f->Edit8->text()};
  }
  void Fill(ui::TForm49* f, std::vector<QString> v) {
    QLineEdit* boxes[] = {f->Edit1, f->Edit2, f->Edit3, f->Edit4, f->Edit5, f->Edit7, f->Edit8};
    for (int i = 0; i < 7; ++i)
      boxes[i]->setText(v[i]);
  }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
  }
  void cleanup() { bench_.TearDown(); }

  void networkReadAllOrNothing() {
    auto* f = w().Form49;
    f->show();
    QCOMPARE(Boxes(f), (std::vector<QString>{"off", "", "", "", "", "", "", ""}));
    f->Button1->click();
    QCOMPARE(Messages().back(), std::string("Успешно!"));
    const std::vector<QString> read = {
        "off", "192.168.0.100", "255.255.255.0", "192.168.0.1", "10.0.0.5", "5000", "60", "30"};
    QCOMPARE(Boxes(f), read);
    QCOMPARE(LastText(), std::string("406172;"));

    // An error code is reported like everywhere else and changes no box.
    bench_.reg->ChangeState([](sim::RegisterState& s) { s.network.dhcp = true; });
    bench_.reg->SetNextError(0x0600);
    f->Button1->click();
    QCOMPARE(Messages().back(),
             std::string("Проверка состояния регистратора:\n  Неверный пароль доступа!"));
    QCOMPARE(Boxes(f), read);

    // A damaged answer (lower-case digits in the gateway, DHCP on) changes no box either.
    bench_.reg->SetAnswerRewrite([](const sim::Request& r, sim::Answer& a) {
      if (r.code == 250)
        a.data = "1;C0A80064;FFFFFF00;c0a80001;0A000005;8813;3C00;1E00;";
    });
    f->Button1->click();
    bench_.reg->SetAnswerRewrite(nullptr);
    QCOMPARE(Messages().back(), std::string("Информация переданная регистратором неверна. "
                                            "Чтение данных остановлено."));
    QCOMPARE(Boxes(f), read);

    // A field longer than its 8 characters is read from its first 8 (a firmware that adds
    // a character must not make every read fail).
    bench_.reg->SetAnswerRewrite([](const sim::Request& r, sim::Answer& a) {
      if (r.code == 250)
        a.data = "0;C0A80064F;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;";
    });
    f->Button1->click();
    bench_.reg->SetAnswerRewrite(nullptr);
    QCOMPARE(Messages().back(), std::string("Успешно!"));
    QCOMPARE(Boxes(f), read);

    // Opened again later in the run: the boxes are kept.
    f->reject();
    f->show();
    QCOMPARE(Boxes(f), read);
  }

  void networkReadWithoutAnAnswerKeepsTheBoxes() {
    auto* f = w().Form49;
    f->show();
    bench_.reg->ChangeFaults([](sim::Faults& fl) { fl.no_answer = true; });
    f->Button1->click();
    QCOMPARE(Messages().back(), std::string("Ошибка выполнения команды. Таймаут"));
    QCOMPARE(f->Edit1->text(), QString());
    QVERIFY(!f->CheckBox1->isChecked());
  }

  void networkWriteChecksEveryBoxFirst() {
    auto* f = w().Form49;
    f->show();
    Fill(f, {"192.168.0.10", "255.255.255.0", "192.168.0.1", "10.0.0.5", "5000", "60", "30"});
    f->Button2->click();
    QCOMPARE(LastText(),
             std::string("406172;0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;"));
    QCOMPARE(Messages().back(), std::string("Успешно!"));

    struct Case {
      int box;  // 0..6: Edit1-5, Edit7, Edit8
      QString text;
      std::string message;
    };
    const std::vector<Case> cases = {
        {0, "1.2.3.4.5", "Некорректный IP-адрес. Ошибка!"},
        {3, "256.0.0.1", "Некорректный IP-адрес. Ошибка!"},
        {1, "192..0.1", "Некорректный IP-адрес. Ошибка!"},
        {4, "65536", "Некорректный номер порта. Ошибка!"},
        {4, "-1", "Некорректный номер порта. Ошибка!"},
        {5, "-1", "Некорректная величина параметра Периодичность связи. Ошибка!"},
        {6, "70000", "Некорректная величина параметра Повторной попытки. Ошибка!"},
    };
    QLineEdit* boxes[] = {f->Edit1, f->Edit2, f->Edit3, f->Edit4, f->Edit5, f->Edit7, f->Edit8};
    for (const Case& c : cases) {
      bench_.reg->ClearRequests();
      const QString keep = boxes[c.box]->text();
      boxes[c.box]->setText(c.text);
      f->Button2->click();
      QVERIFY(bench_.Codes().empty());
      QCOMPARE(Messages().back(), c.message);
      boxes[c.box]->setText(keep);
    }
    f->Edit6->setText("406;72");
    f->Button2->click();
    QVERIFY(bench_.Codes().empty());
  }

  void networkSettingsFile() {
    auto* f = w().Form49;
    f->show();
    const std::string good = bench_.Path("net.txt");
    std::ofstream(good)
        << "1\r\n10.1.2.3\r\n255.0.0.0\r\n10.0.0.1\r\n10.0.0.9\r\n6000\r\n15\r\n20\r\n";
    const std::string short_file = bench_.Path("short.txt");
    std::ofstream(short_file) << "0\n1.2.3.4\n";
    bench_.platform.files = {std::nullopt, short_file, good};
    f->Button4->click();
    QCOMPARE(Messages().back(), std::string("Файл не выбран. Ошибка."));
    QCOMPARE(bench_.platform.file_dialogs[0].title,
             std::string("Чтение параметров связи из файла"));
    f->Button4->click();
    QCOMPARE(Messages().back(),
             std::string("В файле параметров связи меньше восьми строк. Файл не загружен."));
    QCOMPARE(f->Edit1->text(), QString());
    f->Button4->click();
    QCOMPARE(Boxes(f), (std::vector<QString>{"on", "10.1.2.3", "255.0.0.0", "10.0.0.1", "10.0.0.9",
                                             "6000", "15", "20"}));
    QVERIFY(bench_.Codes().empty());  // loading sends nothing
  }

  void idDevReadAndSet() {
    bench_.reg->ChangeState([](sim::RegisterState& s) { s.id_dev = "305419896"; });
    auto* f = w().Form50;
    f->show();
    f->Button1->click();
    QCOMPARE(f->Edit1->text(), QString("305419896"));
    QCOMPARE(f->Label3->text(), QString("Значение ID_DEV (Hex):  12345678"));
    QCOMPARE(Messages().back(), std::string("Успешно!"));

    bench_.reg->SetNextError(0x0600);
    f->Button1->click();
    QCOMPARE(Messages().back(), std::string("Чтение ID_DEV, код ошибки:\n  0006"));

    bench_.reg->ClearRequests();
    f->Edit1->clear();
    f->Button2->click();
    QCOMPARE(Messages().back(), std::string("Не введён ID_DEV. Ошибка!"));
    f->Edit1->setText("12;34");
    f->Button2->click();
    QVERIFY(bench_.Codes().empty());
    QCOMPARE(Messages().back(), std::string("Поле \"Значение ID_DEV\" не может содержать символ "
                                            "\";\" и управляющие символы. Ошибка!"));
    f->Edit1->setText("305419896");
    f->Button2->click();
    QCOMPARE(LastText(), std::string("406172;305419896;"));
    QCOMPARE(Messages().back(), std::string("Успешно!"));
  }

  // Only digits with a value the relay can route by reach SetIdDev; the rest is refused
  // before anything is sent.
  void idDevSetRefusesWhatTheRelayCannotRoute_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("sent");
    QTest::newRow("one past the largest") << "4294967296" << false;
    QTest::newRow("a letter") << "12a" << false;
    QTest::newRow("a sign") << "-1" << false;
    QTest::newRow("a plus") << "+7" << false;
    QTest::newRow("blanks") << " 12 " << false;
    QTest::newRow("digits too many") << "99999999999999999999" << false;
    QTest::newRow("the largest") << "4294967295" << true;
    QTest::newRow("zero") << "0" << true;
  }
  void idDevSetRefusesWhatTheRelayCannotRoute() {
    QFETCH(QString, typed);
    QFETCH(bool, sent);
    auto* f = w().Form50;
    f->show();
    f->Edit1->setText(typed);
    f->Button2->click();
    if (sent) {
      // Sent as typed; what the register answers is its own affair (the simulated one keeps
      // to the nine digits of the relay's registration).
      QCOMPARE(bench_.Codes(), std::vector<int>{75});
      QCOMPARE(LastText(), "406172;" + ui::S(typed) + ";");
      QCOMPARE(Messages().size(), std::size_t{1});
      QVERIFY(Messages()[0].find("ID_DEV не установлен") == std::string::npos);
    } else {
      QVERIFY(bench_.Codes().empty());
      QCOMPARE(Messages().size(), std::size_t{1});
      QVERIFY2(Messages()[0].find("ID_DEV не установлен") != std::string::npos,
               Messages()[0].c_str());
      QVERIFY(Messages()[0].find("4294967295") != std::string::npos);
    }
  }

  void modemStateBits() {
    bench_.reg->ChangeState([](sim::RegisterState& s) {
      s.modem_sam_fault = true;
      s.modem_blocked_72h = true;
      s.ethernet_cable = false;
      s.personalized = true;
      s.first_undelivered = 1;
    });
    auto* f = w().Form51;
    f->show();
    f->CheckBox8->setChecked(true);
    f->Button28->click();
    QCOMPARE(LastText(), std::string("406172;1;"));
    std::vector<bool> bits;
    for (QCheckBox* b : f->StatusBits)
      bits.push_back(b->isChecked());
    // 0xAD: SAM, 72 hours, ID_DEV set, personalised, documents waiting; no cable.
    QCOMPARE(bits, (std::vector<bool>{true, false, true, true, false, true, false, true}));
    QCOMPARE(f->Edit32->text(), QString("010170"));
    QCOMPARE(f->Edit7->text(), QString("0000"));

    bench_.reg->SetNextError(0x0600);
    f->Button28->click();
    QCOMPARE(Messages().back(), std::string("Состояние модема. Ошибка!"));
    QCOMPARE(f->Edit7->text(), QString("0006"));
  }

  void acquirerSessionShowsFieldsEvenWithAnError() {
    auto* f = w().Form53;
    f->show();
    f->Button2->click();
    QCOMPARE(f->Edit1->text(), QString("000000"));
    QCOMPARE(f->Edit2->text(), QString("0000"));
    QVERIFY(Messages().empty());
    bench_.reg->SetNextError(0x0600);
    f->Button2->click();
    QCOMPARE(f->Edit7->text(), QString("0006"));
    QCOMPARE(Messages(), std::vector<std::string>{"Состояние модема. Ошибка!"});
    bench_.reg->ChangeFaults([](sim::Faults& fl) { fl.no_answer = true; });
    f->Button2->click();
    QCOMPARE(Messages().back(), std::string("Таймаут устройства! Ошибка!"));
    QCOMPARE(f->Edit1->text(), QString());
  }
};

QTEST_MAIN(NetworkDialogTest)
#include "network_dialog_test.moc"
