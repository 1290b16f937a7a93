// TForm11: the receipt header lines and the advertising text: program, read or clear them.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <array>

#include "settings/header_text.h"
#include "settings/ui/read_write_form.h"

namespace tolvanet::ui {

class TForm11 : public ReadWriteForm {
  Q_OBJECT
 public:
  explicit TForm11(QWidget* parent = nullptr);

  QTableWidget* StringGrid1;  // Заголовок чека: lines 0-9
  QTableWidget* StringGrid2;  // Рекламный текст: rows 0-3, device lines 10-13
  std::array<QCheckBox*, kHeaderRows> HeaderCentre;            // CheckBox2-CheckBox11
  std::array<QCheckBox*, kAdvertisingRows> AdvertisingCentre;  // CheckBox12-CheckBox15
  QComboBox* ComboBox1;                                        // operation
  QCheckBox* CheckBox1;  // Записать только непустые поля
  QLineEdit* Edit1;      // Пароль
  QLineEdit* Edit2;      // Ширина ленты (симв.)
  QComboBox* ComboBox2;  // the tape width as a list (hidden while Edit2 is in use)
  QPushButton* Button2;  // Выполнить
  QPushButton* Button3;  // Очистить (header)
  QPushButton* Button4;  // Очистить (advertising)
  QPushButton* Button5;  // Центрировать заголовок чека
  QPushButton* Button6;  // Отменить центрирование (header)
  QPushButton* Button8;  // Центрировать рекламный текст
  QPushButton* Button7;  // Отменить центрирование (advertising)
  QPushButton* Button1;  // Закрыть

  // The main window's activation step: the width edit box with "40" is the one in use.
  void ResetTapeWidth();

 public slots:
  void ComboBox1Change();
  void Button2Click();
  void StringGridSelectCell(QTableWidget* grid, int row, int column);

 protected:
  void FormActivate() override;

 private:
  HeaderInputs Inputs() const;
  void ShowRead(const HeaderStep& step, const ReplyRecord& reply);
};

}  // namespace tolvanet::ui
