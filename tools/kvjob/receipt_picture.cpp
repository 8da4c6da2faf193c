// This file is OS-independent.
#include "tools/kvjob/receipt_picture.h"

#include <png.h>

#include <algorithm>
#include <cstring>

#include "tools/kvjob/render_paper.h"

namespace kit::tools {

ReceiptPicture::ReceiptPicture(const paper::Roll& roll) : roll_(roll), width_(roll.PictureWidth()) {}

void ReceiptPicture::Grow(int rows) {
  rows = std::min(rows, paper::kMaxLengthDots);
  if (rows <= height_) return;
  // Doubling keeps a long receipt from copying itself at every line.
  const std::size_t needed = static_cast<std::size_t>(rows) * width_;
  if (pixels_.capacity() < needed) pixels_.reserve(std::max(needed, pixels_.capacity() * 2));
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width_));
  for (int x = 0; x < width_; ++x) row[static_cast<std::size_t>(x)] = x < roll_.MarginLeft() ? kPaperWhite : kMarginGrey;
  for (int y = height_; y < rows; ++y) pixels_.insert(pixels_.end(), row.begin(), row.end());
  height_ = rows;
}

void ReceiptPicture::Dot(int x, int y, std::uint8_t value) {
  if (x < 0 || x >= roll_.width_dots || y < 0 || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * width_ + paper::kRollEdgeDots + x] = value;
}

void ReceiptPicture::Pixel(int x, int y, std::uint8_t value) {
  if (x < 0 || x >= width_ || y < 0 || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * width_ + x] = value;
}

void ReceiptPicture::DashedLine(int y, int dash, bool partial) {
  const int kMiddle = roll_.MarginLeft() / 2, kStanding = roll_.width_dots / 16;
  for (int x = 0; x < roll_.MarginLeft(); ++x) {
    if (partial && x > kMiddle - kStanding && x < kMiddle + kStanding) continue;
    if ((x / dash) % 2 == 0) Pixel(x, y, kCutGrey);
  }
}

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

struct Reading {
  const std::vector<std::uint8_t>* bytes;
  std::size_t at = 0;
};

void ReadBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* in = static_cast<Reading*>(png_get_io_ptr(png));
  if (in->bytes->size() - in->at < length) png_error(png, "short file");
  std::memcpy(data, in->bytes->data() + in->at, length);
  in->at += length;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const ReceiptPicture& picture) {
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendBytes, nullptr);
  // Receipts are mostly white: the fastest deflate level makes them small
  // enough and keeps a long receipt well under the time a user waits.
  png_set_compression_level(png, 1);
  png_set_filter(png, 0, PNG_FILTER_NONE);
  const int rows = std::max(picture.height(), 1);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width()), static_cast<png_uint_32>(rows), 8,
               PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  const png_uint_32 dots_per_metre = static_cast<png_uint_32>(paper::kDotsPerInch * 10000 / paper::kTenthsMmPerInch);
  png_set_pHYs(png, info, dots_per_metre, dots_per_metre, PNG_RESOLUTION_METER);
  png_write_info(png, info);
  std::vector<std::uint8_t> blank(static_cast<std::size_t>(picture.width()), kPaperWhite);
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* row = picture.height() > 0 ? picture.pixels().data() + static_cast<std::size_t>(y) * picture.width()
                                                   : blank.data();
    png_write_row(png, const_cast<png_bytep>(row));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::optional<GreyImage> DecodePng(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return std::nullopt;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  GreyImage image;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return std::nullopt;
  }
  Reading reading{&bytes};
  png_set_read_fn(png, &reading, ReadBytes);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_rgb_to_gray_fixed(png, 1, -1, -1);
  png_read_update_info(png, info);
  image.width = static_cast<int>(png_get_image_width(png, info));
  image.height = static_cast<int>(png_get_image_height(png, info));
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) png_read_row(png, image.pixels.data() + static_cast<std::size_t>(y) * image.width, nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return image;
}

}  // namespace kit::tools
