// Jobs for the virtual printer's tests and benchmark: a logo converted by the
// kit's own conversion and sent as the Download page sends it, and a till
// program's receipt.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "print/commands/printer_commands.h"
#include "print/logo/logo_convert.h"
#include "tests/print/logo/test_images.h"

namespace kit::tools::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Joined(const print::rawjob::RawJob& job) {
  Bytes all;
  for (const auto& piece : job.pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

inline Bytes operator+(Bytes a, std::string_view b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A width x height colour picture (rings and a gradient) converted to one
// bit with Dither M3, as the Download page converts it.
inline Bytes ConvertedLogo(int width, int height) {
  const Bytes source = logo::testing::Make24(width, height, [](int x, int y) {
    const auto v = static_cast<std::uint8_t>(((x - 40) * (x - 40) + (y - 20) * (y - 20)) / 7 % 256);
    return logo::testing::Bgr{v, static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 3)};
  });
  return logo::ConvertLogoBytes(source, {1, 0, 0}).file;
}

// The "LOGO" job of the Download page for one converted bitmap.
inline Bytes LogoJob(const Bytes& mono) {
  const auto logo = std::get<print::commands::LogoImage>(print::commands::EncodeLogo(mono));
  const print::commands::LogoImage logos[] = {logo};
  return Joined(*print::commands::LogoDownloadJob(logos));
}

// A till receipt about 30 cm long: the stored logo 1 centred, a heading,
// item lines, an EAN13 and a Code128 barcode, a partial cut.
inline Bytes TillReceipt() {
  Bytes job = Bytes{0x1B, 0x40, 0x1B, 0x61, 0x01, 0x1C, 0x70, 0x01, 0x00} + Bytes{0x1B, 0x21, 0x30} +
              std::string_view("CORNER SHOP\n") + Bytes{0x1B, 0x21, 0x00, 0x1B, 0x61, 0x00};
  for (int i = 0; i < 50; ++i) job = job + std::string_view("Item number     1 x 2.50    2.50\n");
  job = job + Bytes{0x1B, 0x45, 0x01} + std::string_view("TOTAL                     100.00\n") + Bytes{0x1B, 0x45, 0x00};
  job = job + Bytes{0x1B, 0x61, 0x01, 0x1D, 0x48, 0x02, 0x1D, 0x77, 0x02, 0x1D, 0x68, 0x50, 0x1D, 0x6B, 0x02} +
        std::string_view("400638133393") + Bytes{0x00, 0x0A};
  job = job + Bytes{0x1D, 0x6B, 0x49, 0x0B} + std::string_view("{BRECEIPT-1") + Bytes{0x0A};
  return job + Bytes{0x1B, 0x64, 0x03, 0x1D, 0x56, 0x42, 0x00};
}

}  // namespace kit::tools::testing
