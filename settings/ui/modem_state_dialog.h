// TForm51: the modem state report: the modem status bits and the dates of the first
// undelivered document and of the personalisation, optionally printed by the register.
#pragma once

#include <QCheckBox>
#include <array>

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm51 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm51(QWidget* parent = nullptr);

  QLineEdit* Edit3;      // Пароль
  QLineEdit* Edit7;      // Код ошибки
  QCheckBox* CheckBox8;  // Печатать
  // The status byte's bits 0..7, display only.
  std::array<QCheckBox*, 8> StatusBits{};
  QLineEdit* Edit32;  // date of the first undelivered document
  QLineEdit* Edit35;  // its time
  QLineEdit* Edit36;  // personalisation date
  QLineEdit* Edit37;  // personalisation time
  QPushButton* Button28;
  QPushButton* Button1;

 public slots:
  void Button28Click();
};

}  // namespace tolvanet::ui
