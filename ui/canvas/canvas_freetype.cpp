// The Linux canvas: a deterministic stand-in for GDI. Every family is drawn
// with the DejaVu Sans faces (regular and bold; italic as a slant) through
// FreeType, one-bit glyphs, at 96 pixels per inch. The families it reports
// installed are the machine's.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ui/canvas/canvas.h"

namespace kit::ui {
namespace {

constexpr int kPixelsPerInch = 96;
constexpr const char* kRegularFace = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kBoldFace = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
// Slant of the italic stand-in (x += 0.2 y), as 16.16.
constexpr FT_Fixed kItalicSlant = 0x3333;
// Character height of a font that names none (the system font's 12 points).
constexpr int kDefaultEmPixels = 16;

class FreeTypeCanvas final : public Canvas {
 public:
  explicit FreeTypeCanvas(std::vector<std::u16string> families) : families_(std::move(families)) {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
  }
  ~FreeTypeCanvas() override {
    for (FT_Face face : faces_)
      if (face != nullptr) FT_Done_Face(face);
    if (library_ != nullptr) FT_Done_FreeType(library_);
  }

  int PixelsPerInchY() const override { return kPixelsPerInch; }

  std::optional<CanvasFont> FirstFaceOf(std::u16string_view family, std::uint8_t charset) const override {
    if (family.empty()) return std::nullopt;
    for (const std::u16string& installed : families_) {
      if (installed.size() != family.size() ||
          !std::equal(installed.begin(), installed.end(), family.begin(), [](char16_t a, char16_t b) {
            auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
            return lower(a) == lower(b);
          }))
        continue;
      CanvasFont font;
      font.face = installed;
      font.weight = kWeightRegular;
      font.charset = charset;
      return font;
    }
    return std::nullopt;
  }

  bool Reset(int width, int height, Color fill) override {
    if (width <= 0 || height <= 0) return false;
    picture_.width = width;
    picture_.height = height;
    picture_.pixels.assign(static_cast<std::size_t>(width) * height, Pack(fill));
    return true;
  }

  bool SelectFont(const CanvasFont& font) override {
    if (library_ == nullptr) return false;
    face_ = nullptr;
    const bool bold = font.weight >= kWeightBold - 100;
    // Each face file is opened once, when first selected; a repaint only
    // sizes it again.
    FT_Face& face = faces_[bold ? 1 : 0];
    if (face == nullptr && FT_New_Face(library_, bold ? kBoldFace : kRegularFace, 0, &face) != 0) {
      face = nullptr;
      return false;
    }
    face_ = face;
    int em = kDefaultEmPixels;
    if (font.height < 0) {
      em = -font.height;
    } else if (font.height > 0) {
      // A cell height: the em is the part of it above the internal leading.
      const int cell_units = face_->ascender - face_->descender;
      em = cell_units > 0 ? font.height * face_->units_per_EM / cell_units : font.height;
    }
    if (FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(std::max(em, 1))) != 0) return false;
    font_ = font;
    return true;
  }

  TextExtent Measure(std::u16string_view text) const override {
    if (face_ == nullptr) return {};
    FT_Set_Transform(face_, nullptr, nullptr);
    long width = 0;
    for (char16_t c : text) {
      if (FT_Load_Char(face_, c, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) == 0) width += face_->glyph->advance.x;
    }
    return {static_cast<int>((width + 32) >> 6), CellHeight()};
  }

  void DrawBaselineText(int x, int y, std::u16string_view text, Color foreground, Color background) override {
    if (face_ == nullptr || picture_.Empty()) return;
    const double angle = font_.escapement / 10.0 * std::numbers::pi / 180.0;
    const double cos_a = std::cos(angle), sin_a = std::sin(angle);
    FillCell(x, y, Measure(text).cx, cos_a, sin_a, Pack(background));

    // Glyph space is y-up; the picture's rows run down from its top.
    FT_Matrix rotate{static_cast<FT_Fixed>(std::lround(cos_a * 65536)), static_cast<FT_Fixed>(std::lround(-sin_a * 65536)),
                     static_cast<FT_Fixed>(std::lround(sin_a * 65536)), static_cast<FT_Fixed>(std::lround(cos_a * 65536))};
    if (font_.italic) {
      FT_Matrix slant{0x10000, kItalicSlant, 0, 0x10000};
      FT_Matrix_Multiply(&rotate, &slant);  // slant = rotate * slant
      rotate = slant;
    }
    FT_Vector pen{static_cast<FT_Pos>(x) * 64, static_cast<FT_Pos>(picture_.height - y) * 64};
    const std::uint32_t ink = Pack(foreground);
    for (char16_t c : text) {
      FT_Set_Transform(face_, &rotate, &pen);
      if (FT_Load_Char(face_, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) continue;
      const FT_GlyphSlot slot = face_->glyph;
      const FT_Bitmap& b = slot->bitmap;
      for (unsigned row = 0; row < b.rows; ++row) {
        const long py = static_cast<long>(picture_.height) - slot->bitmap_top + static_cast<long>(row);
        for (unsigned col = 0; col < b.width; ++col) {
          const unsigned char* line = b.buffer + static_cast<long>(row) * b.pitch;
          const bool set = b.pixel_mode == FT_PIXEL_MODE_MONO ? (line[col / 8] & (0x80 >> (col % 8))) != 0
                                                              : line[col] >= 128;
          if (set) Put(slot->bitmap_left + static_cast<long>(col), py, ink);
        }
      }
      pen.x += slot->advance.x;
      pen.y += slot->advance.y;
    }
  }

  Bitmap Pixels() const override { return picture_; }

 private:
  static std::uint32_t Pack(Color c) {
    return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
  }
  int CellHeight() const {
    if (face_ == nullptr) return 0;
    return static_cast<int>((face_->size->metrics.ascender - face_->size->metrics.descender + 32) >> 6);
  }
  void Put(long x, long y, std::uint32_t pixel) {
    if (x < 0 || y < 0 || x >= picture_.width || y >= picture_.height) return;
    picture_.pixels[static_cast<std::size_t>(y) * picture_.width + static_cast<std::size_t>(x)] = pixel;
  }
  // The opaque background: the text's cell (width x ascent + descent), turned
  // with the text about its baseline origin.
  void FillCell(int x, int y, int width, double cos_a, double sin_a, std::uint32_t pixel) {
    const double ascent = static_cast<double>(face_->size->metrics.ascender) / 64.0;
    const double descent = static_cast<double>(-face_->size->metrics.descender) / 64.0;
    for (int py = 0; py < picture_.height; ++py) {
      for (int px = 0; px < picture_.width; ++px) {
        const double dx = px + 0.5 - x, dy = py + 0.5 - y;
        const double along = dx * cos_a - dy * sin_a;  // along the baseline
        const double down = dx * sin_a + dy * cos_a;    // below the baseline
        if (along >= 0 && along < width && down >= -ascent && down < descent) Put(px, py, pixel);
      }
    }
  }

  std::vector<std::u16string> families_;
  FT_Library library_ = nullptr;
  FT_Face faces_[2] = {};   // regular and bold, as opened
  FT_Face face_ = nullptr;  // the selected one of them
  CanvasFont font_;
  Bitmap picture_;
};

}  // namespace

std::unique_ptr<Canvas> CreateCanvas(std::vector<std::u16string> families) {
  return std::make_unique<FreeTypeCanvas>(std::move(families));
}

}  // namespace kit::ui
