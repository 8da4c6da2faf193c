// Shows a kit program's real window for a screenshot, and checks the window
// icons it set:
//   program_screenshot PROGRAM FOLDER TITLE RECT_FILE TAKEN_FILE
// Starts PROGRAM in FOLDER, waits for its top-level window titled TITLE,
// writes the window's screen rectangle to RECT_FILE, waits until TAKEN_FILE
// exists and ends the program with Cancel. Fails when the window's large or
// small icon is missing or not of the system's size.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/ui/screenshot_window.h"

namespace {

constexpr int kWindowTimeoutMs = 30000;
constexpr int kPollMs = 100;
constexpr int kUpBeforeShotMs = 2000;
constexpr DWORD kEndTimeoutMs = 10000;

// An icon of the window at `which` whose picture has the system size.
bool HasIcon(HWND window, WPARAM which, int metric_x, int metric_y) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_GETICON, which, 0, SMTO_ABORTIFHUNG, 5000, &result) || result == 0) {
    std::fprintf(stderr, "the window has no %s icon\n", which == ICON_BIG ? "large" : "small");
    return false;
  }
  ICONINFO info{};
  if (!GetIconInfo(reinterpret_cast<HICON>(result), &info)) return false;
  BITMAP b{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof b, &b);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  const bool right = b.bmWidth == GetSystemMetrics(metric_x) && b.bmHeight == GetSystemMetrics(metric_y);
  if (!right) std::fprintf(stderr, "icon of %ldx%ld pixels\n", b.bmWidth, b.bmHeight);
  return right;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: program_screenshot PROGRAM FOLDER TITLE RECT TAKEN\n");
    return 2;
  }
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, argv[2], &startup, &process)) {
    std::fprintf(stderr, "CreateProcess failed, error %lu\n", GetLastError());
    return 1;
  }
  HWND window = nullptr;
  for (int waited = 0; waited < kWindowTimeoutMs && window == nullptr; waited += kPollMs) {
    window = FindWindowW(nullptr, argv[3]);
    if (window == nullptr && WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0) break;
  }
  int status = 0;
  if (window == nullptr) {
    std::fprintf(stderr, "the window did not appear\n");
    status = 1;
  } else {
    Sleep(kUpBeforeShotMs);
    if (!HasIcon(window, ICON_BIG, SM_CXICON, SM_CYICON)) status = 1;
    if (!HasIcon(window, ICON_SMALL, SM_CXSMICON, SM_CYSMICON)) status = 1;
    if (!kit::ui::testing::ReportForScreenshot(window, argv[4], argv[5])) status = 1;
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  }
  if (WaitForSingleObject(process.hProcess, kEndTimeoutMs) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "the program did not end\n");
    TerminateProcess(process.hProcess, 1);
    status = 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}
