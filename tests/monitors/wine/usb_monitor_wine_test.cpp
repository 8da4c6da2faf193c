// The USB port monitor and the language monitor in Wine's spooler
// (Windows build, run by serial_monitor_wine_test.sh after the serial
// tests, on the same prefix: the script lays KVRUSBMON.DLL and KVRLMON.DLL
// in the system folder, records the port USB_VRT-Q40_1 where the install
// records it, and puts the kit's stand-in KvUsbInt.dll in C:\standin, not
// yet where the monitor looks for it). Both monitors are added and loaded;
// the USB monitor lists the recorded port and answers XcvData; the language
// monitor, driven over the USB monitor as Windows' spooler drives it,
// passes a job through and sets its status; a raw job on a printer on the
// port (its driver names the language monitor, which Wine's spooler passes
// by: it opens the port monitor itself) reaches no printer while the
// library is missing, and goes out to the printer with the port's id once
// the library is there.
//
// Environment: KIT_USB_JOB_TEXT, the bytes of the raw job; KIT_LM_JOB_TEXT,
// those the language monitor is given.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/monitors/wine/spooler_calls.h"

// A namespace of its own: this file may be compiled together with the
// serial tests' file, which has names of the same kind.
namespace usb_monitor_wine {

constexpr wchar_t kUsbMonitor[] = L"KVR USB Port";
constexpr wchar_t kLanguageMonitor[] = L"KVR Language Monitor";
constexpr wchar_t kPort[] = L"USB_VRT-Q40_1";
constexpr wchar_t kPrinter[] = L"KV USB Test";
constexpr wchar_t kDriver[] = L"KV USB Test Driver";
constexpr DWORD kMonitorAlreadyInstalled = 3006;

bool AddMonitor(const wchar_t* name, const wchar_t* dll) {
  MONITOR_INFO_2W info{};
  info.pName = const_cast<wchar_t*>(name);
  info.pDLLName = const_cast<wchar_t*>(dll);
  return AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&info)) || GetLastError() == kMonitorAlreadyInstalled;
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetSystemDirectoryW(folder, MAX_PATH);
  return folder;
}

// The stand-in library beside the monitor and two printers behind it: id 5
// (another port's) at index 0, id 0 (port index 1's) at index 1.
bool PlugInPrinters(const std::wstring& system) {
  if (!CopyFileW(L"C:\\standin\\KvUsbInt.dll", (system + L"\\KvUsbInt.dll").c_str(), FALSE)) return false;
  HANDLE file = CreateFileW((system + L"\\UsbPrinters.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const char printers[] = "printer 7A5C 1000 5\r\nprinter 7A5C 1000 0\r\n";
  DWORD written = 0;
  const bool ok = WriteFile(file, printers, sizeof printers - 1, &written, nullptr) && written == sizeof printers - 1;
  CloseHandle(file);
  return ok;
}

TEST(UsbMonitorUnderWine, AddMonitorLoadsBothModules) {
  EXPECT_TRUE(AddMonitor(kUsbMonitor, L"KVRUSBMON.DLL")) << "AddMonitorW: " << GetLastError();
  EXPECT_TRUE(AddMonitor(kLanguageMonitor, L"KVRLMON.DLL")) << "AddMonitorW: " << GetLastError();
  DWORD needed = 0, returned = 0;
  EnumMonitorsW(nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumMonitorsW(nullptr, 1, buffer.data(), needed, &needed, &returned)) << GetLastError();
  const auto* monitors = reinterpret_cast<const MONITOR_INFO_1W*>(buffer.data());
  std::vector<std::wstring> names;
  for (DWORD i = 0; i < returned; ++i) names.push_back(monitors[i].pName);
  for (const wchar_t* name : {kUsbMonitor, kLanguageMonitor}) {
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << "not listed";
  }
}

TEST(UsbMonitorUnderWine, TheRecordedPortIsListedAndValid) {
  EXPECT_EQ(kit::monitors::wine::PortsOf(kUsbMonitor), std::vector<std::wstring>{kPort});

  PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
  HANDLE xcv = nullptr;
  const std::wstring object = std::wstring(L",XcvMonitor ") + kUsbMonitor;
  ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(object.c_str()), &xcv, &defaults)) << GetLastError();
  wchar_t out[64] = {};
  DWORD needed = 0, status = 0xFFFF;
  ASSERT_TRUE(XcvDataW(xcv, L"MonitorUI", nullptr, 0, reinterpret_cast<BYTE*>(out), sizeof out, &needed, &status));
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(std::wstring(out), L"KVRUSBUI.DLL");
  const wchar_t other[] = L"USB_VRT-Q40_2";
  ASSERT_TRUE(XcvDataW(xcv, L"PortIsValid", reinterpret_cast<BYTE*>(const_cast<wchar_t*>(other)), sizeof other,
                       nullptr, 0, &needed, &status));
  EXPECT_EQ(status, static_cast<DWORD>(ERROR_INVALID_NAME));
  ClosePrinter(xcv);
}

// The test printer's driver: Wine's PostScript driver library with the
// serial tests' PPD, naming the language monitor.
bool InstallDriver() {
  DRIVER_INFO_3W driver{};
  driver.cVersion = 3;
  driver.pName = const_cast<wchar_t*>(kDriver);
  driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
  driver.pDataFile = const_cast<wchar_t*>(L"kvserial.ppd");
  driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
  driver.pMonitorName = const_cast<wchar_t*>(kLanguageMonitor);
  return AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&driver)) ||
         GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

DWORD WINAPI PrintJob(void*) {
  HANDLE printer = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(kPrinter), &printer, nullptr)) return 1;
  const char* text = std::getenv("KIT_USB_JOB_TEXT");
  DOC_INFO_1W doc{const_cast<wchar_t*>(L"usb monitor job"), nullptr, const_cast<wchar_t*>(L"RAW")};
  DWORD result = 2;
  if (text != nullptr && StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&doc)) != 0) {
    DWORD written = 0;
    const BOOL wrote = WritePrinter(printer, const_cast<char*>(text), static_cast<DWORD>(strlen(text)), &written);
    result = EndDocPrinter(printer) && wrote && written == strlen(text) ? 0 : 3;
  }
  ClosePrinter(printer);
  return result;
}

// What the spooler shows of the printer's jobs: "status text|status bits"
// for each, joined by spaces.
std::string JobStates() {
  HANDLE printer = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(kPrinter), &printer, nullptr)) return "(no printer)";
  DWORD needed = 0, returned = 0;
  EnumJobsW(printer, 0, 16, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  std::string out;
  if (EnumJobsW(printer, 0, 16, 1, buffer.data(), needed, &needed, &returned)) {
    const auto* jobs = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
      const std::wstring text = jobs[i].pStatus ? jobs[i].pStatus : L"";
      out += (out.empty() ? "" : " ") + std::string(text.begin(), text.end()) + "|" + std::to_string(jobs[i].Status);
    }
  }
  ClosePrinter(printer);
  return out.empty() ? "(no job listed)" : out;
}

// A raw job in a thread of its own, so that a spooler that keeps it
// waiting does not hold the test.
class Job {
 public:
  Job() : thread_(CreateThread(nullptr, 0, PrintJob, nullptr, 0, nullptr)) {}
  ~Job() {
    if (thread_ != nullptr) CloseHandle(thread_);
  }
  // The thread's result (0 when every call succeeded), or WAIT_TIMEOUT
  // while it still runs after `ms`.
  DWORD Wait(DWORD ms) {
    if (thread_ == nullptr) return 98;
    DWORD code = WaitForSingleObject(thread_, ms);
    if (code == WAIT_OBJECT_0) GetExitCodeThread(thread_, &code);
    return code;
  }

 private:
  HANDLE thread_;
};

// The status text the spooler keeps for a job; "(no job N)" when GetJob
// does not find it.
std::wstring JobStatusText(HANDLE printer, DWORD id) {
  DWORD needed = 0;
  GetJobW(printer, id, 1, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed + sizeof(JOB_INFO_1W));
  if (!GetJobW(printer, id, 1, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
    return L"(no job " + std::to_wstring(id) + L")";
  }
  const auto* info = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
  return info->pStatus ? info->pStatus : L"";
}

// A monitor module loaded into this process and initialised as the
// spooler does it: InitializePrintMonitor2 with a MONITORINIT (the kit's
// monitors keep their settings through the registry functions of the
// system, so its own are left empty) for the monitor's handle and table.
struct LoadedMonitor {
  explicit LoadedMonitor(const wchar_t* file) : module(LoadLibraryW(file)) {
    using Initialize = LPMONITOR2(WINAPI*)(PMONITORINIT, PHANDLE);
    auto initialize = reinterpret_cast<Initialize>(
        reinterpret_cast<void*>(GetProcAddress(module, "InitializePrintMonitor2")));
    MONITORINIT init{};
    init.cbSize = sizeof init;
    if (initialize != nullptr) table = initialize(&init, &handle);
  }
  ~LoadedMonitor() {
    if (table != nullptr && table->pfnShutdown != nullptr) table->pfnShutdown(handle);
    if (module != nullptr) FreeLibrary(module);
  }
  HMODULE module;
  HANDLE handle = nullptr;
  LPMONITOR2 table = nullptr;
};

// Both monitors driven as Windows' spooler drives a language monitor
// (Microsoft's documentation of language monitors and of OpenPortEx: the
// language monitor gets the port monitor's handle and MONITOR2 table, and
// the job's calls go to the language monitor). Wine's own spooler does not
// call language monitors, so this test plays the spooler's part; the job
// the language monitor reports on is one this test keeps spooling in
// Wine's queue. KvUsbInt.dll is not yet where the port monitor looks.
TEST(UsbMonitorUnderWine, TheLanguageMonitorPassesAJobThroughAndSetsItsStatus) {
  ASSERT_TRUE(InstallDriver()) << GetLastError();
  ASSERT_TRUE(kit::monitors::wine::AddRawPrinter(kPrinter, kPort, kDriver)) << GetLastError();
  const std::wstring system = SystemFolder();
  DeleteFileW((system + L"\\KvUsbInt.dll").c_str());

  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(kPrinter), &printer, nullptr)) << GetLastError();
  DOC_INFO_1W doc{const_cast<wchar_t*>(L"held job"), nullptr, const_cast<wchar_t*>(L"RAW")};
  const DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&doc));
  ASSERT_NE(job, 0u) << GetLastError();

  LoadedMonitor port_monitor(L"KVRUSBMON.DLL");
  LoadedMonitor language_monitor(L"KVRLMON.DLL");
  ASSERT_NE(port_monitor.table, nullptr);
  ASSERT_NE(language_monitor.table, nullptr);
  ASSERT_NE(language_monitor.table->pfnOpenPortEx, nullptr);
  EXPECT_EQ(language_monitor.table->pfnEnumPorts, nullptr) << "a language monitor has no ports";
  HANDLE port = nullptr;
  ASSERT_TRUE(language_monitor.table->pfnOpenPortEx(language_monitor.handle, port_monitor.handle,
                                                    const_cast<wchar_t*>(kPort), const_cast<wchar_t*>(kPrinter),
                                                    &port, port_monitor.table))
      << GetLastError();
  ASSERT_TRUE(language_monitor.table->pfnStartDocPort(port, const_cast<wchar_t*>(kPrinter), job, 1,
                                                      reinterpret_cast<BYTE*>(&doc)))
      << GetLastError();

  const char* text = std::getenv("KIT_LM_JOB_TEXT");
  ASSERT_NE(text, nullptr);
  const auto size = static_cast<DWORD>(strlen(text));
  auto* bytes = reinterpret_cast<BYTE*>(const_cast<char*>(text));
  // No library: the port takes nothing, the call returns after its pause,
  // and the job says why it waits.
  DWORD written = 99;
  ASSERT_TRUE(language_monitor.table->pfnWritePort(port, bytes, size, &written)) << GetLastError();
  EXPECT_EQ(written, 0u);
  // The language monitor gives the job its status with SetJob (level 1,
  // pStatus); Wine's spooler keeps only a job's title from it, so the
  // script counts the calls in Wine's trace instead of reading them back.
  std::printf("the job's status while the port takes nothing, as the queue keeps it: \"%ls\"\n",
              JobStatusText(printer, job).c_str());

  // The library and the printer with the port's id: the same call again
  // sends everything, and the job's status is cleared.
  ASSERT_TRUE(PlugInPrinters(system)) << GetLastError();
  ASSERT_TRUE(language_monitor.table->pfnWritePort(port, bytes, size, &written)) << GetLastError();
  EXPECT_EQ(written, size);
  // The library offers no reads, and the language monitor says so as the
  // port monitor does.
  BYTE in[8];
  DWORD read = 99;
  EXPECT_FALSE(language_monitor.table->pfnReadPort(port, in, sizeof in, &read));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_TRUE(language_monitor.table->pfnEndDocPort(port)) << GetLastError();
  EXPECT_TRUE(language_monitor.table->pfnClosePort(port)) << GetLastError();

  // The held job goes without printing; the next test starts without the
  // library again.
  EXPECT_TRUE(SetJobW(printer, job, 0, nullptr, JOB_CONTROL_DELETE)) << GetLastError();
  EndDocPrinter(printer);
  ClosePrinter(printer);
  DeleteFileW((system + L"\\UsbPrinters.txt").c_str());
}

TEST(UsbMonitorUnderWine, AJobGoesToThePrinterWithThePortsId) {
  ASSERT_TRUE(InstallDriver()) << GetLastError();
  ASSERT_TRUE(kit::monitors::wine::AddRawPrinter(kPrinter, kPort, kDriver)) << GetLastError();
  const std::wstring system = SystemFolder();

  // Without KvUsbInt.dll the port opens no printer: its first write takes
  // nothing after the retry pause. Windows' spooler calls again and the
  // job waits; Wine's print processor ends the job there (seen in its
  // trace), so under Wine this job does not print. Either way no byte may
  // reach a printer, which the script checks.
  DeleteFileW((system + L"\\KvUsbInt.dll").c_str());
  auto first = std::make_unique<Job>();
  const DWORD without = first->Wait(20000);
  std::printf("without KvUsbInt.dll: the job %s; the queue shows: %s\n",
              without == WAIT_TIMEOUT ? "waits" : without == 0 ? "ended as printed" : "failed",
              JobStates().c_str());
  std::fflush(stdout);

  // The library and two printers beside it: id 5 (another port's) at
  // index 0, id 0 (this port's, index 1) at index 1.
  ASSERT_TRUE(PlugInPrinters(system)) << GetLastError();
  // A waiting job now goes out; after one the spooler ended, a second one.
  if (without != WAIT_TIMEOUT) first = std::make_unique<Job>();
  EXPECT_EQ(first->Wait(30000), 0u) << "StartDocPrinter, WritePrinter or EndDocPrinter failed, or the job still waits";
  std::printf("with the library and the printer: the queue shows: %s\n", JobStates().c_str());
}

}  // namespace usb_monitor_wine
