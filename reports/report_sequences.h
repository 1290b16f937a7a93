// The report operations of the register: daily X and Z reports, the control tape, periodic
// reports, the sold goods report, the extra daily reports and the free resources. Each one
// converts and checks all of its inputs before its first command, runs its commands through
// the builders and returns what came of it; the report windows and `tolvanet-cli report` show
// that outcome, each in its own way.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/translate.h"

namespace tolvanet::reports {

// Headings the operations put before a device error message. These and the other texts for
// the operator below are the original texts; they are translated where they are shown.
inline constexpr std::string_view kDailyReportsHeading = TrNoop("Печать дневных отчетов:\n  ");
inline constexpr std::string_view kTapeClearingHeading = TrNoop("Обнуление контрольной ленты:\n  ");
inline constexpr std::string_view kStatusCheckHeading =
    TrNoop("Проверка состояния регистратора:\n  ");
inline constexpr std::string_view kSoldGoodsHeading = TrNoop("Отчет по реализованным товарам:\n  ");
inline constexpr std::string_view kPeriodicHeading = TrNoop("Печать периодического отчета :\n  ");
// The extra daily reports spell their heading two ways: with a blank before the colon for the
// receipt around the report, without one for the report itself.
inline constexpr std::string_view kExtraReceiptHeading =
    TrNoop("Печать дополнительных дневных отчетов :\n  ");
inline constexpr std::string_view kExtraReportHeading =
    TrNoop("Печать дополнительных дневных отчетов:\n  ");
inline constexpr std::string_view kFreeResourcesHeading =
    TrNoop("Информация о свободных ресурсах и статусе:\n  ");
inline constexpr std::string_view kFreeResourcesDone =
    TrNoop("Информация о свободных ресурсах и статусе - Успешно!");

// The password the report sequence opens and closes its non-fiscal receipt with.
inline constexpr std::string_view kReceiptPassword = "406172";
// The line the control tape printout starts with.
inline constexpr std::string_view kControlTapeTitle = "%MHJc*** Контрольная лента ***";

// Kinds of device command 161.
namespace report_kind {
inline constexpr int kZ = 0;
inline constexpr int kX = 1;
inline constexpr int kClearTape = 2;
inline constexpr int kUnloadTape = 5;
}  // namespace report_kind

// Kinds of device command 166, in the order of the extra reports list.
inline constexpr std::array<std::string_view, 3> kExtraReportKinds = {
    TrNoop("Отчет по отделам"), TrNoop("Отчет по операторам"), TrNoop("Вывести контрольную ленту")};

// One command an operation sent.
struct ReportStep {
  int code = 0;
  std::string error_code;  // as the register gave it; empty when no answer came
  bool ok = false;
};

// What an operation came to.
struct ReportOutcome {
  bool ok = false;                    // every command succeeded and the operation ran to its end
  std::string input_error;            // UTF-8; set when an input was refused and nothing was sent
  std::vector<std::string> messages;  // UTF-8 messages for the operator, in order
  std::vector<ReportStep> steps;      // the commands sent, in order
  // The text the error code box shows at the end; none when the operation leaves it alone.
  std::optional<std::string> error_code;
  // The operation stopped inside the non-fiscal receipt it had opened.
  bool receipt_left_open = false;
};

// A calendar date of a periodic report (years 2000..2099: the register keeps two digits).
struct ReportDate {
  int year = 2000;
  int month = 1;
  int day = 1;
  bool operator==(const ReportDate&) const = default;
};

// "YYYY-MM-DD" as a report date; nothing for any other text or a date that does not exist.
std::optional<ReportDate> ParseReportDate(std::string_view text);
// The date as the register takes it: day, month, year, two digits each ("050614").
std::string DdMmYy(const ReportDate& date);

// Passwords are Windows-1251 bytes; numbers are texts as the operator typed them (UTF-8).

// 161 kind 1.
ReportOutcome XReport(std::string_view password);
// 161 kind 0.
ReportOutcome ZReport(std::string_view password);
// 96, 97 with the tape title, 166 kind 2, 101: the control tape inside a non-fiscal receipt.
ReportOutcome PrintControlTape(std::string_view password);
// 161 kind 2.
ReportOutcome ClearControlTape(std::string_view password);
// 161 kind 5, 161 kind 2, and 59 (the article base) when `clear_articles`; stops at a failure.
ReportOutcome UnloadAndClearTape(std::string_view password, bool clear_articles);
// 96, 162 with both dates and the kind (1 full, 0 short), 101.
ReportOutcome PeriodicReportByDates(std::string_view password, const ReportDate& first,
                                    const ReportDate& last, bool full);
// 96, 163 with both report numbers and the kind, 101.
ReportOutcome PeriodicReportByNumbers(std::string_view password, std::string_view first,
                                      std::string_view last, bool full);
// 96, 164 with both article codes, 101 (also when the report fails).
ReportOutcome SoldGoodsReport(std::string_view password, std::string_view first_code,
                              std::string_view last_code);
// 96, 166 with the kind (index into kExtraReportKinds), 101 (not when the report fails).
ReportOutcome ExtraDailyReport(std::string_view password, int kind);

// The twelve answer fields of the free resources report.
struct FreeResources {
  std::array<std::string, 12> fields;  // Windows-1251; empty when the answer was shorter
  int count = 0;                       // fields the answer had, at most 12
  // Fields 0..5 are permissions: set exactly when the field reads as the integer 1.
  bool Permission(int field) const;
};

struct FreeResourceItem {
  std::string_view key;      // name in the terminal tool's JSON
  std::string_view caption;  // as the window labels it (original text: TrText where shown)
  bool permission;
};
const std::array<FreeResourceItem, 12>& FreeResourceItems();

// 160; on success `resources` holds the answer fields (else it is left empty).
ReportOutcome FreeResourcesReport(std::string_view password, FreeResources& resources);

}  // namespace tolvanet::reports
