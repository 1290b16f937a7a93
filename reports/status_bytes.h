// What the status bytes say: the caption of every bit and the receipt states of byte 2. The
// captions are the original texts; whoever shows one translates it there (TrText).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tolvanet {

struct StatusByteGroup {
  const char* title;                // the group's caption
  int first_check_box;              // number of the check box of bit 0x01 in the status window
  std::array<const char*, 8> bits;  // captions of bits 0x01 .. 0x80
};

// The six status bytes in order 0..5.
const std::array<StatusByteGroup, 6>& StatusByteGroups();

// The sixteen receipt states (low four bits of status byte 2); 10..15 have no text.
const std::array<std::string, 16>& ReceiptStates();

// The receipt state item for a status byte 2 value.
const std::string& ReceiptState(std::uint8_t status_byte2);

}  // namespace tolvanet
