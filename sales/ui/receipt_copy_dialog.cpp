// TForm41: receipt copies by dates and by numbers.
#include "sales/ui/receipt_copy_dialog.h"

#include <QDate>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <climits>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/decimal.h"
#include "link/free_text.h"
#include "sales/receipts.h"

namespace tolvanet::ui {

namespace {

constexpr const char* kCopyHeading = TrNoop("Печать копии чека :\n  ");
constexpr const char* kCopyTimeout = TrNoop("Ошибка! Таймаут устройства!");

QLineEdit* NewEdit(QWidget* parent, const char* name, const QString& text) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(name);
  return e;
}

QDateEdit* NewDate(QWidget* parent, const char* name) {
  auto* d = new QDateEdit(QDate::currentDate(), parent);
  d->setObjectName(name);
  d->setCalendarPopup(true);
  d->setDisplayFormat("dd.MM.yyyy");
  return d;
}

}  // namespace

TForm41::TForm41(QWidget* parent) : TaskDialog(parent, "Form41", QTr("Копия чека")) {
  auto* layout = new QVBoxLayout(this);

  GroupBox1 = new QGroupBox(QTr("Поиск и печать документов  по датам"), this);
  GroupBox1->setObjectName("GroupBox1");
  auto* dates = new QGridLayout(GroupBox1);
  DateTimePicker1 = NewDate(GroupBox1, "DateTimePicker1");
  DateTimePicker2 = NewDate(GroupBox1, "DateTimePicker2");
  Edit3 = NewEdit(GroupBox1, "Edit3", "1200");
  Edit4 = NewEdit(GroupBox1, "Edit4", "1200");
  dates->addWidget(new QLabel(QTr("Начальная дата:"), GroupBox1), 0, 0);
  dates->addWidget(DateTimePicker1, 0, 1);
  dates->addWidget(new QLabel(QTr("Время:"), GroupBox1), 0, 2);
  dates->addWidget(Edit3, 0, 3);
  dates->addWidget(new QLabel(QTr("Конечная дата:"), GroupBox1), 1, 0);
  dates->addWidget(DateTimePicker2, 1, 1);
  dates->addWidget(new QLabel(QTr("Время:"), GroupBox1), 1, 2);
  dates->addWidget(Edit4, 1, 3);
  CheckBox1 = new QCheckBox(QTr("напечатать документы"), GroupBox1);
  CheckBox1->setObjectName("CheckBox1");
  dates->addWidget(CheckBox1, 2, 0, 1, 2);
  Button1 = NewCommandButton("Button1", QTr("Выполнить"), &TForm41::Button1Click);
  dates->addWidget(Button1, 2, 3);
  Label3 = new QLabel(GroupBox1);
  Label3->setObjectName("Label3");
  Label4 = new QLabel(GroupBox1);
  Label4->setObjectName("Label4");
  for (QLabel* l : {Label3, Label4}) {
    l->setMinimumWidth(60);
    l->setCursor(Qt::PointingHandCursor);
    l->installEventFilter(this);
  }
  dates->addWidget(Label3, 3, 1);
  dates->addWidget(Label4, 3, 3);
  layout->addWidget(GroupBox1);

  GroupBox2 = new QGroupBox(QTr("Печать документов по номерам"), this);
  GroupBox2->setObjectName("GroupBox2");
  auto* numbers = new QGridLayout(GroupBox2);
  Edit1 = NewEdit(GroupBox2, "Edit1", "1");
  Edit2 = NewEdit(GroupBox2, "Edit2", "1");
  numbers->addWidget(new QLabel(QTr("Начальный номер:"), GroupBox2), 0, 0);
  numbers->addWidget(Edit1, 0, 1);
  numbers->addWidget(new QLabel(QTr("Конечный номер:"), GroupBox2), 1, 0);
  numbers->addWidget(Edit2, 1, 1);
  Button3 = NewCommandButton("Button3", QTr("Выполнить"), &TForm41::Button3Click);
  numbers->addWidget(Button3, 1, 2);
  layout->addWidget(GroupBox2);

  auto* bottom = new QHBoxLayout();
  bottom->addWidget(new QLabel(QTr("Код ошибки:"), this));
  Edit5 = NewErrorCodeBox("Edit5");
  bottom->addWidget(Edit5);
  Button2 = NewButton("Button2", QTr("Закрыть"), [this] { close(); });
  bottom->addStretch();
  bottom->addWidget(Button2);
  layout->addLayout(bottom);
}

bool TForm41::eventFilter(QObject* watched, QEvent* event) {
  const bool click = event->type() == QEvent::MouseButtonRelease;
  const bool double_click = event->type() == QEvent::MouseButtonDblClick;
  if (watched == Label3 && click)
    Label3Click();
  else if (watched == Label3 && double_click)
    Label3DblClick();
  else if (watched == Label4 && (click || double_click))
    Label4Click();
  return TaskDialog::eventFilter(watched, event);
}

void TForm41::FormActivate() {
  DateTimePicker1->setDate(QDate::currentDate());
  DateTimePicker2->setDate(QDate::currentDate());
}

void TForm41::Button1Click() {
  const std::string start_time = RegisterText(Edit3);
  const std::string end_time = RegisterText(Edit4);
  for (const auto& [text, label] :
       {std::pair{&start_time, Tr("Время")}, {&end_time, Tr("Время")}}) {
    if (std::string e = CheckFreeText(*text, label); !e.empty()) {
      ThePlatform().ShowMessage(e);
      return;
    }
  }
  const ReplyRecord& reply = PrintCopyByDates(
      sales::kFixedPassword, S(DateTimePicker1->date().toString("ddMMyy")), start_time,
      S(DateTimePicker2->date().toString("ddMMyy")), end_time, CheckBox1->isChecked() ? 1 : 0);
  if (!End(cmd::kPrintCopyByDates, 0, reply,
           ReplyCheck::Heading(Tr(kCopyHeading)).Timeout(Tr(kCopyTimeout)))) {
    // A failed search found nothing: no numbers of an earlier search stay beside it.
    Label3->clear();
    Label4->clear();
    return;
  }
  Label3->setText(Q(FromCp1251(reply.Field(0))));
  Label4->setText(Q(FromCp1251(reply.Field(1))));
}

void TForm41::Button3Click() {
  const auto first = ParseInteger(S(Edit1->text()), INT_MIN, INT_MAX);
  if (!first) {
    ThePlatform().ShowMessage(first.error);
    return;
  }
  const auto last = ParseInteger(S(Edit2->text()), INT_MIN, INT_MAX);
  if (!last) {
    ThePlatform().ShowMessage(last.error);
    return;
  }
  const ReplyRecord& reply =
      PrintCopyByNumbers(sales::kFixedPassword, static_cast<int>(*first), static_cast<int>(*last));
  End(cmd::kPrintCopyByNumbers, 0, reply,
      ReplyCheck::Heading(Tr(kCopyHeading)).Timeout(Tr(kCopyTimeout)));
}

void TForm41::Label3Click() {
  if (!Label3->text().isEmpty())
    Edit1->setText(Label3->text());
}

void TForm41::Label3DblClick() {
  if (!Label3->text().isEmpty())
    Edit2->setText(Label3->text());
}

void TForm41::Label4Click() {
  if (!Label4->text().isEmpty())
    Edit2->setText(Label4->text());
}

}  // namespace tolvanet::ui
