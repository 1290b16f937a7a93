// The task window base on the built-in simulator: Enter presses nothing, a click while the
// link waits starts nothing, a builder's refusal sends nothing, a damaged answer is a failure,
// Esc during a loop stops it and leaves the window open, the close box stops it and closes
// afterwards, a window closed only with its button ignores Esc and the desktop's close when
// idle, activation runs once per opening.
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QSpontaneKeyEvent>
#include <QTimer>
#include <QtTest>

#include "app/ui/qt_platform.h"
#include "app/ui/task_dialog.h"
#include "link/commands.h"
#include "link/engine.h"
#include "tests/app/ui/window_test_bench.h"

using namespace tolvanet;

namespace {

// A window written the way docs/dialogs.md says.
class SampleDialog : public ui::TaskDialog {
 public:
  SampleDialog() : TaskDialog(nullptr, "Sample", "Пример") {
    auto* layout = new QHBoxLayout(this);
    Edit1 = NewPasswordEdit("Edit1");
    Edit2 = new QLineEdit("1.00", this);
    Edit3 = NewErrorCodeBox("Edit3");
    Button1 = NewCommandButton("Button1", "Продать", &SampleDialog::Button1Click);
    Button2 = NewCommandButton("Button2", "Время", &SampleDialog::Button2Click);
    Button3 = NewCommandButton("Button3", "Цикл", &SampleDialog::Button3Click);
    Button4 = NewStatusButton("Button4");
    for (QWidget* w :
         std::initializer_list<QWidget*>{Edit1, Edit2, Edit3, Button1, Button2, Button3, Button4})
      layout->addWidget(w);
  }
  QLineEdit *Edit1, *Edit2, *Edit3;
  QPushButton *Button1, *Button2, *Button3, *Button4;
  int activations = 0;
  int blocks = 0;

  void Button1Click() {
    int rc = 0;
    const ReplyRecord& reply = SellItem(ui::S(Edit1->text()), 1, Edit2->text().toDouble(), 1.0, rc);
    End(cmd::kSellItem, rc, reply, ReplyCheck::Heading("Продажа:\n  "));
  }
  void Button2Click() {
    int rc = 0;
    const ReplyRecord& reply = GetDateTime(ui::S(Edit1->text()), rc);
    End(cmd::kGetDateTime, rc, reply, ReplyCheck::Fixed("Ошибка чтения времени!"));
  }
  void CloseOnlyWithButton() { TaskDialog::CloseOnlyWithButton(); }
  void Button3Click() {
    for (int i = 0; i < 5; ++i) {
      int rc = 0;
      if (!End(cmd::kGetDateTime, rc, GetDateTime("406172", rc), ReplyCheck::Silent()))
        return;
      ++blocks;
      if (!KeepGoing())
        return;
    }
  }

 protected:
  void FormActivate() override { ++activations; }
};

// The close the desktop sends (the close box, Alt+F4): true when the window accepted it.
bool DesktopClose(QWidget* window) {
  QCloseEvent close;
  QSpontaneKeyEvent::setSpontaneous(&close);
  QApplication::instance()->notify(window, &close);  // sendEvent would clear the flag
  return close.isAccepted();
}

}  // namespace

class TaskDialogTest : public QObject {
  Q_OBJECT

 private:
  testing::WindowTestBench bench_;
  testing::ScriptedPlatform& platform_ = bench_.platform;
  std::unique_ptr<SampleDialog> d_;

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    QVERIFY(bench_.ConnectAndClear());
    d_ = std::make_unique<SampleDialog>();
  }

  void cleanup() {
    d_.reset();
    bench_.TearDown();
  }

  void enterInABoxPressesNoButton() {
    d_->show();
    for (QWidget* box : {static_cast<QWidget*>(d_->Edit1), static_cast<QWidget*>(d_->Edit2)}) {
      box->setFocus();
      QTest::keyClick(box, Qt::Key_Return);
      QTest::keyClick(box, Qt::Key_Enter);
    }
    QVERIFY(bench_.Codes().empty());
    QVERIFY(d_->isVisible());
    for (QPushButton* b : d_->findChildren<QPushButton*>())
      QVERIFY(!b->autoDefault() && !b->isDefault());
  }

  void aClickWhileTheLinkWaitsStartsNothing() {
    d_->show();
    bench_.reg->ChangeFaults([](sim::Faults& f) { f.answer_delay_ms = 300; });
    bool buttons_disabled = true;
    int clicks = 0;
    platform_.on_process_events = [&] {
      if (clicks++ > 0)
        return;
      buttons_disabled = !d_->Button1->isEnabled() && !d_->Button2->isEnabled();
      d_->Button1->click();
      d_->Button2->click();
      d_->RunGuarded([] { QFAIL("a second operation started"); });
    };
    d_->Button2->click();
    platform_.on_process_events = nullptr;
    QVERIFY(clicks > 0);
    QVERIFY(buttons_disabled);
    QCOMPARE(bench_.Codes(), std::vector<int>{cmd::kGetDateTime});
    QVERIFY(d_->Button1->isEnabled() && d_->Button2->isEnabled());
    QVERIFY(d_->Button4->isEnabled());  // a command has run
    QCOMPARE(d_->Edit3->text(), QString("0000"));
  }

  void aRefusedBuilderSendsNothingAndKeepsTheCurrentReply() {
    d_->show();
    d_->Button2->click();  // a command that succeeds
    const ReplyRecord* before = TheAppState().current_reply;
    const std::string text_before = before->command_text;
    bench_.reg->ClearRequests();
    platform_.messages.clear();
    d_->Edit3->setText("0000");
    d_->Edit2->setText("-1");
    d_->Button1->click();
    QVERIFY(bench_.Codes().empty());
    QCOMPARE(platform_.messages,
             std::vector<std::string>{"Команда не отправлена: цена не может быть отрицательной."});
    QCOMPARE(TheAppState().current_reply, before);
    QCOMPARE(before->command_text, text_before);
  }

  void aDamagedSuccessIsAFailure() {
    d_->show();
    bench_.reg->ChangeFaults([](sim::Faults& f) { f.corrupt_checksum = true; });
    d_->Button2->click();
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY(platform_.messages[0].find("контрольной суммы") != std::string::npos);
    QVERIFY(d_->Button4->isEnabled());  // the status of that reply can still be looked at
  }

  // Esc stops the loop and no more: the window stays open with what the loop did; the close
  // box (a spontaneous close) also stops it, and the window closes when it has ended.
  void escOrTheCloseBoxDuringALoop_data() {
    QTest::addColumn<bool>("close_box");
    QTest::addColumn<bool>("only_with_button");
    QTest::newRow("Esc") << false << false;
    QTest::newRow("Esc, closed only with its button") << false << true;
    QTest::newRow("close box") << true << false;
  }
  void escOrTheCloseBoxDuringALoop() {
    QFETCH(bool, close_box);
    QFETCH(bool, only_with_button);
    if (only_with_button)
      d_->CloseOnlyWithButton();
    d_->show();
    int passes = 0;
    platform_.on_process_events = [&] {
      if (++passes == 1) {
        if (close_box) {
          DesktopClose(d_.get());
        } else {
          QTest::keyClick(d_.get(), Qt::Key_Escape);
        }
      }
      QVERIFY(d_->isVisible());  // never while the loop runs
    };
    d_->Button3->click();
    platform_.on_process_events = nullptr;
    QVERIFY(d_->blocks >= 1 && d_->blocks < 5);
    QCOMPARE(d_->isVisible(), !close_box);
    // Open: the status of the last reply can be looked at; closed: disabled again.
    QCOMPARE(d_->Button4->isEnabled(), !close_box);
    if (!close_box) {
      QVERIFY(d_->Button3->isEnabled());  // and the next operation can start
      const int before = d_->blocks;
      d_->Button3->click();
      QCOMPARE(d_->blocks, before + 5);
    }
  }

  // Esc when idle closes an ordinary window; one closed only with its own button stays open,
  // and the desktop's close does not close it either, while its button (accept) does.
  void escWhenIdle() {
    d_->show();
    QTest::keyClick(d_.get(), Qt::Key_Escape);
    QVERIFY(!d_->isVisible());

    SampleDialog only;
    only.CloseOnlyWithButton();
    only.show();
    QVERIFY(!(only.windowFlags() & Qt::WindowCloseButtonHint));
    QTest::keyClick(&only, Qt::Key_Escape);
    QVERIFY(only.isVisible());
    QVERIFY(!DesktopClose(&only));
    QVERIFY(only.isVisible());
    QVERIFY(bench_.Codes().empty());
    only.accept();
    QVERIFY(!only.isVisible());
  }

  void activationRunsOncePerOpening() {
    d_->show();
    QCOMPARE(d_->activations, 1);
    // A modal window opened over it and closed again is not a new opening.
    QDialog over(d_.get());
    QTimer::singleShot(0, &over, &QDialog::accept);
    over.exec();
    QCOMPARE(d_->activations, 1);
    d_->close();
    d_->show();
    QCOMPARE(d_->activations, 2);
  }
};

QTEST_MAIN(TaskDialogTest)
#include "task_dialog_test.moc"
