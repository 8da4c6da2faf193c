// This file is OS-independent.
#include "plugin/pages/logo/logo_convert.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>

#include "common/bmp/bmp.h"
#include "plugin/pages/logo/logo_files.h"
#include "plugin/pages/logo/logo_levels.h"

namespace kit::logo {

namespace {

// Black and white palette of the result: entry 0 black, entry 1 white.
constexpr std::array<bmp::PaletteEntry, 2> kResultPalette = {
    bmp::PaletteEntry{0x00, 0x00, 0x00, 0x00}, bmp::PaletteEntry{0xFF, 0xFF, 0xFF, 0x00}};

// Luminance weights in per mille, applied through per-level tables.
constexpr int kRedWeight = 299;
constexpr int kGreenWeight = 587;
constexpr int kBlueWeight = 114;
constexpr int kWeightScale = 1000;
// Error diffusion: a level above this is white.
constexpr int kDiffuseThreshold = 128;

struct Image {
  const std::uint8_t* rows = nullptr;  // stored row 0 is the bottom row
  std::size_t stride = 0;
  int width = 0;
  int height = 0;
  const std::uint8_t* Row(int y) const { return rows + static_cast<std::size_t>(y) * stride; }
};

struct Mono {
  std::uint8_t* rows = nullptr;
  std::size_t stride = 0;
  std::uint8_t* Row(int y) const { return rows + static_cast<std::size_t>(y) * stride; }
};

// Grey level of 24-bit pixels through per-channel tables that already hold the
// weighted, adjusted level: Y = (wR[r] + wG[g] + wB[b]) / 1000.
struct WeightedTables {
  std::array<std::uint32_t, 256> red{}, green{}, blue{};
  WeightedTables(const LevelTable& r, const LevelTable& g, const LevelTable& b) {
    for (int v = 0; v < 256; ++v) {
      red[v] = static_cast<std::uint32_t>(kRedWeight * r[v]);
      green[v] = static_cast<std::uint32_t>(kGreenWeight * g[v]);
      blue[v] = static_cast<std::uint32_t>(kBlueWeight * b[v]);
    }
  }
  // The weighted sum before the division: Y >= k exactly when Sum >= 1000 k,
  // which lets the threshold methods compare without dividing.
  std::uint32_t Sum(const std::uint8_t* bgr) const { return blue[bgr[0]] + green[bgr[1]] + red[bgr[2]]; }
  int Grey(const std::uint8_t* bgr) const { return static_cast<int>(Sum(bgr) / kWeightScale); }
};

// Writes one result row from a per-pixel "is white" decision: pixel x goes to
// bit 7 - (x mod 8) of byte x / 8; the unused low bits of the last byte stay 0.
template <typename IsWhite>
inline void PackRow(std::uint8_t* out, int width, IsWhite&& is_white) {
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    unsigned byte = 0;
    for (int i = 0; i < 8; ++i) byte = (byte << 1) | (is_white(x + i) ? 1u : 0u);
    *out++ = static_cast<std::uint8_t>(byte);
  }
  if (x < width) {
    const int left = width - x;
    unsigned byte = 0;
    for (int i = 0; i < left; ++i) byte = (byte << 1) | (is_white(x + i) ? 1u : 0u);
    *out = static_cast<std::uint8_t>(byte << (8 - left));
  }
}

std::uint64_t PixelCount(const Image& image) {
  return static_cast<std::uint64_t>(image.width) * static_cast<std::uint64_t>(image.height);
}

struct ChannelMeans {
  int blue = 0, green = 0, red = 0;
};

// Integer means over the image of the three channels, each first passed
// through its table.
ChannelMeans MeansOf24(const Image& image, const LevelTable& b, const LevelTable& g, const LevelTable& r) {
  std::uint64_t sb = 0, sg = 0, sr = 0;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    std::uint64_t rb = 0, rg = 0, rr = 0;
    for (int x = 0; x < image.width; ++x, p += 3) {
      rb += b[p[0]];
      rg += g[p[1]];
      rr += r[p[2]];
    }
    sb += rb;
    sg += rg;
    sr += rr;
  }
  const std::uint64_t n = PixelCount(image);
  return ChannelMeans{static_cast<int>(sb / n), static_cast<int>(sg / n), static_cast<int>(sr / n)};
}

// The same for the unadjusted channels: plain sums, four pixels (twelve
// bytes) a step so that the additions do not wait on one another.
ChannelMeans RawMeans24(const Image& image) {
  std::uint64_t sb = 0, sg = 0, sr = 0;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    std::uint32_t b0 = 0, g0 = 0, r0 = 0, b1 = 0, g1 = 0, r1 = 0;
    int x = 0;
    for (; x + 4 <= image.width; x += 4, p += 12) {
      b0 += p[0] + p[6];
      g0 += p[1] + p[7];
      r0 += p[2] + p[8];
      b1 += p[3] + p[9];
      g1 += p[4] + p[10];
      r1 += p[5] + p[11];
    }
    for (; x < image.width; ++x, p += 3) {
      b0 += p[0];
      g0 += p[1];
      r0 += p[2];
    }
    sb += b0 + b1;
    sg += g0 + g1;
    sr += r0 + r1;
  }
  const std::uint64_t n = PixelCount(image);
  return ChannelMeans{static_cast<int>(sb / n), static_cast<int>(sg / n), static_cast<int>(sr / n)};
}

int MeanOf8(const Image& image, const LevelTable& table) {
  std::uint64_t sum = 0;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    std::uint64_t row = 0;
    for (int x = 0; x < image.width; ++x) row += table[p[x]];
    sum += row;
  }
  return static_cast<int>(sum / PixelCount(image));
}

// ---- 24-bit sources ----

void ThresholdMean24(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  const ChannelMeans m = MeansOf24(image, level, level, level);
  const int threshold = (kBlueWeight * m.blue + kGreenWeight * m.green + kRedWeight * m.red) / kWeightScale;
  const WeightedTables grey(level, level, level);
  const auto white_from = static_cast<std::uint32_t>(kWeightScale * (threshold + 1));  // Y > T
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    PackRow(out.Row(y), image.width, [&](int x) { return grey.Sum(p + 3 * x) >= white_from; });
  }
}

void DitherM3_24(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  const WeightedTables grey(level, level, level);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    // (Y >> 2) >= t exactly when Y >= 4t.
    std::array<std::uint32_t, kDitherM3Size> white_from{};
    for (int i = 0; i < kDitherM3Size; ++i) white_from[i] = 4u * kWeightScale * kDitherM3[y % kDitherM3Size][i];
    PackRow(out.Row(y), image.width, [&](int x) { return grey.Sum(p + 3 * x) >= white_from[x % kDitherM3Size]; });
  }
}

void DitherM4_24(const Image& image, const Mono& out, const LogoSettings& s) {
  const ChannelMeans m = RawMeans24(image);
  const WeightedTables grey(MakeAroundMeanTable(m.red, s.contrast, s.brightness),
                            MakeAroundMeanTable(m.green, s.contrast, s.brightness),
                            MakeAroundMeanTable(m.blue, s.contrast, s.brightness));
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    std::array<std::uint32_t, kDitherM4Size> white_from{};
    for (int i = 0; i < kDitherM4Size; ++i) white_from[i] = kWeightScale * kDitherM4[y % kDitherM4Size][i];
    PackRow(out.Row(y), image.width, [&](int x) { return grey.Sum(p + 3 * x) >= white_from[x % kDitherM4Size]; });
  }
}

// ---- 8-bit sources (the stored byte is the grey level) ----

void ThresholdMean8(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  const int threshold = MeanOf8(image, level);
  std::array<bool, 256> white{};
  for (int v = 0; v < 256; ++v) white[v] = level[v] > threshold;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    PackRow(out.Row(y), image.width, [&](int x) { return white[p[x]]; });
  }
}

void DitherM3_8(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    const auto& m = kDitherM3[y % kDitherM3Size];
    PackRow(out.Row(y), image.width, [&](int x) { return (level[p[x]] >> 2) > m[x % kDitherM3Size]; });
  }
}

void DitherM4_8(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    const auto& n = kDitherM4[y % kDitherM4Size];
    PackRow(out.Row(y), image.width, [&](int x) { return level[p[x]] > n[x % kDitherM4Size]; });
  }
}

// ---- Error diffusion, both depths ----

// Serpentine diffusion: even rows (the bottom row is 0) run right to left,
// odd rows left to right. Of each pixel's error 3/8 goes to the next pixel of
// the pass, 3/8 to the pixel in the next row and 1/4 to that pixel's
// neighbour in the pass direction; shares beyond the row are dropped. Shares
// are truncated towards zero (integer division does exactly that).
// Serpentine diffusion: even rows (the bottom row is 0) run right to left,
// odd rows left to right. A pixel whose level plus received error is above
// 128 is white. Of its error 3/8 goes to the next pixel of the pass, 3/8 to
// the pixel in the next row and 1/4 to that pixel's neighbour in the pass
// direction; shares are truncated towards zero (as integer division does).
//
// The serial chain from pixel to pixel is kept short and branch-free: the
// white decision is unpredictable on photographs. The shares that fall
// beyond the row, the carry out of a row's last pixel and the shares out of
// the last row go to spare entries or are never read, which is the same as
// dropping them.
template <typename GreyAt>
void ErrorDiffuse(const Image& image, const Mono& out, GreyAt&& grey_at) {
  const int w = image.width;
  const std::size_t entries = static_cast<std::size_t>(w) + 2;  // one spare entry at each end
  std::vector<int> below_line(entries, 0);
  std::vector<int> next_line(entries, 0);
  std::vector<int> level(static_cast<std::size_t>(w), 0);
  for (int y = 0; y < image.height; ++y) {
    below_line.swap(next_line);
    std::fill(next_line.begin(), next_line.end(), 0);
    const int* below = below_line.data() + 1;
    int* next = next_line.data() + 1;
    const std::uint8_t* p = image.Row(y);
    for (int x = 0; x < w; ++x) level[x] = grey_at(p, x) + below[x];
    std::uint8_t* row = out.Row(y);
    int carry = 0;
    unsigned bits = 0;
    if (y % 2 == 1) {
      for (int x = 0; x < w; ++x) {
        const int v = level[x] + carry;
        const int white = v > kDiffuseThreshold ? 1 : 0;
        const int e = v - white * 255;
        bits = (bits << 1) | static_cast<unsigned>(white);
        if ((x & 7) == 7) {
          row[x >> 3] = static_cast<std::uint8_t>(bits);
          bits = 0;
        }
        carry = e * 3 / 8;
        next[x] += carry;
        next[x + 1] += e / 4;
      }
      if (w & 7) row[w >> 3] = static_cast<std::uint8_t>(bits << (8 - (w & 7)));
    } else {
      for (int x = w - 1; x >= 0; --x) {
        const int v = level[x] + carry;
        const int white = v > kDiffuseThreshold ? 1 : 0;
        const int e = v - white * 255;
        bits |= static_cast<unsigned>(white) << (7 - (x & 7));
        if ((x & 7) == 0) {
          row[x >> 3] = static_cast<std::uint8_t>(bits);
          bits = 0;
        }
        carry = e * 3 / 8;
        next[x] += carry;
        next[x - 1] += e / 4;
      }
    }
  }
}

void Diffuse24(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  const WeightedTables grey(level, level, level);
  ErrorDiffuse(image, out, [&](const std::uint8_t* p, int x) { return grey.Grey(p + 3 * x); });
}

void Diffuse8(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  ErrorDiffuse(image, out, [&](const std::uint8_t* p, int x) { return static_cast<int>(level[p[x]]); });
}

bool SettingsInRange(const LogoSettings& s) {
  return s.halftone >= static_cast<int>(HalftoneMethod::kNone) &&
         s.halftone <= static_cast<int>(HalftoneMethod::kErrorDiffuse) && s.contrast >= kMinAdjustment &&
         s.contrast <= kMaxAdjustment && s.brightness >= kMinAdjustment && s.brightness <= kMaxAdjustment;
}

LogoResult Fail(LogoStatus status) { return LogoResult{status, {}}; }

LogoResult Convert(std::span<const std::uint8_t> source, const LogoSettings& settings) {
  if (!SettingsInRange(settings)) return Fail(LogoStatus::kBadSettings);
  const auto file_header = bmp::ReadFileHeader(source);
  const auto info = bmp::ReadInfoHeader(source);
  if (!file_header || !info || file_header->type != bmp::kSignature) return Fail(LogoStatus::kNotBitmap);
  if (info->compression != bmp::kCompressionNone) return Fail(LogoStatus::kCompressed);
  if (info->bits_per_pixel != 24 && info->bits_per_pixel != 8) return Fail(LogoStatus::kUnsupportedDepth);
  if (info->width < 1 || info->height < 1) return Fail(LogoStatus::kBadDimensions);

  const bool is24 = info->bits_per_pixel == 24;
  const std::size_t offset = is24 ? kSource24PixelOffset : kSource8PixelOffset;
  const auto stride = bmp::RowStride(info->width, info->bits_per_pixel);
  const auto result_stride = bmp::RowStride(info->width, 1);
  const auto height = static_cast<std::size_t>(info->height);
  if (!stride || !result_stride) return Fail(LogoStatus::kBadDimensions);
  if (!bmp::RowsFit(source.size(), offset, *stride, height)) return Fail(LogoStatus::kTruncated);
  const auto method = static_cast<HalftoneMethod>(settings.halftone);
  if (method == HalftoneMethod::kErrorDiffuse && info->width > kDiffuseLineEntries) {
    return Fail(LogoStatus::kTooWide);
  }
  // The result is never much larger than the source, but its size fields are 32-bit.
  const std::uint64_t image_size = static_cast<std::uint64_t>(*result_stride) * height;
  if (image_size > std::numeric_limits<std::uint32_t>::max() - kResultPixelOffset) {
    return Fail(LogoStatus::kBadDimensions);
  }

  LogoResult result;
  result.file.reserve(kResultPixelOffset + static_cast<std::size_t>(image_size));
  bmp::AppendFileHeader(result.file, bmp::FileHeader{bmp::kSignature,
                                                     static_cast<std::uint32_t>(image_size + kResultPixelOffset),
                                                     0, 0, static_cast<std::uint32_t>(kResultPixelOffset)});
  bmp::InfoHeader out_info;
  out_info.width = info->width;
  out_info.height = info->height;
  out_info.planes = 1;
  out_info.bits_per_pixel = 1;
  out_info.image_size = static_cast<std::uint32_t>(image_size);
  bmp::AppendInfoHeader(result.file, out_info);
  bmp::AppendPalette(result.file, kResultPalette);
  result.file.resize(kResultPixelOffset + static_cast<std::size_t>(image_size), 0);  // every bit starts black

  const Image image{source.data() + offset, *stride, info->width, info->height};
  const Mono mono{result.file.data() + kResultPixelOffset, *result_stride};
  switch (method) {
    case HalftoneMethod::kNone:
      is24 ? ThresholdMean24(image, mono, settings) : ThresholdMean8(image, mono, settings);
      break;
    case HalftoneMethod::kDitherM3:
      is24 ? DitherM3_24(image, mono, settings) : DitherM3_8(image, mono, settings);
      break;
    case HalftoneMethod::kDitherM4:
      is24 ? DitherM4_24(image, mono, settings) : DitherM4_8(image, mono, settings);
      break;
    case HalftoneMethod::kErrorDiffuse:
      is24 ? Diffuse24(image, mono, settings) : Diffuse8(image, mono, settings);
      break;
  }
  return result;
}

}  // namespace

const char* LogoStatusText(LogoStatus status) {
  switch (status) {
    case LogoStatus::kOk: return "converted";
    case LogoStatus::kCannotRead: return "the source file cannot be opened or read";
    case LogoStatus::kNotBitmap: return "not a BMP file (too short, or no \"BM\" signature)";
    case LogoStatus::kCompressed: return "compressed bitmaps are not converted";
    case LogoStatus::kUnsupportedDepth: return "only 24-bit and 8-bit bitmaps are converted";
    case LogoStatus::kBadDimensions: return "the width or height is not a positive size that can be stored";
    case LogoStatus::kTruncated: return "the pixel rows do not fit in the file";
    case LogoStatus::kTooWide: return "Error Diffuse takes images up to 2000 pixels wide";
    case LogoStatus::kBadSettings: return "halftone must be 0..3, contrast and brightness -100..100";
    case LogoStatus::kBadPath: return "the source path is too short to name the result";
    case LogoStatus::kCannotWrite: return "the result file cannot be created or written";
    case LogoStatus::kNoMemory: return "not enough memory";
  }
  return "unknown failure";
}

LogoResult ConvertLogoBytes(std::span<const std::uint8_t> source, const LogoSettings& settings) {
  try {
    return Convert(source, settings);
  } catch (const std::bad_alloc&) {
    return Fail(LogoStatus::kNoMemory);
  }
}

std::optional<std::string> LogoResultPath(const std::string& source_path) {
  constexpr std::size_t kDropped = 4;  // the ".bmp" extension, whatever it reads
  if (source_path.size() < kDropped) return std::nullopt;
  return source_path.substr(0, source_path.size() - kDropped) + kResultSuffix;
}

namespace {

// Reads, converts and writes through either kind of files.
template <typename FilesT, typename PathT>
LogoStatus ConvertThrough(FilesT& files, const PathT& source_path, const PathT& result_path,
                          const LogoSettings& settings) {
  try {
    const auto source = files.Read(source_path);
    if (!source) return LogoStatus::kCannotRead;
    const LogoResult result = ConvertLogoBytes(*source, settings);
    if (result.status != LogoStatus::kOk) return result.status;
    return files.Write(result_path, result.file) ? LogoStatus::kOk : LogoStatus::kCannotWrite;
  } catch (const std::bad_alloc&) {
    return LogoStatus::kNoMemory;
  }
}

}  // namespace

LogoStatus ConvertLogoFile(LogoFiles& files, const std::string& source_path, const std::string& result_path,
                           const LogoSettings& settings) {
  return ConvertThrough(files, source_path, result_path, settings);
}

LogoStatus ConvertLogoFile(WideLogoFiles& files, const std::u16string& source_path,
                           const std::u16string& result_path, const LogoSettings& settings) {
  return ConvertThrough(files, source_path, result_path, settings);
}

int ConvertLogoToMono(LogoFiles& files, const std::string& source_path, std::string& result_path, int halftone,
                      int contrast, int brightness) {
  const auto path = LogoResultPath(source_path);
  if (!path) return kConvertFailed;
  result_path = *path;
  const LogoStatus status = ConvertLogoFile(files, source_path, *path, LogoSettings{halftone, contrast, brightness});
  return status == LogoStatus::kOk ? kConvertDone : kConvertFailed;
}

}  // namespace kit::logo
