// The logo as the register takes it: a picture's pixels packed into a bit stream and cut into
// numbered chunks of hexadecimal text; and the BMP files such pictures come from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvanet::transfer {

inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::size_t kLogoChunkBytes = 24;

// A picture as a plain grid: row by row from the top, each row from the left, one 0xRRGGBB
// colour per pixel.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  bool Valid() const {
    return width > 0 && height > 0 &&
           pixels.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  }
};

// The top-left `width` x `height` pixels (both within the picture) as bits: exact white is 0,
// any other colour 1, the first pixel of a byte in its top bit, every row on a byte boundary.
std::string LogoBitStream(const Picture& picture, int width, int height);

// The stream in chunks of 24 bytes, each as 48 upper-case hexadecimal characters; the last
// chunk is filled up with "00" pairs. A stream of a multiple of 24 bytes has no empty chunk.
std::vector<std::string> LogoChunks(const std::string& stream);

// Reads a BMP file of 1, 4, 8, 16, 24 or 32 bits per pixel (uncompressed or with bit-field
// masks), bottom-up or top-down. On failure `error` says why (UTF-8) and nothing is returned.
std::optional<Picture> ReadBmp(const std::string& path, std::string* error);
std::optional<Picture> ParseBmp(const std::string& bytes, std::string* error);

}  // namespace tolvanet::transfer
