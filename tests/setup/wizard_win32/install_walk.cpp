#include "tests/setup/wizard_win32/install_walk.h"

#include <tlhelp32.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>

#include "setup/pages/confirm_page.h"
#include "setup/pages/legal_page.h"
#include "setup/pages/mode_page.h"
#include "setup/pages/series_page.h"
#include "setup/progress/progress_dialog.h"
#include "tests/setup/wizard_win32/win32_walk.h"
#include "ui/win32/remote.h"

namespace kit::setup::testing {
namespace {

using ui::win32::RemoteDialog;

constexpr int kStepTimeoutMs = 60000;
// How long the walk looks for the progress dialog after Install: it shows
// within the first moments of an install that gets that far.
constexpr ULONGLONG kProgressSearchMs = 20000;
constexpr int kBoxCheckEvery = 50;
// After a message box, how long the wizard may take to show the next one or
// to close before it counts as waiting on its page again.
constexpr int kSettleMs = 3000;
// Time for a window just shown to paint itself; well below the progress
// dialog's own start delay.
constexpr DWORD kPaintMs = 40;
constexpr wchar_t kFrameCaption[] = L"Printer Driver Setup";
constexpr wchar_t kModel[] = L"VRT-Q40";

// The progress dialog (the top-level dialog with the bar) of a thread.
HWND ProgressDialogOf(DWORD thread_id) { return VisibleDialogWith(thread_id, kProgressBarId); }

// A visible message box of a thread other than `except`; when there is
// none, after one poll interval of the remote helpers.
HWND MessageBoxOf(DWORD thread_id, HWND except) { return ui::win32::WaitForMessageBox(thread_id, except, 0); }

// The threads of a process.
std::set<DWORD> ThreadsOf(DWORD process_id) {
  std::set<DWORD> out;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return out;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snap, &entry); more; more = Thread32Next(snap, &entry)) {
    if (entry.th32OwnerProcessID == process_id) out.insert(entry.th32ThreadID);
  }
  CloseHandle(snap);
  return out;
}

// Holds a whole program still: its window thread first, then every other
// thread; all run on when the hold ends. The progress dialog closes soon
// after the worker ends, and a program held still keeps it on the screen,
// as last painted, for its photograph.
class ProgramHold {
 public:
  ProgramHold(DWORD process_id, DWORD window_thread) {
    Hold(window_thread);
    for (DWORD id : ThreadsOf(process_id)) {
      if (id != window_thread) Hold(id);
    }
  }
  ~ProgramHold() {
    for (HANDLE t : held_) {
      ResumeThread(t);
      CloseHandle(t);
    }
  }
  bool holds_window_thread() const { return window_thread_held_; }

 private:
  void Hold(DWORD id) {
    HANDLE t = OpenThread(THREAD_SUSPEND_RESUME, FALSE, id);
    if (t == nullptr) return;
    if (SuspendThread(t) == static_cast<DWORD>(-1)) {
      CloseHandle(t);
      return;
    }
    if (held_.empty()) window_thread_held_ = true;
    held_.push_back(t);
  }
  std::vector<HANDLE> held_;
  bool window_thread_held_ = false;
};

// The program of one walk; ended when the walk is left early.
class Program {
 public:
  ~Program() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  bool Start(const std::wstring& kit) {
    std::wstring command = L"\"" + kit + L"\\kitsetup.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, kit.c_str(), &startup,
                          &process_) != FALSE;
  }
  DWORD WaitForExit() {
    if (WaitForSingleObject(process_.hProcess, kStepTimeoutMs) != WAIT_OBJECT_0) return ~0u;
    DWORD code = ~0u;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  const PROCESS_INFORMATION& info() const { return process_; }

 private:
  PROCESS_INFORMATION process_{};
};

bool WaitForStep(const std::function<bool()>& ready) { return WaitFor(ready, kStepTimeoutMs); }

bool Step(bool ok, const char* what) {
  if (!ok) ADD_FAILURE() << what;
  return ok;
}

// Photographs the frame on the page just reached, after it painted.
void PageShot(const InstallWalk& walk, HWND frame, const char* page) {
  if (walk.page_shots.empty()) return;
  Sleep(kPaintMs);
  EXPECT_TRUE(Screenshot(frame, walk.page_shots + "_" + page)) << "no screenshot of the " << page << " page";
}

}  // namespace

bool Screenshot(HWND window, const std::string& name) {
  const char* dir = std::getenv("KIT_SHOT_DIR");
  if (dir == nullptr || *dir == '\0') return false;
  RECT r{};
  if (!GetWindowRect(window, &r)) return false;
  const std::wstring base = WindowsPath(dir) + L"\\" + std::wstring(name.begin(), name.end());
  DeleteFileW((base + L".taken").c_str());
  const std::wstring temp = base + L".part";
  FILE* f = _wfopen(temp.c_str(), L"w");
  if (f == nullptr) return false;
  std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fclose(f);
  // Renamed into place so the script never reads half a line.
  if (!MoveFileExW(temp.c_str(), (base + L".rect").c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
  return WaitFor([&] { return GetFileAttributesW((base + L".taken").c_str()) != INVALID_FILE_ATTRIBUTES; },
                          30000);
}

std::vector<PrinterSeen> LocalPrinters() {
  std::vector<PrinterSeen> out;
  DWORD needed = 0, count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count);
  if (needed == 0) return out;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &count)) {
    ADD_FAILURE() << "EnumPrintersW failed: " << GetLastError();
    return out;
  }
  const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    PrinterSeen seen{info[i].pPrinterName ? info[i].pPrinterName : L"", L"", L""};
    HANDLE printer = nullptr;
    if (OpenPrinterW(const_cast<wchar_t*>(seen.name.c_str()), &printer, nullptr)) {
      DWORD size = 0;
      GetPrinterW(printer, 2, nullptr, 0, &size);
      std::vector<BYTE> record(size);
      if (size > 0 && GetPrinterW(printer, 2, record.data(), size, &size)) {
        const auto* two = reinterpret_cast<const PRINTER_INFO_2W*>(record.data());
        seen.port = two->pPortName ? two->pPortName : L"";
        seen.driver = two->pDriverName ? two->pDriverName : L"";
      }
      ClosePrinter(printer);
    }
    out.push_back(seen);
  }
  return out;
}

bool DriverInstalled(const wchar_t* name) {
  DWORD needed = 0, count = 0;
  EnumPrinterDriversW(nullptr, nullptr, 3, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrinterDriversW(nullptr, nullptr, 3, buffer.data(), needed, &needed, &count)) return false;
  const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (info[i].pName != nullptr && lstrcmpiW(info[i].pName, name) == 0) return true;
  }
  return false;
}

bool PrintProcessorInstalled(const wchar_t* name) {
  DWORD needed = 0, count = 0;
  EnumPrintProcessorsW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintProcessorsW(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
  const auto* info = reinterpret_cast<const PRINTPROCESSOR_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (info[i].pName != nullptr && lstrcmpiW(info[i].pName, name) == 0) return true;
  }
  return false;
}

WalkResult WalkToTheEnd(const InstallWalk& walk) {
  WalkResult result;
  Program program;
  if (!Step(program.Start(walk.kit), "kitsetup.exe did not start")) return result;
  const DWORD ui = program.info().dwThreadId;
  HWND frame_window = ui::win32::WaitForDialog(ui, kStepTimeoutMs, kFrameCaption);
  if (!Step(frame_window != nullptr, "the wizard's frame never appeared")) return result;
  RemoteDialog frame(frame_window);

  // Licence: accept, Next.
  HWND legal = nullptr;
  if (!Step(WaitForStep([&] { return (legal = PageWith(frame_window, kLegalAcceptId)) != nullptr; }), "licence page"))
    return result;
  PageShot(walk, frame_window, "licence");
  Step(RemoteDialog(legal).Click(kLegalAcceptId), "accept the licence");
  Step(WaitForStep([&] { return frame.Enabled(IDOK); }), "Next enabled after accepting");
  frame.Click(IDOK);

  // Series: the receipt series' first model.
  HWND series = nullptr;
  if (!Step(WaitForStep([&] { return (series = PageWith(frame_window, kSeriesListIds[0])) != nullptr; }), "series page"))
    return result;
  Step(SelectItem(series, kSeriesListIds[0], kModel), "the model is offered");
  PageShot(walk, frame_window, "series");
  frame.Click(IDOK);

  // Mode: Typical; the system page passes on by itself.
  if (!Step(WaitForStep([&] { return PageWith(frame_window, kModeTypicalId) != nullptr; }), "mode page")) return result;
  PageShot(walk, frame_window, "mode");
  frame.Click(IDOK);

  // Port: the walk's port (and address), then Install.
  HWND port = nullptr;
  if (!Step(WaitForStep([&] { return (port = PageWith(frame_window, kPortListId)) != nullptr; }), "port page"))
    return result;
  Step(WaitForStep([&] { return frame.Text(IDOK) == u"Install"; }), "Next reads Install");
  if (!Step(SelectItem(port, kPortListId, walk.port.c_str()), "the port is offered")) return result;
  if (!walk.address.empty()) {
    Step(WaitForStep([&] { return RemoteDialog(port).Enabled(kIpAddressId); }), "the IP box enabled");
    Step(RemoteDialog(port).Type(kIpAddressId, walk.address), "type the address");
  }
  PageShot(walk, frame_window, "port");

  // Install; the progress dialog, when the install gets that far, found as
  // soon as it shows, given a moment to paint, then photographed with the
  // program held still.
  Step(frame.Click(IDOK), "Install");
  result.reached_install = true;
  // The search looks every millisecond, and for a message box (a refusal
  // before the install starts) every kBoxCheckEvery-th time.
  HWND progress = nullptr;
  const ULONGLONG search_end = GetTickCount64() + kProgressSearchMs;
  for (int i = 0; progress == nullptr && GetTickCount64() < search_end; ++i) {
    progress = ProgressDialogOf(ui);
    if (progress != nullptr) break;
    if (i % kBoxCheckEvery == 0 && MessageBoxOf(ui, frame_window) != nullptr) break;
    Sleep(1);
  }
  result.progress_shown = progress != nullptr;
  if (progress != nullptr && !walk.progress_shot.empty()) {
    Sleep(kPaintMs);
    ProgramHold hold(program.info().dwProcessId, ui);
    EXPECT_TRUE(hold.holds_window_thread());
    EXPECT_TRUE(IsWindowVisible(progress));
    EXPECT_TRUE(Screenshot(progress, walk.progress_shot)) << "no screenshot of the progress dialog";
  }

  // The message boxes, each answered OK, until the frame closes or, after a
  // refusal, the wizard waits on its page again for another choice: then it
  // is cancelled.
  const ULONGLONG deadline = GetTickCount64() + 2 * kStepTimeoutMs;
  while (frame.Exists()) {
    HWND box = nullptr;
    WaitFor([&] { return !frame.Exists() || (box = MessageBoxOf(ui, frame_window)) != nullptr; },
            result.messages.empty() ? kStepTimeoutMs : kSettleMs);
    if (!frame.Exists()) break;
    if (box == nullptr) {
      if (!Step(!result.messages.empty() && GetTickCount64() < deadline,
                "neither a message box nor the end of the wizard"))
        return result;
      if (IsWindowEnabled(frame_window)) {
        result.stayed_open = true;
        frame.Click(IDCANCEL);
        Step(frame.WaitClosed(kStepTimeoutMs), "the wizard closes on Cancel");
      }
      continue;
    }
    RemoteDialog message(box);
    result.messages.push_back({message.Caption(), message.MessageText()});
    const std::size_t n = result.messages.size() - 1;
    if (n < walk.message_shots.size() && !walk.message_shots[n].empty()) {
      Sleep(kPaintMs);
      EXPECT_TRUE(Screenshot(box, walk.message_shots[n])) << "no screenshot of " << walk.message_shots[n];
    }
    message.Click(IDOK);
    Step(message.WaitClosed(kStepTimeoutMs), "the message box closes on OK");
  }
  EXPECT_FALSE(progress != nullptr && IsWindow(progress)) << "the progress dialog outlived the install";
  result.exit_code = program.WaitForExit();
  return result;
}

}  // namespace kit::setup::testing
