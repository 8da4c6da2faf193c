// This file is OS-independent.
#include "print/fonts/ufm_check.h"

#include <set>

#include "print/fonts/ufm_layout.h"
#include "print/fonts/ufm_writer.h"
#include "print/gpd/gpd_file.h"

namespace kit::print::fonts {
namespace {

using namespace ufm;

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : b_(bytes) {}
  std::size_t Size() const { return b_.size(); }
  bool Holds(std::size_t at, std::size_t size) const { return at <= b_.size() && size <= b_.size() - at; }
  std::uint32_t U16(std::size_t at) const { return Holds(at, 2) ? b_[at] | b_[at + 1] << 8 : 0; }
  std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
  int S16(std::size_t at) const { return static_cast<std::int16_t>(U16(at)); }
  std::int32_t S32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  std::uint8_t U8(std::size_t at) const { return Holds(at, 1) ? b_[at] : 0; }
  // The UTF-16 text at `at`, ended by a 0 before `end`; nothing otherwise.
  std::optional<std::u16string> Text(std::size_t at, std::size_t end) const {
    std::u16string text;
    for (std::size_t i = at; i + 2 <= end && Holds(i, 2); i += 2) {
      const auto c = static_cast<char16_t>(U16(i));
      if (c == 0) return text;
      text += c;
    }
    return std::nullopt;
  }

 private:
  std::span<const std::uint8_t> b_;
};

class Checker {
 public:
  Checker(std::span<const std::uint8_t> file, int dpi) : r_(file), dpi_(dpi) {}

  std::vector<UfmFinding> Run() {
    if (!Header()) return std::move(found_);
    Unidrv();
    Ifi();
    CodePage();
    return std::move(found_);
  }
  std::optional<std::u16string> face;

 private:
  void Add(const char* rule, std::string message) { found_.push_back({rule, std::move(message)}); }

  bool Header() {
    if (!r_.Holds(0, kHdrSize)) {
      Add("size", "the file is shorter than its header");
      return false;
    }
    if (r_.U32(kHdrDwSize) != r_.Size()) {
      Add("size", "the header gives " + std::to_string(r_.U32(kHdrDwSize)) + " bytes, the file has " +
                      std::to_string(r_.Size()));
    }
    if (r_.U32(kHdrVersion) != kUnifmVersion10) Add("size", "the version is not 1.0");
    bool whole = true;
    whole &= Structure("Unidrv information", kHdrLoUnidrvInfo, kUniSize, true);
    whole &= Structure("IFIMETRICS", kHdrLoIfiMetrics, kIfiSize, true);
    Structure("extended text metrics", kHdrLoExtTextMetric, 52, false);
    Structure("width table", kHdrLoWidthTable, 8, false);
    Structure("kerning pairs", kHdrLoKernPair, 8, false);
    return whole;
  }

  bool Structure(const std::string& what, std::size_t field, std::size_t size, bool required) {
    const std::uint32_t at = r_.U32(field);
    if (at == 0 && !required) return true;
    if (at < kHdrSize || at % 4 != 0 || !r_.Holds(at, size)) {
      Add("offset", "the " + what + " at " + std::to_string(at) + " is not inside the file after the header");
      return false;
    }
    return true;
  }

  void Unidrv() {
    const std::size_t at = r_.U32(kHdrLoUnidrvInfo);
    const std::uint32_t size = r_.U32(at + kUniDwSize);
    if (size < kUniSize || !r_.Holds(at, size)) {
      Add("unidrv", "the Unidrv information's size " + std::to_string(size) + " is not inside the file");
      return;
    }
    for (std::size_t invoc : {kUniSelectFont, kUniUnSelectFont}) {
      const std::uint32_t count = r_.U32(at + invoc), offset = r_.U32(at + invoc + 4);
      if (count != 0 && (offset < kUniSize || offset > size || count > size - offset)) {
        Add("unidrv", std::string(invoc == kUniSelectFont ? "the select" : "the unselect") +
                          " command lies outside the Unidrv information");
      }
    }
    if (dpi_ != 0 && (r_.U16(at + kUniXRes) != static_cast<std::uint32_t>(dpi_) ||
                      r_.U16(at + kUniYRes) != static_cast<std::uint32_t>(dpi_))) {
      Add("unidrv", "the resolution " + std::to_string(r_.U16(at + kUniXRes)) + " x " +
                        std::to_string(r_.U16(at + kUniYRes)) + " is not the model's " + std::to_string(dpi_));
    }
  }

  void Ifi() {
    const std::size_t at = r_.U32(kHdrLoIfiMetrics);
    const std::uint32_t size = r_.U32(at + kIfiCjThis);
    if (size < kIfiSize || !r_.Holds(at, size)) {
      return Add("ifi", "the IFIMETRICS's size " + std::to_string(size) + " is not inside the file");
    }
    const std::pair<std::size_t, const char*> names[] = {
        {kIfiFamilyName, "family"}, {kIfiStyleName, "style"}, {kIfiFaceName, "face"}, {kIfiUniqueName, "unique"}};
    for (const auto& [field, what] : names) {
      const std::uint32_t offset = r_.U32(at + field);
      if (offset == 0 && field == kIfiStyleName) continue;
      const auto text = offset < kIfiSize ? std::nullopt : r_.Text(at + offset, at + size);
      if (!text) {
        Add("ifi", std::string("the ") + what + " name is not an ended text inside the IFIMETRICS");
      } else if (field == kIfiFaceName) {
        if (text->empty()) Add("ifi", "the face name is empty");
        face = *text;
      }
    }
    const int em = r_.S16(at + kIfiUnitsPerEm);
    if (em <= 0 || r_.S16(at + kIfiWinAscender) + r_.S16(at + kIfiWinDescender) != em) {
      Add("metrics", "ascent and descent do not make the em of " + std::to_string(em));
    }
    const int average = r_.S16(at + kIfiAveCharWidth), widest = r_.S16(at + kIfiMaxCharInc);
    if (r_.U32(kHdrLoWidthTable) == 0 &&
        ((r_.U32(at + kIfiFlInfo) & kFmInfoConstantWidth) == 0 || average <= 0 || average != widest)) {
      Add("metrics", "a font without a width table is not of one constant width");
    }
    if (r_.U16(at + kIfiWcFirstChar) > r_.U16(at + kIfiWcLastChar)) Add("metrics", "the first character is after the last");
  }

  void CodePage() {
    const auto page = static_cast<std::uint16_t>(r_.U32(kHdrDefaultCodepage));
    const std::int32_t conversion = r_.S32(kHdrGlyphSetDataRcId);
    if (conversion > 0) return Add("codepage", "a glyph translation table " + std::to_string(conversion) + " the kit does not carry");
    if (conversion == 0 || conversion != BuiltInConversionOf(page)) {
      Add("codepage", "the conversion " + std::to_string(conversion) + " is not code page " + std::to_string(page) + "'s");
    }
    const std::size_t at = r_.U32(kHdrLoIfiMetrics);
    if (r_.U8(at + kIfiWinCharSet) != CharsetOf(page)) {
      Add("codepage", "the character set " + std::to_string(r_.U8(at + kIfiWinCharSet)) + " is not code page " +
                          std::to_string(page) + "'s");
    }
  }

  Reader r_;
  int dpi_;
  std::vector<UfmFinding> found_;
};

}  // namespace

std::vector<UfmFinding> CheckUfm(std::span<const std::uint8_t> file, int dots_per_inch) {
  return Checker(file, dots_per_inch).Run();
}

std::optional<std::u16string> FaceNameOf(std::span<const std::uint8_t> file) {
  Checker checker(file, 0);
  if (!checker.Run().empty()) return std::nullopt;
  return checker.face;
}

std::vector<int> DeviceFontIds(std::string_view gpd_text) {
  std::vector<int> ids;
  const gpd::GpdFile file = gpd::ReadGpd(gpd_text);
  for (const gpd::Entry* e : gpd::All(file.root, "DeviceFonts")) {
    const std::size_t open = e->value.find('('), close = e->value.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) continue;
    std::string number;
    for (std::size_t i = open + 1; i <= close; ++i) {
      const char c = e->value[i];
      if (c >= '0' && c <= '9') {
        number += c;
      } else if (!number.empty()) {
        ids.push_back(std::stoi(number));
        number.clear();
      }
    }
  }
  return ids;
}

std::vector<UfmFinding> CheckFontList(const std::vector<int>& listed,
                                      const std::map<int, std::vector<std::uint8_t>>& carried) {
  std::vector<UfmFinding> found;
  std::set<int> seen;
  std::set<std::u16string> faces;
  for (int id : listed) {
    if (!seen.insert(id).second) {
      found.push_back({"listed", "font " + std::to_string(id) + " is listed twice"});
      continue;
    }
    const auto file = carried.find(id);
    if (file == carried.end()) {
      found.push_back({"listed", "font " + std::to_string(id) + " is listed but not carried"});
      continue;
    }
    const auto face = FaceNameOf(file->second);
    if (face && !faces.insert(*face).second) {
      found.push_back({"listed", "font " + std::to_string(id) + " repeats the face name of another"});
    }
  }
  return found;
}

std::string Describe(std::string_view file, const UfmFinding& finding) {
  return std::string(file) + ": [" + finding.rule + "] " + finding.message;
}

}  // namespace kit::print::fonts
