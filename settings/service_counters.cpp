#include "settings/service_counters.h"

#include <climits>

#include "link/codepage.h"
#include "link/decimal.h"
#include "link/translate.h"

namespace tolvanet {

namespace {

constexpr std::string_view kNames[kServiceCounterCount] = {
    TrNoop("Напряжение аккумулятора"),
    TrNoop("Выбор режима связи"),
    TrNoop("Время засыпания аппарата при бездействии аппарата "),
    TrNoop("Режим USB накопителя"),
    TrNoop("Активация сенсора открытия крышки контрольной ленты(1- активирован)"),
    TrNoop("Подкладной бланк"),
    TrNoop("Способ хранения описания кассиров"),
    TrNoop("Обновление служебных сообщений"),
    TrNoop("Выгрузка журналу на карту если карта рабочая и есть свободное место"),
    TrNoop("Маленький шрифт чека"),
    TrNoop("Тип дисплея"),
    TrNoop("Размер свободной памяти в байтах"),
    TrNoop("Не выводить комментарии в XML"),
    TrNoop("Открывать ящик автоматически"),
    TrNoop("Надбавки/скидки в отчете (0 - выводить, 1 - нет)"),
    TrNoop("Включить датчик крышки"),
    TrNoop("Установить значение MTU для фрагмента данных TCP (500-1460)"),
    TrNoop("Не печатать (0) сумму денег в кассе в чеках внесения изъятия"),
    TrNoop("Печатаь (1) в чеках продажи и возврата налоговые ставки с оборотом 0"),
    TrNoop("Автоматическая печать (1) ответов об отправке документов на сервер ДПС "),
    TrNoop("Включить (1) удаленный доступ (0 - выключить)"),
};

constexpr std::string_view kLinkModes[] = {"0. Auto", "1. UART", "2. USB", "3. Bluetooth"};

}  // namespace

std::string_view ServiceCounterName(int counter) {
  return counter >= 0 && counter < kServiceCounterCount ? kNames[counter] : std::string_view();
}

bool CounterReadable(int counter) {
  return counter < 3 || counter > 5;
}

bool CounterSettable(int counter) {
  return counter != 0;
}

std::string CounterChosenValue(int counter) {
  return counter == 1 || counter == 2 ? "0" : "";
}

std::string CounterValueText(int counter, const ReplyRecord& reply) {
  const std::string value = FromCp1251(reply.Field(0));
  switch (counter) {
    case 0:
      return value + "%";
    case 1: {
      // The mode is named by the first digit; anything else is shown as it came.
      if (!value.empty() && value[0] >= '0' && value[0] <= '3')
        return std::string(kLinkModes[value[0] - '0']);
      return value;
    }
    case 2:
      return value;
    default:
      return reply.field_count == 1 ? value : std::string();
  }
}

std::optional<int> CounterValueToSet(int counter, std::string_view field) {
  std::string_view s = field;
  while (!s.empty() && s.front() == ' ')
    s.remove_prefix(1);
  if (s.empty())
    return 0;
  if (counter == 1) {
    for (std::string_view mode : kLinkModes) {
      if (s == mode)
        return mode[0] - '0';
    }
  }
  auto v = ParseInteger(s, INT_MIN, INT_MAX);
  if (!v)
    return std::nullopt;
  return static_cast<int>(*v);
}

bool CutsRemoteAccess(int counter, int value) {
  return counter == kRemoteAccessCounter && value == 0;
}

}  // namespace tolvanet
