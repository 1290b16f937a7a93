#include "settings/ui/read_write_form.h"

#include <cstdio>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/decimal.h"
#include "link/free_text.h"
#include "link/translate.h"

namespace tolvanet::ui {

namespace {

std::string HexText(unsigned value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, value);
  return buf;
}

}  // namespace

TextField::TextField(QLineEdit* edit, std::string caption, int max_length)
    : FieldBinder(std::move(caption)), edit_(edit) {
  edit_->setMaxLength(max_length);
}

bool TextField::Load(const std::string& field) {
  edit_->setText(Q(FromCp1251(field)));
  return true;
}

std::string TextField::Check() const {
  return CheckFreeText(Value(), caption());
}

std::string TextField::Value() const {
  return RegisterText(edit_);
}

IntegerField::IntegerField(QLineEdit* edit, std::string caption, long long min, long long max,
                           std::string message)
    : FieldBinder(std::move(caption)),
      edit_(edit),
      min_(min),
      max_(max),
      message_(std::move(message)) {}

bool IntegerField::Load(const std::string& field) {
  if (!ParseInteger(field, min_, max_))
    return false;
  edit_->setText(Q(FromCp1251(field)));
  return true;
}

std::string IntegerField::Check() const {
  auto v = ParseInteger(S(edit_->text()), min_, max_);
  if (v)
    return {};
  return message_.empty() ? caption() + ": " + v.error : message_;
}

int IntegerField::Value() const {
  auto v = ParseInteger(S(edit_->text()), min_, max_);
  return v ? static_cast<int>(*v) : 0;
}

std::string IntegerField::Text() const {
  return S(edit_->text());
}

HexField::HexField(QLineEdit* edit, std::string caption, int digits)
    : FieldBinder(std::move(caption)), edit_(edit), digits_(digits) {
  edit_->setMaxLength(digits);
}

bool HexField::Load(const std::string& field) {
  auto v = ParseHex(field, digits_);
  if (!v)
    return false;
  edit_->setText(Q(HexText(*v, digits_)));
  return true;
}

std::string HexField::Check() const {
  if (ParseHex(S(edit_->text()), digits_))
    return {};
  return TrArgs(Tr("Ошибка! %1: нужно шестнадцатеричное число, не более %2 цифр."),
                {caption(), std::to_string(digits_)});
}

unsigned HexField::Value() const {
  return ParseHex(S(edit_->text()), digits_).value_or(0);
}

ListField::ListField(QComboBox* list, std::string caption, IndexOf index_of)
    : FieldBinder(std::move(caption)), list_(list), index_of_(std::move(index_of)) {}

bool ListField::Load(const std::string& field) {
  const auto index = index_of_ ? index_of_(field) : ListIndex(field, list_->count());
  if (!index || *index < 0 || *index >= list_->count())
    return false;
  list_->setCurrentIndex(*index);
  return true;
}

int ListField::Value() const {
  return list_->currentIndex();
}

DateField::DateField(QDateEdit* edit, std::string caption)
    : FieldBinder(std::move(caption)), edit_(edit) {
  edit_->setDisplayFormat("dd.MM.yyyy");
  edit_->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
}

bool DateField::Load(const std::string& field) {
  auto date = ParseDdmmyy(field);
  if (!date)
    return false;
  Set(*date);
  return true;
}

std::string DateField::Value() const {
  const QDate d = edit_->date();
  return FormatDdmmyy({d.day(), d.month(), d.year()});
}

void DateField::Set(const CalendarDate& date) {
  edit_->setDate(QDate(date.year, date.month, date.day));
}

bool MaskField::Load(const std::string& field) {
  auto mask = ParseHex(field, digits_);
  if (!mask)
    return false;
  for (auto& [box, bit] : boxes_)
    box->setChecked((*mask & bit) != 0);
  return true;
}

unsigned MaskField::Value() const {
  unsigned mask = 0;
  for (const auto& [box, bit] : boxes_) {
    if (box->isChecked())
      mask |= bit;
  }
  return mask;
}

void MaskField::SetAll(bool checked) {
  for (auto& entry : boxes_)
    entry.first->setChecked(checked);
}

bool ReadWriteForm::CheckInputs(const std::vector<const FieldBinder*>& inputs) {
  for (const FieldBinder* input : inputs) {
    const std::string refusal = input->Check();
    if (!refusal.empty()) {
      ThePlatform().ShowMessage(refusal);
      return false;
    }
  }
  return true;
}

bool ReadWriteForm::Run(const Action& action) {
  if (!CheckInputs(action.inputs))
    return false;
  int result = 0;
  const ReplyRecord& reply = action.send(result);
  if (!End(action.code, result, reply, action.check))
    return false;
  // Copy the fields first: a box's change handler must not see a half-filled window.
  std::vector<std::pair<FieldBinder*, std::string>> loads;
  for (const auto& [index, box] : action.outputs)
    loads.emplace_back(box, reply.Field(index));
  std::string unread;
  for (const auto& [box, field] : loads) {
    if (!box->Load(field))
      unread += "\n  " + box->caption() + ": \"" + FromCp1251(field) + "\"";
  }
  if (!unread.empty()) {
    ThePlatform().ShowMessage(Tr("Значения из ответа регистратора, которые нельзя показать (поля "
                                 "оставлены без изменений):") +
                              unread);
  }
  if (action.after)
    action.after(reply);
  if (action.success_message)
    ThePlatform().ShowMessage(TrText(kSuccessMessage));
  return true;
}

QPushButton* ReadWriteForm::NewActionButton(const char* name, const QString& text, Action action) {
  return NewCommandButton(name, text, [this, action = std::move(action)] { Run(action); });
}

TextField* ReadWriteForm::BindPassword(QLineEdit* edit) {
  return Bind<TextField>(edit, Tr("Пароль"), 6);
}

}  // namespace tolvanet::ui
