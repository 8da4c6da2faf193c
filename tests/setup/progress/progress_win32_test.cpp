// The progress dialog as a real window, watched by control id from a second
// thread that also stands in for the install worker.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "tests/setup/progress/progress_behaviour.h"
#include "tests/ui/driver/win32_driver.h"
#include "ui/win32/host.h"
#include "ui/win32/remote.h"

namespace kit::setup {
namespace {

using ::testing::IsEmpty;

constexpr int kWindowTimeoutMs = 10000;

template <typename Body>
int RunWithDriver(Body body, ui::testing::Checks& checks) {
  ui::win32::InitCommonControls();
  MemoryLanguageTexts texts;
  texts.Set("Progress", "Wait", "Installing, please wait...");
  std::atomic<int> state{kProgressRunning};
  ProgressDialog page(texts, state);
  const DWORD ui_thread = GetCurrentThreadId();
  std::thread worker([&] {
    HWND h = ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs);
    checks.Expect(h != nullptr, "the dialog window appears");
    if (h != nullptr) {
      ui::testing::Win32Driver driver(h);
      body(driver, state, checks);
    }
    // Never leave the test hanging: a worker always ends.
    if (state == kProgressRunning) state = kProgressFailed;
  });
  const int result = ui::win32::RunModal(page);
  worker.join();
  return result;
}

TEST(ProgressWin32, ClimbsHoldsAt90AndRunsOnToTheEndAfterSuccess) {
  ui::testing::Checks checks;
  EXPECT_EQ(RunWithDriver(testing::CheckClimbsAndHolds, checks), IDOK);
  EXPECT_THAT(checks.failures, IsEmpty());
}

TEST(ProgressWin32, EarlySuccessStopsTheClimb) {
  ui::testing::Checks checks;
  EXPECT_EQ(RunWithDriver(testing::CheckEarlySuccessRunsOnToTheEnd, checks), IDOK);
  EXPECT_THAT(checks.failures, IsEmpty());
}

TEST(ProgressWin32, FailureRunsTheBarBack) {
  ui::testing::Checks checks;
  EXPECT_EQ(RunWithDriver(testing::CheckFailureRunsBack, checks), IDCANCEL);
  EXPECT_THAT(checks.failures, IsEmpty());
}

}  // namespace
}  // namespace kit::setup
