// The simulated register's memories: logo, firmware, fiscal (flash) memory and network
// settings.
#include <algorithm>
#include <array>

#include "link/hex.h"
#include "sim/register.h"

namespace tolvanet::sim {

namespace {

constexpr std::size_t kLogoChunk = 24;
constexpr std::size_t kFlashBlock = 50;
constexpr int kFirmwareSource = 5;
// Room for the escaped bytes of one firmware packet: the answer holds at most 207 data bytes,
// less the packet number and the separators.
constexpr std::size_t kPacketText = 190;

std::string Hex8(std::uint32_t v) {
  return HexByte(v >> 24) + HexByte((v >> 16) & 0xFF) + HexByte((v >> 8) & 0xFF) +
         HexByte(v & 0xFF);
}

// 16-bit numbers of the network settings travel low byte first.
std::string Hex16LowFirst(std::uint16_t v) {
  return HexByte(v & 0xFF) + HexByte(v >> 8);
}

// The synthetic firmware: a readable head, then bytes of every value, control bytes included.
// Each byte is a function of its position alone, so that a packet is made without the bytes
// before it.
class SyntheticFirmware {
 public:
  explicit SyntheticFirmware(const RegisterState& s)
      : head_("TOLVANET SIMULATED REGISTER FIRMWARE " + s.model + " " + s.version + '\0'),
        size_(s.firmware_size) {}
  std::size_t size() const { return size_; }
  std::uint8_t operator[](std::size_t i) const {
    if (i < head_.size())
      return static_cast<std::uint8_t>(head_[i]);
    // A 32-bit mix of the position (the finaliser of a well-known hash).
    auto x = static_cast<std::uint32_t>(i) ^ 0x2545F491u;
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return static_cast<std::uint8_t>(x >> 24);
  }

 private:
  std::string head_;
  std::size_t size_;
};

}  // namespace

std::vector<std::uint8_t> Register::FirmwareImage() const {
  std::lock_guard<std::mutex> lock(mutex_);
  const SyntheticFirmware image(state_);
  std::vector<std::uint8_t> bytes(image.size());
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = image[i];
  return bytes;
}

// ---- Logo ----

std::string Register::SetUserLogo(const CommandArgs& a, Answer&) {
  const auto chunks = static_cast<std::int64_t>(state_.logo.size() / kLogoChunk);
  const auto chunk = a.Int(1, 0, chunks - 1);
  if (!a.Has(2) || a.Raw(2).size() != kLogoChunk * 2)
    throw CommandArgs::FormatError(2);
  auto bytes = HexDecode(a.Raw(2));
  if (!bytes)
    throw CommandArgs::FormatError(2);
  std::copy(bytes->begin(), bytes->end(), state_.logo.begin() + chunk * kLogoChunk);
  return "";
}

std::string Register::SetLogoParams(const CommandArgs& a, Answer&) {
  const auto width = a.Int(1, 1, state_.logo_max_width);
  const auto row_bytes = (width + 7) / 8;
  const auto height = a.Int(2, 1, static_cast<std::int64_t>(state_.logo.size()) / row_bytes);
  state_.logo_width = static_cast<int>(width);
  state_.logo_height = static_cast<int>(height);
  return "";
}

// ---- Firmware block read ----

std::string Register::SetDataSource(const CommandArgs& a, Answer&) {
  if (a.Int(1, 0, 255) != kFirmwareSource)
    throw CommandArgs::ValueError(1);
  state_.source_selected = true;
  state_.source_position = 0;
  state_.source_packet = 0;
  return std::to_string(state_.firmware_size) + ";";
}

std::string Register::ReadDataFromBuf(const CommandArgs&, Answer&) {
  if (!state_.source_selected)
    throw DeviceError{err::kNullAddress};
  const SyntheticFirmware image(state_);
  std::string packet;
  std::size_t pos = std::min(state_.source_position, image.size());
  while (pos < image.size()) {
    const auto byte = static_cast<char>(image[pos]);
    std::string one = Escape(std::string_view(&byte, 1));
    if (packet.size() + one.size() > kPacketText)
      break;
    packet += one;
    ++pos;
  }
  state_.source_position = pos;
  std::string data = std::to_string(state_.source_packet++) + ";";
  if (!packet.empty())
    data += packet + ";";
  return data;
}

// ---- Fiscal (flash) memory ----

std::string Register::ClearFlash(const CommandArgs&, Answer&) {
  state_.flash.Erase();
  return "";
}

std::string Register::ReadFlash(const CommandArgs& a, Answer&) {
  const auto size = static_cast<std::int64_t>(state_.flash.size());
  const auto address = static_cast<std::size_t>(a.Int(1, 0, size));
  const std::size_t n = std::min(kFlashBlock, state_.flash.size() - address);
  std::string data = std::to_string(n) + ";";
  if (n > 0) {
    std::array<std::uint8_t, kFlashBlock> block;
    state_.flash.Read(address, block.data(), n);
    data += HexEncode(std::string_view(reinterpret_cast<const char*>(block.data()), n));
    data += ";";
  }
  return data;
}

std::string Register::WriteFlash(const CommandArgs& a, Answer&) {
  const auto size = static_cast<std::int64_t>(state_.flash.size());
  const auto address = a.Int(1, 0, size - 1);
  const auto count = a.Int(2, 1, static_cast<std::int64_t>(kFlashBlock));
  if (address + count > size)
    throw CommandArgs::ValueError(2);
  if (!a.Has(3) || a.Raw(3).size() != static_cast<std::size_t>(count) * 2) {
    throw CommandArgs::FormatError(3);
  }
  auto bytes = HexDecode(a.Raw(3));
  if (!bytes)
    throw CommandArgs::FormatError(3);
  state_.flash.Write(static_cast<std::size_t>(address), *bytes);
  return "";
}

// ---- Network settings ----

std::string Register::GetNetworkParams(const CommandArgs&, Answer&) {
  const NetworkSettings& n = state_.network;
  return std::string(n.dhcp ? "1" : "0") + ";" + Hex8(n.ip) + ";" + Hex8(n.mask) + ";" +
         Hex8(n.gateway) + ";" + Hex8(n.destination) + ";" + Hex16LowFirst(n.port) + ";" +
         Hex16LowFirst(n.period) + ";" + Hex16LowFirst(n.retry) + ";";
}

std::string Register::SetNetworkParams(const CommandArgs& a, Answer&) {
  auto low_first = [&a](std::size_t i) {
    const std::uint32_t v = a.Hex(i, 4);
    return static_cast<std::uint16_t>((v >> 8) | ((v & 0xFF) << 8));
  };
  NetworkSettings n;
  n.dhcp = a.Int(1, 0, 1) == 1;
  n.ip = a.Hex(2, 8);
  n.mask = a.Hex(3, 8);
  n.gateway = a.Hex(4, 8);
  n.destination = a.Hex(5, 8);
  n.port = low_first(6);
  n.period = low_first(7);
  n.retry = low_first(8);
  if (n.port == 0)
    throw CommandArgs::ValueError(6);
  if (n.period > 1440)
    throw CommandArgs::ValueError(7);
  if (n.retry > 3600)
    throw CommandArgs::ValueError(8);
  state_.network = n;
  state_.restart_needed = true;  // the interface takes the new settings after a restart
  return "";
}

}  // namespace tolvanet::sim
