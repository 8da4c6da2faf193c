#include "tests/package/wine_kit/kit_zip_walk.h"

#include <commctrl.h>
#include <winspool.h>

#include <algorithm>
#include <cstdlib>

#include "tests/setup/wizard_win32/install_walk.h"

namespace kit::package::testing {
namespace {

namespace walk = kit::setup::testing;

constexpr wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers\\";
// The plug-in's file in an environment's version-3 driver folder.
constexpr wchar_t kPluginFile[] = L"\\3\\VRTQ40UI.DLL";
// The kit's plug-in of each bitness.
constexpr wchar_t kPlugin64[] = L"\\W64\\VRTQ40UI.dll";
constexpr wchar_t kPlugin32[] = L"\\W32\\VRTQ40UI.dll";
// The key of the USB port records, in the 64-bit registry view on 64-bit
// Windows.
constexpr wchar_t kPortRecordKey[] = L"SOFTWARE\\VELDRAN\\PORTNAME";
constexpr kit::plugin::com::DWORD kDevModeDefault = 2;  // OEMDM_DEFAULT

}  // namespace

std::wstring Env(const char* name) {
  const char* value = std::getenv(name);
  return walk::WindowsPath(value == nullptr ? "" : value);
}

std::wstring Kit() { return Env("KIT_FOLDER"); }

// The screenshot `name` of this walk.
std::string Shot(const std::string& name) {
  const char* start = std::getenv("KIT_SHOTS");
  return std::string(start == nullptr || *start == 0 ? "kit_zip" : start) + "_" + name;
}

bool Is64BitProgram() { return sizeof(void*) == 8; }
bool On64BitWindows() {
  BOOL wow64 = FALSE;
  return Is64BitProgram() || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}
// The environment of the machine's own drivers.
const wchar_t* MachineEnvironment() { return On64BitWindows() ? kEnvironment64 : kEnvironment32; }

bool DriverIn(const wchar_t* environment) {
  DWORD needed = 0, count = 0;
  EnumPrinterDriversW(nullptr, const_cast<wchar_t*>(environment), 2, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrinterDriversW(nullptr, const_cast<wchar_t*>(environment), 2, buffer.data(), needed, &needed, &count))
    return false;
  const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    if (info[i].pName != nullptr && lstrcmpiW(info[i].pName, kDriverName) == 0) return true;
  return false;
}

// The machine type a PE file's header names; 0 when the file is missing or
// no PE file.
WORD PeMachine(const std::wstring& path) {
  std::vector<std::uint8_t> bytes(4096);
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 0;
  DWORD read = 0;
  if (!ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
  CloseHandle(f);
  bytes.resize(read);
  if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return 0;
  const std::size_t pe = bytes[0x3C] | bytes[0x3D] << 8 | bytes[0x3E] << 16 | std::size_t{bytes[0x3F]} << 24;
  if (pe + 6 > bytes.size() || bytes[pe] != 'P' || bytes[pe + 1] != 'E') return 0;
  return static_cast<WORD>(bytes[pe + 4] | bytes[pe + 5] << 8);
}

// The machine type of the plug-in in an environment's driver folder.
WORD PluginMachineIn(const wchar_t* environment) {
  wchar_t folder[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, const_cast<wchar_t*>(environment), 1,
                                  reinterpret_cast<BYTE*>(folder), sizeof folder, &needed))
    return 0;
  return PeMachine(std::wstring(folder) + kPluginFile);
}

// The 32-bit setup of the x86 kit on 64-bit Windows.
bool SetupRunsUnderWow64() { return On64BitWindows() && PeMachine(Kit() + L"\\kitsetup.exe") == kMachineI386; }

// Whether HKLM's port record names the USB port, in one registry view.
bool PortRecordIn(REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortRecordKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
    return false;
  const bool found = RegQueryValueExW(key, kUsbPort, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return found;
}

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

// What the spooler handed on to the port's file once `size` bytes are
// there (or five seconds passed), and nothing more follows.
std::vector<std::uint8_t> Printed(const std::wstring& port_file, std::size_t size) {
  std::vector<std::uint8_t> printed;
  for (DWORD waited = 0; waited < 5000 && printed.size() < size; waited += kPollMs) {
    Sleep(kPollMs);
    printed = ReadAll(port_file);
  }
  Sleep(kPaintMs);
  return ReadAll(port_file);
}

// A 16 x 8 one-bit logo, every dot black (palette: white, black), its row
// padding set too.
std::vector<std::uint8_t> BlackLogo() {
  constexpr std::uint32_t kWidth = 16, kHeight = 8, kStride = 4, kBits = 62;
  constexpr std::uint32_t kSize = kBits + kStride * kHeight;
  std::vector<std::uint8_t> b(kSize, 0);
  auto put16 = [&](std::size_t at, std::uint32_t v) { b[at] = v & 0xFF, b[at + 1] = v >> 8 & 0xFF; };
  auto put32 = [&](std::size_t at, std::uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); };
  b[0] = 'B', b[1] = 'M';
  put32(2, kSize);
  put32(10, kBits);
  put32(14, 40);
  put32(18, kWidth);
  put32(22, kHeight);
  put16(26, 1);
  put16(28, 1);
  put32(34, kStride * kHeight);
  put32(46, 2);
  b[54] = b[55] = b[56] = 0xFF;  // entry 0 white; entry 1 (58..61) black
  std::fill(b.begin() + kBits, b.end(), 0xFF);
  return b;
}

// The installed printer opened for use, as a host opens it for its sheets;
// null when the spooler refuses.
HANDLE OpenForTheSheets() {
  HANDLE printer = OpenKitPrinter();
  if (printer == nullptr) {
    // Wine gap (see the install): the value Windows keeps for a printer
    // added without a data type.
    if (RegSetKeyValueW(HKEY_LOCAL_MACHINE, (std::wstring(kPrintersKey) + kPrinter).c_str(), L"Datatype", REG_SZ,
                        L"RAW", sizeof L"RAW") != ERROR_SUCCESS)
      return nullptr;
    printer = OpenKitPrinter();
  }
  return printer;
}

bool DeleteUnopenablePrinter(const wchar_t* name) {
  const std::wstring key = std::wstring(kPrintersKey) + name;
  HKEY found = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &found) != ERROR_SUCCESS) return true;
  RegCloseKey(found);
  if (RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Datatype", REG_SZ, L"RAW", sizeof L"RAW") != ERROR_SUCCESS)
    return false;
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE printer = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(name), &printer, &access)) return false;
  const BOOL deleted = DeletePrinter(printer);
  ClosePrinter(printer);
  return deleted != FALSE;
}

PluginHost::PluginHost(HANDLE printer) : plugin(Kit() + (Is64BitProgram() ? kPlugin64 : kPlugin32)) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  if (plugin.ok()) {
    kit::plugin::com::OEMDMPARAM dm{};
    dm.cbSize = sizeof dm;
    dm.hPrinter = printer;
    dm.pOEMDMOut = record.data();
    dm.cbBufSize = static_cast<kit::plugin::com::DWORD>(record.size());
    defaults = plugin.ui()->lpVtbl->DevMode(plugin.ui(), kDevModeDefault, &dm);
  }
  cuip.cbSize = sizeof cuip;
  cuip.hPrinter = printer;
  cuip.pPrinterName = name;
  cuip.pOEMDM = record.data();
  ps.cbSize = sizeof ps;
  ps.hPrinter = printer;
  ps.pPrinterName = name;
  ps.pOEMDM = record.data();
}

}  // namespace kit::package::testing
