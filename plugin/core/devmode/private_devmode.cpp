// Byte layout of PrivateDevMode: one table of (offset, field) pairs drives
// both Decode and Encode, so the two can never disagree.
// This file is OS-independent.
#include "plugin/core/devmode/private_devmode.h"

#include <type_traits>

namespace kit {
namespace {

// Little-endian access at a byte offset, independent of the host's order
// and alignment.
template <typename T>
T ReadLe(ConstPrivateDevModeSpan bytes, std::size_t offset) {
  using U = std::make_unsigned_t<T>;
  U value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    value = static_cast<U>(value | (static_cast<U>(bytes[offset + i]) << (8 * i)));
  }
  return static_cast<T>(value);
}

template <typename T>
void WriteLe(PrivateDevModeSpan bytes, std::size_t offset, T value) {
  using U = std::make_unsigned_t<T>;
  const U u = static_cast<U>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    bytes[offset + i] = static_cast<std::uint8_t>(u >> (8 * i));
  }
}

template <typename T>
struct IsArray : std::false_type {};
template <typename T, std::size_t N>
struct IsArray<std::array<T, N>> : std::true_type {};

// Reads one field (integer or array of integers) from `offset`.
struct Reader {
  ConstPrivateDevModeSpan bytes;
  template <typename Field>
  void operator()(std::size_t offset, Field& field) const {
    if constexpr (IsArray<Field>::value) {
      using Element = typename Field::value_type;
      for (std::size_t i = 0; i < field.size(); ++i) {
        if constexpr (std::is_same_v<Element, char16_t>) {
          field[i] = static_cast<char16_t>(ReadLe<std::uint16_t>(bytes, offset + 2 * i));
        } else {
          field[i] = ReadLe<Element>(bytes, offset + sizeof(Element) * i);
        }
      }
    } else {
      field = ReadLe<Field>(bytes, offset);
    }
  }
};

// Writes one field at `offset`.
struct Writer {
  PrivateDevModeSpan bytes;
  template <typename Field>
  void operator()(std::size_t offset, const Field& field) const {
    if constexpr (IsArray<Field>::value) {
      using Element = typename Field::value_type;
      for (std::size_t i = 0; i < field.size(); ++i) {
        if constexpr (std::is_same_v<Element, char16_t>) {
          WriteLe<std::uint16_t>(bytes, offset + 2 * i, static_cast<std::uint16_t>(field[i]));
        } else {
          WriteLe<Element>(bytes, offset + sizeof(Element) * i, field[i]);
        }
      }
    } else {
      WriteLe<Field>(bytes, offset, field);
    }
  }
};

template <typename Op, typename F>
void VisitEvent(Op& op, const EventOperationLayout& at, F& f) {
  f(at.SendCommand, op.SendCommand);
  f(at.FeedToCut, op.FeedToCut);
  f(at.Command, op.Command);
  f(at.CommandLength, op.CommandLength);
  f(at.DrawerSelect, op.DrawerSelect);
  f(at.CutType, op.CutType);
  f(at.FeedMm, op.FeedMm);
  f(at.HeraldSelect, op.HeraldSelect);
  f(at.UseHerald, op.UseHerald);
  f(at.BuzzerVolume, op.BuzzerVolume);
  f(at.BuzzerSelect, op.BuzzerSelect);
  f(at.LogoSelect, op.LogoSelect);
  f(at.LogoAlign, op.LogoAlign);
  f(at.LogoPosition, op.LogoPosition);
}

template <typename B, typename F>
void VisitBarcode1D(B& b, std::size_t at, F& f) {
  f(at + 0, b.Symbology);
  f(at + 1, b.ModuleWidth);
  f(at + 4, b.Height);
  f(at + 8, b.HriPosition);
  f(at + 9, b.HriFont);
  f(at + 12, b.ModuleWidthX8);
  f(at + 16, b.PreviewHeight);
  f(at + 20, b.Gs1ElementWidth);
  f(at + 24, b.Gs1RowHeight);
  f(at + 28, b.Gs1Param28);
  f(at + 32, b.Gs1Param32);
  f(at + 33, b.Gs1Hri);
  f(at + 34, b.Gs1Param34);
}

template <typename B, typename F>
void VisitBarcode2D(B& b, std::size_t at, F& f) {
  f(at + 0, b.Symbol2D);
  f(at + 1, b.Param1);
  f(at + 5, b.Param5);
  f(at + 6, b.Param6);
  f(at + 8, b.Param8);
  f(at + 12, b.Param12);
  f(at + 16, b.Param16);
  f(at + 20, b.QrModuleSize);
  f(at + 21, b.QrLanguageMode);
  f(at + 22, b.QrModel);
  f(at + 23, b.QrErrorLevel);
}

// Calls f(offset, field) for every field of the record, in storage order.
template <typename Record, typename F>
void VisitFields(Record& r, F&& f) {
  f(kOffsetSize, r.dwSize);
  f(kOffsetSignature, r.dwSignature);
  f(kOffsetVersion, r.dwVersion);
  f(kOffsetReserved, r.Reserved);
  VisitEvent(r.StartDocOp, kStartDocOpLayout, f);
  VisitEvent(r.StartPageOp, kStartPageOpLayout, f);
  VisitEvent(r.EndDocOp, kEndDocOpLayout, f);
  VisitEvent(r.EndPageOp, kEndPageOpLayout, f);
  for (std::size_t k = 0; k < kBarcode1DCount; ++k) {
    VisitBarcode1D(r.Barcode1D[k], kOffsetBarcode1D + kBarcode1DRecordSize * k, f);
  }
  for (std::size_t k = 0; k < kBarcode2DCount; ++k) {
    VisitBarcode2D(r.Barcode2D[k], kOffsetBarcode2D + kBarcode2DRecordSize * k, f);
  }
  f(kOffsetReserved2, r.Reserved2);
  f(kOffsetWatermarkOwner, r.WatermarkOwner);
  f(kOffsetPrintAsGraphics, r.PrintAsGraphics);
  f(kOffsetWatermarkBitmapPath, r.WatermarkBitmapPath);
  f(kOffsetWatermarkMode, r.WatermarkMode);
  f(kOffsetWatermarkText, r.WatermarkText);
  f(kOffsetWatermarkFontName, r.WatermarkFontName);
  f(kOffsetWatermarkFontSize, r.WatermarkFontSize);
  f(kOffsetWatermarkFontStyle, r.WatermarkFontStyle);
  f(kOffsetWatermarkAngle, r.WatermarkAngle);
  f(kOffsetWatermarkPosition, r.WatermarkPosition);
  f(kOffsetWatermarkSize, r.WatermarkSize);
  f(kOffsetWatermarkBrightness, r.WatermarkBrightness);
  f(kOffsetZoomPercent, r.ZoomPercent);
  f(kOffsetRotate180, r.Rotate180);
  f(kOffsetPaperSizeName, r.PaperSizeName);
  f(kOffsetZoomEnabled, r.ZoomEnabled);
  f(kOffsetLogEnabled, r.LogEnabled);
  f(kOffsetLogDirectory, r.LogDirectory);
}

// The last field ends exactly at the end of the record.
static_assert(kOffsetLogDirectory + 2 * kLogDirectoryCapacity == kPrivateDevModeSize);
static_assert(kOffsetBarcode1D + kBarcode1DRecordSize * kBarcode1DCount == kOffsetBarcode2D);
static_assert(kOffsetBarcode2D + kBarcode2DRecordSize * kBarcode2DCount == kOffsetReserved2);
static_assert(kOffsetWatermarkOwner + 2 * kWatermarkOwnerCapacity == kOffsetPrintAsGraphics);
static_assert(kEndPageOpLayout.LogoPosition + 1 == kOffsetBarcode1D);

}  // namespace

EventOperation* EventByIndex(PrivateDevMode& record, int event_index) {
  switch (event_index) {
    case 0: return &record.StartDocOp;
    case 1: return &record.StartPageOp;
    case 2: return &record.EndPageOp;
    case 3: return &record.EndDocOp;
    default: return nullptr;
  }
}

const EventOperation* EventByIndex(const PrivateDevMode& record, int event_index) {
  return EventByIndex(const_cast<PrivateDevMode&>(record), event_index);
}

PrivateDevMode Decode(ConstPrivateDevModeSpan bytes) {
  PrivateDevMode record;
  VisitFields(record, Reader{bytes});
  return record;
}

void Encode(const PrivateDevMode& record, PrivateDevModeSpan bytes) {
  VisitFields(record, Writer{bytes});
}

}  // namespace kit
