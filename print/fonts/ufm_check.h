// The kit's own check of the font metrics it carries, run on every .ufm the
// rendering modules hold as it checks every GPD. Rules, each named in a
// finding:
//   size      the header's size is the file's, its version 1.0
//   offset    each structure the header points at lies inside the file,
//             aligned, after the header
//   unidrv    the Unidrv information's size and its command strings stay
//             inside it, at the resolution of the model
//   ifi       the IFIMETRICS and its names lie inside it, each name ended
//   codepage  the built-in conversion is the default code page's, the
//             character set the page's
//   metrics   ascent and descent make the em, a fixed pitch has its width
//   listed    every font the GPD lists is carried once, under one face name
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kit::print::fonts {

struct UfmFinding {
  std::string rule;
  std::string message;
};

// Every finding of one file; none for a sound one. `dots_per_inch` 0 takes
// any resolution.
std::vector<UfmFinding> CheckUfm(std::span<const std::uint8_t> file, int dots_per_inch = 0);

// The face name of a sound file; nothing when the check would refuse it.
std::optional<std::u16string> FaceNameOf(std::span<const std::uint8_t> file);

// The resource ids a GPD's *DeviceFonts entries list, in file order.
std::vector<int> DeviceFontIds(std::string_view gpd_text);

// The "listed" rule over a module's metrics by resource id.
std::vector<UfmFinding> CheckFontList(const std::vector<int>& listed,
                                      const std::map<int, std::vector<std::uint8_t>>& carried);

// "VRTQ40_01.UFM: [offset] the IFIMETRICS reaches past the file's end"
std::string Describe(std::string_view file, const UfmFinding& finding);

}  // namespace kit::print::fonts
