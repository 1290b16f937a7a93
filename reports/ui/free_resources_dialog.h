// TForm10: the register's free resources and permissions, read into a read-only panel.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "reports/ui/report_dialog.h"

namespace tolvanet::ui {

class TForm10 : public ReportDialog {
  Q_OBJECT
 public:
  explicit TForm10(QWidget* parent = nullptr);

  QLineEdit* Edit1;   // password
  QGroupBox* Panel1;  // the answer, read-only
  QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6;
  QLineEdit *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7;
  QLineEdit* Edit8;      // Код ошибки
  QPushButton* Button1;  // Сделать отчет
  QPushButton* Button4;  // Состояние регистратора
  QPushButton* Button2;  // Закрыть

 public slots:
  void FormActivate() override;
  void Button1Click();

 private:
  std::array<QCheckBox*, 6> check_boxes_{};  // answer fields 0..5
  std::array<QLineEdit*, 6> edits_{};        // answer fields 6..11
};

}  // namespace tolvanet::ui
