// TForm19: fiscalize the register and print the confirmation receipt.
#pragma once

#include <QLabel>

#include "app/ui/task_dialog.h"
#include "settings/fiscalization.h"

namespace tolvanet::ui {

class TForm19 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm19(QWidget* parent = nullptr);

  QLineEdit* Edit4;  // Заводской номер ККМ
  QLineEdit* Edit1;  // Пароль налогового инспектора
  QLineEdit* Edit2;  // Повторите ввод пароля
  QLineEdit* Edit3;  // Пароль
  QLineEdit* Edit5;  // Код ошибки
  QLabel* Progress;  // the wait for the register after fiscalization
  QPushButton* Button2;
  QPushButton* Stop;  // ends the wait
  QPushButton* Button1;

  // Bounds of the wait for the register after fiscalization.
  FiscalizationWait wait;

 public slots:
  void Button2Click();
};

}  // namespace tolvanet::ui
