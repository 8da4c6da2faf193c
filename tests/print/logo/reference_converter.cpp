#include "tests/print/logo/reference_converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kit::logo::testing {

namespace {

const int M[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},   {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
};

int N(int r, int c) {
  const int base = 4 * M[r % 8][c % 8];
  if (r < 8 && c < 8) return base;
  if (r < 8) return base + 3;
  if (c < 8) return base + 2;
  return base + 1;
}

// Every float step of the transfers goes through a stored 32-bit float: x87
// builds (32-bit Windows) would otherwise keep wider intermediates and give
// other levels than the 32-bit float arithmetic the transfers are defined on.
float F(float value) {
  volatile float stored = value;
  return stored;
}

unsigned Le(std::span<const std::uint8_t> f, int at, int size) {
  unsigned v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | f[at + i];
  return v;
}

void Put(std::vector<std::uint8_t>& f, int at, unsigned v, int size) {
  for (int i = 0; i < size; ++i) f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

int ReferenceAdjustLevel(int v, int c, int b) {
  int r;
  if (c >= 0) {
    if (v <= c) {
      r = 0;
    } else if (v >= 255 - c) {
      r = 255;
    } else {
      float s = F((255 - 2 * c) / 255.0);
      r = (int)F((v - c) / s);
    }
  } else {
    float s = F(255.0 / (255 + 2 * c));
    r = (int)F(F(v / s) - c);
  }
  return std::clamp(r + b, 0, 255);
}

int ReferenceAdjustAroundMean(int v, int m, int c, int b) {
  float k;
  if (c >= 0) {
    k = F(1.0 + c / 10.0);
  } else {
    k = F(1.0 - std::sqrt((double)-c) / 10.0);
  }
  int r = (int)F(F((v - m) * k) + m);
  return std::clamp(r + b, 0, 255);
}

std::optional<std::vector<std::uint8_t>> ReferenceConvert(std::span<const std::uint8_t> src, int halftone,
                                                          int contrast, int brightness) {
  if (src.size() < 54 || src[0] != 'B' || src[1] != 'M') return std::nullopt;
  if (halftone < 0 || halftone > 3 || contrast < -100 || contrast > 100 || brightness < -100 || brightness > 100) {
    return std::nullopt;
  }
  const long long W = static_cast<std::int32_t>(Le(src, 18, 4));
  const long long H = static_cast<std::int32_t>(Le(src, 22, 4));
  const int bpp = static_cast<int>(Le(src, 28, 2));
  if (Le(src, 30, 4) != 0) return std::nullopt;
  if (bpp != 24 && bpp != 8) return std::nullopt;
  if (W < 1 || H < 1) return std::nullopt;
  if (halftone == 3 && W > 2000) return std::nullopt;
  const long long stride = bpp == 24 ? ((W * 24 + 31) / 32) * 4 : ((W + 3) / 4) * 4;
  const long long offset = bpp == 24 ? 54 : 1078;
  const long long size = static_cast<long long>(src.size());
  if (offset > size || H > (size - offset) / stride) return std::nullopt;
  const long long out_stride = ((W + 31) / 32) * 4;
  const int w = static_cast<int>(W), h = static_cast<int>(H);

  auto raw = [&](int x, int y, int channel) {  // channel 0 blue, 1 green, 2 red; 8-bit ignores it
    return bpp == 24 ? src[offset + y * stride + 3 * x + channel] : src[offset + y * stride + x];
  };
  auto grey = [&](int x, int y) {
    if (bpp == 8) return ReferenceAdjustLevel(raw(x, y, 0), contrast, brightness);
    const int B = ReferenceAdjustLevel(raw(x, y, 0), contrast, brightness);
    const int G = ReferenceAdjustLevel(raw(x, y, 1), contrast, brightness);
    const int R = ReferenceAdjustLevel(raw(x, y, 2), contrast, brightness);
    return (299 * R + 587 * G + 114 * B) / 1000;
  };

  std::vector<std::vector<bool>> white(h, std::vector<bool>(w, false));
  if (halftone == 0) {
    long long sum[3] = {0, 0, 0};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int ch = 0; ch < (bpp == 24 ? 3 : 1); ++ch) sum[ch] += ReferenceAdjustLevel(raw(x, y, ch), contrast, brightness);
    const long long n = W * H;
    int T;
    if (bpp == 24) {
      T = static_cast<int>((114 * (sum[0] / n) + 587 * (sum[1] / n) + 299 * (sum[2] / n)) / 1000);
    } else {
      T = static_cast<int>(sum[0] / n);
    }
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) white[y][x] = grey(x, y) > T;
  } else if (halftone == 1) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int t = M[y % 8][x % 8];
        white[y][x] = bpp == 24 ? (grey(x, y) >> 2) >= t : (grey(x, y) >> 2) > t;
      }
  } else if (halftone == 2) {
    if (bpp == 24) {
      long long sum[3] = {0, 0, 0};
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          for (int ch = 0; ch < 3; ++ch) sum[ch] += raw(x, y, ch);
      const long long n = W * H;
      const int mB = static_cast<int>(sum[0] / n), mG = static_cast<int>(sum[1] / n), mR = static_cast<int>(sum[2] / n);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const int B = ReferenceAdjustAroundMean(raw(x, y, 0), mB, contrast, brightness);
          const int G = ReferenceAdjustAroundMean(raw(x, y, 1), mG, contrast, brightness);
          const int R = ReferenceAdjustAroundMean(raw(x, y, 2), mR, contrast, brightness);
          white[y][x] = (299 * R + 587 * G + 114 * B) / 1000 >= N(y % 16, x % 16);
        }
    } else {
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) white[y][x] = grey(x, y) > N(y % 16, x % 16);
    }
  } else {
    std::vector<int> below(2000, 0), next(2000, 0);
    for (int y = 0; y < h; ++y) {
      below = next;
      std::fill(next.begin(), next.end(), 0);
      int carry = 0;
      const bool odd = y % 2 == 1;
      for (int i = 0; i < w; ++i) {
        const int x = odd ? i : w - 1 - i;
        const int v = grey(x, y) + below[x] + carry;
        float e;
        if (v > 128) {
          white[y][x] = true;
          e = v - 255.0;
        } else {
          e = v;
        }
        if (odd) {
          if (x < w - 1) carry = (int)(e * 0.375);
          if (y < h - 1) {
            next[x] += (int)(e * 0.375);
            if (x + 1 < w) next[x + 1] += (int)(e * 0.25);
          }
        } else {
          if (x > 0) carry = (int)(e * 0.375);
          if (y < h - 1) {
            next[x] += (int)(e * 0.375);
            if (x > 0) next[x - 1] += (int)(e * 0.25);
          }
        }
      }
    }
  }

  const long long image_size = out_stride * H;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(62 + image_size), 0);
  out[0] = 'B';
  out[1] = 'M';
  Put(out, 2, static_cast<unsigned>(image_size + 62), 4);
  Put(out, 10, 62, 4);
  Put(out, 14, 40, 4);
  Put(out, 18, static_cast<unsigned>(W), 4);
  Put(out, 22, static_cast<unsigned>(H), 4);
  Put(out, 26, 1, 2);
  Put(out, 28, 1, 2);
  Put(out, 34, static_cast<unsigned>(image_size), 4);
  out[58] = out[59] = out[60] = 0xFF;  // palette entry 1 white, entry 0 stays black
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (white[y][x]) out[62 + y * out_stride + x / 8] |= static_cast<std::uint8_t>(1 << (7 - x % 8));
  return out;
}

}  // namespace kit::logo::testing
