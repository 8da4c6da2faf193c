// Defaults, Convert and Validate of PrivateDevMode: what the host asks for
// through the OEM DevMode method.
// This file is OS-independent.
#include "plugin/core/devmode/private_devmode.h"

#include <algorithm>

namespace kit {
namespace {

// Event blocks: open the drawer with the longest pulse when a document
// starts, and feed to the cut position and cut partially when it ends.
constexpr std::uint8_t kDefaultStartDocDrawer = 4;
constexpr std::uint8_t kDefaultEndDocFeedToCut = 1;
constexpr std::uint8_t kDefaultEndDocCutType = 1;

// 1D barcode fonts: the symbology of each of the eight records (2 unused).
constexpr std::array<std::uint8_t, kBarcode1DCount> kDefaultSymbology = {0, 1, 3, 4, 5, 6, 7, 8};
constexpr std::uint8_t kDefaultModuleWidth = 3;
constexpr std::uint32_t kDefaultBarcodeHeight = 163;
constexpr std::uint8_t kDefaultGs1ElementWidth = 2;
constexpr std::uint32_t kDefaultGs1RowHeight = 100;
constexpr std::uint32_t kDefaultGs1Param28 = 2;
constexpr std::uint8_t kDefaultGs1Param32 = 1;
constexpr std::uint8_t kDefaultGs1Hri = 1;
constexpr std::uint8_t kDefaultGs1Param34 = 1;
constexpr std::uint32_t kModuleWidthToX8 = 8;

// 2D barcode fonts, both records.
constexpr std::uint8_t kDefault2DParam1 = 3;  // bytes 1..4
constexpr std::uint8_t kDefault2DParam5 = 5;
constexpr std::uint8_t kDefault2DParam6 = 2;
constexpr std::uint32_t kDefault2DParam8 = 100;
constexpr std::uint32_t kDefault2DParam12 = 2;
constexpr std::array<std::uint8_t, 4> kDefault2DParam16 = {2, 4, 1, 1};
constexpr std::uint8_t kDefaultQrModuleSize = 3;
constexpr std::uint8_t kDefaultQrLanguageMode = 0;
constexpr std::uint8_t kDefaultQrModel = 1;
constexpr std::uint8_t kDefaultQrErrorLevel = 1;

// Watermark and layout.
constexpr std::uint8_t kDefaultWatermarkFontSize = 50;
constexpr std::uint32_t kDefaultWatermarkAngle = 45;
constexpr std::uint8_t kDefaultWatermarkPosition = 4;  // centre of the page
constexpr std::uint8_t kDefaultWatermarkSize = 100;
constexpr std::uint8_t kDefaultWatermarkBrightness = 50;
constexpr std::uint8_t kDefaultZoomPercent = 100;

// Driver log folder below the system drive's root.
constexpr std::size_t kDriveRootLength = 3;  // "C:\"
constexpr std::u16string_view kLogFolderBelowRoot = u"KVRODriverlog\\VRT-Q40";

constexpr std::size_t kSignatureEnd = kOffsetSignature + 4;

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

void WriteU32(PrivateDevModeSpan bytes, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void StampHeader(PrivateDevModeSpan bytes) {
  WriteU32(bytes, kOffsetSize, static_cast<std::uint32_t>(kPrivateDevModeSize));
  WriteU32(bytes, kOffsetSignature, kPrivateDevModeSignature);
  WriteU32(bytes, kOffsetVersion, kPrivateDevModeVersion);
}

void StampHeader(PrivateDevMode& record) {
  record.dwSize = static_cast<std::uint32_t>(kPrivateDevModeSize);
  record.dwSignature = kPrivateDevModeSignature;
  record.dwVersion = kPrivateDevModeVersion;
}

}  // namespace

std::u16string DefaultLogDirectory(std::u16string_view system_directory) {
  std::u16string folder(system_directory.substr(0, kDriveRootLength));
  folder += kLogFolderBelowRoot;
  return folder;
}

PrivateDevMode DefaultPrivateDevMode(std::u16string_view system_directory) {
  PrivateDevMode d;  // every field not named below is 0
  StampHeader(d);
  d.Reserved = 0;

  d.StartDocOp.DrawerSelect = kDefaultStartDocDrawer;
  d.EndDocOp.FeedToCut = kDefaultEndDocFeedToCut;
  d.EndDocOp.CutType = kDefaultEndDocCutType;

  for (std::size_t k = 0; k < kBarcode1DCount; ++k) {
    Barcode1DSettings& b = d.Barcode1D[k];
    b.Symbology = kDefaultSymbology[k];
    b.ModuleWidth = kDefaultModuleWidth;
    b.Height = kDefaultBarcodeHeight;
    b.HriPosition = 0;
    b.HriFont = 0;
    b.ModuleWidthX8 = kDefaultModuleWidth * kModuleWidthToX8;
    b.PreviewHeight = kDefaultBarcodeHeight;
    b.Gs1ElementWidth = kDefaultGs1ElementWidth;
    b.Gs1RowHeight = kDefaultGs1RowHeight;
    b.Gs1Param28 = kDefaultGs1Param28;
    b.Gs1Param32 = kDefaultGs1Param32;
    b.Gs1Hri = kDefaultGs1Hri;
    b.Gs1Param34 = kDefaultGs1Param34;
  }
  for (Barcode2DSettings& b : d.Barcode2D) {
    b.Symbol2D = 0;
    b.Param1.fill(kDefault2DParam1);
    b.Param5 = kDefault2DParam5;
    b.Param6 = kDefault2DParam6;
    b.Param8 = kDefault2DParam8;
    b.Param12 = kDefault2DParam12;
    b.Param16 = kDefault2DParam16;
    b.QrModuleSize = kDefaultQrModuleSize;
    b.QrLanguageMode = kDefaultQrLanguageMode;
    b.QrModel = kDefaultQrModel;
    b.QrErrorLevel = kDefaultQrErrorLevel;
  }

  d.PrintAsGraphics = 0;
  d.WatermarkMode = 0;
  d.WatermarkFontSize = kDefaultWatermarkFontSize;
  d.WatermarkFontStyle = 0;
  d.WatermarkAngle = kDefaultWatermarkAngle;
  d.WatermarkPosition = kDefaultWatermarkPosition;
  d.WatermarkSize = kDefaultWatermarkSize;
  d.WatermarkBrightness = kDefaultWatermarkBrightness;
  d.ZoomPercent = kDefaultZoomPercent;
  d.Rotate180 = 0;
  d.ZoomEnabled = 0;
  d.LogEnabled = 0;
  SetText(d.LogDirectory, DefaultLogDirectory(system_directory));
  return d;
}

void WriteDefaults(PrivateDevModeSpan out, std::u16string_view system_directory) {
  // Zero-filled first: the gaps between fields are 0 in a default record.
  std::fill(out.begin(), out.end(), std::uint8_t{0});
  Encode(DefaultPrivateDevMode(system_directory), out);
}

void Convert(std::span<const std::uint8_t> in, PrivateDevModeSpan out,
             std::u16string_view system_directory) {
  if (in.data() == nullptr) return;

  // The input may be the output's own memory: keep what can be read of it
  // before the defaults overwrite it. Nothing beyond the record size is read.
  const std::size_t readable = std::min(in.size(), kPrivateDevModeSize);
  PrivateDevModeBytes input{};
  std::copy_n(in.begin(), readable, input.begin());

  // The defaults come with this plug-in's header, so the signature test and
  // the size below never depend on what the host's output buffer held before.
  WriteDefaults(out, system_directory);
  if (readable < kSignatureEnd) return;
  if (ReadU32(input, kOffsetSignature) != kPrivateDevModeSignature) return;

  const std::size_t declared = ReadU32(input, kOffsetSize);
  const std::size_t kept = std::min({declared, kPrivateDevModeSize, readable});
  std::copy_n(input.begin(), kept, out.begin());

  StampHeader(out);  // the signature is this plug-in's already
}

void Validate(std::span<const std::uint8_t> in, PrivateDevModeSpan out,
              std::u16string_view system_directory) {
  // Without an input record the host asks about the record it holds: that
  // one is validated in place (Convert reads it before it writes).
  if (in.data() == nullptr) in = out;
  Convert(in, out, system_directory);
  StampHeader(out);
  const auto reserved = static_cast<std::int32_t>(ReadU32(out, kOffsetReserved));
  if (reserved > kMaxReservedValue) WriteU32(out, kOffsetReserved, 0);
}

}  // namespace kit
