// An off-screen canvas for rotated text: the picture a page renders itself
// (a watermark) and then reads back as pixels. On Windows it is a GDI DIB
// section with real fonts; on Linux a deterministic stand-in draws every
// family with the DejaVu faces through FreeType at 96 pixels per inch, so
// the same code and the same tests run on both.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/bitmap.h"
#include "ui/page.h"

namespace kit::ui {

// ANSI_CHARSET.
inline constexpr std::uint8_t kCharsetAnsi = 0;
// CLIP_LH_ANGLES: rotated text turns with the coordinate system.
inline constexpr std::uint8_t kClipLhAngles = 0x10;
inline constexpr int kWeightRegular = 400;
inline constexpr int kWeightBold = 700;

// The fields of a LOGFONTW a canvas uses. A font with an empty face is the
// system's default face.
struct CanvasFont {
  std::u16string face;
  int height = 0;       // pixels; negative: character height (em) rather than cell
  int escapement = 0;   // tenths of a degree, counter-clockwise
  int orientation = 0;  // tenths of a degree
  int weight = 0;
  bool italic = false;
  std::uint8_t charset = kCharsetAnsi;
  std::uint8_t clip_precision = 0;
  bool operator==(const CanvasFont&) const = default;
};

struct TextExtent {
  int cx = 0;
  int cy = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // Vertical pixels per inch of the screen.
  virtual int PixelsPerInchY() const = 0;
  // The first font the system reports for `family` in `charset`
  // (EnumFontFamiliesExW); nothing when the family is not installed.
  virtual std::optional<CanvasFont> FirstFaceOf(std::u16string_view family, std::uint8_t charset) const = 0;
  // A width x height picture filled with `fill`; false when it cannot be made.
  virtual bool Reset(int width, int height, Color fill) = 0;
  // Selects the font for the calls below; false when it cannot be made.
  virtual bool SelectFont(const CanvasFont& font) = 0;
  // GetTextExtentPoint32W of the selected font (unrotated).
  virtual TextExtent Measure(std::u16string_view text) const = 0;
  // The text with its baseline starting at (x, y), turned by the font's
  // escapement, on an opaque `background`, clipped to the picture.
  virtual void DrawBaselineText(int x, int y, std::u16string_view text, Color foreground, Color background) = 0;
  // The picture as read back (GetDIBits, 32 bits): top-down 0x00RRGGBB.
  virtual Bitmap Pixels() const = 0;
};

// The canvas of this system. `families` is what the Linux stand-in reports
// as installed (the machine's TrueType families); Windows asks GDI.
std::unique_ptr<Canvas> CreateCanvas(std::vector<std::u16string> families);

// Stretches the `src` rectangle of `picture` onto `dst` of `target`
// (StretchBlt). kColorOnColor keeps the nearest pixel; kBlackOnWhite, when
// shrinking, ANDs every source pixel that falls into one target pixel, so
// thin dark strokes survive. Parts outside either picture are skipped.
enum class StretchMode { kBlackOnWhite = 1, kColorOnColor = 3 };
void StretchPicture(Bitmap& target, const Rect& dst, const Bitmap& picture, const Rect& src, StretchMode mode);

}  // namespace kit::ui
