// TForm41: finds receipts of a period on the control tape and prints copies, by dates or by
// document numbers.
#pragma once

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm41 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm41(QWidget* parent = nullptr);

  QGroupBox* GroupBox1;        // Поиск и печать документов  по датам
  QDateEdit* DateTimePicker1;  // Начальная дата
  QLineEdit* Edit3;            // its time, HHMM
  QDateEdit* DateTimePicker2;  // Конечная дата
  QLineEdit* Edit4;            // its time, HHMM
  QCheckBox* CheckBox1;        // напечатать документы
  QPushButton* Button1;        // Выполнить (by dates)
  QLabel* Label3;              // first document number found
  QLabel* Label4;              // last document number found
  QGroupBox* GroupBox2;        // Печать документов по номерам
  QLineEdit* Edit1;            // Начальный номер
  QLineEdit* Edit2;            // Конечный номер
  QPushButton* Button3;        // Выполнить (by numbers)
  QLineEdit* Edit5;            // Код ошибки
  QPushButton* Button2;        // Закрыть

 public slots:
  void FormActivate() override;
  void Button1Click();
  void Button3Click();
  void Label3Click();
  void Label3DblClick();
  void Label4Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tolvanet::ui
