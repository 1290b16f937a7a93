// The memory of one simulated register: everything it keeps between commands (and, with a
// state file, between runs).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/command_args.h"
#include "sim/flash_memory.h"

namespace tolvanet::sim {

// Receipt states as status byte 2 carries them in its low four bits.
namespace receipt_state {
inline constexpr int kClosed = 0;
inline constexpr int kOpened = 1;       // header printed, nothing sold yet
inline constexpr int kSale = 2;         // at least one sale
inline constexpr int kPayment = 3;      // paid in part
inline constexpr int kCompleted = 4;    // paid in full, waiting for the close
inline constexpr int kNonFiscal = 5;    // free text document
inline constexpr int kSubtotalAdj = 6;  // discount or surcharge on the subtotal
inline constexpr int kCashInOut = 7;    // service cash-in/cash-out receipt
inline constexpr int kVoiding = 9;      // void mode
}  // namespace receipt_state

inline constexpr std::uint8_t kReturnReceiptBit = 0x10;  // status byte 2

enum class DocKind { kSale = 0, kReturn = 1, kCashInOut = 2, kNonFiscal = 3 };

struct Article {
  std::string name;
  std::int64_t price = 0;          // kopecks
  int tax = 0;                     // 0..4
  int department = 0;              // 0..99
  std::int64_t sold_quantity = 0;  // thousandths, since the last Z report
  std::int64_t sold_sum = 0;       // kopecks, since the last Z report
};

struct Operator {
  std::string name;
  std::string password = "406172";
  bool made_sales = false;  // in the current shift
};

struct PaymentType {
  std::uint8_t mask = 0;  // 0x01 sale, 0x02 return, 0x80 change in cash
  std::string name;
};

struct TaxGroup {
  int type = 0;  // 0 disabled, 1 included, 2 added, 3 exempt, 4..7 extended kinds
  std::string rate = "0.00";
  std::string name;
  int linked = -1;
};

struct HeaderLine {
  std::string text;
  int double_width = 0;
};

enum class LineKind { kSale, kItemAdjust, kSubtotalAdjust, kGroupAdjust };

struct ReceiptLine {
  LineKind kind = LineKind::kSale;
  std::int64_t code = 0;
  std::int64_t quantity = 0;  // thousandths
  std::int64_t price = 0;     // kopecks
  int tax = -1;               // -1: all groups (a subtotal adjustment)
  std::int64_t amount = 0;    // kopecks, signed
  bool voided = false;
  bool void_pending = false;  // voided in the running void sequence
};

struct Receipt {
  int state = receipt_state::kClosed;
  DocKind kind = DocKind::kSale;
  int operator_number = 0;
  int till = 0;
  int state_before_void = 0;
  std::vector<ReceiptLine> lines;
  std::vector<std::pair<int, std::int64_t>> payments;  // payment type, amount
  std::int64_t paid = 0;
  std::int64_t change = 0;
  std::int64_t cash_moved = 0;  // service receipts: signed sum of cash-in/out
  RegisterTime opened_at = 0;
  std::vector<std::string> card_transactions;  // terminal identifiers of its card payments
};

// One closed document of the electronic control tape (receipt copies come from here).
struct Document {
  int number = 0;
  DocKind kind = DocKind::kSale;
  RegisterTime time = 0;
  std::int64_t total = 0;
  bool cancelled = false;
};

// One daily (Z) report in the fiscal memory.
struct ZReport {
  int number = 0;
  RegisterTime time = 0;
  std::int64_t sales = 0;
  std::int64_t returns = 0;
  int receipts = 0;
};

inline constexpr int kTaxGroups = 5;

// The taxes of one receipt as the register charges them: per tax group the sum sold (its
// adjustments and its share of the adjustments on the subtotal included) and the tax in it.
struct GroupTotals {
  std::array<std::int64_t, kTaxGroups> turnover{};  // kopecks
  std::array<std::int64_t, kTaxGroups> tax{};       // kopecks
};

struct Shift {
  bool open = false;
  RegisterTime opened_at = 0;
  std::int64_t sales = 0;
  std::int64_t returns = 0;
  std::int64_t cash_in = 0;
  std::int64_t cash_out = 0;
  int receipts = 0;
  // Per tax group and per payment type, for the X and Z reports.
  GroupTotals sales_groups;
  GroupTotals returns_groups;
  std::vector<std::int64_t> sales_payments;    // by payment type; cash net of the change
  std::vector<std::int64_t> returns_payments;  // by payment type
};

struct NetworkSettings {
  bool dhcp = false;
  std::uint32_t ip = 0xC0A80064;       // 192.168.0.100
  std::uint32_t mask = 0xFFFFFF00;     // 255.255.255.0
  std::uint32_t gateway = 0xC0A80001;  // 192.168.0.1
  std::uint32_t destination = 0x0A000005;
  std::uint16_t port = 5000;
  std::uint16_t period = 60;  // minutes
  std::uint16_t retry = 30;   // seconds
};

struct RegistratorParams {
  int speed = 115200;
  int contrast = 0;
  std::uint16_t document_flags = 0x0000;
  std::uint8_t extended_flags = 0x00;
  std::uint8_t drawer_open_pulse = 0x32;
  std::uint8_t drawer_close_pulse = 0x32;
  int chars_per_line = 25;
};

struct ServiceReminder {
  std::string password = "406172";
  RegisterTime date = 0;  // midnight of the event day; 0: not set
  int days = 0;
  std::uint8_t mask = 0;
  std::vector<std::string> message;  // up to kMaxReminderLines lines
};

inline constexpr int kServiceCounters = 21;
inline constexpr int kHeaderLines = 21;
inline constexpr int kOperators = 8;  // numbered 1..8
inline constexpr std::size_t kMaxReminderLines = 4;

struct RegisterState {
  // Identity.
  std::string id_dev;
  std::string model = "SIM-100";
  std::string version = "3.01";
  std::string serial_number = "SM000012345";
  std::string fiscal_number;
  std::string tax_id;
  std::string tax_number;
  bool fiscalized = false;
  bool personalized = false;
  RegisterTime fiscalized_at = 0;

  // Passwords of the modes.
  std::string admin_password = "406172";
  std::string programming_password = "406172";
  std::string reports_password = "406172";

  // Settings.
  std::array<Operator, kOperators> operators;
  std::vector<PaymentType> payment_types;
  std::array<TaxGroup, kTaxGroups> taxes;
  std::array<HeaderLine, kHeaderLines> header;
  std::array<std::int64_t, kServiceCounters> counters{};
  RegistratorParams params;
  NetworkSettings network;
  ServiceReminder reminder;
  int decimal_point = 2;
  std::array<std::string, 2> display;  // customer display, upper and lower line

  // Clock: the register's time is the host's local time plus this offset.
  std::int64_t clock_offset = 0;
  bool clock_set = true;
  bool restart_needed = false;
  bool service_mode = false;

  // Sales.
  std::map<std::int64_t, Article> articles;
  std::size_t article_capacity = 10000;
  Receipt receipt;
  Shift shift;
  std::int64_t cash = 0;          // kopecks in the drawer
  std::vector<Document> journal;  // the electronic control tape
  std::size_t journal_capacity = 2000;
  bool tape_unloaded = false;
  int next_document = 1;
  std::vector<ZReport> z_reports;
  std::size_t fiscal_report_capacity = 2000;

  // Memories.
  FlashMemory flash = FlashMemory(65536);
  std::size_t firmware_size = 16384;
  std::vector<std::uint8_t> logo = std::vector<std::uint8_t>(4800, 0);
  int logo_max_width = 384;
  int logo_width = 0;
  int logo_height = 0;

  // Block read of the firmware (code 231 selects, 232 reads).
  bool source_selected = false;
  std::size_t source_position = 0;
  int source_packet = 0;

  // Modem and acquirer.
  RegisterTime first_undelivered = 0;  // 0: nothing waiting
  RegisterTime last_acquirer_session = 0;
  RegisterTime personalized_at = 0;
  // Modem faults and link state, as a test or the simulator's operator sets them (status byte
  // of the modem report, bits 0, 1, 2 and 6).
  bool modem_sam_fault = false;
  bool modem_card_fault = false;
  bool modem_blocked_72h = false;
  bool ethernet_cable = true;

  // Status bits forced on by a test or an operator of the simulator (bit 7 is always set).
  std::array<std::uint8_t, 6> forced_status{};
};

// A fresh register as it leaves the factory floor, with the given ID_DEV.
RegisterState DefaultState(const std::string& id_dev);

}  // namespace tolvanet::sim
