// TForm12: an operator's name and password: set them, read them, or delete the operator.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "settings/ui/read_write_form.h"

namespace tolvanet::ui {

class TForm12 : public ReadWriteForm {
  Q_OBJECT
 public:
  explicit TForm12(QWidget* parent = nullptr);

  QLineEdit* Edit4;      // Пароль
  QLineEdit* Edit5;      // Номер оператора
  QLineEdit* Edit2;      // Имя (to set)
  QLineEdit* Edit1;      // Пароль оператора
  QLineEdit* Edit3;      // Имя (read)
  QCheckBox* CheckBox1;  // Выполнялись продажи
  QPushButton* Button1;  // Установить
  QPushButton* Button2;  // Прочитать
  QPushButton* Button3;  // Удалить оператора
  QPushButton* Button4;  // Закрыть
};

}  // namespace tolvanet::ui
