// The window interface gives the same answers headlessly as the real
// controls do (the Windows build runs both).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/ui/conformance_page.h"
#include "ui/headless/dialog.h"
#if defined(_WIN32)
#include "ui/win32/host.h"
#endif

namespace kit::ui::testing {
namespace {

TEST(WindowConformance, HeadlessAnswersAsWindowsDoes) {
  ConformancePage page;
  headless::Environment env;
  headless::Dialog dialog(page, env);
  dialog.Create();
  EXPECT_THAT(page.seen, ::testing::ElementsAreArray(ExpectedConformance()));
  EXPECT_THAT(page.heard, ::testing::IsEmpty()) << "the page heard its own changes";
}

#if defined(_WIN32)
TEST(WindowConformance, RealControlsAnswerAsExpected) {
  ASSERT_TRUE(win32::InitCommonControls());
  ConformancePage page;
  {
    win32::ModelessDialog dialog(page);
    ASSERT_TRUE(dialog.Alive());
  }
  EXPECT_THAT(page.seen, ::testing::ElementsAreArray(ExpectedConformance()));
  EXPECT_THAT(page.heard, ::testing::IsEmpty()) << "the page heard its own changes";
}
#endif

}  // namespace
}  // namespace kit::ui::testing
