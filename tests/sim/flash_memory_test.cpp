// The flash memory against a plain block of bytes doing the same writes, and the room it takes.
#include "sim/flash_memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvanet::sim {
namespace {

constexpr std::size_t kPage = FlashMemory::kPage;

std::size_t PagesHeld(const FlashMemory& f) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < f.PageCount(); ++i)
    n += f.Page(i) != nullptr;
  return n;
}

TEST(FlashMemoryTest, WritesReadBackLikeAPlainBlock) {
  struct Write {
    std::size_t at;
    std::string bytes;
  };
  struct Case {
    std::size_t size;
    std::vector<Write> writes;
    std::size_t pages_held;
  };
  const std::string across(10, '\x5A');
  const Case cases[] = {
      {0, {{0, "ab"}}, 0},
      {120, {{0, "ab"}, {118, "xyz"}, {120, "q"}, {500, "q"}}, 1},  // the end cuts the last
      {3 * kPage + 7, {{kPage - 4, across}}, 2},                    // one write, two pages
      {3 * kPage + 7, {{3 * kPage + 5, "abcd"}}, 1},                // the short last page
      {3 * kPage, {{kPage, std::string(100, '\xFF')}}, 0},          // erased bytes take no room
      {3 * kPage, {{kPage, "a"}, {kPage, "\xFF"}}, 1},              // a page once written stays
  };
  for (const Case& c : cases) {
    FlashMemory flash(c.size);
    std::vector<std::uint8_t> plain(c.size, 0xFF);
    for (const Write& w : c.writes) {
      flash.Write(w.at, w.bytes);
      for (std::size_t i = 0; i < w.bytes.size() && w.at + i < c.size; ++i)
        plain[w.at + i] = static_cast<std::uint8_t>(w.bytes[i]);
    }
    EXPECT_EQ(flash.Bytes(), plain) << c.size;
    EXPECT_EQ(PagesHeld(flash), c.pages_held) << c.size;
    if (c.size > 5) {
      std::uint8_t some[5];
      flash.Read(c.size - 5, some, 5);
      EXPECT_EQ(std::vector<std::uint8_t>(some, some + 5),
                std::vector<std::uint8_t>(plain.end() - 5, plain.end()))
          << c.size;
    }

    const FlashMemory copy = flash;
    EXPECT_EQ(copy.Bytes(), plain) << c.size;
    flash.Erase();
    EXPECT_EQ(PagesHeld(flash), 0u);
    EXPECT_EQ(flash.Bytes(), std::vector<std::uint8_t>(c.size, 0xFF));
    EXPECT_EQ(copy.Bytes(), plain) << "the copy is its own";
  }
}

TEST(FlashMemoryTest, EqualWhenTheBytesAre) {
  FlashMemory written(2 * kPage);
  written.Write(kPage + 1, "a");
  written.Write(kPage + 1, "\xFF");  // holds a page, every byte erased again
  EXPECT_TRUE(written == FlashMemory(2 * kPage));
  EXPECT_TRUE(FlashMemory(2 * kPage) == written);
  EXPECT_FALSE(written == FlashMemory(2 * kPage + 1));

  FlashMemory other(2 * kPage);
  other.Write(2 * kPage - 1, "b");
  EXPECT_FALSE(written == other);
  EXPECT_FALSE(other == written);
  written.Write(2 * kPage - 1, "b");
  EXPECT_TRUE(written == other);
}

}  // namespace
}  // namespace tolvanet::sim
