#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/setup/progress/progress_behaviour.h"
#include "tests/ui/driver/headless_driver.h"
#include "ui/headless/dialog.h"

namespace kit::setup {
namespace {

using ::testing::IsEmpty;

struct HeadlessProgress : ::testing::Test {
  HeadlessProgress() {
    texts.Set("Progress", "Wait", "Installing, please wait...");
  }
  ui::headless::Dialog& Open() {
    dialog.Create();
    return dialog;
  }
  MemoryLanguageTexts texts;
  std::atomic<int> state{kProgressRunning};
  ProgressDialog page{texts, state};
  ui::headless::Environment env;
  ui::headless::Dialog dialog{page, env};
  ui::testing::Checks checks;
};

TEST_F(HeadlessProgress, ClimbsHoldsAt90AndRunsOnToTheEndAfterSuccess) {
  ui::testing::HeadlessDriver d(Open());
  testing::CheckClimbsAndHolds(d, state, checks);
  EXPECT_THAT(checks.failures, IsEmpty());
  EXPECT_EQ(dialog.Result(), ui::kIdOk);
}

TEST_F(HeadlessProgress, EarlySuccessStopsTheClimb) {
  ui::testing::HeadlessDriver d(Open());
  testing::CheckEarlySuccessRunsOnToTheEnd(d, state, checks);
  EXPECT_THAT(checks.failures, IsEmpty());
}

TEST_F(HeadlessProgress, FailureRunsTheBarBack) {
  ui::testing::HeadlessDriver d(Open());
  testing::CheckFailureRunsBack(d, state, checks);
  EXPECT_THAT(checks.failures, IsEmpty());
  EXPECT_EQ(dialog.Result(), ui::kIdCancel);
}

TEST_F(HeadlessProgress, TimingFollowsTheFixedDelays) {
  Open();
  env.Advance(ProgressDialog::kStartDelayMs + ProgressDialog::kClimbStepMs - 1);
  EXPECT_EQ(dialog.Position(kProgressBarId), 0) << "no step before 100 + 80 ms";
  env.Advance(1);
  EXPECT_EQ(dialog.Position(kProgressBarId), 1);
  env.Advance(10 * ProgressDialog::kClimbStepMs);
  EXPECT_EQ(dialog.Position(kProgressBarId), 11);
  state = kProgressDone;
  // The next climb tick sees the end; then 89 steps of 10 ms to 100 and the
  // closing delay.
  env.Advance(ProgressDialog::kClimbStepMs + 89 * ProgressDialog::kFinishStepMs);
  EXPECT_EQ(dialog.Position(kProgressBarId), 100);
  EXPECT_FALSE(dialog.Ended());
  env.Advance(ProgressDialog::kCloseDelayMs - 1);
  EXPECT_FALSE(dialog.Ended());
  env.Advance(1);
  EXPECT_TRUE(dialog.Ended());
}

TEST_F(HeadlessProgress, PaintsTheWaitTextCentredInTheUpperTwoThirds) {
  Open();
  const auto ops = dialog.Paint();
  ASSERT_EQ(ops.size(), 1u);
  const auto& op = ops[0];
  EXPECT_EQ(op.text, u"Installing, please wait...");
  EXPECT_EQ(op.align, ui::TextAlign::kCenter);
  EXPECT_EQ(op.font.face, u"System");
  EXPECT_EQ(op.font.height, 20);
  EXPECT_EQ(op.font.weight, 700);
  EXPECT_EQ(op.color, (ui::Color{0, 51, 153}));
  // The box spans the client width and its upper two thirds.
  // The headless client area: the template size at 6 x 13 pixels per 4 x 8 units.
  const ui::Rect client{0, 0, page.Template().cx * 6 / 4, page.Template().cy * 13 / 8};
  EXPECT_EQ(op.box, (ui::Rect{0, 0, client.cx, client.cy * 2 / 3}));
}

TEST(ProgressTemplate, IsDialog141WithABarOf0To100) {
  MemoryLanguageTexts texts;
  std::atomic<int> state{0};
  ProgressDialog page(texts, state);
  EXPECT_EQ(page.Template().id, 141);
  EXPECT_EQ(ui::Validate(page.Template()), "");
  ui::headless::Environment env;
  ui::headless::Dialog dialog(page, env);
  dialog.Create();
  const auto* bar = dialog.Find(kProgressBarId);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->low, 0);
  EXPECT_EQ(bar->high, 100);
}

}  // namespace
}  // namespace kit::setup
