// Splits a raw printer job into commands: the kit's own (brackets,
// self-test, logos, barcode and QR test prints) and the escape sequences a
// till program's receipt jobs use (print modes, alignment, feeds, code page,
// cut, drawer, buzzer, printing a stored logo). The decoder names them and
// the virtual printer draws them. A command that is cut short or not known
// is taken whole by its length (kSkipped), one the job ends inside takes the
// rest of the job (kCutShort), and bytes of no command come back as
// kUnknown, so nothing is ever read past the job's end and no parameter
// byte is ever taken for text.
//
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kit::tools {

enum class CommandKind {
  kUnknown,
  kText,           // a run of printable bytes (0x20 and above, 0x7F excepted)
  kLineFeed,       // 0A
  kCarriageReturn, // 0D
  kTab,            // 09
  kDataEnd,        // 00
  kBracketOpen,    // 1B 63 3B 01
  kBracketClose,   // 1B 63 3B 00
  kSelfTest,       // 1D 28 41 02 00 00 02
  kClearLogos,     // 1C 71 00 00 0A
  kDefineLogos,    // 1C 71 n, n logos of xL xH yL yH and x * y * 8 bytes, then
                   // 0A (taken with it when present: n2 = 1)
  kPrintLogo,      // 1C 70 n m
  kHriFont,        // 1D 66 n
  kHriPosition,    // 1D 48 n
  kBarWidth,       // 1D 77 n
  kBarHeight,      // 1D 68 n
  kQrParameters,   // 1D 6F 00 w l v
  kBarcode,        // 1D 6B m d... 00, or 1D 6B m n d1..dn (m from 0x41)
  kQrCode,         // 1D 6B 0B c 41 2C d... 00
  kInitialise,     // 1B 40
  kPrintMode,      // 1B 21 n
  kEmphasis,       // 1B 45 n, 1B 47 n
  kUnderline,      // 1B 2D n
  kFont,           // 1B 4D n
  kCharacterSize,  // 1D 21 n
  kReverse,        // 1D 42 n
  kAlign,          // 1B 61 n
  kFeedLines,      // 1B 64 n
  kFeedDots,       // 1B 4A n
  kLineSpacing,    // 1B 33 n
  kDefaultSpacing, // 1B 32
  kCodePage,       // 1B 74 n
  kPosition,       // 1B 24 nL nH: the next character nL + 256 nH dots from the line's left
  kCut,            // 1D 56 m [n], 1B 69 (full), 1B 6D (partial)
  kDrawerPulse,    // 1B 70 m t1 t2
  kBuzzer,         // 1B 42 n t
  kSymbolFunction, // 1D 28 6B pL pH cn fn parameters: a 2D symbol's settings,
                   // data and print (cn in n, fn in n2, the parameters as data)
  kRasterImage,    // 1D 76 30 m xL xH yL yH, x * y bytes row by row (m in n)
  kSkipped,        // a command of the printer's language that is not drawn,
                   // taken whole by its length (its name in `name`)
  kCutShort,       // a command the job ends inside: the rest of the job
};

// One stored logo of a definition, as the command carries it.
struct LogoBlock {
  std::size_t x = 0;  // width in bytes (8 dots each)
  std::size_t y = 0;  // height in groups of 8 dots
  std::span<const std::uint8_t> data;  // x * y * 8 bytes, column by column
};

struct Command {
  CommandKind kind = CommandKind::kUnknown;
  std::span<const std::uint8_t> bytes;  // the whole command as it stands in the job
  std::uint8_t n = 0;   // the first parameter (symbology, mode, count, ...)
  std::uint8_t n2 = 0;  // a second one (QR letter, logo mode, cut feed, pulse times)
  std::uint8_t n3 = 0;
  std::span<const std::uint8_t> data;  // text, barcode or QR data
  std::vector<LogoBlock> logos;        // kDefineLogos
  std::size_t x = 0, y = 0;            // kRasterImage: bytes across, rows down
  std::string name;                    // kSkipped, kCutShort: "ESC $", "GS 8 L", ...
};

// Codes of 1D 6B m beside the 1D symbologies.
inline constexpr std::uint8_t kQrSymbology = 0x0B;
// Symbologies from this code on carry a length byte instead of a NUL end.
inline constexpr std::uint8_t kFirstLengthSymbology = 0x41;

// The cut of 1D 56 m (and of 1B 69 / 1B 6D, read as m 0 and 1): partial
// for 1, "1" and 42 (feed, then a partial cut); full for the others.
inline bool IsPartialCut(std::uint8_t m) { return m == 0x01 || m == 0x31 || m == 0x42; }

// The command at `pos` (pos < bytes.size()); its bytes are never empty.
Command ReadCommand(std::span<const std::uint8_t> bytes, std::size_t pos);

}  // namespace kit::tools
