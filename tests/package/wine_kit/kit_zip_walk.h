// What the kit zip walks read of the machine and of the unpacked kit, and
// the hosts they open the kit's plug-in from (Windows builds, run under Wine
// by kit_zip_wine_test.sh).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/plugin/core/sheets/plugin_sheets_win32.h"

namespace kit::package::testing {

namespace sheets = kit::plugin::sheets::testing;

inline constexpr DWORD kPollMs = 50;
inline constexpr DWORD kPaintMs = 100;
inline constexpr wchar_t kDriverName[] = L"VRT-Q40";
// The system's print processor, which the kit's printers use and which the
// kit neither registers nor removes.
inline constexpr wchar_t kPrintProcessor[] = L"WinPrint";
// The printer an install on LPT1: adds.
inline constexpr wchar_t kPrinter[] = L"VRT-Q40(P)";
// The spooler's environments, and the machine types of PE headers.
inline constexpr wchar_t kEnvironment64[] = L"Windows x64";
inline constexpr wchar_t kEnvironment32[] = L"Windows NT x86";
inline constexpr WORD kMachineAmd64 = 0x8664, kMachineI386 = 0x014C;
// The USB port of the walk; the wizard writes its install record when
// Install is pressed.
inline constexpr wchar_t kUsbPort[] = L"USB_VRT-Q40_1";

// An environment variable's path as a Windows path; KIT_FOLDER, the
// unpacked kit.
std::wstring Env(const char* name);
std::wstring Kit();
// The screenshot `name` of this walk (named after KIT_SHOTS).
std::string Shot(const std::string& name);

bool Is64BitProgram();
bool On64BitWindows();
// The environment of the machine's own drivers.
const wchar_t* MachineEnvironment();
// Whether the kit's driver is registered under `environment`.
bool DriverIn(const wchar_t* environment);

// The machine type a PE file's header names; 0 when the file is missing or
// no PE file.
WORD PeMachine(const std::wstring& path);

// The machine type of the plug-in in an environment's driver folder.
WORD PluginMachineIn(const wchar_t* environment);

// The 32-bit setup of the x86 kit on 64-bit Windows.
bool SetupRunsUnderWow64();

// Whether HKLM's port record names the USB port, in one registry view.
bool PortRecordIn(REGSAM view);

std::vector<std::uint8_t> ReadAll(const std::wstring& path);
// A value of the printer's record as the spooler keeps it; "(none)".
std::wstring PrinterValue(const wchar_t* value);
bool PrinterListed();

// The printer as the spooler opens it for use; null when it refuses.
HANDLE OpenKitPrinter();

// What the spooler handed on to the port's file once `size` bytes are
// there (or five seconds passed), and nothing more follows.
std::vector<std::uint8_t> Printed(const std::wstring& port_file, std::size_t size);

// A 16 x 8 one-bit logo, every dot black (palette: white, black), its row
// padding set too.
std::vector<std::uint8_t> BlackLogo();

// The installed printer opened for use, as a host opens it for its sheets;
// null when the spooler refuses.
HANDLE OpenForTheSheets();
// Wine gap (see the install): the record its AddPrinterW left for a printer
// its OpenPrinter then refuses, removed through the spooler after writing
// the data type Windows keeps; true when no such printer is left.
bool DeleteUnopenablePrinter(const wchar_t* name);

// A program of the kit started by a step; ended when the step leaves it
// running (a failed step must not leave its windows on the display).
struct Started {
  PROCESS_INFORMATION process{};
  Started() = default;
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;
  ~Started() {
    if (process.hProcess == nullptr) return;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  bool Start(std::wstring command, const std::wstring& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &process);
  }
  bool Ended() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }
};

// The kit's plug-in of the host's own bitness, with its default record (as
// the universal driver asks for it) and the parameters the universal driver
// passes it for one printer.
struct PluginHost {
  explicit PluginHost(HANDLE printer);
  sheets::LoadedPlugin plugin;
  char16_t name[32] = u"VRT-Q40(P)";
  std::vector<std::uint8_t> record = std::vector<std::uint8_t>(1976);
  kit::plugin::com::OEMCUIPPARAM cuip{};
  kit::plugin::com::OEMUIPSPARAM ps{};
  HRESULT defaults = E_FAIL;  // the plug-in's answer to OEMDM_DEFAULT
};

}  // namespace kit::package::testing
