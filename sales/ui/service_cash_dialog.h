// TForm9: service cash in and cash out, each in a service receipt of its own.
#pragma once

#include <QLineEdit>
#include <QPushButton>

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm9 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm9(QWidget* parent = nullptr);

  QLineEdit* Edit5;      // Пароль
  QLineEdit* Edit3;      // Номер оператора
  QLineEdit* Edit1;      // Сумма
  QLineEdit* Edit2;      // Денег в кассе (after the operation)
  QPushButton* Button3;  // Служебный внос
  QPushButton* Button2;  // Служебное изъятие
  QPushButton* Button1;  // Закрыть

 public slots:
  void Button3Click();
  void Button2Click();

 private:
  void Move(bool withdrawal);
};

}  // namespace tolvanet::ui
