// This file is OS-independent.
#include "printapp/utility_jobs.h"

#include "common/bmp/bmp.h"
#include "print/commands/logo_image.h"
#include "print/commands/printer_commands.h"
#include "print/logo/logo_convert.h"
#include "print/rawjob/raw_job.h"

namespace kit::printapp {
namespace {

namespace rawjob = print::rawjob;
namespace commands = print::commands;

constexpr int kOneBit = 1;

std::string Ascii(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// The Windows job's pieces written one after the other: the printer sees
// the same bytes.
UtilityJob Joined(const rawjob::RawJob& job) {
  UtilityJob out{Ascii(job.name), {}};
  for (const rawjob::Piece& piece : job.pieces) out.bytes.insert(out.bytes.end(), piece.begin(), piece.end());
  return out;
}

std::string Numbered(std::size_t index, const std::string& message) {
  return "Logo " + std::to_string(index + 1) + ": " + message;
}

}  // namespace

UtilityJob SelfTestJob() { return Joined(commands::SelfTestJob()); }

UtilityJob ClearLogosJob() { return Joined(commands::ClearLogosJob()); }

std::variant<UtilityJob, std::string> LogoJob(std::span<const Bytes> pictures, int halftone) {
  if (pictures.empty()) return std::string("Please select logos first!");
  if (pictures.size() > commands::kMaxLogos) {
    return std::string("The total counts of the logos is 9,\nplease delete some logos before selecting another logo!");
  }
  std::vector<commands::LogoImage> logos;
  std::size_t total = 0;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    // The header once, for the size; then the pixels once: a one-bit picture
    // by the encoder, any other by the conversion, whose rows the encoder
    // takes as they are.
    const auto info = bmp::ReadInfoHeader(pictures[i]);
    if (!bmp::ReadFileHeader(pictures[i]) || !info) return Numbered(i, "Failed to get data from the file!");
    if (info->width > kMaxLogoWidth || info->height > kMaxLogoHeight) {
      return Numbered(i, "The image is too big to be selected.\nthe width must be less than 1024 Byte,"
                         "and the height must be less than 768 Byte!");
    }
    std::variant<commands::LogoImage, commands::LogoError> logo;
    if (info->bits_per_pixel == kOneBit) {
      total += pictures[i].size();
      logo = commands::EncodeLogo(pictures[i]);
    } else {
      const logo::LogoResult converted = logo::ConvertLogoBytes(pictures[i], {halftone, 0, 0});
      if (converted.status != logo::LogoStatus::kOk) return Numbered(i, logo::LogoStatusText(converted.status));
      total += converted.file.size();
      const auto stride = bmp::RowStride(info->width, kOneBit);
      logo = commands::EncodeLogo(commands::OneBitRows{static_cast<std::size_t>(info->width),
                                                       static_cast<std::size_t>(info->height), stride.value_or(0),
                                                       logo::ResultRows(converted), /*ones_print=*/false});
    }
    if (!std::holds_alternative<commands::LogoImage>(logo)) {
      return Numbered(i, "the picture is not a black-and-white bitmap the printer takes");
    }
    logos.push_back(std::get<commands::LogoImage>(std::move(logo)));
  }
  if (total >= kMaxLogoBytes) return std::string("The total sizes of all the logos is greater 96K!");
  const auto job = commands::LogoDownloadJob(logos);
  if (!job) return std::string("Please select logos first!");
  return Joined(*job);
}

}  // namespace kit::printapp
