// The frame and its first four pages, walked headlessly.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/setup/wizard/wizard_fixture.h"
#include "ui/fonts.h"

namespace kit::setup {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::PageOf;
using testing::SampleKit;
using testing::VisiblePage;
using testing::WizardRun;

testing::KitFiles KitWith(const std::string& file, const std::string& from, const std::string& to) {
  auto kit = SampleKit();
  std::string text = kit.files.at(file);
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  kit.Set(file, text);
  return kit;
}

TEST(KitsetupFrame, OpensOnTheLicenceWithNextLockedUntilAccepted) {
  WizardRun run("win7-x64-en");
  run.Run(SampleKit(), [](ui::headless::Dialog& f) {
    EXPECT_EQ(f.Caption(), u"Printer Driver Setup");
    EXPECT_EQ(f.Template().id, kFrameDialogId);
    EXPECT_EQ(VisiblePage(f), kLegalPage);
    auto& legal = PageOf(f, kLegalPage);
    EXPECT_EQ(legal.Text(kLegalTextId), u"LICENCE AGREEMENT\r\nUse at will.\r\n");
    EXPECT_TRUE(legal.Find(kLegalRejectId)->checked);
    EXPECT_FALSE(f.Find(ui::kIdOk)->enabled);
    EXPECT_FALSE(f.Find(kBackId)->enabled);
    EXPECT_EQ(f.Text(ui::kIdOk), u"Next >");
    EXPECT_EQ(f.Text(kHelpHintId), u"Press F1 for help");
    EXPECT_EQ(f.Find(kLeftBandId)->bitmap.width, 4);
    EXPECT_EQ(f.Find(kLeftBandId)->bitmap.At(0, 1), 0x140A00u);  // first stored pixel is the bottom row
    legal.Click(kLegalAcceptId);
    EXPECT_TRUE(f.Find(ui::kIdOk)->enabled);
    legal.Click(kLegalRejectId);
    EXPECT_FALSE(f.Find(ui::kIdOk)->enabled);
    legal.Click(kLegalAcceptId);
    f.Click(ui::kIdOk);
    EXPECT_EQ(VisiblePage(f), kSeriesPage);
    EXPECT_TRUE(f.Find(kBackId)->enabled);
    f.Click(kBackId);
    EXPECT_EQ(VisiblePage(f), kLegalPage);
    EXPECT_FALSE(f.Find(kBackId)->enabled);
    f.Click(ui::kIdCancel);
  });
  EXPECT_EQ(run.frame_result, ui::kIdCancel);
  EXPECT_THAT(run.FrameMessages(), IsEmpty());
}

TEST(KitsetupFrame, WithoutLicenceTheSeriesPageComesFirstAndBackStaysOff) {
  auto kit = KitWith("DRVCONFIG\\setup.ini", "LOADLICENSE=1", "LOADLICENSE=0");
  kit.Remove("License_EN.txt");  // neither read nor required
  WizardRun run("win7-x64-en");
  run.Run(kit, [](ui::headless::Dialog& f) {
    EXPECT_EQ(VisiblePage(f), kSeriesPage);
    EXPECT_TRUE(f.Find(ui::kIdOk)->enabled);
    EXPECT_FALSE(f.Find(kBackId)->enabled);
    f.Click(ui::kIdOk);
    EXPECT_EQ(VisiblePage(f), kModePage);
    f.Click(kBackId);
    EXPECT_EQ(VisiblePage(f), kSeriesPage);
    EXPECT_FALSE(f.Find(kBackId)->enabled);
    f.Click(ui::kIdCancel);
  });
  EXPECT_THAT(run.FrameMessages(), IsEmpty());
}

TEST(KitsetupFrame, MissingLicenceFileEndsTheWizardWithTheLanguageDependentText) {
  auto kit = SampleKit();
  kit.Remove("License_EN.txt");
  WizardRun run("win7-x64-en");
  run.Run(kit);
  EXPECT_EQ(run.frame_result, ui::kIdCancel);
  EXPECT_THAT(run.FrameMessages(), ElementsAre(u"Not suppot the installing!"));

  auto chinese_setting = KitWith("DRVCONFIG\\setup.ini", "LANGUAGE=0", "LANGUAGE=1");
  chinese_setting.Remove("License_EN.txt");
  WizardRun other("win7-x64-en");
  other.Run(chinese_setting);
  EXPECT_THAT(other.FrameMessages(), ElementsAre(u"Can't load file License.txt!"));
}

TEST(KitsetupFrame, EmptyLicenceCanStillBeAccepted) {
  auto kit = SampleKit();
  kit.Set("License_EN.txt", "");
  WizardRun run("win7-x64-en");
  run.Run(kit, [](ui::headless::Dialog& f) {
    auto& legal = PageOf(f, kLegalPage);
    EXPECT_EQ(legal.Text(kLegalTextId), u"");
    EXPECT_TRUE(legal.Click(kLegalAcceptId));
    EXPECT_TRUE(f.Click(ui::kIdOk));
    EXPECT_EQ(VisiblePage(f), kSeriesPage);
    f.Click(ui::kIdCancel);
  });
}

TEST(KitsetupFrame, MissingLeftBitmapClosesTheWizardEvenForAdministrators) {
  for (const char* content : {"", "BM not a bitmap"}) {
    auto kit = SampleKit();
    if (*content == '\0') kit.Remove("DRVCONFIG\\Left.bmp");
    else kit.Set("DRVCONFIG\\Left.bmp", content);
    WizardRun run("win7-x64-en", /*administrator=*/true);
    bool driven = false;
    run.Run(kit, [&](ui::headless::Dialog&) { driven = true; });
    EXPECT_FALSE(driven);
    EXPECT_EQ(run.frame_result, ui::kIdCancel);
    EXPECT_THAT(run.FrameMessages(), ElementsAre(u"No left picture"));
  }
}

TEST(KitsetupFrame, StandardUsersAreRefusedOnWindows2000AndLater) {
  WizardRun run("win7-x64-en", /*administrator=*/false);
  run.Run(SampleKit());
  EXPECT_EQ(run.frame_result, ui::kIdCancel);
  EXPECT_THAT(run.FrameMessages(), ElementsAre(u"Administrators only"));
}

TEST(KitsetupFrame, MissingLanguageFileLeavesTextsEmptyAndTheWizardStillWalks) {
  auto kit = SampleKit();
  kit.Remove("language\\setup_EN.ini");
  WizardRun run("win7-x64-en");
  run.Run(kit, [](ui::headless::Dialog& f) {
    EXPECT_EQ(f.Caption(), u"Printer Driver Setup");  // the template title stays
    EXPECT_EQ(f.Text(ui::kIdOk), u"");
    PageOf(f, kLegalPage).Click(kLegalAcceptId);
    f.Click(ui::kIdOk);
    f.Click(ui::kIdOk);
    f.Click(ui::kIdOk);
    EXPECT_EQ(VisiblePage(f), kConfirmPage);
    EXPECT_GT(PageOf(f, kConfirmPage).Find(kPortListId)->items.size(), 0u);
    f.Click(ui::kIdCancel);
  });
  EXPECT_THAT(run.FrameMessages(), IsEmpty());
}

TEST(KitsetupSeries, ModelsInFileOrderBySuffixWithTheDefaultPreselected) {
  auto kit = KitWith("DRVCONFIG\\setup.ini", "DEFAULTNAME=1", "DEFAULTNAME=3");
  WizardRun run("win7-x64-en");
  run.Run(kit, [&](ui::headless::Dialog& f) {
    auto& s = PageOf(f, kSeriesPage);
    EXPECT_THAT(s.Find(kSeriesListIds[0])->items, ElementsAre(u"VRT-Q40", u"VRT-D45"));
    EXPECT_THAT(s.Find(kSeriesListIds[1])->items, ElementsAre(u"VRT-T80"));
    EXPECT_THAT(s.Find(kSeriesListIds[3])->items, ElementsAre(u"VRT-E20"));
    // "-TicketPrinter" chose series 1; only its list is enabled.
    EXPECT_TRUE(s.Find(kSeriesRadioIds[1])->checked);
    EXPECT_TRUE(s.Find(kSeriesListIds[1])->enabled);
    EXPECT_FALSE(s.Find(kSeriesListIds[0])->enabled);
    auto* page = static_cast<CPrinterSeries*>(&s.page());
    EXPECT_EQ(page->series_index(), 1);
    EXPECT_EQ(page->model_name(), "VRT-T80");
    // Another series takes that list's current model.
    s.Click(kSeriesRadioIds[0]);
    EXPECT_EQ(page->model_name(), "VRT-Q40");
    s.Select(kSeriesListIds[0], 1);
    EXPECT_EQ(page->model_name(), "VRT-D45");
    s.Click(kSeriesDefaultId);
    EXPECT_TRUE(page->set_as_default());
    f.Click(ui::kIdCancel);
  });
}

TEST(KitsetupSeries, DefaultSearchStartsAtTheSecondEntryAndWraps) {
  // Both receipt entries begin with "VRT-Q40"; the default names the first,
  // and the search from the second entry finds "VRT-Q405" first.
  auto kit = KitWith("DRVCONFIG\\setup.ini", "DEVICENAME2=VRT-D45-ReceiptPrinter", "DEVICENAME2=VRT-Q405-ReceiptPrinter");
  WizardRun run("win7-x64-en");
  run.Run(kit, [&](ui::headless::Dialog& f) {
    auto& s = PageOf(f, kSeriesPage);
    EXPECT_EQ(s.Find(kSeriesListIds[0])->selection, 1);
    f.Click(ui::kIdCancel);
  });
  // A default without a suffix checks no series and leaves no model.
  WizardRun none("win7-x64-en");
  none.Run(KitWith("DRVCONFIG\\setup.ini", "DEFAULTNAME=1", "DEFAULTNAME=5"), [&](ui::headless::Dialog& f) {
    auto& s = PageOf(f, kSeriesPage);
    auto* page = static_cast<CPrinterSeries*>(&s.page());
    EXPECT_EQ(page->series_index(), -1);
    EXPECT_EQ(page->model_name(), "");
    for (int id : kSeriesRadioIds) EXPECT_FALSE(s.Find(id)->checked);
    f.Click(ui::kIdCancel);
  });
}

TEST(KitsetupMode, ModelsWithoutAdvancedSetupAreHeldToTypical) {
  WizardRun run("win7-x64-en");
  run.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    PageOf(f, kLegalPage).Click(kLegalAcceptId);
    f.Click(ui::kIdOk);
    auto& series = PageOf(f, kSeriesPage);
    auto& mode = PageOf(f, kModePage);
    f.Click(ui::kIdOk);  // VRT-Q40 allows Advanced
    EXPECT_TRUE(mode.Find(kModeAdvancedId)->enabled);
    EXPECT_TRUE(mode.Click(kModeAdvancedId));
    EXPECT_EQ(mode.Text(kModeNote1Id), u"Note two");
    EXPECT_EQ(mode.Text(kModeNote2Id), u"Note three");
    EXPECT_TRUE(mode.Find(kModeNote2Id)->visible);
    EXPECT_FALSE(mode.Find(kModeNote3Id)->visible);
    f.Click(kBackId);
    series.Select(kSeriesListIds[0], 1);  // VRT-D45: no AdvancedSetup
    f.Click(ui::kIdOk);
    EXPECT_FALSE(mode.Find(kModeAdvancedId)->enabled);
    EXPECT_TRUE(mode.Find(kModeTypicalId)->checked);
    EXPECT_FALSE(mode.Find(kModeAdvancedId)->checked);
    EXPECT_EQ(mode.Text(kModeNote1Id), u"Typical only");
    EXPECT_FALSE(mode.Find(kModeNote2Id)->visible);
    EXPECT_EQ(static_cast<CSetupModeSelect*>(&mode.page())->mode(), kModeTypical);
    f.Click(ui::kIdCancel);
  });
}

TEST(KitsetupSystemPage, PassedOnTheWayForwardAndBackFromThePortPageLandsOnTheModePage) {
  WizardRun run("win7-x64-en");
  run.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    PageOf(f, kLegalPage).Click(kLegalAcceptId);
    f.Click(ui::kIdOk);
    f.Click(ui::kIdOk);
    f.Click(ui::kIdOk);  // mode -> OS page -> passed at once
    EXPECT_EQ(VisiblePage(f), kConfirmPage);
    EXPECT_EQ(f.Text(ui::kIdOk), u"Install");
    auto& os = PageOf(f, kSystemPage);
    EXPECT_TRUE(os.Find(1078)->checked);  // Windows 7
    EXPECT_FALSE(os.Find(1079)->enabled);
    EXPECT_FALSE(os.Find(1028)->visible);  // no Windows 2000 on 64-bit
    f.Click(kBackId);
    EXPECT_EQ(VisiblePage(f), kModePage);
    EXPECT_EQ(f.Text(ui::kIdOk), u"Next >");
    f.Click(kBackId);
    EXPECT_EQ(VisiblePage(f), kSeriesPage);
    f.Click(ui::kIdCancel);
  });
  EXPECT_THAT(run.FrameMessages(), IsEmpty());
}

TEST(KitsetupSystemPage, UnsupportedWindowsKeepsTheWizardOnTheOsPage) {
  WizardRun run("win7-x64-en");
  run.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    PageOf(f, kLegalPage).Click(kLegalAcceptId);
    f.Click(ui::kIdOk);
    PageOf(f, kSeriesPage).Click(kSeriesRadioIds[1]);  // VRT-T80: SystemWin7Supported=0
    f.Click(ui::kIdOk);
    f.Click(ui::kIdOk);
    EXPECT_EQ(VisiblePage(f), kSystemPage);
    EXPECT_NE(f.Text(ui::kIdOk), u"Install");
    f.Click(ui::kIdOk);  // Next again refuses again
    EXPECT_EQ(VisiblePage(f), kSystemPage);
    f.Click(kBackId);
    EXPECT_EQ(VisiblePage(f), kModePage);
    f.Click(ui::kIdCancel);
  });
  EXPECT_THAT(run.FrameMessages(), ElementsAre(u"Not on Windows 7", u"Not on Windows 7"));
}

TEST(KitsetupSystemPage, Windows81ChecksWindows8AndInstallsWithCode7) {
  WizardRun run("win81-x64-zh-tw");
  run.SetSystem("lang", 1033);
  run.SetSystem("acp", 1252);
  run.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    auto& os = PageOf(f, kSystemPage);
    EXPECT_TRUE(os.Find(1079)->checked);
    EXPECT_EQ(os.Find(1079)->text, u"Windows 8(Windows 8.1)");
    EXPECT_EQ(static_cast<CSystemPage*>(&os.page())->os_code(), 7);
    f.Click(ui::kIdCancel);
  });
}

TEST(KitsetupFrame, AboutFromTheSystemMenuAndF1BringsAnOpenGuideForward) {
  WizardRun run("win7-x64-en");
  bool about_shown = false;
  run.env.modal_driver = [&](ui::headless::Dialog& about) {
    about_shown = about.Template().id == 100 && about.Text(1017) == u"V1";
    about.Click(ui::kIdOk);
  };
  auto guide = run.machine().platform().shell.AnnounceWindow(u"Kit Guide");
  run.machine().platform().shell.ShowWindow(guide->Handle(), kSwShowMinimized);
  run.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    ASSERT_THAT(f.SystemMenu(), Contains(std::pair<int, std::u16string>(16, u"About Setup...")));
    EXPECT_EQ(f.Icon(), 128);  // the program icon, large and small
    EXPECT_TRUE(f.ChooseSystemMenu(16));
    EXPECT_TRUE(f.PressHelp());
    f.Click(ui::kIdCancel);
  });
  EXPECT_TRUE(about_shown);
  EXPECT_FALSE(run.machine().platform().shell.IsIconic(guide->Handle()));
  nlohmann::json s;
  std::string e;
  run.machine().store().Read(&s, &e);
  int requests = -1;
  for (const auto& w : s["windows"])
    if (w.value("title", "") == "Kit Guide") requests = w.value("foreground_requests", 0);
  EXPECT_EQ(requests, 1);
}

TEST(KitsetupFrame, ChineseSystemsGetChineseTextsAndTheSharedFont) {
  auto kit = SampleKit();
  // "打印机驱动安装程序" in code page 936.
  kit.Set("language\\setup_CN.ini",
          "[Setup]\r\nCaption=\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2\r\n");
  kit.Set("License_CN.txt", "\xD0\xED\xBF\xC9");  // "许可"
  WizardRun run("win7-x86-zh-cn");
  run.Run(kit, [&](ui::headless::Dialog& f) {
    EXPECT_EQ(f.Caption(), kFrameTitleChinese);
    ASSERT_NE(f.Font(), nullptr);
    EXPECT_EQ(*f.Font(), ui::ChineseSharedFont());
    ASSERT_NE(PageOf(f, kSeriesPage).Font(), nullptr);
    EXPECT_EQ(PageOf(f, kLegalPage).Text(kLegalTextId), u"\u8BB8\u53EF");
    f.Click(ui::kIdCancel);
  });
}

}  // namespace
}  // namespace kit::setup
