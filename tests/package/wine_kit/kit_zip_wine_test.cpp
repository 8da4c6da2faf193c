// A kit as shipped, unpacked from its zip into a fresh Wine prefix, walked
// the way a user goes (Windows build, run under Wine by
// kit_zip_wine_test.sh, which prepares the prefix and saves a PNG of every
// window the test asks for): the setup wizard to the end of an install on
// "LPT1:", the other port kinds as far as Wine's spooler goes, the
// installed printer's device sheet with the self-test and a logo download,
// the USB installer of each build, and Uninstall.exe. The tests follow one
// another on the one prefix, in this order.
//
// The same walk serves three machines: the x64 kit on 64-bit Windows (this
// test built for x86_64), the x86 kit on 32-bit Windows (built for i686, in
// a 32-bit prefix), and the x86 kit on 64-bit Windows, where its 32-bit
// setup installs the 64-bit driver (the 64-bit build drives the walk; the
// i686 build opens the printer's Printing Preferences as a 32-bit
// application does). The test takes the machine from the running system
// and the plug-in of its own bitness from the kit.
//
// Where Wine lacks what Windows has, the test names the gap at its step and
// expects the program's own text; the gaps:
//  - no driver store: the prefix holds the universal driver's files in its
//    place (the script lays them);
//  - AddPrinterW stores no "Datatype" for a printer added without one, and
//    Wine's own OpenPrinter then refuses it (1801): the wizard ends with
//    "The printer could not be created."; for the sheet and the uninstaller
//    the test writes the value Windows keeps (the print processor's "RAW");
//  - AddPrinterW called by a 32-bit program on 64-bit Windows looks the
//    driver up under the 32-bit environment (1797): the x86 kit's wizard
//    ends with "Unknown printer driver." there, and the test adds the
//    printer from its 64-bit process;
//  - no Standard TCP/IP Port monitor: its port cannot be added (1796);
//  - the kit's serial and USB port monitors load (AddMonitor), and an
//    install on KVCOM1: or a USB_ port ends at the printer gap above;
//  - the spooler runs in the calling process: a 32-bit setup on 64-bit
//    Windows cannot load the 64-bit serial port monitor it copied (126),
//    which Windows' 64-bit spooler loads;
//  - DeletePrinterDriverExW refuses (87): the uninstaller logs the error
//    and the driver stays;
//  - Wine's SetupAPI and newdev register a device and install its driver
//    for a 32-bit program on 64-bit Windows, where Windows refuses both
//    (ERROR_IN_WOW64): the 32-bit Install.exe ends without its error box
//    there.
//
// Environment: KIT_FOLDER, the unpacked kit (a Windows path); KIT_PORT_FILE,
// the file the prefix maps "LPT1:" to; KIT_SHOTS, the start of every
// screenshot's name (default "kit_zip"); KIT_RUNS_32BIT, "0" where the
// machine does not run 32-bit programs (the kit's 32-bit USB installer is
// then left out).
#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "common/codepage/codepage.h"
#include "common/exit_codes/exit_codes.h"
#include "tests/package/wine_kit/kit_zip_walk.h"
#include "tests/setup/wizard_win32/install_walk.h"
#include "tests/setup/wizard_win32/win32_walk.h"
#include "ui/win32/remote.h"

namespace {

using namespace kit::package::testing;
using kit::ui::win32::RemoteDialog;
namespace walk = kit::setup::testing;

constexpr int kTimeoutMs = 60000;
// The kit's English texts (setup_EN.ini, Message) and the system's.
constexpr char16_t kFinished[] = u"The driver is installed.";
constexpr char16_t kPrinterRefused[] = u"The printer could not be created.\nInvalid printer name.";
constexpr char16_t kDriverUnknown[] = u"The printer could not be created.\nUnknown printer driver.";
constexpr char16_t kTcpIpRefused[] = u"The TCP/IP port could not be created.";
constexpr char16_t kMonitorRefused[] = u"The port monitor could not be installed.\nModule not found.";
constexpr char16_t kUnknownPort[] = u"Unknown port.";
// The USB installer of each build, its network-port action (the one that
// registers a device and installs its driver whatever is plugged in), and
// the start of the error box of a step the system refuses with
// ERROR_IN_WOW64 (SetupDiCallClassInstaller and
// UpdateDriverForPlugAndPlayDevices refuse a 32-bit caller on 64-bit
// Windows): "Error %8.8lX in %s" without a system text for the code, or
// "Error %d in %s: %s" with one.
constexpr wchar_t kInstaller32[] = L"\\USBDRV\\USBDriver";
constexpr wchar_t kInstaller64[] = L"\\USBDRV\\USBDriver_x64";
constexpr wchar_t kNetworkPortsAction[] = L"8";
constexpr char16_t kWow64Refusal[] = u"Error E0000235 in ";
constexpr char16_t kWow64RefusalWithText[] = u"Error -536870347 in ";
constexpr int kMessageTextId = 0xFFFF;
// The files of the serial and USB port monitors (setup.ini's
// COMMONitor* and USBMONitor* DLL names).
constexpr const wchar_t* kMonitorFiles[] = {L"KVRCOMMON.DLL", L"KVRCOMUI.DLL", L"KVRUSBMON.DLL", L"KVRUSBUI.DLL"};
// The wizard's message boxes carry the program's name.
constexpr char16_t kWizardCaption[] = u"kitsetup";
constexpr char16_t kErrorCaption[] = u"ERROR";
// The Utility page's SelfTest button, and the job it sends: the opening
// bracket, the self-test command, the closing bracket.
constexpr int kSelfTestId = 1401;
const std::vector<std::uint8_t> kSelfTestBytes = {0x1B, 0x63, 0x3B, 0x01, 0x1D, 0x28, 0x41, 0x02,
                                                  0x00, 0x00, 0x02, 0x1B, 0x63, 0x3B, 0x00};
// The Main page's zoom box, and the scale of the default record.
constexpr int kScaleEditId = 1507;
constexpr char16_t kDefaultScale[] = u"100";
// The device sheet's Download page: its tab, the logo list and its Add,
// Transformation and Download all, and the open-file dialog's file-name box
// (old style edt1, explorer style cmb13).
constexpr int kDownloadTab = 1;
constexpr int kLogoListId = 1041, kAddLogoId = 1042, kDownloadAllId = 1044, kTransformRadioId = 1061;
constexpr wchar_t kOpenCaption[] = L"Open";
constexpr int kOldStyleFileNameId = 1152, kExplorerFileNameId = 1148;
// The LOGO job of the one black 16 x 8 logo: the opening bracket, 1C 71 and
// the count, the header (the BMP's row stride, 4 bytes, as the width; one
// unit of 8 dots high), 4 x 8 columns of one byte each, every dot black
// (the row padding of a file whose palette starts with white is sent as
// stored), 0A, the closing bracket.
std::vector<std::uint8_t> LogoJob() {
  constexpr std::uint8_t kHead[] = {0x1B, 0x63, 0x3B, 0x01, 0x1C, 0x71, 0x01, 0x04, 0x00, 0x01, 0x00};
  constexpr std::uint8_t kTail[] = {0x0A, 0x1B, 0x63, 0x3B, 0x00};
  constexpr std::size_t kDataBytes = 4 * 1 * 8;
  std::vector<std::uint8_t> job(sizeof kHead + kDataBytes + sizeof kTail, 0xFF);
  std::copy(std::begin(kHead), std::end(kHead), job.begin());
  std::copy(std::begin(kTail), std::end(kTail), job.end() - sizeof kTail);
  return job;
}
// Uninstall.exe's main window and restart question.
constexpr wchar_t kUninstallCaption[] = L"Uninstall";
constexpr int kComponentListId = 1010, kLogId = 1008, kUninstallId = 1002, kSelectId = 1012;
constexpr int kRestartNote1Id = 1014;
constexpr int kRestartNoId = 2;

// The wizard on "LPT1:": every page, the progress dialog and the final
// message photographed. Either the whole install, or Wine's printer gap at
// the last step with the wizard's own text and the printer's record as the
// wizard wrote it.
TEST(KitZipUnderWine, TheWizardInstallsTheReceiptModelOnLpt1) {
  walk::InstallWalk lpt;
  lpt.kit = Kit();
  lpt.port = L"LPT1:";
  lpt.page_shots = Shot("wizard");
  lpt.progress_shot = Shot("wizard_progress");
  lpt.message_shots = {Shot("wizard_lpt1_end")};
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
  // The driver of the machine's own environment, whatever the bitness of
  // the setup program: its files in that environment's folder, the
  // plug-in built for it; on 64-bit Windows nothing under the 32-bit one.
  EXPECT_TRUE(DriverIn(MachineEnvironment())) << "no driver under " << MachineEnvironment();
  EXPECT_EQ(PluginMachineIn(MachineEnvironment()), On64BitWindows() ? kMachineAmd64 : kMachineI386);
  if (On64BitWindows()) {
    EXPECT_FALSE(DriverIn(kEnvironment32));
    EXPECT_EQ(PluginMachineIn(kEnvironment32), 0) << "a plug-in in the 32-bit driver folder";
  }
  if (result.messages[0].text == kFinished) {
    HANDLE printer = OpenKitPrinter();
    ASSERT_NE(printer, nullptr) << "a finished install with a printer that does not open";
    ClosePrinter(printer);
  } else if (SetupRunsUnderWow64()) {
    // Wine gap: its AddPrinterW, called from a 32-bit program on 64-bit
    // Windows, looks the driver up under the 32-bit environment (Windows'
    // spooler serves every caller from its own, 64-bit one) and refuses
    // (1797). The printer the wizard asked for is added from this 64-bit
    // process instead, with the data type Windows keeps, for the steps that
    // follow.
    EXPECT_EQ(result.messages[0].text, kDriverUnknown);
    EXPECT_FALSE(PrinterListed());
    PRINTER_INFO_2W info{};
    std::wstring name = kPrinter, port = L"LPT1:", driver = kDriverName, processor = kPrintProcessor,
                 datatype = L"RAW";
    info.pPrinterName = name.data();
    info.pPortName = port.data();
    info.pDriverName = driver.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = datatype.data();
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    ASSERT_NE(printer, nullptr) << "the 64-bit spooler refuses the printer too: " << GetLastError();
    ClosePrinter(printer);
    return;
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
      {L"NET:", u"192.168.0.50", "wizard_net",
       {{kErrorCaption, kUnknownPort}, {kWizardCaption, kTcpIpRefused}}, true},
      // The serial port monitor loads; the install ends at Wine's printer
      // gap (as on "LPT1:"), or, for a 32-bit setup on 64-bit Windows, at
      // AddMonitor (Wine's spooler runs in the calling 32-bit process).
      {L"KVCOM1:", u"", "wizard_kvcom1",
       {{kWizardCaption, SetupRunsUnderWow64() ? kMonitorRefused : kPrinterRefused}}, false},
      // The USB port monitor is a module as the serial one is: a 32-bit
      // setup on 64-bit Windows ends at AddMonitor for the same reason (the
      // 64-bit module is not in the 32-bit process's system folder); a
      // 32-bit setup on 32-bit Windows gets past it to Wine's printer gap.
      {kUsbPort, u"", "wizard_usb",
       {{kWizardCaption, SetupRunsUnderWow64() ? kMonitorRefused : kPrinterRefused}}, false},
  };
  const auto printers_before = walk::LocalPrinters().size();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.shot));
    walk::InstallWalk w;
    w.kit = Kit();
    w.port = c.port;
    w.address = c.address;
    for (std::size_t i = 1; i <= c.expected.size(); ++i) {
      std::string name = Shot(c.shot);
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
    if (!SetupRunsUnderWow64() && std::wstring(c.port) == L"KVCOM1:") {
      // Wine gap: the serial install reached AddPrinterW, which kept a
      // record its OpenPrinter refuses (as on "LPT1:"); it goes, so that
      // the walk goes on with the one printer of the "LPT1:" install.
      EXPECT_TRUE(DeleteUnopenablePrinter(L"VRT-Q40(S)")) << GetLastError();
    }
    if (!SetupRunsUnderWow64() && std::wstring(c.port) == kUsbPort) {
      // The same for the USB install, past its two monitors.
      EXPECT_TRUE(DeleteUnopenablePrinter(L"VRT-Q40(U) 1")) << GetLastError();
    }
    EXPECT_EQ(walk::LocalPrinters().size(), printers_before);
  }
  // The serial and USB port monitors' files, copied before AddMonitor
  // (which a 32-bit setup on 64-bit Windows fails): in the machine's own
  // system folder, none in the 32-bit one of 64-bit Windows (the wizard
  // turns the redirection off).
  wchar_t system[MAX_PATH] = {}, system32[MAX_PATH] = {};
  ASSERT_NE(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const bool has_wow64_folder = GetSystemWow64DirectoryW(system32, MAX_PATH) != 0;
  EXPECT_EQ(has_wow64_folder, On64BitWindows());
  for (const wchar_t* file : kMonitorFiles) {
    SCOPED_TRACE(kit::codepage::Utf16ToUtf8(std::u16string(file, file + wcslen(file))));
    EXPECT_NE(GetFileAttributesW((std::wstring(system) + L"\\" + file).c_str()), INVALID_FILE_ATTRIBUTES);
    if (has_wow64_folder) {
      EXPECT_EQ(GetFileAttributesW((std::wstring(system32) + L"\\" + file).c_str()), INVALID_FILE_ATTRIBUTES);
    }
  }
  // The USB port's install record, written when Install was pressed, in
  // the 64-bit registry view (the only one on 32-bit Windows).
  EXPECT_TRUE(PortRecordIn(KEY_WOW64_64KEY));
  if (On64BitWindows()) {
    EXPECT_FALSE(PortRecordIn(KEY_WOW64_32KEY)) << "the install record went to the 32-bit view";
  }
}

// The installed printer's device sheet, from the kit's plug-in of the
// host's bitness, on its Utility page: SelfTest sends its 15 bytes through
// Wine's spooler to the file LPT1: maps to.
TEST(KitZipUnderWine, TheDeviceSheetSendsTheSelfTestToThePortsFile) {
  HANDLE printer = OpenForTheSheets();
  ASSERT_NE(printer, nullptr) << "the installed printer does not open: " << GetLastError();
  const std::wstring port_file = Env("KIT_PORT_FILE");
  ASSERT_FALSE(port_file.empty());
  DeleteFileW(port_file.c_str());

  PluginHost host(printer);
  sheets::LoadedPlugin& plugin = host.plugin;
  ASSERT_TRUE(plugin.ok()) << "the kit's VRTQ40UI.dll: " << GetLastError();
  std::vector<PROPSHEETPAGEW> records = plugin.SheetPages(false, host.cuip, host.ps);
  ASSERT_EQ(records.size(), 4u);  // Utility, Download, Font, Version

  std::u16string button;
  const auto tabs = sheets::ShowSheet(L"VRT-Q40(P) Properties", records, [&](HWND sheet, HWND page) {
    Sleep(kPaintMs);
    EXPECT_TRUE(walk::Screenshot(sheet, Shot("device_sheet"))) << "no screenshot of the device sheet";
    RemoteDialog utility(page);
    button = utility.Text(kSelfTestId);
    // Posted: the job runs on the sheet's thread before the OK that follows.
    utility.Click(kSelfTestId);
  });
  EXPECT_EQ(tabs, (std::vector<std::wstring>{L"Utility", L"Download", L"Font", L"Version"}));
  EXPECT_EQ(button, u"SelfTest");
  EXPECT_EQ(plugin.DestroySheet(false, host.ps), 1u);
  // The host's printer handle, which the plug-in borrowed, closes with the
  // sheet; then the spooler has had every chance to hand the job on.
  ClosePrinter(printer);
  // The job, whole and alone, in the file LPT1: maps to.
  EXPECT_EQ(Printed(port_file, kSelfTestBytes.size()), kSelfTestBytes);
}

// A one-bit logo through the Download page of the device sheet: added
// through the system's open-file dialog, Transformation, Download all; the
// LOGO job reaches the file LPT1: maps to.
TEST(KitZipUnderWine, TheDownloadPageSendsALogo) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring logo = std::wstring(temp) + L"kit zip logo.bmp";
  {
    HANDLE f = CreateFileW(logo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << GetLastError();
    const std::vector<std::uint8_t> bytes = BlackLogo();
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    ASSERT_EQ(written, bytes.size());
  }
  HANDLE printer = OpenForTheSheets();
  ASSERT_NE(printer, nullptr) << "the installed printer does not open: " << GetLastError();
  const std::wstring port_file = Env("KIT_PORT_FILE");
  ASSERT_FALSE(port_file.empty());
  DeleteFileW(port_file.c_str());

  PluginHost host(printer);
  ASSERT_TRUE(host.plugin.ok()) << "the kit's VRTQ40UI.dll: " << GetLastError();
  std::vector<PROPSHEETPAGEW> records = host.plugin.SheetPages(false, host.cuip, host.ps);
  ASSERT_EQ(records.size(), 4u);
  const DWORD ui_thread = GetCurrentThreadId();
  int listed = -1;
  sheets::ShowSheet(L"VRT-Q40(P) Properties", records, [&](HWND sheet, HWND) {
    SendMessageW(sheet, PSM_SETCURSEL, kDownloadTab, 0);
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    ASSERT_NE(page, nullptr);
    RemoteDialog download(page);
    download.Click(kAddLogoId);
    HWND open = kit::ui::win32::WaitForDialog(ui_thread, kTimeoutMs, kOpenCaption);
    ASSERT_NE(open, nullptr) << "the open-file dialog did not appear";
    RemoteDialog chooser(open);
    const std::u16string path(logo.begin(), logo.end());
    ASSERT_TRUE(chooser.Type(kOldStyleFileNameId, path) || chooser.Type(kExplorerFileNameId, path));
    chooser.Click(IDOK);
    ASSERT_TRUE(chooser.WaitClosed(kTimeoutMs)) << "the open-file dialog stayed open";
    HWND list = GetDlgItem(page, kLogoListId);
    walk::WaitFor([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; });
    listed = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    download.Click(kTransformRadioId);
    walk::WaitFor([&] { return download.Enabled(kDownloadAllId); });
    Sleep(kPaintMs);
    EXPECT_TRUE(walk::Screenshot(sheet, Shot("download_page"))) << "no screenshot of the Download page";
    download.Click(kDownloadAllId);
  });
  EXPECT_EQ(listed, 1);
  EXPECT_EQ(host.plugin.DestroySheet(false, host.ps), 1u);
  ClosePrinter(printer);
  DeleteFileW(logo.c_str());
  const std::vector<std::uint8_t> job = LogoJob();
  EXPECT_EQ(Printed(port_file, job.size()), job);
}

// The printer's Printing Preferences from a 32-bit application on 64-bit
// Windows: the kit's 32-bit plug-in in a 32-bit host opens the document
// sheet of the printer the 64-bit driver serves.
TEST(KitZipUnderWine, PrintingPreferencesOpenInA32BitHost) {
  ASSERT_FALSE(Is64BitProgram()) << "this step is the 32-bit host's";
  HANDLE printer = OpenForTheSheets();
  ASSERT_NE(printer, nullptr) << "the installed printer does not open: " << GetLastError();
  {
    PluginHost host(printer);
    ASSERT_TRUE(host.plugin.ok()) << "the kit's 32-bit VRTQ40UI.dll: " << GetLastError();
    EXPECT_EQ(host.defaults, S_OK);
    std::vector<PROPSHEETPAGEW> records = host.plugin.SheetPages(true, host.cuip, host.ps);
    ASSERT_EQ(records.size(), 6u);
    std::u16string scale;
    const auto tabs = sheets::ShowSheet(L"VRT-Q40(P) Printing Preferences", records, [&](HWND sheet, HWND page) {
      scale = RemoteDialog(page).Text(kScaleEditId);
      Sleep(kPaintMs);
      EXPECT_TRUE(walk::Screenshot(sheet, Shot("preferences_32bit_host"))) << "no screenshot of the preferences";
    });
    EXPECT_EQ(tabs, (std::vector<std::wstring>{L"Main", L"Water Mark", L"Operation", L"1D Code", L"2D Code",
                                               L"Version"}));
    EXPECT_EQ(scale, kDefaultScale) << "the Main page does not show the default record";
    EXPECT_EQ(host.plugin.DestroySheet(true, host.ps), 1u);
  }
  ClosePrinter(printer);
}

// The USB installer of each build the kit carries, on its network-port
// action: the build of the machine's bitness installs; the 32-bit build on
// 64-bit Windows is refused by the system (ERROR_IN_WOW64) and shows its
// error box with that code. A 64-bit build does not start on 32-bit
// Windows.
TEST(KitZipUnderWine, TheUsbInstallerOfTheMachinesBitnessRuns) {
  struct Case {
    const wchar_t* folder;
    bool is_64bit;
  };
  int runs = 0;
  for (const Case& c : {Case{kInstaller32, false}, Case{kInstaller64, true}}) {
    const std::wstring folder = Kit() + c.folder;
    SCOPED_TRACE(std::string(c.is_64bit ? "64-bit" : "32-bit") + " Install.exe");
    if (GetFileAttributesW((folder + L"\\Install.exe").c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    if (c.is_64bit && !On64BitWindows()) continue;
    const char* runs_32bit = std::getenv("KIT_RUNS_32BIT");
    if (!c.is_64bit && runs_32bit != nullptr && std::string(runs_32bit) == "0") {
      std::printf("not run: this machine does not run 32-bit programs\n");
      continue;
    }
    ++runs;
    Started installer;
    ASSERT_TRUE(installer.Start(L"\"" + folder + L"\\Install.exe\" " + kNetworkPortsAction, folder))
        << GetLastError();
    const PROCESS_INFORMATION& process = installer.process;
    // Its error boxes, each photographed and answered, until it ends.
    std::vector<std::u16string> boxes;
    walk::WaitFor(
        [&] {
          if (installer.Ended()) return true;
          HWND box = walk::VisibleDialogWith(process.dwThreadId, kMessageTextId);
          if (box == nullptr) return false;
          RemoteDialog dialog(box);
          boxes.push_back(dialog.Text(kMessageTextId));
          Sleep(kPaintMs);
          EXPECT_TRUE(walk::Screenshot(box, Shot("usb_installer_" + std::to_string(boxes.size()))));
          dialog.Click(IDOK);
          dialog.WaitClosed(kTimeoutMs);
          return false;
        },
        kTimeoutMs);
    EXPECT_TRUE(installer.Ended()) << "the installer did not end";
    for (const auto& text : boxes) std::printf("Install.exe box: %s\n", kit::codepage::Utf16ToUtf8(text).c_str());
    if (c.is_64bit || !On64BitWindows()) {
      EXPECT_TRUE(boxes.empty()) << "the installer of the machine's bitness failed";
    } else if (boxes.empty()) {
      // Wine gap: its SetupAPI and newdev serve a 32-bit program on
      // 64-bit Windows; the installer ends as after an install.
      std::printf("Wine gap: the 32-bit Install.exe was not refused on 64-bit Windows\n");
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_TRUE(boxes[0].rfind(kWow64Refusal, 0) == 0 || boxes[0].rfind(kWow64RefusalWithText, 0) == 0)
          << kit::codepage::Utf16ToUtf8(boxes[0]);
    }
  }
  EXPECT_GT(runs, 0) << "no USB installer in the kit";
}

// Uninstall.exe of the kit: its main window lists the printer, the run
// removes it with a log line a step and asks about a restart (answered No),
// and the program ends on Exit.
TEST(KitZipUnderWine, UninstallRemovesThePrinter) {
  ASSERT_TRUE(PrinterListed());
  const std::wstring kit = Kit();
  Started uninstaller;
  ASSERT_TRUE(uninstaller.Start(L"\"" + kit + L"\\Uninstall.exe\"", kit)) << GetLastError();
  const PROCESS_INFORMATION& process = uninstaller.process;
  HWND window = kit::ui::win32::WaitForDialog(process.dwThreadId, kTimeoutMs, kUninstallCaption);
  ASSERT_NE(window, nullptr);
  RemoteDialog dialog(window);
  HWND list = GetDlgItem(window, kComponentListId);
  HWND log = GetDlgItem(window, kLogId);
  // The printer of the install and the three monitors the serial and USB
  // installs added (serial port, USB port, language monitor); the printer
  // prints through the system's WinPrint, which the uninstaller never
  // lists. A 32-bit setup on 64-bit Windows got no monitor in.
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), SetupRunsUnderWow64() ? 1 : 4);
  Sleep(kPaintMs);
  EXPECT_TRUE(walk::Screenshot(window, Shot("uninstall"))) << "no screenshot of the uninstaller";

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
  // No line names the system's processor: the uninstaller never offers it.
  for (std::wstring line : lines) {
    CharLowerW(line.data());
    EXPECT_EQ(line.find(L"winprint"), std::wstring::npos) << "the uninstaller named the system's processor";
  }
  // Wine's difference: its DeletePrinterDriverExW refuses every removal
  // with 87 (as the spooler contract test finds), where Windows removes the
  // driver. The uninstaller logs the code, the driver stays, and the run
  // ends failed (1) as any removal that left its driver does.
  const bool wine_kept_driver = logged(L"An error occurred while removing the driver!    er=87");
  EXPECT_TRUE(logged(L"The driver was removed.") || wine_kept_driver);
  ASSERT_NE(restart, nullptr) << "no restart question: nothing was removed";
  Sleep(kPaintMs);
  EXPECT_TRUE(walk::Screenshot(restart, Shot("uninstall_restart"))) << "no screenshot of the restart question";
  RemoteDialog(restart).Click(kRestartNoId);
  EXPECT_TRUE(RemoteDialog(restart).WaitClosed(kTimeoutMs));
  EXPECT_TRUE(walk::WaitFor([&] { return dialog.Enabled(IDCANCEL); }, kTimeoutMs));
  EXPECT_FALSE(PrinterListed());
  // The system's processor stays: the kit never removes it.
  EXPECT_TRUE(walk::PrintProcessorInstalled(kPrintProcessor));
  // Exit is enabled a moment before the run has ended: a click then still
  // closes the window, once the run has ended.
  ASSERT_TRUE(dialog.Click(IDCANCEL));
  EXPECT_TRUE(dialog.WaitClosed(kTimeoutMs)) << "Uninstall.exe did not close at its first Exit";
  EXPECT_EQ(WaitForSingleObject(process.hProcess, kTimeoutMs), WAIT_OBJECT_0);
  DWORD code = ~0u;
  GetExitCodeProcess(process.hProcess, &code);
  // Things were removed and the restart was declined: Windows must restart;
  // under Wine the driver that stayed fails the run.
  EXPECT_EQ(code, static_cast<DWORD>(wine_kept_driver ? kit::exit_code::kFailed : kit::exit_code::kRestartNeeded));
}

}  // namespace
