// The register's service counters: their names, which of them can be read or set, and how a
// read value is shown.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "link/reply.h"
#include "link/translate.h"

namespace tolvanet {

inline constexpr int kServiceCounterCount = 21;
inline constexpr int kUsbStorageCounter = 3;     // setting it makes the register leave the link
inline constexpr int kRemoteAccessCounter = 20;  // 0 switches the register's remote access off

// The counter's name as the list shows it (UTF-8); empty outside 0..20.
std::string_view ServiceCounterName(int counter);
// "Прочитать" is offered for every counter but 3, 4 and 5; "Установить" for every one but 0.
bool CounterReadable(int counter);
bool CounterSettable(int counter);
// What the value field shows right after the counter is chosen: "0" for counters 1 and 2.
std::string CounterChosenValue(int counter);

// The value field after a successful read (UTF-8): counter 0 with "%", counter 1 by the name
// of its link mode (the raw value when it names none), counter 2 answer field 0, any other
// answer field 0 when the answer carries exactly one field, else empty.
std::string CounterValueText(int counter, const ReplyRecord& reply);

// The value to set from the value field: empty is 0; counter 1 also takes the text it shows
// ("2. USB"). Nothing when the field is not a whole number.
std::optional<int> CounterValueToSet(int counter, std::string_view field);

// True when setting `counter` to `value` switches the register's remote access off.
bool CutsRemoteAccess(int counter, int value);
// The question asked before that (UTF-8).
inline constexpr std::string_view kRemoteAccessQuestion = TrNoop(
    "Выключение удалённого доступа отключит программу от регистратора: до его включения на "
    "самом регистраторе связь с ним будет невозможна.\n\nВыключить удалённый доступ?");

}  // namespace tolvanet
