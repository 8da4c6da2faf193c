// The x64 kit as shipped, unpacked from its zip into a fresh Wine prefix,
// walked the way a user goes (Windows build, run under Wine by
// kit_zip_wine_test.sh, which prepares the prefix and saves a PNG of every
// window the test asks for): the setup wizard to the end of an install on
// "LPT1:", the other port kinds as far as Wine's spooler goes, the
// installed printer's device sheet with the self-test, and Uninstall.exe.
// The tests follow one another on the one prefix, in this order.
//
// Where Wine lacks what Windows has, the test names the gap at its step and
// expects the program's own text; the gaps:
//  - no driver store: the prefix holds the universal driver's files in its
//    place (the script lays them);
//  - AddPrinterW stores no "Datatype" for a printer added without one, and
//    Wine's own OpenPrinter then refuses it (1801): the wizard ends with
//    "The printer could not be created."; for the sheet and the uninstaller
//    the test writes the value Windows keeps (the print processor's "RAW");
//  - no Standard TCP/IP Port monitor: its port cannot be added (1796);
//  - the kit's port monitors are outside components, shipped as
//    placeholders: AddMonitor cannot load them (126);
//  - DeletePrinterDriverExW refuses (87): the uninstaller logs the error
//    and the driver stays.
//
// Environment: KIT_FOLDER, the unpacked kit (a Windows path); KIT_PORT_FILE,
// the file the prefix maps "LPT1:" to.
#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/exit_codes/exit_codes.h"
#include "tests/plugin/core/sheets/plugin_sheets_win32.h"
#include "tests/setup/wizard_win32/install_walk.h"
#include "tests/setup/wizard_win32/win32_walk.h"
#include "ui/win32/remote.h"

namespace {

using kit::ui::win32::RemoteDialog;
namespace walk = kit::setup::testing;
namespace sheets = kit::plugin::sheets::testing;

constexpr int kTimeoutMs = 60000;
constexpr DWORD kPollMs = 50;
constexpr DWORD kPaintMs = 100;
constexpr wchar_t kDriverName[] = L"VRT-Q40";
constexpr wchar_t kPrintProcessor[] = L"KVRPrint";
// The printer an install on LPT1: adds, and where the spooler keeps it.
constexpr wchar_t kPrinter[] = L"VRT-Q40(P)";
constexpr wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers\\";
// The kit's English texts (setup_EN.ini, Message) and the system's.
constexpr char16_t kFinished[] = u"The driver is installed.";
constexpr char16_t kPrinterRefused[] = u"The printer could not be created.\nInvalid printer name.";
constexpr char16_t kTcpIpRefused[] = u"The TCP/IP port could not be created.";
constexpr char16_t kMonitorRefused[] = u"The port monitor could not be installed.\nModule not found.";
constexpr char16_t kUnknownPort[] = u"Unknown port.";
// The wizard's message boxes carry the program's name.
constexpr char16_t kWizardCaption[] = u"kitsetup";
constexpr char16_t kErrorCaption[] = u"ERROR";
// The Utility page's SelfTest button, and the job it sends: the opening
// bracket, the self-test command, the closing bracket.
constexpr int kSelfTestId = 1401;
const std::vector<std::uint8_t> kSelfTestBytes = {0x1B, 0x63, 0x3B, 0x01, 0x1D, 0x28, 0x41, 0x02,
                                                  0x00, 0x00, 0x02, 0x1B, 0x63, 0x3B, 0x00};
// Uninstall.exe's main window and restart question.
constexpr wchar_t kUninstallCaption[] = L"Uninstall";
constexpr int kComponentListId = 1010, kLogId = 1008, kUninstallId = 1002, kSelectId = 1012;
constexpr int kRestartNote1Id = 1014;
constexpr int kRestartNoId = 2;

std::wstring Env(const char* name) {
  const char* value = std::getenv(name);
  return walk::WindowsPath(value == nullptr ? "" : value);
}

std::wstring Kit() { return Env("KIT_FOLDER"); }

std::vector<std::uint8_t> ReadAll(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return bytes;
  std::uint8_t block[4096];
  DWORD read = 0;
  while (ReadFile(f, block, sizeof block, &read, nullptr) && read > 0) bytes.insert(bytes.end(), block, block + read);
  CloseHandle(f);
  return bytes;
}

std::wstring PrinterValue(const wchar_t* value) {
  wchar_t text[256] = {};
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, (std::wstring(kPrintersKey) + kPrinter).c_str(), value, RRF_RT_REG_SZ,
                   nullptr, text, &size) != ERROR_SUCCESS)
    return L"(none)";
  return text;
}

bool PrinterListed() {
  for (const auto& p : walk::LocalPrinters())
    if (p.name == kPrinter) return true;
  return false;
}

// The printer as the spooler opens it for use; null when it refuses.
HANDLE OpenKitPrinter() {
  HANDLE printer = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(kPrinter), &printer, nullptr)) return nullptr;
  return printer;
}

// The wizard on "LPT1:": every page, the progress dialog and the final
// message photographed. Either the whole install, or Wine's printer gap at
// the last step with the wizard's own text and the printer's record as the
// wizard wrote it.
TEST(KitZipUnderWine, TheWizardInstallsTheReceiptModelOnLpt1) {
  walk::InstallWalk lpt;
  lpt.kit = Kit();
  lpt.port = L"LPT1:";
  lpt.page_shots = "kit_zip_wizard";
  lpt.progress_shot = "kit_zip_wizard_progress";
  lpt.message_shots = {"kit_zip_wizard_lpt1_end"};
  const walk::WalkResult result = walk::WalkToTheEnd(lpt);
  ASSERT_TRUE(result.reached_install);
  EXPECT_TRUE(result.progress_shown);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].caption, kWizardCaption);
  EXPECT_FALSE(result.stayed_open);
  // The program ends as its final message says: done, or failed at Wine's gap.
  EXPECT_EQ(result.exit_code,
            static_cast<DWORD>(result.messages[0].text == kFinished ? kit::exit_code::kDone : kit::exit_code::kFailed));
  EXPECT_TRUE(walk::DriverInstalled(kDriverName));
  EXPECT_TRUE(walk::PrintProcessorInstalled(kPrintProcessor));
  if (result.messages[0].text == kFinished) {
    HANDLE printer = OpenKitPrinter();
    ASSERT_NE(printer, nullptr) << "a finished install with a printer that does not open";
    ClosePrinter(printer);
  } else {
    // Wine gap: AddPrinterW keeps no data type, its OpenPrinter refuses the
    // printer it has just written (1801).
    EXPECT_EQ(result.messages[0].text, kPrinterRefused);
    EXPECT_EQ(OpenKitPrinter(), nullptr);
  }
  // The record the wizard wrote, as the spooler keeps it.
  EXPECT_EQ(PrinterValue(L"Port"), L"LPT1:");
  EXPECT_EQ(PrinterValue(L"Printer Driver"), kDriverName);
  EXPECT_EQ(PrinterValue(L"Print Processor"), kPrintProcessor);
}

// The other port kinds, each to the wizard's own failure text where Wine
// lacks the facility; no printer is added on the way.
TEST(KitZipUnderWine, TheOtherPortKindsEndWithTheWizardsOwnText) {
  struct Case {
    const wchar_t* port;
    const char16_t* address;
    const char* shot;
    std::vector<walk::MessageSeen> expected;
    bool refused;  // the wizard stays on its port page (then it is cancelled)
  };
  const std::vector<Case> cases = {
      // Wine gap: no Standard TCP/IP Port monitor; its XcvData answers 1796,
      // which the wizard shows in its error box before its own text, and
      // it stays on the port page.
      {L"NET:", u"192.168.0.50", "kit_zip_wizard_net",
       {{kErrorCaption, kUnknownPort}, {kWizardCaption, kTcpIpRefused}}, true},
      // Wine gap: the kit's serial and USB port monitors are outside
      // components, placeholders in the kit that AddMonitor cannot load.
      {L"KVCOM1:", u"", "kit_zip_wizard_kvcom1", {{kWizardCaption, kMonitorRefused}}, false},
      {L"USB_VRT-Q40_1", u"", "kit_zip_wizard_usb", {{kWizardCaption, kMonitorRefused}}, false},
  };
  const auto printers_before = walk::LocalPrinters().size();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.shot));
    walk::InstallWalk w;
    w.kit = Kit();
    w.port = c.port;
    w.address = c.address;
    for (std::size_t i = 1; i <= c.expected.size(); ++i) {
      std::string name = c.shot;
      name += '_';
      name += std::to_string(i);
      w.message_shots.push_back(name);
    }
    const walk::WalkResult result = walk::WalkToTheEnd(w);
    ASSERT_TRUE(result.reached_install);
    ASSERT_EQ(result.messages.size(), c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_EQ(result.messages[i].caption, c.expected[i].caption) << "message " << i + 1;
      EXPECT_EQ(result.messages[i].text, c.expected[i].text) << "message " << i + 1;
    }
    EXPECT_EQ(result.stayed_open, c.refused);
    EXPECT_NE(result.exit_code, ~0u) << "the wizard did not end";
    if (!c.refused) {
      EXPECT_EQ(result.exit_code, static_cast<DWORD>(kit::exit_code::kFailed)) << "each ends with a failure text";
    }
    EXPECT_EQ(walk::LocalPrinters().size(), printers_before);
  }
}

// The installed printer's device sheet, from the kit's own 64-bit plug-in,
// on its Utility page: SelfTest sends its 15 bytes through Wine's spooler to
// the file LPT1: maps to.
TEST(KitZipUnderWine, TheDeviceSheetSendsTheSelfTestToThePortsFile) {
  HANDLE printer = OpenKitPrinter();
  if (printer == nullptr) {
    // Wine gap (see the install): the value Windows keeps for a printer
    // added without a data type.
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, (std::wstring(kPrintersKey) + kPrinter).c_str(), L"Datatype",
                              REG_SZ, L"RAW", sizeof L"RAW"),
              ERROR_SUCCESS);
    printer = OpenKitPrinter();
  }
  ASSERT_NE(printer, nullptr) << "the installed printer does not open: " << GetLastError();
  const std::wstring port_file = Env("KIT_PORT_FILE");
  ASSERT_FALSE(port_file.empty());
  DeleteFileW(port_file.c_str());

  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  sheets::LoadedPlugin plugin(Kit() + L"\\W64\\VRTQ40UI.dll");
  ASSERT_TRUE(plugin.ok()) << "the kit's VRTQ40UI.dll: " << GetLastError();
  char16_t name[32] = u"VRT-Q40(P)";
  std::vector<std::uint8_t> record(1976);
  kit::plugin::com::OEMCUIPPARAM cuip{};
  cuip.cbSize = sizeof cuip;
  cuip.hPrinter = printer;
  cuip.pPrinterName = name;
  cuip.pOEMDM = record.data();
  kit::plugin::com::OEMUIPSPARAM ps{};
  ps.cbSize = sizeof ps;
  ps.hPrinter = printer;
  ps.pPrinterName = name;
  ps.pOEMDM = record.data();
  std::vector<PROPSHEETPAGEW> records = plugin.SheetPages(false, cuip, ps);
  ASSERT_EQ(records.size(), 4u);  // Utility, Download, Font, Version

  std::u16string button;
  const auto tabs = sheets::ShowSheet(L"VRT-Q40(P) Properties", records, [&](HWND sheet, HWND page) {
    Sleep(kPaintMs);
    EXPECT_TRUE(walk::Screenshot(sheet, "kit_zip_device_sheet")) << "no screenshot of the device sheet";
    RemoteDialog utility(page);
    button = utility.Text(kSelfTestId);
    // Posted: the job runs on the sheet's thread before the OK that follows.
    utility.Click(kSelfTestId);
  });
  EXPECT_EQ(tabs, (std::vector<std::wstring>{L"Utility", L"Download", L"Font", L"Version"}));
  EXPECT_EQ(button, u"SelfTest");
  EXPECT_EQ(plugin.DestroySheet(false, ps), 1u);
  // The host's printer handle, which the plug-in borrowed, closes with the
  // sheet; then the spooler has had every chance to hand the job on.
  ClosePrinter(printer);
  std::vector<std::uint8_t> printed;
  for (DWORD waited = 0; waited < 5000 && printed.size() < kSelfTestBytes.size(); waited += kPollMs) {
    Sleep(kPollMs);
    printed = ReadAll(port_file);
  }
  Sleep(kPaintMs);  // nothing more follows
  printed = ReadAll(port_file);
  // The job, whole and alone, in the file LPT1: maps to.
  EXPECT_EQ(printed, kSelfTestBytes);
}

// Uninstall.exe of the kit: its main window lists the printer, the run
// removes it with a log line a step and asks about a restart (answered No),
// and the program ends on Exit.
TEST(KitZipUnderWine, UninstallRemovesThePrinter) {
  ASSERT_TRUE(PrinterListed());
  const std::wstring kit = Kit();
  std::wstring command = L"\"" + kit + L"\\Uninstall.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, kit.c_str(), &startup,
                             &process))
      << GetLastError();
  HWND window = kit::ui::win32::WaitForDialog(process.dwThreadId, kTimeoutMs, kUninstallCaption);
  ASSERT_NE(window, nullptr);
  RemoteDialog dialog(window);
  HWND list = GetDlgItem(window, kComponentListId);
  HWND log = GetDlgItem(window, kLogId);
  // The printer and the print processor of the install; the port monitors
  // never got in (see the other port kinds).
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
  Sleep(kPaintMs);
  EXPECT_TRUE(walk::Screenshot(window, "kit_zip_uninstall")) << "no screenshot of the uninstaller";

  ASSERT_TRUE(dialog.Click(kSelectId));
  ASSERT_TRUE(dialog.Click(kUninstallId));
  // The run disables Exit until it ends; the restart question shows when
  // anything was removed.
  bool run_started = false;
  HWND restart = nullptr;
  walk::WaitFor(
      [&] {
        if (!dialog.Enabled(IDCANCEL)) run_started = true;
        restart = walk::VisibleDialogWith(process.dwThreadId, kRestartNote1Id);
        return restart != nullptr || (run_started && dialog.Enabled(IDCANCEL));
      },
      kTimeoutMs);
  std::vector<std::wstring> lines;
  const LRESULT count = SendMessageW(log, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t line[512] = {};
    if (SendMessageW(log, LB_GETTEXTLEN, i, 0) < 511) SendMessageW(log, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
    lines.push_back(line);
    std::printf("log: %ls\n", line);
  }
  auto logged = [&](const std::wstring& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
  EXPECT_TRUE(logged(L"VRT-Q40(P) was removed."));
  EXPECT_TRUE(logged(L"KVRPrint was removed."));
  // Wine gap: DeletePrinterDriverExW refuses (87), which the uninstaller
  // logs with the code.
  EXPECT_TRUE(logged(L"The driver was removed.") ||
              logged(L"An error occurred while removing the driver!    er=87"));
  ASSERT_NE(restart, nullptr) << "no restart question: nothing was removed";
  Sleep(kPaintMs);
  EXPECT_TRUE(walk::Screenshot(restart, "kit_zip_uninstall_restart")) << "no screenshot of the restart question";
  RemoteDialog(restart).Click(kRestartNoId);
  EXPECT_TRUE(RemoteDialog(restart).WaitClosed(kTimeoutMs));
  EXPECT_TRUE(walk::WaitFor([&] { return dialog.Enabled(IDCANCEL); }, kTimeoutMs));
  EXPECT_FALSE(PrinterListed());
  EXPECT_FALSE(walk::PrintProcessorInstalled(kPrintProcessor));
  ASSERT_TRUE(dialog.Click(IDCANCEL));
  EXPECT_TRUE(dialog.WaitClosed(kTimeoutMs));
  EXPECT_EQ(WaitForSingleObject(process.hProcess, kTimeoutMs), WAIT_OBJECT_0);
  DWORD code = ~0u;
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

}  // namespace
