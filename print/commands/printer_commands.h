// The printer command bytes of every raw job the plug-in's pages send, as
// pure functions from values to a RawJob. Each piece is one WritePrinter call
// of the channel; the split into pieces is part of the job as the printer's
// queue sees it. Multi-byte numbers inside commands are little-endian.
//
// This file is OS-independent.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "print/commands/logo_image.h"
#include "print/encoder/command_bytes.h"
#include "print/rawjob/raw_job.h"

namespace kit::print::commands {

// ---- The self-test page ("SELFTEST") ------------------------------------

// Opening bracket; kSelfTestCommand; closing bracket (writes of 4, 7, 4).
rawjob::RawJob SelfTestJob();

// ---- Clear all logos ("SELFTEST") ---------------------------------------

// The command bytes themselves live in the kit's one table of printer
// commands (print/encoder/command_bytes.h); kClearLogosCommand deletes
// every logo stored in the printer: 1C 71 00 00 0A.

// Opening bracket; the clear command; closing bracket (writes of 4, 5, 4).
rawjob::RawJob ClearLogosJob();

// ---- Logo download ("LOGO") ---------------------------------------------

// Opening bracket; 1C 71 n; per logo its four-byte header xL xH yL yH and its
// x * y * 8 data bytes (two writes); 0A; closing bracket. The printer numbers
// the logos 1..n in this order. Nothing for an empty list or more than nine.
std::optional<rawjob::RawJob> LogoDownloadJob(std::span<const LogoImage> logos);

// ---- File download ("FIRMWARE") -----------------------------------------

// The whole file, unchanged, in one write: no bracket, header or trailer.
rawjob::RawJob FileDownloadJob(std::span<const std::uint8_t> file);

// ---- 1D barcode test print ("Barcode") ----------------------------------

// The page's type list, in its order.
enum class BarcodeType : std::uint8_t {
  kUpcA = 0, kUpcE, kEan8, kEan13, kCode39, kItf, kCodabar, kCode93, kCode128,
};
inline constexpr std::size_t kBarcodeTypeCount = 9;

// The symbology code m of 1D 6B m for each type. EAN8 sends 3 and EAN13 2:
// the printer's numbering, not the list's order.
std::uint8_t SymbologyCode(BarcodeType type);
// The type at a list index; nothing outside 0..8.
std::optional<BarcodeType> BarcodeTypeAt(std::size_t index);

inline constexpr std::size_t kBarcodeHeaderSize = 15;
// The part of the header repeated by the types that send a length byte:
// width, height and symbology.
inline constexpr std::size_t kBarcodeRepeatSize = 9;

struct BarcodeParameters {
  std::uint8_t hri_font = 0;      // 0 Font A, 1 Font B
  std::uint8_t hri_position = 0;  // 0 none, 1 above, 2 below, 3 both
  std::uint8_t module_width = 3;  // dots, 2..6
  std::uint8_t height = 163;      // dots, 1..255
  BarcodeType type = BarcodeType::kUpcA;
};

// Header A: 1D 66 f, 1D 48 p, 1D 77 w, 1D 68 h, 1D 6B m.
std::array<std::uint8_t, kBarcodeHeaderSize> BarcodeHeader(const BarcodeParameters& parameters);

// UPC-A to Codabar: header A; the data; 00; 0A.
// Code93 and Code128: header A; 00; the last nine bytes of header A again;
// one length byte (the data length's low byte); the data; 00; 0A.
// `data` is sent as given: the checked (for Code128 packed) bytes.
rawjob::RawJob BarcodeJob(const BarcodeParameters& parameters, std::span<const std::uint8_t> data);

// ---- QR test print ("2Dcode") -------------------------------------------

inline constexpr std::size_t kQrHeaderSize = 12;
// The error-correction letters in the page's order: L, M, H, Q.
inline constexpr std::array<std::uint8_t, 4> kQrErrorLetters{'L', 'M', 'H', 'Q'};

struct QrParameters {
  std::uint8_t module_size = 3;    // dots, 1..24
  std::uint8_t language_mode = 0;  // 0 Chinese, 1 Japanese
  std::uint8_t model = 1;          // 1 or 2, as stored
  std::uint8_t error_level = 1;    // 0..3: L, M, H, Q
};

// 1D 6F 00 w l v 1D 6B 0B c 41 2C. Nothing for an error level outside 0..3.
std::optional<std::array<std::uint8_t, kQrHeaderSize>> QrHeader(const QrParameters& parameters);
// The header; the data; 00; 0A. Nothing for an error level outside 0..3.
std::optional<rawjob::RawJob> QrJob(const QrParameters& parameters, std::span<const std::uint8_t> data);

}  // namespace kit::print::commands
