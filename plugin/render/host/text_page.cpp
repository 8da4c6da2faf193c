// This file is OS-independent.
#include "plugin/render/host/text_page.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/codepage/codepage.h"
#include "print/fonts/font_table.h"
#include "print/fonts/ufm_check.h"
#include "print/fonts/ufm_layout.h"

namespace kit::plugin::render_host {
namespace {

constexpr std::uint8_t kWhite = 255;
// The page's end below its last item: one Font A line.
constexpr int kEndMargin = print::fonts::kFontACell.height;

std::u16string Lower(std::u16string s) {
  for (char16_t& c : s) {
    if (c < 0x80) c = static_cast<char16_t>(std::tolower(c));
  }
  return s;
}

std::uint32_t U32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

std::vector<std::uint8_t> Invocation(const std::string& b, std::size_t unidrv, std::size_t field) {
  const std::uint32_t count = U32(b, unidrv + field), offset = U32(b, unidrv + field + 4);
  if (count == 0) return {};
  return {b.begin() + static_cast<std::ptrdiff_t>(unidrv + offset),
          b.begin() + static_cast<std::ptrdiff_t>(unidrv + offset + count)};
}

}  // namespace

std::optional<PageDescription> ReadPageDescription(const std::string& text, std::string& error) {
  PageDescription page;
  std::istringstream lines(text);
  int number = 0, bottom = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream in(line);
    std::string verb;
    if (!(in >> verb) || verb[0] == '#') continue;
    const auto fail = [&](const char* why) {
      error = "line " + std::to_string(number) + ": " + why;
      return std::nullopt;
    };
    if (verb == "height") {
      if (!(in >> page.height) || page.height <= 0) return fail("height: a number of dots");
    } else if (verb == "picture") {
      PictureItem p;
      if (!(in >> p.x >> p.y >> p.path)) return fail("picture X Y FILE");
      const auto grey = ReadPgm(p.path);
      if (!grey) return fail("the picture is no grey PGM");
      bottom = std::max(bottom, p.y + grey->height);
      page.pictures.push_back(p);
    } else if (verb == "text") {
      TextRun r;
      double points = 0;
      std::string rest;
      if (!(in >> r.x >> r.y >> points) || points <= 0 || !std::getline(in, rest)) return fail("text X Y POINTS FONT: STRING");
      const std::size_t colon = rest.find(':');
      if (colon == std::string::npos) return fail("text: the font's name ends with a colon");
      const std::size_t first = rest.find_first_not_of(' ');
      r.font = rest.substr(first, colon - first);
      r.text = codepage::Utf8ToUtf16(rest.substr(std::min(rest.size(), colon + 2)));
      r.point_tenths = static_cast<int>(points * 10 + 0.5);
      bottom = std::max(bottom, r.y + r.point_tenths);  // a line at most its size in points, in dots
      page.runs.push_back(std::move(r));
    } else {
      return fail("not height, picture or text");
    }
  }
  if (page.height == 0) page.height = bottom + kEndMargin;
  return page;
}

std::vector<DeviceFont> ListedFonts(const std::string& gpd_text, const print::model::Model& model,
                                    const std::string& metrics_folder) {
  std::vector<DeviceFont> fonts;
  for (int id : print::fonts::DeviceFontIds(gpd_text)) {
    char name[64];
    std::snprintf(name, sizeof name, "/%.*s_%02d.UFM", static_cast<int>(model.token.size()), model.token.data(), id);
    std::ifstream in(metrics_folder + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string b = bytes.str();
    const std::vector<std::uint8_t> ufm(b.begin(), b.end());
    const auto face = print::fonts::FaceNameOf(ufm);
    if (!face) continue;
    namespace u = print::fonts::ufm;
    const std::size_t unidrv = U32(b, u::kHdrLoUnidrvInfo), ifi = U32(b, u::kHdrLoIfiMetrics);
    DeviceFont f;
    f.id = id;
    f.face = *face;
    const int em = static_cast<std::int16_t>(U32(b, ifi + u::kIfiUnitsPerEm) & 0xFFFF);
    f.point_tenths = print::fonts::PointTenthsOf(em, model.dots_per_inch);
    f.scalable = (U32(b, unidrv + u::kUniGenFlags) & u::kUfmScalable) != 0;
    f.select = Invocation(b, unidrv, u::kUniSelectFont);
    f.unselect = Invocation(b, unidrv, u::kUniUnSelectFont);
    fonts.push_back(std::move(f));
  }
  return fonts;
}

const DeviceFont* MapFont(const std::vector<DeviceFont>& fonts, const TextRun& run) {
  const std::u16string asked = Lower(codepage::Utf8ToUtf16(run.font));
  // The size as the Font page shows it: rounded to halves.
  const int tenths = (run.point_tenths + 2) / 5 * 5;
  for (const DeviceFont& f : fonts) {
    if (Lower(f.face) == asked && (f.scalable || f.point_tenths == tenths)) return &f;
  }
  return nullptr;
}

GreyPage GreyOf(const PageDescription& page, int width) {
  GreyPage grey{width, page.height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * page.height, kWhite)};
  for (const PictureItem& p : page.pictures) {
    const auto picture = ReadPgm(p.path);
    if (!picture) continue;
    for (int r = 0; r < picture->height; ++r) {
      for (int c = 0; c < picture->width; ++c) {
        const int x = p.x + c, y = p.y + r;
        if (x < 0 || x >= width || y < 0 || y >= page.height) continue;
        grey.grey[static_cast<std::size_t>(y) * width + x] = picture->grey[static_cast<std::size_t>(r) * picture->width + c];
      }
    }
  }
  return grey;
}

}  // namespace kit::plugin::render_host
