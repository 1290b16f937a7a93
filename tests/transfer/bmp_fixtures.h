// Small BMP files written byte by byte, for the tests that feed the same file to the logo
// window and to the terminal tool: one that both must refuse (run-length compressed) and one
// that both must read alike (16 bits with 5-6-5 masks, where the green channel makes an
// almost-white pixel).
#pragma once

#include <cstdint>
#include <string>

namespace tolvanet::testing {

inline void PutLe(std::string& b, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// File and info headers (40 bytes) for `width` x `height` (bottom-up) with `extra` bytes
// (palette or masks) before the pixel data `pixels`.
inline std::string BmpFile(int width, int height, int bits, std::uint32_t compression,
                           const std::string& extra, const std::string& pixels) {
  std::string b(54, '\0');
  b[0] = 'B';
  b[1] = 'M';
  const auto offset = static_cast<std::uint32_t>(54 + extra.size());
  PutLe(b, 2, offset + static_cast<std::uint32_t>(pixels.size()), 4);
  PutLe(b, 10, offset, 4);
  PutLe(b, 14, 40, 4);
  PutLe(b, 18, static_cast<std::uint32_t>(width), 4);
  PutLe(b, 22, static_cast<std::uint32_t>(height), 4);
  PutLe(b, 26, 1, 2);
  PutLe(b, 28, static_cast<std::uint32_t>(bits), 2);
  PutLe(b, 30, compression, 4);
  PutLe(b, 34, static_cast<std::uint32_t>(pixels.size()), 4);
  return b + extra + pixels;
}

// 8 x 2, 8 bits, run-length compressed: a black row over a white one.
inline std::string RunLengthBmp() {
  const std::string palette("\0\0\0\0\xFF\xFF\xFF\0", 8);
  // Bottom row first: 8 x index 1, end of line; 8 x index 0, end of line; end of picture.
  const std::string runs("\x08\x01\x00\x00\x08\x00\x00\x00\x00\x01", 10);
  std::string b = BmpFile(8, 2, 8, /*RLE8*/ 1, palette, runs);
  PutLe(b, 46, 2, 4);  // colours used
  return b;
}

// 16 x 2, 16 bits with 5-6-5 masks. Top row black but its last pixel white; bottom row white
// but its first pixel 0xFFDF (green one step below full): the logo bytes are FF FE 80 00.
inline std::string Masks565Bmp() {
  std::string masks(12, '\0');
  PutLe(masks, 0, 0xF800, 4);
  PutLe(masks, 4, 0x07E0, 4);
  PutLe(masks, 8, 0x001F, 4);
  std::string pixels(64, '\0');  // two rows of 32 bytes, bottom row first
  for (int x = 0; x < 16; ++x)
    PutLe(pixels, static_cast<std::size_t>(2 * x), x == 0 ? 0xFFDF : 0xFFFF, 2);
  PutLe(pixels, 32 + 30, 0xFFFF, 2);
  return BmpFile(16, 2, 16, /*BITFIELDS*/ 3, masks, pixels);
}

// The one chunk the 5-6-5 file gives.
inline std::string Masks565Chunk() {
  return "FFFE8000" + std::string(40, '0');
}

}  // namespace tolvanet::testing
