// TForm26: the register's parameters: exchange speed, print contrast, document and print
// flags, cash drawer pulses and the characters of an article name line.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "settings/ui/read_write_form.h"

namespace tolvanet::ui {

class TForm26 : public ReadWriteForm {
  Q_OBJECT
 public:
  explicit TForm26(QWidget* parent = nullptr);

  QLineEdit* Edit5;                       // Пароль
  QComboBox* ComboBox2;                   // Скорость обмена
  QComboBox* ComboBox1;                   // Контрастность печати
  std::vector<QCheckBox*> DocumentFlags;  // Параметры документа, in the order of their bits below
  std::vector<QCheckBox*> PrintFlags;  // Расширенные параметры печати
  QLineEdit* Edit2;  // Импульс открытия денежного ящика (Hex)
  QLineEdit* Edit3;  // Импульс закрытия денежного ящика (Hex)
  QLineEdit* Edit4;  // Количество символов в одной линии наименования товара
  QLineEdit* Edit8;  // Код ошибки
  QPushButton* Button1;  // Записать
  QPushButton* Button2;  // Прочитать
  QPushButton* Button3;  // Состояние регистратора
  QPushButton* Button4;  // Закрыть

 protected:
  void FormActivate() override;
};

}  // namespace tolvanet::ui
