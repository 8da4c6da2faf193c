// The serial port monitor in Wine's spooler (Windows build, run by
// serial_monitor_wine_test.sh, which puts KVRCOMMON.DLL into the prefix's
// system folder and maps COM1 to a pseudo-terminal it reads): the monitor
// is added and loaded, lists its ports, answers its XcvData commands and
// stores a port's settings, and a raw job to a printer on KVCOM1: goes
// through it to COM1. The tests run in this order on one prefix.
//
// Environment: KIT_JOB_TEXT, the bytes of the raw job (the script compares
// what COM1 received with them).
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/monitors/wine/spooler_calls.h"

namespace {

using kit::monitors::wine::XcvInput;

constexpr wchar_t kMonitor[] = L"KVR Serial Port";
constexpr wchar_t kMonitorDll[] = L"KVRCOMMON.DLL";
constexpr wchar_t kPrinter[] = L"KV Serial Test";
constexpr wchar_t kDriver[] = L"KV Serial Test Driver";
// ERROR_PRINT_MONITOR_ALREADY_INSTALLED: a rerun on the same prefix.
constexpr DWORD kMonitorAlreadyInstalled = 3006;

std::wstring Wide(const char* text) { return std::wstring(text, text + strlen(text)); }

std::wstring XcvString(const std::vector<BYTE>& bytes) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const wchar_t c = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

TEST(SerialMonitorUnderWine, AddMonitorLoadsTheModule) {
  MONITOR_INFO_2W info{};
  info.pName = const_cast<wchar_t*>(kMonitor);
  info.pDLLName = const_cast<wchar_t*>(kMonitorDll);
  const BOOL added = AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  ASSERT_TRUE(added || GetLastError() == kMonitorAlreadyInstalled) << "AddMonitorW: " << GetLastError();
}

TEST(SerialMonitorUnderWine, ItsEightPortsAreListed) {
  std::vector<std::wstring> expected;
  for (int n = 1; n <= 8; ++n) expected.push_back(L"KVCOM" + std::to_wstring(n) + L":");
  EXPECT_EQ(kit::monitors::wine::PortsOf(kMonitor), expected);
}

TEST(SerialMonitorUnderWine, XcvDataStoresThePortsSettings) {
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
  HANDLE xcv = nullptr;
  const std::wstring object = std::wstring(L",XcvMonitor ") + kMonitor;
  ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(object.c_str()), &xcv, &defaults)) << GetLastError();
  std::vector<BYTE> out(256);
  DWORD needed = 0, status = 0xFFFF;
  ASSERT_TRUE(XcvDataW(xcv, L"MonitorUI", nullptr, 0, out.data(), static_cast<DWORD>(out.size()), &needed, &status));
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(XcvString(out), L"KVRCOMUI.DLL");

  // The job's settings for KVCOM1:, set as the port dialog sets them.
  const std::wstring settings = Wide(std::getenv("KIT_COM1_SETTINGS") ? std::getenv("KIT_COM1_SETTINGS") : "");
  ASSERT_FALSE(settings.empty());
  std::vector<BYTE> in = XcvInput({L"KVCOM1:", settings.c_str()});
  ASSERT_TRUE(XcvDataW(xcv, L"SetPortSettings", in.data(), static_cast<DWORD>(in.size()), nullptr, 0, &needed,
                       &status));
  EXPECT_EQ(status, 0u);
  in = XcvInput({L"KVCOM1:"});
  ASSERT_TRUE(XcvDataW(xcv, L"GetPortSettings", in.data(), static_cast<DWORD>(in.size()), out.data(),
                       static_cast<DWORD>(out.size()), &needed, &status));
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(XcvString(out), settings);
  // Refused: settings no serial port takes, and a port not the monitor's.
  in = XcvInput({L"KVCOM1:", L"9600,n,9,1,p"});
  ASSERT_TRUE(XcvDataW(xcv, L"SetPortSettings", in.data(), static_cast<DWORD>(in.size()), nullptr, 0, &needed,
                       &status));
  EXPECT_EQ(status, static_cast<DWORD>(ERROR_INVALID_DATA));
  in = XcvInput({L"LPT1:"});
  ASSERT_TRUE(XcvDataW(xcv, L"PortIsValid", in.data(), static_cast<DWORD>(in.size()), nullptr, 0, &needed, &status));
  EXPECT_EQ(status, static_cast<DWORD>(ERROR_INVALID_NAME));
  ClosePrinter(xcv);

  // Where the install keeps it: the system's Ports key, under "COM1:".
  wchar_t value[64] = {};
  DWORD size = sizeof value;
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", L"COM1:",
                         RRF_RT_REG_SZ, nullptr, value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(value), settings);
}

// A printer driver for the test printer: Wine's PostScript driver library,
// which a fresh prefix keeps in the driver folder, with a minimal PPD.
bool InstallDriver() {
  wchar_t folder[MAX_PATH] = {};
  DWORD size = sizeof folder;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), size, &size)) return false;
  const std::wstring dir = folder;
  if (!CopyFileW((dir + L"\\3\\wineps.drv").c_str(), (dir + L"\\wineps.drv").c_str(), FALSE)) return false;
  const char ppd[] =
      "*PPD-Adobe: \"4.3\"\r\n*ModelName: \"KV Serial Test\"\r\n*NickName: \"KV Serial Test\"\r\n"
      "*LanguageLevel: \"2\"\r\n*DefaultPageSize: Letter\r\n"
      "*PageSize Letter: \"<</PageSize[612 792]>>setpagedevice\"\r\n*DefaultImageableArea: Letter\r\n"
      "*ImageableArea Letter: \"0 0 612 792\"\r\n*DefaultPaperDimension: Letter\r\n"
      "*PaperDimension Letter: \"612 792\"\r\n";
  HANDLE f = CreateFileW((dir + L"\\kvserial.ppd").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(f, ppd, sizeof ppd - 1, &written, nullptr);
  CloseHandle(f);
  DRIVER_INFO_3W driver{};
  driver.cVersion = 3;
  driver.pName = const_cast<wchar_t*>(kDriver);
  driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
  driver.pDataFile = const_cast<wchar_t*>(L"kvserial.ppd");
  driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
  return AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&driver)) ||
         GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

TEST(SerialMonitorUnderWine, ARawJobGoesThroughTheMonitorToCom1) {
  ASSERT_TRUE(InstallDriver()) << GetLastError();
  ASSERT_TRUE(kit::monitors::wine::AddRawPrinter(kPrinter, L"KVCOM1:", kDriver)) << GetLastError();

  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(kPrinter), &printer, nullptr)) << GetLastError();
  const char* text = std::getenv("KIT_JOB_TEXT");
  ASSERT_NE(text, nullptr);
  DOC_INFO_1W doc{const_cast<wchar_t*>(L"serial monitor job"), nullptr, const_cast<wchar_t*>(L"RAW")};
  ASSERT_NE(StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&doc)), 0u) << GetLastError();
  DWORD written = 0;
  EXPECT_TRUE(WritePrinter(printer, const_cast<char*>(text), static_cast<DWORD>(strlen(text)), &written));
  EXPECT_EQ(written, strlen(text));
  EXPECT_TRUE(EndDocPrinter(printer)) << GetLastError();
  // Wine's spooler hands the job to the port within EndDocPrinter (its
  // EnumJobs lists nothing): the script checks what COM1 received.
  ClosePrinter(printer);
}

}  // namespace
