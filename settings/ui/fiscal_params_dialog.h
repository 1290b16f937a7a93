// TForm18 and TForm37: read and program the register's fiscal number, identification and tax
// numbers and tax rates; TForm37 is the extended form (eight tax types, linked tax groups,
// length checks).
#pragma once

#include <QComboBox>
#include <QLabel>
#include <array>

#include "app/ui/task_dialog.h"
#include "settings/fiscal_params.h"

namespace tolvanet::ui {

class TForm22;
class TForm36;

class TForm18 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm18(QWidget* parent = nullptr) : TForm18(parent, false) {}

  // The confirmation and result windows the programming opens.
  void SetProgrammingWindows(TForm22* confirm, TForm36* result) {
    confirm_ = confirm;
    result_ = result;
  }
  bool Extended() const { return extended_; }

  QLineEdit* Edit8;   // Пароль
  QLineEdit* Edit2;   // Заводской номер регистратора (read-only)
  QLineEdit* Edit15;  // Фискальный номер
  QLineEdit* Edit3;   // identification number (ІД)
  QLineEdit* Edit1;   // tax number (ПН)
  QLabel* Label3;     // the identification number's mark "(ІД)"
  // Per group А..Д: ComboBox1-4, 5; Edit4-7, 13; Edit9-12, 14; ComboBox6-10 (extended only).
  std::array<QComboBox*, kTaxGroupCount> TypeBoxes{};
  std::array<QLineEdit*, kTaxGroupCount> RateBoxes{};
  std::array<QLineEdit*, kTaxGroupCount> NameBoxes{};
  std::array<QComboBox*, kTaxGroupCount> LinkedBoxes{};  // nullptr in the basic form
  QPushButton* Button1;
  QPushButton* Button5;
  QPushButton* Button4;

 public slots:
  void Button1Click();
  void Button5Click();

 protected:
  TForm18(QWidget* parent, bool extended);
  void FormActivate() override;

 private:
  bool ReadTaxGroup(const std::string& pwd, int group);
  ProgramOutcome ProgramTaxes(const std::string& pwd);
  // The inputs of the selected parameters are good to send; shows why not.
  bool CheckInputs(bool taxes, bool fiscal, bool ids);

  bool extended_;
  TForm22* confirm_ = nullptr;
  TForm36* result_ = nullptr;
};

class TForm37 : public TForm18 {
  Q_OBJECT
 public:
  explicit TForm37(QWidget* parent = nullptr) : TForm18(parent, true) {}
};

}  // namespace tolvanet::ui
