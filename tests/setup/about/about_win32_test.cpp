// The About box as a real window, driven by control id from a second thread.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "tests/setup/about/about_behaviour.h"
#include "tests/ui/driver/win32_driver.h"
#include "ui/win32/host.h"
#include "ui/win32/remote.h"

namespace kit::setup {
namespace {

using ::testing::IsEmpty;

constexpr int kWindowTimeoutMs = 10000;

template <typename Body>
int RunWithDriver(AboutDialog& about, ui::testing::Checks& checks, Body body) {
  ui::win32::InitCommonControls();
  const DWORD ui_thread = GetCurrentThreadId();
  std::thread driver_thread([&] {
    HWND h = ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs);
    checks.Expect(h != nullptr, "the dialog window appears");
    if (h == nullptr) return;
    ui::testing::Win32Driver driver(h);
    body(driver, checks);
    // Never leave the test hanging on an open window.
    if (IsWindow(h)) PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
  });
  const int result = ui::win32::RunModal(about);
  driver_thread.join();
  return result;
}

TEST(AboutWin32, ShowsTheLanguageTextsAndClosesOnItsButton) {
  const auto texts = testing::SampleAboutTexts();
  AboutDialog about(texts);
  ui::testing::Checks checks;
  const int result = RunWithDriver(about, checks, testing::CheckAboutShowsTextsAndCloses);
  EXPECT_THAT(checks.failures, IsEmpty());
  EXPECT_EQ(result, IDOK);
}

TEST(AboutWin32, EscapeClosesWithCancel) {
  const auto texts = testing::SampleAboutTexts();
  AboutDialog about(texts);
  ui::testing::Checks checks;
  const int result = RunWithDriver(about, checks, testing::CheckAboutClosesOnEscape);
  EXPECT_THAT(checks.failures, IsEmpty());
  EXPECT_EQ(result, IDCANCEL);
}

TEST(AboutWin32, ChineseSharedFontIsGivenToTheControls) {
  const auto texts = testing::SampleAboutTexts();
  AboutDialog about(texts, /*chinese_font=*/true);
  ui::testing::Checks checks;
  LOGFONTW font{};
  RunWithDriver(about, checks, [&](ui::testing::DialogDriver& d, ui::testing::Checks& c) {
    HWND label = GetDlgItem(static_cast<ui::testing::Win32Driver&>(d).hwnd(), kAboutVersionId);
    auto handle = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    c.Expect(handle != nullptr && GetObjectW(handle, sizeof font, &font) == sizeof font, "1017 has a font");
    d.Click(ui::kIdOk);
  });
  EXPECT_THAT(checks.failures, IsEmpty());
  EXPECT_EQ(std::wstring(font.lfFaceName), L"\u5B8B\u4F53");
  EXPECT_EQ(font.lfHeight, 13);
  EXPECT_EQ(font.lfCharSet, 134);
}

}  // namespace
}  // namespace kit::setup
