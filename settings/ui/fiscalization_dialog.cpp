// TForm19: fiscalize the register and print the confirmation receipt.
#include "settings/ui/fiscalization_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <chrono>

#include "app/app_state.h"
#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/translate.h"
#include "settings/fiscal_params.h"

namespace tolvanet::ui {

namespace {

// The window as the host of the fiscalization sequence.
class WindowHost : public FiscalizationHost {
 public:
  WindowHost(TaskDialog& window, QLineEdit& error_code, QLabel& progress)
      : window_(window), error_code_(error_code), progress_(progress) {}

  void ReplyReceived(const ReplyRecord& reply) override {
    TheAppState().current_reply = &reply;
    error_code_.setText(Q(FromCp1251(reply.error_code)));
  }
  void ShowMessage(const std::string& text) override { ThePlatform().ShowMessage(text); }
  void WaitAttempt(int attempt, int attempts) override {
    progress_.setText(
        QString(Tr("Ожидание регистратора: попытка %1 из %2")).arg(attempt).arg(attempts));
    progress_.show();
    ThePlatform().ProcessEvents();
  }
  bool StopRequested() override { return window_.StopRequested(); }
  void Pause(int ms) override { ThePlatform().Pause(ms); }
  std::int64_t NowMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

 private:
  TaskDialog& window_;
  QLineEdit& error_code_;
  QLabel& progress_;
};

}  // namespace

TForm19::TForm19(QWidget* parent) : TaskDialog(parent, "Form19", QTr("Фискализация")) {
  Edit4 = new QLineEdit(this);
  Edit4->setObjectName("Edit4");
  Edit4->setMaxLength(static_cast<int>(kSerialMax));
  auto make_secret = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setMaxLength(6);
    e->setEchoMode(QLineEdit::Password);
    return e;
  };
  Edit1 = make_secret("Edit1");
  Edit2 = make_secret("Edit2");
  Edit3 = NewPasswordEdit("Edit3");
  Edit5 = NewErrorCodeBox("Edit5");
  Progress = new QLabel(this);
  Progress->setObjectName("Progress");
  Progress->hide();
  Button2 = NewCommandButton("Button2", QTr("Фискализация"), &TForm19::Button2Click);
  Stop = NewButton("Stop", QTr("Прервать ожидание"), [this] { RequestStop(); });
  Stop->setEnabled(false);
  Button1 = NewButton("Button1", QTr("Закрыть"), [this] { accept(); });

  auto* form = new QFormLayout;
  form->addRow(QTr("Заводской номер ККМ:"), Edit4);
  form->addRow(QTr("Пароль налогового инспектора:"), Edit1);
  form->addRow(QTr("Повторите ввод пароля:"), Edit2);
  form->addRow(QTr("Пароль:"), Edit3);
  form->addRow(QTr("Код ошибки:"), Edit5);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {Button2, Stop, Button1})
    buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(Progress);
  layout->addLayout(buttons);
}

void TForm19::Button2Click() {
  const FiscalizationInput input{RegisterText(Edit3), RegisterText(Edit4), RegisterText(Edit1),
                                 RegisterText(Edit2)};
  if (const std::string refusal = CheckFiscalizationInput(input); !refusal.empty()) {
    ThePlatform().ShowMessage(refusal);
    return;
  }
  if (!ThePlatform().Ask({Tr("Фискализация"), FiscalizationQuestion(S(Edit4->text())), true}))
    return;
  WindowHost host(*this, *Edit5, *Progress);
  Stop->setEnabled(true);
  RunFiscalization(input, host, wait);
  Stop->setEnabled(false);
  Progress->hide();
}

}  // namespace tolvanet::ui
