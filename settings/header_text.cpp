#include "settings/header_text.h"

#include "link/free_text.h"
#include "link/translate.h"

namespace tolvanet {

std::string_view LineWidthText(LineWidth width) {
  switch (width) {
    case LineWidth::kSingle:
      return TrNoop("одинарная ширина");
    case LineWidth::kDouble:
      return TrNoop("двойная ширина");
    case LineWidth::kSkip:
      break;
  }
  return TrNoop("не записывать");
}

LineWidth NextLineWidth(LineWidth width) {
  switch (width) {
    case LineWidth::kSkip:
      return LineWidth::kSingle;
    case LineWidth::kSingle:
      return LineWidth::kDouble;
    case LineWidth::kDouble:
      break;
  }
  return LineWidth::kSkip;
}

std::string CentreLine(std::string_view cp1251, int width) {
  std::string_view s = cp1251;
  while (!s.empty() && s.front() == ' ')
    s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ')
    s.remove_suffix(1);
  const int length = static_cast<int>(s.size());
  std::string out;
  if (length < width)
    out.assign(static_cast<std::size_t>((width - length) / 2), ' ');
  out += s;
  return out;
}

std::string_view HeaderOperationText(int index) {
  static constexpr std::string_view kTexts[kHeaderOperations] = {
      TrNoop("Программировать все"),
      TrNoop("Программировать заголовок чека"),
      TrNoop("Программировать рекламный текст"),
      TrNoop("Читать все"),
      TrNoop("Читать заголовок чека"),
      TrNoop("Читать рекламный текст"),
      TrNoop("Обнулить заголовок и рекламный текст"),
      TrNoop("Обнулить заголовок чека"),
      TrNoop("Обнулить рекламный текст"),
  };
  return index >= 0 && index < kHeaderOperations ? kTexts[index] : std::string_view();
}

bool UsesOnlyNonEmpty(HeaderOperation op) {
  return op == HeaderOperation::kProgramAll || op == HeaderOperation::kProgramHeader ||
         op == HeaderOperation::kProgramAdvertising;
}

namespace {

enum class Mode { kProgram, kRead, kClear };

template <std::size_t N>
void PlanGrid(Mode mode, bool advertising, const std::array<HeaderRow, N>& rows,
              const HeaderInputs& in, std::vector<HeaderStep>& out) {
  for (std::size_t r = 0; r < N; ++r) {
    const HeaderRow& row = rows[r];
    HeaderStep step;
    step.advertising = advertising;
    step.row = static_cast<int>(r);
    step.line = step.row + (advertising ? kAdvertisingFirstLine : 0);
    if (mode == Mode::kRead) {
      step.read = true;
      out.push_back(step);
      continue;
    }
    if (row.width == LineWidth::kSkip)
      continue;
    step.flag = row.width == LineWidth::kDouble ? 1 : 0;
    if (mode == Mode::kProgram) {
      if (in.only_non_empty && row.text.empty())
        continue;
      step.text = row.centre ? CentreLine(row.text, in.width) : row.text;
    }
    out.push_back(step);
  }
}

}  // namespace

std::vector<HeaderStep> PlanHeaderOperation(HeaderOperation op, const HeaderInputs& in) {
  bool header = false;
  bool advertising = false;
  Mode mode = Mode::kProgram;
  switch (op) {
    case HeaderOperation::kProgramAll:
    case HeaderOperation::kReadAll:
    case HeaderOperation::kClearAll:
      header = advertising = true;
      break;
    case HeaderOperation::kProgramHeader:
    case HeaderOperation::kReadHeader:
    case HeaderOperation::kClearHeader:
      header = true;
      break;
    case HeaderOperation::kProgramAdvertising:
    case HeaderOperation::kReadAdvertising:
    case HeaderOperation::kClearAdvertising:
      advertising = true;
      break;
  }
  if (op == HeaderOperation::kReadAll || op == HeaderOperation::kReadHeader ||
      op == HeaderOperation::kReadAdvertising) {
    mode = Mode::kRead;
  } else if (op == HeaderOperation::kClearAll || op == HeaderOperation::kClearHeader ||
             op == HeaderOperation::kClearAdvertising) {
    mode = Mode::kClear;
  }
  std::vector<HeaderStep> steps;
  if (header)
    PlanGrid(mode, false, in.header, in, steps);
  if (advertising)
    PlanGrid(mode, true, in.advertising, in, steps);
  return steps;
}

std::string HeaderFailureHeading(const HeaderStep& step, HeaderOperation op) {
  const bool clearing = op == HeaderOperation::kClearAll || op == HeaderOperation::kClearHeader ||
                        op == HeaderOperation::kClearAdvertising;
  if (!step.advertising)
    return TrArgs(Tr("Заголовок.\n  Строка %1 :\n  "), {std::to_string(step.row)});
  const int number = clearing || step.read ? step.line : step.row;
  return TrArgs(Tr("Рекламный текст.\n  Строка %1 :\n  "), {std::to_string(number)});
}

const HeaderStep* FirstRefusedText(const std::vector<HeaderStep>& steps) {
  for (const HeaderStep& s : steps) {
    if (!s.read && !IsFreeText(s.text))
      return &s;
  }
  return nullptr;
}

std::optional<LineWidth> WidthFromAnswer(std::string_view field1) {
  if (field1.empty())
    return std::nullopt;
  if (field1.front() == '0')
    return LineWidth::kSingle;
  if (field1.front() == '1')
    return LineWidth::kDouble;
  return std::nullopt;
}

}  // namespace tolvanet
