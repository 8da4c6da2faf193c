#include "printapp/picture_filter.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

#include "printapp/driver.h"
#include "printapp/raster_job.h"

namespace kit::printapp {
namespace {

constexpr char kPngFormat[] = "image/png";
constexpr char kJpegFormat[] = "image/jpeg";
constexpr unsigned char kPaperWhite = 255;

// A decoded picture: one grey byte a dot, rows top to bottom.
struct Picture {
  unsigned width = 0;
  unsigned height = 0;
  std::vector<unsigned char> grey;
};

bool TooMany(pappl_job_t* job, unsigned long long width, unsigned long long height) {
  if (width * height <= kMaxPictureDots && width > 0 && height > 0) return false;
  papplJobSetMessage(job, "The picture is %llu x %llu dots; the most taken is %llu dots.", width, height,
                     kMaxPictureDots);
  return true;
}

// libpng's simplified reader: the header first, the dots only if they fit.
bool ReadPng(pappl_job_t* job, const char* path, Picture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) {
    papplJobSetMessage(job, "The PNG picture cannot be read: %s", image.message);
    return false;
  }
  if (TooMany(job, image.width, image.height)) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_GRAY;  // a transparent dot becomes the background: white paper
  picture.width = image.width;
  picture.height = image.height;
  picture.grey.assign(PNG_IMAGE_SIZE(image), kPaperWhite);
  const png_color white{kPaperWhite, kPaperWhite, kPaperWhite};
  if (!png_image_finish_read(&image, &white, picture.grey.data(), 0, nullptr)) {
    papplJobSetMessage(job, "The PNG picture cannot be read: %s", image.message);
    png_image_free(&image);
    return false;
  }
  return true;
}

// libjpeg's errors end the read through this jump, never the program.
struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }

bool ReadJpeg(pappl_job_t* job, const char* path, Picture& picture) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), std::fclose);
  if (!file) {
    papplJobSetMessage(job, "The job's file cannot be read.");
    return false;
  }
  jpeg_decompress_struct info{};
  JpegError error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JpegErrorExit;
  // Nothing with a destructor lives between here and the jump's target.
  if (setjmp(error.jump)) {
    char text[JMSG_LENGTH_MAX];
    (*info.err->format_message)(reinterpret_cast<j_common_ptr>(&info), text);
    papplJobSetMessage(job, "The JPEG picture cannot be read: %s", text);
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file.get());
  jpeg_read_header(&info, TRUE);
  if (TooMany(job, info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_GRAYSCALE;
  jpeg_start_decompress(&info);
  picture.width = info.output_width;
  picture.height = info.output_height;
  picture.grey.assign(static_cast<std::size_t>(picture.width) * picture.height, kPaperWhite);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture.grey.data() + static_cast<std::size_t>(info.output_scanline) * picture.width;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

// The picture as one page of its own height: centred across the line,
// scaled down (nearest dot) only when wider than it.
bool PrintPicture(pappl_job_t* job, pappl_device_t* device, pappl_pr_options_t* options, const Picture& picture) {
  const unsigned line_dots = options->header.cupsWidth;
  const double scale = picture.width > line_dots ? static_cast<double>(line_dots) / picture.width : 1.0;
  const unsigned width = std::max(1u, static_cast<unsigned>(picture.width * scale));
  const unsigned height = std::max(1u, static_cast<unsigned>(picture.height * scale));
  const unsigned left = (line_dots - width) / 2;
  options->header.cupsHeight = height;
  if (!StartRasterPage(job, options, device, 0) || JobFailed(job)) return false;
  std::vector<unsigned char> grey(line_dots, kPaperWhite), line(options->header.cupsBytesPerLine);
  bool ok = true;
  for (unsigned y = 0; ok && y < height; ++y) {
    const std::size_t row = static_cast<std::size_t>(std::min(picture.height - 1, static_cast<unsigned>(y / scale)));
    for (unsigned x = 0; x < width; ++x) {
      const unsigned source = std::min(picture.width - 1, static_cast<unsigned>(x / scale));
      grey[left + x] = picture.grey[row * picture.width + source];
    }
    DitherRow(grey, y, options->dither, line);
    ok = WriteRasterLine(job, options, device, y, line.data()) && !JobFailed(job);
  }
  ok = ok && EndRasterPage(job, options, device, 0);
  if (ok) papplJobSetImpressionsCompleted(job, 1);
  return ok;
}

bool FilterPicture(pappl_job_t* job, pappl_device_t* device, void* data) {
  const bool png = data != nullptr;
  Picture picture;
  if (!(png ? ReadPng(job, papplJobGetFilename(job), picture) : ReadJpeg(job, papplJobGetFilename(job), picture))) {
    return false;
  }
  pappl_pr_options_t* options = papplJobCreatePrintOptions(job, 1, false);
  if (!options) return false;
  bool ok = StartRasterJob(job, options, device);
  for (int copy = 0; ok && copy < std::max(1, options->copies) && !papplJobIsCanceled(job); ++copy) {
    ok = PrintPicture(job, device, options, picture);
  }
  ok = EndRasterJob(job, options, device) && ok;
  papplJobDeletePrintOptions(options);
  return ok;
}

}  // namespace

void AddPictureFilters(pappl_system_t* system) {
  // PAPPL looks for a filter to the driver's own format first, then to
  // raster: these are found before its built-in image filters.
  static char png_marker;
  papplSystemAddMIMEFilter(system, kPngFormat, kRawFormat, FilterPicture, &png_marker);
  papplSystemAddMIMEFilter(system, kJpegFormat, kRawFormat, FilterPicture, nullptr);
}

}  // namespace kit::printapp
