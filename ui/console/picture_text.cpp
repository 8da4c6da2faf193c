// This file is OS-independent.
#include "ui/console/picture_text.h"

#include <algorithm>
#include <cstdint>

#include "common/bmp/grey.h"

namespace kit::ui::console {
namespace {

// From black to white.
constexpr char kShades[] = "#%*+=-:. ";
constexpr int kShadeCount = sizeof kShades - 1;

int Grey(std::uint32_t rgb) {
  const int r = static_cast<int>((rgb >> 16) & 0xFF), g = static_cast<int>((rgb >> 8) & 0xFF),
            b = static_cast<int>(rgb & 0xFF);
  return bmp::GreyLevel(r, g, b);
}

}  // namespace

std::vector<std::string> PictureText(const Bitmap& bitmap) {
  if (bitmap.Empty() || bitmap.pixels.size() < static_cast<std::size_t>(bitmap.width) * bitmap.height) return {};
  // Columns and rows of characters: the picture fitted into the block, a
  // character counting as one unit wide and two high.
  const double scale = std::min(static_cast<double>(kPictureColumns) / bitmap.width,
                                static_cast<double>(kPictureRows) * 2 / bitmap.height);
  const int columns = std::clamp(static_cast<int>(bitmap.width * scale + 0.5), 1, kPictureColumns);
  const int rows = std::clamp(static_cast<int>(bitmap.height * scale / 2 + 0.5), 1, kPictureRows);
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(rows));
  for (int row = 0; row < rows; ++row) {
    const int y0 = static_cast<int>(static_cast<std::int64_t>(row) * bitmap.height / rows);
    const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<std::int64_t>(row + 1) * bitmap.height / rows));
    std::string line;
    for (int column = 0; column < columns; ++column) {
      const int x0 = static_cast<int>(static_cast<std::int64_t>(column) * bitmap.width / columns);
      const int x1 =
          std::max(x0 + 1, static_cast<int>(static_cast<std::int64_t>(column + 1) * bitmap.width / columns));
      std::int64_t sum = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) sum += Grey(bitmap.At(x, y));
      const int mean = static_cast<int>(sum / (static_cast<std::int64_t>(y1 - y0) * (x1 - x0)));
      line.push_back(kShades[mean * (kShadeCount - 1) / 255]);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace kit::ui::console
