// This file is OS-independent.
#include "print/commands/printer_commands.h"

namespace kit::print::commands {
namespace {

using rawjob::MakePiece;
using rawjob::Piece;
using rawjob::RawJob;

// The printer's symbology codes, by list index.
constexpr std::uint8_t kSymbologyCodes[kBarcodeTypeCount] = {0, 1, 3, 2, 4, 5, 6, 0x48, 0x49};

// 1D 6F 00: QR parameters follow (width, language, model).
constexpr std::uint8_t kQrParameterCommand[3] = {0x1D, 0x6F, 0x00};
// 1D 6B 0B: print a QR symbol; the error letter and "A," follow.
constexpr std::uint8_t kQrPrintCommand[3] = {0x1D, 0x6B, 0x0B};
constexpr std::uint8_t kQrDataLead[2] = {0x41, 0x2C};

bool SendsLength(BarcodeType type) { return type == BarcodeType::kCode93 || type == BarcodeType::kCode128; }

}  // namespace

RawJob SelfTestJob() {
  return {rawjob::kSelfTestJobName,
          {MakePiece(rawjob::kOpeningBracket), MakePiece(kSelfTestCommand), MakePiece(rawjob::kClosingBracket)}};
}

RawJob ClearLogosJob() {
  return {rawjob::kSelfTestJobName,
          {MakePiece(rawjob::kOpeningBracket), MakePiece(kClearLogosCommand), MakePiece(rawjob::kClosingBracket)}};
}

std::optional<RawJob> LogoDownloadJob(std::span<const LogoImage> logos) {
  if (logos.empty() || logos.size() > kMaxLogos) return std::nullopt;
  RawJob job{rawjob::kLogoJobName, {MakePiece(rawjob::kOpeningBracket)}};
  job.pieces.push_back({kDefineLogosCommand[0], kDefineLogosCommand[1], static_cast<std::uint8_t>(logos.size())});
  for (const LogoImage& logo : logos) {
    job.pieces.push_back(LogoHeader(logo));
    job.pieces.push_back(logo.data);
  }
  job.pieces.push_back({kLineFeed});
  job.pieces.push_back(MakePiece(rawjob::kClosingBracket));
  return job;
}

RawJob FileDownloadJob(std::span<const std::uint8_t> file) {
  return {rawjob::kFirmwareJobName, {Piece(file.begin(), file.end())}};
}

std::uint8_t SymbologyCode(BarcodeType type) { return kSymbologyCodes[static_cast<std::size_t>(type)]; }

std::optional<BarcodeType> BarcodeTypeAt(std::size_t index) {
  if (index >= kBarcodeTypeCount) return std::nullopt;
  return static_cast<BarcodeType>(index);
}

std::array<std::uint8_t, kBarcodeHeaderSize> BarcodeHeader(const BarcodeParameters& p) {
  return {kHriFontCommand[0], kHriFontCommand[1], p.hri_font,
          kHriPositionCommand[0], kHriPositionCommand[1], p.hri_position,
          kWidthCommand[0], kWidthCommand[1], p.module_width,
          kHeightCommand[0], kHeightCommand[1], p.height,
          kPrintBarcodeCommand[0], kPrintBarcodeCommand[1], SymbologyCode(p.type)};
}

RawJob BarcodeJob(const BarcodeParameters& parameters, std::span<const std::uint8_t> data) {
  const auto header = BarcodeHeader(parameters);
  RawJob job{rawjob::kBarcodeJobName, {MakePiece(header)}};
  if (SendsLength(parameters.type)) {
    job.pieces.push_back({kDataEnd});
    job.pieces.push_back(Piece(header.end() - kBarcodeRepeatSize, header.end()));
    job.pieces.push_back({static_cast<std::uint8_t>(data.size() & 0xFF)});
  }
  job.pieces.push_back(Piece(data.begin(), data.end()));
  job.pieces.push_back({kDataEnd});
  job.pieces.push_back({kLineFeed});
  return job;
}

std::optional<std::array<std::uint8_t, kQrHeaderSize>> QrHeader(const QrParameters& p) {
  if (p.error_level >= kQrErrorLetters.size()) return std::nullopt;
  return std::array<std::uint8_t, kQrHeaderSize>{
      kQrParameterCommand[0], kQrParameterCommand[1], kQrParameterCommand[2], p.module_size, p.language_mode,
      p.model, kQrPrintCommand[0], kQrPrintCommand[1], kQrPrintCommand[2], kQrErrorLetters[p.error_level],
      kQrDataLead[0], kQrDataLead[1]};
}

std::optional<RawJob> QrJob(const QrParameters& parameters, std::span<const std::uint8_t> data) {
  const auto header = QrHeader(parameters);
  if (!header) return std::nullopt;
  return RawJob{rawjob::kQrCodeJobName,
                {MakePiece(*header), Piece(data.begin(), data.end()), {kDataEnd}, {kLineFeed}}};
}

}  // namespace kit::print::commands
