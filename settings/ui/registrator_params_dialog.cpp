#include "settings/ui/registrator_params_dialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/ui/qt_platform.h"
#include "link/commands.h"
#include "link/engine.h"
#include "link/translate.h"
#include "settings/register_settings.h"

namespace tolvanet::ui {

namespace {

struct FlagBox {
  const char* caption;
  unsigned bit;
};

constexpr FlagBox kDocumentFlags[] = {
    {TrNoop("Не печатать рекламу в конце чека"), 0x0100},
    {TrNoop("Выключить обрезчик"), 0x0200},
    {TrNoop("Печатать логотип пользователя"), 0x0400},
    {TrNoop("Прогон бумаги под обрезку пустыми строками"), 0x0800},
    {TrNoop("Не осуществлять прогон бумаги под линию отреза "), 0x1000},
    {TrNoop("Всегда печатать количество товара"), 0x2000},
    {TrNoop("Печатать количество позиций в чеке"), 0x4000},
    {TrNoop("Печатать код товара"), 0x8000},
    {TrNoop("Печатать количество-цену вместе"), 0x0001},
    {TrNoop("Не обнулять базы продаж/товаров"), 0x0002},
    {TrNoop("Отображать опер. продажи на дисплее"), 0x0008},
};

constexpr FlagBox kPrintFlags[] = {
    {TrNoop("Не печатать контрольную ленту для нефискализированного регистратора"), 0x01},
    {TrNoop("Печатать сокращенную контр. ленту "), 0x02},
    {TrNoop("Продолжить печать после восстановления принтера "), 0x08},
    {TrNoop("Мелкий шрифт в чековой ленте"), 0x10},
    {TrNoop("Мелкий шрифт в контрольной ленте"), 0x20},
    {TrNoop("Использовать бумагу шириной 57 мм"), 0x40},
};

}  // namespace

TForm26::TForm26(QWidget* parent) : ReadWriteForm(parent, "Form26", QTr("Параметры регистратора")) {
  Edit5 = NewPasswordEdit("Edit5");
  ComboBox2 = new QComboBox(this);
  for (int speed : kExchangeSpeeds)
    ComboBox2->addItem(QString::number(speed));
  ComboBox2->addItem(QTr("Не изменять"));
  ComboBox2->setCurrentIndex(kExchangeSpeedCount);
  ComboBox1 = new QComboBox(this);
  ComboBox1->addItems({Tr("По умолчанию (2)"), Tr("Светлая"), Tr("Нормальнаяl"), Tr("Темная"),
                       Tr(" Экстра-Темная")});
  Edit2 = new QLineEdit("32", this);
  Edit3 = new QLineEdit("32", this);
  Edit4 = new QLineEdit("25", this);
  Edit8 = NewErrorCodeBox("Edit8");

  auto* pwd = BindPassword(Edit5);
  auto* speed = Bind<ListField>(ComboBox2, Tr("Скорость обмена"), SpeedIndex);
  auto* contrast = Bind<ListField>(ComboBox1, Tr("Контрастность печати"));
  auto* documents = Bind<MaskField>(Tr("Параметры документа"), 4);
  auto* prints = Bind<MaskField>(Tr("Расширенные параметры печати"), 2);
  auto* open_pulse = Bind<HexField>(Edit2, Tr("Импульс открытия денежного ящика"), 2);
  auto* close_pulse = Bind<HexField>(Edit3, Tr("Импульс закрытия денежного ящика"), 2);
  auto* chars =
      Bind<IntegerField>(Edit4, Tr("Количество символов в одной линии наименования товара"), 0, 99);
  Edit4->setMaxLength(2);

  auto flag_group = [this](const char* title, const auto& flags, std::vector<QCheckBox*>& boxes,
                           MaskField* mask, const char* clear_name, const char* set_name) {
    auto* group = new QGroupBox(title, this);
    auto* grid = new QVBoxLayout(group);
    for (const FlagBox& f : flags) {
      auto* box = new QCheckBox(QTr(f.caption), group);
      boxes.push_back(box);
      mask->Add(box, f.bit);
      grid->addWidget(box);
    }
    grid->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(NewButton(clear_name, QTr("Очистить все"), [mask] { mask->SetAll(false); }));
    row->addWidget(NewButton(set_name, QTr("Установить все"), [mask] { mask->SetAll(true); }));
    grid->addLayout(row);
    return group;
  };
  QGroupBox* doc_group = flag_group(Tr("Параметры документа"), kDocumentFlags, DocumentFlags,
                                    documents, "Button5", "Button6");
  QGroupBox* print_group = flag_group(Tr("Расширенные параметры печати"), kPrintFlags, PrintFlags,
                                      prints, "Button7", "Button8");

  const auto heading = ReplyCheck::Heading(Tr("Печать дневных отчетов:\n  "));
  Button1 = NewActionButton(
      "Button1", Tr("Записать"),
      {{pwd, open_pulse, close_pulse, chars},
       [=](int& rc) -> const ReplyRecord& {
         return SetRegistratorParams(pwd->Value(), SpeedOfIndex(speed->Value()), contrast->Value(),
                                     static_cast<int>(documents->Value()),
                                     static_cast<int>(prints->Value()),
                                     static_cast<int>(open_pulse->Value()),
                                     static_cast<int>(close_pulse->Value()), chars->Value(), rc);
       },
       cmd::kSetRegistratorParams,
       heading,
       {},
       // A new speed takes effect at once: the session with the old one ends here.
       [](const ReplyRecord&) { EndSession(); }});
  Button2 = NewActionButton(
      "Button2", Tr("Прочитать"),
      {{pwd},
       [=](int& rc) -> const ReplyRecord& { return GetRegistratorParams(pwd->Value(), rc); },
       cmd::kGetRegistratorParams,
       heading,
       {{0, speed},
        {1, contrast},
        {2, documents},
        {3, prints},
        {4, open_pulse},
        {5, close_pulse},
        {6, chars}}});
  Button3 = NewStatusButton("Button3");
  Button4 = NewButton("Button4", QTr("Закрыть"), [this] { accept(); });

  auto* form = new QFormLayout;
  form->addRow(QTr("Пароль:"), Edit5);
  form->addRow(QTr("Скорость обмена:"), ComboBox2);
  form->addRow(QTr("Контрастность печати:"), ComboBox1);
  form->addRow(QTr("Импульс открытия денежного ящика (Hex) :"), Edit2);
  form->addRow(QTr("Импульс закрытия денежного ящика (Hex) :"), Edit3);
  form->addRow(QTr("Количество символов в одной линии наименования товара:"), Edit4);
  form->addRow(QTr("Код ошибки:"), Edit8);
  auto* groups = new QHBoxLayout;
  groups->addWidget(doc_group);
  groups->addWidget(print_group);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  buttons->addStretch();
  buttons->addWidget(Button4);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(groups);
  layout->addLayout(buttons);
}

void TForm26::FormActivate() {
  ComboBox1->setCurrentIndex(0);
  SetStatusButtonEnabled(false);
}

}  // namespace tolvanet::ui
