#include "app/ui/task_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/free_text.h"

namespace tolvanet::ui {

namespace {
QDialog* status_window = nullptr;
}

void SetStatusWindow(QDialog* dialog) {
  status_window = dialog;
}

void ShowStatusWindow() {
  if (status_window != nullptr)
    status_window->exec();
}

std::string RegisterText(const QLineEdit* edit) {
  return ToCp1251(S(edit->text()));
}

std::vector<std::string> RegisterLines(const QPlainTextEdit* memo) {
  std::vector<std::string> lines = TextLines(S(memo->toPlainText()));
  for (std::string& line : lines)
    line = ToCp1251(line);
  return lines;
}

TaskDialog::TaskDialog(QWidget* parent, const char* object_name, const QString& caption)
    : QDialog(parent) {
  setObjectName(object_name);
  setWindowTitle(caption);
}

QLineEdit* TaskDialog::NewPasswordEdit(const char* name) {
  auto* edit = new QLineEdit(kDefaultPassword, this);
  edit->setObjectName(name);
  return edit;
}

QPushButton* TaskDialog::NewButton(const char* name, const QString& text,
                                   std::function<void()> handler) {
  auto* button = new QPushButton(text, this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [handler = std::move(handler)] { handler(); });
  return button;
}

QPushButton* TaskDialog::NewCommandButton(const char* name, const QString& text,
                                          std::function<void()> handler) {
  QPushButton* button =
      NewButton(name, text, [this, handler = std::move(handler)] { RunGuarded(handler); });
  command_buttons_.push_back(button);
  return button;
}

QPushButton* TaskDialog::NewStatusButton(const char* name) {
  status_button_ = NewButton(name, QTr("Состояние регистратора"), [this] {
    if (!Busy())
      ShowStatusWindow();
  });
  status_button_->setEnabled(false);
  status_enabled_ = false;
  return status_button_;
}

QLineEdit* TaskDialog::NewErrorCodeBox(const char* name) {
  error_code_box_ = new QLineEdit(this);
  error_code_box_->setObjectName(name);
  error_code_box_->setReadOnly(true);
  return error_code_box_;
}

QStatusBar* TaskDialog::NewStatusBar(QLabel*& panel) {
  auto* bar = new QStatusBar(this);
  bar->setObjectName("StatusBar1");
  bar->setSizeGripEnabled(false);
  panel = new QLabel(bar);
  panel->setObjectName("StatusPanel");
  bar->addWidget(panel, 1);
  return bar;
}

void TaskDialog::SetButtonEnabled(QPushButton* button, bool enabled) {
  for (std::size_t i = 0; i < command_buttons_.size(); ++i) {
    if (command_buttons_[i] == button && Busy() && i < held_.size()) {
      held_[i] = enabled;
      return;
    }
  }
  button->setEnabled(enabled);
}

void TaskDialog::SetStatusButtonEnabled(bool enabled) {
  status_enabled_ = enabled;
  if (status_button_ != nullptr && !Busy())
    status_button_->setEnabled(enabled);
}

void TaskDialog::CloseOnlyWithButton() {
  close_only_with_button_ = true;
  setWindowFlags(
      (windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
      ~(Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint | Qt::WindowContextHelpButtonHint));
}

bool TaskDialog::RunGuarded(const std::function<void()>& work) {
  if (Busy())
    return false;
  ++busy_;
  stop_requested_ = false;
  held_.clear();
  for (QPushButton* b : command_buttons_) {
    held_.push_back(b->isEnabled());
    b->setEnabled(false);
  }
  if (status_button_ != nullptr)
    status_button_->setEnabled(false);

  work();

  for (std::size_t i = 0; i < command_buttons_.size() && i < held_.size(); ++i)
    command_buttons_[i]->setEnabled(held_[i]);
  held_.clear();
  if (status_button_ != nullptr)
    status_button_->setEnabled(status_enabled_);
  --busy_;
  if (close_pending_) {
    close_pending_ = false;
    if (isVisible())
      done(QDialog::Rejected);
  }
  return true;
}

bool TaskDialog::End(int command_code, int builder_result, const ReplyRecord& reply,
                     const ReplyCheck& check) {
  return EndCommand(command_code, builder_result, reply, check, [this](const ReplyRecord& r) {
    if (error_code_box_ != nullptr)
      error_code_box_->setText(Q(FromCp1251(r.error_code)));
    SetStatusButtonEnabled(true);
  });
}

bool TaskDialog::KeepGoing() {
  ThePlatform().ProcessEvents();
  return !stop_requested_;
}

void TaskDialog::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter never presses a button: it must not print, fiscalize or erase by accident.
      e->accept();
      return;
    case Qt::Key_Escape:
      // Esc stops a running operation and no more: the window stays open with its outcome
      // (a receipt window closed and reopened would lose the state of its boxes).
      if (Busy()) {
        RequestStop();
        e->accept();
        return;
      }
      if (close_only_with_button_) {
        e->accept();
        return;
      }
      break;
    default:
      break;
  }
  QDialog::keyPressEvent(e);
}

void TaskDialog::closeEvent(QCloseEvent* e) {
  if (close_only_with_button_ && e->spontaneous()) {
    e->ignore();  // the desktop's close (a key, a menu): the window's own button closes it
    return;
  }
  if (Busy()) {
    RequestStop();
    close_pending_ = true;
    e->ignore();
    return;
  }
  QDialog::closeEvent(e);
}

void TaskDialog::done(int result) {
  if (Busy()) {
    RequestStop();
    close_pending_ = true;
    return;
  }
  QDialog::done(result);
}

void TaskDialog::DisarmDefaults() {
  for (QPushButton* b : findChildren<QPushButton*>()) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
}

void TaskDialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (e->spontaneous())
    return;  // the desktop showed it again (restored from minimised): not a new opening
  DisarmDefaults();
  stop_requested_ = false;
  close_pending_ = false;
  FormActivate();
}

void TaskDialog::hideEvent(QHideEvent* e) {
  QDialog::hideEvent(e);
  if (e->spontaneous())
    return;
  SetStatusButtonEnabled(false);
  FormClose();
}

}  // namespace tolvanet::ui
