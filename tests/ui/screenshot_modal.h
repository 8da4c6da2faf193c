// The program side of screenshot.sh for a page shown as a modal dialog:
// runs the page, and from a second thread waits for its window, reports it
// for the screenshot and closes it with a button. Windows builds.
#pragma once

#include <windows.h>

#include <cstdio>
#include <thread>

#include "tests/ui/screenshot_window.h"
#include "ui/page.h"
#include "ui/win32/host.h"
#include "ui/win32/remote.h"

namespace kit::ui::testing {

struct ModalShot {
  int close_button = IDCANCEL;  // what ends the dialog once the picture is taken
  int window_timeout_ms = 10000;
  int up_before_shot_ms = 1500;  // lets the window finish drawing
};

// Returns 0 when the window came, was reported and ended with
// `close_button`.
inline int ShowModalForScreenshot(Page& page, const wchar_t* rect_file, const wchar_t* taken_file,
                                  const ModalShot& shot = {}) {
  const DWORD ui_thread = GetCurrentThreadId();
  int status = 0;
  std::thread driver([&] {
    HWND h = win32::WaitForDialog(ui_thread, shot.window_timeout_ms);
    if (h == nullptr) {
      std::fprintf(stderr, "the window did not appear\n");
      status = 1;
      return;
    }
    Sleep(shot.up_before_shot_ms);
    if (!ReportForScreenshot(h, rect_file, taken_file)) status = 1;
    win32::RemoteDialog(h).Click(shot.close_button);
  });
  const int result = win32::RunModal(page);
  driver.join();
  return status != 0 ? status : (result == shot.close_button ? 0 : 1);
}

}  // namespace kit::ui::testing
