// The pages the sheets add, shown in a headless sheet: the Version page in
// the chosen language, repaints after a language change, and the contract
// every page keeps (apply reports CPSUI_OK, changes reach the sheet,
// tooltips and message boxes come from the language file).
#include <gtest/gtest.h>

#include "plugin/core/sheets/sheet_page.h"
#include "plugin/core/sheets/tab_titles.h"
#include "plugin/core/version/version_page.h"
#include "tests/plugin/core/sheets/sheet_fixture.h"

namespace kit::plugin::sheets::testing {
namespace {

using version::kNoticeId;
using version::kVersionLinesId;

constexpr char16_t kChineseFile[] = u"CHN_VRTQ40.res";
// Without "RC_STATIC_VER5": the version lines stay the built-in ones.
constexpr char16_t kChineseTexts[] =
    u"[VERSION]\r\nRC_VERSIONFORM=\u7248\u672C\r\nRC_STATIC_VER1=\u6253\u5370\u673A\u9A71\u52A8\u7A0B\u5E8F\r\n"
    u"RC_STATIC_VER4=\u4EA7\u54C1\u4FE1\u606F:\r\n";

class PageTest : public SheetTest {
 protected:
  // Sets up a sheet and shows its pages; returns the Version page's window.
  ui::headless::Dialog& OpenDeviceSheet() {
    com::PROPSHEETUI_INFO info = Request(kReasonInit);
    EXPECT_EQ(HandleDeviceSheet(&info, 0, device_, services()), com::kSOk);
    ui::headless::Sheet& sheet = ShowAddedPages();
    // The Version page is the last tab.
    EXPECT_TRUE(sheet.SelectTab(sheet.TabCount() - 1));
    return *sheet.PageAt(sheet.TabCount() - 1);
  }
};

TEST_F(PageTest, TheVersionPageShowsItsTextsInTheChosenLanguage) {
  UseLanguage(kChineseFile, kChineseTexts);
  ui::headless::Dialog& page = OpenDeviceSheet();
  EXPECT_EQ(page.Template().id, 105);
  EXPECT_EQ(page.Text(version::kDriverNameId), u"\u6253\u5370\u673A\u9A71\u52A8\u7A0B\u5E8F");
  EXPECT_EQ(page.Text(version::kProductInfoId), u"\u4EA7\u54C1\u4FE1\u606F:");
  // A file without the version lines shows the two built-in lines.
  EXPECT_EQ(page.Text(kVersionLinesId), u"Install version: v1.0\nUI version: v1.0");
  // Texts the file lacks are the built-in ones.
  EXPECT_EQ(page.Text(version::kOwnershipId), u"Copyright (C) VELDRAN");
  EXPECT_NE(page.Text(kNoticeId), u"");
  EXPECT_EQ(sheet_->TabTitle(0), u"Utility");
  EXPECT_EQ(sheet_->TabTitle(sheet_->TabCount() - 1), u"\u7248\u672C");
}

TEST_F(PageTest, AnOpenVersionPageShowsANewLanguageAtItsNextRepaint) {
  ui::headless::Dialog& page = OpenDeviceSheet();
  EXPECT_EQ(page.Text(version::kDriverNameId), u"Printer Driver");
  EXPECT_EQ(PageWindow(PageSlot::kDeviceVersion), &page);
  EXPECT_EQ(PageWindow(PageSlot::kDocumentVersion), nullptr);

  // Another process switches the language; the page follows when repainted.
  UseLanguage(kChineseFile, kChineseTexts);
  page.Paint();
  EXPECT_EQ(page.Text(version::kDriverNameId), u"\u6253\u5370\u673A\u9A71\u52A8\u7A0B\u5E8F");
  EXPECT_FALSE(page.NeedsPaint());
  RepaintOpenPages();
  EXPECT_TRUE(page.NeedsPaint());
}

TEST_F(PageTest, TheVersionPageAnswersTheSheetAndChangesNothing) {
  com::OEMUIPSPARAM ps{};
  std::vector<std::uint8_t> record(1976, 0xA5);
  ps.pOEMDM = record.data();
  com::PROPSHEETUI_INFO info = Request(kReasonInit);
  info.lParamInit = reinterpret_cast<com::LPARAM>(&ps);
  ASSERT_EQ(HandleDocumentSheet(&info, 0, document_, services()), com::kSOk);
  // The Version page alone: the sheet's last page.
  ui::headless::Sheet sheet(u"Preferences", env_);
  sheet.AddPage(*AddedPages().back().page, AddedPages().back().title);
  sheet.Open();
  ui::headless::Dialog& page = *sheet.PageAt(0);
  EXPECT_EQ(PageWindow(PageSlot::kDocumentVersion), &page);
  recorded_.clear();
  EXPECT_TRUE(sheet.Apply());
  EXPECT_TRUE(sheet.Ok());
  // No settings, no result to report: what is recorded is the Operation
  // page's result, once for Apply and once for OK.
  for (const CallbackCall& call : recorded_) EXPECT_EQ(call.lParam2, kCpsuiOk);
  EXPECT_LE(recorded_.size(), 2u);
  EXPECT_EQ(record, std::vector<std::uint8_t>(1976, 0xA5));
  EXPECT_TRUE(page.ParentMessages().empty());
}

// A page with one setting, as the settings pages of the sheets are built.
class SettingPage final : public SheetPage {
 public:
  using SheetPage::SheetPage;
  const ui::DialogTemplate& Template() const override {
    static const ui::DialogTemplate t = [] {
      ui::DialogTemplate d;
      d.id = 900;
      d.cx = 200;
      d.cy = 100;
      d.kind = ui::DialogKind::kChild;
      d.controls = {{10, ui::ControlKind::kCheckBox, u"Cut", {5, 5, 80, 10}, ui::kTabStop},
                    {11, ui::ControlKind::kPushButton, u"Test", {5, 20, 80, 14}, ui::kTabStop}};
      return d;
    }();
    return t;
  }
  bool OnCommand(ui::Window& window, int id, ui::Notify) override {
    if (id == 10) Changed(window);
    if (id == 11) ShowMessage(window, Message::kOperationError1, MessageTitle::kError, ui::kMbOk | ui::kMbIconError);
    return true;
  }
  int applied = 0;

 protected:
  void LoadTexts(ui::Window& window, const CurrentTexts& texts) override {
    window.SetText(10, texts.Get(u"OPERATION", u"RC_CUT", u"Cut", 50));
    SetTooltips(window, texts, u"OPERATION", {{10, u"CTEXT_CUT", u"Cut the paper."}});
  }
  void ApplyValues(ui::Window&) override { ++applied; }
};

TEST_F(PageTest, ASettingsPageTellsTheSheetOfChangesAndReportsItsResultOnApply) {
  UseLanguage(u"TEST.res",
              u"[OPERATION]\r\nRC_CUT=Schneiden\r\n[MessageBox]\r\nMB_OPERATION_ERROR1=Befehl zu lang\r\n");
  com::PROPSHEETUI_INFO info = Request(kReasonInit);
  ASSERT_EQ(HandleDocumentSheet(&info, 0, document_, services()), com::kSOk);
  const auto added = static_cast<com::LONG_PTR>(AddedPages().size());
  SettingPage page(PageContext::Document(document_, language_.get()));
  ui::headless::Sheet sheet(u"Preferences", env_);
  sheet.AddPage(page, u"Operation");
  sheet.Open();
  ui::headless::Dialog& window = *sheet.PageAt(0);
  EXPECT_EQ(window.Text(10), u"Schneiden");
  EXPECT_EQ(window.Find(10)->tooltip, u"Cut the paper.");

  ASSERT_TRUE(window.Click(10));
  EXPECT_TRUE(sheet.Changed());
  ASSERT_EQ(window.ParentMessages().size(), 1u);
  EXPECT_EQ(window.ParentMessages()[0].message, ui::kSheetChangedMessage);

  recorded_.clear();
  ASSERT_TRUE(sheet.Apply());
  EXPECT_EQ(page.applied, 1);
  ASSERT_EQ(recorded_.size(), 1u);
  EXPECT_EQ(recorded_[0].sheet, SheetHandle());
  EXPECT_EQ(recorded_[0].function, kCpsFuncSetResult);
  // The handle of the sheet's last page.
  EXPECT_EQ(recorded_[0].lParam1, kFirstPageHandle + added - 1);
  EXPECT_EQ(recorded_[0].lParam2, kCpsuiOk);

  env_.QueueAnswer(ui::kIdOk);
  ASSERT_TRUE(window.Click(11));
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(env_.MessageBoxes()[0].text, u"Befehl zu lang");
  EXPECT_EQ(env_.MessageBoxes()[0].caption, u"Error");
  EXPECT_EQ(env_.MessageBoxes()[0].style, ui::kMbOk | ui::kMbIconError);
}

// A page of the universal driver's own.
class DriverPage final : public ui::Page {
 public:
  const ui::DialogTemplate& Template() const override {
    static const ui::DialogTemplate t = [] {
      ui::DialogTemplate d;
      d.id = 1;
      d.cx = 100;
      d.cy = 50;
      d.kind = ui::DialogKind::kChild;
      return d;
    }();
    return t;
  }
};

TEST_F(PageTest, ALanguageChangeRelabelsOnlyThePlugInTabsOfBothSheetsAndRepaintsTheirPages) {
  // The device sheet: three pages of the driver's, then the plug-in's.
  com::PROPSHEETUI_INFO info = Request(kReasonInit);
  ASSERT_EQ(HandleDeviceSheet(&info, 0, device_, services()), com::kSOk);
  ASSERT_EQ(AddedPages().size(), 4u);  // Utility, Download, Font, Version
  DriverPage general, ports, advanced, layout, paper;
  ui::headless::Sheet device(u"VRT-Q40 Receipt Properties", env_);
  device.AddPage(general, u"General");
  device.AddPage(ports, u"Ports");
  device.AddPage(advanced, u"Advanced");
  for (const CallbackCall& added : AddedPages()) device.AddPage(*added.page, added.title);
  device.Open();
  ASSERT_TRUE(device.SelectTab(3));
  ui::headless::Dialog& device_utility = *device.PageAt(3);
  ASSERT_TRUE(device.SelectTab(4));
  ui::headless::Dialog& device_download = *device.PageAt(4);
  ASSERT_TRUE(device.SelectTab(5));
  ui::headless::Dialog& device_font = *device.PageAt(5);
  ASSERT_TRUE(device.SelectTab(6));
  ui::headless::Dialog& device_version = *device.PageAt(6);

  // The document sheet: the driver's two pages, then the plug-in's.
  recorded_.clear();
  info = Request(kReasonInit);
  ASSERT_EQ(HandleDocumentSheet(&info, 0, document_, services()), com::kSOk);
  ui::headless::Sheet document(u"VRT-Q40 Receipt Printing Preferences", env_);
  document.AddPage(layout, u"Layout");
  document.AddPage(paper, u"Paper/Quality");
  const auto plugin_pages = AddedPages();
  for (const auto& added : plugin_pages) document.AddPage(*added.page, added.title);
  document.Open();
  const int version_tab = document.TabCount() - 1;
  ASSERT_TRUE(document.SelectTab(version_tab));
  ui::headless::Dialog& document_version = *document.PageAt(version_tab);
  device_version.Paint();
  EXPECT_FALSE(device_version.NeedsPaint());

  UseLanguage(kChineseFile, kChineseTexts);
  RelabelAfterLanguageChange(document_version, CurrentTexts(language_.get()));
  EXPECT_EQ(document.TabTitle(0), u"Layout");
  EXPECT_EQ(document.TabTitle(1), u"Paper/Quality");
  EXPECT_EQ(document.TabTitle(version_tab), u"\u7248\u672C");
  EXPECT_EQ(document.TabTitle(2), u"Main");  // the plug-in's first page: no text in this language
  EXPECT_EQ(device.TabTitle(0), u"General");
  EXPECT_EQ(device.TabTitle(2), u"Advanced");
  EXPECT_EQ(device.TabTitle(3), u"Utility");
  EXPECT_EQ(device.TabTitle(4), u"Download");
  EXPECT_EQ(device.TabTitle(5), u"Font");
  EXPECT_EQ(device.TabTitle(6), u"\u7248\u672C");
  // The open device pages reload their texts at the repaint they were asked for.
  EXPECT_TRUE(device_utility.NeedsPaint());
  EXPECT_TRUE(device_download.NeedsPaint());
  EXPECT_TRUE(device_font.NeedsPaint());
  EXPECT_TRUE(device_version.NeedsPaint());
  device_version.Paint();
  EXPECT_EQ(device_version.Text(version::kDriverNameId), u"\u6253\u5370\u673A\u9A71\u52A8\u7A0B\u5E8F");
}

}  // namespace
}  // namespace kit::plugin::sheets::testing
