#include "reports/report_sequences.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "app/app_state.h"
#include "app/dialog_pattern.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/decimal.h"
#include "link/engine.h"
#include "link/free_text.h"
#include "link/translate.h"

namespace tolvanet::reports {

namespace {

enum class Box { kKeep, kSet };

// Takes one command's end into the outcome: the reply becomes the current reply, a step and
// maybe the error code box's text; a failure adds its message. True when the command succeeded.
bool Take(ReportOutcome& out, int code, int result, const ReplyRecord& reply,
          const ReplyCheck& check, Box box) {
  const CommandEnd end = JudgeCommand(code, result, reply, check);
  if (result >= 0) {
    TheAppState().current_reply = &reply;
    out.steps.push_back(
        {reply.command_code, reply.NoAnswer() ? std::string() : reply.error_code, end.ok()});
    if (box == Box::kSet)
      out.error_code = reply.error_code;
  }
  if (!end.message.empty())
    out.messages.push_back(end.message);
  return end.ok();
}

// `heading` is an original text: the operator reads it in the interface's language.
ReplyCheck Heading(std::string_view heading) {
  return ReplyCheck::Heading(TrText(heading));
}

ReportOutcome Refused(std::string message) {
  ReportOutcome out;
  out.input_error = message;
  out.messages.push_back(std::move(message));
  return out;
}

std::string DateText(const ReportDate& d) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", d.day % 100, d.month % 100, d.year % 10000);
  return text;
}

bool LeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool ValidDate(const ReportDate& d) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.month < 1 || d.month > 12 || d.day < 1)
    return false;
  const int days = kDays[d.month - 1] + (d.month == 2 && LeapYear(d.year) ? 1 : 0);
  return d.day <= days;
}

std::string DateError(const ReportDate& d) {
  if (!ValidDate(d))
    return TrArgs(Tr("Неверная дата отчета: %1."), {DateText(d)});
  if (d.year < 2000 || d.year > 2099) {
    return TrArgs(Tr("Дата отчета %1 вне допустимых пределов (01.01.2000 - 31.12.2099): "
                     "регистратор хранит год двумя цифрами."),
                  {DateText(d)});
  }
  return {};
}

ReportOutcome DailyReport(std::string_view password, int kind, std::string_view heading) {
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty())
    return Refused(std::move(e));
  ReportOutcome out;
  int result = 0;
  const ReplyRecord& reply = PrintReport(password, kind, result);
  out.ok = Take(out, cmd::kPrintReport, result, reply, Heading(heading), Box::kSet);
  return out;
}

// The report sequence: the report inside a non-fiscal receipt that the fixed password opens
// and closes. `close_after_failure`: the receipt is closed also when the report failed.
template <typename Report>
ReportOutcome InReceipt(std::string_view receipt_heading, std::string_view report_heading,
                        bool close_after_failure, int report_code, Report report) {
  ReportOutcome out;
  out.error_code = "";
  int result = 0;
  const ReplyRecord& opened = OpenNonFiscalReceipt(kReceiptPassword, result);
  if (!Take(out, cmd::kOpenNonFiscalReceipt, result, opened, Heading(receipt_heading), Box::kSet))
    return out;
  const ReplyRecord& reply = report(result);
  const bool reported = Take(out, report_code, result, reply, Heading(report_heading), Box::kSet);
  if (!reported && !close_after_failure) {
    out.receipt_left_open = true;
    return out;
  }
  const ReplyRecord& close = CloseFiscalReceipt(kReceiptPassword, result);
  const bool closed =
      Take(out, cmd::kCloseFiscalReceipt, result, close, Heading(receipt_heading), Box::kSet);
  out.receipt_left_open = !closed;
  out.ok = reported && closed;
  return out;
}

Parsed<std::int64_t> ReadInt(std::string_view text) {
  return ParseInteger(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

}  // namespace

std::optional<ReportDate> ParseReportDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-')
    return std::nullopt;
  auto number = [&text](std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
      if (text[i] < '0' || text[i] > '9')
        return -1;
      v = v * 10 + (text[i] - '0');
    }
    return v;
  };
  const ReportDate d{number(0, 4), number(5, 2), number(8, 2)};
  if (d.year < 0 || !ValidDate(d))
    return std::nullopt;
  return d;
}

std::string DdMmYy(const ReportDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d%02d%02d", date.day % 100, date.month % 100,
                date.year % 100);
  return text;
}

ReportOutcome XReport(std::string_view password) {
  return DailyReport(password, report_kind::kX, kDailyReportsHeading);
}

ReportOutcome ZReport(std::string_view password) {
  return DailyReport(password, report_kind::kZ, kDailyReportsHeading);
}

ReportOutcome ClearControlTape(std::string_view password) {
  return DailyReport(password, report_kind::kClearTape, kTapeClearingHeading);
}

ReportOutcome PrintControlTape(std::string_view password) {
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty())
    return Refused(std::move(e));
  ReportOutcome out;
  int result = 0;
  // Failures of the receipt's own commands show the device message alone.
  const ReplyRecord& opened = OpenNonFiscalReceipt(password, result);
  if (!Take(out, cmd::kOpenNonFiscalReceipt, result, opened, Heading(""), Box::kKeep))
    return out;
  out.receipt_left_open = true;
  const ReplyRecord& title = PrintText(kReceiptPassword, ToCp1251(kControlTapeTitle), result);
  if (!Take(out, cmd::kPrintText, result, title, Heading(""), Box::kKeep))
    return out;
  const ReplyRecord& tape = PrintExtraDailyReport(password, 2, result);
  if (!Take(out, cmd::kPrintExtraDailyReport, result, tape, Heading(kStatusCheckHeading),
            Box::kKeep))
    return out;
  const ReplyRecord& closed = CloseFiscalReceipt(password, 0, result);
  out.ok = Take(out, cmd::kCloseFiscalReceipt, result, closed, Heading(""), Box::kKeep);
  out.receipt_left_open = !out.ok;
  return out;
}

ReportOutcome UnloadAndClearTape(std::string_view password, bool clear_articles) {
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty())
    return Refused(std::move(e));
  ReportOutcome out;
  out.error_code = "";
  int result = 0;
  for (int kind : {report_kind::kUnloadTape, report_kind::kClearTape}) {
    const ReplyRecord& reply = PrintReport(password, kind, result);
    if (!Take(out, cmd::kPrintReport, result, reply, Heading(kDailyReportsHeading), Box::kSet))
      return out;
  }
  if (clear_articles) {
    // Sent directly, with the fixed password as its only field.
    const std::string text = std::string(kReceiptPassword) + ";";
    const ReplyRecord& reply = ExecuteCommand(cmd::kClearArticleBase, text);
    if (!Take(out, cmd::kClearArticleBase, 0, reply, ReplyCheck::Fixed(Tr("Ошибка ")), Box::kSet))
      return out;
  }
  out.ok = true;
  return out;
}

ReportOutcome PeriodicReportByDates(std::string_view password, const ReportDate& first,
                                    const ReportDate& last, bool full) {
  for (const std::string& e :
       {CheckFreeText(password, Tr("Пароль")), DateError(first), DateError(last)}) {
    if (!e.empty())
      return Refused(e);
  }
  const std::string from = DdMmYy(first);
  const std::string to = DdMmYy(last);
  return InReceipt(kPeriodicHeading, kPeriodicHeading, true, cmd::kFindReportByDate,
                   [&](int& result) -> ReplyRecord& {
                     return FindReportByDate(password, from, to, full ? 1 : 0, result);
                   });
}

ReportOutcome PeriodicReportByNumbers(std::string_view password, std::string_view first,
                                      std::string_view last, bool full) {
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty())
    return Refused(std::move(e));
  const auto from = ReadInt(first);
  if (!from)
    return Refused(from.error);
  const auto to = ReadInt(last);
  if (!to)
    return Refused(to.error);
  return InReceipt(kPeriodicHeading, kPeriodicHeading, true, cmd::kPrintPeriodicReport,
                   [&](int& result) -> ReplyRecord& {
                     return PrintPeriodicReport(password, static_cast<int>(*from),
                                                static_cast<int>(*to), full ? 1 : 0, result);
                   });
}

ReportOutcome SoldGoodsReport(std::string_view password, std::string_view first_code,
                              std::string_view last_code) {
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty())
    return Refused(std::move(e));
  using Limits = std::numeric_limits<std::int64_t>;
  const auto from = ParseInteger(first_code, Limits::min(), Limits::max());
  if (!from)
    return Refused(from.error);
  const auto to = ParseInteger(last_code, Limits::min(), Limits::max());
  if (!to)
    return Refused(to.error);
  return InReceipt(kSoldGoodsHeading, kSoldGoodsHeading, true, cmd::kPrintSoldItemsReport,
                   [&](int& result) -> ReplyRecord& {
                     return PrintSoldItemsReport(password, *from, *to, result);
                   });
}

ReportOutcome ExtraDailyReport(std::string_view password, int kind) {
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty())
    return Refused(std::move(e));
  if (kind < 0 || kind >= static_cast<int>(kExtraReportKinds.size()))
    return Refused(TrArgs(Tr("Неизвестный тип отчета: %1 (0, 1 или 2)."), {std::to_string(kind)}));
  return InReceipt(
      kExtraReceiptHeading, kExtraReportHeading, false, cmd::kPrintExtraDailyReport,
      [&](int& result) -> ReplyRecord& { return PrintExtraDailyReport(password, kind, result); });
}

bool FreeResources::Permission(int field) const {
  if (field < 0 || field >= 6)
    return false;
  const auto value = ParseInteger(fields[field], std::numeric_limits<std::int64_t>::min(),
                                  std::numeric_limits<std::int64_t>::max());
  return value && *value == 1;
}

const std::array<FreeResourceItem, 12>& FreeResourceItems() {
  static const std::array<FreeResourceItem, 12> items = {{
      {"fiscalization", TrNoop("Разрешение фискализации"), true},
      {"serial_number", TrNoop("Разрешение записи заводского номера "), true},
      {"fiscal_number", TrNoop("Разрешение записи фискального номера "), true},
      {"tax_number", TrNoop("Разрешение записи налогового номера"), true},
      {"tax_rates", TrNoop("Разрешение записи комплекта налоговых ставок"), true},
      {"fm_password", TrNoop("Разрешение записи пароля доступа к ФП"), true},
      {"emergency_resets", TrNoop("Количество аварийных обнулений:"), false},
      {"free_fiscal_reports", TrNoop("Свободно фискальных отчетов:"), false},
      {"shift_open_date", TrNoop("Дата открытия смены:"), false},
      {"shift_open_time", TrNoop("Время открытия смены:"), false},
      {"free_articles", TrNoop("Свободно записей в базе товаров:"), false},
      {"free_receipts", TrNoop("Свободно чеков:"), false},
  }};
  return items;
}

ReportOutcome FreeResourcesReport(std::string_view password, FreeResources& resources) {
  resources = FreeResources{};
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty())
    return Refused(std::move(e));
  ReportOutcome out;
  int result = 0;
  const ReplyRecord& reply = GetFreeResources(password, result);
  out.ok =
      Take(out, cmd::kGetFreeResources, result, reply, Heading(kFreeResourcesHeading), Box::kSet);
  if (!out.ok)
    return out;
  resources.count = std::min(reply.field_count, static_cast<int>(resources.fields.size()));
  for (int i = 0; i < resources.count; ++i)
    resources.fields[i] = reply.Field(i);
  out.messages.push_back(TrText(kFreeResourcesDone));
  return out;
}

}  // namespace tolvanet::reports
