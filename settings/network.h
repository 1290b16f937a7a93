// The register's network settings and device identifier: the hexadecimal codecs of the network
// fields, the text that writes them, the decoding of the text that reads them, the settings
// file, and the ID_DEV label.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/reply.h"
#include "link/translate.h"

namespace tolvanet {

// The network settings as the dialog shows them: dotted addresses and decimal numbers, as text.
struct NetworkFields {
  bool dhcp = false;
  std::string ip;
  std::string mask;
  std::string gateway;
  std::string destination;
  std::string port;
  std::string period;  // minutes
  std::string retry;   // seconds
  bool operator==(const NetworkFields&) const = default;
};

// Box limits of the dialog.
inline constexpr std::size_t kAddressBoxLength = 15;
inline constexpr std::size_t kNumberBoxLength = 5;

// An address as 8 upper-case hexadecimal digits, octets in written order ("192.168.0.1" ->
// "C0A80001"). Nothing unless the text is exactly four decimal parts of 0..255.
std::optional<std::string> EncodeAddress(std::string_view dotted);
// The inverse: exactly 8 digits "0"-"9", "A"-"F" (lower case is invalid), else nothing.
std::optional<std::string> DecodeAddress(std::string_view hex);

// A 16-bit number as 4 upper-case hexadecimal digits, low byte first (5000 -> "8813").
std::string Encode16(std::uint16_t value);
// The inverse: exactly 4 digits "0"-"9", "A"-"F", else nothing.
std::optional<std::uint16_t> Decode16(std::string_view hex);

// The messages of the write.
inline constexpr std::string_view kBadAddressMessage = TrNoop("Некорректный IP-адрес. Ошибка!");
inline constexpr std::string_view kBadPortMessage = TrNoop("Некорректный номер порта. Ошибка!");
inline constexpr std::string_view kBadPeriodMessage =
    TrNoop("Некорректная величина параметра Периодичность связи. Ошибка!");
inline constexpr std::string_view kBadRetryMessage =
    TrNoop("Некорректная величина параметра Повторной попытки. Ошибка!");
inline constexpr std::string_view kBadNetworkReplyMessage =
    TrNoop("Информация переданная регистратором неверна. Чтение данных остановлено.");

// The data text of SetNetworkParams after the password ("0;C0A8000A;...;1E00;"), or the
// message that refuses the fields (then nothing may be sent).
struct NetworkWriteText {
  std::string text;
  std::string error;  // empty when `text` is good
};
NetworkWriteText BuildNetworkWriteText(const NetworkFields& fields);

// The answer of GetNetworkParams decoded, all fields or none. Each address is read from the
// first 8 characters of its field and each number from the first 4; characters after them are
// not read. Nothing when a field is missing or shorter than that, or a character read is
// outside "0"-"9", "A"-"F".
std::optional<NetworkFields> DecodeNetworkReply(const ReplyRecord& reply);

// The settings file: eight lines (DHCP, address, mask, gateway, destination, port, period,
// retry), each ending in LF or CR LF. A file with fewer than eight lines or a line too long
// for its box is refused with a message; lines after the eighth are ignored.
struct NetworkFileResult {
  std::optional<NetworkFields> fields;
  std::string error;  // the message when `fields` is empty (UTF-8)
};
NetworkFileResult ParseNetworkSettingsFile(std::string_view content);
NetworkFileResult LoadNetworkSettingsFile(const std::string& path);

// GetNetworkParams (250) "pwd;" and SetNetworkParams (251) "pwd;" + data text.
ReplyRecord& GetNetworkParams(std::string_view pwd);
ReplyRecord& SetNetworkParams(std::string_view pwd, std::string_view data_text);

// Refuses an ID_DEV typed for SetIdDev unless it is decimal digits only with a value of
// 0..4294967295: a mistyped identifier re-routes the register at the relay. The message
// (UTF-8), or empty when the text may be sent as it is.
std::string CheckIdDev(std::string_view text);

// GetIdDev (76) "pwd;" and SetIdDev (75) "pwd;id;".
ReplyRecord& GetIdDev(std::string_view pwd);
ReplyRecord& SetIdDev(std::string_view pwd, std::string_view id_dev);

// ID_DEV as the label shows it: eight upper-case hexadecimal digits of the decimal value
// ("305419896" -> "12345678"); nothing when the text is not a whole number of 0..4294967295.
std::optional<std::string> IdDevHex(std::string_view decimal);
inline constexpr std::string_view kIdDevHexCaption = TrNoop("Значение ID_DEV (Hex):");
// The label after a read: the caption, two blanks, the eight digits.
std::string IdDevHexLabel(std::string_view hex);

}  // namespace tolvanet
