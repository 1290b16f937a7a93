// The modem state report and the last acquirer session: their commands and the decoding of the
// modem status byte.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "link/reply.h"
#include "link/translate.h"

namespace tolvanet {

// GetModemState (234): "pwd;1;" prints the report, "pwd;0;" does not.
ReplyRecord& GetModemState(std::string_view pwd, bool print);
// GetLastAcquirerSession (252): "pwd;".
ReplyRecord& GetLastAcquirerSession(std::string_view pwd);

// The status byte of answer field 0: the first character is the high digit, the second the low
// one; a missing character or one that is not in "0123456789ABCDEF" counts as 0 ("5" -> 0x50).
std::uint8_t ModemStatusByte(std::string_view field);

// The captions of the status byte's bits 0..7.
inline constexpr std::array<std::string_view, 8> kModemStatusBits = {
    TrNoop("МБ_SAM неисправен"),
    TrNoop("Карта памяти неисправна"),
    TrNoop("Блокировка по неотправке док. 72 час"),
    TrNoop("ID_DEV установлен"),
    TrNoop("Техническая регистрация выполнена"),
    TrNoop("ЭККР персонализирован"),
    TrNoop("Кабель Ethernet подключен"),
    TrNoop("Есть данные для отправки"),
};

inline constexpr std::string_view kModemErrorMessage = TrNoop("Состояние модема. Ошибка!");

}  // namespace tolvanet
