// TForm23: the daily X and Z reports, and printing and clearing the control tape.
#pragma once

#include <QLineEdit>
#include <QPushButton>

#include "reports/ui/report_dialog.h"

namespace tolvanet::ui {

class TForm23 : public ReportDialog {
  Q_OBJECT
 public:
  explicit TForm23(QWidget* parent = nullptr);

  QLineEdit* Edit1;      // password
  QLineEdit* Edit3;      // Код ошибки
  QPushButton* Button1;  // X-отчет
  QPushButton* Button2;  // Z-отчет
  QPushButton* Button5;  // Печать контрольной ленты
  QPushButton* Button6;  // Обнуления контрольной ленты
  QPushButton* Button4;  // Состояние регистратора
  QPushButton* Button3;  // Закрыть

 public slots:
  void Button1Click();
  void Button2Click();
  void Button5Click();
  void Button6Click();
  void Button3Click();
};

}  // namespace tolvanet::ui
