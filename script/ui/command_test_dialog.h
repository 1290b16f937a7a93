// TForm14: one device command typed by hand, with its raw result: answer copy, error code and
// status bytes.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm14 : public TaskDialog {
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

 public slots:
  void FormActivate() override;
  void Button1Click();
  void SpeedButton2Click();
};

}  // namespace tolvanet::ui
