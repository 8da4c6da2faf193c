#include "print/encoder/font_commands.h"

#include <gtest/gtest.h>

namespace kit::print::commands {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One table of the font commands' bytes: selection of each face and
// magnification corner, the selection's refusals, the position and the undo.
TEST(FontCommands, Bytes) {
  struct Case {
    const char* what;
    std::optional<Bytes> got;
    std::optional<Bytes> want;
  };
  const Case cases[] = {
      {"Font A 1x1, page 0", SelectFontBytes({false, 1, 1, 0}),
       Bytes{0x1B, 0x21, 0x00, 0x1D, 0x21, 0x00, 0x1B, 0x74, 0x00}},
      {"Font B 1x1", SelectFontBytes({true, 1, 1, 0}), Bytes{0x1B, 0x21, 0x01, 0x1D, 0x21, 0x00, 0x1B, 0x74, 0x00}},
      {"Font A 2 across 4 down", SelectFontBytes({false, 2, 4, 0}),
       Bytes{0x1B, 0x21, 0x00, 0x1D, 0x21, 0x13, 0x1B, 0x74, 0x00}},
      {"Font B 4 across 2 down, page 16", SelectFontBytes({true, 4, 2, 16}),
       Bytes{0x1B, 0x21, 0x01, 0x1D, 0x21, 0x31, 0x1B, 0x74, 0x10}},
      {"8 x 8, the largest", SelectFontBytes({false, 8, 8, 0}),
       Bytes{0x1B, 0x21, 0x00, 0x1D, 0x21, 0x77, 0x1B, 0x74, 0x00}},
      {"0 across refused", SelectFontBytes({false, 0, 1, 0}), std::nullopt},
      {"9 down refused", SelectFontBytes({false, 1, 9, 0}), std::nullopt},
      {"undo", UnselectFontBytes(), Bytes{0x1D, 0x21, 0x00, 0x1B, 0x21, 0x00}},
      {"position 0", PositionBytes(0), Bytes{0x1B, 0x24, 0x00, 0x00}},
      {"position 300 low byte first", PositionBytes(300), Bytes{0x1B, 0x24, 0x2C, 0x01}},
      {"position 65535", PositionBytes(65535), Bytes{0x1B, 0x24, 0xFF, 0xFF}},
      {"position -1 refused", PositionBytes(-1), std::nullopt},
      {"position 65536 refused", PositionBytes(65536), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

}  // namespace
}  // namespace kit::print::commands
