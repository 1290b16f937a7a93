#include "settings/register_settings.h"

#include <algorithm>

#include "link/decimal.h"
#include "settings/field_codecs.h"

namespace tolvanet {

std::optional<PaymentTypeRow> DecodePaymentType(const ReplyRecord& reply) {
  auto mask = ParseHex(reply.Field(0), 2);
  if (!mask)
    return std::nullopt;
  return PaymentTypeRow{reply.Field(1), *mask};
}

std::optional<int> SpeedIndex(std::string_view field) {
  auto v = ParseInteger(field, 1, 10'000'000);
  if (!v)
    return std::nullopt;
  for (int i = 0; i < kExchangeSpeedCount; ++i) {
    if (kExchangeSpeeds[i] == *v)
      return i;
  }
  return std::nullopt;
}

int SpeedOfIndex(int index) {
  return index >= 0 && index < kExchangeSpeedCount ? kExchangeSpeeds[index] : 0;
}

std::vector<std::pair<int, std::string>> ServiceMessageLines(
    const std::vector<std::string>& lines) {
  std::vector<std::pair<int, std::string>> out;
  if (std::all_of(lines.begin(), lines.end(), [](const std::string& l) { return l.empty(); }))
    return out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == 0)
      out.emplace_back(0, lines[0]);
    else if (!lines[i].empty())
      out.emplace_back(1, lines[i]);
  }
  return out;
}

}  // namespace tolvanet
