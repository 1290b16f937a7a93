// TForm53: the date and time of the register's last successful session with the acquirer.
#pragma once

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm53 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm53(QWidget* parent = nullptr);

  QLineEdit* Edit3;  // Пароль
  QLineEdit* Edit7;  // Код ошибки
  QLineEdit* Edit1;  // Дата
  QLineEdit* Edit2;  // Время
  QPushButton* Button2;
  QPushButton* Button1;

 public slots:
  void Button2Click();
};

}  // namespace tolvanet::ui
