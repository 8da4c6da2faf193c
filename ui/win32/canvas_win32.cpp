// The Windows canvas: a 32-bit DIB section in a memory DC compatible with
// the screen, real GDI fonts (CreateFontIndirectW), TextOutW with baseline
// alignment, and the pixels read straight from the section.
// Windows builds only.
#include <windows.h>

#include <cstring>

#include "ui/canvas/canvas.h"

namespace kit::ui {
namespace {

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

struct FirstFace {
  LOGFONTW font{};
  bool found = false;
};

int CALLBACK TakeFirst(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) {
  auto* first = reinterpret_cast<FirstFace*>(data);
  first->font = *font;
  first->found = true;
  return 0;  // the first one is enough
}

class GdiCanvas final : public Canvas {
 public:
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;
  GdiCanvas() {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ppi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  ~GdiCanvas() override {
    ReleaseFont();
    Release();
    if (dc_ != nullptr) DeleteDC(dc_);
  }

  int PixelsPerInchY() const override { return ppi_; }

  std::optional<CanvasFont> FirstFaceOf(std::u16string_view family, std::uint8_t charset) const override {
    if (family.empty() || family.size() >= LF_FACESIZE) return std::nullopt;
    LOGFONTW query{};
    query.lfCharSet = charset;
    const std::wstring name = Wide(family);
    std::memcpy(query.lfFaceName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    FirstFace first;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, TakeFirst, reinterpret_cast<LPARAM>(&first), 0);
    ReleaseDC(nullptr, screen);
    if (!first.found) return std::nullopt;
    CanvasFont font;
    font.face = std::u16string(first.font.lfFaceName, first.font.lfFaceName + wcsnlen(first.font.lfFaceName, LF_FACESIZE));
    font.height = first.font.lfHeight;
    font.escapement = first.font.lfEscapement;
    font.orientation = first.font.lfOrientation;
    font.weight = first.font.lfWeight;
    font.italic = first.font.lfItalic != 0;
    font.charset = first.font.lfCharSet;
    font.clip_precision = first.font.lfClipPrecision;
    return font;
  }

  // A render of the same size refills the section it already has: the
  // preview repaints at every change of the page, at one fixed size.
  bool Reset(int width, int height, Color fill) override {
    if (section_ == nullptr || width != width_ || height != height_) {
      if (!MakeSection(width, height)) return false;
    }
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(RGB(fill.r, fill.g, fill.b));
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
    return true;
  }

  // The font already selected stays; a new one is made only for a change.
  bool SelectFont(const CanvasFont& font) override {
    if (font_ != nullptr && font == selected_) return true;
    LOGFONTW lf{};
    lf.lfHeight = font.height;
    lf.lfEscapement = font.escapement;
    lf.lfOrientation = font.orientation;
    lf.lfWeight = font.weight;
    lf.lfItalic = font.italic ? TRUE : FALSE;
    lf.lfCharSet = font.charset;
    lf.lfClipPrecision = font.clip_precision;
    const std::wstring face = Wide(font.face.substr(0, LF_FACESIZE - 1));
    std::memcpy(lf.lfFaceName, face.c_str(), (face.size() + 1) * sizeof(wchar_t));
    HFONT made = CreateFontIndirectW(&lf);
    if (made == nullptr) return false;
    HGDIOBJ previous = SelectObject(dc_, made);
    if (font_ != nullptr) {
      DeleteObject(font_);
    } else {
      old_font_ = previous;
    }
    font_ = made;
    selected_ = font;
    return true;
  }

  TextExtent Measure(std::u16string_view text) const override {
    SIZE size{};
    const std::wstring w = Wide(text);
    GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
    return {size.cx, size.cy};
  }

  void DrawBaselineText(int x, int y, std::u16string_view text, Color foreground, Color background) override {
    if (section_ == nullptr) return;
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    SetBkMode(dc_, OPAQUE);
    SetTextColor(dc_, RGB(foreground.r, foreground.g, foreground.b));
    SetBkColor(dc_, RGB(background.r, background.g, background.b));
    RECT clip{0, 0, width_, height_};
    const std::wstring w = Wide(text);
    ExtTextOutW(dc_, x, y, ETO_CLIPPED, &clip, w.c_str(), static_cast<UINT>(w.size()), nullptr);
    GdiFlush();
  }

  Bitmap Pixels() const override {
    Bitmap b;
    if (section_ == nullptr) return b;
    GdiFlush();
    b.width = width_;
    b.height = height_;
    b.pixels.resize(static_cast<std::size_t>(width_) * height_);
    const auto* source = static_cast<const std::uint32_t*>(bits_);
    for (std::size_t i = 0; i < b.pixels.size(); ++i) b.pixels[i] = source[i] & 0xFFFFFF;
    return b;
  }

 private:
  bool MakeSection(int width, int height) {
    Release();
    if (dc_ == nullptr || width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    section_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (section_ == nullptr) return false;
    old_bitmap_ = SelectObject(dc_, section_);
    width_ = width;
    height_ = height;
    return true;
  }
  void Release() {
    if (section_ != nullptr) {
      SelectObject(dc_, old_bitmap_);
      DeleteObject(section_);
      section_ = nullptr;
      bits_ = nullptr;
    }
  }
  void ReleaseFont() {
    if (font_ != nullptr) {
      SelectObject(dc_, old_font_);
      DeleteObject(font_);
      font_ = nullptr;
    }
  }

  HDC dc_ = nullptr;
  int ppi_ = 96;
  HBITMAP section_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  void* bits_ = nullptr;
  HFONT font_ = nullptr;
  CanvasFont selected_;
  HGDIOBJ old_font_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace

std::unique_ptr<Canvas> CreateCanvas(std::vector<std::u16string>) { return std::make_unique<GdiCanvas>(); }

}  // namespace kit::ui
