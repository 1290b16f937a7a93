// TForm5: the six status bytes of the last reply, bit by bit, with the receipt state.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <array>

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm5 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm5(QWidget* parent = nullptr);

  std::array<QGroupBox*, 6> GroupBoxes;  // status bytes 0..5
  QCheckBox* CheckBox(int number) const { return check_boxes_.at(number - 1); }
  QComboBox* ComboBox1;
  QPushButton* Button2;  // Обновить
  QPushButton* Button1;  // Закрыть

 public slots:
  void FormActivate() override;
  void Button2Click();

 private:
  void ShowStatus();
  std::array<QCheckBox*, 48> check_boxes_{};
};

}  // namespace tolvanet::ui
