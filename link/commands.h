// The device command builders: one per catalogue row that has a text format.
//
// Every builder formats the command text (each field followed by ";"), runs ExecuteCommand on
// the process-wide engine and returns its reply record. Text arguments are Windows-1251 bytes
// inserted unchanged (no escaping of ";"). Numbers use "." as the decimal point whatever the
// C or C++ locale.
//
// The result-code output (last argument) is set to 0 when the text went to the engine
// (GetDateTime leaves it unchanged). A negative code means an argument check failed: nothing is
// sent, the engine's reply record is returned unchanged, and there is nothing left to repeat
// (Engine::ResendLastCommand sends nothing until a command is sent). Every price, amount,
// discount, percentage and quantity must be a finite number. A text that the engine itself
// refuses (longer than 219 bytes, or the engine busy) still gives 0 here: the reply then reads
// as no-answer and TheEngine().refusal() says why.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/reply.h"

namespace tolvanet {

// Refusal codes of the builders' argument checks.
namespace refusal {
inline constexpr int kHeaderLine = -121;      // SetHeaderFooter: line outside 0..20
inline constexpr int kReadHeaderLine = -131;  // GetHeaderFooter: line outside 0..20
inline constexpr int kLogoLine = -110;        // SetUserLogo: line below 0
inline constexpr int kLogoPixels = -111;      // SetUserLogo: pixel text not 48 characters
inline constexpr int kQuantity = -151;        // SellItem: quantity not greater than 0
inline constexpr int kPrice = -152;           // SellItem: price below 0
inline constexpr int kPaymentType = -151;     // MakePayment: payment type outside 0..9
inline constexpr int kEanDigits = -100;       // PrintEAN13Code: digit text not 12 digits
// A NaN or an infinity has no text a register reads ("nan", "inf"); the builders refuse it.
inline constexpr int kQuantityNotFinite = -153;  // SellItem: quantity infinite (NaN: -151)
inline constexpr int kPriceNotFinite = -154;     // SellItem: price NaN or infinite
inline constexpr int kAmountNotFinite = -155;    // MakePayment, ServiceCashInOut: amount
inline constexpr int kDiscountNotFinite = -156;  // DiscountItem/Subtotal/TaxGroupAbsolute: value
inline constexpr int kPercentNotFinite = -157;   // DiscountItem/Subtotal/TaxGroupPercent: value
}  // namespace refusal

// Command codes of the catalogue.
namespace cmd {
inline constexpr int kSetDateTime = 32;
inline constexpr int kGetDateTime = 33;
inline constexpr int kSetHeaderFooter = 34;
inline constexpr int kGetHeaderFooter = 35;
inline constexpr int kAddArticul = 36;  // direct
inline constexpr int kSetRegistratorParams = 39;
inline constexpr int kGetRegistratorParams = 40;
inline constexpr int kSetUserLogo = 41;
inline constexpr int kSetModePsw = 43;
inline constexpr int kClearOpetratorPsw = 44;
inline constexpr int kSetPaymentParams = 45;
inline constexpr int kGetPaymentParams = 46;
inline constexpr int kSetOperatorParams = 47;
inline constexpr int kGetOperatorParams = 48;
inline constexpr int kSetLogoParams = 49;  // direct
inline constexpr int kAddServiceMessageLine = 52;
inline constexpr int kSetServiceReminder = 53;
inline constexpr int kGetServiceReminder = 54;
inline constexpr int kClearArticleBase = 59;  // direct
inline constexpr int kFiscalize = 64;
inline constexpr int kSetSerialNumber = 65;
inline constexpr int kGetSerialNumber = 66;
inline constexpr int kSetFiscalNumber = 67;
inline constexpr int kGetFiscalNumber = 68;
inline constexpr int kSetTaxIdNumber = 69;
inline constexpr int kGetTaxIdNumber = 70;
inline constexpr int kSetTaxes = 71;
inline constexpr int kGetTaxes = 72;
inline constexpr int kSetDecimalPoint = 73;
inline constexpr int kGetDecimalPoint = 74;
inline constexpr int kSetIdDev = 75;  // direct
inline constexpr int kGetIdDev = 76;  // direct
inline constexpr int kOpenNonFiscalReceipt = 96;
inline constexpr int kPrintText = 97;
inline constexpr int kOpenFiscalReceipt = 99;
inline constexpr int kSellItem = 100;
inline constexpr int kCloseFiscalReceipt = 101;
inline constexpr int kMakePayment = 103;
inline constexpr int kDiscountItemPercent = 104;
inline constexpr int kDiscountItemAbsolute = 105;
inline constexpr int kVoidReceipt = 107;
inline constexpr int kPrintTotal = 109;
inline constexpr int kPrintEAN13Code = 111;
inline constexpr int kDiscountSubtotalPercent = 115;
inline constexpr int kDiscountSubtotalAbsolute = 116;
inline constexpr int kDiscountTaxGroupPercent = 117;
inline constexpr int kDiscountTaxGroupAbsolute = 118;
inline constexpr int kServiceCashInOut = 119;
inline constexpr int kCardPayment = 120;  // direct
inline constexpr int kGetDiagnosticInfo = 128;
inline constexpr int kDisplayText = 129;
inline constexpr int kPrintInfoReport = 132;
inline constexpr int kSetServiceCounter = 136;
inline constexpr int kGetServiceCounter = 137;
inline constexpr int kGetFreeResources = 160;
inline constexpr int kPrintReport = 161;
inline constexpr int kFindReportByDate = 162;
inline constexpr int kPrintPeriodicReport = 163;
inline constexpr int kPrintSoldItemsReport = 164;
inline constexpr int kPrintExtraDailyReport = 166;
inline constexpr int kSetDataSource = 231;
inline constexpr int kReadDataFromBuf = 232;
inline constexpr int kGetModemState = 234;  // direct
inline constexpr int kPrintCopyByNumbers = 235;
inline constexpr int kPrintCopyByDates = 238;
inline constexpr int kClearFlash = 240;  // direct
inline constexpr int kReadFlash = 241;   // direct
inline constexpr int kWriteFlash = 242;  // direct
inline constexpr int kRestartDevice = 243;
inline constexpr int kGetNetworkParams = 250;        // direct
inline constexpr int kSetNetworkParams = 251;        // direct
inline constexpr int kGetLastAcquirerSession = 252;  // direct
}  // namespace cmd

// Number texts as the builders write them (exposed for the dialogs that compose direct texts).
// Fixed decimals with "." as the point, like printf "%-#.<decimals>f" in the C locale.
std::string FormatFixed(double value, int decimals);

// 32 "%s;%s;%s;": date DDMMYY, time HHMM.
ReplyRecord& SetDateTime(std::string_view pwd, std::string_view date, std::string_view time,
                         int& result);
// 33 "%s;". Leaves `result` unchanged.
ReplyRecord& GetDateTime(std::string_view pwd, int& result);
// 34 "%s;%i;%s;%i;". Line outside 0..20: -121.
ReplyRecord& SetHeaderFooter(std::string_view pwd, int line, std::string_view text, int flag,
                             int& result);
// 35 "%s;%i;". Line outside 0..20: -131.
ReplyRecord& GetHeaderFooter(std::string_view pwd, int line, int& result);
// 39 "%s;%i;%i;%04X;%02X;%02X;%02X;%02i;".
ReplyRecord& SetRegistratorParams(std::string_view pwd, int speed, int contrast, int document_flags,
                                  int extended_print_flags, int drawer_open_pulse,
                                  int drawer_close_pulse, int name_line_chars, int& result);
// 40 "%s;".
ReplyRecord& GetRegistratorParams(std::string_view pwd, int& result);
// 41 "%s;%i;%s;". Line below 0: -110; pixel text not 48 characters: -111.
ReplyRecord& SetUserLogo(std::string_view pwd, int line, std::string_view pixels_hex, int& result);
// 43 "%s;%s;%s;%s;": four password texts, the operator password first.
ReplyRecord& SetModePsw(std::string_view pwd, std::string_view psw2, std::string_view psw3,
                        std::string_view psw4, int& result);
// 44 "%s;%i;".
ReplyRecord& ClearOpetratorPsw(std::string_view pwd, int operator_index, int& result);
// 45 "%s;%i;%02X;%s;".
ReplyRecord& SetPaymentParams(std::string_view pwd, int payment, int permission_mask,
                              std::string_view name, int& result);
// 46 "%s;%i;".
ReplyRecord& GetPaymentParams(std::string_view pwd, int payment, int& result);
// 47 "%s;%i;%s;%s;".
ReplyRecord& SetOperatorParams(std::string_view pwd, int operator_index,
                               std::string_view new_password, std::string_view name, int& result);
// 48 "%s;%i;".
ReplyRecord& GetOperatorParams(std::string_view pwd, int operator_index, int& result);
// 52 "%s;%i;%s;".
ReplyRecord& AddServiceMessageLine(std::string_view pwd, int flag, std::string_view text,
                                   int& result);
// 53 "%s;%s;%s;%i;%02X;": new password, date ddmmyy, days, event mask.
ReplyRecord& SetServiceReminder(std::string_view pwd, std::string_view new_password,
                                std::string_view date, int days, int event_mask, int& result);
// 54 "%s;".
ReplyRecord& GetServiceReminder(std::string_view pwd, int& result);
// 64 "%s;%s;%s;": serial number, tax inspector password.
ReplyRecord& Fiscalize(std::string_view pwd, std::string_view serial_number,
                       std::string_view inspector_password, int& result);
// 65 "%s;%s;".
ReplyRecord& SetSerialNumber(std::string_view pwd, std::string_view serial_number, int& result);
// 66 "%s;".
ReplyRecord& GetSerialNumber(std::string_view pwd, int& result);
// 67 "%s;%s;".
ReplyRecord& SetFiscalNumber(std::string_view pwd, std::string_view fiscal_number, int& result);
// 68 "%s;".
ReplyRecord& GetFiscalNumber(std::string_view pwd, int& result);
// 69 "%s;%s;%s;": identification number, tax number.
ReplyRecord& SetTaxIdNumber(std::string_view pwd, std::string_view id_number,
                            std::string_view tax_number, int& result);
// 70 "%s;".
ReplyRecord& GetTaxIdNumber(std::string_view pwd, int& result);
// 71 "%s;%i;%02X;%s;%s;-1;" (the normal form).
ReplyRecord& SetTaxes(std::string_view pwd, int tax, int mask, std::string_view value,
                      std::string_view name, int& result);
// 71 "%s;%i;%02X;%s;%s;%i;" (the extended form: a linked tax group instead of -1).
ReplyRecord& SetTaxes(std::string_view pwd, int tax, int mask, std::string_view value,
                      std::string_view name, int linked, int& result);
// 72 "%s;%i;".
ReplyRecord& GetTaxes(std::string_view pwd, int tax, int& result);
// 73 "%s;%i;".
ReplyRecord& SetDecimalPoint(std::string_view pwd, int position, int& result);
// 74 "%s;".
ReplyRecord& GetDecimalPoint(std::string_view pwd, int& result);
// 96 "%s;".
ReplyRecord& OpenNonFiscalReceipt(std::string_view pwd, int& result);
// 97 "%s;%s;".
ReplyRecord& PrintText(std::string_view pwd, std::string_view text, int& result);
// 99 "%s;%i;%i;%i;": operator, till, return-receipt flag.
ReplyRecord& OpenFiscalReceipt(std::string_view pwd, int operator_number, int till,
                               int return_receipt, int& result);
// 100 "%s;%Ld;%-#.3lf;%-#.2lf;": code, QUANTITY, PRICE - while the arguments come as code,
// price, quantity. Quantity not greater than 0 (or NaN): -151; price below 0: -152; quantity
// infinite: -153; price NaN or infinite: -154.
ReplyRecord& SellItem(std::string_view pwd, std::int64_t code, double price, double quantity,
                      int& result);
// 101 "%s;%i;".
ReplyRecord& CloseFiscalReceipt(std::string_view pwd, int number, int& result);
// 101 "%s;0;" (the fixed variant).
ReplyRecord& CloseFiscalReceipt(std::string_view pwd, int& result);
// 103 "%s;%i;%-#.2lf;". Payment type outside 0..9: -151; amount NaN or infinite: -155.
ReplyRecord& MakePayment(std::string_view pwd, int payment_type, double amount, int& result);
// 104 "%s;%-#.2lf;". Value NaN or infinite: -157.
ReplyRecord& DiscountItemPercent(std::string_view pwd, double value, int& result);
// 105 "%s;%-#.2lf;". Value NaN or infinite: -156.
ReplyRecord& DiscountItemAbsolute(std::string_view pwd, double value, int& result);
// 107 "%s;%i;": 0 whole receipt, 1 begin, 2 end, 3 cancel.
ReplyRecord& VoidReceipt(std::string_view pwd, int mode, int& result);
// 109 "%s;1;" or "%s;0;".
ReplyRecord& PrintTotal(std::string_view pwd, bool flag, int& result);
// 111 pwd;height;32 hexadecimal characters of the image; (see ean13.h). The digit text must be
// exactly 12 digits 0-9, else -100.
ReplyRecord& PrintEAN13Code(std::string_view pwd, int height, std::string_view digits, int& result);
// 115 "%s;%-#.2lf;". Value NaN or infinite: -157.
ReplyRecord& DiscountSubtotalPercent(std::string_view pwd, double value, int& result);
// 116 "%s;%-#.2lf;". Value NaN or infinite: -156.
ReplyRecord& DiscountSubtotalAbsolute(std::string_view pwd, double value, int& result);
// 117 "%s;%-#.2lf;%i;". Value NaN or infinite: -157.
ReplyRecord& DiscountTaxGroupPercent(std::string_view pwd, double value, int tax_group,
                                     int& result);
// 118 "%s;%-#.2lf;%i;". Value NaN or infinite: -156.
ReplyRecord& DiscountTaxGroupAbsolute(std::string_view pwd, double value, int tax_group,
                                      int& result);
// 119 "%s;%i;%-#.2f;": kind (0), amount (negative for a withdrawal). Amount NaN or infinite:
// -155.
ReplyRecord& ServiceCashInOut(std::string_view pwd, int kind, double amount, int& result);
// 128 "%s;".
ReplyRecord& GetDiagnosticInfo(std::string_view pwd, int& result);
// 129 "%s;%i;%i;%s;" - while the arguments come as text, first, second.
ReplyRecord& DisplayText(std::string_view pwd, std::string_view text, int first, int second,
                         int& result);
// 132 "%s;%i;".
ReplyRecord& PrintInfoReport(std::string_view pwd, int report_type, int& result);
// 136 "%s;%i;%i;".
ReplyRecord& SetServiceCounter(std::string_view pwd, int counter, int value, int& result);
// 137 "%s;%i;".
ReplyRecord& GetServiceCounter(std::string_view pwd, int counter, int& result);
// 160 "%s;".
ReplyRecord& GetFreeResources(std::string_view pwd, int& result);
// 161 "%s;%i;".
ReplyRecord& PrintReport(std::string_view pwd, int report_type, int& result);
// 162 "%s;%s;%s;%i;".
ReplyRecord& FindReportByDate(std::string_view pwd, std::string_view first, std::string_view second,
                              int value, int& result);
// 163 "%s;%i;%i;%i;".
ReplyRecord& PrintPeriodicReport(std::string_view pwd, int first, int last, int type, int& result);
// 164 "%s;%Li;%Li;".
ReplyRecord& PrintSoldItemsReport(std::string_view pwd, std::int64_t first_code,
                                  std::int64_t last_code, int& result);
// 166 "%s;%i;;;".
ReplyRecord& PrintExtraDailyReport(std::string_view pwd, int report_type, int& result);
// 231 "%s;5;;;" (no result code).
ReplyRecord& SetDataSource(std::string_view pwd);
// 232 "%s;" (no result code).
ReplyRecord& ReadDataFromBuf(std::string_view pwd);
// 235 "%s;%i;%i;" (no result code).
ReplyRecord& PrintCopyByNumbers(std::string_view pwd, int first, int last);
// 238 "%s;%s;%s;%s;%s;%i;": start date, start time, end date, end time, integer (no result code).
ReplyRecord& PrintCopyByDates(std::string_view pwd, std::string_view start_date,
                              std::string_view start_time, std::string_view end_date,
                              std::string_view end_time, int value);
// 243 "%s;".
ReplyRecord& RestartDevice(std::string_view pwd, int& result);

}  // namespace tolvanet
