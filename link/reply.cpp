#include "link/reply.h"

#include "link/hex.h"

namespace tolvanet {

const std::array<StatusBitMap, 25>& StatusBitTable() {
  using namespace status_bits;
  static const std::array<StatusBitMap, 25> table{{
      {0, 0x01, kServiceMode},
      {0, 0x02, kDocBufferNearEnd},
      {0, 0x04, kClockNotSet},
      {0, 0x10, kPrinterFault},
      {1, 0x01, kReceiptPaperLow},
      {1, 0x02, kJournalPaperLow},
      {1, 0x04, kReceiptPaperOut},
      {1, 0x08, kJournalPaperOut},
      {1, 0x10, kCoverOpen},
      {2, 0x01, kReceiptState},
      {2, 0x08, kReceiptCurrentState},
      {2, 0x20, kReceiptReserve},
      {1, 0x20, kManualFeed},
      {4, 0x04, kFiscalMemoryNearFull},
      {5, 0x20, kClockNeedsAdjust},
      {4, 0x01, kSerialProgrammed},
      {4, 0x10, kIdDevSet},
      {5, 0x01, kReserve5_0},
      {5, 0x04, kBatteryLow},
      {4, 0x08, kFiscalMemoryFull},
      {5, 0x02, kReserve5_1},
      {5, 0x08, kAlarm},
      {5, 0x10, kShiftOpen},
      {0, 0x20, kRestartNeeded},
      {4, 0x20, kPersonalized},
  }};
  return table;
}

std::uint32_t BuildStatusFlags(const LinkOutcome& link, const std::array<std::uint8_t, 6>& raw) {
  if (!link.frame_ended)
    return status_bits::kNoAnswer;
  if (link.nak)
    return status_bits::kNak;
  if (link.checksum_error)
    return status_bits::kChecksumError;
  std::uint32_t flags = 0;
  for (const auto& row : StatusBitTable()) {
    if (raw[row.byte] & row.mask)
      flags |= row.flag;
  }
  return flags;
}

const std::string& ReplyRecord::Field(int i) const {
  static const std::string empty;
  if (i < 0 || i >= kMaxFields)
    return empty;
  return fields[i];
}

void SplitFields(std::string_view data, ReplyRecord& reply) {
  for (auto& f : reply.fields)
    f.clear();
  reply.field_count = 0;
  if (data.empty())
    return;
  if (data.back() == ';')
    data.remove_suffix(1);
  int count = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    // A ";" splits only when another character follows it.
    if (data[i] != ';' || i + 1 >= data.size())
      continue;
    if (count == kMaxFields - 1)
      break;  // the last slot keeps the rest
    reply.fields[count++].assign(data.substr(start, i - start));
    start = i + 1;
  }
  reply.fields[count++].assign(data.substr(start));
  reply.field_count = count;
}

std::string StatusText(const ReplyRecord& reply) {
  std::string out;
  for (auto b : reply.status_bytes) {
    out += HexByte(b);
    out += ' ';
  }
  return out;
}

}  // namespace tolvanet
