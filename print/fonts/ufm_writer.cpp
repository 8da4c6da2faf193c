// This file is OS-independent.
#include "print/fonts/ufm_writer.h"

#include <cstdio>

#include "print/encoder/font_commands.h"
#include "print/fonts/ufm_layout.h"

namespace kit::print::fonts {
namespace {

using namespace ufm;

// The highest character of code page 437 ("■", U+25A0) and the character
// Windows puts for one the page lacks.
constexpr std::uint16_t kCp437LastCharacter = 0x25A0;
constexpr std::uint16_t kFirstCharacter = 0x20;
constexpr std::uint16_t kLastAsciiCharacter = 0x7E;
constexpr std::uint16_t kDefaultCharacter = '?';
constexpr std::uint16_t kBreakCharacter = ' ';
constexpr std::uint16_t kNormalWeight = 400;  // FW_NORMAL
// The vendor field of the metrics: the kit's maker, a choice.
constexpr char kVendor[4] = {'V', 'L', 'D', 'R'};
// PANOSE: a text face (PAN_FAMILY_TEXT_DISPLAY), monospaced (PAN_PROP_MONOSPACED).
constexpr std::size_t kPanoseProportion = 3;
constexpr std::uint8_t kPanFamilyText = 2, kPanMonospaced = 9;
constexpr char16_t kStyleName[] = u"Regular";

class Bytes {
 public:
  explicit Bytes(std::vector<std::uint8_t>& out) : out_(out) {}
  void U8(std::size_t at, std::uint8_t v) { Grow(at + 1)[at] = v; }
  void U16(std::size_t at, std::uint32_t v) {
    U8(at, static_cast<std::uint8_t>(v));
    U8(at + 1, static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::size_t at, std::uint32_t v) {
    U16(at, v & 0xFFFF);
    U16(at + 2, v >> 16);
  }
  void S16(std::size_t at, int v) { U16(at, static_cast<std::uint16_t>(static_cast<std::int16_t>(v))); }
  void S32(std::size_t at, std::int32_t v) { U32(at, static_cast<std::uint32_t>(v)); }
  std::size_t Append(const std::vector<std::uint8_t>& bytes) {
    const std::size_t at = out_.size();
    out_.insert(out_.end(), bytes.begin(), bytes.end());
    return at;
  }
  std::size_t AppendText(const std::u16string& text) {
    const std::size_t at = out_.size();
    for (char16_t c : text) U16(out_.size(), c);
    U16(out_.size(), 0);
    return at;
  }
  void Align4() { Grow((out_.size() + 3) & ~std::size_t{3}); }
  std::size_t Size() const { return out_.size(); }

 private:
  std::vector<std::uint8_t>& Grow(std::size_t size) {
    if (out_.size() < size) out_.resize(size, 0);
    return out_;
  }
  std::vector<std::uint8_t>& out_;
};

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// The font's selection and the bytes that undo it: the text fonts' face,
// magnification and code page; the barcode, QR and control fonts select
// nothing (the rendering plug-in prints their strings itself).
struct Selection {
  std::vector<std::uint8_t> select, unselect;
};
Selection SelectionOf(const FontList& list, const PrinterFont& font) {
  if (font.kind != FontKind::kText) return {};
  const commands::TextFont text{font.face == Face::kFontB, font.width_times, font.height_times,
                                list.code_page.printer};
  return {commands::SelectFontBytes(text).value_or(std::vector<std::uint8_t>{}), commands::UnselectFontBytes()};
}

void UnidrvInfo(Bytes& b, std::size_t at, const model::Model& m, const FontList& list, const PrinterFont& font) {
  const Selection s = SelectionOf(list, font);
  b.U32(at + kUniGenFlags, font.scalable ? kUfmScalable : 0);
  b.U16(at + kUniType, 0);
  b.U16(at + kUniCaps, kCapsNoSimulations);
  b.U16(at + kUniXRes, static_cast<std::uint32_t>(m.dots_per_inch));
  b.U16(at + kUniYRes, static_cast<std::uint32_t>(m.dots_per_inch));
  b.U8(at + kUniSize - 1, 0);  // the structure's last byte, so that the commands follow it
  const std::size_t select = b.Append(s.select);
  const std::size_t unselect = b.Append(s.unselect);
  b.U32(at + kUniSelectFont, static_cast<std::uint32_t>(s.select.size()));
  b.U32(at + kUniSelectFont + 4, s.select.empty() ? 0 : static_cast<std::uint32_t>(select - at));
  b.U32(at + kUniUnSelectFont, static_cast<std::uint32_t>(s.unselect.size()));
  b.U32(at + kUniUnSelectFont + 4, s.unselect.empty() ? 0 : static_cast<std::uint32_t>(unselect - at));
  b.Align4();
  b.U32(at + kUniDwSize, static_cast<std::uint32_t>(b.Size() - at));
}

void IfiMetrics(Bytes& b, std::size_t at, const model::Model& m, const FontList& list, const PrinterFont& f) {
  const bool text = f.kind == FontKind::kText;
  const int descent = f.height - f.ascent;
  b.U8(at + kIfiSize - 1, 0);
  b.U8(at + kIfiWinCharSet, CharsetOf(list.code_page.windows));
  b.U8(at + kIfiWinPitchAndFamily, kFixedPitchModern);
  b.U16(at + kIfiWinWeight, kNormalWeight);
  // A fixed-size text font is a bitmap-like device font; the barcode fonts
  // scale to any height the application asks for (the bars' height is the
  // record's, whatever the size).
  const std::uint32_t tech = f.scalable ? kFmInfoTechOutlineNotTrueType | kFmInfoIsotropicScalingOnly
                                        : kFmInfoTechBitmap | kFmInfo1Bpp;
  b.U32(at + kIfiFlInfo, tech | kFmInfoIntegerWidth | kFmInfoConstantWidth | kFmInfoRightHanded);
  b.U16(at + kIfiFsSelection, kFmSelRegular);
  b.U16(at + kIfiFsType, kFmNoEmbedding);
  b.S16(at + kIfiUnitsPerEm, f.height);
  b.S16(at + kIfiLowestPPEm, f.scalable ? 1 : f.height);
  b.S16(at + kIfiWinAscender, f.ascent);
  b.S16(at + kIfiWinDescender, descent);
  b.S16(at + kIfiMacAscender, f.ascent);
  b.S16(at + kIfiMacDescender, -descent);
  b.S16(at + kIfiTypoAscender, f.ascent);
  b.S16(at + kIfiTypoDescender, -descent);
  b.S16(at + kIfiAveCharWidth, f.width);
  b.S16(at + kIfiMaxCharInc, f.width);
  b.S16(at + kIfiCapHeight, f.ascent);
  b.S16(at + kIfiXHeight, f.ascent / 2);
  for (std::size_t script : {kIfiSubscriptXSize, kIfiSuperscriptXSize}) {
    b.S16(at + script, f.width / 2);
    b.S16(at + script + 2, f.height / 2);
    b.S16(at + script + 6, script == kIfiSubscriptXSize ? -descent : f.ascent / 2);
  }
  b.S16(at + kIfiUnderscoreSize, f.height_times);
  b.S16(at + kIfiUnderscorePosition, -1);
  b.S16(at + kIfiStrikeoutSize, f.height_times);
  b.S16(at + kIfiStrikeoutPosition, f.ascent / 3);
  const std::uint16_t last = text ? kCp437LastCharacter : kLastAsciiCharacter;
  b.U8(at + kIfiChFirstChar, kFirstCharacter);
  b.U8(at + kIfiChFirstChar + 1, text ? 0xFF : kLastAsciiCharacter);
  b.U8(at + kIfiChFirstChar + 2, kDefaultCharacter);
  b.U8(at + kIfiChFirstChar + 3, kBreakCharacter);
  b.U16(at + kIfiWcFirstChar, kFirstCharacter);
  b.U16(at + kIfiWcLastChar, last);
  b.U16(at + kIfiWcDefaultChar, kDefaultCharacter);
  b.U16(at + kIfiWcBreakChar, kBreakCharacter);
  b.S32(at + kIfiBaseline, 1);
  b.S32(at + kIfiAspect, m.dots_per_inch);
  b.S32(at + kIfiAspect + 4, m.dots_per_inch);
  b.S32(at + kIfiCaret + 4, 1);
  b.S32(at + kIfiFontBox + 4, f.ascent);
  b.S32(at + kIfiFontBox + 8, f.width);
  b.S32(at + kIfiFontBox + 12, -descent);
  for (std::size_t i = 0; i < sizeof kVendor; ++i) b.U8(at + kIfiVendId + i, static_cast<std::uint8_t>(kVendor[i]));
  b.U8(at + kIfiPanose, kPanFamilyText);
  b.U8(at + kIfiPanose + kPanoseProportion, kPanMonospaced);
  // The names follow the structure: family, style, face and unique name.
  // An application asks for the family; the face is the same name.
  const std::u16string name = Wide(f.name);
  b.U32(at + kIfiFamilyName, static_cast<std::uint32_t>(b.AppendText(name) - at));
  b.U32(at + kIfiStyleName, static_cast<std::uint32_t>(b.AppendText(kStyleName) - at));
  b.U32(at + kIfiFaceName, static_cast<std::uint32_t>(b.AppendText(name) - at));
  b.U32(at + kIfiUniqueName, static_cast<std::uint32_t>(b.AppendText(Wide(std::string(m.token)) + u" " + name) - at));
  b.Align4();
  b.U32(at + kIfiCjThis, static_cast<std::uint32_t>(b.Size() - at));
}

}  // namespace

std::int32_t BuiltInConversionOf(std::uint16_t code_page) {
  switch (code_page) {
    case 437: return kCcCp437;
    case 850: return kCcCp850;
    case 863: return kCcCp863;
    case 936: return kCcGb2312;
    case 950: return kCcBig5;
    default: return 0;
  }
}

std::uint8_t CharsetOf(std::uint16_t code_page) {
  switch (code_page) {
    case 936: return kGb2312Charset;
    case 950: return kChineseBig5Charset;
    case 1252: return kAnsiCharset;
    default: return kOemCharset;
  }
}

std::vector<std::uint8_t> WriteUfm(const model::Model& model, const FontList& list, const PrinterFont& font) {
  std::vector<std::uint8_t> out;
  Bytes b(out);
  b.U32(kHdrVersion, kUnifmVersion10);
  b.U32(kHdrDefaultCodepage, list.code_page.windows);
  b.S32(kHdrGlyphSetDataRcId, BuiltInConversionOf(list.code_page.windows));
  b.U8(kHdrSize - 1, 0);
  b.U32(kHdrLoUnidrvInfo, static_cast<std::uint32_t>(kHdrSize));
  UnidrvInfo(b, kHdrSize, model, list, font);
  const std::size_t ifi = b.Size();
  b.U32(kHdrLoIfiMetrics, static_cast<std::uint32_t>(ifi));
  IfiMetrics(b, ifi, model, list, font);
  b.U32(kHdrDwSize, static_cast<std::uint32_t>(b.Size()));
  return out;
}

std::string UfmFileName(const model::Model& model, const PrinterFont& font) {
  char name[64];
  std::snprintf(name, sizeof name, "%.*s_%02d.UFM", static_cast<int>(model.token.size()), model.token.data(),
                font.resource_id);
  return name;
}

std::string WriteResourceScript(const model::Model& model) {
  std::string rc = "// " + std::string(model.token) +
                   "'s printer fonts: their metrics as RC_UFM resources.\r\n"
                   "// Written from the kit's font table by ufmgen; edit the table, not this file.\r\n";
  for (const PrinterFont& f : FontsOf(model).fonts) {
    rc += std::to_string(f.resource_id) + " " + std::to_string(kRcUfm) + " \"" + UfmFileName(model, f) + "\"\r\n";
  }
  return rc;
}

}  // namespace kit::print::fonts
