// PrivateDevMode: the plug-in's private settings record.
//
// The universal printer driver stores this record directly behind the public
// DEVMODEW of every print job and printer default, and the printing side of
// the driver reads it. It is a stored binary format: 1976 bytes,
// little-endian, every field at a fixed byte offset (kPrivateDevModeSize and
// the layout constants below). Bytes between fields carry no meaning and are
// never touched by Encode.
//
// How the COM entry uses this unit (DevMode method, OEMDMPARAM):
//   OEMDM_SIZE      cbBufSize = kPrivateDevModeSize
//   OEMDM_DEFAULT   WriteDefaults(out, system directory)
//   OEMDM_CONVERT   Convert(in, out, system directory)
//   OEMDM_VALIDATE  Validate(in, out, system directory)
// `in` is a span over the readable bytes of pOEMDMIn (never more than the
// record size is read, whatever the incoming size field says); `out` is the
// 1976-byte pOEMDMOut. A null input makes Convert leave `out` as it is and
// Validate validate `out` in place. `in` and `out` may be the same memory.
//
// The property pages edit the record in place: Decode the bytes, change the
// fields, Encode them back.
//
// This file is OS-independent: no COM, no Win32.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kit {

// ---- Header ---------------------------------------------------------------

inline constexpr std::size_t kPrivateDevModeSize = 1976;
// "VQ40" as a four-character code, most significant byte first.
inline constexpr std::uint32_t kPrivateDevModeSignature = 0x56513430;
inline constexpr std::uint32_t kPrivateDevModeVersion = 1;
// Validate resets a Reserved value above this to 0.
inline constexpr std::int32_t kMaxReservedValue = 100;

using PrivateDevModeBytes = std::array<std::uint8_t, kPrivateDevModeSize>;
using PrivateDevModeSpan = std::span<std::uint8_t, kPrivateDevModeSize>;
using ConstPrivateDevModeSpan = std::span<const std::uint8_t, kPrivateDevModeSize>;

// ---- Fields ---------------------------------------------------------------

inline constexpr std::size_t kMaxCommandLength = 128;

// One per-event operation block (Operation page).
struct EventOperation {
  std::uint8_t SendCommand = 0;   // 1 = send the raw command
  std::uint8_t FeedToCut = 0;     // 1 = feed to the cut position before cutting
  std::array<std::uint8_t, kMaxCommandLength> Command{};
  std::uint8_t CommandLength = 0;  // valid bytes in Command, 0..128
  std::uint8_t DrawerSelect = 0;   // cash-drawer choice 0..4
  std::uint8_t CutType = 0;        // 0 no cut, 1 partial, 2 full
  std::uint8_t FeedMm = 0;         // 0..100
  std::uint8_t HeraldSelect = 0;   // 0 enable, 1 disable
  std::uint32_t UseHerald = 0;     // 0 = "Open Drawer" active, else "Herald"
  std::uint8_t BuzzerVolume = 0;   // 0..255
  std::uint8_t BuzzerSelect = 0;   // 0 off, 1 one beep, 2 three, 3 five, 4 ten, 5 twenty
  std::uint8_t LogoSelect = 0;     // 0 none, 1..9 printer logo number
  std::uint8_t LogoAlign = 0;      // 0 left, 1 centered, 2 right
  std::uint8_t LogoPosition = 0;   // 0 before cut, 1 after cut

  bool operator==(const EventOperation&) const = default;
};

// One 1D barcode font record.
struct Barcode1DSettings {
  std::uint8_t Symbology = 0;
  std::uint8_t ModuleWidth = 0;
  std::uint32_t Height = 0;
  std::uint8_t HriPosition = 0;
  std::uint8_t HriFont = 0;
  std::uint32_t ModuleWidthX8 = 0;  // kept equal to ModuleWidth * 8
  std::uint32_t PreviewHeight = 0;
  std::uint8_t Gs1ElementWidth = 0;
  std::uint32_t Gs1RowHeight = 0;
  std::uint32_t Gs1Param28 = 0;
  std::uint8_t Gs1Param32 = 0;
  std::uint8_t Gs1Hri = 0;
  std::uint8_t Gs1Param34 = 0;

  bool operator==(const Barcode1DSettings&) const = default;
};

// One 2D barcode font record. Only the symbol and the QR fields have a
// control; the other parameters are carried unchanged. Members are named by
// their byte offset inside the record.
struct Barcode2DSettings {
  std::uint8_t Symbol2D = 0;
  std::array<std::uint8_t, 4> Param1 = {};  // bytes 1..4
  std::uint8_t Param5 = 0;
  std::uint8_t Param6 = 0;
  std::uint32_t Param8 = 0;
  std::uint32_t Param12 = 0;
  std::array<std::uint8_t, 4> Param16 = {};  // bytes 16..19
  std::uint8_t QrModuleSize = 0;
  std::uint8_t QrLanguageMode = 0;
  std::uint8_t QrModel = 0;
  std::uint8_t QrErrorLevel = 0;

  bool operator==(const Barcode2DSettings&) const = default;
};

inline constexpr std::size_t kBarcode1DCount = 8;
inline constexpr std::size_t kBarcode2DCount = 2;
// Text capacities in UTF-16 units, terminator included.
inline constexpr std::size_t kWatermarkBitmapPathCapacity = 125;
inline constexpr std::size_t kWatermarkTextCapacity = 16;
inline constexpr std::size_t kWatermarkFontNameCapacity = 50;
// The account name of the user whose watermark picture the record's
// watermark is (the bytes 934..997 that were two reserved blocks of zeroes:
// an older record names nobody).
inline constexpr std::size_t kWatermarkOwnerCapacity = 32;
inline constexpr std::size_t kPaperSizeNameCapacity = 32;
inline constexpr std::size_t kLogDirectoryCapacity = 256;

struct PrivateDevMode {
  std::uint32_t dwSize = 0;
  std::uint32_t dwSignature = 0;
  std::uint32_t dwVersion = 0;
  std::int32_t Reserved = 0;

  EventOperation StartDocOp;
  EventOperation StartPageOp;
  EventOperation EndDocOp;  // stored before EndPageOp
  EventOperation EndPageOp;

  std::array<Barcode1DSettings, kBarcode1DCount> Barcode1D{};
  std::array<Barcode2DSettings, kBarcode2DCount> Barcode2D{};

  std::uint8_t Reserved2 = 0;
  // The user whose picture the printing side takes (the Water Mark page
  // writes it with the picture); empty: the picture in the temporary folder.
  std::array<char16_t, kWatermarkOwnerCapacity> WatermarkOwner{};
  std::uint8_t PrintAsGraphics = 0;  // 1 = print all text as a graphic image
  std::array<char16_t, kWatermarkBitmapPathCapacity> WatermarkBitmapPath{};
  std::uint8_t WatermarkMode = 0;  // 0 none, 1 image, 2 text
  std::array<char16_t, kWatermarkTextCapacity> WatermarkText{};
  std::array<char16_t, kWatermarkFontNameCapacity> WatermarkFontName{};
  std::uint8_t WatermarkFontSize = 0;   // 8..72
  std::uint8_t WatermarkFontStyle = 0;  // 0 regular, 1 italic, 2 bold, 3 bold italic
  std::uint32_t WatermarkAngle = 0;     // degrees, 0..360
  std::uint8_t WatermarkPosition = 0;   // 0..8 the nine places row by row, 9 tiled
  std::uint8_t WatermarkSize = 0;       // percent
  std::uint8_t WatermarkBrightness = 0;
  std::uint8_t ZoomPercent = 0;  // 10..100
  std::uint8_t Rotate180 = 0;
  std::array<char16_t, kPaperSizeNameCapacity> PaperSizeName{};  // empty = none chosen
  std::uint8_t ZoomEnabled = 0;
  std::uint8_t LogEnabled = 0;
  std::array<char16_t, kLogDirectoryCapacity> LogDirectory{};

  bool operator==(const PrivateDevMode&) const = default;
};

// Event index used by the Operation page: 0 Start of Document, 1 Start of
// Page, 2 End of Page, 3 End of Document. Null outside 0..3.
EventOperation* EventByIndex(PrivateDevMode& record, int event_index);
const EventOperation* EventByIndex(const PrivateDevMode& record, int event_index);

// ---- Layout ---------------------------------------------------------------

// Byte offsets of one event block's fields. The Start of Document block
// stores HeraldSelect before UseHerald and BuzzerVolume after it; the other
// three store both before it.
struct EventOperationLayout {
  std::uint16_t SendCommand, FeedToCut, Command, CommandLength, DrawerSelect, CutType, FeedMm,
      HeraldSelect, UseHerald, BuzzerVolume, BuzzerSelect, LogoSelect, LogoAlign, LogoPosition;
};
inline constexpr EventOperationLayout kStartDocOpLayout{16,  17,  18,  146, 147, 148, 149,
                                                         150, 152, 156, 157, 158, 159, 160};
inline constexpr EventOperationLayout kStartPageOpLayout{161, 162, 163, 291, 292, 293, 294,
                                                          296, 300, 295, 304, 305, 306, 307};
inline constexpr EventOperationLayout kEndDocOpLayout{308, 309, 310, 438, 439, 440, 441,
                                                       443, 444, 442, 448, 449, 450, 451};
inline constexpr EventOperationLayout kEndPageOpLayout{452, 453, 454, 582, 583, 584, 585,
                                                        587, 588, 586, 592, 593, 594, 595};

inline constexpr std::size_t kOffsetSize = 0;
inline constexpr std::size_t kOffsetSignature = 4;
inline constexpr std::size_t kOffsetVersion = 8;
inline constexpr std::size_t kOffsetReserved = 12;
inline constexpr std::size_t kOffsetBarcode1D = 596;
inline constexpr std::size_t kBarcode1DRecordSize = 36;
inline constexpr std::size_t kOffsetBarcode2D = 884;
inline constexpr std::size_t kBarcode2DRecordSize = 24;
inline constexpr std::size_t kOffsetReserved2 = 932;
inline constexpr std::size_t kOffsetWatermarkOwner = 934;
inline constexpr std::size_t kOffsetPrintAsGraphics = 998;
inline constexpr std::size_t kOffsetWatermarkBitmapPath = 1000;
inline constexpr std::size_t kOffsetWatermarkMode = 1250;
inline constexpr std::size_t kOffsetWatermarkText = 1252;
inline constexpr std::size_t kOffsetWatermarkFontName = 1284;
inline constexpr std::size_t kOffsetWatermarkFontSize = 1384;
inline constexpr std::size_t kOffsetWatermarkFontStyle = 1385;
inline constexpr std::size_t kOffsetWatermarkAngle = 1388;
inline constexpr std::size_t kOffsetWatermarkPosition = 1392;
inline constexpr std::size_t kOffsetWatermarkSize = 1393;
inline constexpr std::size_t kOffsetWatermarkBrightness = 1394;
inline constexpr std::size_t kOffsetZoomPercent = 1395;
inline constexpr std::size_t kOffsetRotate180 = 1396;
inline constexpr std::size_t kOffsetPaperSizeName = 1398;
inline constexpr std::size_t kOffsetZoomEnabled = 1462;
inline constexpr std::size_t kOffsetLogEnabled = 1463;
inline constexpr std::size_t kOffsetLogDirectory = 1464;

// ---- Codec ----------------------------------------------------------------

// Every field of `bytes`.
PrivateDevMode Decode(ConstPrivateDevModeSpan bytes);
// Writes every field into `bytes`; the bytes between fields keep their value.
void Encode(const PrivateDevMode& record, PrivateDevModeSpan bytes);

// The text of a fixed UTF-16 field: up to its first NUL, or all of it.
template <std::size_t N>
std::u16string TextOf(const std::array<char16_t, N>& field) {
  std::u16string_view view(field.data(), N);
  return std::u16string(view.substr(0, view.find(u'\0')));
}
// Stores `value` cut to N - 1 units and zero-fills the rest of the field.
template <std::size_t N>
void SetText(std::array<char16_t, N>& field, std::u16string_view value) {
  field.fill(u'\0');
  const auto nul = value.find(u'\0');
  if (nul != std::u16string_view::npos) value = value.substr(0, nul);
  const std::size_t kept = value.size() < N ? value.size() : N - 1;
  value.copy(field.data(), kept);
}

// ---- Host modes -----------------------------------------------------------

// The default driver-log folder: the drive root of the system directory (its
// first three characters, "C:\") followed by "KVRODriverlog\VRT-Q40".
std::u16string DefaultLogDirectory(std::u16string_view system_directory);

// The default record, header included.
PrivateDevMode DefaultPrivateDevMode(std::u16string_view system_directory);
void WriteDefaults(PrivateDevModeSpan out, std::u16string_view system_directory);

// Defaults, then the input record over them when it carries this plug-in's
// signature: its first min(its dwSize, 1976, readable bytes) bytes are kept,
// so an older, shorter record keeps defaults for the fields it lacks; then
// dwSize = 1976 and dwVersion = 1. A record with another signature, or too
// short to hold one, is replaced by the defaults.
void Convert(std::span<const std::uint8_t> in, PrivateDevModeSpan out,
             std::u16string_view system_directory);

// Convert, then the header is stamped again and a Reserved value above 100
// becomes 0. Without an input (an empty span) the output is validated in
// place: a record of this plug-in keeps its fields (within its own size) with
// the header stamped and Reserved repaired; any other becomes the defaults.
void Validate(std::span<const std::uint8_t> in, PrivateDevModeSpan out,
              std::u16string_view system_directory);

}  // namespace kit
