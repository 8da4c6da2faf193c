// Conversion of a colour or grey logo bitmap into the one-bit bitmap the
// printer stores.
//
// The source is an uncompressed 24-bit or 8-bit BMP; the result is a one-bit
// BMP of the same size (62-byte header with a black/white palette, rows in
// the source's order, a 1 bit is white). The conversion itself works on
// bytes; the file entry points read and write through a LogoFiles object so
// that the page can use the platform layer and tests can use memory.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kit::logo {

class LogoFiles;
class WideLogoFiles;

enum class HalftoneMethod : int {
  kNone = 0,          // one global threshold at the image's mean grey
  kDitherM3 = 1,      // 8 x 8 ordered dither
  kDitherM4 = 2,      // 16 x 16 ordered dither, mean-based contrast on 24-bit images
  kErrorDiffuse = 3,  // serpentine error diffusion
};

// Per-logo conversion settings, as the download page keeps them.
struct LogoSettings {
  int halftone = 0;    // a HalftoneMethod value
  int contrast = 0;    // -100..100
  int brightness = 0;  // -100..100
};

// Return values of ConvertLogoToMono.
inline constexpr int kConvertDone = 0;
inline constexpr int kConvertFailed = -1;

// Where the pixel rows of a source are read from, whatever its header says:
// right after the headers for 24-bit files, after a full 256-entry palette
// for 8-bit files.
inline constexpr std::size_t kSource24PixelOffset = 54;
inline constexpr std::size_t kSource8PixelOffset = 1078;  // 14 + 40 + 256 * 4
// Result layout: headers, two palette entries, rows.
inline constexpr std::size_t kResultPixelOffset = 62;
// The error-diffusion line buffers hold this many entries, which bounds the
// width that Error Diffuse accepts.
inline constexpr int kDiffuseLineEntries = 2000;
// Appended to the source path, less its last four characters.
inline constexpr const char* kResultSuffix = "Temp.bmp";

enum class LogoStatus {
  kOk,
  kCannotRead,        // source cannot be opened or read
  kNotBitmap,         // shorter than the headers, or no "BM" signature
  kCompressed,        // compression other than BI_RGB
  kUnsupportedDepth,  // not 24 or 8 bits per pixel
  kBadDimensions,     // width or height below 1
  kTruncated,         // the pixel rows do not fit in the file
  kTooWide,           // wider than the error-diffusion line buffers
  kBadSettings,       // halftone, contrast or brightness out of range
  kBadPath,           // source path too short to form the result name
  kCannotWrite,       // result file cannot be created or written
  kNoMemory,
};

// A short English reason, for the command-line tool and logs.
const char* LogoStatusText(LogoStatus status);

struct LogoResult {
  LogoStatus status = LogoStatus::kOk;
  std::vector<std::uint8_t> file;  // the one-bit BMP when status is kOk
};

// Converts the bytes of a source BMP file into the bytes of the one-bit file.
LogoResult ConvertLogoBytes(std::span<const std::uint8_t> source, const LogoSettings& settings);

// The pixel rows of a converted result (after its fixed headers), for a
// caller that goes on with them without reading the file again.
inline std::span<const std::uint8_t> ResultRows(const LogoResult& result) {
  return std::span<const std::uint8_t>(result.file).subspan(kResultPixelOffset);
}

// The result path of a source: its last four characters (the ".bmp"
// extension, whatever its case) replaced by "Temp.bmp". Nothing for a path
// shorter than four characters.
std::optional<std::string> LogoResultPath(const std::string& source_path);

// Reads `source_path`, converts it and writes the result to `result_path`
// (overwriting it). Nothing is written unless the conversion succeeded.
LogoStatus ConvertLogoFile(LogoFiles& files, const std::string& source_path,
                           const std::string& result_path, const LogoSettings& settings);

// The same by UTF-16 paths: the Download page converts each logo into a
// file of its own (`result_path`) on the system it works on.
LogoStatus ConvertLogoFile(WideLogoFiles& files, const std::u16string& source_path,
                           const std::u16string& result_path, const LogoSettings& settings);

// The command-line tool's entry point: converts `source_path` into the file named
// by LogoResultPath and stores that name into `result_path`. Returns
// kConvertDone, or kConvertFailed when nothing usable was written.
int ConvertLogoToMono(LogoFiles& files, const std::string& source_path, std::string& result_path,
                      int halftone, int contrast, int brightness);

}  // namespace kit::logo
