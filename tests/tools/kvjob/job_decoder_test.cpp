#include "tools/kvjob/job_decoder.h"

#include <gtest/gtest.h>

#include "print/commands/printer_commands.h"

namespace kit::tools {
namespace {

namespace cmd = print::commands;

std::vector<std::uint8_t> Joined(const print::rawjob::RawJob& job) {
  std::vector<std::uint8_t> all;
  for (const auto& piece : job.pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}
std::vector<std::uint8_t> Text(std::string_view t) { return {t.begin(), t.end()}; }

TEST(DecodeJob, BarcodeJobsInCommandTerms) {
  EXPECT_EQ(DecodeJob(Joined(cmd::BarcodeJob({0, 2, 3, 163, cmd::BarcodeType::kCode93}, Text("123456789")))),
            "HRI font 0 (Font A)\nHRI position 2 (below)\nelement width 3\nelement height 163\n"
            "barcode Code93 (0x48), 0 bytes: \"\"\n"
            "element width 3\nelement height 163\nbarcode Code93 (0x48), 9 bytes: \"123456789\"\n"
            "end of data (00)\nline feed (0A)\n");
  EXPECT_EQ(DecodeJob(Joined(cmd::BarcodeJob({1, 0, 2, 1, cmd::BarcodeType::kEan8}, Text("1234567")))),
            "HRI font 1 (Font B)\nHRI position 0 (not printed)\nelement width 2\nelement height 1\n"
            "barcode EAN8 (0x03), 7 bytes: \"1234567\"\nline feed (0A)\n");
  const std::vector<std::uint8_t> packed = {'{', 'C', 0x00, 0x0C};
  EXPECT_NE(DecodeJob(Joined(cmd::BarcodeJob({0, 0, 2, 9, cmd::BarcodeType::kCode128}, packed)))
                .find("barcode Code128 (0x49), 4 bytes: \"{C\\x00\\x0C\"\n"),
            std::string::npos);
  EXPECT_EQ(DecodeJob(Joined(*cmd::QrJob({3, 1, 2, 3}, Text("AB")))),
            "QR parameters: element width 3, language mode 1, model 2\n"
            "QR code, error correction Q, 2 bytes: \"AB\"\nline feed (0A)\n");
}

TEST(DecodeJob, LogosAsPictures) {
  cmd::LogoImage logo{4, 1, std::vector<std::uint8_t>(32, 0)};
  logo.data[0] = 0x80;  // column 0, top dot
  logo.data[31] = 0x01; // column 31, bottom dot
  const cmd::LogoImage logos[] = {logo};
  const std::string text = DecodeJob(Joined(*cmd::LogoDownloadJob(logos)));
  const std::string blank = "  " + std::string(32, '.') + "\n";
  std::string picture = "  #" + std::string(31, '.') + "\n";
  for (int row = 1; row < 7; ++row) picture += blank;
  picture += "  " + std::string(31, '.') + "#\n";
  EXPECT_EQ(text, "bracket open\ndefine 1 logos\nlogo 1: x 4, y 1 (32 x 8 dots)\n" + picture +
                      "end of logos (0A)\nbracket close\n");
}

// A till program's commands by name; its text stays in hex.
TEST(DecodeJob, TillCommandsByName) {
  const std::vector<std::uint8_t> job = {0x1B, 0x40, 0x1B, 0x61, 0x01, 0x1C, 0x70, 0x02, 0x03, 'H', 'i', 0x0A,
                                         0x1B, 0x70, 0x00, 0x19, 0xFA, 0x1D, 0x56, 0x42, 0x00, 0x1D, 0x56, 0x00,
                                         0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x02, 0x00, 0xFF, 0x00};
  EXPECT_EQ(DecodeJob(job),
            "initialise\nalign 1\nprint logo 2, mode 3\nbytes: 48 69\nline feed (0A)\n"
            "drawer pulse 0, on 25, off 250\ncut partial\ncut full\nraster image 8 x 2 dots, mode 0\n");
}

TEST(DecodeJob, CutOrForeignBytesAreListedNotOverread) {
  // A logo header promising more data than there is, and a barcode without
  // its end, take the rest of the job; a command not drawn is named whole.
  EXPECT_EQ(DecodeJob(std::vector<std::uint8_t>{0x1C, 0x71, 0x01, 0x10, 0x00, 0x07, 0x00, 0xFF}),
            "FS q (cut short by the job's end): 1C 71 01 10 00 07 00 FF\n");
  EXPECT_EQ(DecodeJob(std::vector<std::uint8_t>{0x1D, 0x6B, 0x49, 0x05, 'a'}),
            "GS k (cut short by the job's end): 1D 6B 49 05 61\n");
  EXPECT_EQ(DecodeJob(std::vector<std::uint8_t>{0x1D, 0x28, 0x4C, 0x02, 0x00, 0x30, 0x32, 'A'}),
            "GS ( L: 1D 28 4C 02 00 30 32\nbytes: 41\n");
  // A job ending right after a two-byte code whose third byte picks the command.
  for (const std::vector<std::uint8_t>& job : {std::vector<std::uint8_t>{0x1D, 0x28}, {0x1D, 0x6B}, {0x1C, 0x71}}) {
    EXPECT_NE(DecodeJob(job).find("cut short by the job's end"), std::string::npos) << DecodeJob(job);
  }
  EXPECT_EQ(DecodeJob(Joined(cmd::FileDownloadJob(Text("\x01\x02")))), "bytes: 01 02\n");
}

}  // namespace
}  // namespace kit::tools
