// The base of every task window: the password box, buttons that Enter never presses, the
// "Состояние регистратора" button, the one way of ending a device command, the guard that
// keeps a second operation from starting while one runs, Esc as Stop during an operation (the
// window stays open with its outcome), and the work a window does each time it is opened.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <functional>
#include <string>
#include <vector>

#include "app/dialog_pattern.h"

namespace tolvanet::ui {

inline constexpr char kDefaultPassword[] = "406172";

// The status-byte window that every "Состояние регистратора" button opens (set once at start).
void SetStatusWindow(QDialog* dialog);
// Opens it modally; it shows the status of the current reply.
void ShowStatusWindow();

// The text of a box as the register takes it (Windows-1251).
std::string RegisterText(const QLineEdit* edit);
// The lines of a multi-line box as the register takes them (Windows-1251), one per command: a
// final line break makes no extra line (TextLines).
std::vector<std::string> RegisterLines(const QPlainTextEdit* memo);

class TaskDialog : public QDialog {
  Q_OBJECT
 public:
  TaskDialog(QWidget* parent, const char* object_name, const QString& caption);

  // True while an operation of this window runs (a command, or a loop of commands).
  bool Busy() const { return busy_ > 0; }
  // Set by Stop, Esc or the close box while an operation runs; loops test it between blocks.
  // Esc only stops: the window stays open and shows how the operation ended. The close box
  // (or the window's close button) stops it too, and the window closes when it has ended.
  bool StopRequested() const { return stop_requested_; }
  void RequestStop() { stop_requested_ = true; }

  // Runs `work` as the window's one operation. Refused (false) while another runs; meanwhile
  // the command buttons and the status button are disabled and afterwards come back as they
  // were; a close asked for meanwhile happens when it has ended.
  bool RunGuarded(const std::function<void()>& work);

  QPushButton* StatusButton() const { return status_button_; }
  QLineEdit* ErrorCodeBox() const { return error_code_box_; }

 protected:
  // The work the window does each time it is opened: once per opening. A message box, the
  // status window or a file dialog that closes over it does not run it again.
  virtual void FormActivate() {}
  // Runs when the window has closed.
  virtual void FormClose() {}

  // The kit's controls; `name` is the control's name in the window ("Edit1", "Button3").
  QLineEdit* NewPasswordEdit(const char* name);  // holds "406172"
  // A button that sends a command: guarded, never pressed by Enter.
  QPushButton* NewCommandButton(const char* name, const QString& text,
                                std::function<void()> handler);
  template <typename D>
  QPushButton* NewCommandButton(const char* name, const QString& text, void (D::*handler)()) {
    return NewCommandButton(name, text, [this, handler] { (static_cast<D*>(this)->*handler)(); });
  }
  // A button that sends nothing (Закрыть, Стоп, Очистить): not guarded, never pressed by Enter.
  QPushButton* NewButton(const char* name, const QString& text, std::function<void()> handler);
  // "Состояние регистратора": disabled until a command of the window has run (End enables it),
  // disabled again when the window closes; opens the status window.
  QPushButton* NewStatusButton(const char* name);
  // The read-only "Код ошибки:" box that End fills before it tests the reply.
  QLineEdit* NewErrorCodeBox(const char* name);
  // A status bar "StatusBar1" with one panel "StatusPanel" (returned through `panel`).
  QStatusBar* NewStatusBar(QLabel*& panel);
  // Enables or disables a command button; during an operation the change takes effect when the
  // operation ends (the guard holds every command button disabled until then).
  void SetButtonEnabled(QPushButton* button, bool enabled);
  // Enables the status button by a rule of the window's own (End enables it anyway).
  void SetStatusButtonEnabled(bool enabled);
  // For a window that closes only with its own button ("Закрыть", "Выход"): it gets no close
  // box or system menu, and Esc when idle does nothing (during an operation Esc stops it, as
  // in every window).
  void CloseOnlyWithButton();

  // Ends a device command the one way (see EndCommand): stores the current reply, fills the
  // error code box and enables the status button, then reports a failure in `check`'s style.
  // `builder_result` is the builder's result; for ExecuteCommand use the second form.
  bool End(int command_code, int builder_result, const ReplyRecord& reply, const ReplyCheck& check);
  bool End(const ReplyRecord& reply, const ReplyCheck& check) { return End(0, 0, reply, check); }

  // For loops between blocks: handles pending window messages (Stop, Esc, painting) and tells
  // whether to go on.
  bool KeepGoing();

  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 public slots:
  void done(int result) override;

 private:
  void DisarmDefaults();

  int busy_ = 0;
  bool stop_requested_ = false;
  bool close_pending_ = false;
  bool close_only_with_button_ = false;
  std::vector<QPushButton*> command_buttons_;
  std::vector<bool> held_;  // command buttons' states while the guard holds them disabled
  QPushButton* status_button_ = nullptr;
  bool status_enabled_ = false;
  QLineEdit* error_code_box_ = nullptr;
};

}  // namespace tolvanet::ui
