// Windows 9x keeps a serial port's settings also in its port class entry,
// as the "DCB" value (a Win32 DCB record) of one of the entries
// "System\CurrentControlSet\Services\Class\Ports\0000" to "…\0003". The
// entries whose "PortSubClass" is 1 are the serial ones; the first stands
// for COM1, the second for COM2. The install brings the printer's settings
// there too, so that the port's own settings show what the printer needs.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"
#include "setup/engine/engine_context.h"
#include "setup/printer/printer_settings.h"

namespace kit::setup {

inline constexpr std::string_view kPortClassKey = "System\\CurrentControlSet\\Services\\Class\\Ports\\";
inline constexpr int kPortClassEntries = 4;   // "0000" to "0003"
inline constexpr int kPortClassComPorts = 2;  // COM1 and COM2 have entries
inline constexpr char16_t kPortSubClassValue[] = u"PortSubClass";
inline constexpr std::uint8_t kSerialPortSubClass = 1;
inline constexpr char16_t kDcbValue[] = u"DCB";

// The DCB record: 28 bytes, little-endian.
inline constexpr std::size_t kDcbSize = 28;
inline constexpr std::size_t kDcbLengthOffset = 0;  // DWORD, the record's size
inline constexpr std::size_t kDcbBaudOffset = 4;    // DWORD
inline constexpr std::size_t kDcbFlagsOffset = 8;   // DWORD of bit fields
inline constexpr std::size_t kDcbByteSizeOffset = 18;
inline constexpr std::size_t kDcbParityOffset = 19;
inline constexpr std::size_t kDcbStopBitsOffset = 20;
inline constexpr std::size_t kDcbXonCharOffset = 21;
inline constexpr std::size_t kDcbXoffCharOffset = 22;
// Bits of the flags DWORD.
inline constexpr std::uint32_t kDcbBinary = 1u << 0;
inline constexpr std::uint32_t kDcbParityCheck = 1u << 1;
inline constexpr std::uint32_t kDcbOutxCtsFlow = 1u << 2;
inline constexpr std::uint32_t kDcbOutxDsrFlow = 1u << 3;
inline constexpr int kDcbDtrControlShift = 4;  // 2 bits
inline constexpr std::uint32_t kDcbOutX = 1u << 8;
inline constexpr std::uint32_t kDcbInX = 1u << 9;
inline constexpr int kDcbRtsControlShift = 12;  // 2 bits
inline constexpr std::uint32_t kDcbControlEnable = 1;
inline constexpr std::uint32_t kDcbControlHandshake = 2;
inline constexpr std::uint8_t kXonChar = 0x11;
inline constexpr std::uint8_t kXoffChar = 0x13;

// The DCB of `base` (a stored 28-byte record; anything else gives a fresh
// one) with the port settings applied: baud rate, data bits, parity, stop
// bits and the flow control ("x": XON/XOFF both ways; "p": hardware,
// CTS watched and RTS handshaking; otherwise none). DTR is on, binary mode
// set, parity checked when there is parity. Other fields keep their bytes.
Bytes SerialDcb(const SerialSettings& settings, const Bytes& base);

// The port number of a settings value name: 1 for "COM1:", 0 when the name
// is not "COM" + digits + ":".
int ComPortNumber(std::string_view value_name);

// Windows 9x: writes the settings of "COM1:" or "COM2:" into that port's
// class entry, when it has one. Other names and failures change nothing,
// silently, like the rest of the serial settings.
void WriteSerialPortClass(EngineContext& ctx, std::string_view value_name, const SerialSettings& settings);

}  // namespace kit::setup
