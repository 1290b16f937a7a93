// TForm14: one device command typed by hand, with its raw result: answer copy, error code and
// status bytes.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

namespace tolvanet::ui {

class TForm14 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm14(QWidget* parent = nullptr);

  QLineEdit* Edit6;           // Код команды
  QLineEdit* Edit5;           // Пароль
  QLineEdit* Edit1;           // Командная строка
  QPushButton* Button1;       // Выполнить
  QLineEdit* Edit2;           // Результат выполнения команды
  QLineEdit* Edit3;           // Код ошибки
  QLineEdit* Edit4;           // Статус регистратора
  QToolButton* SpeedButton2;  // ?
  QPushButton* Button2;       // Выход
  QStatusBar* StatusBar1;
  QLabel* StatusPanel;  // the status bar's one panel

  // The status-byte window that "?" opens.
  void SetStatusDialog(QDialog* dialog) { status_dialog_ = dialog; }

 public slots:
  void FormActivate();
  void Button1Click();
  void SpeedButton2Click();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  QDialog* status_dialog_ = nullptr;
};

}  // namespace tolvanet::ui
