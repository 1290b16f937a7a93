// TForm5: the six status bytes of the last reply, bit by bit, with the receipt state.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <array>
#include <functional>

namespace tolvanet::ui {

class TForm5 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm5(QWidget* parent = nullptr);

  std::array<QGroupBox*, 6> GroupBoxes;  // status bytes 0..5
  QCheckBox* CheckBox(int number) const { return check_boxes_.at(number - 1); }
  QComboBox* ComboBox1;
  QPushButton* Button2;  // Обновить
  QPushButton* Button1;  // Закрыть

  // Where a successful refresh puts the register line (the main window's status bar).
  void SetStatusLineSink(std::function<void(const QString&)> sink) { sink_ = std::move(sink); }

 public slots:
  void FormActivate();
  void Button2Click();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void ShowStatus();
  std::array<QCheckBox*, 48> check_boxes_{};
  std::function<void(const QString&)> sink_;
};

}  // namespace tolvanet::ui
