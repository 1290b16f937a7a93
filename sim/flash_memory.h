// The fiscal (flash) memory of a simulated register. Erased bytes read 0xFF; only the pages that
// have been written take room, so a register with a flash of tens of mebibytes costs what it
// holds, and copying or saving its state passes over the erased pages without touching them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tolvanet::sim {

// Whether the `n` bytes at `p` are all `b`.
bool AllBytesAre(const std::uint8_t* p, std::size_t n, std::uint8_t b);

class FlashMemory {
 public:
  static constexpr std::uint8_t kErased = 0xFF;
  static constexpr std::size_t kPage = 64 * 1024;

  FlashMemory() = default;
  explicit FlashMemory(std::size_t size);
  FlashMemory(const FlashMemory& other);
  FlashMemory& operator=(const FlashMemory& other);
  FlashMemory(FlashMemory&&) noexcept = default;
  FlashMemory& operator=(FlashMemory&&) noexcept = default;

  std::size_t size() const { return size_; }

  // Erases every byte.
  void Erase();
  // Copies `n` bytes from `address` into `out`; the range must lie inside the memory.
  void Read(std::size_t address, std::uint8_t* out, std::size_t n) const;
  // Writes `bytes` from `address`; what would lie past the end is left out.
  void Write(std::size_t address, std::string_view bytes);

  // The pages, for whoever walks the memory in order: page `i` holds the bytes from
  // i * kPage, PageLength(i) of them; Page(i) is null while the whole page is erased.
  std::size_t PageCount() const { return pages_.size(); }
  std::size_t PageLength(std::size_t i) const;
  const std::uint8_t* Page(std::size_t i) const { return pages_[i].get(); }

  // The whole memory as one block.
  std::vector<std::uint8_t> Bytes() const;

  friend bool operator==(const FlashMemory& a, const FlashMemory& b);

 private:
  std::uint8_t* WritablePage(std::size_t i);
  // Calls visit(page, offset in the page, offset in the range, length) for each piece of the
  // range of `n` bytes from `address` that one page holds.
  template <typename Visit>
  void ForEachPiece(std::size_t address, std::size_t n, Visit visit) const;

  std::size_t size_ = 0;
  std::vector<std::unique_ptr<std::uint8_t[]>> pages_;
};

}  // namespace tolvanet::sim
