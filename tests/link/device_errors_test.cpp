// Device error codes and the operator's messages.
#include "link/device_errors.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace tolvanet {
namespace {

const std::string kHw = "Ошибка оборудования!\n ";
const std::string kFis = "Ошибка фискальной памяти!\n ";
const std::string kMode = "Команда не может быть выполнена в данном состоянии регистратора!\n";
const std::string kMem = "Не обнулено!";
const std::string kArt = "Ошибка работы с базой товаров!\n ";
const std::string kTrs = "Ошибка работы с продажами!\n ";
const std::string kFmt = "Ошибка форматированной строки!\n ";
const std::string kUnknown = "Неизвестная ошибка!";

ReplyRecord ReplyWith(const std::string& error_code, std::uint32_t flags = 0) {
  ReplyRecord r;
  r.error_code = error_code;
  r.status_flags = flags;
  return r;
}

struct MessageCase {
  std::string error_code;
  bool ok;
  std::string message;
};

class DeviceErrorMessageTable : public ::testing::TestWithParam<MessageCase> {};

TEST_P(DeviceErrorMessageTable, GivesTheTableMessage) {
  const MessageCase& c = GetParam();
  std::string message = "previous contents";
  EXPECT_EQ(DeviceErrorMessage(ReplyWith(c.error_code), message), c.ok) << c.error_code;
  EXPECT_EQ(message, c.message) << c.error_code;
}

const std::vector<MessageCase> kCases = {
    // Success and group 0.
    {"0000", true, ""},
    {"0100", false, ""},
    {"FF00", false, ""},
    // Group 0x01: hardware.
    {"0001", false, kHw + "Неопределенная ошибка оборудования!"},
    {"0101", false, kHw + "Ошибка принтера!"},
    {"0301", false, kHw + "Ошибка контрольной суммы памяти программы!"},
    {"0901", false, kHw + "MMC: отказ оборудования!"},
    {"0A01", false, kHw + kUnknown},
    {"FF01", false, kHw + kUnknown},
    // Lower-case letters are not digits: "0a" reads 0.
    {"0a01", false, kHw + "Неопределенная ошибка оборудования!"},
    // Group 0x02: no header.
    {"0002", false, "Нет команды с таким кодом!"},
    {"0302", false, "Переполнение буфера приемника/передатчика!"},
    {"0402", false, kUnknown},
    // Group 0x03 / 0x04: the detail as a decimal field number.
    {"0703", false, "Неправильный формат поля номер 7!"},
    {"0003", false, "Неправильный формат поля номер 0!"},
    {"FF03", false, "Неправильный формат поля номер 255!"},
    {"1204", false, "Значение поля номер 18 выходит за допустимый диапазон!"},
    {"0004", false, "Значение поля номер 0 выходит за допустимый диапазон!"},
    {"0704", false, "Значение поля номер 7 выходит за допустимый диапазон!"},
    // Group 0x05: fiscal memory.
    {"0005", false, kFis + "Нет свободного места для записи в ФП!"},
    {"0305", false, kFis + "Дата текущей записи более ранняя \n   чем дата предыдущей записи!"},
    {"0605", false, kFis + "Фискальная память исчерпана!"},
    {"0705", false, kFis + "Данная команда выполняется только в фискальном режиме!"},
    {"0C05", false, kFis + "ДОшибка в формате даты!"},
    {"0E05", false, kFis + "Устанавливаемое время меньше текущего!"},
    {"0F05", false, kFis + kUnknown},
    // Group 0x06: any detail.
    {"0006", false, "Неверный пароль доступа!"},
    {"2A06", false, "Неверный пароль доступа!"},
    {"FF06", false, "Неверный пароль доступа!"},
    // Group 0x07.
    {"0007", false, kMode + "Неверный режим регистратора (перемычка)!"},
    {"0307", false, kMode + "Регистратор находится в автономном режиме!"},
    {"0407", false, kMode + kUnknown},
    // Group 0x08: any detail.
    {"0008", false, "При выполнении операции \n  обнаружено арифметическое переполнение!"},
    {"5508", false, "При выполнении операции \n  обнаружено арифметическое переполнение!"},
    // Group 0x09: header without a line break.
    {"0009", false, "Не обнулено!Не очищено!"},
    {"0409", false, kMem + "Ошибка данных"},
    {"0509", false, kMem + kUnknown},
    // Group 0x0A.
    {"000A", false, kArt + "Нет свободного места для выполнения команды!"},
    {"050A", false, kArt + "Налог запрещен!"},
    {"060A", false, kArt + kUnknown},
    // Group 0x0B.
    {"000B", false, kTrs + "Неверное состояние документа!"},
    {"080B", false, kTrs + "В кассе недостаточно наличных денег для выполнения операции!"},
    {"110B", false, kTrs + "Аннуляция: удаляемая последовательность заблокирована!"},
    {"120B", false, kTrs + kUnknown},
    // Groups without messages.
    {"00C0", false, ""},
    {"02C0", false, ""},
    {"01D0", false, ""},
    {"04D1", false, ""},
    {"000C", false, ""},
    {"0012", false, ""},
    // Group 0xF0.
    {"00F0", false, kFmt + "Форматированная строка: параметры!"},
    {"04F0", false, kFmt + "Форматированная строка: позиции в строке!"},
    {"05F0", false, kFmt + kUnknown},
    // Digit-reading rules.
    {"", true, ""},      // no digit at all: group 0, detail 0
    {"XXXX", true, ""},  // no hexadecimal digit
    {"abcd", true, ""},  // lower case is not a digit
    {"0G01", false, kHw + "Неопределенная ошибка оборудования!"},  // "0G" = 0x00
    {"3G03", false, "Неправильный формат поля номер 48!"},         // "3G" = 0x30
    {"G301", false, kHw + "Неопределенная ошибка оборудования!"},  // first not a digit: 0
    {"030", false, ""},  // detail 3; group "0" + a missing character = 0
};

void PrintTo(const MessageCase& c, std::ostream* os) {
  *os << '"' << c.error_code << '"';
}

std::string CaseName(const ::testing::TestParamInfo<MessageCase>& info) {
  std::string name = "Case" + std::to_string(info.index) + "_";
  for (char ch : info.param.error_code) {
    const bool alnum =
        (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
    name += alnum ? ch : 'X';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(DeviceError, DeviceErrorMessageTable, ::testing::ValuesIn(kCases),
                         CaseName);

TEST(DeviceError, SuccessIgnoresStatusBits) {
  std::string message = "x";
  EXPECT_TRUE(DeviceErrorMessage(ReplyWith("0000", 0x00800001), message));
  EXPECT_EQ(message, "");
}

TEST(DeviceError, NoAnswerWinsOverTheErrorCode) {
  for (const char* code : {"0000", "0301", "0006", "zzzz", ""}) {
    std::string message;
    EXPECT_FALSE(DeviceErrorMessage(ReplyWith(code, status_bits::kNoAnswer), message));
    EXPECT_EQ(message, "Таймаут устройства! Ошибка!") << code;
  }
}

TEST(DeviceError, LinkBitsOtherThanNoAnswerDoNotMatter) {
  std::string message;
  EXPECT_TRUE(DeviceErrorMessage(ReplyWith("0000", status_bits::kChecksumError), message));
  EXPECT_FALSE(DeviceErrorMessage(ReplyWith("0101", status_bits::kNak), message));
  EXPECT_EQ(message, kHw + "Ошибка принтера!");
}

TEST(DeviceError, DamagedAnswersHaveAMessageOfTheirOwn) {
  EXPECT_NE(DamagedAnswerMessage(ReplyWith("0000", status_bits::kChecksumError))
                .find("ошибка контрольной суммы"),
            std::string::npos);
  EXPECT_NE(DamagedAnswerMessage(ReplyWith("0000", status_bits::kNak)).find("NAK"),
            std::string::npos);
  for (std::uint32_t flags : {0u, status_bits::kNoAnswer, status_bits::kShiftOpen})
    EXPECT_EQ(DamagedAnswerMessage(ReplyWith("0000", flags)), "") << flags;
}

TEST(DeviceError, OnlyTheFirstFourCharactersCount) {
  std::string message;
  EXPECT_FALSE(DeviceErrorMessage(ReplyWith("0101FFFF"), message));
  EXPECT_EQ(message, kHw + "Ошибка принтера!");
}

TEST(DeviceError, CodeTextIsDetailFirst) {
  EXPECT_EQ(ErrorCodeText(0x0103), "0301");
  EXPECT_EQ(ErrorCodeText(rExecOK), "0000");
  EXPECT_EQ(ErrorCodeText(erTRS_Cash2Low), "080B");
  EXPECT_EQ(ErrorCodeText(rErrPWD), "0006");
  EXPECT_EQ(ErrorCodeText(erFIS_NoFiscalMode), "0705");
  EXPECT_EQ(ErrorCodeText(erTMPBuff_Header), "00C0");
  EXPECT_EQ(ErrorCodeText(MakeDeviceError(0x04, 0x12)), "1204");
  EXPECT_EQ(ErrorCodeText(0xABCD), "CDAB");
}

TEST(DeviceError, ParseIsTheInverseOfTheCodeText) {
  for (unsigned v = 0; v <= 0xFFFF; v += 0x0101) {
    EXPECT_EQ(ParseErrorCodeText(ErrorCodeText(static_cast<std::uint16_t>(v))), v);
  }
  EXPECT_EQ(ParseErrorCodeText("0a01"), 0x0100);
  EXPECT_EQ(ParseErrorCodeText("a001"), 0x0100);
  EXPECT_EQ(ParseErrorCodeText("1x2y"), 0x2010);
}

TEST(DeviceError, SymbolicValues) {
  EXPECT_EQ(erHW_Printer, 0x0101);
  EXPECT_EQ(erHW_SD, 0x0109);
  EXPECT_EQ(err_MsgSize, 0x0203);
  EXPECT_EQ(rErr_FieldFormat, 0x0300);
  EXPECT_EQ(rErr_FieldValue7, 0x0407);
  EXPECT_EQ(err_TimeFormat, 0x050D);
  EXPECT_EQ(erMUST_GET_TL, 0x0702);
  EXPECT_EQ(rErrMatch, 0x0800);
  EXPECT_EQ(rErrDataError, 0x0904);
  EXPECT_EQ(erART_DisabledTax, 0x0A05);
  EXPECT_EQ(erTRS_CancelLock, 0x0B11);
  EXPECT_EQ(rErrSD_FileNotFound, 0xD104);
  EXPECT_EQ(erPrmFormatStr_Position, 0xF004);
}

TEST(DeviceError, EveryNamedCodeRoundTripsThroughTheWire) {
  // What the simulator will do: produce the wire text of a code; the message must be that of
  // the code itself.
  for (std::uint16_t code : {erHW_Printer, erFIS_NoFiscalMode, erTRS_Cash2Low, rErrPWD,
                             erMODE_Shift, erPrmFormatStr_MMode, rErr_FieldValue3}) {
    std::string message;
    EXPECT_FALSE(DeviceErrorMessage(ReplyWith(ErrorCodeText(code)), message));
    EXPECT_EQ(message, DeviceErrorText(code));
    EXPECT_FALSE(message.empty());
  }
}

}  // namespace
}  // namespace tolvanet
