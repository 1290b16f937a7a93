// BMP files for the logo, read without a toolkit: every size and offset is checked against the
// file before it is used.
#include <bit>
#include <cstdio>
#include <fstream>

#include "link/translate.h"
#include "transfer/logo.h"

namespace tolvanet::transfer {

namespace {

constexpr const char* kNotBmp = TrNoop("Файл не является рисунком BMP.");
constexpr const char* kDamaged = TrNoop("Файл BMP повреждён: данные рисунка обрываются.");
constexpr const char* kUnsupported =
    TrNoop("Этот вид файла BMP не поддерживается (сжатие или глубина цвета).");
constexpr const char* kTooLarge = TrNoop("Рисунок BMP слишком велик.");
constexpr const char* kBadPalette = TrNoop("Файл BMP повреждён: неверная палитра.");

// Far beyond any logo, small enough that the pixel grid always fits in memory.
constexpr std::int64_t kMaxSide = 32768;
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

class Reader {
 public:
  explicit Reader(const std::string& bytes) : b_(bytes) {}
  bool Has(std::uint64_t offset, std::uint64_t n) const {
    return offset <= b_.size() && n <= b_.size() - offset;
  }
  std::uint32_t U8(std::size_t at) const { return static_cast<unsigned char>(b_[at]); }
  std::uint32_t U16(std::size_t at) const { return U8(at) | (U8(at + 1) << 8); }
  std::uint32_t U32(std::size_t at) const { return U16(at) | (U16(at + 2) << 16); }

 private:
  const std::string& b_;
};

// One colour component under a bit mask, scaled to 0..255.
std::uint32_t Component(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0)
    return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t max = mask >> shift;
  const std::uint64_t v = (value & mask) >> shift;
  return static_cast<std::uint32_t>(v * 255 / max);
}

std::optional<Picture> Fail(std::string* error, const char* text) {
  if (error)
    *error = Tr(text);
  return std::nullopt;
}

}  // namespace

std::optional<Picture> ParseBmp(const std::string& bytes, std::string* error) {
  const Reader r(bytes);
  if (!r.Has(0, 18) || bytes[0] != 'B' || bytes[1] != 'M')
    return Fail(error, kNotBmp);
  const std::uint32_t data_offset = r.U32(10);
  const std::uint32_t header = r.U32(14);
  if (!r.Has(14, header))
    return Fail(error, kDamaged);

  std::int64_t width = 0, height = 0;
  std::uint32_t bpp = 0, compression = kRgb, colours_used = 0;
  std::size_t palette_entry = 4;
  if (header == 12) {  // the old core header
    width = r.U16(18);
    height = static_cast<std::int16_t>(r.U16(20));
    bpp = r.U16(24);
    palette_entry = 3;
  } else if (header >= 40) {
    width = static_cast<std::int32_t>(r.U32(18));
    height = static_cast<std::int32_t>(r.U32(22));
    bpp = r.U16(28);
    compression = r.U32(30);
    colours_used = r.U32(46);
  } else {
    return Fail(error, kUnsupported);
  }
  const bool top_down = height < 0;
  if (top_down)
    height = -height;
  if (width <= 0 || height <= 0)
    return Fail(error, kNotBmp);
  if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
    return Fail(error, kTooLarge);

  // Masks of 16- and 32-bit pixels: in the header from version 4 on, else right after it.
  std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  std::size_t palette_at = 14 + static_cast<std::size_t>(header);
  if (bpp == 32 || bpp == 24) {
    masks[0] = 0xFF0000;
    masks[1] = 0x00FF00;
    masks[2] = 0x0000FF;
  }
  if (compression == kBitFields || compression == kAlphaBitFields) {
    if (bpp != 16 && bpp != 32)
      return Fail(error, kUnsupported);
    std::size_t at = 14 + 40;
    if (header == 40) {
      at = palette_at;
      palette_at += compression == kAlphaBitFields ? 16 : 12;
    }
    if (!r.Has(at, 12))
      return Fail(error, kDamaged);
    for (int i = 0; i < 3; ++i)
      masks[i] = r.U32(at + 4 * i);
  } else if (compression != kRgb) {
    return Fail(error, kUnsupported);
  }
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return Fail(error, kUnsupported);

  std::vector<std::uint32_t> palette;
  if (bpp <= 8) {
    const std::uint32_t most = 1u << bpp;
    const std::uint32_t n = colours_used == 0 ? most : colours_used;
    if (n > most)
      return Fail(error, kBadPalette);
    if (!r.Has(palette_at, std::uint64_t{n} * palette_entry))
      return Fail(error, kDamaged);
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::size_t at = palette_at + i * palette_entry;
      palette.push_back((r.U8(at + 2) << 16) | (r.U8(at + 1) << 8) | r.U8(at));
    }
  }

  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4;
  if (!r.Has(data_offset, stride * static_cast<std::uint64_t>(height)))
    return Fail(error, kDamaged);

  Picture picture;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.pixels.resize(static_cast<std::size_t>(width * height));
  for (std::int64_t y = 0; y < height; ++y) {
    const std::int64_t file_row = top_down ? y : height - 1 - y;
    const std::size_t row = data_offset + static_cast<std::size_t>(file_row * stride);
    for (std::int64_t x = 0; x < width; ++x) {
      std::uint32_t colour = 0;
      if (bpp <= 8) {
        const std::uint64_t bit = static_cast<std::uint64_t>(x) * bpp;
        const std::uint32_t byte = r.U8(row + bit / 8);
        const std::uint32_t index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        if (index >= palette.size())
          return Fail(error, kBadPalette);
        colour = palette[index];
      } else {
        const std::size_t at = row + static_cast<std::size_t>(x) * (bpp / 8);
        const std::uint32_t value = bpp == 16   ? r.U16(at)
                                    : bpp == 24 ? r.U16(at) | (r.U8(at + 2) << 16)
                                                : r.U32(at);
        colour = (Component(value, masks[0]) << 16) | (Component(value, masks[1]) << 8) |
                 Component(value, masks[2]);
      }
      picture.pixels[static_cast<std::size_t>(y * width + x)] = colour;
    }
  }
  return picture;
}

std::optional<Picture> ReadBmp(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error)
      *error = TrArgs(Tr("Не удалось открыть файл: %1"), {path});
    return std::nullopt;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0);
  // Room for the largest picture at 32 bits per pixel, with its headers.
  constexpr std::streamoff kMaxFile = 4 * kMaxPixels + (1 << 16);
  if (size < 0 || size > kMaxFile)
    return Fail(error, size < 0 ? kNotBmp : kTooLarge);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), size))
    return Fail(error, kDamaged);
  return ParseBmp(bytes, error);
}

}  // namespace tolvanet::transfer
