// The program side of screenshot.sh: tells the script where a window is on
// the screen and waits until the picture has been taken. Windows builds.
#pragma once

#include <windows.h>

#include <cstdio>

namespace kit::ui::testing {

inline constexpr int kScreenshotTimeoutMs = 30000;

// Writes the window's screen rectangle ("x y width height") to `rect_file`,
// then waits until `taken_file` exists (at most kScreenshotTimeoutMs).
// False when the rectangle could not be written.
inline bool ReportForScreenshot(HWND window, const wchar_t* rect_file, const wchar_t* taken_file) {
  constexpr int kPollMs = 50;
  RECT r;
  GetWindowRect(window, &r);
  FILE* f = _wfopen(rect_file, L"w");
  if (f == nullptr) return false;
  std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fclose(f);
  for (int waited = 0; waited < kScreenshotTimeoutMs; waited += kPollMs) {
    if (GetFileAttributesW(taken_file) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(kPollMs);
  }
  return true;
}

}  // namespace kit::ui::testing
