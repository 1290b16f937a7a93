#include "sim/flash_memory.h"

#include <algorithm>
#include <cstring>

namespace tolvanet::sim {

bool AllBytesAre(const std::uint8_t* p, std::size_t n, std::uint8_t b) {
  // The first byte is `b` and every byte equals the next (one comparison of the bytes with
  // themselves shifted by one).
  return n == 0 || (p[0] == b && std::memcmp(p, p + 1, n - 1) == 0);
}

FlashMemory::FlashMemory(std::size_t size) : size_(size), pages_((size + kPage - 1) / kPage) {}

FlashMemory::FlashMemory(const FlashMemory& other) : size_(other.size_), pages_(other.PageCount()) {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (const std::uint8_t* p = other.Page(i))
      std::memcpy(WritablePage(i), p, PageLength(i));
  }
}

FlashMemory& FlashMemory::operator=(const FlashMemory& other) {
  if (this != &other)
    *this = FlashMemory(other);
  return *this;
}

std::size_t FlashMemory::PageLength(std::size_t i) const {
  return std::min(kPage, size_ - i * kPage);
}

void FlashMemory::Erase() {
  for (auto& page : pages_)
    page.reset();
}

std::uint8_t* FlashMemory::WritablePage(std::size_t i) {
  if (!pages_[i]) {
    const std::size_t n = PageLength(i);
    pages_[i] = std::make_unique_for_overwrite<std::uint8_t[]>(n);
    std::memset(pages_[i].get(), kErased, n);
  }
  return pages_[i].get();
}

template <typename Visit>
void FlashMemory::ForEachPiece(std::size_t address, std::size_t n, Visit visit) const {
  for (std::size_t done = 0; done < n;) {
    const std::size_t i = (address + done) / kPage;
    const std::size_t offset = (address + done) % kPage;
    const std::size_t len = std::min(n - done, PageLength(i) - offset);
    visit(i, offset, done, len);
    done += len;
  }
}

void FlashMemory::Read(std::size_t address, std::uint8_t* out, std::size_t n) const {
  ForEachPiece(address, n,
               [&](std::size_t i, std::size_t offset, std::size_t done, std::size_t len) {
                 if (const std::uint8_t* p = Page(i))
                   std::memcpy(out + done, p + offset, len);
                 else
                   std::memset(out + done, kErased, len);
               });
}

void FlashMemory::Write(std::size_t address, std::string_view bytes) {
  if (address >= size_)
    return;
  const auto* in = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::size_t n = std::min(bytes.size(), size_ - address);
  ForEachPiece(address, n,
               [&](std::size_t i, std::size_t offset, std::size_t done, std::size_t len) {
                 // Erased bytes written to an erased page leave it as it is.
                 if (Page(i) || !AllBytesAre(in + done, len, kErased))
                   std::memcpy(WritablePage(i) + offset, in + done, len);
               });
}

std::vector<std::uint8_t> FlashMemory::Bytes() const {
  std::vector<std::uint8_t> all(size_);
  if (size_ > 0)
    Read(0, all.data(), size_);
  return all;
}

bool operator==(const FlashMemory& a, const FlashMemory& b) {
  if (a.size_ != b.size_)
    return false;
  for (std::size_t i = 0; i < a.pages_.size(); ++i) {
    const std::uint8_t* pa = a.Page(i);
    const std::uint8_t* pb = b.Page(i);
    const std::size_t n = a.PageLength(i);
    if (pa && pb ? std::memcmp(pa, pb, n) != 0
                 : (pa || pb) && !AllBytesAre(pa ? pa : pb, n, FlashMemory::kErased))
      return false;
  }
  return true;
}

}  // namespace tolvanet::sim
