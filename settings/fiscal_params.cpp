#include "settings/fiscal_params.h"

#include "link/decimal.h"
#include "link/translate.h"
#include "settings/field_codecs.h"

namespace tolvanet {

namespace {
constexpr std::array<std::string_view, kTaxGroupCount> kLetters = {"А", "Б", "В", "Г", "Д"};

std::string OutcomeText(ProgramOutcome outcome, const char* skipped) {
  switch (outcome) {
    case ProgramOutcome::kDone:
      return Tr("успешно.");
    case ProgramOutcome::kFailed:
      return Tr("ошибка.");
    case ProgramOutcome::kSkipped:
      break;
  }
  return Tr(skipped);
}
}  // namespace

std::string TaxGroupCaption(int group) {
  return TrArgs(Tr("Налог %1:"), {kLetters.at(group)});
}

std::string TaxGroupHeading(int group) {
  return TaxGroupCaption(group) + "\n  ";
}

const std::vector<std::string>& TaxTypeNames(bool extended) {
  static const std::vector<std::string> basic = {TrNoop("Налог запрещен"), TrNoop("Вложенный"),
                                                 TrNoop("Наложенный"),
                                                 TrNoop("Группа не облагаемая налогом")};
  static const std::vector<std::string> full = [] {
    std::vector<std::string> v = basic;
    v.insert(v.end(), {TrNoop("Вложенный 2"), TrNoop("Наложенный 2"),
                       TrNoop("Налог 2  Вложенный +"), TrNoop("Налог 2  Наложенный +")});
    return v;
  }();
  return extended ? full : basic;
}

std::array<std::string, kTaxGroupCount> LinkedGroupNames(int group) {
  std::array<std::string, kTaxGroupCount> names;
  for (int i = 0; i < kTaxGroupCount; ++i)
    names[i] = i == group ? TrText(kNoLinkedGroup) : TrArgs(Tr("Налог %1"), {kLetters[i]});
  return names;
}

int LinkedGroupIndex(int group, std::string_view answer) {
  const auto v = ParseInteger(answer, -1, kTaxGroupCount - 1);
  if (!v)
    return -1;
  return *v == -1 ? group : static_cast<int>(*v);
}

int LinkedGroupValue(int group, int index) {
  return index == group || index < 0 ? -1 : index;
}

const std::array<TaxGroupDefaults, kTaxGroupCount>& TaxDefaults() {
  static const std::array<TaxGroupDefaults, kTaxGroupCount> defaults = {{
      {1, "20.00", "ПДВ_А"},
      {1, "0.00", "ПДВ_Б"},
      {0, "0.00", "ПДВ_В"},
      {0, "0.00", "ПДВ_Г"},
      {0, "0.00", "ПДВ_Д"},
  }};
  return defaults;
}

TaxAnswer DecodeTaxAnswer(const ReplyRecord& reply, int group, bool extended) {
  TaxAnswer a;
  const int types = static_cast<int>(TaxTypeNames(extended).size());
  a.type = ListIndex(reply.Field(0), types).value_or(-1);
  a.rate = reply.Field(1);
  a.name = reply.Field(2);
  if (extended)
    a.linked = LinkedGroupIndex(group, reply.Field(3));
  return a;
}

Parsed<std::string> TaxRateText(std::string_view typed) {
  const auto rate = ParseDecimal(typed, kMoneyDecimals, DecimalRule::kNonNegative);
  Parsed<std::string> out;
  if (rate)
    out.value = rate->Text();
  else
    out.error = rate.error;
  return out;
}

std::string UnselectedTaxGroupsMessage(const std::array<int, kTaxGroupCount>& types,
                                       const std::array<int, kTaxGroupCount>& linked,
                                       bool extended) {
  std::string out;
  for (int g = 0; g < kTaxGroupCount; ++g) {
    const bool no_type = types[g] < 0;
    const bool no_link = extended && linked[g] < 0;
    if (!no_type && !no_link)
      continue;
    out += TaxGroupHeading(g);
    if (no_type)
      out += Tr("не выбран тип налога.");
    if (no_type && no_link)
      out += " ";
    if (no_link)
      out += Tr("не выбрана связанная налоговая группа.");
    out += "\n";
  }
  if (!out.empty())
    out += Tr("Налоги не запрограммированы: выберите значения в списках и повторите.");
  return out;
}

std::pair<std::string, std::string> TaxIdFields(const ReplyRecord& reply) {
  std::string id = reply.Field(0);
  for (int i = 0; i < 2 && !id.empty() && id.back() == ';'; ++i)
    id.pop_back();
  if (!id.empty() && id.front() == ';')
    id.clear();
  std::string tax = reply.field_count > 1 ? reply.Field(1) : std::string();
  if (!tax.empty() && tax.front() == ';')
    tax.clear();
  return {id, tax};
}

std::string ExtendedLengthError(std::string_view fiscal_number, std::string_view id_number,
                                std::string_view tax_number, bool program_fiscal,
                                bool program_ids) {
  if (program_fiscal && !fiscal_number.empty() && fiscal_number.size() != 10)
    return Tr("Неверная длина фискального номера, исправьте!");
  if (program_ids) {
    if (!id_number.empty() && id_number.size() != 12)
      return Tr("Неверный длина идентификационного номера, исправьте!");
    if (!tax_number.empty() && tax_number.size() != 12 && tax_number.size() != 13)
      return Tr("Неверный длина налогового номера, исправьте!");
  }
  return {};
}

std::string FiscalNumberOutcomeText(ProgramOutcome outcome) {
  return TrArgs(Tr("Фискальный номер - %1"),
                {OutcomeText(outcome, TrNoop("не программировался."))});
}

std::string RegistrationNumberOutcomeText(ProgramOutcome outcome) {
  return TrArgs(Tr("Регистрационный номер - %1"),
                {OutcomeText(outcome, TrNoop("не программировался."))});
}

std::string TaxRatesOutcomeText(ProgramOutcome outcome) {
  return TrArgs(Tr("Ставки налогов - %1"), {OutcomeText(outcome, TrNoop("не программировались."))});
}

}  // namespace tolvanet
