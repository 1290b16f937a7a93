// TForm13: the passwords of the register's modes: programming, reports and administrator.
#pragma once

#include <QLineEdit>
#include <QPushButton>

#include "settings/ui/read_write_form.h"

namespace tolvanet::ui {

class TForm13 : public ReadWriteForm {
  Q_OBJECT
 public:
  explicit TForm13(QWidget* parent = nullptr);

  QLineEdit* Edit5;      // Пароль администратора
  QLineEdit* Edit2;      // Новый пароль программирования
  QLineEdit* Edit3;      // Новый пароль отчетов
  QLineEdit* Edit4;      // Новый пароль администратора
  QPushButton* Button1;  // Выполнить
  QPushButton* Button2;  // Закрыть
};

}  // namespace tolvanet::ui
