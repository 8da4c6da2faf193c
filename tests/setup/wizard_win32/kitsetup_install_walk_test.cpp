// kitsetup.exe as a user meets it (Windows build, run under Wine): started
// from the kit folder as shipped, walked by control id from the licence page
// to Install on "LPT1:", through the progress dialog to the final message;
// the outcome is read back from the system's own spooler. Where Wine lacks
// what Windows has, the test names the gap and the step, and expects the
// program's own failure text.
//
// Run through walk_screenshots.sh, which saves a PNG of each window the test
// asks for (the progress dialog while it shows, the final message).
#include <windows.h>
#include <winspool.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/exit_codes/exit_codes.h"
#include "tests/setup/wizard_win32/install_walk.h"

namespace kit::setup {
namespace {

using ::testing::AnyOf;
using ::testing::Eq;
using testing::DriverInstalled;
using testing::LocalPrinters;
using testing::PrinterSeen;
using testing::PrintProcessorInstalled;

constexpr wchar_t kModel[] = L"VRT-Q40";
constexpr wchar_t kPort[] = L"LPT1:";
constexpr wchar_t kDriverName[] = L"VRT-Q40";
// The GDI flavour's print processor of the model (LPT1: prints raster): the
// system's own, which setup leaves as it is.
constexpr wchar_t kPrintProcessor[] = L"WinPrint";
// Where the spooler keeps its printers, and its drivers and processors by
// the environment the wizard installs for.
constexpr wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers";
constexpr wchar_t kEnvironmentKey64[] = L"System\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64";
constexpr wchar_t kEnvironmentKey32[] = L"System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86";

// The walk runs on 64-bit Windows (the x86_64 build, or the i686 one under
// WOW64) or on 32-bit Windows; the driver store's folders and the spooler's
// environment differ.
bool On64BitWindows() {
#ifdef _WIN64
  return true;
#else
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}
std::wstring EnvironmentKey() { return On64BitWindows() ? kEnvironmentKey64 : kEnvironmentKey32; }
// "Message"/IDS_INF_NTRESTART of the kit's English language file.
constexpr char16_t kFinishedText[] = u"The driver is installed.";

// Windows Vista and later give the Unidrv core files from the driver
// store's "ntprint" package; Wine has no driver store. The stand-in lays the
// files where Windows keeps them, and takes them away again.
class DriverStoreStandIn {
 public:
  DriverStoreStandIn() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring repository = std::wstring(system) + L"\\DriverStore\\FileRepository";
    folder_ = repository + (On64BitWindows() ? L"\\ntprint.inf_amd64_neutral_kitwalk" : L"\\ntprint.inf_x86_neutral_kitwalk");
    files_ = folder_ + (On64BitWindows() ? L"\\AMD64\\" : L"\\I386\\");
    for (const std::wstring& f : {std::wstring(system) + L"\\DriverStore", repository, folder_, files_}) {
      if (CreateDirectoryW(f.c_str(), nullptr)) made_.push_back(f);
    }
    for (const wchar_t* name : kFiles) {
      HANDLE f = CreateFileW((files_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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
    for (const wchar_t* name : kFiles) DeleteFileW((files_ + name).c_str());
    for (auto f = made_.rbegin(); f != made_.rend(); ++f) RemoveDirectoryW(f->c_str());
  }
  bool complete() const { return laid_ == std::size(kFiles); }

 private:
  static constexpr const wchar_t* kFiles[] = {L"UNIDRV.DLL",   L"UNIDRVUI.DLL", L"UNIRES.DLL",
                                              L"UNIDRV.HLP",   L"STDNAMES.GPD", L"TTFSUB.GPD"};
  std::wstring folder_;
  std::wstring files_;  // the architecture's folder, with a trailing backslash
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
    processor_key_before_ = ProcessorKeyExists();
  }
  void TearDown() override {
    // The prefix is shared by every test: what a walk added goes again, so
    // that later tests meet the spooler as they would without it. Wine
    // refuses DeletePrinterDriverExW (87) and stubs DeletePrintProcessorW,
    // so their registrations go by their keys, as the spooler keeps them.
    for (const auto& p : Added()) DeletePrinterNamed(p.name);
    RemoveRefusedPrinterKey();
    if (!driver_before_ && DriverInstalled(kDriverName) &&
        !DeletePrinterDriverExW(nullptr, nullptr, const_cast<wchar_t*>(kDriverName), DPD_DELETE_UNUSED_FILES, 0)) {
      RegDeleteTreeW(HKEY_LOCAL_MACHINE,
                     (EnvironmentKey() + L"\\Drivers\\Version-3\\" + kDriverName).c_str());
    }
    if (!processor_before_ && PrintProcessorInstalled(kPrintProcessor)) {
      DeletePrintProcessorW(nullptr, nullptr, const_cast<wchar_t*>(kPrintProcessor));
    }
    // The wizard writes the processor's key itself; 32-bit Wine does not
    // list the processor, and a key left behind is a family processor to
    // the uninstaller's tests that follow.
    if (!processor_key_before_) RegDeleteTreeW(HKEY_LOCAL_MACHINE, ProcessorKey().c_str());
    EXPECT_EQ(DriverInstalled(kDriverName), driver_before_);
    EXPECT_EQ(PrintProcessorInstalled(kPrintProcessor), processor_before_);
  }

  static std::wstring ProcessorKey() { return EnvironmentKey() + L"\\Print Processors\\" + kPrintProcessor; }
  static bool ProcessorKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProcessorKey().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
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

  // Walks kitsetup.exe of the kit folder to Install on LPT1:, photographing
  // the progress dialog as `progress_shot` and the final message as
  // `final_shot` (none when empty). Returns the final message's text, after
  // pressing its OK; the program has ended by then.
  static std::u16string WalkToTheFinalMessage(const std::string& progress_shot, const std::string& final_shot) {
    testing::InstallWalk walk;
    walk.kit = testing::WindowsPath(KITSETUP_KIT_FOLDER);
    walk.port = kPort;
    walk.progress_shot = progress_shot;
    walk.message_shots = {final_shot};
    const testing::WalkResult result = testing::WalkToTheEnd(walk);
    EXPECT_TRUE(result.progress_shown) << "the progress dialog shows";
    if (result.messages.size() != 1) {
      ADD_FAILURE() << "expected one final message, saw " << result.messages.size();
      return {};
    }
    EXPECT_FALSE(result.stayed_open) << "the wizard waits on its page after the install";
    // The program ends as its final message says: done, or failed.
    const std::u16string& text = result.messages[0].text;
    EXPECT_EQ(result.exit_code, static_cast<DWORD>(text == kFinishedText ? exit_code::kDone : exit_code::kFailed));
    return text;
  }

  std::set<std::wstring> before_;
  bool driver_before_ = false;
  bool processor_before_ = false;
  bool processor_key_before_ = false;
};

// Wine gap, the Unidrv files step: no driver store. On Windows 7 the Unidrv
// core files come from System32\DriverStore\FileRepository\ntprint*; Wine
// has no such folder, and the install stops at the first Unidrv file with
// the program's own text and the system's.
TEST_F(KitsetupInstallWalk, WithoutTheDriverStoreTheInstallStopsWithItsText) {
  const std::u16string text = WalkToTheFinalMessage("", "kitsetup_install_no_driver_store");
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
