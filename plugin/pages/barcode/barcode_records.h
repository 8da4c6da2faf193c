// The barcode records of the document settings as the printer gets them:
// a Barcode1D or Barcode2D record's values made valid (clamped, or the
// font's default where a value is out of its range). The 1D and 2D Code
// pages show and test-print these values, and the rendering plug-in prints
// the barcode fonts with them, so both send the same bytes.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/core/devmode/private_devmode.h"
#include "print/commands/printer_commands.h"

namespace kit::plugin::barcode {

inline constexpr int kMinModuleWidth = 2;
inline constexpr int kMaxModuleWidth = 6;
inline constexpr int kMinBarHeight = 1;
inline constexpr int kMaxBarHeight = 255;
inline constexpr int kHriPositionCount = 4;

// The type each font starts with.
extern const std::uint8_t kDefaultSymbology[kBarcode1DCount];

// What the page shows for one font: the record's values, made valid.
struct Shown1D {
  print::commands::BarcodeType type = print::commands::BarcodeType::kUpcA;
  std::uint8_t module_width = 3;
  std::uint32_t height = 163;
  std::uint8_t hri_position = 0;
  std::uint8_t hri_font = 0;
};
Shown1D ShownValues(const Barcode1DSettings& record, std::size_t font);

// The 1D values as the barcode command takes them (the height's low byte).
print::commands::BarcodeParameters BarcodeParametersOf(const Shown1D& shown);

inline constexpr int kMinQrModuleSize = 1;
inline constexpr int kMaxQrModuleSize = 24;
inline constexpr int kLanguageModeCount = 2;
inline constexpr std::uint32_t kModelCount = 2;
// The QR values of a record outside every range.
inline constexpr print::commands::QrParameters kQrDefaults{3, 0, 1, 1};
// What the page shows: record 0's QR values, made valid.
print::commands::QrParameters ShownQrValues(const Barcode2DSettings& record);

}  // namespace kit::plugin::barcode
