// The settings of one serial port, as the install stores them for the port
// (a text value such as "9600,n,8,1,p" under the system's Ports key, named
// by the port's "COMn:" part), and what the serial monitor derives from
// them: the line settings it gives the port and its write time-outs.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/types.h"

namespace kit::monitors {

enum class StopBits { kOne, kOneAndHalf, kTwo };
enum class Parity : char16_t { kEven = u'e', kMark = u'm', kNone = u'n', kOdd = u'o', kSpace = u's' };
enum class FlowControl : char16_t { kNone = u' ', kXonXoff = u'x', kHardware = u'p' };

struct SerialSettings {
  std::uint32_t baud = 9600;
  Parity parity = Parity::kNone;
  std::uint8_t data_bits = 8;
  StopBits stop_bits = StopBits::kOne;
  FlowControl flow = FlowControl::kHardware;
  friend bool operator==(const SerialSettings&, const SerialSettings&) = default;
};

// The settings a port has before anything is stored for it: the port
// page's initial choice (9600 baud, no parity, 8 data bits, 1 stop bit,
// hardware flow control).
inline constexpr SerialSettings kDefaultSerialSettings{};

// The slowest and fastest line speeds a port takes.
inline constexpr std::uint32_t kMinBaud = 75;
inline constexpr std::uint32_t kMaxBaud = 921600;

// Reads "baud,parity,data,stop[,flow]": the install's five fields, or the
// four Windows writes for its own COM ports (no flow field: none). Letters
// in either case, spaces around fields ignored except a blank flow field
// (none). Refuses what no serial port can take: an unknown letter, a speed
// outside kMinBaud..kMaxBaud, data bits outside 5..8, 1.5 stop bits with 6
// or more data bits, 2 stop bits with 5 (the line settings Windows'
// SetCommState refuses).
std::optional<SerialSettings> ParseSerialSettings(WStringView text);

// The install's form: "%d,%c,%d,%.0f,%c", "1.5" for one and a half stop
// bits. ParseSerialSettings(FormatSerialSettings(s)) == s.
WString FormatSerialSettings(const SerialSettings& settings);

// Bits on the line for one character: start bit, data, parity, stop bits
// (one and a half counted as two, rounding the wait up).
std::uint32_t BitsPerCharacter(const SerialSettings& settings);

// Write time-outs of a port (COMMTIMEOUTS' write fields): a write of n
// bytes may take constant + n * per_byte milliseconds before it returns
// with what went out, so a printer that stops taking data (paper out,
// unplugged, flow control held) never holds the spooler's call for long.
struct WriteTimeouts {
  std::uint32_t per_byte_ms = 0;
  std::uint32_t constant_ms = 0;
};
// The fixed part of every write's time-out.
inline constexpr std::uint32_t kWriteTimeoutConstantMs = 5000;
// per_byte_ms: the time one character takes on the line at the port's
// speed, rounded up, and doubled as a margin for the printer's pauses.
WriteTimeouts WriteTimeoutsFor(const SerialSettings& settings);

}  // namespace kit::monitors
