// The printer's utilities as the kit's Windows pages send them, for the
// printer application's web page: the self-test page, the stored logos
// (converted as the Download page converts them) and clearing the logos.
// Each is one raw job in the kit's own command bytes, named as the Windows
// spooler shows it.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace kit::printapp {

using Bytes = std::vector<std::uint8_t>;

struct UtilityJob {
  std::string name;  // "SELFTEST", "LOGO"
  Bytes bytes;       // the pieces of the Windows job, one after the other
};

UtilityJob SelfTestJob();
UtilityJob ClearLogosJob();

// The largest picture the Download page admits, in pixels, and the most
// the printer stores of all logos together, in bytes of their one-bit files.
inline constexpr int kMaxLogoWidth = 1024;
inline constexpr int kMaxLogoHeight = 768;
inline constexpr std::size_t kMaxLogoBytes = 96 * 1024;

// The halftone of a 24-bit or 8-bit picture, as the Download page offers
// them: None, Dither M3, Dither M4, Error Diffuse; its default for a picture
// that needs converting is Dither M3.
inline constexpr int kDefaultHalftone = 1;

// The logo job for the pictures (BMP files) in order: the printer stores
// them as logos 1 to n. A one-bit picture is sent as it is; a 24-bit or
// 8-bit one is converted with `halftone`. On a picture the printer cannot
// take, the Download page's message (naming the picture by its position).
std::variant<UtilityJob, std::string> LogoJob(std::span<const Bytes> pictures, int halftone);

}  // namespace kit::printapp
