// A raw printer job as the plug-in's pages hand it to the job channel: the
// spooler's document name and the command pieces in write order. The channel
// writes each piece with one WritePrinter call, unchanged and unmerged, so a
// job is complete before the printer is touched.
//
// This file is OS-independent.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kit::print::rawjob {

using Piece = std::vector<std::uint8_t>;

struct RawJob {
  std::u16string name;        // DOC_INFO_1W.pDocName
  std::vector<Piece> pieces;  // one WritePrinter call each, in this order
};

// Every job goes to the spooler with this data type: bytes pass through
// the print processor untouched.
inline constexpr char16_t kRawDatatype[] = u"RAW";

// Document names the printer's queue shows for each kind of job.
inline constexpr char16_t kSelfTestJobName[] = u"SELFTEST";  // self-test, clear logos
inline constexpr char16_t kLogoJobName[] = u"LOGO";
inline constexpr char16_t kFirmwareJobName[] = u"FIRMWARE";
inline constexpr char16_t kBarcodeJobName[] = u"Barcode";
inline constexpr char16_t kQrCodeJobName[] = u"2Dcode";

// The self-test, clear-logos and logo-download jobs put their commands
// between these two brackets; barcode prints and file downloads do not.
inline constexpr std::array<std::uint8_t, 4> kOpeningBracket{0x1B, 0x63, 0x3B, 0x01};
inline constexpr std::array<std::uint8_t, 4> kClosingBracket{0x1B, 0x63, 0x3B, 0x00};

inline Piece MakePiece(const std::uint8_t* bytes, std::size_t count) {
  return Piece(bytes, bytes + count);
}
template <std::size_t N>
Piece MakePiece(const std::array<std::uint8_t, N>& bytes) {
  return Piece(bytes.begin(), bytes.end());
}

}  // namespace kit::print::rawjob
