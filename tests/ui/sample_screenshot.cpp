// Shows one of the setup wizard's sample dialogs as a real window for a
// screenshot: ui_sample_screenshot about|progress RECT_FILE TAKEN_FILE
// Once the dialog has been up for a while (the progress bar has climbed), it
// writes the window's screen rectangle ("x y width height") to RECT_FILE,
// waits until TAKEN_FILE exists (the screenshot is taken) and then ends the
// dialog (the install "succeeds", the About box is closed with its button).
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "setup/about/about_dialog.h"
#include "setup/about/language_texts.h"
#include "setup/progress/progress_dialog.h"
#include "ui/win32/host.h"
#include "tests/ui/screenshot_window.h"
#include "ui/win32/remote.h"

namespace {

constexpr int kWindowTimeoutMs = 10000;
constexpr int kUpBeforeShotMs = 3000;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring which = argc == 4 ? argv[1] : L"";
  if (which != L"about" && which != L"progress") {
    std::fprintf(stderr, "usage: ui_sample_screenshot about|progress RECT_FILE TAKEN_FILE\n");
    return 2;
  }
  kit::ui::win32::InitCommonControls();
  kit::setup::MemoryLanguageTexts texts;
  texts.Set("Progress", "Wait", "Installing the printer driver, please wait...");
  texts.Set("About", "Caption", "About Printer Driver Setup");
  texts.Set("About", "Version", "Printer Driver Setup Version 3.1");
  texts.Set("About", "Copyright", "Copyright (C) Veldran. All rights reserved.");
  texts.Set("About", "OK", "OK");
  std::atomic<int> state{kit::setup::kProgressRunning};
  std::unique_ptr<kit::ui::Page> page;
  if (which == L"about")
    page = std::make_unique<kit::setup::AboutDialog>(texts);
  else
    page = std::make_unique<kit::setup::ProgressDialog>(texts, state);

  const DWORD ui_thread = GetCurrentThreadId();
  int status = 0;
  std::thread driver([&] {
    HWND h = kit::ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs);
    if (h == nullptr) {
      std::fprintf(stderr, "the dialog did not appear\n");
      status = 1;
      state = kit::setup::kProgressFailed;
      return;
    }
    Sleep(kUpBeforeShotMs);
    if (!kit::ui::testing::ReportForScreenshot(h, argv[2], argv[3])) status = 1;
    state = kit::setup::kProgressDone;
    kit::ui::win32::RemoteDialog(h).Click(IDOK);
  });
  const int result = kit::ui::win32::RunModal(*page);
  driver.join();
  return status != 0 ? status : (result == IDOK ? 0 : 1);
}
