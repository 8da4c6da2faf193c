// One-bit BMP files built in memory for the logo encoder's tests.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace kit::print::commands::testing {

// A W x H one-bit BMP with a two-entry palette (entry 0 black when
// `palette0_black`, else white). stored_bit(x, y) gives the stored bit of
// pixel x in stored row y (0 = bottom row); x runs over the whole row
// stride, so the padding bits can be set too.
std::vector<std::uint8_t> MakeMono(int width, int height, bool palette0_black,
                                   const std::function<bool(int x, int y)>& stored_bit);

}  // namespace kit::print::commands::testing
