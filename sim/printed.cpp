// The simulated register's printed-document record: what went on paper, document by document,
// so that tests can read what an operation printed besides what it sent.
#include "sim/register.h"
#include "sim/tape.h"

namespace tolvanet::sim {

namespace {

// The raw fields first .. last of a command text, each followed by ";".
std::string Fields(const CommandArgs& args, std::size_t first, std::size_t last) {
  std::string text;
  for (std::size_t i = first; i <= last && args.Has(i); ++i) {
    text += args.Raw(i);
    text += ';';
  }
  return text;
}

}  // namespace

std::vector<PrintedDocument> Register::printed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return printed_;
}

void Register::ClearPrinted() {
  std::lock_guard<std::mutex> lock(mutex_);
  printed_.clear();
}

void Register::SetPrintSink(PrintSink sink) {
  // Waits for a sink at work: once this returns the old one is never called again.
  std::lock_guard<std::mutex> order(sink_mutex_);
  std::lock_guard<std::mutex> lock(mutex_);
  sink_ = std::move(sink);
}

void Register::PushPrintedLocked(PrintedDocument doc) {
  if (printed_.size() >= kMaxPrintedDocuments)
    printed_.erase(printed_.begin(), printed_.begin() + kMaxPrintedDocuments / 2);
  printed_.push_back(std::move(doc));
}

void Register::FinishPrintedLocked(PrintedDocument& doc) {
  doc.closed = true;
  TapeLogoPlace logo;
  doc.tape = RenderTape(doc, state_, &logo);
  doc.tape_width = TapeWidth(state_.params.extended_flags);
  if (logo.lines > 0) {
    // One picture for every document that printed the same logo.
    LogoPicture picture = StoredLogo(state_);
    if (!logo_picture_ || *logo_picture_ != picture)
      logo_picture_ = std::make_shared<const LogoPicture>(std::move(picture));
    doc.logo_first = logo.first;
    doc.logo_lines = logo.lines;
    doc.logo = logo_picture_;
  }
  if (sink_)
    to_sink_.push_back(doc);
}

void Register::DeliverPrinted() {
  std::vector<PrintedDocument> docs;
  PrintSink sink;
  // The sink lock is taken first, so that two connections cannot hand documents over crossed.
  std::lock_guard<std::mutex> order(sink_mutex_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    docs.swap(to_sink_);
    sink = sink_;
  }
  if (!sink)
    return;
  for (const PrintedDocument& doc : docs)
    sink(doc);
}

PrintedDocument& Register::PrintingDocumentLocked() {
  if (printed_.empty() || printed_.back().closed) {
    // Printed with no document open (a bar code on its own): a document of its own.
    PrintedDocument loose;
    loose.kind = DocKind::kNonFiscal;
    loose.time = NowLocked();
    PushPrintedLocked(std::move(loose));
  }
  return printed_.back();
}

void Register::RecordPrintedLocked(std::uint8_t code, const CommandArgs& args) {
  using Kind = PrintedLine::Kind;
  const Receipt& r = state_.receipt;
  switch (code) {
    case 96:  // OpenNonFiscalReceipt
    case 99:  // OpenFiscalReceipt
    {
      PrintedDocument doc;
      doc.kind = r.kind;
      doc.number = state_.next_document;
      PushPrintedLocked(std::move(doc));
      return;
    }
    case 97:  // PrintText
      AddPrintedLineLocked({Kind::kText, std::string(args.Raw(1))});
      return;
    case 100:  // SellItem
      if (r.state == receipt_state::kVoiding && last_voided_line_ < r.lines.size()) {
        // The line taken back, with the adjustments that went with it.
        PrintedLine line{Kind::kVoid, Fields(args, 1, 3)};
        line.amount = r.lines[last_voided_line_].amount;
        for (std::size_t j = last_voided_line_ + 1;
             j < r.lines.size() && r.lines[j].kind == LineKind::kItemAdjust; ++j) {
          line.amount += r.lines[j].amount;
        }
        AddPrintedLineLocked(std::move(line));
      } else {
        AddPrintedLineLocked({Kind::kSale, Fields(args, 1, 3)});
      }
      return;
    case 103:  // MakePayment
      AddPrintedLineLocked({Kind::kPayment, Fields(args, 1, 2)});
      return;
    case 120:  // CardPayment
      AddPrintedLineLocked({Kind::kPayment, Fields(args, 1, 3)});
      return;
    case 111: {  // PrintEAN13Code
      const bool loose = printed_.empty() || printed_.back().closed;
      AddPrintedLineLocked({Kind::kBarcode, Fields(args, 1, 2)});
      if (loose)
        FinishPrintedLocked(printed_.back());
      return;
    }
    case 101:  // CloseFiscalReceipt
    case 107:  // VoidReceipt
      if (r.state == receipt_state::kClosed && !printed_.empty() && !printed_.back().closed) {
        PrintedDocument& doc = printed_.back();
        doc.cancelled = code == 107;
        doc.time = finishing_.time;
        doc.receipt = std::move(finishing_.receipt);
        doc.total = finishing_.total;
        doc.taxes = finishing_.taxes;
        doc.cash = finishing_.cash;
        FinishPrintedLocked(doc);
      }
      return;
    case 161:  // PrintReport: the X and Z reports are documents of their own
      if (finishing_.report != PrintedDocument::Report::kNone) {
        PrintedDocument doc = std::move(finishing_);
        finishing_ = PrintedDocument{};
        doc.kind = DocKind::kNonFiscal;
        PushPrintedLocked(std::move(doc));
        FinishPrintedLocked(printed_.back());
      }
      return;
    default:
      return;
  }
}

void Register::AddPrintedLineLocked(PrintedLine line) {
  const Receipt& r = state_.receipt;
  PrintedDocument& doc = PrintingDocumentLocked();
  if (!doc.closed) {
    line.at_line = r.lines.size();
    line.at_payment = r.payments.size();
  }
  doc.lines.push_back(std::move(line));
}

}  // namespace tolvanet::sim
