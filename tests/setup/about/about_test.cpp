#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/setup/about/about_behaviour.h"
#include "tests/ui/driver/headless_driver.h"
#include "ui/fonts.h"
#include "ui/headless/dialog.h"

namespace kit::setup {
namespace {

using ::testing::IsEmpty;

TEST(AboutHeadless, ShowsTheLanguageTextsAndClosesOnItsButton) {
  const auto texts = testing::SampleAboutTexts();
  AboutDialog about(texts);
  ui::headless::Environment env;
  ui::headless::Dialog dialog(about, env);
  dialog.Create();
  ui::testing::HeadlessDriver driver(dialog);
  ui::testing::Checks checks;
  testing::CheckAboutShowsTextsAndCloses(driver, checks);
  EXPECT_THAT(checks.failures, IsEmpty());
  EXPECT_EQ(dialog.Result(), ui::kIdOk);
}

TEST(AboutHeadless, EscapeClosesWithCancel) {
  const auto texts = testing::SampleAboutTexts();
  AboutDialog about(texts);
  ui::headless::Environment env;
  ui::headless::Dialog dialog(about, env);
  dialog.Create();
  ui::testing::HeadlessDriver driver(dialog);
  ui::testing::Checks checks;
  testing::CheckAboutClosesOnEscape(driver, checks);
  EXPECT_THAT(checks.failures, IsEmpty());
  EXPECT_EQ(dialog.Result(), ui::kIdCancel);
}

TEST(AboutHeadless, MissingLanguageFileLeavesEveryTextEmptyButTheBoxWorks) {
  MemoryLanguageTexts none;
  AboutDialog about(none);
  ui::headless::Environment env;
  ui::headless::Dialog dialog(about, env);
  dialog.Create();
  EXPECT_EQ(dialog.Caption(), u"");
  EXPECT_EQ(dialog.Text(kAboutVersionId), u"");
  EXPECT_EQ(dialog.Text(ui::kIdOk), u"");
  EXPECT_TRUE(dialog.Click(ui::kIdOk));
  EXPECT_TRUE(dialog.Ended());
}

TEST(AboutHeadless, ChineseSystemsGetTheSharedFontAndAnsiTextsConvert) {
  ui::SetAnsiCodePage(ui::kCodePageSimplifiedChinese);
  MemoryLanguageTexts texts;
  texts.Set("About", "Caption", "\xB9\xD8\xD3\xDA");  // "关于" in code page 936
  AboutDialog about(texts, /*chinese_font=*/true);
  ui::headless::Environment env;
  ui::headless::Dialog dialog(about, env);
  dialog.Create();
  ui::SetAnsiCodePage(ui::kCodePageWestern);
  EXPECT_EQ(dialog.Caption(), u"\u5173\u4E8E");
  ASSERT_NE(dialog.Font(), nullptr);
  EXPECT_EQ(*dialog.Font(), ui::ChineseSharedFont());
}

TEST(AboutTemplate, IsDialog100WithItsThreeControlsInside) {
  const auto texts = testing::SampleAboutTexts();
  AboutDialog about(texts);
  const auto& t = about.Template();
  EXPECT_EQ(t.id, 100);
  EXPECT_EQ(ui::Validate(t), "");
  ASSERT_NE(t.Find(ui::kIdOk), nullptr);
  EXPECT_TRUE(t.Find(ui::kIdOk)->Has(ui::kDefault));
}

}  // namespace
}  // namespace kit::setup
