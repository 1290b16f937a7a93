// The command test dialog against the built-in simulator: opening from the menu, the code
// check, and the raw result of a command, device errors included, without message boxes.
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "app/app_state.h"
#include "app/config.h"
#include "app/ui/windows.h"
#include "link/codepage.h"
#include "link/engine.h"
#include "sim/register.h"
#include "sim/server.h"
#include "tests/app/ui/window_test_bench.h"

using namespace tolvanet;

class CommandTestDialogTest : public QObject {
  Q_OBJECT

 private:
  testing::WindowTestBench bench_;
  testing::ScriptedPlatform& platform_ = bench_.platform;
  sim::Register*& reg_ = bench_.reg;
  std::unique_ptr<ui::Windows>& w_ = bench_.windows;
  ui::TForm14* f_ = nullptr;

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.Connect());
    reg_->ClearRequests();
    platform_.messages.clear();
    f_ = w_->Form14;
  }

  void cleanup() { bench_.TearDown(); }

  void menuItemOpensTheDialogNamed() {
    QVERIFY(w_->Form1->N31->isEnabled());
    QCOMPARE(f_->windowTitle(), QString("Тест команд:"));
    f_->Edit3->setText("old");
    f_->Edit4->setText("old");
    f_->SpeedButton2->setEnabled(true);
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QVERIFY(f_->isVisible());
      QCOMPARE(f_->windowTitle(), QString("Тест команд"));
      QCOMPARE(f_->StatusPanel->text(), QString("   Тест команд:  "));
      QVERIFY(!f_->SpeedButton2->isEnabled());
      QVERIFY(f_->Edit3->text().isEmpty());
      QVERIFY(f_->Edit4->text().isEmpty());
      QCOMPARE(f_->focusWidget(), f_->Edit1);
      seen = true;
      f_->Button2->click();
    });
    w_->Form1->N31Click();
    QVERIFY(seen);
    QVERIFY(!f_->isVisible());
  }

  void codes_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("sent");  // -1: refused
    QTest::newRow("2f") << "2f" << 47;
    QTest::newRow("2F") << "2F" << 47;
    QTest::newRow("80") << "80" << 128;
    QTest::newRow("2G") << "2G" << -1;
    QTest::newRow("one character") << "2" << -1;
    QTest::newRow("empty") << "" << -1;
  }
  void codes() {
    QFETCH(QString, code);
    QFETCH(int, sent);
    f_->FormActivate();
    f_->Edit2->setText("old");
    f_->Edit6->setText(code);
    f_->Edit1->setText("1");
    f_->Button1->click();
    QVERIFY(f_->Edit2->text() != "old");
    const auto requests = reg_->requests();
    if (sent < 0) {
      QCOMPARE(platform_.messages, std::vector<std::string>{"Неверный код команды"});
      QVERIFY(requests.empty());
      QVERIFY(!f_->SpeedButton2->isEnabled());
      QVERIFY(f_->Edit3->text().isEmpty());
      return;
    }
    QVERIFY(platform_.messages.empty());
    QCOMPARE(requests.size(), std::size_t{1});
    QCOMPARE(int(requests[0].code), sent);
    QCOMPARE(requests[0].text, std::string("406172;1"));
    QVERIFY(f_->SpeedButton2->isEnabled());
  }

  void resultFieldsWithAndWithoutAnError_data() {
    QTest::addColumn<bool>("device_error");
    QTest::newRow("success") << false;
    QTest::newRow("device error") << true;
  }
  void resultFieldsWithAndWithoutAnError() {
    QFETCH(bool, device_error);
    if (device_error)
      reg_->SetNextError(0x0600);
    reg_->ForceStatusBits(4, 0x01);
    f_->FormActivate();
    f_->Edit6->setText("80");
    f_->Edit5->setText("406172");
    f_->Edit1->clear();
    QTest::keyClick(f_->Edit1, Qt::Key_Return);
    QVERIFY(platform_.messages.empty());
    QCOMPARE(reg_->requests().size(), std::size_t{1});
    const ReplyRecord& reply = TheEngine().reply();
    QCOMPARE(TheAppState().current_reply, &reply);
    QCOMPARE(f_->Edit2->text(), QString::fromStdString(FromCp1251(reply.answer_copy)));
    QCOMPARE(f_->Edit3->text(), QString::fromStdString(reply.error_code));
    QCOMPARE(f_->Edit4->text(), QString::fromStdString(StatusText(reply)));
    QString status;
    for (std::uint8_t b : reg_->StatusBytes())
      status += QString::asprintf("%02X ", b & 0x7F);
    QCOMPARE(f_->Edit4->text(), status);
    QVERIFY(status.split(' ')[4].toInt(nullptr, 16) & 0x01);
    QCOMPARE(f_->Edit3->text() == "0000", !device_error);
    QCOMPARE(f_->Edit2->text().isEmpty(), device_error);
    QVERIFY(f_->SpeedButton2->isEnabled());
  }

  void aTextTooLongIsNotSent() {
    f_->Edit6->setText("80");
    f_->Edit1->setText(QString(230, 'x'));
    f_->Button1->click();
    QVERIFY(reg_->requests().empty());
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY(platform_.messages[0].find("219") != std::string::npos);
    QVERIFY(f_->Edit3->text().isEmpty());
    QVERIFY(!f_->SpeedButton2->isEnabled());
  }
};

QTEST_MAIN(CommandTestDialogTest)
#include "command_test_dialog_test.moc"
