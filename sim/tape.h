// The simulated register's paper: each finished document as the lines it puts on its receipt
// tape, in Ukrainian, shaped by the register's print settings. Toolkit-free; the simulator, the
// command-line tool and the desktop demo all show these lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/register.h"

namespace tolvanet::sim {

// Extended print flags that choose the paper and the font of the receipt tape.
inline constexpr std::uint8_t kSmallReceiptFont = 0x10;
inline constexpr std::uint8_t kNarrowPaper = 0x40;  // 57 mm

// Document flags that shape a receipt.
inline constexpr std::uint16_t kQuantityPriceTogether = 0x0001;
inline constexpr std::uint16_t kNoAdvertising = 0x0100;
inline constexpr std::uint16_t kPrintLogo = 0x0400;
inline constexpr std::uint16_t kAlwaysQuantity = 0x2000;
inline constexpr std::uint16_t kPositionCount = 0x4000;
inline constexpr std::uint16_t kArticleCode = 0x8000;

// Characters on one line of the receipt tape: 40 on 80 mm paper, 32 on 57 mm, and 48 and 42
// with the small font.
int TapeWidth(std::uint8_t extended_flags);

// Text the register received (Windows-1251) as it shows on the tape: control bytes become the
// visible control pictures (U+2400..U+241F, U+2421), never passed on.
std::string ShownText(std::string_view cp1251);

// Characters (code points) in a UTF-8 text.
std::size_t TextWidth(std::string_view utf8);

// Where a rendered document drew the user's logo: `lines` lines from line `first`.
struct TapeLogoPlace {
  std::size_t first = 0;
  std::size_t lines = 0;
};

// The document as the register prints it, from its record and the register's settings at the
// time it finished. No line is wider than the tape. The logo, when printed, is drawn with block
// characters; `logo` (if given) tells where.
std::vector<std::string> RenderTape(const PrintedDocument& doc, const RegisterState& state,
                                    TapeLogoPlace* logo = nullptr);

// Characters across a tape `tape_width` characters wide that a logo `logo_width` dots wide
// takes: each character stands for as many dots as it takes to fit (1 when the logo is narrower
// than the tape). The logo is centred on the tape.
int LogoColumns(int logo_width, int tape_width);

// The user's logo as the register holds it (rows of whole bytes, as many as the stored picture
// has), or an empty picture when none is programmed.
LogoPicture StoredLogo(const RegisterState& state);

// The line between two documents, where the paper is cut.
std::string CutLine(int width);

}  // namespace tolvanet::sim
