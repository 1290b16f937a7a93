// TForm18 and TForm37: read and program the register's fiscal number, identification and tax
// numbers and tax rates; TForm37 is the extended form (eight tax types, linked tax groups,
// length checks).
#include "settings/ui/fiscal_params_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/config.h"
#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/decimal.h"
#include "link/translate.h"
#include "settings/ui/field_input.h"
#include "settings/ui/program_confirm_dialog.h"
#include "settings/ui/program_result_dialog.h"

namespace tolvanet::ui {

namespace {

ReplyCheck NamedCheck(const std::string& command) {
  return ReplyCheck::Fixed(TrArgs(Tr("Ошибка %1!"), {command}))
      .Timeout(TrArgs(Tr("Таймаут устройства! %1 Ошибка!"), {command}));
}

ReplyCheck GroupCheck(int group) {
  const std::string heading = TaxGroupHeading(group);
  return ReplyCheck::Heading(heading).Timeout(heading + std::string(kTimeoutMessage));
}

}  // namespace

TForm18::TForm18(QWidget* parent, bool extended)
    : TaskDialog(parent, extended ? "Form37" : "Form18",
                 QTr("Программирование фискальных параметров")),
      extended_(extended) {
  auto make_edit = [this](const QString& name, int length) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    if (length > 0)
      e->setMaxLength(length);
    return e;
  };
  Edit8 = NewPasswordEdit("Edit8");
  Edit2 = make_edit("Edit2", 0);
  Edit2->setReadOnly(true);
  Edit15 = make_edit("Edit15", extended ? 10 : 0);
  Edit3 = make_edit("Edit3", 12);
  Edit3->setToolTip(QTr("Идентификационный номер"));
  // The extended form accepts tax numbers of 13 characters; the box must be able to hold one.
  Edit1 = make_edit("Edit1", extended ? 13 : 12);
  Edit1->setToolTip(QTr("Налоговый номер"));
  Label3 = new QLabel(QTr("(ІД)"), this);
  Label3->setObjectName("Label3");

  static constexpr int kTypeNumbers[] = {1, 2, 3, 4, 5};
  static constexpr int kRateNumbers[] = {4, 5, 6, 7, 13};
  static constexpr int kNameNumbers[] = {9, 10, 11, 12, 14};
  static constexpr int kLinkedNumbers[] = {6, 7, 8, 9, 10};
  for (int g = 0; g < kTaxGroupCount; ++g) {
    auto* type = new QComboBox(this);
    type->setObjectName(QString("ComboBox%1").arg(kTypeNumbers[g]));
    for (const std::string& name : TaxTypeNames(extended))
      type->addItem(Q(TrText(name)));
    TypeBoxes[g] = type;
    RateBoxes[g] = make_edit(QString("Edit%1").arg(kRateNumbers[g]), 0);
    RateBoxes[g]->setText(Q(std::string(TaxDefaults()[g].rate)));
    NameBoxes[g] = make_edit(QString("Edit%1").arg(kNameNumbers[g]), 19);
    NameBoxes[g]->setText(Q(std::string(TaxDefaults()[g].name)));
    if (extended) {
      auto* linked = new QComboBox(this);
      linked->setObjectName(QString("ComboBox%1").arg(kLinkedNumbers[g]));
      for (const std::string& name : LinkedGroupNames(g))
        linked->addItem(Q(name));
      LinkedBoxes[g] = linked;
    }
  }
  Button1 = NewCommandButton("Button1", QTr("Прочитать"), &TForm18::Button1Click);
  Button5 = NewCommandButton("Button5", QTr("Запрограммировать"), &TForm18::Button5Click);
  Button4 = NewButton("Button4", QTr("Закрыть"), [this] { accept(); });

  auto* grid = new QGridLayout;
  int row = 0;
  grid->addWidget(new QLabel(QTr("Пароль:"), this), row, 0);
  grid->addWidget(Edit8, row++, 1);
  grid->addWidget(new QLabel(QTr("Заводской номер регистратора:"), this), row, 0);
  grid->addWidget(Edit2, row++, 1);
  grid->addWidget(new QLabel(QTr("Фискальный номер:"), this), row, 0);
  grid->addWidget(Edit15, row++, 1);
  grid->addWidget(new QLabel(QTr("Регистрационный номер РРО:"), this), row++, 0);
  grid->addWidget(Label3, row, 0);
  grid->addWidget(Edit3, row++, 1);
  grid->addWidget(new QLabel(QTr("(ПН)"), this), row, 0);
  grid->addWidget(Edit1, row++, 1);
  const char* columns[] = {Tr("Налог"), Tr("Ставка налога"), Tr("Тип налога"), Tr("Наименование"),
                           Tr("Связанная налоговая  группа")};
  for (int c = 0; c < (extended ? 5 : 4); ++c)
    grid->addWidget(new QLabel(columns[c], this), row, c);
  ++row;
  for (int g = 0; g < kTaxGroupCount; ++g, ++row) {
    grid->addWidget(new QLabel(Q(TaxGroupCaption(g)), this), row, 0);
    grid->addWidget(RateBoxes[g], row, 1);
    grid->addWidget(TypeBoxes[g], row, 2);
    grid->addWidget(NameBoxes[g], row, 3);
    if (extended)
      grid->addWidget(LinkedBoxes[g], row, 4);
  }
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {Button1, Button5, Button4})
    buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
}

void TForm18::FormActivate() {
  for (int g = 0; g < kTaxGroupCount; ++g) {
    TypeBoxes[g]->setCurrentIndex(TaxDefaults()[g].type);
    if (LinkedBoxes[g] != nullptr)
      LinkedBoxes[g]->setCurrentIndex(g);  // "Отсутствует"
  }
  int country = CountryCode(TheAppState().config_path);
  if (country > 2)
    country = 0;
  Edit3->setVisible(country != 2);
  Label3->setVisible(country != 2);
}

void TForm18::Button1Click() {
  const auto pwd = FieldText(Edit8, Tr("Пароль"));
  if (!pwd)
    return;
  int rc = 0;
  const ReplyRecord& serial = GetSerialNumber(*pwd, rc);
  if (!End(cmd::kGetSerialNumber, rc, serial, NamedCheck("GetSerialNumber")))
    return;
  Edit2->setText(Q(FromCp1251(serial.Field(0))));
  const ReplyRecord& fiscal = GetFiscalNumber(*pwd, rc);
  if (!End(cmd::kGetFiscalNumber, rc, fiscal, NamedCheck("GetFiscalNumber")))
    return;
  Edit15->setText(Q(FromCp1251(fiscal.Field(0))));
  const ReplyRecord& ids = GetTaxIdNumber(*pwd, rc);
  if (!End(cmd::kGetTaxIdNumber, rc, ids, NamedCheck("GetTaxIdNumber")))
    return;
  const auto [id, tax] = TaxIdFields(ids);
  Edit3->setText(Q(FromCp1251(id)));
  Edit1->setText(Q(FromCp1251(tax)));
  for (int g = 0; g < kTaxGroupCount; ++g) {
    if (!ReadTaxGroup(*pwd, g))
      return;
  }
  ThePlatform().ShowMessage(TrText(kSuccessMessage));
}

bool TForm18::ReadTaxGroup(const std::string& pwd, int group) {
  int rc = 0;
  const ReplyRecord& reply = GetTaxes(pwd, group, rc);
  if (!End(cmd::kGetTaxes, rc, reply, GroupCheck(group)))
    return false;
  // Values outside the lists select nothing, and such a group is not programmed back.
  const TaxAnswer answer = DecodeTaxAnswer(reply, group, extended_);
  TypeBoxes[group]->setCurrentIndex(answer.type);
  RateBoxes[group]->setText(Q(FromCp1251(answer.rate)));
  NameBoxes[group]->setText(Q(FromCp1251(answer.name)));
  if (extended_)
    LinkedBoxes[group]->setCurrentIndex(answer.linked);
  return true;
}

bool TForm18::CheckInputs(bool taxes, bool fiscal, bool ids) {
  std::vector<std::pair<QLineEdit*, std::string>> boxes = {{Edit8, Tr("Пароль")}};
  if (fiscal)
    boxes.push_back({Edit15, Tr("Фискальный номер")});
  if (ids) {
    boxes.push_back({Edit3, Tr("Идентификационный номер")});
    boxes.push_back({Edit1, Tr("Налоговый номер")});
  }
  if (taxes) {
    for (int g = 0; g < kTaxGroupCount; ++g) {
      boxes.push_back({RateBoxes[g], TrArgs(Tr("%1 ставка налога"), {TaxGroupCaption(g)})});
      boxes.push_back({NameBoxes[g], TrArgs(Tr("%1 наименование"), {TaxGroupCaption(g)})});
    }
  }
  for (const auto& [box, caption] : boxes) {
    if (!FieldText(box, caption))
      return false;
  }
  if (taxes) {
    for (int g = 0; g < kTaxGroupCount; ++g) {
      if (TypeBoxes[g]->currentIndex() < 0)
        continue;  // refused as a whole when the taxes are programmed
      const auto rate = TaxRateText(S(RateBoxes[g]->text()));
      if (!rate) {
        ThePlatform().ShowMessage(TaxGroupHeading(g) + rate.error);
        return false;
      }
    }
  }
  if (extended_) {
    const std::string error = ExtendedLengthError(RegisterText(Edit15), RegisterText(Edit3),
                                                  RegisterText(Edit1), fiscal, ids);
    if (!error.empty()) {
      ThePlatform().ShowMessage(error);
      return false;
    }
  }
  return true;
}

ProgramOutcome TForm18::ProgramTaxes(const std::string& pwd) {
  std::array<int, kTaxGroupCount> types{};
  std::array<int, kTaxGroupCount> linked{};
  for (int g = 0; g < kTaxGroupCount; ++g) {
    types[g] = TypeBoxes[g]->currentIndex();
    linked[g] = extended_ ? LinkedBoxes[g]->currentIndex() : g;
  }
  // A group left without a type or link after a read cannot be sent; programming the others
  // would leave the register's groups half old, half new under a success.
  if (const std::string unselected = UnselectedTaxGroupsMessage(types, linked, extended_);
      !unselected.empty()) {
    ThePlatform().ShowMessage(unselected);
    return ProgramOutcome::kFailed;
  }
  for (int g = 0; g < kTaxGroupCount; ++g) {
    const int type = types[g];
    // The value checked before the first command, in the register's form.
    const std::string rate = *TaxRateText(S(RateBoxes[g]->text()));
    const std::string name = ToCp1251(S(NameBoxes[g]->text()));
    int rc = 0;
    const ReplyRecord& reply =
        extended_ ? SetTaxes(pwd, g, type, rate, name, LinkedGroupValue(g, linked[g]), rc)
                  : SetTaxes(pwd, g, type, rate, name, rc);
    if (!End(cmd::kSetTaxes, rc, reply, GroupCheck(g)))
      return ProgramOutcome::kFailed;
  }
  return ProgramOutcome::kDone;
}

void TForm18::Button5Click() {
  if (confirm_ == nullptr || result_ == nullptr)
    return;
  confirm_->exec();
  if (confirm_->Cancelled())
    return;
  const bool taxes = confirm_->CheckBox4->isChecked();
  const bool fiscal = confirm_->CheckBox2->isChecked();
  const bool ids = confirm_->CheckBox3->isChecked();
  // Every input is checked before the first command goes out.
  if (!CheckInputs(taxes, fiscal, ids))
    return;
  const std::string pwd = RegisterText(Edit8);
  int rc = 0;

  result_->tax_rates = taxes ? ProgramTaxes(pwd) : ProgramOutcome::kSkipped;

  result_->fiscal_number = ProgramOutcome::kSkipped;
  if (fiscal) {
    const ReplyRecord& reply = SetFiscalNumber(pwd, RegisterText(Edit15), rc);
    result_->fiscal_number = End(cmd::kSetFiscalNumber, rc, reply, NamedCheck("SetFiscalNumber"))
                                 ? ProgramOutcome::kDone
                                 : ProgramOutcome::kFailed;
  }

  result_->registration_number = ProgramOutcome::kSkipped;
  if (ids) {
    const ReplyRecord& reply = SetTaxIdNumber(pwd, RegisterText(Edit3), RegisterText(Edit1), rc);
    result_->registration_number =
        End(cmd::kSetTaxIdNumber, rc, reply, NamedCheck("SetTaxIdNumber"))
            ? ProgramOutcome::kDone
            : ProgramOutcome::kFailed;
  }
  result_->exec();
}

}  // namespace tolvanet::ui
