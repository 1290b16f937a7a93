// The simulated register's printed-document record: what went on paper, document by document,
// so that tests can read what an operation printed besides what it sent.
#include "sim/register.h"

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

PrintedDocument& Register::PrintingDocumentLocked() {
  if (printed_.empty() || printed_.back().closed) {
    // Printed with no document open (a bar code on its own): a document of its own.
    PrintedDocument loose;
    loose.kind = DocKind::kNonFiscal;
    loose.closed = true;
    printed_.push_back(loose);
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
      if (printed_.size() >= kMaxPrintedDocuments)
        printed_.erase(printed_.begin(), printed_.begin() + kMaxPrintedDocuments / 2);
      PrintedDocument doc;
      doc.kind = r.kind;
      doc.number = state_.next_document;
      printed_.push_back(doc);
      return;
    }
    case 97:  // PrintText
      PrintingDocumentLocked().lines.push_back({Kind::kText, std::string(args.Raw(1))});
      return;
    case 100:  // SellItem
      PrintingDocumentLocked().lines.push_back(
          {r.state == receipt_state::kVoiding ? Kind::kVoid : Kind::kSale, Fields(args, 1, 3)});
      return;
    case 103:  // MakePayment
      PrintingDocumentLocked().lines.push_back({Kind::kPayment, Fields(args, 1, 2)});
      return;
    case 120:  // CardPayment
      PrintingDocumentLocked().lines.push_back({Kind::kPayment, Fields(args, 1, 3)});
      return;
    case 111:  // PrintEAN13Code
      PrintingDocumentLocked().lines.push_back({Kind::kBarcode, Fields(args, 1, 2)});
      return;
    case 101:  // CloseFiscalReceipt
    case 107:  // VoidReceipt
      if (r.state == receipt_state::kClosed && !printed_.empty() && !printed_.back().closed) {
        printed_.back().closed = true;
        printed_.back().cancelled = code == 107;
      }
      return;
    default:
      return;
  }
}

}  // namespace tolvanet::sim
