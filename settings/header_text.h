// Receipt header and advertising text: the "Параметры" cell of each row, centring by the tape
// width, and the commands that one operation of the header window sends, in order.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvanet {

inline constexpr int kHeaderRows = 10;      // header lines 0-9
inline constexpr int kAdvertisingRows = 4;  // advertising rows 0-3, device lines 10-13
inline constexpr int kAdvertisingFirstLine = 10;

// The "Параметры" cell of a row.
enum class LineWidth { kSkip, kSingle, kDouble };

// "не записывать", "одинарная ширина", "двойная ширина" (UTF-8).
std::string_view LineWidthText(LineWidth width);
// The next text of the cell's cycle, the last leading back to the first.
LineWidth NextLineWidth(LineWidth width);

// Trims blanks at both ends and, when the text is shorter than `width` characters, puts
// (width - length) / 2 blanks in front. Windows-1251 text: one byte is one character.
std::string CentreLine(std::string_view cp1251, int width);

// The nine operations of the header window, by their list index.
enum class HeaderOperation {
  kProgramAll,
  kProgramHeader,
  kProgramAdvertising,
  kReadAll,
  kReadHeader,
  kReadAdvertising,
  kClearAll,
  kClearHeader,
  kClearAdvertising,
};
inline constexpr int kHeaderOperations = 9;
// The operation's caption (UTF-8).
std::string_view HeaderOperationText(int index);
// "Записать только непустые поля" applies to operations 0-2 only.
bool UsesOnlyNonEmpty(HeaderOperation op);

struct HeaderRow {
  std::string text;  // Windows-1251
  LineWidth width = LineWidth::kSkip;
  bool centre = false;
};

// One command of an operation.
struct HeaderStep {
  bool read = false;
  bool advertising = false;
  int row = 0;       // row of its grid
  int line = 0;      // device line number
  std::string text;  // what a write sends (Windows-1251)
  int flag = 0;      // 1 double width, 0 single
};

struct HeaderInputs {
  std::array<HeaderRow, kHeaderRows> header;
  std::array<HeaderRow, kAdvertisingRows> advertising;
  bool only_non_empty = false;
  int width = 40;
};

// The commands of `op`, in the order they go out: programming and clearing skip rows left at
// "не записывать" (and, when asked, rows with an empty text); reading takes every row.
std::vector<HeaderStep> PlanHeaderOperation(HeaderOperation op, const HeaderInputs& in);

// The heading of a failure at `step` (UTF-8), e.g. "Заголовок.\n  Строка 3 :\n  ". A cleared
// advertising row is named by its device line number, the other steps by their row.
std::string HeaderFailureHeading(const HeaderStep& step, HeaderOperation op);

// The first write whose text may not be sent (";" or a control byte), if any.
const HeaderStep* FirstRefusedText(const std::vector<HeaderStep>& steps);

// What a read answer sets: the text, and the width when answer field 1 begins with "0" or "1".
std::optional<LineWidth> WidthFromAnswer(std::string_view field1);

}  // namespace tolvanet
