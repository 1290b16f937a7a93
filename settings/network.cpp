#include "settings/network.h"

#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

#include "link/commands.h"
#include "link/decimal.h"
#include "link/engine.h"
#include "link/hex.h"
#include "link/translate.h"

namespace tolvanet {

namespace {

// The register writes its hexadecimal digits in upper case; anything else is a damaged answer.
int UpperHexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

std::optional<std::uint8_t> UpperHexByte(std::string_view two) {
  const int hi = UpperHexValue(two[0]);
  const int lo = UpperHexValue(two[1]);
  if (hi < 0 || lo < 0)
    return std::nullopt;
  return static_cast<std::uint8_t>(hi * 16 + lo);
}

// One 16-bit box: a whole number of 0..65535, or the box's own message (the conversion message
// when the text is not a number at all).
std::string Append16(std::string_view text, std::string_view range_message, std::string& out) {
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  const auto parsed = ParseInteger(text, kMin, kMax);
  if (!parsed) {
    // Digits too many for any integer are out of range, not "not a number".
    return parsed.error == NotAnIntegerMessage(text) ? parsed.error : TrText(range_message);
  }
  if (*parsed < 0 || *parsed > 0xFFFF)
    return std::string(range_message);
  out += Encode16(static_cast<std::uint16_t>(*parsed)) + ";";
  return {};
}

}  // namespace

std::optional<std::string> EncodeAddress(std::string_view dotted) {
  if (dotted.size() > kAddressBoxLength)
    return std::nullopt;
  std::string out;
  int parts = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = dotted.find('.', start);
    const std::string_view part =
        dotted.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
    if (part.empty() || part.size() > 3)
      return std::nullopt;
    int value = 0;
    for (char c : part) {
      if (c < '0' || c > '9')
        return std::nullopt;
      value = value * 10 + (c - '0');
    }
    if (value > 255 || ++parts > 4)
      return std::nullopt;
    out += HexByte(static_cast<std::uint8_t>(value));
    if (dot == std::string_view::npos)
      break;
    start = dot + 1;
  }
  if (parts != 4)
    return std::nullopt;
  return out;
}

std::optional<std::string> DecodeAddress(std::string_view hex) {
  if (hex.size() != 8)
    return std::nullopt;
  std::string out;
  for (int i = 0; i < 4; ++i) {
    const auto b = UpperHexByte(hex.substr(i * 2, 2));
    if (!b)
      return std::nullopt;
    if (i > 0)
      out += '.';
    out += std::to_string(*b);
  }
  return out;
}

std::string Encode16(std::uint16_t value) {
  return HexByte(static_cast<std::uint8_t>(value & 0xFF)) +
         HexByte(static_cast<std::uint8_t>(value >> 8));
}

std::optional<std::uint16_t> Decode16(std::string_view hex) {
  if (hex.size() != 4)
    return std::nullopt;
  const auto lo = UpperHexByte(hex.substr(0, 2));
  const auto hi = UpperHexByte(hex.substr(2, 2));
  if (!lo || !hi)
    return std::nullopt;
  return static_cast<std::uint16_t>(*lo + 256 * *hi);
}

NetworkWriteText BuildNetworkWriteText(const NetworkFields& fields) {
  NetworkWriteText out;
  std::string text = fields.dhcp ? "1;" : "0;";
  for (const std::string* address :
       {&fields.ip, &fields.mask, &fields.gateway, &fields.destination}) {
    const auto hex = EncodeAddress(*address);
    if (!hex) {
      out.error = TrText(kBadAddressMessage);
      return out;
    }
    text += *hex + ";";
  }
  for (const auto& [box, message] :
       {std::pair{&fields.port, kBadPortMessage}, std::pair{&fields.period, kBadPeriodMessage},
        std::pair{&fields.retry, kBadRetryMessage}}) {
    out.error = Append16(*box, message, text);
    if (!out.error.empty())
      return out;
  }
  out.text = std::move(text);
  return out;
}

std::optional<NetworkFields> DecodeNetworkReply(const ReplyRecord& reply) {
  // A field is read from its first 8 (address) or 4 (number) characters; what follows them
  // is not looked at, so a firmware that adds a character still reads.
  auto head = [&reply](int field, std::size_t size) {
    return std::string_view(reply.Field(field)).substr(0, size);
  };
  NetworkFields f;
  f.dhcp = reply.Field(0) != "0";
  std::string* addresses[] = {&f.ip, &f.mask, &f.gateway, &f.destination};
  for (int i = 0; i < 4; ++i) {
    const auto dotted = DecodeAddress(head(1 + i, 8));
    if (!dotted)
      return std::nullopt;
    *addresses[i] = *dotted;
  }
  std::string* numbers[] = {&f.port, &f.period, &f.retry};
  for (int i = 0; i < 3; ++i) {
    const auto value = Decode16(head(5 + i, 4));
    if (!value)
      return std::nullopt;
    *numbers[i] = std::to_string(*value);
  }
  return f;
}

NetworkFileResult ParseNetworkSettingsFile(std::string_view content) {
  NetworkFileResult out;
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (lines.size() < 8 && start < content.size()) {
    std::size_t end = content.find('\n', start);
    std::string_view line =
        content.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos)
      break;
    start = end + 1;
  }
  if (lines.size() < 8) {
    out.error = Tr("В файле параметров связи меньше восьми строк. Файл не загружен.");
    return out;
  }
  // Line 1 is the DHCP flag, read as at most 29 characters; the others fit the boxes they fill.
  static constexpr std::size_t kLimits[8] = {29,
                                             kAddressBoxLength,
                                             kAddressBoxLength,
                                             kAddressBoxLength,
                                             kAddressBoxLength,
                                             kNumberBoxLength,
                                             kNumberBoxLength,
                                             kNumberBoxLength};
  for (std::size_t i = 0; i < 8; ++i) {
    if (lines[i].size() > kLimits[i]) {
      out.error = TrArgs(Tr("Строка %1 файла параметров связи длиннее %2 символов. Файл не "
                            "загружен."),
                         {std::to_string(i + 1), std::to_string(kLimits[i])});
      return out;
    }
  }
  NetworkFields f;
  f.dhcp = lines[0].empty() || lines[0][0] != '0';
  f.ip = lines[1];
  f.mask = lines[2];
  f.gateway = lines[3];
  f.destination = lines[4];
  f.port = lines[5];
  f.period = lines[6];
  f.retry = lines[7];
  out.fields = std::move(f);
  return out;
}

NetworkFileResult LoadNetworkSettingsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    NetworkFileResult out;
    out.error = TrArgs(Tr("Не удалось открыть файл %1. Файл не загружен."), {path});
    return out;
  }
  // Eight short lines: a file of more than 64 KiB is not a settings file; read no more.
  std::string content(65536, '\0');
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<std::size_t>(in.gcount()));
  return ParseNetworkSettingsFile(content);
}

ReplyRecord& GetNetworkParams(std::string_view pwd) {
  return ExecuteCommand(cmd::kGetNetworkParams, std::string(pwd) + ";");
}

ReplyRecord& SetNetworkParams(std::string_view pwd, std::string_view data_text) {
  return ExecuteCommand(cmd::kSetNetworkParams, std::string(pwd) + ";" + std::string(data_text));
}

ReplyRecord& GetIdDev(std::string_view pwd) {
  return ExecuteCommand(cmd::kGetIdDev, std::string(pwd) + ";");
}

ReplyRecord& SetIdDev(std::string_view pwd, std::string_view id_dev) {
  return ExecuteCommand(cmd::kSetIdDev, std::string(pwd) + ";" + std::string(id_dev) + ";");
}

std::string CheckIdDev(std::string_view text) {
  const bool digits =
      !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
  if (digits && ParseInteger(text, 0, 0xFFFFFFFFLL))
    return {};
  return TrArgs(Tr("Значение ID_DEV \"%1\" неверно: допустимы только цифры, число от 0 до "
                   "4294967295. ID_DEV не установлен."),
                {text});
}

std::optional<std::string> IdDevHex(std::string_view decimal) {
  const auto value = ParseInteger(decimal, 0, 0xFFFFFFFFLL);
  if (!value)
    return std::nullopt;
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08llX", static_cast<unsigned long long>(*value));
  return std::string(buf);
}

std::string IdDevHexLabel(std::string_view hex) {
  return TrText(kIdDevHexCaption) + "  " + std::string(hex);
}

}  // namespace tolvanet
