// TForm15: set the register's clock (then restart it) and its serial number.
#pragma once

#include <QLabel>
#include <QStatusBar>

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm15 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm15(QWidget* parent = nullptr);

  QLineEdit* Edit1;  // Дата (DDMMYY)
  QLineEdit* Edit2;  // Время (HHMM)
  QLineEdit* Edit3;  // Пароль
  QLineEdit* Edit4;  // Заводской номер
  QLabel* Label6;    // wait for the restart
  QPushButton* Button3;
  QPushButton* Button2;
  QPushButton* Button1;
  QStatusBar* StatusBar1;

 public slots:
  void Button3Click();
  void Button2Click();

 protected:
  void FormActivate() override;
};

}  // namespace tolvanet::ui
