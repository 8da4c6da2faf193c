// The standard TCP/IP port monitor's PORT_DATA_1 record, as the "AddPort"
// Xcv command takes it: 964 bytes, little-endian, UTF-16 text in fixed
// fields. Encoded and decoded with explicit offsets.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/types.h"

namespace kit {

inline constexpr std::size_t kPortData1Size = 964;
inline constexpr std::uint32_t kPortDataVersion1 = 1;
inline constexpr std::uint32_t kProtocolRawTcp = 1;
inline constexpr std::uint32_t kProtocolLpr = 2;

// Field capacities in characters, terminator included.
inline constexpr std::size_t kPortDataPortNameChars = 64;
inline constexpr std::size_t kPortDataHostAddressChars = 49;
inline constexpr std::size_t kPortDataSnmpCommunityChars = 33;
inline constexpr std::size_t kPortDataQueueChars = 33;
inline constexpr std::size_t kPortDataIpAddressChars = 16;

struct PortData1 {
  WString port_name;
  std::uint32_t version = kPortDataVersion1;
  std::uint32_t protocol = kProtocolRawTcp;
  std::uint32_t size = kPortData1Size;  // cbSize as written in the record
  WString host_address;
  WString snmp_community;
  std::uint32_t double_spool = 0;
  WString queue;
  WString ip_address;
  std::uint32_t port_number = 0;
  std::uint32_t snmp_enabled = 0;
  std::uint32_t snmp_dev_index = 0;
};

// Writes the record; texts longer than a field are cut to fit.
Bytes EncodePortData1(const PortData1& data);
// Reads a record; nullopt when `bytes` is shorter than the record.
std::optional<PortData1> DecodePortData1(const Bytes& bytes);

}  // namespace kit
