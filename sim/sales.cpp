// Articles, receipts and reports of the simulated register.
#include <algorithm>

#include "link/decimal.h"
#include "sim/register.h"

namespace tolvanet::sim {

namespace rs = receipt_state;

namespace {

constexpr std::int64_t kMaxArticleCode = 999'999'999;
constexpr std::int64_t kMaxQuantity = 99'999'999;  // 99999.999
constexpr int kContainerPaymentType = 5;

// a * b / scale rounded half away from zero, without overflow for the register's ranges.
std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t scale) {
  __int128 p = static_cast<__int128>(a) * b;
  __int128 half = scale / 2;
  p = p >= 0 ? (p + half) / scale : (p - half) / scale;
  return static_cast<std::int64_t>(p);
}

bool IsFiscalKind(DocKind k) {
  return k == DocKind::kSale || k == DocKind::kReturn;
}

// Adds a receipt's group totals and payments to those of the shift. Cash counts net of the
// change given.
void AddTotals(GroupTotals& groups, std::vector<std::int64_t>& payments,
               const GroupTotals& receipt_groups, const Receipt& r) {
  for (int i = 0; i < kTaxGroups; ++i) {
    groups.turnover[i] += receipt_groups.turnover[i];
    groups.tax[i] += receipt_groups.tax[i];
  }
  for (const auto& [type, amount] : r.payments) {
    if (type < 0)
      continue;
    if (payments.size() <= static_cast<std::size_t>(type))
      payments.resize(static_cast<std::size_t>(type) + 1, 0);
    payments[static_cast<std::size_t>(type)] += amount;
  }
  if (r.change != 0) {
    if (payments.empty())
      payments.resize(1, 0);
    payments[0] -= r.change;
  }
}

}  // namespace

void Register::RequireSaleState(std::initializer_list<int> states) const {
  const Receipt& r = state_.receipt;
  if (!IsFiscalKind(r.kind) || std::find(states.begin(), states.end(), r.state) == states.end()) {
    throw DeviceError{err::kInvalidDocState};
  }
}

void Register::OpenShiftIfClosed() {
  if (state_.shift.open)
    return;
  state_.shift = Shift{};
  state_.shift.open = true;
  state_.shift.opened_at = NowLocked();
}

std::int64_t Register::ReceiptTotal() const {
  std::int64_t total = 0;
  for (const ReceiptLine& l : state_.receipt.lines) {
    if (!l.voided && !l.void_pending)
      total += l.amount;
  }
  return total;
}

std::int64_t Register::GroupTotal(int tax) const {
  std::int64_t total = 0;
  for (const ReceiptLine& l : state_.receipt.lines) {
    if (!l.voided && !l.void_pending && l.tax == tax)
      total += l.amount;
  }
  return total;
}

// Tax types: 1 and the extended 4 and 6 are included in the price, 2, 5 and 7 added to it;
// 0 (disabled) and 3 (exempt) charge nothing.
GroupTotals Register::ReceiptTaxes() const {
  GroupTotals g;
  std::int64_t subtotal_adjust = 0;
  for (const ReceiptLine& l : state_.receipt.lines) {
    if (l.voided || l.void_pending)
      continue;
    if (l.tax >= 0 && l.tax < kTaxGroups)
      g.turnover[l.tax] += l.amount;
    else
      subtotal_adjust += l.amount;
  }
  // An adjustment on the subtotal is shared among the groups by their sums; what rounding
  // leaves over goes to the largest group.
  std::int64_t base = 0;
  int largest = 0;
  for (int i = 0; i < kTaxGroups; ++i) {
    base += g.turnover[i];
    if (g.turnover[i] > g.turnover[largest])
      largest = i;
  }
  if (subtotal_adjust != 0 && base > 0) {
    std::int64_t shared = 0;
    std::array<std::int64_t, kTaxGroups> share{};
    for (int i = 0; i < kTaxGroups; ++i) {
      share[i] = MulDivRound(subtotal_adjust, g.turnover[i], base);
      shared += share[i];
    }
    share[largest] += subtotal_adjust - shared;
    for (int i = 0; i < kTaxGroups; ++i)
      g.turnover[i] += share[i];
  }
  for (int i = 0; i < kTaxGroups; ++i) {
    const TaxGroup& t = state_.taxes[i];
    const auto rate = ParseDecimal(t.rate, kMoneyDecimals, DecimalRule::kNonNegative);
    if (!rate || g.turnover[i] == 0)
      continue;
    const std::int64_t r = rate->units;  // hundredths of a percent
    switch (t.type) {
      case 1:
      case 4:
      case 6:
        g.tax[i] = MulDivRound(g.turnover[i], r, 10000 + r);
        break;
      case 2:
      case 5:
      case 7:
        g.tax[i] = MulDivRound(g.turnover[i], r, 10000);
        break;
      default:
        break;
    }
  }
  return g;
}

// ---- Articles ----

std::string Register::AddArticle(const CommandArgs& a, Answer&) {
  const auto code = a.Int(1, 1, kMaxArticleCode);
  std::string name = a.Text(2, 75, false);
  const auto price = a.Fixed(3, 2, 0, kMaxAmount);
  const int tax = static_cast<int>(a.Int(4, 0, kTaxGroups - 1));
  const int department = static_cast<int>(a.Int(5, 0, 99));
  if (state_.taxes[tax].type == 0)
    throw DeviceError{err::kArtDisabledTax};
  auto it = state_.articles.find(code);
  if (it != state_.articles.end()) {
    Article& art = it->second;
    const bool same =
        art.name == name && art.price == price && art.tax == tax && art.department == department;
    // An article sold in the open shift keeps its description until the daily report.
    if (!same && art.sold_quantity != 0)
      throw DeviceError{err::kArtDuplicate};
    art.name = std::move(name);
    art.price = price;
    art.tax = tax;
    art.department = department;
    return "";
  }
  if (state_.articles.size() >= state_.article_capacity)
    throw DeviceError{err::kArtNoFreeSpace};
  Article art;
  art.name = std::move(name);
  art.price = price;
  art.tax = tax;
  art.department = department;
  state_.articles.emplace(code, std::move(art));
  return "";
}

std::string Register::ClearArticleBase(const CommandArgs&, Answer&) {
  RequireNoDocument();
  RequireShiftClosed();
  state_.articles.clear();
  return "";
}

// ---- Opening documents ----

std::string Register::OpenNonFiscalReceipt(const CommandArgs&, Answer&) {
  RequireNoDocument();
  if (state_.journal.size() >= state_.journal_capacity)
    throw DeviceError{err::kMustUnloadTape};
  Receipt r;
  r.state = rs::kNonFiscal;
  r.kind = DocKind::kNonFiscal;
  r.opened_at = NowLocked();
  state_.receipt = r;
  return std::to_string(state_.next_document) + ";";
}

std::string Register::OpenFiscalReceipt(const CommandArgs& a, Answer&) {
  const int op = static_cast<int>(a.Int(1, 1, kOperators));
  if (a.Raw(0) != state_.operators[op - 1].password && a.Raw(0) != state_.admin_password) {
    throw DeviceError{err::kPassword};
  }
  const int till = static_cast<int>(a.Int(2, 0, 99));
  const auto kind = a.Int(3, 0, 2);
  RequireNoDocument();
  if (!state_.clock_set)
    throw DeviceError{0x0508};  // erFIS_DateIsNoSet
  if (state_.journal.size() >= state_.journal_capacity)
    throw DeviceError{err::kMustUnloadTape};
  if (state_.z_reports.size() >= state_.fiscal_report_capacity) {
    throw DeviceError{err::kFmNoFreeSpace};
  }
  const RegisterTime now = NowLocked();
  if (state_.shift.open && now - state_.shift.opened_at >= 24 * 3600) {
    throw DeviceError{err::kFm24hOverflow};
  }
  OpenShiftIfClosed();
  Receipt r;
  r.kind = kind == 0 ? DocKind::kSale : kind == 1 ? DocKind::kReturn : DocKind::kCashInOut;
  r.state = kind == 2 ? rs::kCashInOut : rs::kOpened;
  r.operator_number = op;
  r.till = till;
  r.opened_at = now;
  state_.receipt = r;
  return std::to_string(state_.next_document) + ";";
}

std::string Register::PrintText(const CommandArgs& a, Answer&) {
  a.Text(1, 48);
  if (state_.receipt.state == rs::kClosed)
    throw DeviceError{err::kInvalidDocState};
  return "";
}

// ---- Sales and voids ----

std::string Register::SellItem(const CommandArgs& a, Answer&) {
  const auto code = a.Int(1, 0, kMaxArticleCode);
  const auto quantity = a.Fixed(2, 3, -kMaxAmount, kMaxAmount);
  const auto price = a.Fixed(3, 2, -kMaxAmount, kMaxAmount);
  if (quantity <= 0 || quantity > kMaxQuantity)
    throw DeviceError{err::kQuantity};
  if (price < 0)
    throw DeviceError{err::kPrice};
  RequireSaleState({rs::kOpened, rs::kSale, rs::kSubtotalAdj, rs::kVoiding});
  auto it = state_.articles.find(code);
  if (it == state_.articles.end())
    throw DeviceError{err::kArtNotFound};
  const Article& art = it->second;
  if (state_.taxes[art.tax].type == 0)
    throw DeviceError{err::kArtDisabledTax};
  const std::int64_t amount = MulDivRound(quantity, price, 1000);
  Receipt& r = state_.receipt;

  if (r.state == rs::kVoiding) {
    // In void mode a repeated sale takes back the latest matching one (with its adjustment).
    for (std::size_t i = r.lines.size(); i-- > 0;) {
      ReceiptLine& l = r.lines[i];
      if (l.kind != LineKind::kSale || l.voided || l.void_pending || l.code != code ||
          l.quantity != quantity || l.price != price) {
        continue;
      }
      l.void_pending = true;
      last_voided_line_ = i;
      for (std::size_t j = i + 1; j < r.lines.size() && r.lines[j].kind == LineKind::kItemAdjust;
           ++j) {
        r.lines[j].void_pending = true;
      }
      return FormatMoney(-amount) + ";" + FormatMoney(ReceiptTotal()) + ";";
    }
    throw DeviceError{err::kCancelNotFound};
  }

  if (ReceiptTotal() + amount > kMaxAmount)
    throw DeviceError{err::kTotalOverflow};
  ReceiptLine line;
  line.kind = LineKind::kSale;
  line.code = code;
  line.quantity = quantity;
  line.price = price;
  line.tax = art.tax;
  line.amount = amount;
  r.lines.push_back(line);
  r.state = rs::kSale;
  return FormatMoney(amount) + ";" + FormatMoney(ReceiptTotal()) + ";";
}

std::string Register::Adjust(LineKind kind, std::int64_t value, bool percent, int tax) {
  Receipt& r = state_.receipt;
  std::int64_t base = 0;
  int line_tax = -1;
  switch (kind) {
    case LineKind::kItemAdjust: {
      RequireSaleState({rs::kSale});
      const ReceiptLine& last = r.lines.back();
      if (last.kind != LineKind::kSale || last.voided)
        throw DeviceError{err::kInvalidDocState};
      base = last.amount;
      line_tax = last.tax;
      break;
    }
    case LineKind::kSubtotalAdjust:
      RequireSaleState({rs::kSale});
      base = ReceiptTotal();
      break;
    case LineKind::kGroupAdjust:
      RequireSaleState({rs::kSale, rs::kSubtotalAdj});
      base = GroupTotal(tax);
      line_tax = tax;
      break;
    case LineKind::kSale:
      throw DeviceError{err::kInvalidDocState};
  }
  if (base <= 0)
    throw DeviceError{err::kDiscountRange};
  std::int64_t amount = value;
  if (percent) {
    if (value < -9999 || value > 9999)
      throw DeviceError{err::kDiscountRange};
    amount = MulDivRound(base, value, 10000);
  }
  if (base + amount < 0 || ReceiptTotal() + amount > kMaxAmount) {
    throw DeviceError{err::kDiscountRange};
  }
  ReceiptLine line;
  line.kind = kind;
  line.tax = line_tax;
  line.amount = amount;
  r.lines.push_back(line);
  if (kind == LineKind::kSubtotalAdjust)
    r.state = rs::kSubtotalAdj;
  return FormatMoney(amount) + ";" + FormatMoney(ReceiptTotal()) + ";";
}

std::string Register::DiscountItemPercent(const CommandArgs& a, Answer&) {
  return Adjust(LineKind::kItemAdjust, a.Fixed(1, 2, -kMaxAmount, kMaxAmount), true, -1);
}

std::string Register::DiscountItemAbsolute(const CommandArgs& a, Answer&) {
  return Adjust(LineKind::kItemAdjust, a.Fixed(1, 2, -kMaxAmount, kMaxAmount), false, -1);
}

std::string Register::DiscountSubtotalPercent(const CommandArgs& a, Answer&) {
  return Adjust(LineKind::kSubtotalAdjust, a.Fixed(1, 2, -kMaxAmount, kMaxAmount), true, -1);
}

std::string Register::DiscountSubtotalAbsolute(const CommandArgs& a, Answer&) {
  return Adjust(LineKind::kSubtotalAdjust, a.Fixed(1, 2, -kMaxAmount, kMaxAmount), false, -1);
}

std::string Register::DiscountGroupPercent(const CommandArgs& a, Answer&) {
  const auto value = a.Fixed(1, 2, -kMaxAmount, kMaxAmount);
  const int tax = static_cast<int>(a.Int(2, 0, kTaxGroups - 1));
  return Adjust(LineKind::kGroupAdjust, value, true, tax);
}

std::string Register::DiscountGroupAbsolute(const CommandArgs& a, Answer&) {
  const auto value = a.Fixed(1, 2, -kMaxAmount, kMaxAmount);
  const int tax = static_cast<int>(a.Int(2, 0, kTaxGroups - 1));
  return Adjust(LineKind::kGroupAdjust, value, false, tax);
}

std::string Register::VoidReceipt(const CommandArgs& a, Answer&) {
  const auto mode = a.Int(1, 0, 3);
  Receipt& r = state_.receipt;
  const bool any_sale = std::any_of(r.lines.begin(), r.lines.end(), [](const ReceiptLine& l) {
    return l.kind == LineKind::kSale && !l.voided;
  });
  switch (mode) {
    case 0:  // the whole receipt
      if (r.state == rs::kClosed)
        throw DeviceError{err::kNothingToCancel};
      if (r.state == rs::kNonFiscal)
        throw DeviceError{err::kInvalidDocState};
      FinishDocument(true);
      return "";
    case 1:  // begin
      if (r.state == rs::kClosed || r.state == rs::kOpened)
        throw DeviceError{err::kNothingToCancel};
      if (!IsFiscalKind(r.kind) || r.state == rs::kVoiding) {
        throw DeviceError{err::kInvalidDocState};
      }
      if (r.state != rs::kSale && r.state != rs::kSubtotalAdj)
        throw DeviceError{err::kCancelStart};
      if (!any_sale)
        throw DeviceError{err::kNothingToCancel};
      r.state_before_void = r.state;
      r.state = rs::kVoiding;
      return "";
    case 2: {  // end: the lines taken back are voided for good
      if (r.state != rs::kVoiding)
        throw DeviceError{err::kInvalidDocState};
      const bool pending = std::any_of(r.lines.begin(), r.lines.end(),
                                       [](const ReceiptLine& l) { return l.void_pending; });
      if (!pending)
        throw DeviceError{err::kCancelNotFull};
      for (ReceiptLine& l : r.lines) {
        if (l.void_pending) {
          l.void_pending = false;
          l.voided = true;
        }
      }
      const bool left = std::any_of(r.lines.begin(), r.lines.end(), [](const ReceiptLine& l) {
        return l.kind == LineKind::kSale && !l.voided;
      });
      if (!left) {
        // With no sale left, the receipt's adjustments go too.
        for (ReceiptLine& l : r.lines)
          l.voided = true;
        r.state = rs::kOpened;
      } else {
        r.state = r.state_before_void;
      }
      return FormatMoney(ReceiptTotal()) + ";";
    }
    default:  // 3: cancel the void sequence
      if (r.state != rs::kVoiding)
        throw DeviceError{err::kInvalidDocState};
      for (ReceiptLine& l : r.lines)
        l.void_pending = false;
      r.state = r.state_before_void;
      return FormatMoney(ReceiptTotal()) + ";";
  }
}

std::string Register::PrintTotal(const CommandArgs& a, Answer&) {
  a.Int(1, 0, 1);
  RequireSaleState({rs::kOpened, rs::kSale, rs::kPayment, rs::kSubtotalAdj});
  return FormatMoney(ReceiptTotal()) + ";";
}

std::string Register::PrintBarcode(const CommandArgs& a, Answer&) {
  a.Int(1, 1, 255);
  if (!a.Has(2) || a.Raw(2).size() != 32)
    throw CommandArgs::FormatError(2);
  for (char c : a.Raw(2)) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
      throw CommandArgs::FormatError(2);
  }
  return "";
}

// ---- Payments and closing ----

std::string Register::Pay(int type, std::int64_t amount, bool card) {
  RequireSaleState({rs::kSale, rs::kPayment, rs::kSubtotalAdj});
  Receipt& r = state_.receipt;
  const PaymentType& p = state_.payment_types[type];
  const bool is_return = r.kind == DocKind::kReturn;
  if (!(p.mask & (is_return ? 0x02 : 0x01)))
    throw DeviceError{err::kPayModeDisabled};
  const std::int64_t total = ReceiptTotal();
  const std::int64_t remaining = total - r.paid;
  std::int64_t change = 0;
  if (amount > remaining) {
    if (is_return)
      throw DeviceError{err::kPayOverflow};
    if (card || !(p.mask & 0x80))
      throw DeviceError{err::kChangeDisabled};
    change = amount - remaining;
  }
  if (r.paid + amount > kMaxAmount)
    throw DeviceError{err::kPayOverflow};
  if (is_return && type == 0) {
    std::int64_t paid_out_cash = amount;
    for (const auto& [t, a] : r.payments) {
      if (t == 0)
        paid_out_cash += a;
    }
    if (paid_out_cash > state_.cash)
      throw DeviceError{err::kCashTooLow};
  }
  r.payments.emplace_back(type, amount);
  r.paid += amount;
  r.change += change;
  r.state = r.paid >= total ? rs::kCompleted : rs::kPayment;
  const std::int64_t left = r.paid >= total ? 0 : total - r.paid;
  return FormatMoney(left) + ";" + FormatMoney(change) + ";";
}

std::string Register::MakePayment(const CommandArgs& a, Answer&) {
  const auto count = static_cast<std::int64_t>(state_.payment_types.size());
  const int type = static_cast<int>(a.Int(1, 0, count - 1));
  const auto amount = a.Fixed(2, 2, 1, kMaxAmount);
  return Pay(type, amount, false);
}

std::string Register::CardPayment(const CommandArgs& a, Answer&) {
  const auto count = static_cast<std::int64_t>(state_.payment_types.size());
  const int type = static_cast<int>(a.Int(1, 1, count - 1));  // 0 is cash
  // Type 5, the container deposit, is settled in cash and never through a card terminal.
  if (type == kContainerPaymentType)
    throw CommandArgs::ValueError(1);
  const auto amount = a.Fixed(2, 2, 1, kMaxAmount);
  std::string transaction = a.Text(3, 40, false);  // the payment terminal's identifier
  std::string answer = Pay(type, amount, true);
  state_.receipt.card_transactions.push_back(std::move(transaction));
  return answer;
}

void Register::FinishDocument(bool cancelled) {
  RegisterState& s = state_;
  Receipt& r = s.receipt;
  const RegisterTime now = NowLocked();
  Document doc;
  doc.number = s.next_document++;
  doc.kind = r.kind;
  doc.time = now;
  doc.total = r.kind == DocKind::kCashInOut ? r.cash_moved : ReceiptTotal();
  doc.cancelled = cancelled;
  s.journal.push_back(doc);
  // What the printed record keeps of the document, as the register summed it up.
  finishing_ = PrintedDocument{};
  finishing_.time = now;
  finishing_.receipt = r;
  finishing_.total = doc.total;
  finishing_.taxes = IsFiscalKind(r.kind) ? ReceiptTaxes() : GroupTotals{};
  if (!cancelled) {
    std::int64_t cash_payments = 0;
    for (const auto& [type, amount] : r.payments) {
      if (type == 0)
        cash_payments += amount;
    }
    switch (r.kind) {
      case DocKind::kSale:
        s.shift.sales += doc.total;
        ++s.shift.receipts;
        AddTotals(s.shift.sales_groups, s.shift.sales_payments, finishing_.taxes, r);
        s.cash += cash_payments - r.change;
        for (const ReceiptLine& l : r.lines) {
          if (l.kind != LineKind::kSale || l.voided)
            continue;
          Article& art = s.articles[l.code];
          art.sold_quantity += l.quantity;
          art.sold_sum += l.amount;
        }
        break;
      case DocKind::kReturn:
        s.shift.returns += doc.total;
        ++s.shift.receipts;
        AddTotals(s.shift.returns_groups, s.shift.returns_payments, finishing_.taxes, r);
        s.cash -= cash_payments;
        break;
      case DocKind::kCashInOut:
        s.cash += r.cash_moved;
        (r.cash_moved >= 0 ? s.shift.cash_in : s.shift.cash_out) += r.cash_moved;
        break;
      case DocKind::kNonFiscal:
        break;
    }
    if (IsFiscalKind(r.kind) && r.operator_number >= 1 && r.operator_number <= kOperators) {
      s.operators[r.operator_number - 1].made_sales = true;
    }
    if (r.kind != DocKind::kNonFiscal && s.first_undelivered == 0)
      s.first_undelivered = now;
  }
  finishing_.cash = s.cash;
  s.receipt = Receipt{};
}

std::string Register::CloseReceipt(const CommandArgs& a, Answer&) {
  a.Int(1, 0, 1);
  const Receipt& r = state_.receipt;
  const bool fiscal_done =
      IsFiscalKind(r.kind) &&
      (r.state == rs::kCompleted ||
       ((r.state == rs::kSale || r.state == rs::kSubtotalAdj) && ReceiptTotal() == 0));
  if (!fiscal_done && r.state != rs::kNonFiscal && r.state != rs::kCashInOut) {
    throw DeviceError{err::kInvalidDocState};
  }
  const int number = state_.next_document;
  FinishDocument(false);
  return std::to_string(number) + ";";
}

std::string Register::ServiceCashInOut(const CommandArgs& a, Answer&) {
  a.Int(1, 0, 0);
  const auto amount = a.Fixed(2, 2, -kMaxAmount, kMaxAmount);
  if (amount == 0)
    throw CommandArgs::ValueError(2);
  Receipt& r = state_.receipt;
  if (r.state != rs::kCashInOut)
    throw DeviceError{err::kInvalidDocState};
  const std::int64_t after = state_.cash + r.cash_moved + amount;
  if (after < 0)
    throw DeviceError{err::kCashTooLow};
  if (after > kMaxAmount)
    throw DeviceError{err::kOverflow};
  r.cash_moved += amount;
  return FormatMoney(after) + ";";
}

// ---- Reports ----

namespace {

void RequireReportState(const Receipt& r) {
  // Reports print on their own or inside a non-fiscal receipt.
  if (r.state != rs::kClosed && r.state != rs::kNonFiscal)
    throw DeviceError{err::kInvalidDocState};
}

}  // namespace

std::string Register::PrintInfoReport(const CommandArgs& a, Answer& out) {
  const auto type = a.Int(1, 0, 3);
  RequireReportState(state_.receipt);
  if (type == 1 && !state_.fiscalized)
    throw DeviceError{err::kFmNoFiscalMode};
  out.prints = true;
  return "";
}

std::string Register::PrintReport(const CommandArgs& a, Answer& out) {
  const auto kind = a.Int(1, 0, 5);
  if (kind == 3 || kind == 4)
    throw CommandArgs::ValueError(1);
  RequireNoDocument();
  RegisterState& s = state_;
  switch (kind) {
    case 0: {  // Z report: the day goes into the fiscal memory and the shift closes
      if (s.z_reports.size() >= s.fiscal_report_capacity)
        throw DeviceError{err::kFmNoFreeSpace};
      ZReport z;
      z.number = static_cast<int>(s.z_reports.size()) + 1;
      z.time = NowLocked();
      finishing_ = PrintedDocument{};
      finishing_.report = PrintedDocument::Report::kZ;
      finishing_.number = z.number;
      finishing_.time = z.time;
      finishing_.shift = s.shift;
      finishing_.cash = s.cash;
      z.sales = s.shift.sales;
      z.returns = s.shift.returns;
      z.receipts = s.shift.receipts;
      s.z_reports.push_back(z);
      s.shift = Shift{};
      for (Operator& op : s.operators)
        op.made_sales = false;
      for (auto& [code, art] : s.articles) {
        art.sold_quantity = 0;
        art.sold_sum = 0;
      }
      // The day's documents go to the tax server with the report.
      s.first_undelivered = 0;
      s.last_acquirer_session = z.time;
      out.prints = true;
      return std::to_string(z.number) + ";";
    }
    case 1:  // X report
      finishing_ = PrintedDocument{};
      finishing_.report = PrintedDocument::Report::kX;
      finishing_.number = static_cast<int>(s.z_reports.size()) + 1;  // the shift's number
      finishing_.time = NowLocked();
      finishing_.shift = s.shift;
      finishing_.cash = s.cash;
      out.prints = true;
      return FormatMoney(s.shift.sales) + ";" + FormatMoney(s.shift.returns) + ";" +
             FormatMoney(s.cash) + ";";
    case 2:  // clear the control tape
      RequireShiftClosed();
      s.journal.clear();
      s.tape_unloaded = false;
      return "";
    default:  // 5: unload the control tape
      s.tape_unloaded = true;
      out.prints = true;
      return std::to_string(s.journal.size()) + ";";
  }
}

std::string Register::FindReportByDate(const CommandArgs& a, Answer& out) {
  if (!a.Has(1))
    throw CommandArgs::FormatError(1);
  auto first = ParseDate(a.Raw(1));
  if (!first)
    throw CommandArgs::FormatError(1);
  if (!a.Has(2))
    throw CommandArgs::FormatError(2);
  auto last = ParseDate(a.Raw(2));
  if (!last)
    throw CommandArgs::FormatError(2);
  a.Int(3, 0, 1);
  if (*last < *first)
    throw CommandArgs::ValueError(2);
  RequireReportState(state_.receipt);
  int lo = 0;
  int hi = 0;
  for (const ZReport& z : state_.z_reports) {
    if (z.time >= *first && z.time < *last + 86400) {
      if (lo == 0)
        lo = z.number;
      hi = z.number;
    }
  }
  if (lo == 0)
    throw CommandArgs::ValueError(1);  // no daily report in the period
  out.prints = true;
  return std::to_string(lo) + ";" + std::to_string(hi) + ";";
}

std::string Register::PrintPeriodicReport(const CommandArgs& a, Answer& out) {
  const auto count = static_cast<std::int64_t>(state_.z_reports.size());
  const auto first = a.Int(1, 1, std::max<std::int64_t>(count, 0));
  const auto last = a.Int(2, first, count);
  a.Int(3, 0, 1);
  RequireReportState(state_.receipt);
  out.prints = true;
  return std::to_string(first) + ";" + std::to_string(last) + ";";
}

std::string Register::PrintSoldItemsReport(const CommandArgs& a, Answer& out) {
  constexpr std::int64_t kMaxCode = 99'999'999'999'999LL;
  const auto first = a.Int(1, 0, kMaxCode);
  const auto last = a.Int(2, first, kMaxCode);
  RequireReportState(state_.receipt);
  int sold = 0;
  for (auto it = state_.articles.lower_bound(first);
       it != state_.articles.end() && it->first <= last; ++it) {
    if (it->second.sold_quantity != 0)
      ++sold;
  }
  out.prints = true;
  return std::to_string(sold) + ";";
}

std::string Register::PrintExtraDailyReport(const CommandArgs& a, Answer& out) {
  a.Int(1, 0, 2);
  RequireReportState(state_.receipt);
  out.prints = true;
  return "";
}

std::string Register::PrintCopyByNumbers(const CommandArgs& a, Answer& out) {
  const auto first = a.Int(1, 1, 999'999'999);
  const auto last = a.Int(2, first, 999'999'999);
  RequireNoDocument();
  const auto& j = state_.journal;
  for (auto n = first; n <= last; ++n) {
    const bool kept =
        std::any_of(j.begin(), j.end(), [n](const Document& d) { return d.number == n; });
    if (!kept)
      throw DeviceError{err::kCopyUnavailable};
  }
  out.prints = true;
  return "";
}

std::string Register::PrintCopyByDates(const CommandArgs& a, Answer& out) {
  auto date = [&a](std::size_t i) {
    if (!a.Has(i))
      throw CommandArgs::FormatError(i);
    auto d = ParseDate(a.Raw(i));
    if (!d)
      throw CommandArgs::FormatError(i);
    return *d;
  };
  auto time = [&a](std::size_t i) {
    if (!a.Has(i))
      throw CommandArgs::FormatError(i);
    auto t = ParseTime(a.Raw(i));
    if (!t)
      throw CommandArgs::FormatError(i);
    return *t;
  };
  const RegisterTime from = date(1) + time(2);
  const RegisterTime to = date(3) + time(4) + 59;
  const bool print = a.Int(5, 0, 1) == 1;
  if (to < from)
    throw CommandArgs::ValueError(3);
  if (print)
    RequireNoDocument();
  int lo = 0;
  int hi = 0;
  for (const Document& d : state_.journal) {
    if (d.time >= from && d.time <= to) {
      if (lo == 0)
        lo = d.number;
      hi = d.number;
    }
  }
  if (lo == 0)
    throw DeviceError{err::kCopyUnavailable};
  out.prints = print;
  return std::to_string(lo) + ";" + std::to_string(hi) + ";";
}

}  // namespace tolvanet::sim
