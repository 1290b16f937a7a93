#include "link/device_errors.h"

#include <array>
#include <cstddef>

namespace tolvanet {

namespace {

constexpr const char* kUnknown = "Неизвестная ошибка!";
constexpr const char* kTimeout = "Таймаут устройства! Ошибка!";

// Detail texts of a group, indexed by detail; details past the end are unknown.
template <std::size_t N>
std::string Detail(const std::array<const char*, N>& texts, std::uint8_t detail) {
  return detail < N ? texts[detail] : kUnknown;
}

constexpr std::array<const char*, 10> kHardware = {
    "Неопределенная ошибка оборудования!",
    "Ошибка принтера!",
    "Ошибка RAM!",
    "Ошибка контрольной суммы памяти программы!",
    "Ошибка Flash памяти!",
    "Ошибка дисплея!",
    "Ошибка часов, необходимо скорректировать время!",
    "Ошибка, возникшая в связи с понижением напряжения питания!",
    "SIM: отказ оборудования!",
    "MMC: отказ оборудования!",
};

constexpr std::array<const char*, 4> kMessage = {
    "Нет команды с таким кодом!",
    "Данная функция не поддерживается!",
    "В сообщении нет данных",
    "Переполнение буфера приемника/передатчика!",
};

constexpr std::array<const char*, 15> kFiscal = {
    "Нет свободного места для записи в ФП!",
    "Ошибка записи в фискальную память!",
    "Заводской номер не установлен!",
    "Дата текущей записи более ранняя \n   чем дата предыдущей записи!",
    "Запрещен выход за пределы суток!",
    "Данные в фискальной памяти неверны!",
    "Фискальная память исчерпана!",
    "Данная команда выполняется только в фискальном режиме!",
    "Дата и время не были установлены \nс момента последнего аварийного обнуления ОЗУ!",
    "С начала смены прошло более 24х часов!",
    "Необходимо скорректировать время!",
    "Ошибка в формате таблицы!",
    "ДОшибка в формате даты!",
    "Ошибка в формате времени!",
    "Устанавливаемое время меньше текущего!",
};

constexpr std::array<const char*, 4> kMode = {
    "Неверный режим регистратора (перемычка)!",
    "Команда невыполнима в данном состоянии смены!",
    "Необходимо выгрузить контрольную ленту (бумажную/подписанную)!",
    "Регистратор находится в автономном режиме!",
};

constexpr std::array<const char*, 5> kMemory = {
    "Не очищено!",
    "Чтение-запись по неинициализированному указателю!",
    "Адрес-параметр за пределами зоны!",
    "Выделен недостаточный буфер!",
    "Ошибка данных",
};

constexpr std::array<const char*, 6> kArticles = {
    "Нет свободного места для выполнения команды!",
    "Длинна записи больше максимума (>255)!",
    "Артикул с данным кодом не найден!",
    "Индекс за пределами базы!",
    "Артикул с данным кодом существует!",
    "Налог запрещен!",
};

constexpr std::array<const char*, 18> kSales = {
    "Неверное состояние документа!",
    "Недостаточно свободного места для выполнения команды!",
    "Неизвестный тип продажи!",
    "Аннуляция: не может начинаться с данной операции!",
    "Аннуляция: данная операция в чеке не найдена!",
    "Аннуляция: последовательность неполная!",
    "Аннулировать нечего!",
    "Копия чека недоступна!",
    "В кассе недостаточно наличных денег для выполнения операции!",
    "Указанный тип оплаты запрещен для данного чека!",
    "Сдача запрещена с данного типа оплаты!",
    "Значение скидки вышло за допустимый диапазон!",
    "Переполнение итога по чеку!",
    "Переполнение по оплатам в чеке!",
    "Переполнение буфера!",
    "Продажа: ошибка в количестве!",
    "Продажа: ошибка в цене!",
    "Аннуляция: удаляемая последовательность заблокирована!",
};

constexpr std::array<const char*, 5> kFormatString = {
    "Форматированная строка: параметры!",        "Форматированная строка: тип данных!",
    "Форматированная строка: выбор шрифта!",     "Форматированная строка: выравнивание!",
    "Форматированная строка: позиции в строке!",
};

// Only 0-9 and upper-case A-F are digits here; -1 otherwise.
int StrictHexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

std::uint8_t ReadPair(std::string_view text, std::size_t at) {
  const int high = at < text.size() ? StrictHexDigit(text[at]) : -1;
  if (high < 0)
    return 0;
  const int low = at + 1 < text.size() ? StrictHexDigit(text[at + 1]) : -1;
  return static_cast<std::uint8_t>(high * 16 + (low < 0 ? 0 : low));
}

}  // namespace

std::string ErrorCodeText(std::uint16_t code) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const std::uint8_t detail = ErrorDetail(code);
  const std::uint8_t group = ErrorGroup(code);
  return {kDigits[detail >> 4], kDigits[detail & 0x0F], kDigits[group >> 4], kDigits[group & 0x0F]};
}

std::uint16_t ParseErrorCodeText(std::string_view text) {
  return MakeDeviceError(ReadPair(text, 2), ReadPair(text, 0));
}

std::string DeviceErrorText(std::uint16_t code) {
  const std::uint8_t group = ErrorGroup(code);
  const std::uint8_t detail = ErrorDetail(code);
  switch (group) {
    case 0x01:
      return "Ошибка оборудования!\n " + Detail(kHardware, detail);
    case 0x02:
      return Detail(kMessage, detail);
    case 0x03:
      return "Неправильный формат поля номер " + std::to_string(detail) + "!";
    case 0x04:
      return "Значение поля номер " + std::to_string(detail) + " выходит за допустимый диапазон!";
    case 0x05:
      return "Ошибка фискальной памяти!\n " + Detail(kFiscal, detail);
    case 0x06:
      return "Неверный пароль доступа!";
    case 0x07:
      return "Команда не может быть выполнена в данном состоянии регистратора!\n" +
             Detail(kMode, detail);
    case 0x08:
      return "При выполнении операции \n  обнаружено арифметическое переполнение!";
    case 0x09:
      return "Не обнулено!" + Detail(kMemory, detail);
    case 0x0A:
      return "Ошибка работы с базой товаров!\n " + Detail(kArticles, detail);
    case 0x0B:
      return "Ошибка работы с продажами!\n " + Detail(kSales, detail);
    case 0xF0:
      return "Ошибка форматированной строки!\n " + Detail(kFormatString, detail);
    default:
      // Group 0 (success, or 0x00NN), 0xC0, 0xD0, 0xD1 and every unlisted group.
      return {};
  }
}

bool DeviceErrorMessage(const ReplyRecord& reply, std::string& message) {
  if (reply.NoAnswer()) {
    message = kTimeout;
    return false;
  }
  const std::uint16_t code = ParseErrorCodeText(reply.error_code);
  message = DeviceErrorText(code);
  return code == rExecOK;
}

std::string DamagedAnswerMessage(const ReplyRecord& reply) {
  if (reply.NoAnswer())
    return {};
  if (reply.status_flags & status_bits::kNak)
    return "Регистратор не принял команду (NAK): команда не выполнена или её результат "
           "неизвестен. Ошибка!";
  if (reply.status_flags & status_bits::kChecksumError)
    return "Ответ регистратора повреждён (ошибка контрольной суммы): данные ответа не "
           "использованы. Ошибка!";
  return {};
}

}  // namespace tolvanet
