// TForm34: the register's payment types: read them all into a table, or add (set) one.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "settings/ui/read_write_form.h"

namespace tolvanet::ui {

class TForm34 : public ReadWriteForm {
  Q_OBJECT
 public:
  explicit TForm34(QWidget* parent = nullptr);

  QTableWidget* StringGrid1;  // Номер, Название, Продажа, Возврат, Сдача наличными
  QLineEdit* Edit1;      // Наименование
  QLineEdit* Edit2;      // Номер
  QCheckBox* CheckBox1;  // 0x01 sale
  QCheckBox* CheckBox2;  // 0x02 return
  QCheckBox* CheckBox3;  // 0x80 change in cash
  QPushButton* Button1;  // Добавить
  QPushButton* Button2;  // Прочитать
  QPushButton* Button3;  // Закрыть

 public slots:
  void Edit1Change();
  void Button2Click();

 protected:
  void FormActivate() override;

 private:
  void ShowRows(int count);
};

}  // namespace tolvanet::ui
