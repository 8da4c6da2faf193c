// kvlogo: converts logo bitmaps to the printer's one-bit format and shows
// BMP headers.
//
//   kvlogo convert SRC.bmp [--halftone none|m3|m4|diffuse] [--contrast C]
//                          [--brightness B] [-o OUT.bmp]
//   kvlogo info FILE.bmp
//
// Without -o the result goes beside the source, named as the download page
// names it (SRC less its last four characters, plus "Temp.bmp").
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/bmp/bmp.h"
#include "print/logo/logo_convert.h"
#include "print/logo/logo_files.h"
#include "print/logo/logo_levels.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fputs(
      "usage: kvlogo convert SRC.bmp [--halftone none|m3|m4|diffuse] [--contrast C] [--brightness B] [-o OUT.bmp]\n"
      "       kvlogo info FILE.bmp\n",
      stderr);
  return kExitUsage;
}

bool ParseInt(std::string_view text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc{} && end == text.data() + text.size();
}

bool ParseHalftone(std::string_view text, int& value) {
  using kit::logo::HalftoneMethod;
  if (text == "none") value = static_cast<int>(HalftoneMethod::kNone);
  else if (text == "m3") value = static_cast<int>(HalftoneMethod::kDitherM3);
  else if (text == "m4") value = static_cast<int>(HalftoneMethod::kDitherM4);
  else if (text == "diffuse") value = static_cast<int>(HalftoneMethod::kErrorDiffuse);
  else return false;
  return true;
}

int Convert(const std::vector<std::string_view>& args) {
  std::string source;
  std::string output;
  kit::logo::LogoSettings settings;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--halftone" && has_value) {
      if (!ParseHalftone(args[++i], settings.halftone)) {
        std::fprintf(stderr, "kvlogo: unknown halftone \"%.*s\" (none, m3, m4, diffuse)\n",
                     static_cast<int>(args[i].size()), args[i].data());
        return kExitUsage;
      }
    } else if ((arg == "--contrast" || arg == "--brightness") && has_value) {
      int& target = arg == "--contrast" ? settings.contrast : settings.brightness;
      if (!ParseInt(args[++i], target) || target < kit::logo::kMinAdjustment || target > kit::logo::kMaxAdjustment) {
        std::fprintf(stderr, "kvlogo: %.*s must be a whole number from -100 to 100\n", static_cast<int>(arg.size()),
                     arg.data());
        return kExitUsage;
      }
    } else if (arg == "-o" && has_value) {
      output = args[++i];
    } else if (!arg.empty() && arg[0] != '-' && source.empty()) {
      source = arg;
    } else {
      return Usage();
    }
  }
  if (source.empty()) return Usage();
  if (output.empty()) {
    const auto derived = kit::logo::LogoResultPath(source);
    if (!derived) {
      std::fprintf(stderr, "kvlogo: %s: %s\n", source.c_str(), kit::logo::LogoStatusText(kit::logo::LogoStatus::kBadPath));
      return kExitFailed;
    }
    output = *derived;
  }
  kit::logo::HostLogoFiles files;
  const auto status = kit::logo::ConvertLogoFile(files, source, output, settings);
  if (status != kit::logo::LogoStatus::kOk) {
    std::fprintf(stderr, "kvlogo: %s: %s\n", source.c_str(), kit::logo::LogoStatusText(status));
    return kExitFailed;
  }
  std::printf("%s\n", output.c_str());
  return kExitOk;
}

int Info(const std::vector<std::string_view>& args) {
  if (args.size() != 1) return Usage();
  const std::string path(args[0]);
  kit::logo::HostLogoFiles files;
  const auto source = files.ReadSource(path);
  if (!source) {
    std::fprintf(stderr, "kvlogo: %s: cannot be opened or read\n", path.c_str());
    return kExitFailed;
  }
  const std::span<const std::uint8_t> bytes = source->bytes();
  const auto header = kit::bmp::ReadFileHeader(bytes);
  const auto info = kit::bmp::ReadInfoHeader(bytes);
  if (!header || !info || header->type != kit::bmp::kSignature) {
    std::fprintf(stderr, "kvlogo: %s: not a BMP file\n", path.c_str());
    return kExitFailed;
  }
  std::printf("file size:      %zu (header says %u)\n", bytes.size(), header->file_size);
  std::printf("pixel offset:   %u\n", header->pixel_offset);
  std::printf("info header:    %u bytes\n", info->header_size);
  std::printf("width:          %d\n", info->width);
  std::printf("height:         %d%s\n", info->height, info->height < 0 ? " (top row first)" : "");
  std::printf("bits per pixel: %u\n", info->bits_per_pixel);
  std::printf("compression:    %u%s\n", info->compression, info->compression == kit::bmp::kCompressionNone ? " (none)" : "");
  const auto stride = kit::bmp::RowStride(info->width, info->bits_per_pixel);
  if (stride) {
    std::printf("row stride:     %zu bytes\n", *stride);
  } else {
    std::printf("row stride:     none (impossible width or depth)\n");
  }
  const std::size_t count = kit::bmp::DeclaredPaletteCount(*info);
  const auto palette = kit::bmp::ReadPalette(bytes, kit::bmp::PaletteOffset(*info), count);
  if (count == 0) {
    std::printf("palette:        none\n");
  } else if (!palette) {
    std::printf("palette:        %zu entries declared, beyond the end of the file\n", count);
  } else {
    std::printf("palette:        %zu entries (blue green red reserved)\n", count);
    for (std::size_t i = 0; i < palette->size(); ++i) {
      const auto& e = (*palette)[i];
      std::printf("  %3zu: %02X %02X %02X %02X\n", i, e.blue, e.green, e.red, e.reserved);
    }
  }
  if (stride && info->height != 0) {
    const auto rows = static_cast<std::size_t>(info->height < 0 ? -static_cast<std::int64_t>(info->height) : info->height);
    const bool fits = kit::bmp::RowsFit(bytes.size(), header->pixel_offset, *stride, rows);
    std::printf("pixel rows:     %s\n", fits ? "inside the file" : "beyond the end of the file");
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string_view command = argv[1];
  const std::vector<std::string_view> args(argv + 2, argv + argc);
  if (command == "convert") return Convert(args);
  if (command == "info") return Info(args);
  return Usage();
}
