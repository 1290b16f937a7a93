// report: the register's reports from a terminal, through the same report operations as the
// report windows.
#include <iostream>

#include "cli/cli.h"
#include "cli/json.h"
#include "link/codepage.h"
#include "reports/report_sequences.h"

namespace tolvanet::cli {

namespace {

using reports::ReportOutcome;

// What an operation that cannot be undone would do, said before asking for --yes.
std::string Irreversible(const ReportOptions& r) {
  if (r.kind == "z")
    return "Z-отчет закроет смену и обнулит дневные итоги.";
  if (r.kind == "tape-clear")
    return "Обнуление контрольной ленты сотрет ее из памяти регистратора.";
  if (r.kind == "unload") {
    return std::string("Выгрузка контрольной ленты сотрет ее из памяти регистратора") +
           (r.clear_articles ? " и обнулит базу товаров." : ".");
  }
  return {};
}

// "Свободно чеков:" -> "Свободно чеков"; "... номера " -> "... номера".
std::string_view Label(std::string_view caption) {
  while (!caption.empty() && (caption.back() == ' ' || caption.back() == ':'))
    caption.remove_suffix(1);
  return caption;
}

std::string ResourcesJson(const reports::FreeResources& res) {
  std::string out = "{";
  const auto& items = reports::FreeResourceItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0)
      out += ',';
    out += JsonString(items[i].key) + ":";
    if (static_cast<int>(i) >= res.count)
      out += "null";
    else if (items[i].permission)
      out += res.Permission(static_cast<int>(i)) ? "true" : "false";
    else
      out += JsonString(FromCp1251(res.fields[i]));
  }
  return out + "}";
}

void PrintResources(const reports::FreeResources& res) {
  const auto& items = reports::FreeResourceItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const int field = static_cast<int>(i);
    std::string value;
    if (field < res.count)
      value = items[i].permission ? (res.Permission(field) ? "да" : "нет")
                                  : TerminalText(res.fields[i]);
    std::cout << Label(items[i].caption) << ": " << value << "\n";
  }
}

std::string OutcomeJson(const ReportOptions& r, const ReportOutcome& out,
                        const reports::FreeResources* res) {
  std::string json =
      "{\"report\":" + JsonString(r.kind) + ",\"ok\":" + (out.ok ? "true" : "false") +
      ",\"error\":" + (out.error_code ? JsonString(FromCp1251(*out.error_code)) : "null") +
      ",\"messages\":[";
  for (std::size_t i = 0; i < out.messages.size(); ++i)
    json += (i > 0 ? "," : "") + JsonString(out.messages[i]);
  json += "],\"steps\":[";
  for (std::size_t i = 0; i < out.steps.size(); ++i) {
    const auto& s = out.steps[i];
    json += std::string(i > 0 ? "," : "") + "{\"code\":" + std::to_string(s.code) +
            ",\"error\":" + JsonString(FromCp1251(s.error_code)) +
            ",\"ok\":" + (s.ok ? "true" : "false") + "}";
  }
  json += "],\"receipt_left_open\":";
  json += out.receipt_left_open ? "true" : "false";
  if (res)
    json += ",\"resources\":" + ResourcesJson(*res);
  return json + "}";
}

// The extra report kind: its index or a short name.
std::optional<int> ExtraKind(const std::string& text) {
  static const char* const names[] = {"departments", "operators", "tape"};
  for (int i = 0; i < 3; ++i) {
    if (text == std::to_string(i) || text == names[i])
      return i;
  }
  return std::nullopt;
}

}  // namespace

int RunReport(GlobalOptions& options, const ReportOptions& r) {
  if (const std::string what = Irreversible(r); !what.empty() && !r.yes) {
    std::cerr << "report " << r.kind << ": " << what
              << " Это нельзя отменить; повторите с --yes, чтобы выполнить.\n";
    return kExitUsage;
  }
  const std::optional<std::string> converted = OptionText(r.password, "report: в пароле");
  if (!converted)
    return kExitUsage;
  const std::string& password = *converted;

  // Arguments the terminal gives in its own form are read before connecting.
  std::optional<reports::ReportDate> from, to;
  if (r.kind == "periodic") {
    const bool by_dates = r.from || r.to;
    const bool by_numbers = r.first || r.last;
    if (by_dates == by_numbers || (by_dates && !(r.from && r.to)) ||
        (by_numbers && !(r.first && r.last))) {
      std::cerr << "report periodic: нужны --from и --to (по дате) или --first и --last (по "
                   "номеру).\n";
      return kExitUsage;
    }
    if (by_dates) {
      from = reports::ParseReportDate(*r.from);
      to = reports::ParseReportDate(*r.to);
      if (!from || !to) {
        std::cerr << "report periodic: дата \"" << (from ? *r.to : *r.from)
                  << "\" не в виде ГГГГ-ММ-ДД.\n";
        return kExitUsage;
      }
    }
  }
  std::optional<int> extra;
  if (r.kind == "extra") {
    extra = ExtraKind(r.extra_kind);
    if (!extra) {
      std::cerr << "report extra: тип отчета \"" << r.extra_kind
                << "\" неизвестен: 0 или departments (" << reports::kExtraReportKinds[0]
                << "), 1 или operators (" << reports::kExtraReportKinds[1] << "), 2 или tape ("
                << reports::kExtraReportKinds[2] << ").\n";
      return kExitUsage;
    }
  }

  Session session;
  if (int rc = session.Open(options); rc != kExitOk)
    return rc;

  ReportOutcome out;
  reports::FreeResources resources;
  const reports::FreeResources* shown = nullptr;
  if (r.kind == "x") {
    out = reports::XReport(password);
  } else if (r.kind == "z") {
    out = reports::ZReport(password);
  } else if (r.kind == "tape") {
    out = reports::PrintControlTape(password);
  } else if (r.kind == "tape-clear") {
    out = reports::ClearControlTape(password);
  } else if (r.kind == "unload") {
    out = reports::UnloadAndClearTape(password, r.clear_articles);
  } else if (r.kind == "periodic" && from) {
    out = reports::PeriodicReportByDates(password, *from, *to, r.full);
  } else if (r.kind == "periodic") {
    out = reports::PeriodicReportByNumbers(password, *r.first, *r.last, r.full);
  } else if (r.kind == "goods") {
    out = reports::SoldGoodsReport(password, r.first.value_or(""), r.last.value_or(""));
  } else if (r.kind == "extra") {
    out = reports::ExtraDailyReport(password, *extra);
  } else if (r.kind == "resources") {
    out = reports::FreeResourcesReport(password, resources);
    if (out.ok)
      shown = &resources;
  } else {
    std::cerr << "report: неизвестный отчет \"" << r.kind << "\".\n";
    return kExitUsage;
  }

  if (!out.input_error.empty()) {
    std::cerr << "report " << r.kind << ": " << out.input_error << " Ничего не отправлено.\n";
    return kExitUsage;
  }
  if (options.json) {
    std::cout << OutcomeJson(r, out, shown) << "\n";
  } else {
    for (const auto& s : out.steps) {
      std::cout << "Команда " << s.code << ": код ошибки "
                << (s.error_code.empty() ? std::string("нет ответа") : TerminalText(s.error_code))
                << "\n";
    }
    if (shown)
      PrintResources(*shown);
  }
  if (!(options.json && out.ok)) {
    for (const auto& m : out.messages)
      (out.ok ? std::cout : std::cerr) << m << "\n";
  }
  if (out.ok && out.messages.empty() && !options.json)
    std::cout << "Успешно.\n";
  if (out.receipt_left_open) {
    std::cerr << "В регистраторе остался открытым нефискальный чек; его закроет "
                 "\"Аннулирование и закрытие чека\".\n";
  }
  return out.ok ? kExitOk : kExitFailed;
}

}  // namespace tolvanet::cli
