// TForm27: the register's clock: read its date and time, or set them.
#pragma once

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

#include "settings/field_codecs.h"
#include "settings/ui/read_write_form.h"

namespace tolvanet::ui {

class TForm27 : public ReadWriteForm {
  Q_OBJECT
 public:
  explicit TForm27(QWidget* parent = nullptr);

  QDateEdit* DateTimePicker1;  // Дата (DDMMYY)
  QLineEdit* Edit2;            // Время (HHMM)
  QLineEdit* Edit3;            // Пароль
  QPushButton* Button1;        // Установить дату и время
  QPushButton* Button2;        // Прочитать дату и время
  QPushButton* Button4;        // Состояние регистратора
  QPushButton* Button3;        // Закрыть

  // The clock the boxes are filled from on activation (tests fix it).
  void SetClock(LocalClock clock) { clock_ = std::move(clock); }

 protected:
  void FormActivate() override;

 private:
  LocalClock clock_ = SystemLocalTime;
  DateField* date_ = nullptr;
};

}  // namespace tolvanet::ui
