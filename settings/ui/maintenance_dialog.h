// TForm38: the maintenance reminder: its message, date, days ahead and event mask, and its
// report.
#pragma once

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "settings/field_codecs.h"
#include "settings/ui/read_write_form.h"

namespace tolvanet::ui {

class TForm38 : public ReadWriteForm {
  Q_OBJECT
 public:
  explicit TForm38(QWidget* parent = nullptr);

  QPlainTextEdit* Memo1;       // the message lines
  QLineEdit* Edit2;            // Старый пароль
  QLineEdit* Edit3;            // Новый пароль
  QLineEdit* Edit4;            // Повторить новый пароль
  QDateEdit* DateTimePicker1;  // Дата события
  QLineEdit* Edit5;            // Напоминать за ... дней
  QCheckBox* CheckBox1;        // 0x01 once after switching on
  QCheckBox* CheckBox2;        // 0x02 display
  QCheckBox* CheckBox3;        // 0x04 printer
  QCheckBox* CheckBox4;        // 0x08 wait for a key
  QCheckBox* CheckBox5;        // 0x10 sound
  QPushButton* Button1;        // Установить
  QPushButton* Button2;        // Прочитать
  QPushButton* Button3;        // Отчет
  QPushButton* Button4;        // Закрыть

  // The clock whose day the date box shows on activation (tests fix it).
  void SetClock(LocalClock clock) { clock_ = std::move(clock); }

 public slots:
  void Button1Click();
  void Button3Click();

 protected:
  void FormActivate() override;

 private:
  LocalClock clock_ = SystemLocalTime;
  TextField* old_password_ = nullptr;
  TextField* new_password_ = nullptr;
  TextField* repeat_password_ = nullptr;
  DateField* date_ = nullptr;
  IntegerField* days_ = nullptr;
  MaskField* mask_ = nullptr;
};

}  // namespace tolvanet::ui
