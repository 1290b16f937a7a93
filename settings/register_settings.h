// Values of the smaller settings windows that are not a window's business: the payment type
// rows, the exchange speeds, and the lines of the maintenance message.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/reply.h"

namespace tolvanet {

// Payment type permission bits.
inline constexpr unsigned kPaymentSale = 0x01;
inline constexpr unsigned kPaymentReturn = 0x02;
inline constexpr unsigned kPaymentChange = 0x80;

struct PaymentTypeRow {
  std::string name;  // Windows-1251
  unsigned mask = 0;
};
// A GetPaymentParams answer: field 0 the mask in hexadecimal, field 1 the name. Nothing when
// the mask is not hexadecimal.
std::optional<PaymentTypeRow> DecodePaymentType(const ReplyRecord& reply);

// The exchange speeds of the register's list; the list's last entry "Не изменять" sends 0.
inline constexpr int kExchangeSpeeds[] = {110,  300,   600,   1200,  2400,  4800,
                                          9600, 19200, 38400, 57600, 115200};
inline constexpr int kExchangeSpeedCount = 11;
// The speed list's entry for an answer field; nothing for a speed the list does not have.
std::optional<int> SpeedIndex(std::string_view field);
// The speed an entry sends (0 for "Не изменять").
int SpeedOfIndex(int index);

// The maintenance message as it is sent: the first line with mode 0 (even when empty), every
// following non-empty line with mode 1. Nothing when every line is empty.
std::vector<std::pair<int, std::string>> ServiceMessageLines(const std::vector<std::string>& lines);

}  // namespace tolvanet
