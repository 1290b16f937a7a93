// Fiscal parameters: the five tax groups as the programming dialogs show them (basic and
// extended form), the decoding of their answers, the identification and tax numbers, the length
// rules of the extended form and the texts of the programming result.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/decimal.h"
#include "link/reply.h"
#include "link/translate.h"

namespace tolvanet {

inline constexpr int kTaxGroupCount = 5;

// "Налог А:" .. "Налог Д:" for groups 0..4.
std::string TaxGroupCaption(int group);
// The heading of a failed command for a group: "Налог А:\n  " ...
std::string TaxGroupHeading(int group);

// The tax type list: 4 entries in the basic form, 8 in the extended one.
const std::vector<std::string>& TaxTypeNames(bool extended);

// The linked-group list of `group`: "Налог А" .. "Налог Д" with the group's own entry replaced
// by "Отсутствует".
std::array<std::string, kTaxGroupCount> LinkedGroupNames(int group);
inline constexpr std::string_view kNoLinkedGroup = TrNoop("Отсутствует");

// The list entry for a linked group the register gave (-1: the group's own "Отсутствует"); -1
// (no entry) when the value is outside -1..4 or not a number.
int LinkedGroupIndex(int group, std::string_view answer);
// The value to send for a selected entry: -1 for the group's own "Отсутствует".
int LinkedGroupValue(int group, int index);

// Defaults the dialogs set (type on every activation; rate and name at start).
struct TaxGroupDefaults {
  int type;
  std::string_view rate;
  std::string_view name;
};
const std::array<TaxGroupDefaults, kTaxGroupCount>& TaxDefaults();

// A GetTaxes answer as the dialog takes it. `type` and `linked` are list entries, -1 when the
// register's value is not one of the list's (then the list is left without a selection).
struct TaxAnswer {
  int type = -1;
  std::string rate;
  std::string name;
  int linked = -1;  // extended form only
};
TaxAnswer DecodeTaxAnswer(const ReplyRecord& reply, int group, bool extended);

// A rate box as SetTaxes sends it: the value with two decimals and "." as the point ("7,5" ->
// "7.50", " 20 " -> "20.00"); a negative value or a text that is not a number is refused.
Parsed<std::string> TaxRateText(std::string_view typed);

// The tax groups that cannot be programmed because a list of theirs has no selection (a read
// gave a value that is not in the list): the message that names each of them, or empty.
// `types` and `linked` hold the selected list entries, -1 for none; `linked` only counts in
// the extended form.
std::string UnselectedTaxGroupsMessage(const std::array<int, kTaxGroupCount>& types,
                                       const std::array<int, kTaxGroupCount>& linked,
                                       bool extended);

// The identification and tax numbers of a GetTaxIdNumber answer as the boxes show them.
std::pair<std::string, std::string> TaxIdFields(const ReplyRecord& reply);

// The extended form's length rules, checked before the first command: fiscal number empty or
// 10 characters; identification number empty or 12; tax number empty, 12 or 13. Only the
// parameters selected for programming are checked. The message, or empty.
std::string ExtendedLengthError(std::string_view fiscal_number, std::string_view id_number,
                                std::string_view tax_number, bool program_fiscal, bool program_ids);

// Programming outcomes: 1 programmed, 0 attempted and failed, -1 not selected.
enum class ProgramOutcome { kFailed = 0, kDone = 1, kSkipped = -1 };
// The result window's three lines.
std::string FiscalNumberOutcomeText(ProgramOutcome outcome);
std::string RegistrationNumberOutcomeText(ProgramOutcome outcome);
std::string TaxRatesOutcomeText(ProgramOutcome outcome);

// Serial number rules of the serial-number and fiscalization windows: 7..11 characters.
inline constexpr std::size_t kSerialMin = 7;
inline constexpr std::size_t kSerialMax = 11;

}  // namespace tolvanet
