// The Water Mark page on a virtual machine: the modes and graphics printing,
// the font size and tiled size rules, the text limit, Browse with the
// bitmaps it converts or refuses, Apply with the text picture, a record
// holding values out of range, and preview errors shown once.
#include <gtest/gtest.h>

#include <filesystem>

#include <cstdlib>
#include <functional>

#include "common/bmp/bmp.h"
#include "platform/sim/scratch_machine.h"
#include "plugin/core/sheets/sheet_protocol.h"
#include "plugin/core/sheets/watermark_signal.h"
#include "plugin/core/watermark/picture_place.h"
#include "plugin/pages/watermark/watermark_page.h"
#include "plugin/pages/watermark/watermark_preview.h"
#include "ui/headless/dialog.h"
#include "tests/read_limit.h"

namespace kit::plugin::watermark {
namespace {

// The signed-in user's picture for printer P1, where the spooler reads it too.
constexpr char16_t kPicture[] = u"C:\\ProgramData\\PrinterDriverKit\\Watermark\\User\\P11.bmp";

int g_reports = 0;
com::LONG_PTR KIT_STDCALL CountReports(com::HANDLE, com::UINT function, com::LPARAM, com::LPARAM result) {
  if (function == sheets::kCpsFuncSetResult && result == sheets::kCpsuiOk) ++g_reports;
  return 1;
}

Bytes Bmp(std::uint32_t offset, std::int32_t width, std::int32_t height, std::uint16_t bits, std::size_t pixel_bytes) {
  Bytes out;
  bmp::FileHeader file;
  file.pixel_offset = offset;
  file.file_size = static_cast<std::uint32_t>(offset + pixel_bytes);
  bmp::AppendFileHeader(out, file);
  bmp::InfoHeader info;
  info.width = width;
  info.height = height;
  info.bits_per_pixel = bits;
  bmp::AppendInfoHeader(out, info);
  for (std::size_t i = bmp::kHeadersSize; i < offset; ++i) out.push_back(static_cast<std::uint8_t>(i * 7));
  for (std::size_t i = 0; i < pixel_bytes; ++i) out.push_back(static_cast<std::uint8_t>(i));
  return out;
}

class WatermarkPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    machine_ = sim::ScratchMachine::Create({}, &error);
    ASSERT_NE(machine_, nullptr) << error;
    WriteDefaults(bytes_, u"C:\\Windows\\system32");
    param_.pOEMDM = bytes_.data();
    param_.pPrinterName = printer_.data();
    document_.lParamInit = reinterpret_cast<com::LPARAM>(&param_);
    document_.pfnComPropSheet = CountReports;
    g_reports = 0;
    ForgetShownPreviewErrors();
    sheets::TakeWatermarkGraphicsOff();
  }
  void TearDown() override {
    dialog_.reset();
    page_.reset();
  }
  ui::headless::Dialog& Open() {
    dialog_.reset();
    sheets::PagePlatform platform;
    platform.files = &machine_->platform().files;
    platform.system = &machine_->platform().system;
    page_ = std::make_unique<WatermarkPage>(sheets::PageContext::Document(document_, nullptr, platform));
    dialog_ = std::make_unique<ui::headless::Dialog>(*page_, env_);
    dialog_->Create();
    return *dialog_;
  }
  PrivateDevMode Record() const { return Decode(bytes_); }
  void Edit(const std::function<void(PrivateDevMode&)>& change) {
    PrivateDevMode r = Record();
    change(r);
    Encode(r, bytes_);
  }
  Files& files() { return machine_->platform().files; }
  Bytes Read(std::u16string_view path) {
    Bytes b;
    return files().ReadFile(path, kTestReadLimit, &b) ? b : Bytes{};
  }
  std::vector<std::u16string> Messages() const {
    std::vector<std::u16string> texts;
    for (const auto& box : env_.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }
  int Tool(const std::string& arguments) {
    return std::system((std::string(KIT_VMACHINE_PATH) + " " + arguments + " >/dev/null").c_str());
  }
  std::string Folder() const { return "'" + machine_->folder().string() + "'"; }

  std::unique_ptr<sim::ScratchMachine> machine_;
  std::u16string printer_ = u"P1";
  PrivateDevModeBytes bytes_{};
  com::OEMUIPSPARAM param_{};
  com::DocumentSheetContext document_;
  ui::headless::Environment env_;
  std::unique_ptr<WatermarkPage> page_;
  std::unique_ptr<ui::headless::Dialog> dialog_;
};

const std::u16string kGraphicsMessage = u"All Text will be printed as graphics image!";
const std::u16string kError2 = u"Please check if user has administrator privileges!";
const std::u16string kError5 = u"Make sure the specified bitmap is 1/8/24/ bits!";

TEST_F(WatermarkPageTest, ChoosingAWatermarkTurnsGraphicsOnWithOneMessage) {
  auto& d = Open();
  EXPECT_FALSE(d.IsEnabled(kTextComboId));
  EXPECT_FALSE(d.IsEnabled(kSizeTrackbarId));
  ASSERT_TRUE(d.Click(kTextRadioId));
  ASSERT_EQ(Messages(), std::vector<std::u16string>{kGraphicsMessage});
  EXPECT_EQ(env_.MessageBoxes()[0].caption, u"Information");
  EXPECT_EQ(env_.MessageBoxes()[0].style, ui::kMbIconInformation);
  EXPECT_EQ(Record().WatermarkMode, 2);
  EXPECT_EQ(Record().PrintAsGraphics, 1);
  EXPECT_TRUE(d.IsEnabled(kTextComboId));
  EXPECT_FALSE(d.IsEnabled(kBrowseButtonId));
  ASSERT_TRUE(d.Click(kImageRadioId));
  EXPECT_FALSE(d.IsEnabled(kTextComboId));
  EXPECT_TRUE(d.IsEnabled(kBrowseButtonId));
  EXPECT_TRUE(d.IsEnabled(kSizeTrackbarId));
  ASSERT_TRUE(d.Click(kTextRadioId));
  EXPECT_EQ(Messages().size(), 1u);
}

// "No Water Mark" turns graphics off, and tells the Main page, only while
// neither zoom nor rotation needs graphics.
TEST_F(WatermarkPageTest, NoWatermarkTurnsGraphicsOffOnlyWhenNothingElseNeedsIt) {
  struct Case {
    const char* what;
    std::uint8_t zoom, rotate, graphics_before, graphics_after;
    bool signalled;
  } cases[] = {
      {"a free Yes on the Main page", 0, 0, 1, 0, true},
      {"zoom on", 1, 0, 1, 1, false},
      {"rotation on", 0, 1, 1, 1, false},
      {"already off", 0, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    Edit([&](PrivateDevMode& r) {
      r.WatermarkMode = 2;
      r.ZoomEnabled = c.zoom;
      r.Rotate180 = c.rotate;
      r.PrintAsGraphics = c.graphics_before;
    });
    auto& d = Open();
    ASSERT_TRUE(d.Click(kNoWatermarkRadioId)) << c.what;
    EXPECT_EQ(Record().WatermarkMode, 0) << c.what;
    EXPECT_EQ(Record().PrintAsGraphics, c.graphics_after) << c.what;
    EXPECT_EQ(sheets::TakeWatermarkGraphicsOff(), c.signalled) << c.what;
    EXPECT_FALSE(d.IsEnabled(kPositionComboId)) << c.what;
  }
}

TEST_F(WatermarkPageTest, FontSizeIsHeldWithinEightToSeventyTwo) {
  Edit([](PrivateDevMode& r) { r.WatermarkMode = 2; r.PrintAsGraphics = 1; });
  auto& d = Open();
  ASSERT_TRUE(d.Type(kFontSizeEditId, u"90"));
  EXPECT_EQ(d.Text(kFontSizeEditId), u"72");
  EXPECT_EQ(Record().WatermarkFontSize, 72);
  ASSERT_TRUE(d.Type(kFontSizeEditId, u"5"));
  EXPECT_EQ(d.Text(kFontSizeEditId), u"5");  // still typing
  d.page().OnCommand(d, kFontSizeEditId, ui::Notify::kKillFocus);
  EXPECT_EQ(d.Text(kFontSizeEditId), u"8");
  EXPECT_EQ(Record().WatermarkFontSize, 8);
  ASSERT_TRUE(d.Type(kFontSizeEditId, u"6"));
  d.Notify(ui::SheetEvent::kApply);  // Apply raises it too
  EXPECT_EQ(Record().WatermarkFontSize, 8);
}

TEST_F(WatermarkPageTest, TiledKeepsTheSizeAtTwentyOrMore) {
  Edit([](PrivateDevMode& r) { r.WatermarkMode = 1; r.PrintAsGraphics = 1; r.WatermarkSize = 10; });
  auto& d = Open();
  ASSERT_TRUE(d.Select(kPositionComboId, kTiledPosition));
  EXPECT_EQ(d.Position(kSizeTrackbarId), 20);
  EXPECT_EQ(d.Text(kSizeValueId), u"20");
  EXPECT_EQ(Record().WatermarkSize, 20);
  ASSERT_TRUE(d.MoveTo(kSizeTrackbarId, 10));
  EXPECT_EQ(d.Position(kSizeTrackbarId), 20);
  EXPECT_EQ(Record().WatermarkSize, 20);
  ASSERT_TRUE(d.Select(kPositionComboId, 0));
  ASSERT_TRUE(d.MoveTo(kSizeTrackbarId, 10));
  EXPECT_EQ(Record().WatermarkSize, 10);
  // A drag ends with the mouse let go: the size then reads as a percentage.
  EXPECT_EQ(d.Text(kSizeValueId), u"10%");
  ASSERT_TRUE(d.MoveTo(kBrightnessTrackbarId, 200));
  EXPECT_EQ(d.Text(kBrightnessValueId), u"200");
  d.page().OnCommand(d, kBrightnessTrackbarId, ui::Notify::kCaptureReleased);
  EXPECT_EQ(d.Text(kSizeValueId), u"10%");
  EXPECT_EQ(Record().WatermarkBrightness, 200);
}

TEST_F(WatermarkPageTest, ATypedTextKeepsFifteenCharactersAndTheFontName) {
  Edit([](PrivateDevMode& r) {
    r.WatermarkMode = 2;
    r.PrintAsGraphics = 1;
    SetText(r.WatermarkFontName, u"Arial");
  });
  auto& d = Open();
  EXPECT_EQ(d.Text(kTextComboId), u"CONFIDENTIAL");  // item 0 for an empty text
  ASSERT_TRUE(d.Type(kTextComboId, u"ABCDEFGHIJKLMNOP"));
  EXPECT_EQ(TextOf(Record().WatermarkText), u"ABCDEFGHIJKLMNO");
  EXPECT_EQ(TextOf(Record().WatermarkFontName), u"Arial");
  EXPECT_EQ(bytes_[kOffsetWatermarkText + 30], 0);  // the terminator inside the field
  ASSERT_TRUE(d.Select(kTextComboId, 3));
  EXPECT_EQ(TextOf(Record().WatermarkText), u"DRAFT");
}

TEST_F(WatermarkPageTest, ApplyWritesTheTextPictureAndReports) {
  Edit([](PrivateDevMode& r) { r.WatermarkMode = 2; r.PrintAsGraphics = 1; });
  auto& d = Open();
  ASSERT_TRUE(d.Select(kTextComboId, 3));
  ASSERT_TRUE(d.MoveTo(kAngleTrackbarId, 90));
  EXPECT_EQ(d.Notify(ui::SheetEvent::kApply), ui::SheetReply::kAccept);
  const Bytes picture = Read(kPicture);
  ASSERT_EQ(picture.size(), kTextPictureFileSize);
  EXPECT_EQ(picture[0], 'B');
  EXPECT_EQ(picture[28], 24);
  const auto pixels = ReadPicture(picture);
  ASSERT_TRUE(pixels);
  EXPECT_GT(std::count(pixels->pixels.begin(), pixels->pixels.end(), 0u), 100) << "the text is drawn in black";
  EXPECT_EQ(g_reports, 1);
  EXPECT_EQ(d.ParentMessages().back().message, ui::kSheetUnchangedMessage);
  EXPECT_EQ(Record().WatermarkAngle, 90u);
  EXPECT_EQ(TextOf(Record().WatermarkFontName), d.ItemText(kFontComboId, 0));
  EXPECT_TRUE(Read(std::u16string(kPicture) + u".new").empty());
}

TEST_F(WatermarkPageTest, APictureThatCannotBeWrittenSkipsTheReportAndKeepsTheRecord) {
  struct Case {
    const char* what;
    std::u16string printer;
    std::string fault;
  } cases[] = {
      {"printer name with backslashes", u"\\\\server\\P1", ""},
      {"creating the picture fails", u"P1",
       "fault " + Folder() + " path 'C:\\ProgramData\\PrinterDriverKit\\Watermark\\User\\P11.bmp.new' 5"},
  };
  for (const Case& c : cases) {
    printer_ = c.printer;
    param_.pPrinterName = printer_.data();
    if (!c.fault.empty()) ASSERT_EQ(Tool(c.fault), 0);
    Edit([](PrivateDevMode& r) { r.WatermarkMode = 2; r.PrintAsGraphics = 1; });
    auto& d = Open();
    ASSERT_TRUE(d.Select(kTextComboId, 3));
    const std::size_t boxes = env_.MessageBoxes().size();
    d.Notify(ui::SheetEvent::kApply);
    ASSERT_EQ(env_.MessageBoxes().size(), boxes + 1) << c.what;
    EXPECT_EQ(env_.MessageBoxes().back().text, kError2) << c.what;
    EXPECT_EQ(env_.MessageBoxes().back().caption, u"Error") << c.what;
    EXPECT_EQ(g_reports, 0) << c.what;
    EXPECT_EQ(TextOf(Record().WatermarkText), u"") << c.what;
  }
}

// Browse converts the bitmap (written at Apply), or refuses and keeps what
// was there.
TEST_F(WatermarkPageTest, BrowseConvertsOrRefusesKeepingThePreviousPicture) {
  Edit([](PrivateDevMode& r) { r.WatermarkMode = 1; r.PrintAsGraphics = 1; });
  ASSERT_TRUE(files().WriteFile(u"C:\\pics\\gray.bmp", Bmp(1078, 3, 2, 8, 8), WriteMode::kCreateAlways) ||
              (files().CreateDirectory(u"C:\\pics") &&
               files().WriteFile(u"C:\\pics\\gray.bmp", Bmp(1078, 3, 2, 8, 8), WriteMode::kCreateAlways)));
  files().WriteFile(u"C:\\pics\\four.bmp", Bmp(118, 2, 2, 4, 8), WriteMode::kCreateAlways);
  files().WriteFile(u"C:\\pics\\true.bmp", Bmp(54, 2, 2, 24, 16), WriteMode::kCreateAlways);
  // Beyond what any picture can need, by one byte and by far (sparse).
  files().WriteFile(u"C:\\pics\\long.bmp", Bmp(54, 2, 2, 24, 16), WriteMode::kCreateAlways);
  std::filesystem::resize_file(machine_->machine().HostPath(u"C:\\pics\\long.bmp"), kMaxSourceBytes + 1);
  files().WriteFile(u"C:\\pics\\huge.bmp", Bmp(54, 2, 2, 24, 16), WriteMode::kCreateAlways);
  std::filesystem::resize_file(machine_->machine().HostPath(u"C:\\pics\\huge.bmp"), 1536ull << 20);
  auto& d = Open();
  env_.QueueFile(u"C:\\pics\\gray.bmp");
  ASSERT_TRUE(d.Click(kBrowseButtonId));
  ASSERT_EQ(env_.FileDialogs().size(), 1u);
  ASSERT_EQ(env_.FileDialogs()[0].filter.size(), 1u);
  EXPECT_EQ(env_.FileDialogs()[0].filter[0].second, u"*.bmp");
  EXPECT_EQ(env_.FileDialogs()[0].flags, 0x00202C06u);
  EXPECT_EQ(env_.FileDialogs()[0].path_capacity, 510u);
  EXPECT_TRUE(Read(kPicture).empty()) << "the printing side's picture waits for Apply";
  d.Notify(ui::SheetEvent::kApply);
  const Bytes converted = Read(kPicture);
  EXPECT_EQ(converted, ConvertSource(Bmp(1078, 3, 2, 8, 8)).file);
  EXPECT_EQ(converted.size(), 54u + 2 * 12);
  EXPECT_EQ(TextOf(Record().WatermarkBitmapPath), u"C:\\pics\\gray.bmp");
  EXPECT_EQ(d.Text(kPathEditId), u"C:\\pics\\gray.bmp");
  EXPECT_FALSE(page_->Preview().Empty());

  const std::u16string too_long = u"C:\\pics\\" + std::u16string(113, u'x') + u".bmp";  // 125 characters
  struct Case {
    const char* what;
    std::u16string path;
    std::u16string message;
  } refused[] = {
      {"4 bits", u"C:\\pics\\four.bmp", kError5},
      {"missing", u"C:\\pics\\none.bmp", kError5},
      {"one byte beyond any picture", u"C:\\pics\\long.bmp", u"The bitmap you selected is too big!"},
      {"1.5 GB", u"C:\\pics\\huge.bmp", u"The bitmap you selected is too big!"},
      {"path beyond the field", too_long, kError5},
      {"empty name", u"", u"No filename is specified!"},
  };
  for (const Case& c : refused) {
    env_.QueueFile(c.path);
    ASSERT_TRUE(d.Click(kBrowseButtonId));
    EXPECT_EQ(env_.MessageBoxes().back().text, c.message) << c.what;
    EXPECT_EQ(Read(kPicture), converted) << c.what;
    EXPECT_EQ(TextOf(Record().WatermarkBitmapPath), u"C:\\pics\\gray.bmp") << c.what;
  }
  // The new picture cannot be put in place: the old one stays whole, and
  // the record names the old bitmap again.
  ASSERT_EQ(Tool("fault " + Folder() + " call MoveFileReplace 5"), 0);
  env_.QueueFile(u"C:\\pics\\true.bmp");
  ASSERT_TRUE(d.Click(kBrowseButtonId));
  d.Notify(ui::SheetEvent::kApply);
  EXPECT_EQ(env_.MessageBoxes().back().text, kError2);
  EXPECT_EQ(Read(kPicture), converted);
  EXPECT_EQ(TextOf(Record().WatermarkBitmapPath), u"C:\\pics\\gray.bmp");
  ASSERT_EQ(Tool("fault " + Folder() + " clear"), 0);
  env_.QueueFile(u"C:\\pics\\true.bmp");
  ASSERT_TRUE(d.Click(kBrowseButtonId));
  d.Notify(ui::SheetEvent::kApply);
  EXPECT_EQ(Read(kPicture), Bmp(54, 2, 2, 24, 16));
  EXPECT_NE(files().GetFileAttributes(kPicture) & kArchiveAttribute, 0u);
}

// The printing side's picture changes only with the record: a bitmap chosen
// with Browse and then cancelled, or merely previewed by a sheet opened
// again, leaves the applied picture in place.
TEST_F(WatermarkPageTest, ThePrintersPictureChangesOnlyWhenTheSheetIsApplied) {
  files().CreateDirectory(u"C:\\pics");
  ASSERT_TRUE(files().WriteFile(u"C:\\pics\\old.bmp", Bmp(54, 2, 2, 24, 16), WriteMode::kCreateAlways));
  ASSERT_TRUE(files().WriteFile(u"C:\\pics\\new.bmp", Bmp(1078, 3, 2, 8, 8), WriteMode::kCreateAlways));
  Edit([](PrivateDevMode& r) { r.WatermarkMode = 1; r.PrintAsGraphics = 1; });
  const PrivateDevModeBytes fresh = bytes_;
  struct Case {
    const char* what;
    std::function<void(ui::headless::Dialog&)> after_browse;
    bool applied;
  } cases[] = {
      {"Cancel", [](ui::headless::Dialog& d) { d.Notify(ui::SheetEvent::kQueryCancel); }, false},
      {"Cancel, then a sheet opened again on the kept record",
       [this](ui::headless::Dialog& d) {
         d.Notify(ui::SheetEvent::kQueryCancel);
         Open().Paint();
       },
       false},
      {"Apply", [](ui::headless::Dialog& d) { d.Notify(ui::SheetEvent::kApply); }, true},
  };
  for (const Case& c : cases) {
    bytes_ = fresh;
    auto& first = Open();
    env_.QueueFile(u"C:\\pics\\old.bmp");
    ASSERT_TRUE(first.Click(kBrowseButtonId)) << c.what;
    first.Notify(ui::SheetEvent::kApply);
    ASSERT_EQ(Read(kPicture), Bmp(54, 2, 2, 24, 16)) << c.what;
    const PrivateDevModeBytes applied = bytes_;
    auto& d = Open();
    env_.QueueFile(u"C:\\pics\\new.bmp");
    ASSERT_TRUE(d.Click(kBrowseButtonId)) << c.what;
    EXPECT_EQ(Read(kPicture), Bmp(54, 2, 2, 24, 16)) << c.what << ": Browse alone";
    // A cancelled sheet's record is dropped by its host: the printer keeps
    // the applied one.
    if (!c.applied) bytes_ = applied;
    c.after_browse(d);
    EXPECT_EQ(Read(kPicture), c.applied ? ConvertSource(Bmp(1078, 3, 2, 8, 8)).file : Bmp(54, 2, 2, 24, 16)) << c.what;
  }
}

// The picture goes where the spooler, rendering the job in the system's
// account, finds it for the user who applied it; the record names the user.
TEST_F(WatermarkPageTest, TheSpoolerFindsThePictureTheUserApplied) {
  Edit([](PrivateDevMode& r) { r.WatermarkMode = 2; r.PrintAsGraphics = 1; });
  auto& d = Open();
  ASSERT_TRUE(d.Select(kTextComboId, 3));
  d.Notify(ui::SheetEvent::kApply);
  EXPECT_EQ(TextOf(Record().WatermarkOwner), u"User");
  const Bytes written = Read(kPicture);
  ASSERT_EQ(written.size(), kTextPictureFileSize);
  EXPECT_TRUE(Read(machine_->platform().system.GetTempPath() + u"P11.bmp").empty()) << "not in the user's temporary folder";
  sim::ProcessOptions spooler_process;
  spooler_process.account = sim::kSystemAccount;
  std::string error;
  auto spooler = sim::Machine::Open(machine_->folder(), spooler_process, &error);
  ASSERT_NE(spooler, nullptr) << error;
  watermark_place::PictureFolders folders;
  folders.temp = spooler->platform().system.GetTempPath();
  ASSERT_TRUE(spooler->platform().system.SHGetSpecialFolderPath(kCsidlCommonAppData, false, &folders.common_app_data));
  const std::u16string path = watermark_place::PictureFor(Record(), folders, u"P1");
  Bytes seen;
  ASSERT_TRUE(spooler->platform().files.ReadFile(path, kTestReadLimit, &seen)) << ToUtf8(path);
  EXPECT_EQ(seen, written);
}

// Apply puts the picture of the kind the record names in place: the text
// or the bitmap, as the user switches between them; a bitmap deleted since
// it was applied keeps its picture.
TEST_F(WatermarkPageTest, ApplyPutsThePictureOfTheChosenKindInPlace) {
  files().CreateDirectory(u"C:\\pics");
  ASSERT_TRUE(files().WriteFile(u"C:\\pics\\old.bmp", Bmp(54, 2, 2, 24, 16), WriteMode::kCreateAlways));
  Edit([](PrivateDevMode& r) {
    r.WatermarkMode = 2;
    r.PrintAsGraphics = 1;
    SetText(r.WatermarkBitmapPath, u"C:\\pics\\old.bmp");
  });
  auto& d = Open();
  d.Notify(ui::SheetEvent::kApply);
  EXPECT_EQ(Read(kPicture).size(), kTextPictureFileSize);
  ASSERT_TRUE(d.Click(kImageRadioId));
  d.Notify(ui::SheetEvent::kApply);
  EXPECT_EQ(Read(kPicture), Bmp(54, 2, 2, 24, 16));
  ASSERT_TRUE(files().DeleteFile(u"C:\\pics\\old.bmp"));
  Open().Notify(ui::SheetEvent::kApply);
  EXPECT_EQ(Read(kPicture), Bmp(54, 2, 2, 24, 16));
  EXPECT_EQ(g_reports, 3);
  ASSERT_TRUE(dialog_->Click(kTextRadioId));
  dialog_->Notify(ui::SheetEvent::kApply);
  EXPECT_EQ(Read(kPicture).size(), kTextPictureFileSize);
  EXPECT_EQ(Record().WatermarkMode, 2);
}

// A record of an older page names no owner and its picture lies in the
// temporary folder: its first Apply puts the picture where the spooler
// looks and names the owner.
TEST_F(WatermarkPageTest, AnOlderRecordsPictureMovesOnItsFirstApply) {
  files().CreateDirectory(u"C:\\pics");
  ASSERT_TRUE(files().WriteFile(u"C:\\pics\\old.bmp", Bmp(54, 2, 2, 24, 16), WriteMode::kCreateAlways));
  Edit([](PrivateDevMode& r) {
    r.WatermarkMode = 1;
    r.PrintAsGraphics = 1;
    SetText(r.WatermarkBitmapPath, u"C:\\pics\\old.bmp");
  });
  auto& d = Open();
  EXPECT_TRUE(Read(kPicture).empty()) << "opening the sheet writes nothing";
  d.Notify(ui::SheetEvent::kApply);
  EXPECT_EQ(Read(kPicture), Bmp(54, 2, 2, 24, 16));
  EXPECT_EQ(TextOf(Record().WatermarkOwner), u"User");
  EXPECT_EQ(g_reports, 1);
}

TEST_F(WatermarkPageTest, ARecordOutOfRangeIsShownClampedAndNotWritten) {
  Edit([](PrivateDevMode& r) {
    r.WatermarkMode = 3;
    r.WatermarkPosition = 10;
    r.WatermarkFontStyle = 4;
    r.WatermarkAngle = 400;
    r.WatermarkSize = 150;
    r.WatermarkFontSize = 0;
    r.WatermarkText.fill(u'Z');  // no terminator
    r.WatermarkFontName.fill(u'F');
    r.WatermarkBitmapPath.fill(u'p');
  });
  const PrivateDevModeBytes before = bytes_;
  auto& d = Open();
  EXPECT_TRUE(d.IsChecked(kNoWatermarkRadioId));
  EXPECT_EQ(d.Selection(kPositionComboId), 4);
  EXPECT_EQ(d.Selection(kStyleComboId), 0);
  EXPECT_EQ(d.Position(kAngleTrackbarId), 360);
  EXPECT_EQ(d.Position(kSizeTrackbarId), 100);
  EXPECT_EQ(d.Text(kFontSizeEditId), u"50");
  EXPECT_EQ(d.Text(kTextComboId), std::u16string(15, u'Z'));
  EXPECT_EQ(d.Text(kPathEditId), std::u16string(125, u'p'));
  d.Paint();
  EXPECT_EQ(bytes_, before);
}

TEST_F(WatermarkPageTest, APreviewErrorIsShownOnceInTheProcess) {
  Edit([](PrivateDevMode& r) {
    r.WatermarkMode = 1;
    r.PrintAsGraphics = 1;
    SetText(r.WatermarkBitmapPath, u"C:\\gone.bmp");
  });
  Open();
  EXPECT_EQ(Messages(), std::vector<std::u16string>{u"The specified file does not exist!"});
  dialog_->Paint();
  dialog_->Notify(ui::SheetEvent::kQueryCancel);
  dialog_->Paint();
  Open();
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_TRUE(page_->Preview().Empty()) << "the frame is left as it was";
}

}  // namespace
}  // namespace kit::plugin::watermark
