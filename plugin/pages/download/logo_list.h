// The Download page's logos beside its list: one conversion record per list
// position and the preview mode, kept for the life of the process (a second
// sheet finds the records of the first), the files the page converts logos
// into, and the checks a logo passes before it is listed or sent.
// This file is OS-independent.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/files.h"
#include "print/commands/logo_image.h"
#include "print/commands/printer_commands.h"
#include "print/logo/logo_convert.h"

namespace kit::plugin::download {

// The printer keeps logos 1 to 9; the list holds as many.
inline constexpr std::size_t kMaxLogos = print::commands::kMaxLogos;
// The largest logo the page takes, in pixels; both limits included.
inline constexpr std::int32_t kMaxLogoWidth = 1024;
inline constexpr std::int32_t kMaxLogoHeight = 768;
// Add reads this much of a file: the headers and a two-entry palette.
inline constexpr std::size_t kLogoHeadLength = 62;
// The furthest a logo's pixel rows can start: the file header, the largest
// info header (124 bytes) and a full 256-entry palette.
inline constexpr std::uint64_t kMaxLogoPixelOffset = 14 + 124 + 256 * 4;
// The deepest pixel a bitmap header can name, in bits.
inline constexpr std::uint32_t kMaxLogoBitsPerPixel = 32;
// The most LogoBytesNeeded gives: the furthest start and the rows of the
// largest logo at the deepest pixel.
inline constexpr std::uint64_t kMaxLogoSourceBytes =
    kMaxLogoPixelOffset + std::uint64_t{kMaxLogoWidth} * kMaxLogoBitsPerPixel / 8 * kMaxLogoHeight;
// A "LOGO" job of this many bytes of logo files or more is refused (96 KiB).
inline constexpr std::uint64_t kMaxLogoBytes = 96 * 1024;

enum class PreviewMode : int { kOriginal = 0, kTransformation = 1 };

// The halftone method a logo gets when it is added in `mode`.
int DefaultHalftone(PreviewMode mode);

struct LogoState {
  std::array<logo::LogoSettings, kMaxLogos> records{};
  PreviewMode mode = PreviewMode::kOriginal;
};
// The process-wide records and mode, shared by every Download page.
LogoState& ProcessLogoState();

// The logo at `index` of a list of `count` leaves: the records after it move
// up by one and the slot freed at the new end (count - 1) is zeroed. Nothing
// beyond the nine records is touched.
void RemoveRecord(LogoState& state, std::size_t index, std::size_t count);
// Every one of the first `count` records becomes `halftone`, contrast 0,
// brightness 0.
void ResetRecords(LogoState& state, std::size_t count, int halftone);

// The one-bit file the page converts the logo at 1-based list position
// `position` into: "<temp>VRTQ40Logo<position>Temp.bmp" in the user's
// temporary folder (`temp_folder` as GetTempPath gives it, ending in "\").
// The page owns these files; it never writes beside the user's bitmaps.
std::u16string ConvertedLogoPath(std::u16string_view temp_folder, std::size_t position);

// What the header of a file to be added says.
enum class AddCheck {
  kOk,
  kShort,     // fewer than 62 bytes, or a width or height below 1
  kTooLarge,  // wider than 1024 or higher than 768 pixels
};
AddCheck CheckLogoToAdd(std::span<const std::uint8_t> file);
// How much of a logo file, whose first kLogoHeadLength bytes passed
// CheckLogoToAdd, its header can need: the furthest its rows may start
// (what the header says, bounded by kMaxLogoPixelOffset, and at least where
// the converter reads 8-bit rows) plus its rows at the depth the header says
// (bounded by kMaxLogoBitsPerPixel). At most about 3 MB, whatever the file's
// size.
std::uint64_t LogoBytesNeeded(std::span<const std::uint8_t> head);
// A "BM" file of 24 or 8 bits per pixel: the page converts it.
bool IsConvertible(std::span<const std::uint8_t> file);
// A "BM" file whose header says one bit per pixel: sent as it is.
bool IsOneBit(std::span<const std::uint8_t> file);

// The logo of a one-bit file to be sent: a "BM" file of one bit per pixel,
// uncompressed, with an info header of at least 40 bytes, 1..1024 by 1..768
// pixels, a black-and-white palette in either order and every row inside
// the file. Nothing for any other file.
std::optional<print::commands::LogoImage> LogoToSend(std::span<const std::uint8_t> file);

}  // namespace kit::plugin::download
