// kitsetup.exe as a user meets it (Windows build, run under Wine): started
// from the kit folder as shipped, walked by control id from the licence page
// to Install on "LPT1:", through the progress dialog to the final message;
// the outcome is read back from the system's own spooler. Where Wine lacks
// what Windows has, the test names the gap and the step, and expects the
// program's own failure text.
//
// Run through walk_screenshots.sh, which sets KIT_SHOT_DIR and saves a PNG
// of each window the test asks for (the progress dialog while it shows, the
// final message) from the X display.
#include <windows.h>
#include <tlhelp32.h>
#include <winspool.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "setup/frame/kitsetup_dlg.h"
#include "setup/pages/confirm_page.h"
#include "setup/pages/legal_page.h"
#include "setup/pages/mode_page.h"
#include "setup/pages/series_page.h"
#include "setup/progress/progress_dialog.h"
#include "tests/setup/wizard_win32/win32_walk.h"
#include "ui/win32/remote.h"

namespace kit::setup {
namespace {

using ::testing::AnyOf;
using ::testing::Eq;
using testing::PageWith;
using testing::SelectItem;
using ui::win32::RemoteDialog;

constexpr int kTimeoutMs = 60000;
// Time for a window just shown to paint itself; well below the progress
// dialog's own start delay.
constexpr DWORD kPaintMs = 40;
constexpr wchar_t kFrameCaption[] = L"Printer Driver Setup";
constexpr wchar_t kModel[] = L"VRT-Q40";
constexpr wchar_t kPort[] = L"LPT1:";
constexpr wchar_t kDriverName[] = L"VRT-Q40";
// The GDI flavour's print processor of the model (LPT1: prints raster).
constexpr wchar_t kPrintProcessor[] = L"KVRPrint";
// Where the spooler keeps its printers, and on 64-bit Windows its drivers
// and processors.
constexpr wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers";
constexpr wchar_t kEnvironmentKey[] = L"System\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64";
// "Message"/IDS_INF_NTRESTART of the kit's English language file.
constexpr char16_t kFinishedText[] = u"The driver is installed.";

bool WaitFor(const std::function<bool()>& ready, int timeout_ms = kTimeoutMs) {
  return testing::WaitFor(ready, timeout_ms);
}

// A Linux path under Wine maps onto drive Z:.
std::wstring WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') {
    for (auto& c : path) c = c == '/' ? '\\' : c;
    path = "Z:" + path;
  }
  return std::wstring(path.begin(), path.end());
}

// The visible progress dialog (a top-level dialog with the bar) of a
// thread; found at once, without waiting.
BOOL CALLBACK FindProgress(HWND window, LPARAM found) {
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  if (std::wstring(cls) == L"#32770" && IsWindowVisible(window) && GetDlgItem(window, kProgressBarId) != nullptr) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}
HWND ProgressDialogOf(DWORD thread_id) {
  HWND found = nullptr;
  EnumThreadWindows(thread_id, FindProgress, reinterpret_cast<LPARAM>(&found));
  return found;
}

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

// Asks walk_screenshots.sh for a PNG of `window`: writes NAME.rect into
// KIT_SHOT_DIR and waits for NAME.taken. False when no shot was taken.
bool Screenshot(HWND window, const char* name) {
  const char* dir = std::getenv("KIT_SHOT_DIR");
  if (dir == nullptr || *dir == '\0') return false;
  RECT r{};
  if (!GetWindowRect(window, &r)) return false;
  const std::wstring base = WindowsPath(dir) + L"\\" + std::wstring(name, name + std::strlen(name));
  DeleteFileW((base + L".taken").c_str());
  const std::wstring temp = base + L".part";
  FILE* f = _wfopen(temp.c_str(), L"w");
  if (f == nullptr) return false;
  std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fclose(f);
  // Renamed into place so the script never reads half a line.
  if (!MoveFileExW(temp.c_str(), (base + L".rect").c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
  return WaitFor([&] { return GetFileAttributesW((base + L".taken").c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000);
}

struct PrinterSeen {
  std::wstring name, port, driver;
};
// The local printers, as the spooler lists them: the names (level 4), then
// each printer's own record (level 2).
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

// Windows Vista and later give the Unidrv core files from the driver
// store's "ntprint" package; Wine has no driver store. The stand-in lays the
// files where Windows keeps them, and takes them away again.
class DriverStoreStandIn {
 public:
  DriverStoreStandIn() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring repository = std::wstring(system) + L"\\DriverStore\\FileRepository";
    folder_ = repository + L"\\ntprint.inf_amd64_neutral_kitwalk";
    for (const std::wstring& f : {std::wstring(system) + L"\\DriverStore", repository, folder_, folder_ + L"\\AMD64"}) {
      if (CreateDirectoryW(f.c_str(), nullptr)) made_.push_back(f);
    }
    for (const wchar_t* name : kFiles) {
      HANDLE f = CreateFileW((folder_ + L"\\AMD64\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (f == INVALID_HANDLE_VALUE) continue;
      const char text[] = "stand-in system file\n";
      DWORD written = 0;
      WriteFile(f, text, sizeof text - 1, &written, nullptr);
      CloseHandle(f);
      ++laid_;
    }
  }
  ~DriverStoreStandIn() {
    for (const wchar_t* name : kFiles) DeleteFileW((folder_ + L"\\AMD64\\" + name).c_str());
    for (auto f = made_.rbegin(); f != made_.rend(); ++f) RemoveDirectoryW(f->c_str());
  }
  bool complete() const { return laid_ == std::size(kFiles); }

 private:
  static constexpr const wchar_t* kFiles[] = {L"UNIDRV.DLL",   L"UNIDRVUI.DLL", L"UNIRES.DLL",
                                              L"UNIDRV.HLP",   L"STDNAMES.GPD", L"TTFSUB.GPD"};
  std::wstring folder_;
  std::vector<std::wstring> made_;  // the folders this stand-in created
  std::size_t laid_ = 0;
};

class KitsetupInstallWalk : public ::testing::Test {
 protected:
  // Wine's AddPrinterW takes a name that is in use, so printers of the
  // model left by an earlier run that stopped early go first.
  void SetUp() override {
    RemoveRefusedPrinterKey();
    for (const auto& p : LocalPrinters()) {
      if (p.name.rfind(kModel, 0) == 0) DeletePrinterNamed(p.name);
    }
    for (const auto& p : LocalPrinters()) before_.insert(p.name);
    driver_before_ = DriverInstalled(kDriverName);
    processor_before_ = PrintProcessorInstalled(kPrintProcessor);
  }
  void TearDown() override {
    if (process_.hProcess != nullptr) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    // The prefix is shared by every test: what a walk added goes again, so
    // that later tests meet the spooler as they would without it. Wine
    // refuses DeletePrinterDriverExW (87) and stubs DeletePrintProcessorW,
    // so their registrations go by their keys, as the spooler keeps them.
    for (const auto& p : Added()) DeletePrinterNamed(p.name);
    RemoveRefusedPrinterKey();
    if (!driver_before_ && DriverInstalled(kDriverName) &&
        !DeletePrinterDriverExW(nullptr, nullptr, const_cast<wchar_t*>(kDriverName), DPD_DELETE_UNUSED_FILES, 0)) {
      RegDeleteTreeW(HKEY_LOCAL_MACHINE,
                     (std::wstring(kEnvironmentKey) + L"\\Drivers\\Version-3\\" + kDriverName).c_str());
    }
    if (!processor_before_ && PrintProcessorInstalled(kPrintProcessor)) {
      DeletePrintProcessorW(nullptr, nullptr, const_cast<wchar_t*>(kPrintProcessor));
      RegDeleteTreeW(HKEY_LOCAL_MACHINE,
                     (std::wstring(kEnvironmentKey) + L"\\Print Processors\\" + kPrintProcessor).c_str());
    }
    EXPECT_EQ(DriverInstalled(kDriverName), driver_before_);
    EXPECT_EQ(PrintProcessorInstalled(kPrintProcessor), processor_before_);
  }

  // Wine's AddPrinterW leaves the key of a printer its own OpenPrinter
  // refused; the spooler cannot open or delete that printer, so its key goes.
  static void RemoveRefusedPrinterKey() {
    const std::wstring name = std::wstring(kModel) + L"(P)";
    HANDLE printer = nullptr;
    if (OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &printer, nullptr)) {
      ClosePrinter(printer);
      return;
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kPrintersKey) + L"\\" + name).c_str());
  }

  static void DeletePrinterNamed(const std::wstring& name) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &printer, &access)) {
      DeletePrinter(printer);
      ClosePrinter(printer);
    }
  }

  // The printers the walk added.
  std::vector<PrinterSeen> Added() const {
    std::vector<PrinterSeen> out;
    for (const auto& p : LocalPrinters()) {
      if (before_.count(p.name) == 0) out.push_back(p);
    }
    return out;
  }

  // Starts kitsetup.exe from the kit folder and walks it from the licence
  // page to Install on LPT1:; then, while the progress dialog shows, holds
  // the program still and asks for a shot named `progress_shot` (none when
  // null).
  // Returns the final message's text, photographed as `final_shot`, after
  // pressing its OK; the program has ended by then.
  std::u16string WalkToTheFinalMessage(const char* progress_shot, const char* final_shot) {
    const std::wstring kit = WindowsPath(KITSETUP_KIT_FOLDER);
    std::wstring command = L"\"" + kit + L"\\kitsetup.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, kit.c_str(), &startup,
                        &process_)) {
      ADD_FAILURE() << "kitsetup.exe did not start: " << GetLastError();
      return {};
    }
    const DWORD ui = process_.dwThreadId;
    HWND frame_window = ui::win32::WaitForDialog(ui, kTimeoutMs, kFrameCaption);
    if (frame_window == nullptr) {
      ADD_FAILURE() << "the wizard's frame never appeared";
      return {};
    }
    RemoteDialog frame(frame_window);
    auto step = [](bool ok, const char* what) {
      if (!ok) ADD_FAILURE() << what;
      return ok;
    };

    // Licence: accept, Next.
    HWND legal = nullptr;
    if (!step(WaitFor([&] { return (legal = PageWith(frame_window, kLegalAcceptId)) != nullptr; }), "licence page"))
      return {};
    step(RemoteDialog(legal).Click(kLegalAcceptId), "accept the licence");
    step(WaitFor([&] { return frame.Enabled(IDOK); }), "Next enabled after accepting");
    frame.Click(IDOK);

    // Series: the receipt series' first model.
    HWND series = nullptr;
    if (!step(WaitFor([&] { return (series = PageWith(frame_window, kSeriesListIds[0])) != nullptr; }),
              "series page"))
      return {};
    step(SelectItem(series, kSeriesListIds[0], kModel), "the model is offered");
    frame.Click(IDOK);

    // Mode: Typical; the system page passes on by itself.
    if (!step(WaitFor([&] { return PageWith(frame_window, kModeTypicalId) != nullptr; }), "mode page")) return {};
    frame.Click(IDOK);

    // Port: LPT1:, then Install.
    HWND port = nullptr;
    if (!step(WaitFor([&] { return (port = PageWith(frame_window, kPortListId)) != nullptr; }), "port page"))
      return {};
    step(WaitFor([&] { return frame.Text(IDOK) == u"Install"; }), "Next reads Install");
    step(SelectItem(port, kPortListId, kPort), "LPT1: is offered");
    step(WaitFor([&] { return RemoteDialog(port).Enabled(kRasterCheckId); }), "raster box enabled for LPT1:");

    // Install, and the progress dialog while the install runs: found as soon
    // as it shows, given a moment to paint, then photographed with the
    // program held still.
    frame.Click(IDOK);
    HWND progress = nullptr;
    for (int waited = 0; waited < 20000 && progress == nullptr; ++waited) {
      progress = ProgressDialogOf(ui);
      if (progress == nullptr) Sleep(1);
    }
    step(progress != nullptr, "the progress dialog shows");
    if (progress != nullptr && progress_shot != nullptr) {
      Sleep(kPaintMs);
      ProgramHold hold(process_.dwProcessId, ui);
      EXPECT_TRUE(hold.holds_window_thread());
      EXPECT_TRUE(IsWindowVisible(progress));
      EXPECT_TRUE(Screenshot(progress, progress_shot)) << "no screenshot of the progress dialog";
    }

    // The final message.
    HWND box = ui::win32::WaitForMessageBox(ui, frame_window, kTimeoutMs);
    if (!step(box != nullptr, "a final message")) return {};
    RemoteDialog message(box);
    const std::u16string text = message.MessageText();
    if (final_shot != nullptr) {
      EXPECT_TRUE(Screenshot(box, final_shot)) << "no screenshot of the final message";
    }
    EXPECT_FALSE(progress != nullptr && IsWindow(progress)) << "the progress dialog outlived the install";
    message.Click(IDOK);

    // The frame closes and the program ends.
    EXPECT_TRUE(frame.WaitClosed(kTimeoutMs));
    EXPECT_EQ(WaitForProgramExit(), 0u);
    return text;
  }

  DWORD WaitForProgramExit() {
    if (WaitForSingleObject(process_.hProcess, kTimeoutMs) != WAIT_OBJECT_0) return ~0u;
    DWORD code = ~0u;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

  std::set<std::wstring> before_;
  bool driver_before_ = false;
  bool processor_before_ = false;
  PROCESS_INFORMATION process_{};
};

// Wine gap, the Unidrv files step: no driver store. On Windows 7 the Unidrv
// core files come from System32\DriverStore\FileRepository\ntprint*; Wine
// has no such folder, and the install stops at the first Unidrv file with
// the program's own text and the system's.
TEST_F(KitsetupInstallWalk, WithoutTheDriverStoreTheInstallStopsWithItsText) {
  const std::u16string text = WalkToTheFinalMessage(nullptr, "kitsetup_install_no_driver_store");
  // The system's text says which part of the path is missing.
  EXPECT_THAT(text, AnyOf(Eq(u"Couldn't find system files.\nPath not found."),
                          Eq(u"Couldn't find system files.\nFile not found.")));
  EXPECT_TRUE(Added().empty());
}

// With the driver store's Unidrv files laid where Windows keeps them, every
// step runs on Wine's spooler up to the printer.
// Wine gap, the printer step: the wizard adds its printer with no data type,
// as Windows then takes the print processor's; Wine's AddPrinterW stores no
// "Datatype" for such a record, its own OpenPrinter then refuses the new
// printer (1801); the refused printer's key stays, listed but unusable. The
// program reports the failure with its own text and the system's.
TEST_F(KitsetupInstallWalk, InstallsOnLpt1ThroughTheProgressDialogToTheFinalMessage) {
  DriverStoreStandIn store;
  ASSERT_TRUE(store.complete());
  const std::u16string text = WalkToTheFinalMessage("kitsetup_install_progress", "kitsetup_install_finished");

  // Every step before the printer reached the system's spooler.
  EXPECT_TRUE(DriverInstalled(kDriverName));
  EXPECT_TRUE(PrintProcessorInstalled(kPrintProcessor));
  if (text == kFinishedText) {
    // A Wine that stores a printer without a data type: the whole install.
    const auto added = Added();
    ASSERT_EQ(added.size(), 1u) << "expected exactly one new printer";
    EXPECT_EQ(added[0].name, std::wstring(kModel) + L"(P)");
    EXPECT_EQ(added[0].port, kPort);
    EXPECT_EQ(added[0].driver, kDriverName);
  } else {
    EXPECT_EQ(text, u"The printer could not be created.\nInvalid printer name.");
    // What Wine keeps of the refused printer (its key) cannot be opened.
    for (const auto& p : Added()) {
      HANDLE printer = nullptr;
      EXPECT_FALSE(OpenPrinterW(const_cast<wchar_t*>(p.name.c_str()), &printer, nullptr)) << "usable printer left";
      if (printer != nullptr) ClosePrinter(printer);
    }
  }
}

}  // namespace
}  // namespace kit::setup
