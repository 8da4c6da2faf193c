// PORT_DATA_1 codec. This file is OS-independent.
#include "platform/port_data.h"

namespace kit {
namespace {

// Byte offsets of PORT_DATA_1 (WCHAR fields, DWORDs aligned to 4).
constexpr std::size_t kOffPortName = 0;
constexpr std::size_t kOffVersion = 128;
constexpr std::size_t kOffProtocol = 132;
constexpr std::size_t kOffSize = 136;
constexpr std::size_t kOffReserved = 140;
constexpr std::size_t kOffHostAddress = 144;
constexpr std::size_t kOffSnmpCommunity = 242;
constexpr std::size_t kOffDoubleSpool = 308;
constexpr std::size_t kOffQueue = 312;
constexpr std::size_t kOffIpAddress = 378;
constexpr std::size_t kOffReservedBytes = 410;  // 540 bytes, then 2 of padding
constexpr std::size_t kOffPortNumber = 952;
constexpr std::size_t kOffSnmpEnabled = 956;
constexpr std::size_t kOffSnmpDevIndex = 960;
static_assert(kOffReserved + 4 == kOffHostAddress);
static_assert(kOffHostAddress + 2 * kPortDataHostAddressChars == kOffSnmpCommunity);
static_assert(kOffSnmpCommunity + 2 * kPortDataSnmpCommunityChars == kOffDoubleSpool);
static_assert(kOffQueue + 2 * kPortDataQueueChars == kOffIpAddress);
static_assert(kOffIpAddress + 2 * kPortDataIpAddressChars == kOffReservedBytes);
static_assert(kOffReservedBytes + 540 + 2 == kOffPortNumber);
static_assert(kOffSnmpDevIndex + 4 == kPortData1Size);

void PutDword(Bytes& b, std::size_t off, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[off + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t GetDword(const Bytes& b, std::size_t off) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(b[off + i]) << (8 * i);
  return v;
}
// Writes at most chars - 1 characters and leaves the rest zero.
void PutText(Bytes& b, std::size_t off, std::size_t chars, WStringView text) {
  for (std::size_t i = 0; i < text.size() && i + 1 < chars; ++i) {
    if (text[i] == 0) break;
    b[off + 2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    b[off + 2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
}
// Reads up to the first NUL or the end of the field.
WString GetText(const Bytes& b, std::size_t off, std::size_t chars) {
  WString out;
  for (std::size_t i = 0; i < chars; ++i) {
    const char16_t c = static_cast<char16_t>(b[off + 2 * i] | (b[off + 2 * i + 1] << 8));
    if (c == 0) break;
    out.push_back(c);
  }
  return out;
}

}  // namespace

Bytes EncodePortData1(const PortData1& data) {
  Bytes b(kPortData1Size, 0);
  PutText(b, kOffPortName, kPortDataPortNameChars, data.port_name);
  PutDword(b, kOffVersion, data.version);
  PutDword(b, kOffProtocol, data.protocol);
  PutDword(b, kOffSize, data.size);
  PutText(b, kOffHostAddress, kPortDataHostAddressChars, data.host_address);
  PutText(b, kOffSnmpCommunity, kPortDataSnmpCommunityChars, data.snmp_community);
  PutDword(b, kOffDoubleSpool, data.double_spool);
  PutText(b, kOffQueue, kPortDataQueueChars, data.queue);
  PutText(b, kOffIpAddress, kPortDataIpAddressChars, data.ip_address);
  PutDword(b, kOffPortNumber, data.port_number);
  PutDword(b, kOffSnmpEnabled, data.snmp_enabled);
  PutDword(b, kOffSnmpDevIndex, data.snmp_dev_index);
  return b;
}

std::optional<PortData1> DecodePortData1(const Bytes& b) {
  if (b.size() < kPortData1Size) return std::nullopt;
  PortData1 d;
  d.port_name = GetText(b, kOffPortName, kPortDataPortNameChars);
  d.version = GetDword(b, kOffVersion);
  d.protocol = GetDword(b, kOffProtocol);
  d.size = GetDword(b, kOffSize);
  d.host_address = GetText(b, kOffHostAddress, kPortDataHostAddressChars);
  d.snmp_community = GetText(b, kOffSnmpCommunity, kPortDataSnmpCommunityChars);
  d.double_spool = GetDword(b, kOffDoubleSpool);
  d.queue = GetText(b, kOffQueue, kPortDataQueueChars);
  d.ip_address = GetText(b, kOffIpAddress, kPortDataIpAddressChars);
  d.port_number = GetDword(b, kOffPortNumber);
  d.snmp_enabled = GetDword(b, kOffSnmpEnabled);
  d.snmp_dev_index = GetDword(b, kOffSnmpDevIndex);
  return d;
}

}  // namespace kit
