// TForm32: the position of the decimal point between hryvnias and kopecks.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "settings/ui/read_write_form.h"

namespace tolvanet::ui {

class TForm32 : public ReadWriteForm {
  Q_OBJECT
 public:
  explicit TForm32(QWidget* parent = nullptr);

  QLineEdit* Edit1;      // Пароль
  QComboBox* ComboBox1;  // Позиция десятичной точки: 0-3
  QLineEdit* Edit3;      // Код ошибки
  QPushButton* Button1;  // Установить
  QPushButton* Button2;  // Прочитать
  QPushButton* Button3;  // Закрыть
};

}  // namespace tolvanet::ui
