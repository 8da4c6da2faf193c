#include "print/commands/printer_commands.h"

#include <gtest/gtest.h>

#include <string>

namespace kit::print::commands {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Joined(const rawjob::RawJob& job) {
  Bytes all;
  for (const auto& piece : job.pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}
std::vector<std::size_t> Sizes(const rawjob::RawJob& job) {
  std::vector<std::size_t> sizes;
  for (const auto& piece : job.pieces) sizes.push_back(piece.size());
  return sizes;
}
Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

TEST(BarcodeJob, Code93ExampleIsTheWholeByteString) {
  const BarcodeParameters p{0, 2, 3, 163, BarcodeType::kCode93};
  const auto job = BarcodeJob(p, Text("123456789"));
  EXPECT_EQ(job.name, u"Barcode");
  Bytes expected = {0x1D, 0x66, 0x00, 0x1D, 0x48, 0x02, 0x1D, 0x77, 0x03, 0x1D, 0x68, 0xA3, 0x1D, 0x6B, 0x48,
                    0x00, 0x1D, 0x77, 0x03, 0x1D, 0x68, 0xA3, 0x1D, 0x6B, 0x48, 0x09};
  const Bytes data = Text("123456789");
  expected.insert(expected.end(), data.begin(), data.end());
  expected.push_back(0x00);
  expected.push_back(0x0A);
  EXPECT_EQ(expected.size(), 37u);
  EXPECT_EQ(Joined(job), expected);
  EXPECT_EQ(Sizes(job), (std::vector<std::size_t>{15, 1, 9, 1, 9, 1, 1}));
}

TEST(BarcodeJob, Code128SendsThePackedBytesAfterTheirLength) {
  const Bytes packed = {0x7B, 0x43, 0x0C, 0x22};
  const auto job = BarcodeJob({1, 0, 2, 50, BarcodeType::kCode128}, packed);
  const Bytes all = Joined(job);
  ASSERT_EQ(all.size(), 15u + 1 + 9 + 1 + 4 + 2);
  EXPECT_EQ(all[14], 0x49);
  EXPECT_EQ(all[25], 0x04);
  EXPECT_EQ(Bytes(all.begin() + 26, all.begin() + 30), packed);
}

// Types 0..6 send header A, the data, 00 and 0A; the symbology byte is the
// printer's code (EAN8 -> 3, EAN13 -> 2), not the list index.
TEST(BarcodeJob, ShortFormAndSymbologyCodeForEveryType) {
  struct Case {
    BarcodeType type;
    std::uint8_t code;
    bool with_length;
  };
  const Case cases[] = {
      {BarcodeType::kUpcA, 0x00, false},   {BarcodeType::kUpcE, 0x01, false},   {BarcodeType::kEan8, 0x03, false},
      {BarcodeType::kEan13, 0x02, false},  {BarcodeType::kCode39, 0x04, false}, {BarcodeType::kItf, 0x05, false},
      {BarcodeType::kCodabar, 0x06, false}, {BarcodeType::kCode93, 0x48, true}, {BarcodeType::kCode128, 0x49, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.type));
    EXPECT_EQ(BarcodeTypeAt(static_cast<std::size_t>(c.type)), c.type);
    const auto job = BarcodeJob({1, 3, 6, 255, c.type}, Text("12345678"));
    const Bytes all = Joined(job);
    EXPECT_EQ(all[14], c.code);
    const Bytes head = {0x1D, 0x66, 0x01, 0x1D, 0x48, 0x03, 0x1D, 0x77, 0x06, 0x1D, 0x68, 0xFF, 0x1D, 0x6B, c.code};
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 15), head);
    if (!c.with_length) {
      EXPECT_EQ(Sizes(job), (std::vector<std::size_t>{15, 8, 1, 1}));
      EXPECT_EQ(Bytes(all.begin() + 15, all.end()), Text(std::string("12345678") + '\0' + '\n'));
    }
  }
  EXPECT_FALSE(BarcodeTypeAt(kBarcodeTypeCount).has_value());
}

TEST(QrJob, ErrorLettersAndWholeJob) {
  const std::uint8_t letters[] = {'L', 'M', 'H', 'Q'};
  for (std::uint8_t level = 0; level < 4; ++level) {
    const auto job = QrJob({24, 1, 2, level}, Text("AB"));
    ASSERT_TRUE(job);
    EXPECT_EQ(job->name, u"2Dcode");
    EXPECT_EQ(Joined(*job), (Bytes{0x1D, 0x6F, 0x00, 0x18, 0x01, 0x02, 0x1D, 0x6B, 0x0B, letters[level], 0x41, 0x2C,
                                   'A', 'B', 0x00, 0x0A}));
    EXPECT_EQ(Sizes(*job), (std::vector<std::size_t>{12, 2, 1, 1}));
  }
  EXPECT_FALSE(QrJob({3, 0, 1, 4}, Text("A")).has_value());
}

TEST(ClearLogosJob, BracketedWritesOfFourFiveFour) {
  const auto job = ClearLogosJob();
  EXPECT_EQ(job.name, u"SELFTEST");
  EXPECT_EQ(Sizes(job), (std::vector<std::size_t>{4, 5, 4}));
  EXPECT_EQ(Joined(job), (Bytes{0x1B, 0x63, 0x3B, 0x01, 0x1C, 0x71, 0x00, 0x00, 0x0A, 0x1B, 0x63, 0x3B, 0x00}));
}

TEST(LogoDownloadJob, CountHeadersDataAndBrackets) {
  const LogoImage a{4, 1, Bytes(32, 0xAA)};
  const LogoImage b{0x104, 0x102, Bytes(3, 0x55)};  // data size is the caller's affair
  const LogoImage logos[] = {a, b};
  const auto job = LogoDownloadJob(logos);
  ASSERT_TRUE(job);
  EXPECT_EQ(job->name, u"LOGO");
  ASSERT_EQ(Sizes(*job), (std::vector<std::size_t>{4, 3, 4, 32, 4, 3, 1, 4}));
  EXPECT_EQ(job->pieces[0], (Bytes{0x1B, 0x63, 0x3B, 0x01}));
  EXPECT_EQ(job->pieces[1], (Bytes{0x1C, 0x71, 0x02}));
  EXPECT_EQ(job->pieces[2], (Bytes{0x04, 0x00, 0x01, 0x00}));
  EXPECT_EQ(job->pieces[3], a.data);
  EXPECT_EQ(job->pieces[4], (Bytes{0x04, 0x01, 0x02, 0x01}));
  EXPECT_EQ(job->pieces[6], (Bytes{0x0A}));
  EXPECT_EQ(job->pieces[7], (Bytes{0x1B, 0x63, 0x3B, 0x00}));

  EXPECT_FALSE(LogoDownloadJob({}).has_value());
  const std::vector<LogoImage> ten(10, a);
  EXPECT_FALSE(LogoDownloadJob(ten).has_value());
  const std::vector<LogoImage> nine(9, a);
  EXPECT_EQ(LogoDownloadJob(nine)->pieces[1][2], 9);
}

TEST(FileDownloadJob, OnePieceUnchanged) {
  const Bytes file = {0x1B, 0x40, 0x00, 0xFF, 0x0A};
  const auto job = FileDownloadJob(file);
  EXPECT_EQ(job.name, u"FIRMWARE");
  ASSERT_EQ(job.pieces.size(), 1u);
  EXPECT_EQ(job.pieces[0], file);
}

}  // namespace
}  // namespace kit::print::commands
