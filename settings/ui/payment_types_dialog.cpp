#include "settings/ui/payment_types_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/translate.h"
#include "settings/field_codecs.h"
#include "settings/register_settings.h"

namespace tolvanet::ui {

namespace {
constexpr char kPassword[] = "406172";  // the payment commands always go with it
constexpr unsigned kColumnBits[] = {kPaymentSale, kPaymentReturn, kPaymentChange};
}  // namespace

TForm34::TForm34(QWidget* parent) : ReadWriteForm(parent, "Form34", QTr("Параметры оплаты")) {
  StringGrid1 = new QTableWidget(0, 5, this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setHorizontalHeaderLabels(
      {Tr("Номер"), Tr("Название"), Tr("Продажа"), Tr("Возврат"), Tr("Сдача наличными")});
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  StringGrid1->setColumnWidth(0, 60);
  for (int c = 2; c < 5; ++c)
    StringGrid1->setColumnWidth(c, 120);
  StringGrid1->verticalHeader()->setDefaultSectionSize(24);
  StringGrid1->setMinimumSize(620, StringGrid1->horizontalHeader()->sizeHint().height() + 10 * 24 +
                                       2 * StringGrid1->frameWidth());
  Edit1 = new QLineEdit(this);
  Edit2 = new QLineEdit(this);
  CheckBox1 = new QCheckBox(QTr("Разрешение использования при продаже"), this);
  CheckBox2 = new QCheckBox(QTr("Разрешение использования при возврате"), this);
  CheckBox3 = new QCheckBox(QTr("Разрешение начисления сдачи наличными"), this);

  auto* name = Bind<TextField>(Edit1, Tr("Наименование"), 20);
  auto* number = Bind<IntegerField>(Edit2, Tr("Номер"), 0, 9);
  Edit2->setMaxLength(1);
  auto* mask = Bind<MaskField>(Tr("Разрешения"), 2);
  mask->Add(CheckBox1, kPaymentSale);
  mask->Add(CheckBox2, kPaymentReturn);
  mask->Add(CheckBox3, kPaymentChange);

  Button1 = NewActionButton("Button1", QTr("Добавить"),
                            {{number, name},
                             [=](int& rc) -> const ReplyRecord& {
                               return SetPaymentParams(kPassword, number->Value(),
                                                       static_cast<int>(mask->Value()),
                                                       name->Value(), rc);
                             },
                             cmd::kSetPaymentParams,
                             ReplyCheck::Heading(Tr("Добавление формы оплаты:\n  "))});
  Button2 = NewCommandButton("Button2", QTr("Прочитать"), &TForm34::Button2Click);
  Button3 = NewButton("Button3", QTr("Закрыть"), [this] { accept(); });
  connect(Edit1, &QLineEdit::textChanged, this, &TForm34::Edit1Change);
  connect(Edit2, &QLineEdit::textChanged, this, &TForm34::Edit1Change);
  Edit1Change();

  auto* add = new QGroupBox(QTr("Добавить форму оплаты"), this);
  auto* form = new QFormLayout(add);
  form->addRow(QTr("Наименование:"), Edit1);
  form->addRow(QTr("Номер:"), Edit2);
  form->addRow(CheckBox1);
  form->addRow(CheckBox2);
  form->addRow(CheckBox3);
  form->addRow(Button1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button2);
  buttons->addStretch();
  buttons->addWidget(Button3);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(StringGrid1);
  layout->addWidget(add);
  layout->addLayout(buttons);
  resize(640, 560);
}

void TForm34::FormActivate() {
  if (StringGrid1->rowCount() != TheAppState().payment_type_count)
    ShowRows(TheAppState().payment_type_count);
}

void TForm34::ShowRows(int count) {
  StringGrid1->clearContents();
  StringGrid1->setRowCount(count);
  for (int i = 0; i < count; ++i)
    StringGrid1->setItem(i, 0, new QTableWidgetItem(QString::number(i)));
}

void TForm34::Edit1Change() {
  SetButtonEnabled(Button1, !Edit1->text().isEmpty() && !Edit2->text().isEmpty());
}

void TForm34::Button2Click() {
  // The guard disables both buttons while this runs and gives them back on every way out.
  const int count = TheAppState().payment_type_count;
  ShowRows(count);
  for (int i = 0; i < count; ++i) {
    int rc = 0;
    const ReplyRecord& reply = GetPaymentParams(kPassword, i, rc);
    if (!End(cmd::kGetPaymentParams, rc, reply, ReplyCheck::Heading(Tr("Чтение форм оплаты:\n  "))))
      return;
    const auto row = DecodePaymentType(reply);
    if (!row) {
      ThePlatform().ShowMessage(Tr("Некорректные числовые данные... Ошибка."));
      return;
    }
    StringGrid1->setItem(i, 1, new QTableWidgetItem(Q(FromCp1251(row->name))));
    for (int c = 0; c < 3; ++c) {
      StringGrid1->setItem(i, 2 + c,
                           new QTableWidgetItem(Q(PermissionText(row->mask, kColumnBits[c]))));
    }
    if (!KeepGoing())
      return;
  }
  ThePlatform().ShowMessage(TrText(kSuccessMessage));
}

}  // namespace tolvanet::ui
