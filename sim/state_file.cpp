#include "sim/state_file.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

#include "link/hex.h"

namespace tolvanet::sim {

namespace {

constexpr const char* kMagic = "tolvanet-sim state 1";
constexpr std::size_t kChunk = 64;  // flash and logo are written in chunks of this many bytes

bool NeedsEscape(unsigned char c) {
  return c < 0x21 || c == '%' || c == 0x7F;
}

// Appends a text as one token: bytes that would end it or look like an escape as "%XX".
void AppendToken(std::string& out, std::string_view value) {
  if (value.empty()) {
    out += '%';  // an empty text is a lone "%"
    return;
  }
  std::size_t done = 0;  // what is appended of `value`; the plain runs go over whole
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto c = static_cast<unsigned char>(value[i]);
    if (!NeedsEscape(c))
      continue;
    out.append(value, done, i - done);
    out += '%';
    out += HexByte(c);
    done = i + 1;
  }
  out.append(value, done);
}

std::optional<std::string> Untoken(std::string_view token) {
  if (token == "%")
    return std::string();
  std::string out;
  std::size_t done = 0;
  for (std::size_t i = token.find('%'); i != std::string_view::npos; i = token.find('%', done)) {
    if (i + 2 >= token.size())
      return std::nullopt;
    const int hi = HexDigitValue(token[i + 1]);
    const int lo = HexDigitValue(token[i + 2]);
    if (hi < 0 || lo < 0)
      return std::nullopt;
    out.append(token, done, i - done);
    out += static_cast<char>(hi * 16 + lo);
    done = i + 3;
  }
  out.append(token, done);
  return out;
}

// Hexadecimal digits, written as they are (they need no escaping).
struct HexToken {
  std::string text;
};

class Writer {
 public:
  template <typename... T>
  void Line(std::string_view key, const T&... values) {
    out_ += key;
    ((out_ += ' ', Append(values)), ...);
    out_ += '\n';
  }
  std::string Take() { return std::move(out_); }

 private:
  void Append(const std::string& s) { AppendToken(out_, s); }
  void Append(const char* s) { AppendToken(out_, s); }
  void Append(const HexToken& hex) { out_ += hex.text; }
  void Append(bool b) { out_ += b ? '1' : '0'; }
  template <typename N>
  void Append(const N& n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out_.append(digits, end);
  }
  std::string out_;
};

// Writes the `n` bytes at `bytes`, which lie from `base` in their memory, as chunks of kChunk
// bytes (numbered from the memory's start), leaving out the chunks that are all `blank`.
void WriteBytes(Writer& w, const char* key, std::size_t base, const std::uint8_t* bytes,
                std::size_t n, std::uint8_t blank) {
  // Blank memory is passed over a run of chunks at a time.
  constexpr std::size_t kRun = 1024 * kChunk;
  for (std::size_t at = 0; at < n;) {
    const std::size_t run_end = std::min(at + kRun, n);
    if (AllBytesAre(bytes + at, run_end - at, blank)) {
      at = run_end;
      continue;
    }
    for (; at < run_end; at += kChunk) {
      const std::size_t len = std::min(kChunk, n - at);
      if (AllBytesAre(bytes + at, len, blank))
        continue;
      w.Line(key, base + at,
             HexToken{HexEncode(std::string_view(reinterpret_cast<const char*>(bytes + at), len))});
    }
  }
}

void WriteBytes(Writer& w, const char* key, const std::vector<std::uint8_t>& bytes,
                std::uint8_t blank) {
  WriteBytes(w, key, 0, bytes.data(), bytes.size(), blank);
}

// The flash memory's erased pages are not even looked at.
void WriteBytes(Writer& w, const char* key, const FlashMemory& flash) {
  static_assert(FlashMemory::kPage % kChunk == 0, "chunks must not straddle pages");
  for (std::size_t i = 0; i < flash.PageCount(); ++i) {
    if (const std::uint8_t* page = flash.Page(i))
      WriteBytes(w, key, i * FlashMemory::kPage, page, flash.PageLength(i), FlashMemory::kErased);
  }
}

void WriteState(Writer& w, const RegisterState& s) {
  w.Line("register", s.id_dev);
  w.Line("model", s.model);
  w.Line("version", s.version);
  w.Line("serial", s.serial_number);
  w.Line("fiscal_number", s.fiscal_number);
  w.Line("tax_id", s.tax_id, s.tax_number);
  w.Line("fiscalized", s.fiscalized, s.fiscalized_at);
  w.Line("personalized", s.personalized, s.personalized_at);
  w.Line("passwords", s.admin_password, s.programming_password, s.reports_password);
  for (int i = 0; i < kOperators; ++i) {
    const Operator& o = s.operators[i];
    w.Line("operator", i, o.name, o.password, o.made_sales);
  }
  for (const PaymentType& p : s.payment_types)
    w.Line("payment", int{p.mask}, p.name);
  for (int i = 0; i < kTaxGroups; ++i) {
    const TaxGroup& t = s.taxes[i];
    w.Line("tax", i, t.type, t.rate, t.name, t.linked);
  }
  for (int i = 0; i < kHeaderLines; ++i) {
    w.Line("header", i, s.header[i].double_width, s.header[i].text);
  }
  for (int i = 0; i < kServiceCounters; ++i)
    w.Line("counter", i, s.counters[i]);
  const RegistratorParams& p = s.params;
  w.Line("params", p.speed, p.contrast, int{p.document_flags}, int{p.extended_flags},
         int{p.drawer_open_pulse}, int{p.drawer_close_pulse}, p.chars_per_line);
  const NetworkSettings& n = s.network;
  w.Line("network", n.dhcp, n.ip, n.mask, n.gateway, n.destination, int{n.port}, int{n.period},
         int{n.retry});
  const ServiceReminder& r = s.reminder;
  w.Line("reminder", r.password, r.date, r.days, int{r.mask});
  for (const std::string& line : r.message)
    w.Line("reminder_line", line);
  w.Line("decimal_point", s.decimal_point);
  w.Line("display", s.display[0], s.display[1]);
  w.Line("clock", s.clock_offset, s.clock_set, s.restart_needed, s.service_mode);
  for (const auto& [code, a] : s.articles) {
    w.Line("article", code, a.name, a.price, a.tax, a.department, a.sold_quantity, a.sold_sum);
  }
  w.Line("article_capacity", s.article_capacity);
  const Receipt& rc = s.receipt;
  w.Line("receipt", rc.state, static_cast<int>(rc.kind), rc.operator_number, rc.till,
         rc.state_before_void, rc.paid, rc.change, rc.cash_moved, rc.opened_at);
  for (const ReceiptLine& l : rc.lines) {
    w.Line("receipt_line", static_cast<int>(l.kind), l.code, l.quantity, l.price, l.tax, l.amount,
           l.voided, l.void_pending);
  }
  for (const auto& [type, amount] : rc.payments)
    w.Line("receipt_payment", type, amount);
  for (const std::string& id : rc.card_transactions)
    w.Line("receipt_card_transaction", id);
  const Shift& sh = s.shift;
  w.Line("shift", sh.open, sh.opened_at, sh.sales, sh.returns, sh.cash_in, sh.cash_out,
         sh.receipts);
  for (int g = 0; g < kTaxGroups; ++g) {
    w.Line("shift_group", g, sh.sales_groups.turnover[g], sh.sales_groups.tax[g],
           sh.returns_groups.turnover[g], sh.returns_groups.tax[g]);
  }
  for (std::size_t i = 0; i < std::max(sh.sales_payments.size(), sh.returns_payments.size()); ++i) {
    w.Line("shift_payment", i, i < sh.sales_payments.size() ? sh.sales_payments[i] : 0,
           i < sh.returns_payments.size() ? sh.returns_payments[i] : 0);
  }
  w.Line("cash", s.cash);
  for (const Document& d : s.journal) {
    w.Line("document", d.number, static_cast<int>(d.kind), d.time, d.total, d.cancelled);
  }
  w.Line("journal", s.journal_capacity, s.tape_unloaded, s.next_document);
  for (const ZReport& z : s.z_reports) {
    w.Line("zreport", z.number, z.time, z.sales, z.returns, z.receipts);
  }
  w.Line("fiscal_report_capacity", s.fiscal_report_capacity);
  w.Line("flash_size", s.flash.size());
  WriteBytes(w, "flash", s.flash);
  w.Line("firmware_size", s.firmware_size);
  w.Line("logo_size", s.logo.size(), s.logo_max_width, s.logo_width, s.logo_height);
  WriteBytes(w, "logo", s.logo, 0x00);
  w.Line("source", s.source_selected, s.source_position, s.source_packet);
  w.Line("modem", s.first_undelivered, s.last_acquirer_session);
  w.Line("modem_bits", s.modem_sam_fault, s.modem_card_fault, s.modem_blocked_72h,
         s.ethernet_cable);
  w.Line("forced_status", int{s.forced_status[0]}, int{s.forced_status[1]}, int{s.forced_status[2]},
         int{s.forced_status[3]}, int{s.forced_status[4]}, int{s.forced_status[5]});
  w.Line("end");
}

// Reads the tokens of one line; each accessor marks the line bad on a missing or wrong value.
class LineReader {
 public:
  // Takes the tokens of `line` in place of the line before; the list keeps its storage.
  // Tokens are separated by blanks (space, tab, CR and the other white space of the C locale).
  void Read(std::string_view line) {
    auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    tokens_.clear();
    ok_ = true;
    const std::size_t n = line.size();
    for (std::size_t at = 0; at < n;) {
      if (blank(line[at])) {
        ++at;
        continue;
      }
      std::size_t end = at + 1;
      while (end < n && !blank(line[end]))
        ++end;
      tokens_.push_back(line.substr(at, end - at));
      at = end;
    }
  }
  bool empty() const { return tokens_.empty(); }
  std::string_view key() const { return tokens_[0]; }
  std::size_t count() const { return tokens_.size() - 1; }
  bool ok() const { return ok_; }

  std::string Text(std::size_t i) {
    if (i + 1 >= tokens_.size())
      return Fail(), std::string();
    auto v = Untoken(tokens_[i + 1]);
    if (!v)
      return Fail(), std::string();
    return *v;
  }
  std::int64_t Num(std::size_t i, std::int64_t lo = INT64_MIN, std::int64_t hi = INT64_MAX) {
    if (i + 1 >= tokens_.size())
      return Fail(), 0;
    std::string_view t = tokens_[i + 1];
    if (t.size() > 1 && t[0] == '+' && t[1] >= '0' && t[1] <= '9')
      t.remove_prefix(1);  // as strtoll reads it
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || end != t.data() + t.size() || ec != std::errc() || v < lo || v > hi)
      return Fail(), 0;
    return v;
  }
  std::uint32_t U32(std::size_t i) { return static_cast<std::uint32_t>(Num(i, 0, UINT32_MAX)); }
  bool Flag(std::size_t i) { return Num(i, 0, 1) == 1; }

 private:
  void Fail() { ok_ = false; }
  std::vector<std::string_view> tokens_;
  bool ok_ = true;
};

// A chunk line of a memory of `size` bytes: its address and its bytes, or nothing when the line
// is bad or the chunk would lie past the memory's end.
std::optional<std::pair<std::size_t, std::string>> ReadChunk(LineReader& r, std::size_t size) {
  const auto at = static_cast<std::size_t>(r.Num(0, 0, INT64_MAX));
  auto data = HexDecode(r.Text(1));
  if (!r.ok() || !data || at > size || data->size() > size - at)
    return std::nullopt;
  return std::make_pair(at, std::move(*data));
}

bool ReadBytes(LineReader& r, std::vector<std::uint8_t>& bytes) {
  auto chunk = ReadChunk(r, bytes.size());
  if (!chunk)
    return false;
  std::copy(chunk->second.begin(), chunk->second.end(), bytes.begin() + chunk->first);
  return true;
}

bool ReadBytes(LineReader& r, FlashMemory& flash) {
  auto chunk = ReadChunk(r, flash.size());
  if (!chunk)
    return false;
  flash.Write(chunk->first, chunk->second);
  return true;
}

// Applies one line to the register being read; false when the line is not understood.
bool ApplyLine(LineReader& r, RegisterState& s, bool& payments_started) {
  const std::string_view k = r.key();
  if (k == "model") {
    s.model = r.Text(0);
  } else if (k == "version") {
    s.version = r.Text(0);
  } else if (k == "serial") {
    s.serial_number = r.Text(0);
  } else if (k == "fiscal_number") {
    s.fiscal_number = r.Text(0);
  } else if (k == "tax_id") {
    s.tax_id = r.Text(0);
    s.tax_number = r.Text(1);
  } else if (k == "fiscalized") {
    s.fiscalized = r.Flag(0);
    s.fiscalized_at = r.Num(1);
  } else if (k == "personalized") {
    s.personalized = r.Flag(0);
    s.personalized_at = r.Num(1);
  } else if (k == "passwords") {
    s.admin_password = r.Text(0);
    s.programming_password = r.Text(1);
    s.reports_password = r.Text(2);
  } else if (k == "operator") {
    Operator& o = s.operators[r.Num(0, 0, kOperators - 1)];
    o.name = r.Text(1);
    o.password = r.Text(2);
    o.made_sales = r.Flag(3);
  } else if (k == "payment") {
    if (!payments_started)
      s.payment_types.clear();
    payments_started = true;
    PaymentType p;
    p.mask = static_cast<std::uint8_t>(r.Num(0, 0, 255));
    p.name = r.Text(1);
    if (s.payment_types.size() >= 10)
      return false;
    s.payment_types.push_back(p);
  } else if (k == "tax") {
    TaxGroup& t = s.taxes[r.Num(0, 0, kTaxGroups - 1)];
    t.type = static_cast<int>(r.Num(1, 0, 7));
    t.rate = r.Text(2);
    t.name = r.Text(3);
    t.linked = static_cast<int>(r.Num(4, -1, kTaxGroups - 1));
  } else if (k == "header") {
    HeaderLine& h = s.header[r.Num(0, 0, kHeaderLines - 1)];
    h.double_width = static_cast<int>(r.Num(1, 0, 1));
    h.text = r.Text(2);
  } else if (k == "counter") {
    s.counters[r.Num(0, 0, kServiceCounters - 1)] = r.Num(1);
  } else if (k == "params") {
    RegistratorParams& p = s.params;
    p.speed = static_cast<int>(r.Num(0, 0, 115200));
    p.contrast = static_cast<int>(r.Num(1, 0, 4));
    p.document_flags = static_cast<std::uint16_t>(r.Num(2, 0, 0xFFFF));
    p.extended_flags = static_cast<std::uint8_t>(r.Num(3, 0, 0xFF));
    p.drawer_open_pulse = static_cast<std::uint8_t>(r.Num(4, 0, 0xFF));
    p.drawer_close_pulse = static_cast<std::uint8_t>(r.Num(5, 0, 0xFF));
    p.chars_per_line = static_cast<int>(r.Num(6, 0, 99));
  } else if (k == "network") {
    NetworkSettings& n = s.network;
    n.dhcp = r.Flag(0);
    n.ip = r.U32(1);
    n.mask = r.U32(2);
    n.gateway = r.U32(3);
    n.destination = r.U32(4);
    n.port = static_cast<std::uint16_t>(r.Num(5, 0, 0xFFFF));
    n.period = static_cast<std::uint16_t>(r.Num(6, 0, 0xFFFF));
    n.retry = static_cast<std::uint16_t>(r.Num(7, 0, 0xFFFF));
  } else if (k == "reminder") {
    ServiceReminder& m = s.reminder;
    m.password = r.Text(0);
    m.date = r.Num(1);
    m.days = static_cast<int>(r.Num(2, 0, 365));
    m.mask = static_cast<std::uint8_t>(r.Num(3, 0, 0xFF));
  } else if (k == "reminder_line") {
    if (s.reminder.message.size() >= kMaxReminderLines)
      return false;
    s.reminder.message.push_back(r.Text(0));
  } else if (k == "decimal_point") {
    s.decimal_point = static_cast<int>(r.Num(0, 0, 3));
  } else if (k == "display") {
    s.display = {r.Text(0), r.Text(1)};
  } else if (k == "clock") {
    s.clock_offset = r.Num(0);
    s.clock_set = r.Flag(1);
    s.restart_needed = r.Flag(2);
    s.service_mode = r.Flag(3);
  } else if (k == "article") {
    Article a;
    const auto code = r.Num(0, 0, 999'999'999);
    a.name = r.Text(1);
    a.price = r.Num(2, 0, kMaxAmount);
    a.tax = static_cast<int>(r.Num(3, 0, kTaxGroups - 1));
    a.department = static_cast<int>(r.Num(4, 0, 99));
    a.sold_quantity = r.Num(5);
    a.sold_sum = r.Num(6);
    s.articles[code] = a;
  } else if (k == "article_capacity") {
    s.article_capacity = static_cast<std::size_t>(r.Num(0, 0, 1'000'000));
  } else if (k == "receipt") {
    Receipt& rc = s.receipt;
    rc.state = static_cast<int>(r.Num(0, 0, 15));
    rc.kind = static_cast<DocKind>(r.Num(1, 0, 3));
    rc.operator_number = static_cast<int>(r.Num(2, 0, kOperators));
    rc.till = static_cast<int>(r.Num(3, 0, 99));
    rc.state_before_void = static_cast<int>(r.Num(4, 0, 15));
    rc.paid = r.Num(5);
    rc.change = r.Num(6);
    rc.cash_moved = r.Num(7);
    rc.opened_at = r.Num(8);
  } else if (k == "receipt_line") {
    ReceiptLine l;
    l.kind = static_cast<LineKind>(r.Num(0, 0, 3));
    l.code = r.Num(1);
    l.quantity = r.Num(2);
    l.price = r.Num(3);
    l.tax = static_cast<int>(r.Num(4, -1, kTaxGroups - 1));
    l.amount = r.Num(5);
    l.voided = r.Flag(6);
    l.void_pending = r.Flag(7);
    s.receipt.lines.push_back(l);
  } else if (k == "receipt_payment") {
    const auto type = static_cast<int>(r.Num(0, 0, 9));
    s.receipt.payments.emplace_back(type, r.Num(1));
  } else if (k == "receipt_card_transaction") {
    s.receipt.card_transactions.push_back(r.Text(0));
  } else if (k == "shift") {
    Shift& sh = s.shift;
    sh.open = r.Flag(0);
    sh.opened_at = r.Num(1);
    sh.sales = r.Num(2);
    sh.returns = r.Num(3);
    sh.cash_in = r.Num(4);
    sh.cash_out = r.Num(5);
    sh.receipts = static_cast<int>(r.Num(6, 0, INT32_MAX));
  } else if (k == "shift_group") {
    const auto g = static_cast<std::size_t>(r.Num(0, 0, kTaxGroups - 1));
    Shift& sh = s.shift;
    sh.sales_groups.turnover[g] = r.Num(1);
    sh.sales_groups.tax[g] = r.Num(2);
    sh.returns_groups.turnover[g] = r.Num(3);
    sh.returns_groups.tax[g] = r.Num(4);
  } else if (k == "shift_payment") {
    const auto i = static_cast<std::size_t>(r.Num(0, 0, 99));
    Shift& sh = s.shift;
    sh.sales_payments.resize(std::max(sh.sales_payments.size(), i + 1), 0);
    sh.returns_payments.resize(std::max(sh.returns_payments.size(), i + 1), 0);
    sh.sales_payments[i] = r.Num(1);
    sh.returns_payments[i] = r.Num(2);
  } else if (k == "cash") {
    s.cash = r.Num(0);
  } else if (k == "document") {
    Document d;
    d.number = static_cast<int>(r.Num(0, 1, INT32_MAX));
    d.kind = static_cast<DocKind>(r.Num(1, 0, 3));
    d.time = r.Num(2);
    d.total = r.Num(3);
    d.cancelled = r.Flag(4);
    s.journal.push_back(d);
  } else if (k == "journal") {
    s.journal_capacity = static_cast<std::size_t>(r.Num(0, 0, 1'000'000));
    s.tape_unloaded = r.Flag(1);
    s.next_document = static_cast<int>(r.Num(2, 1, INT32_MAX));
  } else if (k == "zreport") {
    ZReport z;
    z.number = static_cast<int>(r.Num(0, 1, INT32_MAX));
    z.time = r.Num(1);
    z.sales = r.Num(2);
    z.returns = r.Num(3);
    z.receipts = static_cast<int>(r.Num(4, 0, INT32_MAX));
    s.z_reports.push_back(z);
  } else if (k == "fiscal_report_capacity") {
    s.fiscal_report_capacity = static_cast<std::size_t>(r.Num(0, 0, 1'000'000));
  } else if (k == "flash_size") {
    s.flash = FlashMemory(static_cast<std::size_t>(r.Num(0, 0, 64 * 1024 * 1024)));
  } else if (k == "flash") {
    return ReadBytes(r, s.flash);
  } else if (k == "firmware_size") {
    s.firmware_size = static_cast<std::size_t>(r.Num(0, 0, 64 * 1024 * 1024));
  } else if (k == "logo_size") {
    s.logo.assign(static_cast<std::size_t>(r.Num(0, 24, 1024 * 1024)), 0x00);
    s.logo_max_width = static_cast<int>(r.Num(1, 8, 4096));
    s.logo_width = static_cast<int>(r.Num(2, 0, 4096));
    s.logo_height = static_cast<int>(r.Num(3, 0, 1024 * 1024));
  } else if (k == "logo") {
    return ReadBytes(r, s.logo);
  } else if (k == "source") {
    s.source_selected = r.Flag(0);
    s.source_position = static_cast<std::size_t>(r.Num(1, 0, INT64_MAX));
    s.source_packet = static_cast<int>(r.Num(2, 0, INT32_MAX));
  } else if (k == "modem") {
    s.first_undelivered = r.Num(0);
    s.last_acquirer_session = r.Num(1);
  } else if (k == "modem_bits") {
    s.modem_sam_fault = r.Flag(0);
    s.modem_card_fault = r.Flag(1);
    s.modem_blocked_72h = r.Flag(2);
    s.ethernet_cable = r.Flag(3);
  } else if (k == "forced_status") {
    for (int i = 0; i < 6; ++i)
      s.forced_status[i] = static_cast<std::uint8_t>(r.Num(i, 0, 0x7F));
  } else {
    return false;
  }
  return r.ok();
}

}  // namespace

std::string SerializeStates(const std::vector<RegisterState>& states) {
  Writer w;
  w.Line(kMagic);
  for (const RegisterState& s : states)
    WriteState(w, s);
  return w.Take();
}

bool ParseStates(const std::string& text, std::vector<RegisterState>& states, std::string& error) {
  states.clear();
  // The lines of the text, as std::getline gives them: a final line break ends the last line.
  std::string_view rest(text);
  std::string_view line;
  auto next_line = [&rest, &line] {
    if (rest.empty())
      return false;
    const std::size_t end = rest.find('\n');
    line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return true;
  };
  int number = 0;
  auto fail = [&](const std::string& why) {
    error = "line " + std::to_string(number) + ": " + why;
    states.clear();
    return false;
  };
  if (!next_line() || line != kMagic) {
    number = 1;
    return fail("not a simulator state file");
  }
  number = 1;
  RegisterState* current = nullptr;
  bool payments_started = false;
  LineReader r;
  while (next_line()) {
    ++number;
    r.Read(line);
    if (r.empty())
      continue;
    if (current == nullptr) {
      if (r.key() != "register" || r.count() != 1)
        return fail("\"register <ID_DEV>\" expected");
      std::string id = r.Text(0);
      if (!r.ok() || id.empty())
        return fail("bad ID_DEV");
      states.push_back(DefaultState(id));
      current = &states.back();
      payments_started = false;
      continue;
    }
    if (r.key() == "end") {
      if (current->payment_types.empty())
        return fail("a register without payment types");
      current = nullptr;
      continue;
    }
    if (!ApplyLine(r, *current, payments_started))
      return fail("cannot read \"" + std::string(r.key()) + "\"");
  }
  if (current != nullptr)
    return fail("the file ends inside a register");
  return true;
}

bool SaveStateFile(const std::string& path, const std::vector<RegisterState>& states,
                   std::string& error) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      error = "cannot write " + temp;
      return false;
    }
    out << SerializeStates(states);
    out.flush();
    if (!out) {
      error = "cannot write " + temp;
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    error = "cannot replace " + path;
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

bool LoadStateFile(const std::string& path, std::vector<RegisterState>& states,
                   std::string& error) {
  states.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return true;  // nothing kept yet
  std::ostringstream text;
  text << in.rdbuf();
  if (!ParseStates(text.str(), states, error)) {
    error = path + ", " + error;
    return false;
  }
  return true;
}

}  // namespace tolvanet::sim
