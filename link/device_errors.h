// Device error codes and the operator's message for them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/reply.h"

namespace tolvanet {

// The register's error codes under its own symbolic names: group (high byte) * 256 + detail
// (low byte). On the wire the code is written detail first (see ErrorCodeText).
enum DeviceError : std::uint16_t {
  rExecOK = 0x0000,

  // Group 0x01: hardware.
  erHW_Unknow = 0x0100,
  erHW_Printer = 0x0101,
  erHW_Ram = 0x0102,
  erHW_Rom = 0x0103,
  erHW_Flash = 0x0104,
  erHW_Display = 0x0105,
  erHW_Clock = 0x0106,
  erHW_PowerDown = 0x0107,
  erHW_SIM = 0x0108,
  erHW_SD = 0x0109,

  // Group 0x02: the message itself.
  rErr_InstrCODE = 0x0200,
  err_FunctionAbsent = 0x0201,
  err_MsgNoData = 0x0202,
  err_MsgSize = 0x0203,

  // Group 0x03: field format; the detail is the number of the offending field.
  rErr_FieldFormat = 0x0300,

  // Group 0x04: field value; the detail is the number of the offending field.
  rErr_FieldValue = 0x0400,
  rErr_FieldValue1 = 0x0401,
  rErr_FieldValue2 = 0x0402,
  rErr_FieldValue3 = 0x0403,
  rErr_FieldValue4 = 0x0404,
  rErr_FieldValue5 = 0x0405,
  rErr_FieldValue6 = 0x0406,
  rErr_FieldValue7 = 0x0407,

  // Group 0x05: fiscal memory.
  erFIS_NoFreeSpace = 0x0500,
  erFIS_Write = 0x0501,
  erFIS_NoZN = 0x0502,
  erFIS_LastDate = 0x0503,
  erFIS_DateChange = 0x0504,
  erFIS_ErrorLock = 0x0505,
  erFIS_WriteLock = 0x0506,
  erFIS_NoFiscalMode = 0x0507,
  erFIS_DateIsNoSet = 0x0508,
  erFIS_24hOvf = 0x0509,
  erFIS_Clock = 0x050A,
  erFIS_TaxTable = 0x050B,
  err_DateFormat = 0x050C,
  err_TimeFormat = 0x050D,
  erFIS_TimeEarlier = 0x050E,  // unnamed in the register's table: time set earlier than now

  // Group 0x06: password (any detail).
  rErrPWD = 0x0600,

  // Group 0x07: mode.
  erMODE_Service = 0x0700,
  erMODE_Shift = 0x0701,
  erMUST_GET_TL = 0x0702,
  erMODE_Autonomous = 0x0703,  // unnamed in the register's table: autonomous mode

  // Group 0x08: arithmetic overflow (any detail).
  rErrMatch = 0x0800,

  // Group 0x09: memory.
  rErrNoClear = 0x0900,
  rErrNULLAdress = 0x0901,
  rErrOutArea = 0x0902,
  rErrLowBuff = 0x0903,
  rErrDataError = 0x0904,

  // Group 0x0A: article base.
  erART_NoFreeSpace = 0x0A00,
  erART_LongLength = 0x0A01,
  erART_CodeNotFount = 0x0A02,
  erART_IndexOutBase = 0x0A03,
  erART_Dublicate = 0x0A04,
  erART_DisabledTax = 0x0A05,

  // Group 0x0B: sales.
  erTRS_InvalidDocState = 0x0B00,
  erTRS_NoFreeSpace = 0x0B01,
  erTRS_UnknowType = 0x0B02,
  erTRS_CancelStart = 0x0B03,
  erTRS_CancelNotFound = 0x0B04,
  erTRS_CancelNoFull = 0x0B05,
  erTRS_Nosing4Cancel = 0x0B06,
  erTRS_NoAvalCheakCopy = 0x0B07,
  erTRS_Cash2Low = 0x0B08,
  erTRS_PayModeDisable = 0x0B09,
  erTRS_PayReshtaDisable = 0x0B0A,
  erTRS_DiscontOutRange = 0x0B0B,
  erTRS_TotalSummOvf = 0x0B0C,
  erTRS_TotalPayOvf = 0x0B0D,
  erTRS_AddressRange = 0x0B0E,
  erTRS_Quantity = 0x0B0F,
  erTRS_Price = 0x0B10,
  erTRS_CancelLock = 0x0B11,

  // Groups 0xC0, 0xD0, 0xD1: no message.
  erTMPBuff_Header = 0xC000,
  rErrTMPBuffCMP = 0xC001,
  erTMPBuff_OutArea = 0xC002,
  rErrSIM_Chain = 0xD000,
  rErrSIM_SignNotValid = 0xD001,
  rErrSIM_LastPublicKeyNotValid = 0xD002,
  rErrSD_Format = 0xD100,
  rErrSD_Create = 0xD101,
  rErrSD_Read = 0xD102,
  rErrSD_Chain = 0xD103,
  rErrSD_FileNotFound = 0xD104,

  // Group 0xF0: formatted string.
  erPrmFormatStr_DataPoint = 0xF000,
  erPrmFormatStr_DataType = 0xF001,
  erPrmFormatStr_MMode = 0xF002,
  erPrmFormatStr_Justify = 0xF003,
  erPrmFormatStr_Position = 0xF004,
};

// Builds a code from its group and detail bytes.
constexpr std::uint16_t MakeDeviceError(std::uint8_t group, std::uint8_t detail) {
  return static_cast<std::uint16_t>((group << 8) | detail);
}
constexpr std::uint8_t ErrorGroup(std::uint16_t code) {
  return static_cast<std::uint8_t>(code >> 8);
}
constexpr std::uint8_t ErrorDetail(std::uint16_t code) {
  return static_cast<std::uint8_t>(code & 0xFF);
}

// The 4-character wire text of a code, detail first, upper-case: 0x0103 -> "0301".
std::string ErrorCodeText(std::uint16_t code);

// Reads an error code text by the register's rules: characters 1-2 are the detail, 3-4 the
// group; only 0-9 and upper-case A-F are digits; a pair whose first character is not a digit
// reads 0; a second character that is not a digit counts 0. Missing characters are not digits.
std::uint16_t ParseErrorCodeText(std::string_view text);

// The message for a code (empty for success and for codes without a message).
std::string DeviceErrorText(std::uint16_t code);

// The operator's message for the reply (UTF-8). True only for success (group and detail 0,
// message empty); false with the table's message (possibly empty) for every failure, and with
// "Таймаут устройства! Ошибка!" when the reply's no-answer bit is set. The checksum and NAK
// bits are not looked at: see DamagedAnswerMessage.
bool DeviceErrorMessage(const ReplyRecord& reply, std::string& message);

// The operator's message for an answer that came damaged (UTF-8): one for a checksum error,
// one for a NAK; empty when the answer is not damaged. Such an answer is never a success,
// whatever its error code says.
std::string DamagedAnswerMessage(const ReplyRecord& reply);

}  // namespace tolvanet
