// This file is OS-independent.
#include "plugin/pages/barcode/barcode_records.h"

#include <algorithm>

namespace kit::plugin::barcode {

const std::uint8_t kDefaultSymbology[kBarcode1DCount] = {0, 1, 3, 4, 5, 6, 7, 8};

Shown1D ShownValues(const Barcode1DSettings& record, std::size_t font) {
  Shown1D shown;
  const auto type = print::commands::BarcodeTypeAt(record.Symbology);
  shown.type = type ? *type : static_cast<print::commands::BarcodeType>(kDefaultSymbology[font]);
  shown.module_width = static_cast<std::uint8_t>(
      std::clamp<int>(record.ModuleWidth, kMinModuleWidth, kMaxModuleWidth));
  shown.height = std::clamp<std::uint32_t>(record.Height, kMinBarHeight, kMaxBarHeight);
  shown.hri_position = record.HriPosition < kHriPositionCount ? record.HriPosition : 0;
  shown.hri_font = record.HriFont <= 1 ? record.HriFont : 0;
  return shown;
}

print::commands::BarcodeParameters BarcodeParametersOf(const Shown1D& shown) {
  return {shown.hri_font, shown.hri_position, shown.module_width, static_cast<std::uint8_t>(shown.height & 0xFF),
          shown.type};
}

print::commands::QrParameters ShownQrValues(const Barcode2DSettings& r) {
  print::commands::QrParameters shown = kQrDefaults;
  shown.module_size = static_cast<std::uint8_t>(std::clamp<int>(r.QrModuleSize, kMinQrModuleSize, kMaxQrModuleSize));
  if (r.QrLanguageMode < kLanguageModeCount) shown.language_mode = r.QrLanguageMode;
  if (r.QrModel >= 1 && r.QrModel <= kModelCount) shown.model = r.QrModel;
  if (r.QrErrorLevel < print::commands::kQrErrorLetters.size()) shown.error_level = r.QrErrorLevel;
  return shown;
}

}  // namespace kit::plugin::barcode
