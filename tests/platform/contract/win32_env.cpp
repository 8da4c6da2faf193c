// Contract environment on the real Windows (under Wine in CI): the process's
// own Windows, a fresh scratch folder in the temporary folder for every
// test, and a printer driver and port that exist on the machine.
#include <process.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "platform/win32/windows_platform.h"
#include "tests/platform/contract/contract_env.h"

namespace kit::contract {
namespace {

// Driver names tried in order for test printers; the first one installed
// wins, else the first driver the spooler lists.
constexpr const char16_t* kPreferredDrivers[] = {u"Generic / Text Only", u"Wine PostScript Driver",
                                                 u"Kit Contract PostScript Driver", u"Microsoft XPS Document Writer"};
// Ports tried in order for test printers: raw jobs to them end in a file or
// nowhere, never on a real printer.
constexpr const char16_t* kPreferredPorts[] = {u"NUL:", u"FILE:", u"LPT3:", u"LPT1:"};

constexpr char16_t kTestDriver[] = u"Kit Contract PostScript Driver";
constexpr int kSpoolerStartPolls = 50;
constexpr std::uint32_t kSpoolerStartPollMilliseconds = 100;

WString Number(unsigned long value) { return FromUtf8(std::to_string(value)); }

class Win32Env final : public ContractEnv {
 public:
  Win32Env() {
    static std::atomic<unsigned long> counter{0};
    auto& p = windows_.platform();
    scratch_ = p.system.GetTempPath() + u"kit-contract-" + Number(Pid()) + u"-" + Number(++counter);
    RemoveTree(scratch_);
    if (!p.files.CreateDirectory(scratch_)) std::abort();
    if (IsWine()) StartSpooler();
    // Chosen (or installed) up front, so that every enumeration of the test
    // already sees it.
    driver_ = FindOrInstallDriver();
  }
  ~Win32Env() override { RemoveTree(scratch_); }

  Platform& platform() override { return windows_.platform(); }
  WString ScratchFolder() override { return scratch_; }

  // Wine hands out the same small process ids run after run, and a run
  // that stops early leaves its printers behind: the start time of the run
  // keeps names apart across runs.
  WString UniqueName(WStringView stem) override {
    static std::atomic<unsigned long> counter{0};
    static const unsigned long run = static_cast<unsigned long>(windows_.platform().clock.GetTickCount64() % 1000000);
    return WString(stem) + u"_" + Number(Pid()) + u"_" + Number(run) + u"_" + Number(++counter);
  }

  WString TestDriverName() override { return driver_; }

  WString FindOrInstallDriver() {
    std::vector<DriverInfo3> drivers;
    std::uint32_t needed = 0, returned = 0;
    auto& spooler = windows_.platform().spooler;
    spooler.EnumPrinterDrivers(u"", u"", &drivers, 0, &needed, &returned);
    if (!spooler.EnumPrinterDrivers(u"", u"", &drivers, needed, &needed, &returned)) return {};
    for (const char16_t* wanted : kPreferredDrivers) {
      for (const auto& d : drivers) {
        if (EqualsNoCase(d.name, wanted)) return d.name;
      }
    }
    // Under Wine only a driver known to load is used for test printers.
    if (drivers.empty() || IsWine()) return InstallTestDriver();
    return drivers.front().name;
  }

  WString TestPortName() override {
    std::vector<PortInfo2> ports;
    std::uint32_t needed = 0, returned = 0;
    auto& spooler = windows_.platform().spooler;
    spooler.EnumPorts(u"", 1, &ports, 0, &needed, &returned);
    if (!spooler.EnumPorts(u"", 1, &ports, needed, &needed, &returned)) return u"LPT1:";
    for (const char16_t* wanted : kPreferredPorts) {
      for (const auto& port : ports) {
        if (EqualsNoCase(port.port_name, wanted)) return port.port_name;
      }
    }
    return ports.empty() ? WString(u"LPT1:") : ports.front().port_name;
  }

  bool IsWine() const override { return win32::RunningUnderWine(); }

  // The kit's stand-in libraries (laid beside the test program by the
  // build) copied into the scratch folder with their printer file.
  WString UsbLibraryFolder(const std::vector<UsbPrinter>& printers) override {
    auto& p = windows_.platform();
    const WString module = p.system.GetModuleFileName();
    const WString beside = module.substr(0, module.find_last_of(u'\\') + 1);
    for (const char16_t* library : {kKvUsbIntDll, kUsbPrintDll}) {
      p.files.CopyFile(beside + library, scratch_ + u"\\" + library, false);
    }
    std::string text = "# contract printers\r\n";
    for (const auto& printer : printers) {
      char line[64];
      std::snprintf(line, sizeof line, "printer %04X %04X %u ", printer.vid, printer.pid, printer.release);
      text += line + printer.list_text + "\r\n";
    }
    p.files.WriteFile(scratch_ + u"\\UsbPrinters.txt", Bytes(text.begin(), text.end()), WriteMode::kCreateAlways);
    return scratch_;
  }

 private:
  static unsigned long Pid() { return static_cast<unsigned long>(::_getpid()); }

  // Windows starts the spooler at boot; a fresh Wine prefix starts it on
  // first use, so the environment starts it as Windows would have.
  void StartSpooler() {
    auto& services = windows_.platform().services;
    ServiceManagerHandle scm;
    ServiceHandle spooler;
    if (!services.OpenSCManager(kScManagerAllAccess, &scm)) return;
    if (!scm->OpenService(kSpoolerServiceName, kServiceAllAccess, &spooler)) return;
    ServiceStatus status;
    if (spooler->QueryServiceStatus(&status) && status.current_state == kServiceStopped) spooler->StartService();
    auto& clock = windows_.platform().clock;
    for (int i = 0; i < kSpoolerStartPolls; ++i) {
      if (!spooler->QueryServiceStatus(&status) || status.current_state == kServiceRunning) break;
      clock.Sleep(kSpoolerStartPollMilliseconds);
    }
  }

  // A machine without any printer driver (a fresh Wine prefix) gets one
  // built on Wine's PostScript driver library, which a fresh prefix keeps
  // in the driver folder, with a minimal PPD. The spooler loads the
  // driver's configuration library when a printer is added, so the stand-in
  // must be a real printer driver.
  WString InstallTestDriver() {
    auto& p = windows_.platform();
    WString folder;
    if (!p.spooler.GetPrinterDriverDirectory(u"", u"", &folder)) return {};
    DriverInfo3 driver;
    driver.name = kTestDriver;
    if (!LayTestDriverFiles(folder, &driver)) return {};
    if (!p.spooler.AddPrinterDriver(u"", driver)) return {};
    return driver.name;
  }

  bool LayTestDriverFiles(const WString& folder, DriverInfo3* driver) override {
    auto& p = windows_.platform();
    const WString library = folder + u"\\3\\wineps.drv";
    if (p.files.GetFileAttributes(library) == kInvalidFileAttributes) return false;
    if (!p.files.CopyFile(library, folder + u"\\wineps.drv", false)) return false;
    const std::string ppd =
        "*PPD-Adobe: \"4.3\"\r\n*ModelName: \"Kit Contract\"\r\n*NickName: \"Kit Contract\"\r\n"
        "*LanguageLevel: \"2\"\r\n*DefaultPageSize: Letter\r\n"
        "*PageSize Letter: \"<</PageSize[612 792]>>setpagedevice\"\r\n*DefaultImageableArea: Letter\r\n"
        "*ImageableArea Letter: \"0 0 612 792\"\r\n*DefaultPaperDimension: Letter\r\n"
        "*PaperDimension Letter: \"612 792\"\r\n";
    if (!p.files.WriteFile(folder + u"\\kitcontract.ppd", Bytes(ppd.begin(), ppd.end()), WriteMode::kCreateAlways)) {
      return false;
    }
    driver->driver_path = u"wineps.drv";
    driver->data_file = u"kitcontract.ppd";
    driver->config_file = u"wineps.drv";
    return true;
  }

  // Deletes a folder and everything in it, read-only files included.
  void RemoveTree(const WString& folder) {
    auto& files = windows_.platform().files;
    FindData found;
    auto search = files.FindFirstFile(folder + u"\\*", &found);
    if (search) {
      do {
        if (found.file_name == u"." || found.file_name == u"..") continue;
        const WString path = folder + u"\\" + found.file_name;
        if (found.attributes & kFileAttributeDirectory) {
          RemoveTree(path);
        } else {
          files.SetFileAttributes(path, kFileAttributeNormal);
          files.DeleteFile(path);
        }
      } while (search->FindNextFile(&found));
    }
    search.reset();
    files.RemoveDirectory(folder);
  }

  win32::WindowsPlatform windows_;
  WString scratch_;
  WString driver_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<Win32Env>(); }

}  // namespace kit::contract
