// The Download page's logo group: the list and its records, the limits at
// Add, "Download all" with its checks before any job, the converted files
// the page owns, and the preview.
#include <gtest/gtest.h>

#include "print/commands/printer_commands.h"
#include "print/logo/logo_convert.h"
#include "tests/print/commands/mono_bitmaps.h"
#include "tests/plugin/pages/download/download_fixture.h"
#include "tests/print/logo/test_images.h"
#include "tests/read_limit.h"

namespace kit::plugin::download::testing {
namespace {

using logo::LogoSettings;
using logo::testing::Bgr;
using logo::testing::Make24;
using logo::testing::Make8;

std::vector<std::uint8_t> Gradient24(int width, int height) {
  return Make24(width, height, [](int x, int y) {
    return Bgr{static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 5), static_cast<std::uint8_t>(x + y)};
  });
}
std::vector<std::uint8_t> Gradient8(int width, int height) {
  return Make8(width, height, [](int x, int y) { return static_cast<std::uint8_t>((x * 16 + y * 3) & 0xFF); });
}
std::vector<std::uint8_t> Mono(int width, int height, bool palette0_black = false) {
  return print::commands::testing::MakeMono(width, height, palette0_black, [](int x, int y) { return (x + y) % 3 == 0; });
}
// Text whose bytes at the header's size fields read 8 x 8.
std::vector<std::uint8_t> NotBitmap(std::size_t size) {
  std::vector<std::uint8_t> file(size, 'x');
  for (std::size_t at : {18u, 22u}) file[at] = 8, file[at + 1] = file[at + 2] = file[at + 3] = 0;
  return file;
}
std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> file, std::size_t length) {
  file.resize(length);
  return file;
}

// The bytes "Download all" must send for `files` converted (24- and 8-bit)
// with `settings`, or as they are (one-bit).
std::vector<std::uint8_t> ExpectedLogoJob(const std::vector<std::vector<std::uint8_t>>& files,
                                          const std::vector<LogoSettings>& settings) {
  std::vector<print::commands::LogoImage> images;
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::vector<std::uint8_t> mono = files[i];
    if (IsConvertible(files[i])) mono = logo::ConvertLogoBytes(files[i], settings[i]).file;
    images.push_back(std::get<print::commands::LogoImage>(print::commands::EncodeLogo(mono)));
  }
  const auto job = print::commands::LogoDownloadJob(images);
  std::vector<std::uint8_t> all;
  for (const auto& piece : job->pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

TEST_F(DownloadPageTest, ATenthLogoIsRefusedBeforeAnyDialogAndDeletingFromNineWritesNoTenthRecord) {
  Open();
  const WString path = Put(u"one.bmp", Mono(16, 8));
  for (int i = 0; i < 9; ++i) Add(path);
  ASSERT_EQ(d().ItemCount(kLogoListId), 9);
  ASSERT_TRUE(d().Click(kAddButtonId));
  EXPECT_EQ(env_.FileDialogs().size(), 9u);
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(env_.MessageBoxes()[0].caption, u"Information");
  EXPECT_EQ(env_.MessageBoxes()[0].text.substr(0, 36), u"The total counts of the logos is 9,\n");

  for (std::size_t i = 0; i < kMaxLogos; ++i) logos_.records[i] = LogoSettings{2, static_cast<int>(i), -1};
  ASSERT_TRUE(d().Select(kLogoListId, 8));
  ASSERT_TRUE(d().Click(kDeleteButtonId));
  EXPECT_EQ(d().ItemCount(kLogoListId), 8);
  EXPECT_EQ(logos_.records[7].contrast, 7);
  EXPECT_EQ(logos_.records[8].contrast, 0);  // the freed slot, at the new count
  ASSERT_TRUE(d().Select(kLogoListId, 2));
  ASSERT_TRUE(d().Click(kDeleteButtonId));
  EXPECT_EQ(logos_.records[2].contrast, 3);
  EXPECT_EQ(logos_.records[6].contrast, 7);
  EXPECT_EQ(logos_.records[7].contrast, 0);
  EXPECT_EQ(d().ItemText(kLogoListId, 6), u"7");  // renumbered 1..n
  EXPECT_EQ(d().Selection(kLogoListId), -1);
  EXPECT_FALSE(d().IsEnabled(kOriginalRadioId));
  EXPECT_FALSE(d().IsEnabled(kTransformRadioId));
}

TEST_F(DownloadPageTest, AddChecksTheFileAndItsSizeWithTheLimitsIncluded) {
  std::vector<std::uint8_t> negative = Mono(8, 8);
  negative[22] = 0xF8, negative[23] = negative[24] = negative[25] = 0xFF;  // height -8
  std::vector<std::uint8_t> zero_wide = Mono(8, 8);
  zero_wide[18] = 0;
  struct Case {
    const char* what;
    std::vector<std::uint8_t> file;
    const char16_t* message;  // null: added
  } cases[] = {
      {"1024 x 768", Gradient24(1024, 768), nullptr},
      {"1025 wide", Mono(1025, 1), u"The image is too big to be selected.\nthe width must be less than 1024 Byte,and "
                                    u"the height must be less than 768 Byte!"},
      {"769 high", Mono(8, 769), u"The image is too big to be selected.\nthe width must be less than 1024 Byte,and "
                                 u"the height must be less than 768 Byte!"},
      {"zero width", zero_wide, u"Failed to get data from the file!"},
      {"negative height", negative, u"Failed to get data from the file!"},
      {"61 bytes", Cut(Mono(8, 8), 61),
       u"Failed to get data from the file!"},
      {"not a bitmap (Original)", NotBitmap(100), nullptr},
  };
  Open();
  int listed = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t boxes = env_.MessageBoxes().size();
    Add(Put(u"logo.bmp", c.file));
    if (c.message == nullptr) {
      EXPECT_EQ(env_.MessageBoxes().size(), boxes);
      EXPECT_EQ(d().ItemCount(kLogoListId), ++listed);
    } else {
      ASSERT_EQ(env_.MessageBoxes().size(), boxes + 1);
      EXPECT_EQ(env_.MessageBoxes().back().text, c.message);
      EXPECT_EQ(env_.MessageBoxes().back().caption, u"Error");
      EXPECT_EQ(d().ItemCount(kLogoListId), listed);
    }
  }
  Add(u"C:\\logos\\missing.bmp");
  EXPECT_EQ(Messages().back(), u"Fail to open the selected file!");
  // In Transformation a file that is no bitmap is silently not listed.
  ASSERT_TRUE(d().Select(kLogoListId, 0));
  ASSERT_TRUE(d().Click(kTransformRadioId));
  const std::size_t boxes = env_.MessageBoxes().size();
  Add(Put(u"text.bmp", NotBitmap(100)));
  EXPECT_EQ(d().ItemCount(kLogoListId), listed);
  EXPECT_EQ(env_.MessageBoxes().size(), boxes);
}

TEST_F(DownloadPageTest, RecordsFollowTheirLogosAndTheModesResetThem) {
  Open();
  ASSERT_TRUE(d().Click(kTransformRadioId));
  Add(Put(u"a.bmp", Gradient24(40, 20)));
  Add(Put(u"b.bmp", Gradient8(40, 20)));
  EXPECT_EQ(logos_.records[0].halftone, 1);  // Dither M3 in Transformation
  ASSERT_TRUE(d().Select(kLogoListId, 1));
  ASSERT_TRUE(d().Click(kDitherM4RadioId));
  ASSERT_TRUE(d().MoveTo(kContrastBarId, 30));
  EXPECT_EQ(d().Text(kContrastValueId), u"30");
  ASSERT_TRUE(d().Select(kLogoListId, 0));
  EXPECT_TRUE(d().IsChecked(kDitherM3RadioId));
  EXPECT_EQ(d().Position(kContrastBarId), 0);
  ASSERT_TRUE(d().Click(kDeleteButtonId));
  Add(Put(u"c.bmp", Gradient24(8, 8)));
  EXPECT_EQ(logos_.records[0].halftone, 2);
  EXPECT_EQ(logos_.records[0].contrast, 30);
  EXPECT_EQ(logos_.records[1].halftone, 1);
  EXPECT_EQ(logos_.records[1].contrast, 0);
  EXPECT_EQ(d().ItemText(kLogoListId, 0), u"1");
  EXPECT_EQ(d().SubItemText(kLogoListId, 0, 1), u"b.bmp");

  ASSERT_TRUE(d().Select(kLogoListId, 0));
  ASSERT_TRUE(d().Click(kOriginalRadioId));
  EXPECT_EQ(logos_.records[0].halftone, 0);
  EXPECT_FALSE(d().IsEnabled(kDownloadAllButtonId));
  ASSERT_TRUE(d().Click(kTransformRadioId));
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(logos_.records[i].halftone, 1);
    EXPECT_EQ(logos_.records[i].contrast, 0);
    EXPECT_EQ(logos_.records[i].brightness, 0);
  }
  EXPECT_TRUE(d().IsChecked(kDitherM3RadioId));
  EXPECT_TRUE(d().IsEnabled(kDownloadAllButtonId));
}

TEST_F(DownloadPageTest, TrackbarsStoreWhileMovingAndMarkTheSheetChangedWhenReleased) {
  Open();
  EXPECT_EQ(d().Find(kContrastBarId)->page_size, 20);
  EXPECT_EQ(d().Find(kBrightnessBarId)->line_size, 1);
  EXPECT_EQ(d().Find(kBrightnessBarId)->low, -100);
  Add(Put(u"a.bmp", Gradient24(8, 8)));
  ASSERT_TRUE(d().Select(kLogoListId, 0));
  ASSERT_TRUE(d().MoveTo(kBrightnessBarId, -45));
  EXPECT_EQ(logos_.records[0].brightness, -45);
  EXPECT_EQ(d().Text(kBrightnessValueId), u"-45");
  int changed = 0;
  for (const auto& m : d().ParentMessages()) changed += m.message == ui::kSheetChangedMessage ? 1 : 0;
  EXPECT_EQ(changed, 1);
}

// Three logos in list order: 1C 71 03, then each header and its data. The
// 24-bit logo was never previewed and its converted file is gone (deleted
// with the first logo); it is converted with its own record at download.
TEST_F(DownloadPageTest, DownloadAllSendsEveryLogoAsSetInListOrder) {
  const auto dropped = Gradient24(30, 10);
  const auto colour = Gradient24(100, 50);
  const auto grey = Gradient8(64, 20);
  const auto mono = Mono(21, 9, /*palette0_black=*/true);
  Open();
  ASSERT_TRUE(d().Click(kTransformRadioId));  // with nothing selected
  Add(Put(u"dropped.bmp", dropped));
  Add(Put(u"colour.bmp", colour));
  Add(Put(u"grey.bmp", grey));
  Add(Put(u"mono.bmp", mono));
  ASSERT_TRUE(d().Select(kLogoListId, 2));
  ASSERT_TRUE(d().Click(kDiffuseRadioId));
  ASSERT_TRUE(d().MoveTo(kContrastBarId, 20));
  ASSERT_TRUE(d().Select(kLogoListId, 0));
  ASSERT_TRUE(d().Click(kDeleteButtonId));
  // Transformation again with no logo selected (a click beside the items):
  // the records stay, the converted files are gone and none is made.
  ASSERT_TRUE(d().Select(kLogoListId, 0));
  d().SetSelection(kLogoListId, -1);
  ASSERT_TRUE(d().Click(kTransformRadioId));
  EXPECT_TRUE(ConvertedFiles().empty());
  ASSERT_TRUE(d().Click(kDownloadAllButtonId));

  const auto jobs = Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0]["document"], "LOGO");
  const auto bytes = JobBytes(jobs[0]);
  EXPECT_EQ(bytes, ExpectedLogoJob({colour, grey, mono}, {{1, 0, 0}, {3, 20, 0}, {}}));
  ASSERT_GE(bytes.size(), 7u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 4, bytes.begin() + 7), (std::vector<std::uint8_t>{0x1C, 0x71, 3}));
  EXPECT_TRUE(env_.MessageBoxes().empty());
}

TEST_F(DownloadPageTest, TheSizeSumRefusesNinetySixKibibytes) {
  // Two one-bit logos whose files hold trailing bytes beyond their rows.
  for (const std::uint64_t total : {98303u, 98304u}) {
    SCOPED_TRACE(total);
    TearDown();
    env_ = ui::headless::Environment{};
    Open();
    auto first = Mono(64, 64), second = Mono(8, 8);
    first.resize(static_cast<std::size_t>(total) - second.size(), 0);
    Add(Put(u"first.bmp", first));
    Add(Put(u"second.bmp", second));
    ASSERT_TRUE(d().Select(kLogoListId, 0));
    ASSERT_TRUE(d().Click(kTransformRadioId));
    const std::size_t jobs_before = Jobs().size();
    ASSERT_TRUE(d().Click(kDownloadAllButtonId));
    if (total < kMaxLogoBytes) {
      EXPECT_EQ(Jobs().size(), jobs_before + 1);
      EXPECT_TRUE(env_.MessageBoxes().empty());
    } else {
      EXPECT_EQ(Jobs().size(), jobs_before);
      ASSERT_EQ(env_.MessageBoxes().size(), 1u);
      EXPECT_EQ(env_.MessageBoxes()[0].text, u"The total sizes of all the logos is greater 96K!");
    }
  }
}

// A logo that cannot be sent, in the middle of three: nothing is sent and
// nothing is said, and no job is left in the queue.
TEST_F(DownloadPageTest, ABadLogoSendsNothingAndStartsNoJob) {
  auto red_palette = Mono(16, 8);
  red_palette[54 + 2] = 0xFF, red_palette[54 + 1] = 0, red_palette[54] = 0;
  auto four_bit = Mono(16, 8);
  four_bit[28] = 4;
  auto compressed = Mono(16, 8);
  compressed[30] = 1;
  auto small_header = Mono(16, 8);
  small_header[14] = 12;
  struct Case {
    const char* what;
    std::vector<std::uint8_t> at_add;
    std::vector<std::uint8_t> at_download;  // the file changed after Add
  } cases[] = {
      {"palette not black and white", red_palette, red_palette},
      {"4-bit source", four_bit, four_bit},
      {"compressed", compressed, compressed},
      {"12-byte info header", small_header, small_header},
      {"truncated after Add", Mono(16, 8), Cut(Mono(16, 8), Mono(16, 8).size() - 4)},
      {"grown past 768 after Add", Mono(16, 8), Mono(16, 800)},
      {"no bitmap", NotBitmap(200), NotBitmap(200)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    env_ = ui::headless::Environment{};
    Open();
    Add(Put(u"good1.bmp", Mono(24, 8)));
    Add(Put(u"bad.bmp", c.at_add));
    Add(Put(u"good2.bmp", Gradient24(16, 16)));
    Put(u"bad.bmp", c.at_download);
    ASSERT_TRUE(d().Select(kLogoListId, 0));
    ASSERT_TRUE(d().Click(kTransformRadioId));
    const std::size_t before = Jobs().size();
    ASSERT_TRUE(d().Click(kDownloadAllButtonId));
    EXPECT_EQ(Jobs().size(), before);
    EXPECT_TRUE(env_.MessageBoxes().empty());
  }
}

TEST_F(DownloadPageTest, ALogoWindowsDoesNotGiveAtDownloadAllIsToldAndSendsNothing) {
  struct Case {
    const char* what;
    const char* list;
    sim::Json fault;
  } cases[] = {
      {"read refused", "calls", {{"api", "ReadFile"}, {"subject", "two.bmp"}, {"error", 5}, {"remaining", 1}}},
      {"file in use", "paths", {{"path", "C:\\logos\\two.bmp"}, {"error", 32}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    env_ = ui::headless::Environment{};
    Open();
    Add(Put(u"one.bmp", Mono(24, 8)));
    Add(Put(u"two.bmp", Mono(16, 8)));
    ASSERT_TRUE(d().Select(kLogoListId, 0));
    ASSERT_TRUE(d().Click(kTransformRadioId));
    SetFault(c.list, c.fault);
    const std::size_t before = Jobs().size();
    ASSERT_TRUE(d().Click(kDownloadAllButtonId));
    EXPECT_EQ(Jobs().size(), before);
    EXPECT_EQ(Messages(), std::vector<std::u16string>{u"Failed to get data from the file!"});
    ClearFaults();
    // Once the file can be read again, the same click sends both logos.
    ASSERT_TRUE(d().Click(kDownloadAllButtonId));
    EXPECT_EQ(Jobs().size(), before + 1);
  }
}

TEST_F(DownloadPageTest, AnEmptyListAndClearAllLogos) {
  Open();
  Add(Put(u"a.bmp", Mono(8, 8)));
  ASSERT_TRUE(d().Select(kLogoListId, 0));
  ASSERT_TRUE(d().Click(kTransformRadioId));
  ASSERT_TRUE(d().Click(kDeleteButtonId));
  ASSERT_TRUE(d().Click(kDownloadAllButtonId));  // deleting does not disable it
  EXPECT_EQ(Messages(), std::vector<std::u16string>{u"Please select logos first!"});
  ASSERT_TRUE(d().Click(kClearLogosButtonId));
  const auto jobs = Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0]["document"], "SELFTEST");
  EXPECT_EQ(jobs[0]["pieces"], sim::Json::array({4, 5, 4}));
  EXPECT_EQ(JobBytes(jobs[0]), (std::vector<std::uint8_t>{0x1B, 0x63, 0x3B, 0x01, 0x1C, 0x71, 0x00, 0x00, 0x0A, 0x1B,
                                                          0x63, 0x3B, 0x00}));
}

// Converted logos live in the page's own files in the temporary folder: a
// user's "shopTemp.bmp" beside "shop.bmp" is never touched, and Cancel or
// Apply leaves none of the page's files behind.
TEST_F(DownloadPageTest, ConvertedFilesAreThePagesOwnAndGoAtCancelAndApply) {
  for (const ui::SheetEvent end : {ui::SheetEvent::kQueryCancel, ui::SheetEvent::kApply}) {
    TearDown();
    Open();
    const WString own = Put(u"shopTemp.bmp", {'m', 'i', 'n', 'e'});
    ASSERT_TRUE(d().Click(kTransformRadioId));
    Add(Put(u"shop.bmp", Gradient24(20, 20)));
    Add(Put(u"grey.bmp", Gradient8(20, 20)));
    EXPECT_EQ(ConvertedFiles(), (std::vector<WString>{u"VRTQ40Logo1Temp.bmp", u"VRTQ40Logo2Temp.bmp"}));
    d().Notify(end);
    EXPECT_TRUE(ConvertedFiles().empty());
    Bytes content;
    ASSERT_TRUE(files().ReadFile(own, kTestReadLimit, &content));
    EXPECT_EQ(content, (Bytes{'m', 'i', 'n', 'e'}));
  }
}

// A name outside the ANSI code page reaches the converter and the printer.
TEST_F(DownloadPageTest, ALogoNamedOutsideTheAnsiCodePageConvertsAndIsSent) {
  Open();
  const auto colour = Gradient24(33, 17);
  Add(Put(u"标志ロゴ.bmp", colour));
  EXPECT_EQ(ConvertedFiles(), std::vector<WString>{u"VRTQ40Logo1Temp.bmp"});
  ASSERT_TRUE(d().Select(kLogoListId, 0));
  ASSERT_TRUE(d().Click(kTransformRadioId));
  ASSERT_TRUE(d().Click(kDownloadAllButtonId));
  const auto jobs = Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(JobBytes(jobs[0]), ExpectedLogoJob({colour}, {{1, 0, 0}}));
}

// An earlier sheet of the process left the shared mode at Transformation;
// the new page shows Original and works in Original.
TEST_F(DownloadPageTest, ANewPageWorksInTheOriginalModeItShows) {
  logos_.mode = PreviewMode::kTransformation;
  Open();
  EXPECT_TRUE(d().IsChecked(kOriginalRadioId));
  EXPECT_EQ(logos_.mode, PreviewMode::kOriginal);
  Add(Put(u"a.bmp", Gradient24(8, 8)));
  EXPECT_EQ(logos_.records[0].halftone, 0);
}

TEST_F(DownloadPageTest, ThePreviewShowsTheFileOrItsConversion) {
  Open();
  Add(Put(u"a.bmp", Gradient24(40, 30)));
  ASSERT_TRUE(d().Select(kLogoListId, 0));
  d().Paint();
  const ui::Bitmap& original = d().Find(kPreviewFrameId)->bitmap;
  EXPECT_EQ(original.width, 40);
  EXPECT_EQ(original.height, 30);
  EXPECT_FALSE(d().IsEnabled(kDitherM4RadioId));  // Original offers no halftone
  ASSERT_TRUE(d().Click(kTransformRadioId));
  d().Paint();
  const ui::Bitmap& converted = d().Find(kPreviewFrameId)->bitmap;
  ASSERT_EQ(converted.width, 40);
  for (std::uint32_t pixel : converted.pixels) EXPECT_TRUE(pixel == 0 || pixel == 0xFFFFFF);
  EXPECT_TRUE(d().IsEnabled(kDitherM4RadioId));
  // The logo's bytes were read once, at Add: a repaint does not read the
  // file again.
  Put(u"a.bmp", {'B', 'M'});
  d().Paint();
  EXPECT_EQ(d().Find(kPreviewFrameId)->bitmap.width, 40);
  // A logo whose rows are missing from its file leaves the frame empty.
  Add(Put(u"cut.bmp", Cut(Gradient24(40, 30), 200)));
  ASSERT_TRUE(d().Select(kLogoListId, 1));
  d().Paint();
  EXPECT_TRUE(d().Find(kPreviewFrameId)->bitmap.Empty());
}

}  // namespace
}  // namespace kit::plugin::download::testing
