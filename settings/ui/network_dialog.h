// TForm49: the register's network settings: read them, edit them by hand or load them from a
// settings file, and write them back.
#pragma once

#include <QCheckBox>

#include "app/ui/task_dialog.h"
#include "settings/network.h"

namespace tolvanet::ui {

class TForm49 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm49(QWidget* parent = nullptr);

  QCheckBox* CheckBox1;  // DHCP включен
  QLineEdit* Edit1;      // Статический IP адрес
  QLineEdit* Edit2;      // Маска подсети
  QLineEdit* Edit3;      // Адрес шлюза
  QLineEdit* Edit4;      // Адрес назначения
  QLineEdit* Edit5;      // Порт назначения
  QLineEdit* Edit7;      // Периодичность связи (мин.)
  QLineEdit* Edit8;      // Период повтора (сек.)
  QLineEdit* Edit6;      // Пароль
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button4;
  QPushButton* Button3;

 public slots:
  void Button1Click();
  void Button2Click();
  void Button4Click();

 protected:
  void FormActivate() override;

 private:
  NetworkFields Fields() const;
  void Show(const NetworkFields& fields);

  bool activated_ = false;  // the boxes are cleared only at the first opening of a run
};

}  // namespace tolvanet::ui
