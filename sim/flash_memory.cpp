#include "sim/flash_memory.h"

#include <algorithm>
#include <cstring>

namespace tolvanet::sim {

namespace {

bool AllErased(const std::uint8_t* p, std::size_t n) {
  // The first byte is erased and every byte equals the next.
  return n == 0 || (p[0] == FlashMemory::kErased && std::memcmp(p, p + 1, n - 1) == 0);
}

}  // namespace

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

void FlashMemory::Read(std::size_t address, std::uint8_t* out, std::size_t n) const {
  while (n > 0) {
    const std::size_t i = address / kPage;
    const std::size_t offset = address % kPage;
    const std::size_t part = std::min(n, PageLength(i) - offset);
    if (const std::uint8_t* p = Page(i))
      std::memcpy(out, p + offset, part);
    else
      std::memset(out, kErased, part);
    address += part;
    out += part;
    n -= part;
  }
}

void FlashMemory::Write(std::size_t address, std::string_view bytes) {
  if (address >= size_)
    return;
  std::size_t n = std::min(bytes.size(), size_ - address);
  const char* in = bytes.data();
  while (n > 0) {
    const std::size_t i = address / kPage;
    const std::size_t offset = address % kPage;
    const std::size_t part = std::min(n, PageLength(i) - offset);
    // Erased bytes written to an erased page leave it as it is.
    if (Page(i) || !AllErased(reinterpret_cast<const std::uint8_t*>(in), part))
      std::memcpy(WritablePage(i) + offset, in, part);
    address += part;
    in += part;
    n -= part;
  }
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
    if (pa && pb ? std::memcmp(pa, pb, n) != 0 : (pa || pb) && !AllErased(pa ? pa : pb, n))
      return false;
  }
  return true;
}

}  // namespace tolvanet::sim
