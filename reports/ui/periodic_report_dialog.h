// TForm25: the periodic report over a range of dates or of daily report numbers, short or full.
#pragma once

#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <vector>

#include "reports/ui/report_dialog.h"

namespace tolvanet::ui {

// A group of radio buttons with one chosen item, numbered from 0.
class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  RadioGroup(const QString& title, const QStringList& items, QWidget* parent);
  int ItemIndex() const;
  void SetItemIndex(int index);
  QRadioButton* Item(int index) const { return items_.at(index); }

 signals:
  void Clicked(int index);

 private:
  std::vector<QRadioButton*> items_;
};

class TForm25 : public ReportDialog {
  Q_OBJECT
 public:
  explicit TForm25(QWidget* parent = nullptr);

  QLineEdit* Edit3;            // password
  RadioGroup* RadioGroup1;     // По дате/номеру
  RadioGroup* RadioGroup2;     // Полный/сокращенный: 0 short, 1 full
  QGroupBox* GroupBox1;        // Дата
  QDateEdit* DateTimePicker1;  // Дата первого отчета
  QDateEdit* DateTimePicker2;  // Дата последнего отчета
  QGroupBox* GroupBox2;        // Номер
  QLineEdit* Edit1;            // Номер первого отчета
  QLineEdit* Edit2;            // Номер последнего отчета
  QLineEdit* Edit8;            // Код ошибки
  QPushButton* Button1;        // Сделать отчет
  QPushButton* Button3;        // Состояние регистратора
  QPushButton* Button2;        // Выход

 public slots:
  void FormActivate() override;
  void RadioGroup1Click();
  void Button1Click();
};

}  // namespace tolvanet::ui
