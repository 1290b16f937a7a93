#include "sim/fault_option.h"

#include <charconv>

#include "link/hex.h"

namespace tolvanet::sim {

namespace {

// A whole number in the given base, nothing when the text holds anything else.
std::optional<int> Number(std::string_view text, int base) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [at, ec] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || ec != std::errc() || at != end || value < 0)
    return std::nullopt;
  return value;
}

}  // namespace

std::optional<AimedFault> ParseAimedFault(std::string_view text, std::string& why) {
  const std::size_t at = text.find('@');
  if (at == std::string_view::npos) {
    why = "missing \"@CODE\"";
    return std::nullopt;
  }
  AimedFault fault;
  const std::string_view what = text.substr(0, at);
  if (what == "noanswer") {
    fault.kind = AimedFault::Kind::kNoAnswer;
  } else if (what == "nak") {
    fault.kind = AimedFault::Kind::kNak;
  } else if (what == "badsum") {
    fault.kind = AimedFault::Kind::kBadChecksum;
  } else {
    // As it travels: detail first, then group.
    const auto bytes = what.size() == 4 ? HexDecode(what) : std::nullopt;
    if (!bytes) {
      why = "\"" + std::string(what) +
            "\" is neither an error code of four hexadecimal digits nor noanswer, nak, badsum";
      return std::nullopt;
    }
    fault.error = static_cast<std::uint16_t>(static_cast<std::uint8_t>((*bytes)[1]) << 8 |
                                             static_cast<std::uint8_t>((*bytes)[0]));
  }
  std::string_view rest = text.substr(at + 1);
  const std::size_t count_at = rest.find('*');
  if (count_at != std::string_view::npos) {
    const auto count = Number(rest.substr(count_at + 1), 10);
    if (!count || *count == 0) {
      why = "the count after \"*\" must be a whole number above 0";
      return std::nullopt;
    }
    fault.count = *count;
    rest = rest.substr(0, count_at);
  }
  const std::size_t skip_at = rest.find('+');
  if (skip_at != std::string_view::npos) {
    const auto skip = Number(rest.substr(skip_at + 1), 10);
    if (!skip) {
      why = "the number after \"+\" must be a whole number";
      return std::nullopt;
    }
    fault.skip = *skip;
    rest = rest.substr(0, skip_at);
  }
  if (rest == "any") {
    fault.code = AimedFault::kAnyCode;
  } else {
    const auto code = Number(rest, 16);
    if (!code || *code > 0xFF) {
      why = "the command code \"" + std::string(rest) + "\" must be hexadecimal 00..FF or any";
      return std::nullopt;
    }
    fault.code = *code;
  }
  return fault;
}

}  // namespace tolvanet::sim
