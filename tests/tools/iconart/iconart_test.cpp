// The artwork files as the resource compiler and LoadImage read them: the
// icon directory and each image's header, pixels and AND mask; the bitmap
// headers, palette and rows, and the pixels they decode to.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "common/bmp/bitmap_decode.h"
#include "common/bmp/bmp.h"
#include "tools/iconart/catalogue.h"
#include "tools/iconart/image_files.h"

namespace kit::iconart {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32(const Bytes& b, std::size_t at) { return *bmp::ReadU32(b, at); }
std::uint16_t U16(const Bytes& b, std::size_t at) { return *bmp::ReadU16(b, at); }

// Bytes of one 32-bit icon image: 40-byte header, 4 bytes a pixel, and the
// mask's rows of one bit a pixel padded to 4 bytes.
constexpr std::size_t kImage16 = 40 + 16 * 16 * 4 + 16 * 4;  // 1128
constexpr std::size_t kImage32 = 40 + 32 * 32 * 4 + 32 * 4;  // 4264
constexpr std::size_t kImage48 = 40 + 48 * 48 * 4 + 48 * 8;  // 9640
// A 117 x 228 picture of palette indices: at 8 bits rows of 117 bytes
// padded to 120, at 4 bits (up to 16 colours) 58.5 bytes padded to 60. Its
// file size depends on the number of colours in its palette.
constexpr std::size_t kPictureRow8 = 120;
constexpr std::size_t kPictureRow4 = 60;
constexpr std::size_t kPictureFile = 0;

struct Case {
  const char* file;
  std::vector<int> sizes;            // icons: the images in order; empty for bitmaps
  std::vector<std::size_t> images;   // icons: bytes of each image
  std::size_t file_size;             // icons; bitmaps: kPictureFile, checked by their palette
};

const std::vector<Case> kCases = {
    {"kitsetup.ico", {16, 32, 48}, {kImage16, kImage32, kImage48}, 6 + 3 * 16 + kImage16 + kImage32 + kImage48},
    {"install.ico", {16, 32, 48}, {kImage16, kImage32, kImage48}, 15086},
    {"uninstall.ico", {16, 32, 48}, {kImage16, kImage32, kImage48}, 15086},
    {"restart.ico", {16, 32}, {kImage16, kImage32}, 6 + 2 * 16 + kImage16 + kImage32},
    {"font_printer.ico", {16, 32}, {kImage16, kImage32}, 5430},
    {"font_folder.ico", {16, 32}, {kImage16, kImage32}, 5430},
    {"font_letter.ico", {16, 32}, {kImage16, kImage32}, 5430},
    {"preview_start_document_feed_cut.bmp", {}, {}, kPictureFile},
    {"preview_start_document_feed.bmp", {}, {}, kPictureFile},
    {"preview_start_document_cut.bmp", {}, {}, kPictureFile},
    {"preview_start_page_feed_cut.bmp", {}, {}, kPictureFile},
    {"preview_start_page_feed.bmp", {}, {}, kPictureFile},
    {"preview_start_page_cut.bmp", {}, {}, kPictureFile},
    {"preview_start.bmp", {}, {}, kPictureFile},
    {"preview_end_document_feed_cut.bmp", {}, {}, kPictureFile},
    {"preview_end_document_feed.bmp", {}, {}, kPictureFile},
    {"preview_end_document_cut.bmp", {}, {}, kPictureFile},
    {"preview_end_page_feed_cut.bmp", {}, {}, kPictureFile},
    {"preview_end_page_feed.bmp", {}, {}, kPictureFile},
    {"preview_end_page_cut.bmp", {}, {}, kPictureFile},
    {"preview_end.bmp", {}, {}, kPictureFile},
};

void CheckIcon(const Case& c, const Bytes& f) {
  ASSERT_EQ(f.size(), c.file_size);
  EXPECT_EQ(U16(f, 0), 0);  // reserved
  EXPECT_EQ(U16(f, 2), 1);  // icon, not cursor
  ASSERT_EQ(U16(f, 4), c.sizes.size());
  std::size_t offset = 6 + 16 * c.sizes.size();
  for (std::size_t i = 0; i < c.sizes.size(); ++i) {
    SCOPED_TRACE("image " + std::to_string(c.sizes[i]));
    const std::size_t entry = 6 + 16 * i;
    const int size = c.sizes[i];
    EXPECT_EQ(f[entry], size);
    EXPECT_EQ(f[entry + 1], size);
    EXPECT_EQ(f[entry + 2], 0);  // no palette
    EXPECT_EQ(f[entry + 3], 0);
    EXPECT_EQ(U16(f, entry + 4), 1);   // planes
    EXPECT_EQ(U16(f, entry + 6), 32);  // bits per pixel
    EXPECT_EQ(U32(f, entry + 8), c.images[i]);
    ASSERT_EQ(U32(f, entry + 12), offset);

    // The image: BITMAPINFOHEADER with the height of colour and mask.
    EXPECT_EQ(U32(f, offset), 40u);
    EXPECT_EQ(U32(f, offset + 4), static_cast<std::uint32_t>(size));
    EXPECT_EQ(U32(f, offset + 8), static_cast<std::uint32_t>(2 * size));
    EXPECT_EQ(U16(f, offset + 12), 1);
    EXPECT_EQ(U16(f, offset + 14), 32);
    EXPECT_EQ(U32(f, offset + 16), 0u);  // BI_RGB
    EXPECT_EQ(U32(f, offset + 20), c.images[i] - 40);

    // Every mask bit says what the pixel's alpha says, and the glyph
    // covers a fair part of the square, the rest showing through.
    const std::size_t pixels = offset + 40;
    const std::size_t mask = pixels + static_cast<std::size_t>(size) * size * 4;
    const std::size_t mask_row = ((size + 31) / 32) * 4;
    int opaque = 0, clear = 0, wrong_mask = 0;
    for (int row = 0; row < size; ++row) {
      for (int x = 0; x < size; ++x) {
        const std::uint8_t alpha = f[pixels + (static_cast<std::size_t>(row) * size + x) * 4 + 3];
        const bool see_through = (f[mask + row * mask_row + x / 8] >> (7 - x % 8)) & 1;
        if (alpha >= 128) ++opaque;
        if (alpha == 0) ++clear;
        if (see_through != (alpha < 128)) ++wrong_mask;
      }
    }
    EXPECT_EQ(wrong_mask, 0);
    EXPECT_GT(opaque, size * size / 5);
    EXPECT_GT(clear, size * size / 20);
    offset += c.images[i];
  }
  EXPECT_EQ(offset, f.size());
}

// The decoded file shows exactly `drawn`, pixel for pixel.
void ExpectSamePixels(const Bytes& f, const Image& drawn) {
  const auto decoded = bmp::DecodeBitmapFile(f);
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->width, drawn.width);
  ASSERT_EQ(decoded->height, drawn.height);
  int wrong = 0;
  for (int y = 0; y < drawn.height; ++y)
    for (int x = 0; x < drawn.width; ++x) {
      const Rgba& p = drawn.At(x, y);
      const std::uint32_t rgb = static_cast<std::uint32_t>(p.r) << 16 | p.g << 8 | p.b;
      if (decoded->pixels[static_cast<std::size_t>(y) * drawn.width + x] != rgb) ++wrong;
    }
  EXPECT_EQ(wrong, 0);
}

void CheckBitmap(const Artwork& art, const Bytes& f) {
  const auto file = bmp::ReadFileHeader(f);
  const auto info = bmp::ReadInfoHeader(f);
  ASSERT_TRUE(file && info);
  // The palette lists the picture's colours: more than a background
  // (paper, its edge, the lines), no more than 8 bits index.
  const std::size_t colours = info->colours_used;
  ASSERT_GE(colours, 4u);
  ASSERT_LE(colours, 256u);
  const std::size_t pixel_offset = 54 + 4 * colours;
  const unsigned bits = colours <= 16 ? 4 : 8;
  const std::size_t row_bytes = bits == 4 ? kPictureRow4 : kPictureRow8;
  ASSERT_EQ(f.size(), pixel_offset + row_bytes * 228);
  EXPECT_EQ(file->type, 0x4D42);  // "BM"
  EXPECT_EQ(file->file_size, f.size());
  EXPECT_EQ(file->reserved1, 0);
  EXPECT_EQ(file->reserved2, 0);
  EXPECT_EQ(file->pixel_offset, pixel_offset);
  EXPECT_EQ(info->header_size, 40u);
  EXPECT_EQ(info->width, 117);
  EXPECT_EQ(info->height, 228);  // bottom row first
  EXPECT_EQ(info->planes, 1);
  EXPECT_EQ(info->bits_per_pixel, bits);
  EXPECT_EQ(info->compression, 0u);
  EXPECT_EQ(info->image_size, row_bytes * 228);
  EXPECT_EQ(info->colours_important, 0u);  // all of them
  // Palette entries: blue, green, red, zero; each colour once, ascending.
  std::uint32_t previous = 0;
  for (std::size_t i = 0; i < colours; ++i) {
    const std::size_t at = 54 + 4 * i;
    const std::uint32_t rgb = f[at + 2] << 16 | f[at + 1] << 8 | f[at];
    if (i > 0) {
      EXPECT_GT(rgb, previous) << "entry " << i;
    }
    EXPECT_EQ(f[at + 3], 0) << "entry " << i;
    previous = rgb;
  }
  // Every index names an entry, every entry is used, row padding stays zero.
  std::vector<bool> used(colours, false);
  for (std::size_t row = 0; row < 228; ++row) {
    const std::size_t start = pixel_offset + row * row_bytes;
    for (std::size_t x = 0; x < 117; ++x) {
      const unsigned index = bits == 8 ? f[start + x] : (f[start + x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
      ASSERT_LT(index, colours) << "row " << row << " x " << x;
      used[index] = true;
    }
    // At 4 bits the last byte's low nibble is padding too.
    if (bits == 4) {
      EXPECT_EQ(f[start + 58] & 0x0F, 0) << "row " << row;
    }
    for (std::size_t pad = bits == 8 ? 117 : 59; pad < row_bytes; ++pad) EXPECT_EQ(f[start + pad], 0) << "row " << row;
  }
  EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
  ExpectSamePixels(f, DrawReceiptPicture(art.picture));
}

// Any picture: 4-bit palette indices up to 16 colours, 8-bit up to 256,
// 24-bit beyond; rows padded to 32 bits whatever the width; the same pixels either
// way.
TEST(IconArtFiles, BitmapDepthFollowsTheColourCount) {
  struct Depth {
    int width, height, colours;
    unsigned bits;
  };
  const Depth cases[] = {
      {1, 1, 1, 4},   {3, 5, 2, 4},     {5, 3, 15, 4},     {9, 2, 16, 4},         {2, 3, 6, 4},
      {3, 6, 17, 8},  {7, 9, 62, 8},    {16, 16, 256, 8},  {17, 16, 257, 24},     {117, 228, 1000, 24},
  };
  for (const Depth& d : cases) {
    SCOPED_TRACE(std::to_string(d.width) + "x" + std::to_string(d.height) + ", " + std::to_string(d.colours) +
                 " colours");
    Image image{d.width, d.height, {}};
    // Exactly d.colours distinct colours (7 shares no factor with any count
    // here, and there are at least as many pixels), spread over all three
    // channels in an order that is not the palette's.
    for (int i = 0; i < d.width * d.height; ++i) {
      const int c = (i * 7) % d.colours;
      image.pixels.push_back({static_cast<std::uint8_t>(255 - c % 256), static_cast<std::uint8_t>(c * 37),
                              static_cast<std::uint8_t>(c / 4), static_cast<std::uint8_t>(c % 2 ? 255 : 0)});
    }
    const Bytes f = BitmapFile(image);
    const auto info = bmp::ReadInfoHeader(f);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->bits_per_pixel, d.bits);
    const std::size_t palette = d.bits <= 8 ? static_cast<std::size_t>(d.colours) : 0;
    EXPECT_EQ(info->colours_used, palette);
    const std::size_t stride = (static_cast<std::size_t>(d.width) * d.bits + 31) / 32 * 4;
    EXPECT_EQ(f.size(), 54 + 4 * palette + stride * d.height);
    EXPECT_EQ(U32(f, 10), 54 + 4 * palette);
    ExpectSamePixels(f, image);
  }
}

TEST(IconArtFiles, LayoutOfEveryFileTheResourceScriptsName) {
  std::vector<Bytes> seen;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const Artwork* art = FindArtwork(c.file);
    ASSERT_NE(art, nullptr);
    const Bytes f = ArtworkFile(*art);
    if (c.sizes.empty()) {
      EXPECT_FALSE(art->IsIcon());
      CheckBitmap(*art, f);
    } else {
      ASSERT_TRUE(art->IsIcon());
      CheckIcon(c, f);
    }
    // No two pieces alike: each preview shows its own case.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), f), 0);
    seen.push_back(f);
  }
  EXPECT_EQ(Catalogue().size(), kCases.size());
  EXPECT_EQ(FindArtwork("missing.ico"), nullptr);
}

}  // namespace
}  // namespace kit::iconart
