// Reading the fields of a command text the way the register checks them, and the number, date
// and time texts of its answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvanet::sim {

// Error code values: group * 256 + detail.
namespace err {
inline constexpr std::uint16_t kOk = 0x0000;
inline constexpr std::uint16_t kUnknownCode = 0x0200;      // rErr_InstrCODE
inline constexpr std::uint16_t kMsgSize = 0x0203;          // err_MsgSize
inline constexpr std::uint16_t kFieldFormat = 0x0300;      // + field number
inline constexpr std::uint16_t kFieldValue = 0x0400;       // + field number
inline constexpr std::uint16_t kFmNoFreeSpace = 0x0500;    // erFIS_NoFreeSpace
inline constexpr std::uint16_t kFmNoSerial = 0x0502;       // erFIS_NoZN
inline constexpr std::uint16_t kFmLastDate = 0x0503;       // erFIS_LastDate
inline constexpr std::uint16_t kFmDateChange = 0x0504;     // erFIS_DateChange
inline constexpr std::uint16_t kFmNoFiscalMode = 0x0507;   // erFIS_NoFiscalMode
inline constexpr std::uint16_t kFm24hOverflow = 0x0509;    // erFIS_24hOvf
inline constexpr std::uint16_t kDateFormat = 0x050C;       // err_DateFormat
inline constexpr std::uint16_t kTimeFormat = 0x050D;       // err_TimeFormat
inline constexpr std::uint16_t kPassword = 0x0600;         // rErrPWD
inline constexpr std::uint16_t kModeService = 0x0700;      // erMODE_Service
inline constexpr std::uint16_t kModeShift = 0x0701;        // erMODE_Shift
inline constexpr std::uint16_t kMustUnloadTape = 0x0702;   // erMUST_GET_TL
inline constexpr std::uint16_t kOverflow = 0x0800;         // rErrMatch
inline constexpr std::uint16_t kNullAddress = 0x0901;      // rErrNULLAdress
inline constexpr std::uint16_t kLowBuffer = 0x0903;        // rErrLowBuff
inline constexpr std::uint16_t kArtNoFreeSpace = 0x0A00;   // erART_NoFreeSpace
inline constexpr std::uint16_t kArtNotFound = 0x0A02;      // erART_CodeNotFount
inline constexpr std::uint16_t kArtDuplicate = 0x0A04;     // erART_Dublicate
inline constexpr std::uint16_t kArtDisabledTax = 0x0A05;   // erART_DisabledTax
inline constexpr std::uint16_t kInvalidDocState = 0x0B00;  // erTRS_InvalidDocState
inline constexpr std::uint16_t kCancelStart = 0x0B03;      // erTRS_CancelStart
inline constexpr std::uint16_t kCancelNotFound = 0x0B04;   // erTRS_CancelNotFound
inline constexpr std::uint16_t kCancelNotFull = 0x0B05;    // erTRS_CancelNoFull
inline constexpr std::uint16_t kNothingToCancel = 0x0B06;  // erTRS_Nosing4Cancel
inline constexpr std::uint16_t kCopyUnavailable = 0x0B07;  // erTRS_NoAvalCheakCopy
inline constexpr std::uint16_t kCashTooLow = 0x0B08;       // erTRS_Cash2Low
inline constexpr std::uint16_t kPayModeDisabled = 0x0B09;  // erTRS_PayModeDisable
inline constexpr std::uint16_t kChangeDisabled = 0x0B0A;   // erTRS_PayReshtaDisable
inline constexpr std::uint16_t kDiscountRange = 0x0B0B;    // erTRS_DiscontOutRange
inline constexpr std::uint16_t kTotalOverflow = 0x0B0C;    // erTRS_TotalSummOvf
inline constexpr std::uint16_t kPayOverflow = 0x0B0D;      // erTRS_TotalPayOvf
inline constexpr std::uint16_t kQuantity = 0x0B0F;         // erTRS_Quantity
inline constexpr std::uint16_t kPrice = 0x0B10;            // erTRS_Price
}  // namespace err

// A refusal raised while a command is checked or carried out; the dispatcher turns it into
// the answer's error code.
struct DeviceError {
  std::uint16_t code;
};

// The error code text of the answer frame: the detail byte first, then the group byte, each as
// two upper-case hexadecimal digits (0x0103 travels as "0301").
std::string ErrorCodeText(std::uint16_t code);

// The largest amount the register keeps (money in kopecks, quantities in thousandths).
inline constexpr std::int64_t kMaxAmount = 99'999'999'999LL;

// The fields of one command text. Field 0 is the password; the numbers in format and range
// errors are these indexes, so the first field after the password is field 1.
class CommandArgs {
 public:
  explicit CommandArgs(std::string_view text);

  std::size_t size() const { return fields_.size(); }
  bool Has(std::size_t i) const { return i < fields_.size(); }
  // The raw field; missing fields read as empty.
  std::string_view Raw(std::size_t i) const;

  // Each of these raises DeviceError: 0x03NN for a missing field or a bad format, 0x04NN for a
  // value outside [lo, hi].
  std::int64_t Int(std::size_t i, std::int64_t lo, std::int64_t hi) const;
  // A decimal number with at most `decimals` decimals (more are accepted when they are zeros),
  // as an integer in units of 10^-decimals.
  std::int64_t Fixed(std::size_t i, int decimals, std::int64_t lo, std::int64_t hi) const;
  // Exactly `digits` hexadecimal digits (either case).
  std::uint32_t Hex(std::size_t i, int digits) const;
  // Text of at most `max_len` bytes; `allow_empty` false refuses an empty field (0x04NN).
  std::string Text(std::size_t i, std::size_t max_len, bool allow_empty = true) const;
  // A field made of decimal digits only, of min_len..max_len digits.
  std::string Digits(std::size_t i, std::size_t min_len, std::size_t max_len) const;

  static DeviceError FormatError(std::size_t i);
  static DeviceError ValueError(std::size_t i);

 private:
  std::vector<std::string> fields_;
};

// Money and quantity texts with "." and fixed decimals ("-5.00", "1.500").
std::string FormatFixed(std::int64_t units, int decimals);
inline std::string FormatMoney(std::int64_t kopecks) {
  return FormatFixed(kopecks, 2);
}

// Register time: seconds since 1970-01-01 00:00 of the register's own (local) calendar.
using RegisterTime = std::int64_t;

struct CivilTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

CivilTime ToCivil(RegisterTime t);
RegisterTime FromCivil(const CivilTime& c);
// "DDMMYY" and "HHMM" texts.
std::string DateText(RegisterTime t);
std::string TimeText(RegisterTime t);
// Parses "DDMMYY" (years 2000..2099) to the time of that day's midnight; nothing when the
// text is not six digits of a real date.
std::optional<RegisterTime> ParseDate(std::string_view ddmmyy);
// Parses "HHMM" to seconds after midnight; nothing when it is not a real time.
std::optional<int> ParseTime(std::string_view hhmm);

}  // namespace tolvanet::sim
