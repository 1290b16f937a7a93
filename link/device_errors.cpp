#include "link/device_errors.h"

#include <array>
#include <cstddef>

#include "link/translate.h"

namespace tolvanet {

namespace {

constexpr const char* kUnknown = TrNoop("Неизвестная ошибка!");
constexpr const char* kTimeout = TrNoop("Таймаут устройства! Ошибка!");

// Detail texts of a group, indexed by detail; details past the end are unknown.
template <std::size_t N>
std::string Detail(const std::array<const char*, N>& texts, std::uint8_t detail) {
  return TrText(detail < N ? texts[detail] : kUnknown);
}

constexpr std::array<const char*, 10> kHardware = {
    TrNoop("Неопределенная ошибка оборудования!"),
    TrNoop("Ошибка принтера!"),
    TrNoop("Ошибка RAM!"),
    TrNoop("Ошибка контрольной суммы памяти программы!"),
    TrNoop("Ошибка Flash памяти!"),
    TrNoop("Ошибка дисплея!"),
    TrNoop("Ошибка часов, необходимо скорректировать время!"),
    TrNoop("Ошибка, возникшая в связи с понижением напряжения питания!"),
    TrNoop("SIM: отказ оборудования!"),
    TrNoop("MMC: отказ оборудования!"),
};

constexpr std::array<const char*, 4> kMessage = {
    TrNoop("Нет команды с таким кодом!"),
    TrNoop("Данная функция не поддерживается!"),
    TrNoop("В сообщении нет данных"),
    TrNoop("Переполнение буфера приемника/передатчика!"),
};

constexpr std::array<const char*, 15> kFiscal = {
    TrNoop("Нет свободного места для записи в ФП!"),
    TrNoop("Ошибка записи в фискальную память!"),
    TrNoop("Заводской номер не установлен!"),
    TrNoop("Дата текущей записи более ранняя \n   чем дата предыдущей записи!"),
    TrNoop("Запрещен выход за пределы суток!"),
    TrNoop("Данные в фискальной памяти неверны!"),
    TrNoop("Фискальная память исчерпана!"),
    TrNoop("Данная команда выполняется только в фискальном режиме!"),
    TrNoop("Дата и время не были установлены \nс момента последнего аварийного обнуления ОЗУ!"),
    TrNoop("С начала смены прошло более 24х часов!"),
    TrNoop("Необходимо скорректировать время!"),
    TrNoop("Ошибка в формате таблицы!"),
    TrNoop("ДОшибка в формате даты!"),
    TrNoop("Ошибка в формате времени!"),
    TrNoop("Устанавливаемое время меньше текущего!"),
};

constexpr std::array<const char*, 4> kMode = {
    TrNoop("Неверный режим регистратора (перемычка)!"),
    TrNoop("Команда невыполнима в данном состоянии смены!"),
    TrNoop("Необходимо выгрузить контрольную ленту (бумажную/подписанную)!"),
    TrNoop("Регистратор находится в автономном режиме!"),
};

constexpr std::array<const char*, 5> kMemory = {
    TrNoop("Не очищено!"),
    TrNoop("Чтение-запись по неинициализированному указателю!"),
    TrNoop("Адрес-параметр за пределами зоны!"),
    TrNoop("Выделен недостаточный буфер!"),
    TrNoop("Ошибка данных"),
};

constexpr std::array<const char*, 6> kArticles = {
    TrNoop("Нет свободного места для выполнения команды!"),
    TrNoop("Длинна записи больше максимума (>255)!"),
    TrNoop("Артикул с данным кодом не найден!"),
    TrNoop("Индекс за пределами базы!"),
    TrNoop("Артикул с данным кодом существует!"),
    TrNoop("Налог запрещен!"),
};

constexpr std::array<const char*, 18> kSales = {
    TrNoop("Неверное состояние документа!"),
    TrNoop("Недостаточно свободного места для выполнения команды!"),
    TrNoop("Неизвестный тип продажи!"),
    TrNoop("Аннуляция: не может начинаться с данной операции!"),
    TrNoop("Аннуляция: данная операция в чеке не найдена!"),
    TrNoop("Аннуляция: последовательность неполная!"),
    TrNoop("Аннулировать нечего!"),
    TrNoop("Копия чека недоступна!"),
    TrNoop("В кассе недостаточно наличных денег для выполнения операции!"),
    TrNoop("Указанный тип оплаты запрещен для данного чека!"),
    TrNoop("Сдача запрещена с данного типа оплаты!"),
    TrNoop("Значение скидки вышло за допустимый диапазон!"),
    TrNoop("Переполнение итога по чеку!"),
    TrNoop("Переполнение по оплатам в чеке!"),
    TrNoop("Переполнение буфера!"),
    TrNoop("Продажа: ошибка в количестве!"),
    TrNoop("Продажа: ошибка в цене!"),
    TrNoop("Аннуляция: удаляемая последовательность заблокирована!"),
};

constexpr std::array<const char*, 5> kFormatString = {
    TrNoop("Форматированная строка: параметры!"),
    TrNoop("Форматированная строка: тип данных!"),
    TrNoop("Форматированная строка: выбор шрифта!"),
    TrNoop("Форматированная строка: выравнивание!"),
    TrNoop("Форматированная строка: позиции в строке!"),
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
      return Tr("Ошибка оборудования!") + std::string("\n ") + Detail(kHardware, detail);
    case 0x02:
      return Detail(kMessage, detail);
    case 0x03:
      return TrArgs(Tr("Неправильный формат поля номер %1!"), {std::to_string(detail)});
    case 0x04:
      return TrArgs(Tr("Значение поля номер %1 выходит за допустимый диапазон!"),
                    {std::to_string(detail)});
    case 0x05:
      return Tr("Ошибка фискальной памяти!") + std::string("\n ") + Detail(kFiscal, detail);
    case 0x06:
      return Tr("Неверный пароль доступа!");
    case 0x07:
      return Tr("Команда не может быть выполнена в данном состоянии регистратора!") +
             std::string("\n") + Detail(kMode, detail);
    case 0x08:
      return Tr("При выполнении операции \n  обнаружено арифметическое переполнение!");
    case 0x09:
      return Tr("Не обнулено!") + Detail(kMemory, detail);
    case 0x0A:
      return Tr("Ошибка работы с базой товаров!") + std::string("\n ") + Detail(kArticles, detail);
    case 0x0B:
      return Tr("Ошибка работы с продажами!") + std::string("\n ") + Detail(kSales, detail);
    case 0xF0:
      return Tr("Ошибка форматированной строки!") + std::string("\n ") +
             Detail(kFormatString, detail);
    default:
      // Group 0 (success, or 0x00NN), 0xC0, 0xD0, 0xD1 and every unlisted group.
      return {};
  }
}

bool DeviceErrorMessage(const ReplyRecord& reply, std::string& message) {
  if (reply.NoAnswer()) {
    message = Tr(kTimeout);
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
    return Tr(
        "Регистратор не принял команду (NAK): команда не выполнена или её результат "
        "неизвестен. Ошибка!");
  if (reply.status_flags & status_bits::kChecksumError)
    return Tr(
        "Ответ регистратора повреждён (ошибка контрольной суммы): данные ответа не "
        "использованы. Ошибка!");
  return {};
}

}  // namespace tolvanet
