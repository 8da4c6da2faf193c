#include "tools/kvjob/virtual_printer.h"

#include <gtest/gtest.h>

#include "common/bmp/bmp.h"
#include "tests/tools/kvjob/receipt_jobs.h"
#include "tools/kvjob/printer_font.h"
#include "tools/kvjob/render_paper.h"

namespace kit::tools {
namespace {

using testing::Bytes;
using testing::operator+;

// A printed dot of the picture at paper coordinates.
bool Printed(const ReceiptPicture& p, int x, int y) { return p.At(paper::kRollEdgeDots + x, y) == kInk; }

// The leftmost and rightmost printed columns in rows [top, bottom).
std::pair<int, int> InkColumns(const ReceiptPicture& p, int top, int bottom) {
  int left = paper::kPaperWidthDots, right = -1;
  for (int y = top; y < bottom && y < p.height(); ++y) {
    for (int x = 0; x < paper::kPaperWidthDots; ++x) {
      if (Printed(p, x, y)) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  return {left, right};
}

// Every dot of the converted bitmap comes out where the printer puts it: the
// blank rows that fill the last group of eight above the picture, the bits
// past its width blank, each dot doubled across and down by the print modes.
TEST(VirtualPrinter, PrintedLogoIsTheConvertedBitmapDotForDot) {
  constexpr int kWidth = 100, kHeight = 50;  // sent 128 x 56 dots: six blank rows on top
  const Bytes mono = testing::ConvertedLogo(kWidth, kHeight);
  ASSERT_EQ(bmp::ReadInfoHeader(mono)->bits_per_pixel, 1);
  const int stride = static_cast<int>(*bmp::RowStride(kWidth, 1));
  for (std::uint8_t mode : {0, 1, 2, 3}) {
    SCOPED_TRACE(mode);
    VirtualPrinter printer;
    printer.Render(testing::LogoJob(mono));
    const Rendering r = printer.Render(Bytes{0x1C, 0x70, 0x01, mode});
    const int sx = (mode & 1) != 0 ? 2 : 1, sy = (mode & 2) != 0 ? 2 : 1;
    int mismatches = 0, dots = 0;
    for (int y = 0; y < 56; ++y) {
      for (int x = 0; x < 128; ++x) {
        // Row y from the top is stored row (55 - y) of 50 from the bottom; the
        // one-bit file stores a 0 bit for black, a printed dot.
        const int stored = 55 - y;
        bool dot = false;
        if (x < kWidth && stored < kHeight) {
          const std::uint8_t byte = mono[62 + static_cast<std::size_t>(stored) * stride + x / 8];
          dot = ((byte >> (7 - x % 8)) & 1) == 0;
        }
        dots += dot ? 1 : 0;
        for (int dy = 0; dy < sy; ++dy) {
          for (int dx = 0; dx < sx; ++dx) mismatches += Printed(r.picture, x * sx + dx, y * sy + dy) != dot ? 1 : 0;
        }
      }
    }
    EXPECT_GT(dots, 500);
    EXPECT_EQ(mismatches, 0);
    // The PNG holds the picture as drawn, row by row.
    const auto png = DecodePng(EncodePng(r.picture));
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->width, paper::kPictureWidth);
    EXPECT_EQ(png->height, r.picture.height());
    EXPECT_EQ(png->pixels, r.picture.pixels());
    EXPECT_LE(InkColumns(r.picture, 0, r.picture.height()).second, kWidth * sx - 1);
  }
}

// The memory is the define-logos command that fills it, byte for byte; it
// survives from job to job, a clear empties it, and anything else is refused.
TEST(VirtualPrinter, LogoMemoryKeepsAcrossJobsAsItsDefineCommand) {
  VirtualPrinter printer;
  EXPECT_EQ(printer.SaveMemory(), (Bytes{0x1C, 0x71, 0x00, 0x00, 0x0A}));
  print::commands::LogoImage a{4, 1, Bytes(32, 0)}, b{1, 2, Bytes(16, 0)};
  a.data[0] = 0x80;
  b.data[15] = 0x01;
  const print::commands::LogoImage logos[] = {a, b};
  printer.Render(testing::Joined(*print::commands::LogoDownloadJob(logos)));
  Bytes expected = {0x1C, 0x71, 0x02, 0x04, 0x00, 0x01, 0x00};
  expected.insert(expected.end(), a.data.begin(), a.data.end());
  expected = expected + Bytes{0x01, 0x00, 0x02, 0x00} + b.data + Bytes{0x0A};
  EXPECT_EQ(printer.SaveMemory(), expected);

  // Logo 2 of the earlier job prints in a later one: its bottom-right dot.
  const Rendering r = printer.Render(Bytes{0x1C, 0x70, 0x02, 0x00});
  EXPECT_TRUE(Printed(r.picture, 7, 15));
  EXPECT_EQ(InkColumns(r.picture, 0, 16), std::make_pair(7, 7));

  VirtualPrinter later;
  ASSERT_TRUE(later.LoadMemory(expected));
  EXPECT_EQ(later.logos().size(), 2u);
  EXPECT_FALSE(later.LoadMemory(Bytes{0x1C, 0x71, 0x01, 0x04}));  // cut short
  EXPECT_FALSE(later.LoadMemory(expected + Bytes{0x41}));         // more than the command
  EXPECT_EQ(later.logos().size(), 2u);
  later.Render(testing::Joined(print::commands::ClearLogosJob()));
  EXPECT_TRUE(later.logos().empty());
  EXPECT_EQ(later.Render(Bytes{0x1C, 0x70, 0x01, 0x00}).drawn[0]["what"], "logo missing");
}

// What a till program's escape sequences draw, as the printer reports it.
TEST(VirtualPrinter, TillEscapeSequences) {
  struct Case {
    const char* name;
    Bytes job;
    nlohmann::json first;  // fields the first thing drawn must have
    int ink_left = -1, ink_right = -1;  // printed columns of the first 48 rows, when given
    int count = -1;                     // things drawn, when given
    nlohmann::json last = nlohmann::json::object();  // fields the last one must have
  };
  const Bytes qr = Bytes{0x1D, 0x6B, 0x0B, 0x4C, 0x41, 0x2C, 'H', 'I', 0x00};
  const Case cases[] = {
      {"plain Font A line", Bytes{} + std::string_view("AB\n"), {{"what", "text"}, {"text", "AB"}, {"height", 24}}, 0, 23},
      {"double width and height", Bytes{0x1B, 0x21, 0x30} + std::string_view("A\n"),
       {{"what", "text"}, {"height", 48}}, 0, 23},
      {"GS ! 8 x 8 capped", Bytes{0x1D, 0x21, 0x77} + std::string_view("A\n"), {{"what", "text"}, {"height", 192}}},
      {"Font B", Bytes{0x1B, 0x4D, 0x01} + std::string_view("AB\n"), {{"what", "text"}, {"height", 17}}, 0, 17},
      {"centred", Bytes{0x1B, 0x61, 0x01} + std::string_view("AB\n"), {{"what", "text"}}, 185, 209},
      {"right aligned", Bytes{0x1B, 0x61, 0x32} + std::string_view("AB\n"), {{"what", "text"}}, 371, 394},
      {"code page 1252", Bytes{0x1B, 0x74, 0x10} + std::string_view("caf\xE9\n"), {{"text", "caf\xC3\xA9"}}},
      {"code page 437 by default", Bytes{} + std::string_view("\x82\n"), {{"text", "\xC3\xA9"}}},
      {"a long line wraps", Bytes(40, 'x') + std::string_view("\n"), {{"text", std::string(32, 'x')}}},
      {"feed three lines", Bytes{0x1B, 0x64, 0x03} + std::string_view("A\n"), {{"what", "text"}, {"y", 90}}},
      {"feed dots", Bytes{0x1B, 0x4A, 0x07} + std::string_view("A\n"), {{"y", 7}}},
      {"partial cut", Bytes{0x1D, 0x56, 0x01}, {{"what", "cut"}, {"kind", "partial"}}},
      {"full cut after a feed", Bytes{0x1D, 0x56, 0x41, 0x10}, {{"what", "cut"}, {"kind", "full"}, {"y", 16}}},
      {"operation page cut", Bytes{0x1D, 0x56, 0x42, 0x00}, {{"what", "cut"}, {"kind", "partial"}}},
      {"ESC i", Bytes{0x1B, 0x69}, {{"what", "cut"}, {"kind", "full"}}},
      {"drawer", Bytes{0x1B, 0x70, 0x01, 0x19, 0xFA}, {{"what", "drawer"}, {"pin", 5}, {"on_ms", 50}}},
      {"buzzer", Bytes{0x1B, 0x42, 0x03, 0x02}, {{"what", "buzzer"}, {"times", 3}}},
      {"unknown escape", Bytes{0x1B, 0x7C, 0x01, 0x07}, {{"what", "unknown"}, {"bytes", "1B 7C 01 07"}}},
      {"cut short at the end", Bytes{0x1D, 0x6B, 0x49, 0x05, 'a'}, {{"what", "cut short"}, {"command", "GS k"}}, -1, -1, 1},
      // ESC $ nL nH: the next character at nL + 256 nH dots from the line's left.
      {"ESC $ places the next character", Bytes{0x1B, 0x24, 0x10, 0x00} + std::string_view("A\n"),
       {{"what", "text"}, {"text", " A"}}, 16, 16 + 12 - 1, 1},
      {"ESC $ behind the line's end ignored", Bytes{} + std::string_view("AB") + Bytes{0x1B, 0x24, 0x05, 0x00} +
       std::string_view("C\n"), {{"what", "text"}, {"text", "ABC"}}, 0, 3 * 12 - 1, 1},
      {"ESC $ past the roll ignored", Bytes{0x1B, 0x24, 0xFF, 0x7F} + std::string_view("A\n"),
       {{"what", "text"}, {"text", "A"}}, 0, 12 - 1, 1},
      {"GS L, ESC D, GS P passed over", Bytes{0x1D, 0x4C, 0x20, 0x00, 0x1B, 0x44, 0x08, 0x10, 0x00, 0x1D, 0x50, 0xB4, 0xB4} +
       std::string_view("A\n"), {{"command", "GS L"}}, -1, -1, 4, {{"text", "A"}}},
      {"ESC * image holding a cut's bytes", Bytes{0x1B, 0x2A, 0x21, 0x02, 0x00, 0x1D, 0x56, 0x00, 0x1D, 0x56, 0x01} +
       std::string_view("A\n"), {{"command", "ESC *"}, {"length", 11}}, -1, -1, 2, {{"text", "A"}}},
      {"GS 8 L graphics", Bytes{0x1D, 0x38, 0x4C, 0x04, 0x00, 0x00, 0x00, 0x30, 0x70, 0x1D, 0x56} + std::string_view("A\n"),
       {{"command", "GS 8 L"}, {"length", 11}}, -1, -1, 2, {{"text", "A"}}},
      {"ESC d after text feeds from the line", Bytes{} + std::string_view("A") + Bytes{0x1B, 0x64, 0x03} +
       std::string_view("B\n"), {{"text", "A"}}, -1, -1, 2, {{"text", "B"}, {"y", 90}}},
      {"ESC J after text feeds from the line", Bytes{} + std::string_view("A") + Bytes{0x1B, 0x4A, 0x28} +
       std::string_view("B\n"), {{"text", "A"}}, -1, -1, 2, {{"text", "B"}, {"y", 40}}},
      {"GS ! outside its range ignored", Bytes{0x1D, 0x21, 0x88} + std::string_view("A\n"), {{"height", 24}}},
      {"ESC @ resets the barcode settings", Bytes{0x1D, 0x77, 0x06, 0x1D, 0x48, 0x02, 0x1B, 0x40, 0x1D, 0x6B, 0x48, 0x03} +
       std::string_view("123"), {{"what", "barcode"}, {"module_width", 3}, {"hri_position", 0}}},
      {"ESC @ resets the QR model", Bytes{0x1D, 0x28, 0x6B, 0x04, 0x00, 0x31, 0x41, 0x31, 0x00, 0x1B, 0x40} + qr,
       {{"what", "qr"}, {"model", 2}}},
      {"QR model 1 refused", Bytes{0x1D, 0x6F, 0x00, 0x03, 0x00, 0x01} + qr, {{"what", "qr refused"}}},
      {"ITF odd digit left out", Bytes{0x1D, 0x6B, 0x05} + std::string_view("123456789") + Bytes{0x00},
       {{"what", "barcode"}, {"hri", "12345678"}}},
      {"Code39 thin 2, thick 5", Bytes{0x1D, 0x77, 0x02, 0x1D, 0x6B, 0x04, 'A', 0x00}, {{"what", "barcode"}, {"width", 85}}},
      {"ITF thin 3, thick 8", Bytes{0x1D, 0x6B, 0x05, '1', '2', 0x00}, {{"what", "barcode"}, {"width", 3 * 12 + 8 * 5}}},
      {"barcode too wide", Bytes{0x1D, 0x77, 0x06, 0x1D, 0x6B, 0x48, 0x14} + std::string_view("12345678901234567890"),
       {{"what", "barcode refused"}, {"reason", "wider than the paper"}}},
      {"check digit replaced", Bytes{0x1D, 0x6B, 0x02} + std::string_view("1234567890123") + Bytes{0x00},
       {{"what", "barcode"}, {"hri", "1234567890128"}}},
      {"QR by GS ( k", Bytes{0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x43, 0x04, 0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x45,
                             0x33, 0x1D, 0x28, 0x6B, 0x08, 0x00, 0x31, 0x50, 0x30} +
                           std::string_view("HELLO") + Bytes{0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x51, 0x30},
       {{"what", "qr"}, {"error_correction", "H"}, {"module_size", 4}, {"data", "HELLO"}}},
      {"raster image", Bytes{0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x02, 0x00, 0x81, 0x18},
       {{"what", "raster image"}, {"width", 8}, {"height", 2}}, 0, 7},
      {"UPC-E without a short form", Bytes{0x1D, 0x6B, 0x01} + std::string_view("023456789012") + Bytes{0x00},
       {{"what", "barcode refused"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualPrinter printer;
    const Rendering r = printer.Render(c.job);
    ASSERT_FALSE(r.drawn.empty());
    for (const auto& [key, value] : c.first.items()) EXPECT_EQ(r.drawn[0].value(key, nlohmann::json()), value) << key << " in " << r.drawn.dump();
    for (const auto& [key, value] : c.last.items()) EXPECT_EQ(r.drawn.back().value(key, nlohmann::json()), value) << key << " in " << r.drawn.dump();
    if (c.count >= 0) EXPECT_EQ(r.drawn.size(), static_cast<std::size_t>(c.count)) << r.drawn.dump();
    if (c.ink_left >= 0) {
      const auto [left, right] = InkColumns(r.picture, 0, 48);
      EXPECT_GE(left, c.ink_left);
      EXPECT_LE(right, c.ink_right);
      EXPECT_GT(right, left);
    }
  }
}

// Feeds and text stop at the end of the longest paper, however much of the
// job is left (a megabyte of the largest characters ends there, not minutes
// later).
TEST(VirtualPrinter, NoJobRunsPastTheLongestPaper) {
  Bytes feeds;
  for (int i = 0; i < 300; ++i) feeds.insert(feeds.end(), {0x1B, 0x64, 0xFF});
  const Bytes large_text = Bytes{0x1D, 0x21, 0x77} + Bytes(1 << 20, 'W');
  for (const Bytes& job : {feeds, large_text}) {
    VirtualPrinter printer;
    const Rendering r = printer.Render(job);
    EXPECT_TRUE(r.paper_end);
    EXPECT_LE(r.picture.height(), paper::kMaxLengthDots);
  }
}

// One below the lowest row of the margin that holds a note's ink (0: none).
int NotesBottom(const ReceiptPicture& p) {
  int bottom = 0;
  for (int y = 0; y < p.height(); ++y) {
    for (int x = paper::kMarginLeft; x < paper::kPictureWidth; ++x) {
      if (p.At(x, y) == kNoteInk) bottom = y + 1;
    }
  }
  return bottom;
}

// Margin notes use no paper: a job of nothing but commands the printer does
// not know (or skips) neither grows the receipt past a few lines beside it
// nor ends the paper, and the line after them prints where the paper is;
// every one is still listed. A single note is drawn.
TEST(VirtualPrinter, MarginNotesUseNoPaper) {
  constexpr int kNoteLine = paper::kFontB.height;
  Bytes one_line;  // 1,000 unknown commands, each after ESC E, on one line
  for (int i = 0; i < 1000; ++i) one_line.insert(one_line.end(), {0x1B, 0x45, 0x01, 0x1B, 0xEE});
  one_line = one_line + Bytes{'\n', 'n', 'e', 'x', 't', '\n'};
  Bytes notes;
  for (int i = 0; i < 20000; ++i) notes.insert(notes.end(), {0x1B, 0xEE});
  const struct {
    const char* name;
    Bytes job;
    std::size_t listed;  // records of unknown bytes
    bool notes_full;     // more notes than the margin holds
  } cases[] = {
      {"one unknown command", Bytes{0x1B, 0xEE, 'a', '\n'}, 1, false},
      {"1,000 unknown commands on one line", one_line, 1000, true},
      {"20,000 unknown commands", notes, 1, true},
      {"a megabyte the printer does not know", Bytes(1 << 20, 0x07), 1, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualPrinter printer;
    const Rendering r = printer.Render(c.job);
    EXPECT_FALSE(r.paper_end);
    std::size_t unknown = 0;
    int last_text_y = -1;
    for (const auto& item : r.drawn) {
      if (item["what"] == "unknown") ++unknown;
      if (item["what"] == "text") last_text_y = item["y"].get<int>();
    }
    EXPECT_EQ(unknown, c.listed);
    const int notes_at_most = last_text_y + paper::kDefaultLineSpacing + 12 * kNoteLine;
    EXPECT_LE(r.picture.height(), std::max(notes_at_most, 12 * kNoteLine));
    // Ten lines beside the paper when more notes came than that.
    const int bottom = NotesBottom(r.picture);
    EXPECT_GT(bottom, 0);
    if (c.notes_full) EXPECT_GT(bottom, 9 * kNoteLine);
    if (!c.notes_full) EXPECT_LE(bottom, kNoteLine);
  }
  // A closing note (a listening printer's "job cut") is drawn below a full
  // margin, and listed last.
  VirtualPrinter cut;
  const Rendering closed = cut.Render(notes, "job cut");
  EXPECT_EQ(closed.drawn.back()["text"], "job cut");
  EXPECT_GT(NotesBottom(closed.picture), 10 * kNoteLine);
  EXPECT_LE(NotesBottom(closed.picture), 11 * kNoteLine);
  VirtualPrinter printer;
  const Rendering r = printer.Render(one_line);
  EXPECT_EQ(r.drawn.back()["text"], "next");
  EXPECT_LE(r.drawn.back()["y"].get<int>(), paper::kDefaultLineSpacing);
}

// A job that draws without using paper (a zero-height logo printed again and
// again) lists at most kMaxRecords things and counts the rest.
TEST(VirtualPrinter, WhatAJobListsIsCapped) {
  VirtualPrinter printer;
  printer.Render(Bytes{0x1C, 0x71, 0x01, 0x01, 0x00, 0x00, 0x00, 0x0A});
  Bytes job;
  for (int i = 0; i < 20000; ++i) job.insert(job.end(), {0x1C, 0x70, 0x01, 0x00});
  const Rendering r = printer.Render(job);
  ASSERT_EQ(r.drawn.size(), kMaxRecords + 1);
  EXPECT_EQ(r.drawn.back(), (nlohmann::json{{"what", "not listed"}, {"count", 20000 - kMaxRecords}}));
}

// ESC @ and ESC t select a code page built once, not once per command.
TEST(VirtualPrinter, CodePagesAreBuiltOnce) {
  EXPECT_EQ(CodePageOf(16), CodePageOf(16));
  EXPECT_EQ(CodePageOf(0)->characters[0x82], U'\u00E9');
  EXPECT_EQ(CodePageOf(1), nullptr);
}

// Each model's roll: a raster row of 100 bytes (800 dots) prints as far as
// the model's line and no further, the picture and its record are as wide
// as that roll, and the notes' margin starts beside it.
TEST(VirtualPrinter, EveryModelsRoll) {
  Bytes row = {0x1D, 0x76, 0x30, 0x00, 100, 0x00, 1, 0x00};
  row.insert(row.end(), 100, 0xFF);
  for (const print::model::Model& m : print::model::Models()) {
    SCOPED_TRACE(std::string(m.token));
    VirtualPrinter printer(paper::RollOf(m));
    const Rendering r = printer.Render(row);
    const int line = m.printable_width_dots;
    EXPECT_EQ(r.picture.width(), paper::kRollEdgeDots * 2 + line + paper::kMarginDots);
    EXPECT_TRUE(Printed(r.picture, line - 1, 0));
    EXPECT_NE(r.picture.At(paper::kRollEdgeDots + line, 0), kInk) << "a dot past the line";
    const auto paper = DescribeRendering(r)["paper"];
    EXPECT_EQ(paper["width_dots"], line);
    EXPECT_EQ(paper["dots_per_inch"], m.dots_per_inch);
    EXPECT_EQ(paper["margin_left"], r.picture.width() - paper::kMarginDots);
  }
}

}  // namespace
}  // namespace kit::tools
