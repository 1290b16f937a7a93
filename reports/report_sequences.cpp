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

namespace tolvanet::reports {

namespace {

// What the operator is told when a command fails: the heading and the device error message,
// or (when set) a fixed text in place of both; a time-out or a refused command always says so.
struct Failure {
  std::string_view heading;
  std::optional<std::string_view> fixed = std::nullopt;
};

enum class Box { kKeep, kSet };

// Takes one command's reply into the outcome: it becomes the current reply, a step, maybe the
// error code box's text, and on failure a message. True when the command succeeded.
bool Take(ReportOutcome& out, const ReplyRecord& reply, const Failure& failure, Box box) {
  TheAppState().current_reply = &reply;
  out.steps.push_back(
      {reply.command_code, reply.NoAnswer() ? std::string() : reply.error_code, reply.Succeeded()});
  if (box == Box::kSet)
    out.error_code = reply.error_code;
  std::string message = ReplyFailureMessage(reply, failure.heading);
  if (message.empty())
    return true;
  if (failure.fixed && !reply.NoAnswer())
    message = std::string(*failure.fixed);
  out.messages.push_back(std::move(message));
  return false;
}

ReportOutcome Refused(std::string message) {
  ReportOutcome out;
  out.input_error = message;
  out.messages.push_back(std::move(message));
  return out;
}

// The password goes into the command text as its first field: a ";" would shift every field
// after it and a control byte would end up in the frame.
std::string PasswordError(std::string_view password) {
  for (unsigned char c : password) {
    if (c == ';' || c < 0x20)
      return "Пароль не может содержать \";\" и управляющие символы.";
  }
  return {};
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
    return "Неверная дата отчета: " + DateText(d) + ".";
  if (d.year < 2000 || d.year > 2099) {
    return "Дата отчета " + DateText(d) +
           " вне допустимых пределов (01.01.2000 - 31.12.2099): регистратор хранит год двумя "
           "цифрами.";
  }
  return {};
}

ReportOutcome DailyReport(std::string_view password, int kind, std::string_view heading) {
  if (std::string e = PasswordError(password); !e.empty())
    return Refused(std::move(e));
  ReportOutcome out;
  int result = 0;
  out.ok = Take(out, PrintReport(password, kind, result), {heading}, Box::kSet);
  return out;
}

// The report sequence: the report inside a non-fiscal receipt that the fixed password opens
// and closes. `close_after_failure`: the receipt is closed also when the report failed.
template <typename Report>
ReportOutcome InReceipt(std::string_view receipt_heading, std::string_view report_heading,
                        bool close_after_failure, Report report) {
  ReportOutcome out;
  out.error_code = "";
  int result = 0;
  if (!Take(out, OpenNonFiscalReceipt(kReceiptPassword, result), {receipt_heading}, Box::kSet))
    return out;
  const bool reported = Take(out, report(), {report_heading}, Box::kSet);
  if (!reported && !close_after_failure) {
    out.receipt_left_open = true;
    return out;
  }
  const bool closed =
      Take(out, CloseFiscalReceipt(kReceiptPassword, result), {receipt_heading}, Box::kSet);
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
  if (std::string e = PasswordError(password); !e.empty())
    return Refused(std::move(e));
  ReportOutcome out;
  int result = 0;
  if (!Take(out, OpenNonFiscalReceipt(password, result), {""}, Box::kKeep))
    return out;
  out.receipt_left_open = true;
  if (!Take(out, PrintText(kReceiptPassword, ToCp1251(kControlTapeTitle), result), {""},
            Box::kKeep))
    return out;
  if (!Take(out, PrintExtraDailyReport(password, 2, result), {kStatusCheckHeading}, Box::kKeep))
    return out;
  out.ok = Take(out, CloseFiscalReceipt(password, 0, result), {""}, Box::kKeep);
  out.receipt_left_open = !out.ok;
  return out;
}

ReportOutcome UnloadAndClearTape(std::string_view password, bool clear_articles) {
  if (std::string e = PasswordError(password); !e.empty())
    return Refused(std::move(e));
  ReportOutcome out;
  out.error_code = "";
  int result = 0;
  if (!Take(out, PrintReport(password, report_kind::kUnloadTape, result), {kDailyReportsHeading},
            Box::kSet))
    return out;
  if (!Take(out, PrintReport(password, report_kind::kClearTape, result), {kDailyReportsHeading},
            Box::kSet))
    return out;
  if (clear_articles) {
    const std::string text = std::string(kReceiptPassword) + ";";
    if (!Take(out, ExecuteCommand(cmd::kClearArticleBase, text), {"", "Ошибка "}, Box::kSet))
      return out;
  }
  out.ok = true;
  return out;
}

ReportOutcome PeriodicReportByDates(std::string_view password, const ReportDate& first,
                                    const ReportDate& last, bool full) {
  for (const std::string& e : {PasswordError(password), DateError(first), DateError(last)}) {
    if (!e.empty())
      return Refused(e);
  }
  const std::string from = DdMmYy(first);
  const std::string to = DdMmYy(last);
  return InReceipt(kPeriodicHeading, kPeriodicHeading, true, [&]() -> ReplyRecord& {
    int result = 0;
    return FindReportByDate(password, from, to, full ? 1 : 0, result);
  });
}

ReportOutcome PeriodicReportByNumbers(std::string_view password, std::string_view first,
                                      std::string_view last, bool full) {
  if (std::string e = PasswordError(password); !e.empty())
    return Refused(std::move(e));
  const auto from = ReadInt(first);
  if (!from)
    return Refused(from.error);
  const auto to = ReadInt(last);
  if (!to)
    return Refused(to.error);
  return InReceipt(kPeriodicHeading, kPeriodicHeading, true, [&]() -> ReplyRecord& {
    int result = 0;
    return PrintPeriodicReport(password, static_cast<int>(*from), static_cast<int>(*to),
                               full ? 1 : 0, result);
  });
}

ReportOutcome SoldGoodsReport(std::string_view password, std::string_view first_code,
                              std::string_view last_code) {
  if (std::string e = PasswordError(password); !e.empty())
    return Refused(std::move(e));
  using Limits = std::numeric_limits<std::int64_t>;
  const auto from = ParseInteger(first_code, Limits::min(), Limits::max());
  if (!from)
    return Refused(from.error);
  const auto to = ParseInteger(last_code, Limits::min(), Limits::max());
  if (!to)
    return Refused(to.error);
  return InReceipt(kSoldGoodsHeading, kSoldGoodsHeading, true, [&]() -> ReplyRecord& {
    int result = 0;
    return PrintSoldItemsReport(password, *from, *to, result);
  });
}

ReportOutcome ExtraDailyReport(std::string_view password, int kind) {
  if (std::string e = PasswordError(password); !e.empty())
    return Refused(std::move(e));
  if (kind < 0 || kind >= static_cast<int>(kExtraReportKinds.size()))
    return Refused("Неизвестный тип отчета: " + std::to_string(kind) + " (0, 1 или 2).");
  return InReceipt(kExtraReceiptHeading, kExtraReportHeading, false, [&]() -> ReplyRecord& {
    int result = 0;
    return PrintExtraDailyReport(password, kind, result);
  });
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
      {"fiscalization", "Разрешение фискализации", true},
      {"serial_number", "Разрешение записи заводского номера ", true},
      {"fiscal_number", "Разрешение записи фискального номера ", true},
      {"tax_number", "Разрешение записи налогового номера", true},
      {"tax_rates", "Разрешение записи комплекта налоговых ставок", true},
      {"fm_password", "Разрешение записи пароля доступа к ФП", true},
      {"emergency_resets", "Количество аварийных обнулений:", false},
      {"free_fiscal_reports", "Свободно фискальных отчетов:", false},
      {"shift_open_date", "Дата открытия смены:", false},
      {"shift_open_time", "Время открытия смены:", false},
      {"free_articles", "Свободно записей в базе товаров:", false},
      {"free_receipts", "Свободно чеков:", false},
  }};
  return items;
}

ReportOutcome FreeResourcesReport(std::string_view password, FreeResources& resources) {
  resources = FreeResources{};
  if (std::string e = PasswordError(password); !e.empty())
    return Refused(std::move(e));
  ReportOutcome out;
  int result = 0;
  const ReplyRecord& reply = GetFreeResources(password, result);
  out.ok = Take(out, reply, {kFreeResourcesHeading}, Box::kSet);
  if (!out.ok)
    return out;
  resources.count = std::min(reply.field_count, static_cast<int>(resources.fields.size()));
  for (int i = 0; i < resources.count; ++i)
    resources.fields[i] = reply.Field(i);
  out.messages.emplace_back(kFreeResourcesDone);
  return out;
}

}  // namespace tolvanet::reports
