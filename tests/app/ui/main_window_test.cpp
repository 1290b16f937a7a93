// The main window against the built-in simulator: connecting, disconnecting, the status check,
// closing, and the configuration file.
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <asio.hpp>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/app_state.h"
#include "app/config.h"
#include "app/profile.h"
#include "app/ui/windows.h"
#include "link/codepage.h"
#include "link/engine.h"
#include "sim/register.h"
#include "sim/server.h"
#include "tests/app/ui/window_test_bench.h"

using namespace tolvanet;
using tolvanet::ui::colours::kLime;
using tolvanet::ui::colours::kRed;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Split(const std::string& data) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : data) {
    if (c == ';') {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty())
    out.push_back(cur);
  return out;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  testing::WindowTestBench bench_;
  testing::ScriptedPlatform& platform_ = bench_.platform;
  sim::Register*& reg_ = bench_.reg;
  std::unique_ptr<ui::Windows>& w_ = bench_.windows;

  std::string Ini() const { return bench_.Ini(); }
  void WriteIni(const char* section, const char* key, const char* value) {
    WritePrivateProfileString(section, key, value, Ini());
  }
  void Connect(const QString& id = "TEST1") { bench_.Connect(id); }
  std::vector<int> CodesReceived() const { return bench_.Codes(); }

 private slots:
  void init() { QVERIFY(bench_.SetUp(/*create_config=*/false)); }
  void cleanup() { bench_.TearDown(); }

  void freshStartCreatesTheConfigurationFile() {
    w_->Form1->FormActivate();
    QCOMPARE(platform_.messages,
             std::vector<std::string>{"Файл fpinit.ini отсутствует.\n Создание файла!"});
    const std::string ini = ReadFile(Ini());
    QCOMPARE(GetPrivateProfileString("CountryMode", "Country code", "-", 10, Ini()),
             std::string("0"));
    QCOMPARE(GetPrivateProfileString("Fiscal Printer", "ExtendedTax", "-", 10, Ini()),
             std::string("1"));
    QCOMPARE(GetPrivateProfileString("LogFile", "Log", "-", 10, Ini()), std::string("0"));
    QCOMPARE(GetPrivateProfileString("LogFile", "LogName", "-", 300, Ini()),
             std::string("tolvan.log"));
    QVERIFY(ini.find("[Communication]") == std::string::npos);
    QVERIFY(platform_.pauses.size() >= 1 && platform_.pauses[0] == 1000);
    QVERIFY(w_->Form1->Button3->isEnabled());
    QVERIFY(w_->Form1->Button1->isEnabled());
  }

  void activationFillsTheFieldsFromTheFile() {
    CreateDefaultConfig(Ini());
    WriteIni("Communication", "Address", "relay.example");
    WriteIni("communication", "iddev", "ab12");
    WriteIni("Communication", "UseIDdef", "1x");
    w_->Form1->FormActivate();
    QCOMPARE(w_->Form1->Edit1->text(), QString("relay.example"));
    QCOMPARE(w_->Form1->Edit2->text(), QString("AB12"));

    WriteIni("Communication", "UseIDdef", "0");
    w_->Form1->Edit2->setText("typed");
    w_->Form1->FormActivate();
    QCOMPARE(w_->Form1->Edit2->text(), QString("typed"));
    QVERIFY(platform_.messages.empty());
  }

  void connectShowsTheRegisterLine() {
    CreateDefaultConfig(Ini());
    reg_->ForceStatusBits(0, 0x01);  // service mode
    const auto expected = Split(reg_->Execute(128, "406172;").data);
    reg_->ClearRequests();
    Connect();
    QVERIFY2(platform_.messages.empty(),
             platform_.messages.empty() ? "" : platform_.messages[0].c_str());
    QCOMPARE(w_->Form1->StatusBar1->text(),
             QString::fromStdString("   Модель:" + FromCp1251(expected.at(0)) +
                                    ",    Версия:" + FromCp1251(expected.at(1)) + ",     " +
                                    FromCp1251(expected.at(2)) + ". Сервис.реж."));
    QCOMPARE(w_->Form1->Shape1->color(), kLime);
    QCOMPARE(w_->Form1->Shape2->color(), kLime);
    QCOMPARE(w_->Form1->Button3->text(), QString("Отключить"));
    QVERIFY(w_->Form1->Button3->isEnabled());
    QVERIFY(!w_->Form1->Button4->isEnabled());
    QVERIFY(w_->Form1->Button2->isEnabled());
    QVERIFY(w_->Form1->N6->isEnabled());
    QVERIFY(w_->Form1->N28->isEnabled());
    QCOMPARE(CodesReceived(), std::vector<int>{128});
    QCOMPARE(reg_->requests()[0].text, std::string("406172;"));
    // Neither the gaps of connecting nor the wait of closing take a click or a key.
    w_->Form1->close();
    QVERIFY(!platform_.pause_input.empty());
    for (bool took_input : platform_.pause_input)
      QVERIFY(!took_input);
  }

  void statusCheckWithADamagedAnswerOpensNothing() {
    CreateDefaultConfig(Ini());
    Connect();
    const QString line = w_->Form1->StatusBar1->text();
    TheAppState().payment_type_count = 3;
    reg_->ChangeFaults([](sim::Faults& f) { f.corrupt_checksum = true; });
    platform_.messages.clear();
    w_->Form1->Button2Click();  // would block in the status window if it opened
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY(platform_.messages[0].rfind("Проверка состояния регистратора:\n  ", 0) == 0);
    QVERIFY(platform_.messages[0].find("контрольной суммы") != std::string::npos);
    QCOMPARE(w_->Form1->StatusBar1->text(), line);
    QCOMPARE(TheAppState().payment_type_count, 3);
  }

  void connectFailures_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong ID_DEV") << 0 << "РРО с данным ID_DEV не подключен!";
    QTest::newRow("connection refused") << 1 << "Невозможно подключиться к IP адресу";
    QTest::newRow("diagnostic refused")
        << 2 << "Проверка состояния регистратора:\n  Неверный пароль доступа!";
    QTest::newRow("diagnostic unanswered")
        << 3 << "Проверка состояния регистратора:\n  Таймаут устройства! Ошибка!";
  }
  void connectFailures() {
    QFETCH(int, kind);
    QFETCH(QString, message);
    CreateDefaultConfig(Ini());
    QString id = "TEST1";
    if (kind == 0)
      id = "NOPE";
    if (kind == 1) {
      asio::io_context io;
      asio::ip::tcp::acceptor a(io, {asio::ip::make_address("127.0.0.1"), 0});
      TheLink().timings().port = a.local_endpoint().port();
    }
    if (kind == 2)
      reg_->SetNextError(0x0600);
    if (kind == 3)
      reg_->ChangeFaults([](sim::Faults& f) { f.no_answer = true; });
    Connect(id);
    QCOMPARE(platform_.messages, std::vector<std::string>{message.toStdString()});
    QCOMPARE(w_->Form1->Shape1->color(), kRed);
    QCOMPARE(w_->Form1->Button3->text(), QString("Подключить"));
    QVERIFY(w_->Form1->Button3->isEnabled());
    QVERIFY(!w_->Form1->Button4->isEnabled());
    if (kind < 2)
      QVERIFY(!TheLink().IsActive());
  }

  void abortDuringASlowRegistration() {
    CreateDefaultConfig(Ini());
    TheLink().timings().register_steps = 100;
    reg_->ChangeFaults([](sim::Faults& f) { f.registration_delay_ms = 3000; });
    platform_.on_process_events = [this] {
      if (w_->Form1->Button4->isEnabled())
        w_->Form1->Button4->click();
    };
    Connect();
    QCOMPARE(platform_.messages,
             std::vector<std::string>{"Соединение разорвано по требованию оператора!"});
    QVERIFY(!TheLink().IsActive());
    QCOMPARE(w_->Form1->Shape1->color(), kRed);
    QCOMPARE(w_->Form1->Shape2->color(), kRed);
    QVERIFY(w_->Form1->Button3->isEnabled());
    QVERIFY(!w_->Form1->Button4->isEnabled());
    QVERIFY(reg_->requests().empty());
  }

  void disconnect() {
    CreateDefaultConfig(Ini());
    Connect();
    QVERIFY(TheLink().IsActive());
    w_->Form1->Button3Click();
    QVERIFY(!TheLink().IsActive());
    QCOMPARE(w_->Form1->StatusBar1->text(), QString());
    QVERIFY(!w_->Form1->Button2->isEnabled());
    QVERIFY(!w_->Form1->N6->isEnabled());
    QCOMPARE(w_->Form1->Shape2->color(), kRed);
    QCOMPARE(w_->Form1->Button3->text(), QString("Подключить"));
  }

  void statusCheckOpensTheStatusWindow() {
    CreateDefaultConfig(Ini());
    Connect();
    reg_->ForceStatusBits(2, 0x15);
    bool checked = false;
    QTimer::singleShot(0, [&] {
      ui::TForm5* f = w_->Form5;
      QVERIFY(f->isVisible());
      QVERIFY(f->CheckBox(33)->isChecked());   // (1) Состояние чека
      QVERIFY(!f->CheckBox(34)->isChecked());  // (2)
      QVERIFY(f->CheckBox(35)->isChecked());   // (4)
      QVERIFY(f->CheckBox(37)->isChecked());   // (10) Открыт чек возврата
      QCOMPARE(f->ComboBox1->currentText(), QString("5. Произвольный текстовый документ открыт"));
      for (int first : {1, 17, 33, 9, 25, 41})
        QVERIFY(f->CheckBox(first + 7)->isChecked());
      checked = true;
      f->Button1->click();
    });
    w_->Form1->Button2Click();
    QVERIFY(checked);
    QVERIFY(TheAppState().status_available);
  }

  void statusWindowStatesAndAFailingRefresh() {
    ReplyRecord zero;
    zero.status_bytes = {0, 0, 12, 0, 0, 0};
    TheAppState().current_reply = &zero;
    ui::TForm5* f = w_->Form5;
    f->FormActivate();
    QCOMPARE(f->ComboBox1->currentText(), QString("12."));
    for (int first : {1, 17, 33, 9, 25, 41})
      QVERIFY(f->CheckBox(first + 7)->isChecked());
    QVERIFY(!f->CheckBox(1)->isChecked());

    // Not connected: the refresh times out; the boxes stay, the current reply is the failing one.
    f->Button2Click();
    QCOMPARE(platform_.messages,
             std::vector<std::string>{
                 "Проверка состояния регистратора:\n  Таймаут устройства! Ошибка!"});
    QCOMPARE(f->ComboBox1->currentText(), QString("12."));
    QVERIFY(TheAppState().current_reply != &zero);
    QVERIFY(TheAppState().current_reply->NoAnswer());
  }

  void closingWithTheTitleBarSwitchesRemoteAccessOff() {
    CreateDefaultConfig(Ini());
    Connect();
    reg_->ClearRequests();
    w_->Form1->close();
    QVERIFY(!TheLink().IsActive());
    const auto requests = reg_->requests();
    QCOMPARE(requests.size(), std::size_t{2});
    QCOMPARE(int(requests[0].code), 129);
    QCOMPARE(requests[0].text, "406172;2;0;" + ToCp1251("Локальний доступ!") + ";");
    QCOMPARE(int(requests[1].code), 136);
    QCOMPARE(requests[1].text, std::string("406172;20;0;"));
  }

  void closingWithTheButtonSavesAndSendsNothing() {
    CreateDefaultConfig(Ini());
    Connect();
    reg_->ClearRequests();
    w_->Form1->Edit1->setText("127.0.0.1");
    w_->Form1->Edit2->setText("TEST1");
    w_->Form1->Button1Click();
    QVERIFY(!TheLink().IsActive());
    QVERIFY(reg_->requests().empty());
    QCOMPARE(GetPrivateProfileString("Communication", "Address", "", 30, Ini()),
             std::string("127.0.0.1"));
    QCOMPARE(GetPrivateProfileString("Communication", "IDDEV", "", 10, Ini()),
             std::string("TEST1"));
  }

  void fiscalParameterItemFollowsTheConfiguration_data() {
    QTest::addColumn<QString>("extended");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0 medium") << "0"
                              << "medium"
                              << "TForm18";
    QTest::newRow("1 medium") << "1"
                              << "medium"
                              << "TForm37";
    QTest::newRow("2 medium") << "2"
                              << "medium"
                              << "Ошибка в ini-файле. Параметр ExtendedTax!";
    QTest::newRow("2 high") << "2"
                            << "high"
                            << "TForm37";
    QTest::newRow("0 high") << "0"
                            << "high"
                            << "TForm37";
  }
  void fiscalParameterItemFollowsTheConfiguration() {
    QFETCH(QString, extended);
    QFETCH(QString, level);
    QFETCH(QString, expected);
    CreateDefaultConfig(Ini());
    WriteIni("Fiscal Printer", "ExtendedTax", extended.toUtf8().constData());
    WriteIni("Priority", "Level", level.toUtf8().constData());
    // The chosen window opens modally: note which one and close it (watched for until it is
    // up, which may take more than one turn of the event loop on a slow build).
    QString opened;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        opened = "T" + modal->objectName();
        watch.stop();
        modal->close();
      }
    });
    watch.start();
    w_->Form1->N30Click();
    watch.stop();
    if (expected.startsWith("TForm")) {
      QCOMPARE(opened, expected);
      QVERIFY(platform_.messages.empty());
      return;
    }
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY2(platform_.messages[0].find(expected.toStdString()) != std::string::npos,
             platform_.messages[0].c_str());
  }

  void logSwitchAtConnection_data() {
    QTest::addColumn<bool>("with_name");
    QTest::newRow("default name") << false;
    QTest::newRow("own name") << true;
  }
  void logSwitchAtConnection() {
    QFETCH(bool, with_name);
    CreateDefaultConfig(Ini());
    // The created file names "tolvan.log"; without the key the default "Tolvan.log" holds.
    std::string ini = ReadFile(Ini());
    ini.erase(ini.find("LogName"), ini.find('\n', ini.find("LogName")) - ini.find("LogName") + 1);
    std::ofstream(Ini(), std::ios::binary) << ini;
    WriteIni("LogFile", "Log", "1");
    if (with_name)
      WriteIni("LogFile", "LogName", "mine.log");
    TheEngine().log().SetLogFileName("");
    Connect();
    QCOMPARE(TheEngine().log().file_name(), std::string(with_name ? "mine.log" : "Tolvan.log"));
    TheEngine().log().SetLogFileName("");
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
