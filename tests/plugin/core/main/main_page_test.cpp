// The Main page in a headless sheet over an in-memory Windows: the graphics
// rule and the record it keeps, the scale, the driver's paper option, the
// language choice, the log folder and the log viewer.
#include <gtest/gtest.h>

#include "plugin/core/main/log_viewer.h"
#include "plugin/core/main/main_page.h"
#include "plugin/core/sheets/watermark_signal.h"
#include "tests/plugin/core/com/fake_driver.h"
#include "tests/plugin/core/language/fake_windows.h"
#include "ui/headless/sheet.h"

namespace kit::plugin::main {
namespace {

constexpr char16_t kSystemDirectory[] = u"C:\\Windows\\system32";

// ShellExecute as the page sees it: every start recorded, the result chosen
// by the test.
class FakeShell final : public Shell {
 public:
  std::uintptr_t result = 42;
  std::vector<ShellExecuteRequest> starts;
  std::uintptr_t ShellExecute(const ShellExecuteRequest& request) override {
    starts.push_back(request);
    return result;
  }
  WindowHandle FindWindow(WStringView) override { return 0; }
  WindowHandle FindWindowEx(WindowHandle, WStringView) override { return 0; }
  bool IsWindow(WindowHandle) override { return false; }
  bool IsIconic(WindowHandle) override { return false; }
  bool SetForegroundWindow(WindowHandle) override { return false; }
  bool ShowWindow(WindowHandle, int) override { return false; }
  bool WaitWhileWindowExists(WStringView, std::uint32_t, std::uint32_t) override { return true; }
  TopLevelWindowHandle AnnounceWindow(WStringView) override { return nullptr; }
  NamedMutexHandle CreateMutex(WStringView, bool) override { return nullptr; }
  bool BroadcastSettingChange(WStringView, std::uint32_t) override { return true; }
  bool ExitWindowsEx(std::uint32_t, std::uint32_t) override { return false; }
};

class MainPageTest : public ::testing::Test {
 protected:
  MainPageTest() {
    WriteDefaults(record_, kSystemDirectory);
    SetPaperOptions({u"Letter", u"A4", u"Custom Paper-Receipt 80 mm with a long name"}, 1);
  }
  ~MainPageTest() override {
    sheet_.reset();
    page_.reset();
  }

  void SetPaperOptions(std::vector<std::u16string> names, long selected) {
    paper_names_ = std::move(names);
    params_.assign(paper_names_.size(), com::OPTPARAM{});
    for (std::size_t i = 0; i < paper_names_.size(); ++i)
      params_[i].pData = paper_names_[i].empty() ? nullptr : paper_names_[i].data();
    type_ = com::OPTTYPE{};
    type_.Count = static_cast<com::WORD>(params_.size());
    type_.pOptParam = params_.data();
    items_.assign(2, com::OPTITEM{});
    items_[1].DMPubID = kDmPubFormName;
    items_[1].pOptType = &type_;
    items_[1].Sel = selected;
  }
  PrivateDevMode Record() { return Decode(record_); }
  template <typename F>
  void Change(F&& change) {
    PrivateDevMode r = Record();
    change(r);
    Encode(r, record_);
  }

  ui::headless::Dialog& Open(bool with_language = false) {
    ps_.pOEMDM = record_.data();
    cuip_.pDrvOptItems = items_.data();
    cuip_.cDrvOptItems = static_cast<com::DWORD>(items_.size());
    cuip_.pPrinterName = printer_;
    cuip_.poemuiobj = &cuip_;
    document_.lParamInit = reinterpret_cast<com::LPARAM>(&ps_);
    document_.pOemCUIPParam = &cuip_;
    document_.pDriver = &driver_;
    if (with_language) {
      language_ = std::make_unique<LanguageFiles>(windows_, windows_, windows_);
      language_->SetUp();
    }
    sheets::PagePlatform platform{nullptr, &windows_, &shell_, &windows_};
    page_ = std::make_unique<MainPage>(sheets::PageContext::Document(document_, language_.get(), platform));
    sheet_ = std::make_unique<ui::headless::Sheet>(u"VRT-Q40 Receipt Printing Preferences", env_);
    sheet_->AddPage(*page_, u"Main");
    sheet_->Open();
    return *sheet_->PageAt(0);
  }
  void KillFocus(ui::headless::Dialog& page, int id) { page.page().OnCommand(page, id, ui::Notify::kKillFocus); }

  PrivateDevModeBytes record_{};
  std::vector<std::u16string> paper_names_;
  std::vector<com::OPTPARAM> params_;
  com::OPTTYPE type_{};
  std::vector<com::OPTITEM> items_;
  char16_t printer_[32] = u"VRT-Q40 Receipt";
  com::OEMUIPSPARAM ps_{};
  com::OEMCUIPPARAM cuip_{};
  com::DocumentSheetContext document_;
  com::testing::FakeDriver driver_;
  plugin::testing::FakeWindows windows_;
  FakeShell shell_;
  std::unique_ptr<LanguageFiles> language_;
  ui::headless::Environment env_;
  std::unique_ptr<MainPage> page_;
  std::unique_ptr<ui::headless::Sheet> sheet_;
};

TEST_F(MainPageTest, TheScaleIsStoredWithinTenToAHundredWhenLeftAndOnApply) {
  Change([](PrivateDevMode& r) { r.ZoomEnabled = 1, r.PrintAsGraphics = 1, r.ZoomPercent = 50; });
  ui::headless::Dialog& page = Open();
  EXPECT_EQ(page.Text(kScaleEditId), u"50");
  EXPECT_TRUE(page.IsEnabled(kScaleEditId));
  struct Case {
    const char16_t* typed;
    int stored;
  };
  for (const Case& c : {Case{u"5", 10}, Case{u"150", 100}, Case{u"73", 73}, Case{u"", 10}}) {
    ASSERT_TRUE(page.Type(kScaleEditId, c.typed));
    KillFocus(page, kScaleEditId);
    EXPECT_EQ(Record().ZoomPercent, c.stored) << ToUtf8(c.typed);
    EXPECT_EQ(page.Position(kScaleSpinId), c.stored);
  }
  // Enter or Apply while the box keeps the focus: Apply stores it too.
  ASSERT_TRUE(page.Type(kScaleEditId, u"64"));
  EXPECT_EQ(Record().ZoomPercent, 10);
  ASSERT_TRUE(sheet_->Apply());
  EXPECT_EQ(Record().ZoomPercent, 64);
}

TEST_F(MainPageTest, ZoomForcesGraphicsOnceAndUncheckingFreesTheChoicesOnlyWithoutAWatermark) {
  ui::headless::Dialog& page = Open();
  EXPECT_TRUE(page.IsChecked(kGraphicsNoId));
  EXPECT_TRUE(page.IsEnabled(kGraphicsNoId));
  EXPECT_FALSE(page.IsEnabled(kScaleEditId));

  ASSERT_TRUE(page.Check(kZoomCheckId, true));
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(env_.MessageBoxes()[0].text, u"All Text will be printed as graphics image!");
  EXPECT_EQ(env_.MessageBoxes()[0].caption, u"Information");
  EXPECT_EQ(env_.MessageBoxes()[0].style, ui::kMbIconInformation);
  EXPECT_TRUE(page.IsChecked(kGraphicsYesId));
  EXPECT_FALSE(page.IsChecked(kGraphicsNoId));
  EXPECT_FALSE(page.IsEnabled(kGraphicsYesId));
  EXPECT_TRUE(page.IsEnabled(kScaleEditId));
  EXPECT_EQ(Record().PrintAsGraphics, 1);
  EXPECT_EQ(Record().ZoomEnabled, 1);
  EXPECT_TRUE(sheet_->Changed());

  // Off and on again: graphics is already on, no second message.
  ASSERT_TRUE(page.Check(kZoomCheckId, false));
  EXPECT_TRUE(page.IsEnabled(kGraphicsNoId));
  EXPECT_FALSE(page.IsEnabled(kScaleEditId));
  ASSERT_TRUE(page.Check(kZoomCheckId, true));
  EXPECT_EQ(env_.MessageBoxes().size(), 1u);

  // With a watermark set, unchecking leaves the choices forced.
  Change([](PrivateDevMode& r) { r.WatermarkMode = 2; });
  ASSERT_TRUE(page.Check(kZoomCheckId, false));
  EXPECT_FALSE(page.IsEnabled(kGraphicsNoId));
  EXPECT_TRUE(page.IsChecked(kGraphicsYesId));
  EXPECT_EQ(Record().ZoomEnabled, 0);
}

TEST_F(MainPageTest, AnOlderRecordWithRotationButNoGraphicsShowsAndStoresYes) {
  Change([](PrivateDevMode& r) { r.Rotate180 = 1, r.PrintAsGraphics = 0; });
  ui::headless::Dialog& page = Open();
  EXPECT_TRUE(page.IsChecked(kGraphicsYesId));
  EXPECT_FALSE(page.IsEnabled(kGraphicsYesId));
  EXPECT_FALSE(page.IsEnabled(kGraphicsNoId));
  EXPECT_EQ(Record().PrintAsGraphics, 1);
  // The rotation group is there, hidden.
  EXPECT_FALSE(page.IsVisible(kRotate180Id));
  EXPECT_TRUE(page.IsChecked(kRotate180Id));
  ASSERT_TRUE(sheet_->Apply());
  EXPECT_EQ(Record().Rotate180, 1);
}

TEST_F(MainPageTest, TheWatermarkSignalMakesTheNextActivationShowNoOnce) {
  ui::headless::Dialog& page = Open();
  ASSERT_TRUE(page.Click(kGraphicsYesId));
  EXPECT_EQ(Record().PrintAsGraphics, 1);
  sheets::SignalWatermarkGraphicsOff();
  page.Notify(ui::SheetEvent::kSetActive);
  EXPECT_TRUE(page.IsChecked(kGraphicsNoId));
  EXPECT_EQ(Record().PrintAsGraphics, 0);
  ASSERT_TRUE(page.Click(kGraphicsYesId));
  page.Notify(ui::SheetEvent::kSetActive);
  EXPECT_TRUE(page.IsChecked(kGraphicsYesId));
  EXPECT_EQ(Record().PrintAsGraphics, 1);
}

TEST_F(MainPageTest, APaperChoiceDrivesTheDriversOptionAndKeepsItsNameCut) {
  // A nameless option is not listed: list entries and options differ.
  SetPaperOptions({u"Letter", u"", u"A4", u"Custom Paper-Receipt 80 mm with a long name"}, 2);
  ui::headless::Dialog& page = Open();
  ASSERT_EQ(page.ItemCount(kPaperListId), 3);
  EXPECT_EQ(page.Selection(kPaperListId), 1);  // the driver's current paper (A4)
  driver_.updates.clear();
  ASSERT_TRUE(page.Select(kPaperListId, 2));
  EXPECT_EQ(items_[1].Sel, 3);
  EXPECT_NE(items_[1].Flags & com::kOptifChanged, 0u);
  ASSERT_EQ(driver_.updates.size(), 1u);
  EXPECT_EQ(driver_.updates[0].item, &items_[1]);
  EXPECT_EQ(driver_.updates[0].pci, &cuip_);
  EXPECT_EQ(driver_.updates[0].mode, 1u);
  EXPECT_EQ(TextOf(Record().PaperSizeName), u"Custom Paper-Receipt 80 mm with");  // 31 characters
  EXPECT_TRUE(sheet_->Changed());
}

TEST_F(MainPageTest, AStoredPaperNameSelectsItsEntryUntilActivationShowsTheDriversOption) {
  Change([](PrivateDevMode& r) { SetText(r.PaperSizeName, u"custom paper-receipt 80 mm with"); });
  items_.clear();
  SetPaperOptions({u"Letter", u"A4", u"Custom Paper-Receipt 80 mm with a long name"}, 0);
  ps_.pOEMDM = record_.data();
  ui::headless::Dialog& page = Open();
  // Open activates the page: the driver's option wins.
  EXPECT_EQ(page.Selection(kPaperListId), 0);
  page.page().OnInit(page);
  EXPECT_EQ(page.Selection(kPaperListId), 2);
}

TEST_F(MainPageTest, WithoutAPaperItemApplyLeavesTheNameAlone) {
  Change([](PrivateDevMode& r) { SetText(r.PaperSizeName, u"A5"); });
  items_[1].DMPubID = 0;  // no DMPUB_FORMNAME item
  ui::headless::Dialog& page = Open();
  EXPECT_EQ(page.ItemCount(kPaperListId), 0);
  ASSERT_TRUE(sheet_->Apply());
  EXPECT_EQ(TextOf(Record().PaperSizeName), u"A5");
  EXPECT_TRUE(driver_.updates.empty());
  // Out of range: nothing selected either.
  SetPaperOptions({u"Letter"}, 7);
  Change([](PrivateDevMode& r) { SetText(r.PaperSizeName, u""); });
  sheet_.reset();
  page_.reset();
  ui::headless::Dialog& again = Open();
  EXPECT_EQ(again.Selection(kPaperListId), -1);
  ASSERT_TRUE(sheet_->Apply());
  EXPECT_EQ(items_[1].Sel, 7);
  EXPECT_EQ(TextOf(Record().PaperSizeName), u"");
}

TEST_F(MainPageTest, TheLogFolderIsTakenWhenItFitsTheRecord) {
  Change([](PrivateDevMode& r) { r.LogEnabled = 0; });
  ui::headless::Dialog& page = Open();
  EXPECT_EQ(page.Text(kLogFolderId), u"C:\\KVRODriverlog\\VRT-Q40");
  EXPECT_FALSE(page.IsEnabled(kLogBrowseId));
  ASSERT_TRUE(page.Check(kLogCheckId, true));
  EXPECT_EQ(Record().LogEnabled, 1);
  EXPECT_TRUE(page.IsEnabled(kLogBrowseId));

  const std::u16string longest = u"D:\\" + std::u16string(252, u'x');  // 255 characters
  env_.QueueFolder(std::nullopt);
  env_.QueueFolder(longest + u"y");
  env_.QueueFolder(longest);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(page.Click(kLogBrowseId));
  EXPECT_EQ(env_.FolderDialogs(), (std::vector<std::u16string>{u"", u"", u""}));
  EXPECT_EQ(TextOf(Record().LogDirectory), longest);
  EXPECT_EQ(page.Text(kLogFolderId), longest);
}

TEST_F(MainPageTest, TheViewerIsJudgedByItsStartAndFoundWhereSetupPutsIt) {
  Change([](PrivateDevMode& r) { r.LogEnabled = 1, SetText(r.LogDirectory, u"D:\\"); });
  ui::headless::Dialog& page = Open();
  // Not installed: the shell says the file is missing.
  shell_.result = kSeErrFileNotFound;
  ASSERT_TRUE(page.Click(kLogViewerId));
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(env_.MessageBoxes()[0].text, u"Not fount LOGViewer!");
  EXPECT_EQ(env_.MessageBoxes()[0].caption, u"Error");
  ASSERT_EQ(shell_.starts.size(), 1u);
  EXPECT_EQ(shell_.starts[0].file, u"C:\\KVRODriverlog\\KVRODriverlogViewer.exe");

  // Setup's copy in the Windows folder; a stale last error of 2 is no
  // failure.
  windows_.PutFile(u"C:\\Windows\\KVRODriverlog\\KVRODriverlogViewer.exe", "MZ");
  windows_.SetLastError(2);
  shell_.result = 42;
  ASSERT_TRUE(page.Click(kLogViewerId));
  ASSERT_EQ(shell_.starts.size(), 2u);
  EXPECT_EQ(shell_.starts[1].verb, u"open");
  EXPECT_EQ(shell_.starts[1].file, u"C:\\Windows\\KVRODriverlog\\KVRODriverlogViewer.exe");
  EXPECT_EQ(shell_.starts[1].parameters, u"\"VRTQ40\" \"D:\\\\\"");
  EXPECT_EQ(shell_.starts[1].show_command, kSwShow);
  EXPECT_EQ(env_.MessageBoxes().size(), 1u);

  // The drive root's copy comes first; another failure says nothing.
  windows_.PutFile(u"C:\\KVRODriverlog\\KVRODriverlogViewer.exe", "MZ");
  shell_.result = kSeErrAccessDenied;
  ASSERT_TRUE(page.Click(kLogViewerId));
  EXPECT_EQ(shell_.starts[2].file, u"C:\\KVRODriverlog\\KVRODriverlogViewer.exe");
  EXPECT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(ViewerParameters(u"C:\\KVRODriverlog\\VRT-Q40"), u"\"VRTQ40\" \"C:\\KVRODriverlog\\VRT-Q40\"");
}

TEST_F(MainPageTest, TheSystemChoiceFollowsTheSystemAndANamedLanguageIsKept) {
  windows_.PutFile(u"C:\\Windows\\system32\\spool\\drivers\\x64\\3\\LANGUAGE_VRTQ40.DAT",
                   "[LANGUAGE]\r\nCOUNT=2\r\nLanguage0=English\r\nINI0=ENG_VRTQ40.res\r\nSYSLANG0=System Language\r\n"
                   "Language1=Deutsch\r\nINI1=DEU_VRTQ40.res\r\nSYSLANG1=Systemsprache\r\n[FILEVER]\r\nINIVERSION=1\r\n");
  ui::headless::Dialog& page = Open(/*with_language=*/true);
  ASSERT_EQ(page.ItemCount(kLanguageListId), 3);
  EXPECT_EQ(page.ItemText(kLanguageListId, 2), u"System Language");
  // A new user follows the system: the system entry is selected.
  EXPECT_EQ(page.Selection(kLanguageListId), 2);

  ASSERT_TRUE(page.Select(kLanguageListId, 1));
  EXPECT_TRUE(sheet_->Changed());
  EXPECT_EQ(windows_.UserValue(kLanguageKeyPath, kFirstRunValue), u"TRUE");  // not before Apply
  ASSERT_TRUE(sheet_->Apply());
  EXPECT_EQ(windows_.UserValue(kLanguageKeyPath, kFirstRunValue), u"FALSE");
  EXPECT_EQ(windows_.UserValue(kLanguageKeyPath, kCurrentLanguageValue), u"DEU_VRTQ40.res");
  EXPECT_EQ(page.ParentMessages().back().message, 0x046Du);  // PSM_UNCHANGED

  ASSERT_TRUE(page.Select(kLanguageListId, 2));
  ASSERT_TRUE(sheet_->Apply());
  EXPECT_EQ(windows_.UserValue(kLanguageKeyPath, kFirstRunValue), u"TRUE");
  EXPECT_EQ(windows_.UserValue(kLanguageKeyPath, kCurrentLanguageValue), u"ENG_VRTQ40.res");
}

TEST_F(MainPageTest, ALanguageChangeRelabelsOtherSheetsOfThePrinter) {
  ui::headless::Dialog& page = Open(/*with_language=*/true);
  ui::headless::Sheet other(u"VRT-Q40 Receipt Properties", env_);
  ui::headless::Sheet unrelated(u"Kitchen Properties", env_);
  // Another process's printing preferences of the same printer.
  ui::headless::Sheet same_kind(u"VRT-Q40 Receipt Printing Preferences", env_);
  class Blank final : public ui::Page {
   public:
    const ui::DialogTemplate& Template() const override {
      static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.id = 1;
        d.cx = 10;
        d.cy = 10;
        d.kind = ui::DialogKind::kChild;
        return d;
      }();
      return t;
    }
  } general, utility, download, font, version;
  for (ui::headless::Sheet* s : {&other, &unrelated, &same_kind}) {
    s->AddPage(general, u"General");
    s->AddPage(utility, u"Old 1");
    s->AddPage(download, u"Old 2");
    s->AddPage(font, u"Old 3");
    s->AddPage(version, u"Old 4");
  }
  ASSERT_GE(page.ItemCount(kLanguageListId), 1);
  ASSERT_TRUE(page.Select(kLanguageListId, 0));
  ASSERT_TRUE(sheet_->Apply());
  EXPECT_EQ(other.TabTitle(0), u"General");
  EXPECT_EQ(other.TabTitle(1), u"Utility");
  EXPECT_EQ(other.TabTitle(2), u"Download");
  EXPECT_EQ(other.TabTitle(3), u"Font");
  EXPECT_EQ(other.TabTitle(4), u"Version");
  EXPECT_EQ(unrelated.TabTitle(1), u"Old 1");
  EXPECT_EQ(same_kind.TabTitle(1), u"Old 1");
}

}  // namespace
}  // namespace kit::plugin::main
