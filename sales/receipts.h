// The receipt operations that take more than one command, and the input checks every receipt
// window runs before its first command: a value that does not convert never leaves a document
// open in the register.
//
// Texts going to the register are Windows-1251 bytes; messages for the operator are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/decimal.h"
#include "link/reply.h"
#include "link/translate.h"

namespace tolvanet::sales {

// The password some commands always carry, whatever the window's password box holds.
inline constexpr std::string_view kFixedPassword = "406172";

// How an operation ended: whether its last command succeeded, and the message to show (empty
// when there is nothing to show). Each reply became the current reply as it arrived.
struct Outcome {
  bool ok = false;
  std::string message;
};

// ---- Fiscal receipt ----

inline constexpr std::string_view kNoArticle = TrNoop("Не выбран товар!");
inline constexpr std::string_view kBadPaymentType = TrNoop("Ошибочный тип оплаты");
inline constexpr std::string_view kSaleTimeout = TrNoop("Таймаут устройства! Ошибка продажи!");
inline constexpr std::string_view kSaleError = TrNoop("Ошибка продажи");
inline constexpr std::string_view kPaymentTimeout =
    TrNoop("Таймаут устройства! Ошибка оплаты чека!");
inline constexpr std::string_view kPaymentError = TrNoop("Ошибка оплаты чека");
// The card terminal takes payments when the configuration's ElJournal holds this value.
inline constexpr std::string_view kCardJournal = "КСЕФ";

struct Sale {
  std::string password;      // Windows-1251
  std::string article_line;  // Windows-1251, unchanged from the article list
  std::int64_t code = 0;     // the article line's text before its first ";"
  Decimal quantity;          // three decimals, > 0
  Decimal price;             // two decimals, >= 0
};

// Checks a sale: an article is chosen, its code reads as a whole number, the quantity is
// positive and the price not negative after rounding, and the texts fit a command field.
Parsed<Sale> PrepareSale(std::string_view password, std::string_view article_line,
                         std::string_view quantity, std::string_view price);

// Programs the article (AddArticul with the password and the line), then sells it (SellItem
// with the fixed password, the code, the quantity and the price typed).
Outcome Sell(const Sale& sale);

struct Payment {
  int type = 0;
  Decimal amount;  // two decimals, > 0
};

// Checks a payment: the type is a whole number below the register's payment type count (and
// within the command's 0..9), the amount a positive amount of money. Every refusal starts with
// "Ошибочный тип оплаты"; a line after it says what was wrong, unless the type did not convert.
Parsed<Payment> PreparePayment(std::string_view type, std::string_view amount, int type_count);

// True when a payment goes to the card terminal: ElJournal (UTF-8) holds "КСЕФ" and the type
// is not cash (0).
bool IsCardPayment(std::string_view el_journal, int type);

// A payment registered directly (MakePayment), with the receipt dialog's failure texts.
Outcome PayDirect(std::string_view password, const Payment& payment);

// ---- Non-fiscal receipt ----

// A line as the non-fiscal receipt prints it: the first 39 bytes with every ";" removed.
std::string NonFiscalLine(std::string_view line);

// Opens a non-fiscal receipt, prints every line, closes it. The first failure stops the
// sequence (the receipt then stays open) and gives the device error check's message.
// Control bytes in a line or ";" or control bytes in the password refuse the whole receipt
// before anything is sent.
Outcome PrintNonFiscalReceipt(std::string_view password, const std::vector<std::string>& lines);

// ---- Service cash in and out ----

inline constexpr std::string_view kCashInCaption = TrNoop("Служебный внос денег");
inline constexpr std::string_view kCashOutCaption = TrNoop("Служебное изъятие денег");

struct CashOutcome {
  Outcome outcome;
  std::string drawer;  // answer field 0 of ServiceCashInOut: cash in the drawer afterwards
};

// Opens a service receipt, moves the amount in (or out, with `withdrawal`), closes the
// receipt. The amount typed must be positive: the direction comes from the operation alone.
CashOutcome ServiceCash(std::string_view password, std::string_view operator_number,
                        std::string_view amount, bool withdrawal);

// ---- Void and close ----

struct ReceiptStateView {
  std::string_view text;  // original text: TrText where shown
  bool close_enabled = false;
  bool void_enabled = false;
};

// The state of the open receipt read from status byte 2 of a diagnostic answer.
ReceiptStateView ReceiptStateOf(std::uint8_t status_byte2);

inline constexpr std::string_view kNoOpenReceipts = TrNoop("Нет открытых чеков");

}  // namespace tolvanet::sales
