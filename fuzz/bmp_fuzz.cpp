// The BMP reader on arbitrary files: a refusal with one of its messages, or a picture inside
// the reader's bounds whose every pixel is a 24-bit colour. The bytes are a heap copy of
// exactly the input's size, so a read past the file's end is caught.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "link/codepage.h"
#include "transfer/logo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvanet;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string error = "not touched";
  const std::optional<transfer::Picture> picture = transfer::ParseBmp(bytes, &error);
  if (!picture) {
    FUZZ_CHECK(error != "not touched" && !error.empty() && IsValidUtf8(error));
    return 0;
  }
  FUZZ_CHECK(error == "not touched");
  FUZZ_CHECK(picture->Valid());
  FUZZ_CHECK(picture->width <= 32768 && picture->height <= 32768);
  FUZZ_CHECK(picture->pixels.size() <= (std::size_t{1} << 26));
  // The pixels come from the file: a picture never holds more pixels than the file has bits.
  FUZZ_CHECK(picture->pixels.size() <= 8 * size);
  for (std::uint32_t colour : picture->pixels)
    FUZZ_CHECK(colour <= 0xFFFFFF);

  // What the logo takes from it: one bit per pixel, every row on a byte boundary.
  const int width = picture->width < 400 ? picture->width : 400;
  const int height = picture->height < 200 ? picture->height : 200;
  const std::string stream = transfer::LogoBitStream(*picture, width, height);
  FUZZ_CHECK(stream.size() == static_cast<std::size_t>((width + 7) / 8 * height));
  // The same reader without a place for its message refuses and accepts alike.
  FUZZ_CHECK(transfer::ParseBmp(bytes, nullptr).has_value());
  return 0;
}
