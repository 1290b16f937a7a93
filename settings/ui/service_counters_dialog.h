// TForm39: the register's service counters: read one, or set it.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "settings/ui/read_write_form.h"

namespace tolvanet::ui {

class TForm39 : public ReadWriteForm {
  Q_OBJECT
 public:
  explicit TForm39(QWidget* parent = nullptr);

  QLineEdit* Edit3;      // Пароль
  QComboBox* ComboBox1;  // Служебный счетчик
  QLineEdit* Edit1;      // Значение
  QPushButton* Button1;  // Прочитать
  QPushButton* Button2;  // Установить
  QPushButton* Button3;  // Закрыть

 public slots:
  void ComboBox1Change();
  void Button1Click();
  void Button2Click();

 protected:
  void FormActivate() override;

 private:
  TextField* password_ = nullptr;
};

}  // namespace tolvanet::ui
