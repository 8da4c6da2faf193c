// This file is OS-independent (FreeType and iconv on every system it builds).
#include "tools/kvjob/printer_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>

#include <array>
#include <iterator>
#include <optional>

namespace kit::tools {
namespace {

constexpr const char* kMonoFace = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
// Pixel sizes of the face that fill each cell (advance 0.6 em), and the
// baseline's row in the cell.
struct CellFace {
  paper::FontCell cell;
  int pixel_size;
  int baseline;
};
constexpr CellFace kCells[2] = {{paper::kFontA, 20, 19}, {paper::kFontB, 14, 13}};

// ESC t n and the code page it selects.
struct PageName {
  std::uint8_t n;
  const char* iconv_name;
};
constexpr PageName kCodePages[] = {
    {0, "CP437"},   {2, "CP850"},   {3, "CP860"},   {4, "CP863"},  {5, "CP865"},
    {16, "CP1252"}, {17, "CP866"},  {18, "CP852"},  {19, "CP858"},
};

}  // namespace

struct PrinterFonts::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~Face() {
    if (face != nullptr) FT_Done_Face(face);
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

PrinterFonts::PrinterFonts() : face_(std::make_unique<Face>()) {
  if (FT_Init_FreeType(&face_->library) != 0 || FT_New_Face(face_->library, kMonoFace, 0, &face_->face) != 0) {
    face_->face = nullptr;
  }
}

PrinterFonts::~PrinterFonts() = default;

const Glyph& PrinterFonts::Of(int font, char32_t character) {
  font = font == 0 ? 0 : 1;
  const auto key = std::make_pair(font, character);
  if (const auto found = cache_.find(key); found != cache_.end()) return found->second;
  const CellFace& c = kCells[font];
  Glyph glyph{c.cell.width, c.cell.height,
              std::vector<std::uint8_t>(static_cast<std::size_t>(c.cell.width) * c.cell.height, 0)};
  FT_Face face = face_->face;
  if (face != nullptr && character > U' ' && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(c.pixel_size)) == 0 &&
      FT_Get_Char_Index(face, character) != 0 &&
      FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0) {
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    const int left = face->glyph->bitmap_left;
    const int top = c.baseline - face->glyph->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const std::uint8_t byte = bitmap.buffer[static_cast<int>(row) * bitmap.pitch + column / 8];
        if (((byte >> (7 - column % 8)) & 1) == 0) continue;
        const int x = left + static_cast<int>(column), y = top + static_cast<int>(row);
        if (x >= 0 && x < glyph.width && y >= 0 && y < glyph.height) glyph.dots[y * glyph.width + x] = 1;
      }
    }
  }
  return cache_.emplace(key, std::move(glyph)).first->second;
}

namespace {

std::optional<CodePage> BuildCodePage(const PageName& page) {
  iconv_t convert = iconv_open("UTF-32LE", page.iconv_name);
  if (convert == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  CodePage result{page.iconv_name, {}};
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    char32_t out = U'?';
    char* in_at = &in;
    char* out_at = reinterpret_cast<char*>(&out);
    std::size_t in_left = 1, out_left = sizeof out;
    if (iconv(convert, &in_at, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1)) out = U'?';
    result.characters[static_cast<std::size_t>(b)] = out;
  }
  iconv_close(convert);
  return result;
}

}  // namespace

const CodePage* CodePageOf(std::uint8_t n) {
  using Pages = std::array<std::optional<CodePage>, std::size(kCodePages)>;
  static const Pages pages = [] {
    Pages built;
    for (std::size_t i = 0; i < built.size(); ++i) built[i] = BuildCodePage(kCodePages[i]);
    return built;
  }();
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (kCodePages[i].n == n) return pages[i] ? &*pages[i] : nullptr;
  }
  return nullptr;
}

}  // namespace kit::tools
