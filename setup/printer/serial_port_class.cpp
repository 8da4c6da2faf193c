#include "setup/printer/serial_port_class.h"

#include <cstdio>
#include <optional>

namespace kit::setup {
namespace {

constexpr std::string_view kComPrefix = "COM";
constexpr std::uint32_t kTwoBits = 3;

// DCB parity and stop-bit codes.
enum : std::uint8_t { kNoParity = 0, kOddParity = 1, kEvenParity = 2, kMarkParity = 3, kSpaceParity = 4 };
enum : std::uint8_t { kOneStopBit = 0, kOne5StopBits = 1, kTwoStopBits = 2 };

std::uint32_t GetLe32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
void PutLe32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

Bytes FreshDcb() {
  Bytes dcb(kDcbSize, 0);
  PutLe32(dcb, kDcbLengthOffset, static_cast<std::uint32_t>(kDcbSize));
  dcb[kDcbXonCharOffset] = kXonChar;
  dcb[kDcbXoffCharOffset] = kXoffChar;
  return dcb;
}

// The parity letter's code; nullopt keeps the stored one.
std::optional<std::uint8_t> ParityCode(char letter) {
  switch (letter) {
    case 'n': case 'N': return kNoParity;
    case 'o': case 'O': return kOddParity;
    case 'e': case 'E': return kEvenParity;
    case 'm': case 'M': return kMarkParity;
    case 's': case 'S': return kSpaceParity;
  }
  return std::nullopt;
}

std::uint8_t StopBitsCode(double stop_bits) {
  const int tenths = static_cast<int>(stop_bits * 10 + 0.5);
  if (tenths == 15) return kOne5StopBits;
  return tenths >= 20 ? kTwoStopBits : kOneStopBit;
}

}  // namespace

Bytes SerialDcb(const SerialSettings& settings, const Bytes& base) {
  Bytes dcb = base.size() == kDcbSize && GetLe32(base, kDcbLengthOffset) == kDcbSize ? base : FreshDcb();
  PutLe32(dcb, kDcbBaudOffset, static_cast<std::uint32_t>(settings.baud_rate));
  dcb[kDcbByteSizeOffset] = static_cast<std::uint8_t>(settings.data_bits);
  if (const auto parity = ParityCode(settings.parity)) dcb[kDcbParityOffset] = *parity;
  dcb[kDcbStopBitsOffset] = StopBitsCode(settings.stop_bits);

  std::uint32_t flags = GetLe32(dcb, kDcbFlagsOffset);
  flags &= ~(kDcbParityCheck | kDcbOutxCtsFlow | kDcbOutxDsrFlow | kDcbOutX | kDcbInX |
             kTwoBits << kDcbDtrControlShift | kTwoBits << kDcbRtsControlShift);
  flags |= kDcbBinary | kDcbControlEnable << kDcbDtrControlShift;
  if (dcb[kDcbParityOffset] != kNoParity) flags |= kDcbParityCheck;
  switch (settings.flow) {
    case 'x': flags |= kDcbOutX | kDcbInX | kDcbControlEnable << kDcbRtsControlShift; break;
    case 'p': flags |= kDcbOutxCtsFlow | kDcbControlHandshake << kDcbRtsControlShift; break;
    default: flags |= kDcbControlEnable << kDcbRtsControlShift; break;
  }
  PutLe32(dcb, kDcbFlagsOffset, flags);
  return dcb;
}

int ComPortNumber(std::string_view name) {
  if (name.substr(0, kComPrefix.size()) != kComPrefix) return 0;
  int number = 0;
  std::size_t at = kComPrefix.size();
  for (; at < name.size() && name[at] >= '0' && name[at] <= '9' && number < 1000; ++at) {
    number = number * 10 + (name[at] - '0');
  }
  return at > kComPrefix.size() && at + 1 == name.size() && name[at] == ':' ? number : 0;
}

void WriteSerialPortClass(EngineContext& ctx, std::string_view value_name, const SerialSettings& settings) {
  const int port = ComPortNumber(value_name);
  if (port < 1 || port > kPortClassComPorts) return;
  int serial_seen = 0;
  for (int entry = 0; entry < kPortClassEntries; ++entry) {
    char name[8];
    std::snprintf(name, sizeof name, "%04d", entry);
    RegistryKeyPtr key;
    if (ctx.platform.registry.RegOpenKeyEx(RootKey::kLocalMachine, ctx.Wide(std::string(kPortClassKey) + name),
                                           ctx.KeyAccess(), &key) != win32::kErrorSuccess)
      continue;
    // "PortSubClass" is one byte (binary) on Windows 9x; a DWORD reads alike.
    std::uint8_t sub_class[4] = {};
    std::uint32_t type = 0, size = sizeof sub_class;
    if (key->QueryValue(kPortSubClassValue, &type, sub_class, &size) != win32::kErrorSuccess || size == 0 ||
        sub_class[0] != kSerialPortSubClass)
      continue;
    if (++serial_seen != port) continue;

    Bytes stored(kDcbSize);
    std::uint32_t stored_size = static_cast<std::uint32_t>(stored.size());
    std::uint32_t stored_type = 0;
    if (key->QueryValue(kDcbValue, &stored_type, stored.data(), &stored_size) != win32::kErrorSuccess ||
        stored_type != kRegBinary)
      stored.clear();
    else
      stored.resize(stored_size);
    const Bytes dcb = SerialDcb(settings, stored);
    key->SetValue(kDcbValue, kRegBinary, dcb.data(), static_cast<std::uint32_t>(dcb.size()));
    return;
  }
}

}  // namespace kit::setup
