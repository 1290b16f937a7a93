// The receipt tape of the simulated register: documents from the printed record as lines.
#include "sim/tape.h"

#include <algorithm>

#include "link/codepage.h"

namespace tolvanet::sim {

namespace {

using Lines = std::vector<std::string>;
using Kind = PrintedLine::Kind;

constexpr const char* kGroupLetters[kTaxGroups] = {"А", "Б", "В", "Г", "Д"};

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// The first `n` characters of a UTF-8 text.
std::string_view Head(std::string_view text, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t count = 0; i < text.size(); ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[i])) && count++ == n)
      break;
  }
  return text.substr(0, i);
}

std::string Spaces(std::size_t n) {
  return std::string(n, ' ');
}

std::string Fit(std::string_view text, int width) {
  return std::string(Head(text, static_cast<std::size_t>(width)));
}

std::string Centre(std::string_view text, int width) {
  const std::string cut = Fit(text, width);
  return Spaces((static_cast<std::size_t>(width) - TextWidth(cut)) / 2) + cut;
}

// Breaks a text into lines of at most `width` characters, at a blank where one is near the end.
Lines Wrap(std::string_view text, int width) {
  Lines out;
  const auto w = static_cast<std::size_t>(std::max(width, 1));
  while (TextWidth(text) > w) {
    std::string_view head = Head(text, w);
    const std::size_t blank = head.rfind(' ');
    if (blank != std::string_view::npos && TextWidth(head.substr(0, blank)) > w / 2) {
      out.emplace_back(head.substr(0, blank));
      text.remove_prefix(blank + 1);
    } else {
      out.emplace_back(head);
      text.remove_prefix(head.size());
    }
  }
  out.emplace_back(text);
  return out;
}

// A text on the left and a figure on the right; the figure takes a line of its own when both do
// not fit.
void Row(Lines& out, std::string_view left, std::string_view right, int width) {
  const std::size_t lw = TextWidth(left);
  const std::size_t rw = TextWidth(right);
  const auto w = static_cast<std::size_t>(width);
  if (lw + 1 + rw <= w) {
    out.push_back(std::string(left) + Spaces(w - lw - rw) + std::string(right));
    return;
  }
  for (std::string& line : Wrap(left, width))
    out.push_back(std::move(line));
  out.push_back(Spaces(w > rw ? w - rw : 0) + Fit(right, width));
}

// Double-width characters as the register draws them: each one takes two places.
std::string DoubleWidth(std::string_view text, int width) {
  std::string out;
  const std::string_view cut = Head(text, static_cast<std::size_t>(width) / 2);
  for (std::size_t i = 0; i < cut.size(); ++i) {
    if (i > 0 && !IsContinuation(static_cast<unsigned char>(cut[i])))
      out += ' ';
    out += cut[i];
  }
  return out;
}

std::string TwoDigits(int n) {
  return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string DateTimeText(RegisterTime t) {
  const CivilTime c = ToCivil(t);
  return TwoDigits(c.day) + "." + TwoDigits(c.month) + "." + std::to_string(c.year) + " " +
         TwoDigits(c.hour) + ":" + TwoDigits(c.minute) + ":" + TwoDigits(c.second);
}

std::string Rule(int width) {
  return std::string(static_cast<std::size_t>(width), '-');
}

// The fields of a recorded line ("a;b;c;").
std::vector<std::string> Split(std::string_view text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ';') {
      out.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size())
    out.emplace_back(text.substr(start));
  return out;
}

class Printer {
 public:
  Printer(const PrintedDocument& doc, const RegisterState& s)
      : doc_(doc), s_(s), w_(TapeWidth(s.params.extended_flags)), flags_(s.params.document_flags) {}

  Lines Print() {
    if (doc_.report != PrintedDocument::Report::kNone) {
      Report();
    } else if (doc_.number == 0) {
      PrintedLines(0, 0, true);  // printed outside a document: only what it printed
    } else {
      switch (doc_.kind) {
        case DocKind::kSale:
        case DocKind::kReturn:
          FiscalReceipt();
          break;
        case DocKind::kCashInOut:
          CashInOut();
          break;
        case DocKind::kNonFiscal:
          NonFiscal();
          break;
      }
    }
    for (std::string& line : out_)
      line = Fit(line, w_);
    return std::move(out_);
  }

  TapeLogoPlace logo_place() const { return logo_place_; }

 private:
  void Logo() {
    if (!(flags_ & kPrintLogo) || s_.logo_width <= 0 || s_.logo_height <= 0)
      return;
    const int width = s_.logo_width;
    const int row_bytes = (width + 7) / 8;
    const int height = std::min(s_.logo_height, static_cast<int>(s_.logo.size()) / row_bytes);
    logo_place_.first = out_.size();
    const int columns = LogoColumns(width, w_);
    const int scale = (width + w_ - 1) / w_;  // pixels per character, across and per half down
    auto dark = [&](int x0, int y0) {
      for (int y = y0; y < std::min(y0 + scale, height); ++y) {
        for (int x = x0; x < std::min(x0 + scale, width); ++x) {
          const std::uint8_t byte = s_.logo[static_cast<std::size_t>(y * row_bytes + x / 8)];
          if (byte & (0x80 >> (x % 8)))
            return true;
        }
      }
      return false;
    };
    for (int y = 0; y < height; y += 2 * scale) {
      std::string line;
      for (int c = 0; c < columns; ++c) {
        const bool top = dark(c * scale, y);
        const bool bottom = dark(c * scale, y + scale);
        line += top && bottom ? "█" : top ? "▀" : bottom ? "▄" : " ";
      }
      while (!line.empty() && line.back() == ' ')
        line.pop_back();
      out_.push_back(Spaces(static_cast<std::size_t>(w_ - columns) / 2) + line);
    }
    logo_place_.lines = out_.size() - logo_place_.first;
  }

  // Programmed header and advertising lines 'first' to 'last': as programmed (centred or not);
  // one wider than the tape (programmed for wider paper) loses its outer blanks and wraps.
  void Programmed(int first, int last) {
    for (int i = first; i <= last; ++i) {
      const HeaderLine& h = s_.header[static_cast<std::size_t>(i)];
      if (h.text.empty())
        continue;
      std::string text = ShownText(h.text);
      if (h.double_width) {
        out_.push_back(DoubleWidth(text, w_));
        continue;
      }
      if (TextWidth(text) <= static_cast<std::size_t>(w_)) {
        out_.push_back(std::move(text));
        continue;
      }
      const std::size_t from = text.find_first_not_of(' ');
      const std::size_t to = text.find_last_not_of(' ');
      if (from == std::string::npos)
        continue;
      for (std::string& line : Wrap(text.substr(from, to - from + 1), w_))
        out_.push_back(Centre(line, w_));
    }
  }

  void Header() {
    Logo();
    Programmed(0, 9);
  }

  void Advertising() {
    if (!(flags_ & kNoAdvertising))
      Programmed(10, 13);
  }

  std::string ArticleName(std::int64_t code) const {
    auto it = s_.articles.find(code);
    std::string name =
        it == s_.articles.end() ? "КОД " + std::to_string(code) : ShownText(it->second.name);
    if (flags_ & kArticleCode)
      name = std::to_string(code) + " " + name;
    return name;
  }

  // One article: its name wrapped at the characters per name line, quantity x price, the sum
  // with its tax group letter.
  void Article(std::int64_t code, std::int64_t quantity, std::int64_t price, std::int64_t amount,
               int tax) {
    const int per_line = s_.params.chars_per_line > 0 && s_.params.chars_per_line < w_
                             ? s_.params.chars_per_line
                             : w_;
    Lines name = Wrap(ArticleName(code), per_line);
    const std::string sum =
        FormatMoney(amount) + " " + (tax >= 0 && tax < kTaxGroups ? kGroupLetters[tax] : " ");
    const bool show_quantity = quantity != 1000 || (flags_ & kAlwaysQuantity);
    const std::string quantity_price = FormatFixed(quantity, 3) + " x " + FormatMoney(price);
    if (show_quantity && (flags_ & kQuantityPriceTogether)) {
      for (std::string& line : name)
        out_.push_back(std::move(line));
      Row(out_, quantity_price, sum, w_);
      return;
    }
    if (show_quantity)
      out_.push_back(quantity_price);
    for (std::size_t i = 0; i + 1 < name.size(); ++i)
      out_.push_back(std::move(name[i]));
    Row(out_, name.back(), sum, w_);
  }

  void Barcode(const std::string& text) {
    const std::vector<std::string> f = Split(text);
    if (f.size() < 2 || f[1].size() != 32)
      return;
    // Modules 9..103 carry the code; each column of the tape shows its share of them.
    auto module = [&f](int m) {
      const char c = f[1][static_cast<std::size_t>(m / 4)];
      const int digit = c <= '9' ? c - '0' : c - 'A' + 10;
      return (digit >> (3 - m % 4)) & 1;
    };
    constexpr int kFirst = 9;
    constexpr int kModules = 95;
    const int columns = std::min(w_, kModules);
    std::string line;
    for (int c = 0; c < columns; ++c) {
      const int from = kFirst + c * kModules / columns;
      const int to = kFirst + (c + 1) * kModules / columns;
      int dark = 0;
      for (int m = from; m < to; ++m)
        dark += module(m);
      line += 2 * dark >= to - from ? "█" : " ";
    }
    const std::string row = Spaces(static_cast<std::size_t>(w_ - columns) / 2) + line;
    out_.push_back(row);
    out_.push_back(row);
  }

  void Recorded(const sim::PrintedLine& l) {
    switch (l.kind) {
      case Kind::kText:
        for (std::string& line : Wrap(ShownText(l.text), w_))
          out_.push_back(std::move(line));
        break;
      case Kind::kBarcode:
        Barcode(l.text);
        break;
      case Kind::kVoid: {
        const std::vector<std::string> f = Split(l.text);
        std::int64_t code = 0;
        if (!f.empty())
          code = std::strtoll(f[0].c_str(), nullptr, 10);
        auto it = s_.articles.find(code);
        out_.push_back("СТОРНО");
        Row(out_, ArticleName(code),
            FormatMoney(-l.amount) + " " +
                (it != s_.articles.end() ? kGroupLetters[it->second.tax] : " "),
            w_);
        break;
      }
      case Kind::kSale:
      case Kind::kPayment:
        break;  // from the receipt's own figures
    }
  }

  // The recorded lines printed before line `line` and payment `payment` of the receipt that are
  // not shown yet (all of them with `rest`).
  void PrintedLines(std::size_t line, std::size_t payment, bool rest) {
    for (; next_ < doc_.lines.size(); ++next_) {
      const sim::PrintedLine& l = doc_.lines[next_];
      if (!rest && (l.at_payment > payment || (l.at_payment == payment && l.at_line > line)))
        return;
      Recorded(l);
    }
  }

  void Line(const sim::ReceiptLine& l) {
    const char* letter = l.tax >= 0 && l.tax < kTaxGroups ? kGroupLetters[l.tax] : "";
    switch (l.kind) {
      case LineKind::kSale:
        Article(l.code, l.quantity, l.price, l.amount, l.tax);
        break;
      case LineKind::kItemAdjust:
        Row(out_, l.amount < 0 ? "ЗНИЖКА" : "НАДБАВКА", FormatMoney(l.amount), w_);
        break;
      case LineKind::kSubtotalAdjust:
        Row(out_, l.amount < 0 ? "ЗНИЖКА НА ЧЕК" : "НАДБАВКА НА ЧЕК", FormatMoney(l.amount), w_);
        break;
      case LineKind::kGroupAdjust:
        Row(out_, std::string(l.amount < 0 ? "ЗНИЖКА НА ГРУПУ " : "НАДБАВКА НА ГРУПУ ") + letter,
            FormatMoney(l.amount), w_);
        break;
    }
  }

  std::string PaymentName(int type) const {
    if (type >= 0 && static_cast<std::size_t>(type) < s_.payment_types.size() &&
        !s_.payment_types[static_cast<std::size_t>(type)].name.empty()) {
      return ShownText(s_.payment_types[static_cast<std::size_t>(type)].name);
    }
    return "ОПЛАТА " + std::to_string(type);
  }

  void Identity() {
    if (!s_.tax_number.empty())
      out_.push_back(Fit("ПН " + ShownText(s_.tax_number), w_));
    if (!s_.tax_id.empty())
      out_.push_back(Fit("ІД " + ShownText(s_.tax_id), w_));
    const std::string serial = "ЗН " + ShownText(s_.serial_number);
    if (s_.fiscal_number.empty())
      out_.push_back(Fit(serial, w_));
    else
      Row(out_, serial, "ФН " + ShownText(s_.fiscal_number), w_);
  }

  void NumberAndTime(const std::string& what) {
    Row(out_, what + " № " + std::to_string(doc_.number), DateTimeText(doc_.time), w_);
  }

  void FiscalReceipt() {
    const sim::Receipt& r = doc_.receipt;
    Header();
    if (doc_.kind == DocKind::kReturn) {
      out_.push_back(Centre("ВИДАТКОВИЙ ЧЕК", w_));
      out_.push_back(Centre("ПОВЕРНЕННЯ", w_));
    }
    out_.push_back(Rule(w_));
    for (std::size_t i = 0; i < r.lines.size(); ++i) {
      PrintedLines(i, 0, false);
      Line(r.lines[i]);
    }
    PrintedLines(r.lines.size(), 0, false);
    if (flags_ & kPositionCount) {
      const auto count = std::count_if(r.lines.begin(), r.lines.end(), [](const auto& l) {
        return l.kind == LineKind::kSale && !l.voided;
      });
      Row(out_, "КІЛЬКІСТЬ ПОЗИЦІЙ", std::to_string(count), w_);
    }
    out_.push_back(Rule(w_));
    if (doc_.cancelled) {
      out_.push_back(Centre("ЧЕК АНУЛЬОВАНО", w_));
      PrintedLines(0, 0, true);
      out_.push_back(Rule(w_));
      NumberAndTime("ЧЕК");
      Identity();
      return;
    }
    Row(out_, "СУМА", FormatMoney(doc_.total), w_);
    // Payments, each under its programmed name; a card payment with its transaction and the
    // card lines printed after it.
    std::size_t payment_line = 0;
    for (std::size_t i = 0; i < r.payments.size(); ++i) {
      const auto& [type, amount] = r.payments[i];
      Row(out_, PaymentName(type), FormatMoney(amount), w_);
      for (; payment_line < doc_.lines.size(); ++payment_line) {
        if (doc_.lines[payment_line].kind == Kind::kPayment)
          break;
      }
      if (payment_line < doc_.lines.size()) {
        const std::vector<std::string> f = Split(doc_.lines[payment_line].text);
        if (f.size() >= 3)
          Row(out_, "ТРАНЗАКЦІЯ", ShownText(f[2]), w_);
        ++payment_line;
      }
      PrintedLines(r.lines.size(), i + 1, false);
    }
    if (r.change != 0)
      Row(out_, "РЕШТА", FormatMoney(r.change), w_);
    PrintedLines(0, 0, true);
    out_.push_back(Rule(w_));
    for (int g = 0; g < kTaxGroups; ++g) {
      const TaxGroup& t = s_.taxes[static_cast<std::size_t>(g)];
      const bool charged = t.type != 0 && t.type != 3;
      if (!charged || doc_.taxes.turnover[static_cast<std::size_t>(g)] == 0)
        continue;
      Row(out_, std::string("ПДВ ") + kGroupLetters[g] + " " + t.rate + "%",
          FormatMoney(doc_.taxes.tax[static_cast<std::size_t>(g)]), w_);
    }
    NumberAndTime("ЧЕК");
    Identity();
    out_.push_back(Centre(s_.fiscalized ? "ФІСКАЛЬНИЙ ЧЕК" : "НЕФІСКАЛЬНИЙ ЧЕК", w_));
    Advertising();
  }

  void CashInOut() {
    const std::int64_t moved = doc_.receipt.cash_moved;
    Header();
    out_.push_back(Rule(w_));
    if (doc_.cancelled) {
      out_.push_back(Centre("ЧЕК АНУЛЬОВАНО", w_));
    } else {
      out_.push_back(Centre(moved >= 0 ? "СЛУЖБОВЕ ВНЕСЕННЯ" : "СЛУЖБОВА ВИДАЧА", w_));
      Row(out_, "СУМА", FormatMoney(moved >= 0 ? moved : -moved), w_);
      Row(out_, "ГОТІВКА В КАСІ", FormatMoney(doc_.cash), w_);
    }
    PrintedLines(0, 0, true);
    out_.push_back(Rule(w_));
    NumberAndTime("ЧЕК");
    Identity();
    out_.push_back(Centre("СЛУЖБОВИЙ ЧЕК", w_));
  }

  void NonFiscal() {
    Header();
    out_.push_back(Rule(w_));
    PrintedLines(0, 0, true);
    out_.push_back(Rule(w_));
    NumberAndTime("ЧЕК");
    Identity();
    out_.push_back(Centre("НЕФІСКАЛЬНИЙ ЧЕК", w_));
  }

  void Groups(const char* heading, const GroupTotals& groups, std::int64_t total,
              const std::vector<std::int64_t>& payments) {
    out_.push_back(heading);
    for (int g = 0; g < kTaxGroups; ++g) {
      const TaxGroup& t = s_.taxes[static_cast<std::size_t>(g)];
      const std::int64_t turnover = groups.turnover[static_cast<std::size_t>(g)];
      if (t.type == 0 && turnover == 0)
        continue;
      Row(out_, std::string("ОБІГ ") + kGroupLetters[g], FormatMoney(turnover), w_);
      if (t.type != 3) {
        Row(out_, std::string("ПДВ ") + kGroupLetters[g] + " " + t.rate + "%",
            FormatMoney(groups.tax[static_cast<std::size_t>(g)]), w_);
      }
    }
    Row(out_, "ВСЬОГО", FormatMoney(total), w_);
    for (std::size_t i = 0; i < payments.size(); ++i) {
      if (payments[i] != 0)
        Row(out_, PaymentName(static_cast<int>(i)), FormatMoney(payments[i]), w_);
    }
  }

  void Report() {
    const Shift& sh = doc_.shift;
    const bool z = doc_.report == PrintedDocument::Report::kZ;
    Header();
    out_.push_back(Rule(w_));
    out_.push_back(Centre(z ? "Z-ЗВІТ № " + std::to_string(doc_.number) : "X-ЗВІТ", w_));
    if (!z)
      out_.push_back(Centre("ЗМІНА № " + std::to_string(doc_.number), w_));
    out_.push_back(Rule(w_));
    Groups("ПРОДАЖ", sh.sales_groups, sh.sales, sh.sales_payments);
    out_.push_back(Rule(w_));
    Groups("ПОВЕРНЕННЯ", sh.returns_groups, sh.returns, sh.returns_payments);
    out_.push_back(Rule(w_));
    Row(out_, "СЛУЖБОВЕ ВНЕСЕННЯ", FormatMoney(sh.cash_in), w_);
    Row(out_, "СЛУЖБОВА ВИДАЧА", FormatMoney(-sh.cash_out), w_);
    Row(out_, "ГОТІВКА В КАСІ", FormatMoney(doc_.cash), w_);
    Row(out_, "ЧЕКІВ", std::to_string(sh.receipts), w_);
    out_.push_back(Rule(w_));
    Row(out_, z ? "ЗВІТ" : "ЧАС", DateTimeText(doc_.time), w_);
    Identity();
    if (z) {
      out_.push_back(Centre("ЗМІНУ ЗАКРИТО", w_));
      out_.push_back(Centre(s_.fiscalized ? "ФІСКАЛЬНИЙ ЗВІТ" : "НЕФІСКАЛЬНИЙ ЗВІТ", w_));
    }
  }

  const PrintedDocument& doc_;
  const RegisterState& s_;
  const int w_;
  const std::uint16_t flags_;
  Lines out_;
  std::size_t next_ = 0;  // the first recorded line not shown yet
  TapeLogoPlace logo_place_;
};

}  // namespace

int TapeWidth(std::uint8_t extended_flags) {
  const bool narrow = extended_flags & kNarrowPaper;
  if (extended_flags & kSmallReceiptFont)
    return narrow ? 42 : 48;
  return narrow ? 32 : 40;
}

std::string ShownText(std::string_view cp1251) {
  std::string out;
  std::size_t start = 0;
  auto flush = [&](std::size_t end) { out += FromCp1251(cp1251.substr(start, end - start)); };
  for (std::size_t i = 0; i < cp1251.size(); ++i) {
    const auto c = static_cast<unsigned char>(cp1251[i]);
    if (c >= 0x20 && c != 0x7F)
      continue;
    flush(i);
    start = i + 1;
    const unsigned picture = c == 0x7F ? 0x2421 : 0x2400 + c;
    out += static_cast<char>(0xE0 | (picture >> 12));
    out += static_cast<char>(0x80 | ((picture >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (picture & 0x3F));
  }
  flush(cp1251.size());
  return out;
}

std::size_t TextWidth(std::string_view utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return !IsContinuation(static_cast<unsigned char>(c));
  }));
}

std::vector<std::string> RenderTape(const PrintedDocument& doc, const RegisterState& state,
                                    TapeLogoPlace* logo) {
  Printer printer(doc, state);
  Lines lines = printer.Print();
  if (logo)
    *logo = printer.logo_place();
  return lines;
}

int LogoColumns(int logo_width, int tape_width) {
  if (logo_width <= 0 || tape_width <= 0)
    return 0;
  const int scale = (logo_width + tape_width - 1) / tape_width;
  return (logo_width + scale - 1) / scale;
}

LogoPicture StoredLogo(const RegisterState& state) {
  LogoPicture picture;
  if (state.logo_width <= 0 || state.logo_height <= 0)
    return picture;
  const int row_bytes = (state.logo_width + 7) / 8;
  picture.height = std::min(state.logo_height, static_cast<int>(state.logo.size()) / row_bytes);
  if (picture.height <= 0)
    return LogoPicture{};
  picture.width = state.logo_width;
  picture.bits.assign(state.logo.begin(),
                      state.logo.begin() + static_cast<std::ptrdiff_t>(row_bytes * picture.height));
  return picture;
}

std::string CutLine(int width) {
  std::string line = "✂";
  for (int i = 1; i < width; ++i)
    line += i % 2 ? ' ' : '-';
  return line;
}

}  // namespace tolvanet::sim
