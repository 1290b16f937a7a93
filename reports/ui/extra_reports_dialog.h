// TForm31: the extra daily reports: by departments, by operators, and the control tape.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "reports/ui/report_dialog.h"

namespace tolvanet::ui {

class TForm31 : public ReportDialog {
  Q_OBJECT
 public:
  explicit TForm31(QWidget* parent = nullptr);

  QLineEdit* Edit1;      // password
  QComboBox* ComboBox1;  // Тип отчета
  QLineEdit* Edit3;      // Код ошибки
  QPushButton* Button1;  // Отчет
  QPushButton* Button4;  // Состояние регистратора
  QPushButton* Button2;  // Закрыть

 public slots:
  void FormActivate() override;
  void Button1Click();
};

}  // namespace tolvanet::ui
