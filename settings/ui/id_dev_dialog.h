// TForm50: read the register's device identifier ID_DEV, or set a new one.
#pragma once

#include <QLabel>

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm50 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm50(QWidget* parent = nullptr);

  QLineEdit* Edit6;  // Пароль
  QLineEdit* Edit1;  // Значение ID_DEV
  QLabel* Label3;    // Значение ID_DEV (Hex)
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;

 public slots:
  void Button1Click();
  void Button2Click();
};

}  // namespace tolvanet::ui
