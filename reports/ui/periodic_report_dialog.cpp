#include "reports/ui/periodic_report_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/ui/qt_platform.h"

namespace tolvanet::ui {

namespace {

reports::ReportDate ToReportDate(const QDate& d) {
  return {d.year(), d.month(), d.day()};
}

QDateEdit* NewDatePicker(const char* name, QWidget* parent) {
  auto* picker = new QDateEdit(parent);
  picker->setObjectName(name);
  // "MM" is the month: "mm" would be minutes in Qt's formats.
  picker->setDisplayFormat("dd.MM.yy");
  // The register keeps the year in two digits.
  picker->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
  picker->setCalendarPopup(true);
  return picker;
}

}  // namespace

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent) {
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    layout->addWidget(button);
    items_.push_back(button);
    connect(button, &QRadioButton::clicked, this, [this, i] { emit Clicked(i); });
  }
  SetItemIndex(0);
}

int RadioGroup::ItemIndex() const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i]->isChecked())
      return static_cast<int>(i);
  }
  return -1;
}

void RadioGroup::SetItemIndex(int index) {
  items_.at(index)->setChecked(true);
}

TForm25::TForm25(QWidget* parent)
    : ReportDialog(parent, "Form25", QTr("Печать периодического отчета ")) {
  Edit3 = NewPasswordEdit("Edit3");
  RadioGroup1 = new RadioGroup(QTr("По дате/номеру"), {QTr("По дате"), QTr("По номеру")}, this);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup2 =
      new RadioGroup(QTr("Полный/сокращенный"), {QTr("Сокращенный"), QTr("Полный")}, this);
  RadioGroup2->setObjectName("RadioGroup2");
  connect(RadioGroup1, &RadioGroup::Clicked, this, &TForm25::RadioGroup1Click);

  GroupBox1 = new QGroupBox(QTr("Дата"), this);
  GroupBox1->setObjectName("GroupBox1");
  DateTimePicker1 = NewDatePicker("DateTimePicker1", GroupBox1);
  DateTimePicker2 = NewDatePicker("DateTimePicker2", GroupBox1);
  auto* dates = new QFormLayout(GroupBox1);
  dates->addRow(QTr("Дата первого отчета:"), DateTimePicker1);
  dates->addRow(QTr("Дата последнего отчета:"), DateTimePicker2);

  GroupBox2 = new QGroupBox(QTr("Номер"), this);
  GroupBox2->setObjectName("GroupBox2");
  Edit1 = new QLineEdit("1", GroupBox2);
  Edit1->setObjectName("Edit1");
  Edit2 = new QLineEdit("1", GroupBox2);
  Edit2->setObjectName("Edit2");
  auto* numbers = new QFormLayout(GroupBox2);
  numbers->addRow(QTr("Номер первого отчета:"), Edit1);
  numbers->addRow(QTr("Номер последнего отчета:"), Edit2);
  GroupBox2->hide();

  Edit8 = NewErrorCodeBox("Edit8");
  Button1 = NewCommandButton("Button1", QTr("Сделать отчет"), &TForm25::Button1Click);
  Button3 = NewStatusButton("Button3");
  Button2 = NewButton("Button2", QTr("Выход"), [this] { accept(); });

  auto* layout = new QVBoxLayout(this);
  auto* password = new QFormLayout();
  password->addRow(QTr("Пароль:"), Edit3);
  layout->addLayout(password);
  auto* groups = new QHBoxLayout();
  groups->addWidget(RadioGroup1);
  groups->addWidget(RadioGroup2);
  layout->addLayout(groups);
  layout->addWidget(GroupBox1);
  layout->addWidget(GroupBox2);
  auto* code = new QFormLayout();
  code->addRow(QTr("Код ошибки:"), Edit8);
  layout->addLayout(code);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(Button1);
  buttons->addWidget(Button3);
  buttons->addWidget(Button2);
  layout->addLayout(buttons);
}

void TForm25::FormActivate() {
  SetStatusButtonEnabled(false);
  DateTimePicker1->setDate(QDate::currentDate());
  DateTimePicker2->setDate(QDate::currentDate());
}

void TForm25::RadioGroup1Click() {
  const bool by_number = RadioGroup1->ItemIndex() == 1;
  GroupBox2->setVisible(by_number);
  GroupBox1->setVisible(!by_number);
}

void TForm25::Button1Click() {
  SetStatusButtonEnabled(true);
  Edit8->clear();
  const bool full = RadioGroup2->ItemIndex() == 1;
  if (RadioGroup1->ItemIndex() == 1) {
    ShowOutcome(reports::PeriodicReportByNumbers(RegisterText(Edit3), S(Edit1->text()),
                                                 S(Edit2->text()), full));
  } else {
    ShowOutcome(reports::PeriodicReportByDates(RegisterText(Edit3),
                                               ToReportDate(DateTimePicker1->date()),
                                               ToReportDate(DateTimePicker2->date()), full));
  }
}

}  // namespace tolvanet::ui
