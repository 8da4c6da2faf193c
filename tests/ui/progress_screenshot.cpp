// Shows the setup wizard's progress dialog as a real window for a
// screenshot: ui_progress_screenshot RECT_FILE TAKEN_FILE
// Once the bar has climbed for a while, it writes the window's screen
// rectangle ("x y width height") to RECT_FILE, waits until TAKEN_FILE exists
// (the screenshot is taken) and then lets the install "succeed".
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "setup/about/language_texts.h"
#include "setup/progress/progress_dialog.h"
#include "ui/win32/host.h"
#include "ui/win32/remote.h"

namespace {

constexpr int kWindowTimeoutMs = 10000;
constexpr int kClimbBeforeShotMs = 3000;
constexpr int kShotTimeoutMs = 30000;
constexpr int kPollMs = 50;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ui_progress_screenshot RECT_FILE TAKEN_FILE\n");
    return 2;
  }
  kit::ui::win32::InitCommonControls();
  kit::setup::MemoryLanguageTexts texts;
  texts.Set("Progress", "Wait", "Installing the printer driver, please wait...");
  std::atomic<int> state{kit::setup::kProgressRunning};
  kit::setup::ProgressDialog page(texts, state);
  const DWORD ui_thread = GetCurrentThreadId();
  int status = 0;
  std::thread worker([&] {
    HWND h = kit::ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs);
    if (h == nullptr) {
      std::fprintf(stderr, "the progress dialog did not appear\n");
      status = 1;
      state = kit::setup::kProgressFailed;
      return;
    }
    Sleep(kClimbBeforeShotMs);
    RECT r;
    GetWindowRect(h, &r);
    if (FILE* f = _wfopen(argv[1], L"w")) {
      std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
      std::fclose(f);
    } else {
      status = 1;
    }
    for (int waited = 0; waited < kShotTimeoutMs; waited += kPollMs) {
      if (GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES) break;
      Sleep(kPollMs);
    }
    state = kit::setup::kProgressDone;
  });
  const int result = kit::ui::win32::RunModal(page);
  worker.join();
  return status != 0 ? status : (result == IDOK ? 0 : 1);
}
