#include "link/commands.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "link/ean13.h"
#include "link/engine.h"

namespace tolvanet {

std::string FormatFixed(double value, int decimals) {
  // std::to_chars never consults a locale, so the point is always "."; with a precision above
  // 0 the point is always present, as with printf's "#" flag. The "-" flag has no effect
  // without a width.
  char buf[512];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                                 decimals < 0 ? 0 : decimals);
  if (res.ec != std::errc())
    return {};
  return std::string(buf, res.ptr);
}

namespace {

// The command text: each field followed by ";".
class Fields {
 public:
  explicit Fields(std::string_view pwd) { Str(pwd); }

  Fields& Str(std::string_view s) {
    text_.append(s);
    text_ += ';';
    return *this;
  }
  // "%i", "%Ld", "%Li".
  Fields& Int(long long v) { return Str(std::to_string(v)); }
  // "%02X", "%04X": upper-case hexadecimal of the value as a 32-bit unsigned, zero-padded.
  Fields& Hex(int v, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", width, static_cast<unsigned>(v));
    return Str(buf);
  }
  // "%02i".
  Fields& Padded(int v, int width) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*i", width, v);
    return Str(buf);
  }
  // "%-#.2lf", "%-#.3lf", "%-#.2f".
  Fields& Fixed(double v, int decimals) { return Str(FormatFixed(v, decimals)); }

  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

ReplyRecord& Send(int code, const Fields& fields) {
  return ExecuteCommand(code, fields.text());
}

ReplyRecord& Send(int code, const Fields& fields, int& result) {
  result = 0;
  return Send(code, fields);
}

// Nothing is sent; the reply record stays as the previous transaction left it, but that
// transaction is no longer the one a repeat would send.
ReplyRecord& Refuse(int code, int& result) {
  result = code;
  TheEngine().ForgetLastCommand();
  return TheEngine().reply();
}

}  // namespace

ReplyRecord& SetDateTime(std::string_view pwd, std::string_view date, std::string_view time,
                         int& result) {
  return Send(cmd::kSetDateTime, Fields(pwd).Str(date).Str(time), result);
}

ReplyRecord& GetDateTime(std::string_view pwd, int& /*result: left unchanged*/) {
  return Send(cmd::kGetDateTime, Fields(pwd));
}

ReplyRecord& SetHeaderFooter(std::string_view pwd, int line, std::string_view text, int flag,
                             int& result) {
  if (line < 0 || line > 20)
    return Refuse(refusal::kHeaderLine, result);
  return Send(cmd::kSetHeaderFooter, Fields(pwd).Int(line).Str(text).Int(flag), result);
}

ReplyRecord& GetHeaderFooter(std::string_view pwd, int line, int& result) {
  if (line < 0 || line > 20)
    return Refuse(refusal::kReadHeaderLine, result);
  return Send(cmd::kGetHeaderFooter, Fields(pwd).Int(line), result);
}

ReplyRecord& SetRegistratorParams(std::string_view pwd, int speed, int contrast, int document_flags,
                                  int extended_print_flags, int drawer_open_pulse,
                                  int drawer_close_pulse, int name_line_chars, int& result) {
  return Send(cmd::kSetRegistratorParams,
              Fields(pwd)
                  .Int(speed)
                  .Int(contrast)
                  .Hex(document_flags, 4)
                  .Hex(extended_print_flags, 2)
                  .Hex(drawer_open_pulse, 2)
                  .Hex(drawer_close_pulse, 2)
                  .Padded(name_line_chars, 2),
              result);
}

ReplyRecord& GetRegistratorParams(std::string_view pwd, int& result) {
  return Send(cmd::kGetRegistratorParams, Fields(pwd), result);
}

ReplyRecord& SetUserLogo(std::string_view pwd, int line, std::string_view pixels_hex, int& result) {
  if (line < 0)
    return Refuse(refusal::kLogoLine, result);
  if (pixels_hex.size() != 48)
    return Refuse(refusal::kLogoPixels, result);
  return Send(cmd::kSetUserLogo, Fields(pwd).Int(line).Str(pixels_hex), result);
}

ReplyRecord& SetModePsw(std::string_view pwd, std::string_view psw2, std::string_view psw3,
                        std::string_view psw4, int& result) {
  return Send(cmd::kSetModePsw, Fields(pwd).Str(psw2).Str(psw3).Str(psw4), result);
}

ReplyRecord& ClearOpetratorPsw(std::string_view pwd, int operator_index, int& result) {
  return Send(cmd::kClearOpetratorPsw, Fields(pwd).Int(operator_index), result);
}

ReplyRecord& SetPaymentParams(std::string_view pwd, int payment, int permission_mask,
                              std::string_view name, int& result) {
  return Send(cmd::kSetPaymentParams, Fields(pwd).Int(payment).Hex(permission_mask, 2).Str(name),
              result);
}

ReplyRecord& GetPaymentParams(std::string_view pwd, int payment, int& result) {
  return Send(cmd::kGetPaymentParams, Fields(pwd).Int(payment), result);
}

ReplyRecord& SetOperatorParams(std::string_view pwd, int operator_index,
                               std::string_view new_password, std::string_view name, int& result) {
  return Send(cmd::kSetOperatorParams, Fields(pwd).Int(operator_index).Str(new_password).Str(name),
              result);
}

ReplyRecord& GetOperatorParams(std::string_view pwd, int operator_index, int& result) {
  return Send(cmd::kGetOperatorParams, Fields(pwd).Int(operator_index), result);
}

ReplyRecord& AddServiceMessageLine(std::string_view pwd, int flag, std::string_view text,
                                   int& result) {
  return Send(cmd::kAddServiceMessageLine, Fields(pwd).Int(flag).Str(text), result);
}

ReplyRecord& SetServiceReminder(std::string_view pwd, std::string_view new_password,
                                std::string_view date, int days, int event_mask, int& result) {
  return Send(cmd::kSetServiceReminder,
              Fields(pwd).Str(new_password).Str(date).Int(days).Hex(event_mask, 2), result);
}

ReplyRecord& GetServiceReminder(std::string_view pwd, int& result) {
  return Send(cmd::kGetServiceReminder, Fields(pwd), result);
}

ReplyRecord& Fiscalize(std::string_view pwd, std::string_view serial_number,
                       std::string_view inspector_password, int& result) {
  return Send(cmd::kFiscalize, Fields(pwd).Str(serial_number).Str(inspector_password), result);
}

ReplyRecord& SetSerialNumber(std::string_view pwd, std::string_view serial_number, int& result) {
  return Send(cmd::kSetSerialNumber, Fields(pwd).Str(serial_number), result);
}

ReplyRecord& GetSerialNumber(std::string_view pwd, int& result) {
  return Send(cmd::kGetSerialNumber, Fields(pwd), result);
}

ReplyRecord& SetFiscalNumber(std::string_view pwd, std::string_view fiscal_number, int& result) {
  return Send(cmd::kSetFiscalNumber, Fields(pwd).Str(fiscal_number), result);
}

ReplyRecord& GetFiscalNumber(std::string_view pwd, int& result) {
  return Send(cmd::kGetFiscalNumber, Fields(pwd), result);
}

ReplyRecord& SetTaxIdNumber(std::string_view pwd, std::string_view id_number,
                            std::string_view tax_number, int& result) {
  return Send(cmd::kSetTaxIdNumber, Fields(pwd).Str(id_number).Str(tax_number), result);
}

ReplyRecord& GetTaxIdNumber(std::string_view pwd, int& result) {
  return Send(cmd::kGetTaxIdNumber, Fields(pwd), result);
}

ReplyRecord& SetTaxes(std::string_view pwd, int tax, int mask, std::string_view value,
                      std::string_view name, int& result) {
  return SetTaxes(pwd, tax, mask, value, name, -1, result);
}

ReplyRecord& SetTaxes(std::string_view pwd, int tax, int mask, std::string_view value,
                      std::string_view name, int linked, int& result) {
  return Send(cmd::kSetTaxes, Fields(pwd).Int(tax).Hex(mask, 2).Str(value).Str(name).Int(linked),
              result);
}

ReplyRecord& GetTaxes(std::string_view pwd, int tax, int& result) {
  return Send(cmd::kGetTaxes, Fields(pwd).Int(tax), result);
}

ReplyRecord& SetDecimalPoint(std::string_view pwd, int position, int& result) {
  return Send(cmd::kSetDecimalPoint, Fields(pwd).Int(position), result);
}

ReplyRecord& GetDecimalPoint(std::string_view pwd, int& result) {
  return Send(cmd::kGetDecimalPoint, Fields(pwd), result);
}

ReplyRecord& OpenNonFiscalReceipt(std::string_view pwd, int& result) {
  return Send(cmd::kOpenNonFiscalReceipt, Fields(pwd), result);
}

ReplyRecord& PrintText(std::string_view pwd, std::string_view text, int& result) {
  return Send(cmd::kPrintText, Fields(pwd).Str(text), result);
}

ReplyRecord& OpenFiscalReceipt(std::string_view pwd, int operator_number, int till,
                               int return_receipt, int& result) {
  return Send(cmd::kOpenFiscalReceipt,
              Fields(pwd).Int(operator_number).Int(till).Int(return_receipt), result);
}

ReplyRecord& SellItem(std::string_view pwd, std::int64_t code, double price, double quantity,
                      int& result) {
  if (!(quantity > 0))
    return Refuse(refusal::kQuantity, result);
  if (price < 0)
    return Refuse(refusal::kPrice, result);
  if (!std::isfinite(quantity))
    return Refuse(refusal::kQuantityNotFinite, result);
  if (!std::isfinite(price))
    return Refuse(refusal::kPriceNotFinite, result);
  return Send(cmd::kSellItem, Fields(pwd).Int(code).Fixed(quantity, 3).Fixed(price, 2), result);
}

ReplyRecord& CloseFiscalReceipt(std::string_view pwd, int number, int& result) {
  return Send(cmd::kCloseFiscalReceipt, Fields(pwd).Int(number), result);
}

ReplyRecord& CloseFiscalReceipt(std::string_view pwd, int& result) {
  return Send(cmd::kCloseFiscalReceipt, Fields(pwd).Str("0"), result);
}

ReplyRecord& MakePayment(std::string_view pwd, int payment_type, double amount, int& result) {
  if (payment_type < 0 || payment_type > 9)
    return Refuse(refusal::kPaymentType, result);
  if (!std::isfinite(amount))
    return Refuse(refusal::kAmountNotFinite, result);
  return Send(cmd::kMakePayment, Fields(pwd).Int(payment_type).Fixed(amount, 2), result);
}

ReplyRecord& DiscountItemPercent(std::string_view pwd, double value, int& result) {
  if (!std::isfinite(value))
    return Refuse(refusal::kPercentNotFinite, result);
  return Send(cmd::kDiscountItemPercent, Fields(pwd).Fixed(value, 2), result);
}

ReplyRecord& DiscountItemAbsolute(std::string_view pwd, double value, int& result) {
  if (!std::isfinite(value))
    return Refuse(refusal::kDiscountNotFinite, result);
  return Send(cmd::kDiscountItemAbsolute, Fields(pwd).Fixed(value, 2), result);
}

ReplyRecord& VoidReceipt(std::string_view pwd, int mode, int& result) {
  return Send(cmd::kVoidReceipt, Fields(pwd).Int(mode), result);
}

ReplyRecord& PrintTotal(std::string_view pwd, bool flag, int& result) {
  return Send(cmd::kPrintTotal, Fields(pwd).Str(flag ? "1" : "0"), result);
}

ReplyRecord& PrintEAN13Code(std::string_view pwd, int height, std::string_view digits,
                            int& result) {
  // The catalogue checks only the length; a non-digit cannot be encoded either, so it is
  // refused with the same code.
  if (!IsEan13Digits(digits))
    return Refuse(refusal::kEanDigits, result);
  return Send(cmd::kPrintEAN13Code, Fields(pwd).Int(height).Str(Ean13ImageHex(digits)), result);
}

ReplyRecord& DiscountSubtotalPercent(std::string_view pwd, double value, int& result) {
  if (!std::isfinite(value))
    return Refuse(refusal::kPercentNotFinite, result);
  return Send(cmd::kDiscountSubtotalPercent, Fields(pwd).Fixed(value, 2), result);
}

ReplyRecord& DiscountSubtotalAbsolute(std::string_view pwd, double value, int& result) {
  if (!std::isfinite(value))
    return Refuse(refusal::kDiscountNotFinite, result);
  return Send(cmd::kDiscountSubtotalAbsolute, Fields(pwd).Fixed(value, 2), result);
}

ReplyRecord& DiscountTaxGroupPercent(std::string_view pwd, double value, int tax_group,
                                     int& result) {
  if (!std::isfinite(value))
    return Refuse(refusal::kPercentNotFinite, result);
  return Send(cmd::kDiscountTaxGroupPercent, Fields(pwd).Fixed(value, 2).Int(tax_group), result);
}

ReplyRecord& DiscountTaxGroupAbsolute(std::string_view pwd, double value, int tax_group,
                                      int& result) {
  if (!std::isfinite(value))
    return Refuse(refusal::kDiscountNotFinite, result);
  return Send(cmd::kDiscountTaxGroupAbsolute, Fields(pwd).Fixed(value, 2).Int(tax_group), result);
}

ReplyRecord& ServiceCashInOut(std::string_view pwd, int kind, double amount, int& result) {
  if (!std::isfinite(amount))
    return Refuse(refusal::kAmountNotFinite, result);
  return Send(cmd::kServiceCashInOut, Fields(pwd).Int(kind).Fixed(amount, 2), result);
}

ReplyRecord& GetDiagnosticInfo(std::string_view pwd, int& result) {
  return Send(cmd::kGetDiagnosticInfo, Fields(pwd), result);
}

ReplyRecord& DisplayText(std::string_view pwd, std::string_view text, int first, int second,
                         int& result) {
  return Send(cmd::kDisplayText, Fields(pwd).Int(first).Int(second).Str(text), result);
}

ReplyRecord& PrintInfoReport(std::string_view pwd, int report_type, int& result) {
  return Send(cmd::kPrintInfoReport, Fields(pwd).Int(report_type), result);
}

ReplyRecord& SetServiceCounter(std::string_view pwd, int counter, int value, int& result) {
  return Send(cmd::kSetServiceCounter, Fields(pwd).Int(counter).Int(value), result);
}

ReplyRecord& GetServiceCounter(std::string_view pwd, int counter, int& result) {
  return Send(cmd::kGetServiceCounter, Fields(pwd).Int(counter), result);
}

ReplyRecord& GetFreeResources(std::string_view pwd, int& result) {
  return Send(cmd::kGetFreeResources, Fields(pwd), result);
}

ReplyRecord& PrintReport(std::string_view pwd, int report_type, int& result) {
  return Send(cmd::kPrintReport, Fields(pwd).Int(report_type), result);
}

ReplyRecord& FindReportByDate(std::string_view pwd, std::string_view first, std::string_view second,
                              int value, int& result) {
  return Send(cmd::kFindReportByDate, Fields(pwd).Str(first).Str(second).Int(value), result);
}

ReplyRecord& PrintPeriodicReport(std::string_view pwd, int first, int last, int type, int& result) {
  return Send(cmd::kPrintPeriodicReport, Fields(pwd).Int(first).Int(last).Int(type), result);
}

ReplyRecord& PrintSoldItemsReport(std::string_view pwd, std::int64_t first_code,
                                  std::int64_t last_code, int& result) {
  return Send(cmd::kPrintSoldItemsReport, Fields(pwd).Int(first_code).Int(last_code), result);
}

ReplyRecord& PrintExtraDailyReport(std::string_view pwd, int report_type, int& result) {
  return Send(cmd::kPrintExtraDailyReport, Fields(pwd).Int(report_type).Str("").Str(""), result);
}

ReplyRecord& SetDataSource(std::string_view pwd) {
  return Send(cmd::kSetDataSource, Fields(pwd).Str("5").Str("").Str(""));
}

ReplyRecord& ReadDataFromBuf(std::string_view pwd) {
  return Send(cmd::kReadDataFromBuf, Fields(pwd));
}

ReplyRecord& PrintCopyByNumbers(std::string_view pwd, int first, int last) {
  return Send(cmd::kPrintCopyByNumbers, Fields(pwd).Int(first).Int(last));
}

ReplyRecord& PrintCopyByDates(std::string_view pwd, std::string_view start_date,
                              std::string_view start_time, std::string_view end_date,
                              std::string_view end_time, int value) {
  return Send(cmd::kPrintCopyByDates,
              Fields(pwd).Str(start_date).Str(start_time).Str(end_date).Str(end_time).Int(value));
}

ReplyRecord& RestartDevice(std::string_view pwd, int& result) {
  return Send(cmd::kRestartDevice, Fields(pwd), result);
}

}  // namespace tolvanet
