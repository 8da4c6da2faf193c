// This file is OS-independent.
#include "print/logo/logo_convert.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/bmp/bmp.h"
#include "print/logo/logo_files.h"
#include "print/logo/logo_levels.h"

namespace kit::logo {

namespace {

// Black and white palette of the result: entry 0 black, entry 1 white.
constexpr std::array<bmp::PaletteEntry, 2> kResultPalette = {
    bmp::PaletteEntry{0x00, 0x00, 0x00, 0x00}, bmp::PaletteEntry{0xFF, 0xFF, 0xFF, 0x00}};

// The grey level's weights, applied through per-level tables.
constexpr int kRedWeight = bmp::kGreyRedWeight;
constexpr int kGreenWeight = bmp::kGreyGreenWeight;
constexpr int kBlueWeight = bmp::kGreyBlueWeight;
constexpr int kWeightScale = bmp::kGreyWeightScale;
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
};

// ---- Row work ----
//
// Every method first turns a source row into one grey level per pixel (a
// byte), then decides each pixel against a threshold. The grey row comes from
// tables, so the per-pixel work is a table read; the decisions are a plain
// comparison of two arrays and go eight pixels to a result byte at once.

// Grey levels of a 24-bit row: Y = (wR[r] + wG[g] + wB[b]) / 1000, with the
// per-channel tables already holding the weighted, adjusted levels.
void GreyRow24(const std::uint8_t* p, int width, const WeightedTables& t, std::uint8_t* grey) {
  for (int x = 0; x < width; ++x, p += 3) {
    grey[x] = static_cast<std::uint8_t>((t.blue[p[0]] + t.green[p[1]] + t.red[p[2]]) / kWeightScale);
  }
}

// Grey levels of an 8-bit row: the stored byte through the level table.
void GreyRow8(const std::uint8_t* p, int width, const LevelTable& level, std::uint8_t* grey) {
  for (int x = 0; x < width; ++x) grey[x] = level[p[x]];
}

// Thresholds of one result row, repeating every 16 pixels: a pixel is white
// when its grey level is at least white_from[x mod 16] (0..256; 256 is never).
using RowThresholds = std::array<std::uint16_t, 16>;

// Eight "is white" flags (0 or 1, pixel 0 first) as one result byte: pixel 0
// in bit 7. The multiplication moves flag i to bit 63 - i; no two partial
// products meet, so nothing carries into the top byte.
inline std::uint8_t PackFlags(const std::uint8_t* flags) {
  std::uint64_t v = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, flags, sizeof v);
  } else {
    for (int i = 7; i >= 0; --i) v = (v << 8) | flags[i];
  }
  return static_cast<std::uint8_t>((v * 0x8040201008040201ull) >> 56);
}

// Sixteen pixels starting at `grey` into two result bytes, one comparison
// per pixel.
inline void DecidePlain16(const std::uint8_t* grey, const RowThresholds& white_from, std::uint8_t* out) {
  std::array<std::uint8_t, 16> flags{};
  for (int i = 0; i < 16; ++i) flags[i] = grey[i] >= white_from[i] ? 1 : 0;
  out[0] = PackFlags(flags.data());
  out[1] = PackFlags(flags.data() + 8);
}

#if defined(__SSE2__)
// The same sixteen decisions at once: grey >= t exactly when max(grey, t) is
// grey; a threshold of 256 (never white) is masked out.
struct WideThresholds {
  __m128i level;  // min(white_from, 255)
  __m128i allowed;  // 0xFF where white_from <= 255
  explicit WideThresholds(const RowThresholds& white_from) {
    alignas(16) std::array<std::uint8_t, 16> l{}, a{};
    for (int i = 0; i < 16; ++i) {
      l[i] = static_cast<std::uint8_t>(std::min<int>(white_from[i], 255));
      a[i] = white_from[i] <= 255 ? 0xFF : 0x00;
    }
    level = _mm_load_si128(reinterpret_cast<const __m128i*>(l.data()));
    allowed = _mm_load_si128(reinterpret_cast<const __m128i*>(a.data()));
  }
};

// Byte b with its bits in reverse order: the mask's bit i is pixel i, the
// result byte holds pixel 0 in bit 7.
constexpr std::array<std::uint8_t, 256> kReversedBits = [] {
  std::array<std::uint8_t, 256> r{};
  for (int b = 0; b < 256; ++b) {
    int v = 0;
    for (int i = 0; i < 8; ++i) v |= ((b >> i) & 1) << (7 - i);
    r[b] = static_cast<std::uint8_t>(v);
  }
  return r;
}();
#endif

// Writes one result row: pixel x goes to bit 7 - (x mod 8) of byte x / 8; the
// unused low bits of the last byte stay 0.
void DecideRow(const std::uint8_t* grey, int width, const RowThresholds& white_from, std::uint8_t* out) {
  int x = 0;
#if defined(__SSE2__)
  const WideThresholds wide(white_from);
  for (; x + 16 <= width; x += 16, out += 2) {
    const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + x));
    const __m128i white = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(g, wide.level), g), wide.allowed);
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(white));
    out[0] = kReversedBits[mask & 0xFF];
    out[1] = kReversedBits[mask >> 8];
  }
#else
  for (; x + 16 <= width; x += 16, out += 2) DecidePlain16(grey + x, white_from, out);
#endif
  if (x < width) {
    std::array<std::uint8_t, 16> tail{};
    const int left = width - x;
    std::memcpy(tail.data(), grey + x, static_cast<std::size_t>(left));
    std::array<std::uint8_t, 2> bytes{};
    DecidePlain16(tail.data(), white_from, bytes.data());
    // Pixels past the row's end are not white.
    const int keep = left >= 8 ? 8 : left;
    out[0] = static_cast<std::uint8_t>(bytes[0] & (0xFF00u >> keep));
    if (left > 8) out[1] = static_cast<std::uint8_t>(bytes[1] & (0xFF00u >> (left - 8)));
  }
}

RowThresholds SameThreshold(int white_from) {
  RowThresholds t{};
  t.fill(static_cast<std::uint16_t>(white_from));
  return t;
}

// Converts row by row through a grey row and per-row thresholds.
template <typename GreyRowOf, typename ThresholdsOf>
void ConvertRows(const Image& image, const Mono& out, GreyRowOf&& grey_row_of, ThresholdsOf&& thresholds_of) {
  std::vector<std::uint8_t> grey(static_cast<std::size_t>(image.width));
  for (int y = 0; y < image.height; ++y) {
    grey_row_of(image.Row(y), grey.data());
    DecideRow(grey.data(), image.width, thresholds_of(y), out.Row(y));
  }
}

std::uint64_t PixelCount(const Image& image) {
  return static_cast<std::uint64_t>(image.width) * static_cast<std::uint64_t>(image.height);
}

struct ChannelMeans {
  int blue = 0, green = 0, red = 0;
};

// The means of the unadjusted channels. Sixteen pixels (48 bytes) a step
// into 48 16-bit sums, which the compiler adds as whole vectors; the sums
// are moved on to the channel totals before they could overflow (256 steps
// of at most 255).
ChannelMeans RawMeans24(const Image& image) {
  constexpr int kStepPixels = 16;
  constexpr int kStepBytes = 3 * kStepPixels;
  constexpr int kStepsPerFlush = 256;
  std::array<std::uint64_t, 3> total{};
  std::array<std::uint16_t, kStepBytes> sums{};
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    int x = 0;
    while (x + kStepPixels <= image.width) {
      sums.fill(0);
      for (int step = 0; step < kStepsPerFlush && x + kStepPixels <= image.width; ++step, x += kStepPixels, p += kStepBytes) {
        for (int i = 0; i < kStepBytes; ++i) sums[i] = static_cast<std::uint16_t>(sums[i] + p[i]);
      }
      for (int i = 0; i < kStepBytes; ++i) total[i % 3] += sums[i];
    }
    for (; x < image.width; ++x, p += 3) {
      total[0] += p[0];
      total[1] += p[1];
      total[2] += p[2];
    }
  }
  const std::uint64_t n = PixelCount(image);
  return ChannelMeans{static_cast<int>(total[0] / n), static_cast<int>(total[1] / n), static_cast<int>(total[2] / n)};
}

// ---- 24-bit sources ----

// One pass keeps every pixel's grey level and sums the adjusted channels
// (the weighted tables hold weight x level, so each channel's sum divides
// exactly by its weight); the threshold needs the means, so the decisions
// come in a second pass over the kept levels.
void ThresholdMean24(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  const WeightedTables t(level, level, level);
  const auto w = static_cast<std::size_t>(image.width);
  std::vector<std::uint8_t> grey(w * static_cast<std::size_t>(image.height));
  std::uint64_t sb = 0, sg = 0, sr = 0;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    std::uint8_t* g = grey.data() + static_cast<std::size_t>(y) * w;
    std::uint64_t rb = 0, rg = 0, rr = 0;
    for (int x = 0; x < image.width; ++x, p += 3) {
      const std::uint32_t b = t.blue[p[0]], gr = t.green[p[1]], r = t.red[p[2]];
      rb += b;
      rg += gr;
      rr += r;
      g[x] = static_cast<std::uint8_t>((b + gr + r) / kWeightScale);
    }
    sb += rb;
    sg += rg;
    sr += rr;
  }
  const std::uint64_t n = PixelCount(image);
  const ChannelMeans m{static_cast<int>(sb / kBlueWeight / n), static_cast<int>(sg / kGreenWeight / n),
                       static_cast<int>(sr / kRedWeight / n)};
  const int threshold = (kBlueWeight * m.blue + kGreenWeight * m.green + kRedWeight * m.red) / kWeightScale;
  const RowThresholds white_from = SameThreshold(threshold + 1);  // Y > T
  for (int y = 0; y < image.height; ++y) {
    DecideRow(grey.data() + static_cast<std::size_t>(y) * w, image.width, white_from, out.Row(y));
  }
}

// Dither thresholds of every row phase: matrix entry m of row r, column c
// gives white_from[r][c] = scale * m + bias, the columns repeated to 16.
template <std::size_t N>
std::array<RowThresholds, N> DitherThresholds(const std::array<std::array<std::uint8_t, N>, N>& matrix, int scale,
                                              int bias) {
  std::array<RowThresholds, N> rows{};
  for (std::size_t r = 0; r < N; ++r)
    for (std::size_t c = 0; c < 16; ++c) rows[r][c] = static_cast<std::uint16_t>(scale * matrix[r][c % N] + bias);
  return rows;
}

void DitherM3_24(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  const WeightedTables t(level, level, level);
  const auto rows = DitherThresholds(kDitherM3, 4, 0);  // (Y >> 2) >= m exactly when Y >= 4m
  ConvertRows(
      image, out, [&](const std::uint8_t* p, std::uint8_t* g) { GreyRow24(p, image.width, t, g); },
      [&](int y) -> const RowThresholds& { return rows[y % kDitherM3Size]; });
}

void DitherM4_24(const Image& image, const Mono& out, const LogoSettings& s) {
  const ChannelMeans m = RawMeans24(image);
  const WeightedTables t(MakeAroundMeanTable(m.red, s.contrast, s.brightness),
                         MakeAroundMeanTable(m.green, s.contrast, s.brightness),
                         MakeAroundMeanTable(m.blue, s.contrast, s.brightness));
  const auto rows = DitherThresholds(kDitherM4, 1, 0);  // Y >= n
  ConvertRows(
      image, out, [&](const std::uint8_t* p, std::uint8_t* g) { GreyRow24(p, image.width, t, g); },
      [&](int y) -> const RowThresholds& { return rows[y % kDitherM4Size]; });
}

// ---- 8-bit sources (the stored byte is the grey level) ----

// As on 24-bit sources: one pass keeps the levels and sums them, the second
// decides on the kept levels.
void ThresholdMean8(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  const auto w = static_cast<std::size_t>(image.width);
  std::vector<std::uint8_t> grey(w * static_cast<std::size_t>(image.height));
  std::uint64_t sum = 0;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    std::uint8_t* g = grey.data() + static_cast<std::size_t>(y) * w;
    std::uint64_t row = 0;
    for (int x = 0; x < image.width; ++x) {
      g[x] = level[p[x]];
      row += g[x];
    }
    sum += row;
  }
  const int threshold = static_cast<int>(sum / PixelCount(image));
  const RowThresholds white_from = SameThreshold(threshold + 1);  // level > T
  for (int y = 0; y < image.height; ++y) {
    DecideRow(grey.data() + static_cast<std::size_t>(y) * w, image.width, white_from, out.Row(y));
  }
}

void DitherM3_8(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  const auto rows = DitherThresholds(kDitherM3, 4, 4);  // (L >> 2) > m exactly when L >= 4m + 4
  ConvertRows(
      image, out, [&](const std::uint8_t* p, std::uint8_t* g) { GreyRow8(p, image.width, level, g); },
      [&](int y) -> const RowThresholds& { return rows[y % kDitherM3Size]; });
}

void DitherM4_8(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  const auto rows = DitherThresholds(kDitherM4, 1, 1);  // L > n
  ConvertRows(
      image, out, [&](const std::uint8_t* p, std::uint8_t* g) { GreyRow8(p, image.width, level, g); },
      [&](int y) -> const RowThresholds& { return rows[y % kDitherM4Size]; });
}

// ---- Error diffusion, both depths ----

// Serpentine diffusion: even rows (the bottom row is 0) run right to left,
// odd rows left to right. A pixel whose level plus received error is above
// 128 is white. Of its error 3/8 goes to the next pixel of the pass, 3/8 to
// the pixel in the next row and 1/4 to that pixel's neighbour in the pass
// direction; shares beyond the row are dropped, and so are the shares out of
// the last row. Shares are truncated towards zero (as integer division does).
//
// One int row holds the errors for the next row: a pixel reads its entry and
// then overwrites it with what the next row receives there (its own 3/8 and
// the 1/4 of the pixel before it in the pass), so each entry is written once
// and the serial chain from pixel to pixel stays in registers.
// What a pixel passes on, by the level v it reached (its grey level plus
// the error it received): v above 128 is white and leaves the error v - 255,
// otherwise the error is v; 3/8 and 1/4 of it, truncated towards zero. A
// table read keeps the chain from one pixel to the next short.
//
// Every error stays within -128..128: if the errors before are, a pixel
// receives at most 3/8 + 1/4 + 3/8 of 128, so v is -128..383 and its error
// v - 255 (v > 128) or v (v <= 128) is again within -128..128.
constexpr int kLowestReached = -128;
constexpr int kReachedLevels = 512;
struct DiffuseShares {
  std::array<int, kReachedLevels> carry{};    // to the next pixel of the pass, and below it
  std::array<int, kReachedLevels> quarter{};  // below the next pixel of the pass
};
constexpr DiffuseShares kShares = [] {
  DiffuseShares s;
  for (int i = 0; i < kReachedLevels; ++i) {
    const int v = kLowestReached + i;
    const int e = v > kDiffuseThreshold ? v - 255 : v;
    s.carry[i] = e * 3 / 8;
    s.quarter[i] = e / 4;
  }
  return s;
}();

template <typename GreyRowOf>
void ErrorDiffuse(const Image& image, const Mono& out, GreyRowOf&& grey_row_of) {
  const int w = image.width;
  std::vector<int> errors(static_cast<std::size_t>(w), 0);
  std::vector<std::uint8_t> grey(static_cast<std::size_t>(w));
  int* err = errors.data();
  for (int y = 0; y < image.height; ++y) {
    grey_row_of(image.Row(y), grey.data());
    const std::uint8_t* g = grey.data();
    std::uint8_t* row = out.Row(y);
    int carry = 0;
    int quarter = 0;
    unsigned bits = 0;
    if (y % 2 == 1) {
      for (int x = 0; x < w; ++x) {
        const int v = g[x] + err[x] + carry;
        const int white = v > kDiffuseThreshold ? 1 : 0;
        const int i = v - kLowestReached;
        assert(i >= 0 && i < kReachedLevels);
        carry = kShares.carry[i];
        err[x] = carry + quarter;
        quarter = kShares.quarter[i];
        bits = (bits << 1) | static_cast<unsigned>(white);
        if ((x & 7) == 7) {
          row[x >> 3] = static_cast<std::uint8_t>(bits);
          bits = 0;
        }
      }
      if (w & 7) row[w >> 3] = static_cast<std::uint8_t>(bits << (8 - (w & 7)));
    } else {
      for (int x = w - 1; x >= 0; --x) {
        const int v = g[x] + err[x] + carry;
        const int white = v > kDiffuseThreshold ? 1 : 0;
        const int i = v - kLowestReached;
        assert(i >= 0 && i < kReachedLevels);
        carry = kShares.carry[i];
        err[x] = carry + quarter;
        quarter = kShares.quarter[i];
        bits |= static_cast<unsigned>(white) << (7 - (x & 7));
        if ((x & 7) == 0) {
          row[x >> 3] = static_cast<std::uint8_t>(bits);
          bits = 0;
        }
      }
    }
  }
}

void Diffuse24(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  const WeightedTables t(level, level, level);
  ErrorDiffuse(image, out, [&](const std::uint8_t* p, std::uint8_t* g) { GreyRow24(p, image.width, t, g); });
}

void Diffuse8(const Image& image, const Mono& out, const LogoSettings& s) {
  const LevelTable level = MakeLevelTable(s.contrast, s.brightness);
  ErrorDiffuse(image, out, [&](const std::uint8_t* p, std::uint8_t* g) { GreyRow8(p, image.width, level, g); });
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

std::optional<SourceBytes> ReadSource(LogoFiles& files, const std::string& path) { return files.ReadSource(path); }

std::optional<SourceBytes> ReadSource(WideLogoFiles& files, const std::u16string& path) {
  return AsSource(files.Read(path));
}

// Reads, converts and writes through either kind of files.
template <typename FilesT, typename PathT>
LogoStatus ConvertThrough(FilesT& files, const PathT& source_path, const PathT& result_path,
                          const LogoSettings& settings) {
  try {
    const auto source = ReadSource(files, source_path);
    if (!source) return LogoStatus::kCannotRead;
    const LogoResult result = ConvertLogoBytes(source->bytes(), settings);
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
