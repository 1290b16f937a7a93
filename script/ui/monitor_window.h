// TForm28: the monitor: commands typed by hand with their raw exchange, and the script runner.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <memory>
#include <optional>

#include "script/interpreter.h"

namespace tolvanet::ui {

class TForm40;

class TForm28 : public QDialog, private script::ScriptHost {
  Q_OBJECT
 public:
  explicit TForm28(QWidget* parent = nullptr);
  ~TForm28() override;

  // The command panel.
  QGroupBox* GroupBox2;       // Выполнение команды
  QLineEdit* Edit2;           // Пароль
  QLineEdit* Edit1;           // Код команды
  QLineEdit* Edit3;           // Данные
  QLineEdit* Edit5;           // Код ошибки
  QLineEdit* Edit6;           // Статус
  QToolButton* SpeedButton1;  // .?.
  QPushButton* Button2;       // Выполнить
  QPushButton* Button9;       // Повторить команду
  QPushButton* Button3;       // В список
  QListWidget* ListBox1;
  QPushButton* Button4;  // Очистить сообщения
  QCheckBox* CheckBox2;  // Не выводить данные

  // The script runner.
  QPushButton* Button5;   // Открыть файл
  QComboBox* ComboBox1;   // recent files
  QPushButton* Button6;   // Выполнить
  QPushButton* Button7;   // Стоп
  QPushButton* Button8;   // Продолжить
  QPushButton* Button11;  // Шаг
  QLineEdit* Edit4;       // Ном. стр. скрипта
  QPushButton* Button10;  // Переменные
  QCheckBox* CheckBox1;   // Не перерисовывать форму
  QPlainTextEdit* Memo1;  // the message area
  QPushButton* Button1;   // Выход

  // The variables window.
  void SetVariablesWindow(TForm40* window) { variables_ = window; }

  // The command code the panel holds (from two hexadecimal digits in the code field).
  std::optional<int> command_code() const { return code_; }
  script::Interpreter& interpreter() { return *interpreter_; }

 public slots:
  void FormActivate();
  void Edit1Change();
  void Edit2Change();
  void Edit1KeyDown(int key);
  void Edit3KeyDown(int key);
  void Button2Click();
  void Button9Click();
  void Button3Click();
  void ListBox1DblClick();
  void Button4Click();
  void SpeedButton1Click();
  void Button5Click();
  void ComboBox1Change();
  void Button6Click();
  void Button7Click();
  void Button8Click();
  void Button11Click();
  void Button10Click();
  void Button1Click();

 protected:
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  // ScriptHost.
  void AddMessageLine(const std::string& line) override;
  void ShowMessage(const std::string& text) override;
  void VariableAdded(int number, const std::string& name) override;
  void VariableChanged(int number, const std::string& name, const std::string& value) override;
  void LineCountChanged(int count) override;
  void ProcessPendingMessages() override;
  void Pause(int milliseconds) override;
  void Repaint() override;
  bool QuietOutput() override;
  void CommandFields(const std::string& code, const std::string& password,
                     const std::string& data) override;
  void ReplyFields(const std::string& error_code, const std::string& status) override;
  void ReplyReceived(const ReplyRecord& reply) override;

  void UpdateSendButton();
  // Sends password + ";" + data with `code`; the whole or the short exchange lines.
  void SendCommand(int code, bool whole_lines);
  // Stores the reply and reports a time-out, a refusal or a checksum error; false then.
  bool AcceptReply(const ReplyRecord& reply);
  void ChooseFile(const std::string& path);
  void FillRecentFiles(const std::vector<std::string>& shown, int selected);
  // Runs one of the interpreter's modes with the run controls locked.
  void RunMode(script::RunOutcome (script::Interpreter::*mode)());
  bool TakeLineCount();
  void SetRunning(bool running);

  std::unique_ptr<script::Interpreter> interpreter_;
  TForm40* variables_ = nullptr;
  std::optional<int> code_;
  bool filling_fields_ = false;  // the runner is writing a command line into the panel
};

}  // namespace tolvanet::ui
