#include "platform/default_printer.h"

namespace kit {
namespace {

constexpr std::uint32_t kFirstNt5Major = 5;

// Opens the printer and reads its PRINTER_INFO_2 (size query, then read).
bool ReadPrinter(Spooler& spooler, WStringView name, PrinterHandle* printer, PrinterInfo2* info) {
  PrinterDefaults defaults;
  defaults.desired_access = kPrinterAllAccess;
  if (!spooler.OpenPrinter(name, defaults, printer) || !*printer) return false;
  std::uint32_t needed = 0;
  (*printer)->GetPrinter(2, info, 0, &needed);
  if (needed == 0) return false;
  *info = PrinterInfo2{};
  return (*printer)->GetPrinter(2, info, needed, &needed);
}

}  // namespace

bool MakeDefaultPrinter(const DefaultPrinterCalls& calls, WStringView printer_name) {
  OsVersionInfo version;
  if (!calls.system.GetVersionEx(&version)) return false;

  if (version.platform_id == kVerPlatformWin32Windows) {
    PrinterHandle printer;
    PrinterInfo2 info;
    if (!ReadPrinter(calls.spooler, printer_name, &printer, &info)) return false;
    info.attributes |= kPrinterAttributeDefault;
    if (!printer->SetPrinter(info)) return false;
    calls.shell.BroadcastSettingChange(kProfileWindowsSection, kSettingChangeTimeoutMs);
    return true;
  }

  if (version.major < kFirstNt5Major) {
    PrinterHandle printer;
    PrinterInfo2 info;
    if (!ReadPrinter(calls.spooler, printer_name, &printer, &info)) return false;
    const WString device = WString(printer_name) + u"," + info.driver_name + u"," + info.port_name;
    if (!calls.write_profile || !calls.write_profile(kProfileWindowsSection, kProfileDeviceKey, device)) return false;
    calls.shell.BroadcastSettingChange(u"", kSettingChangeTimeoutMs);
    return true;
  }

  const LibraryHandle winspool = calls.system.LoadLibrary(kWinspoolLibrary);
  if (!winspool || !winspool->HasProc(kSetDefaultPrinterProc)) return false;
  if (!calls.spooler.SetDefaultPrinter(printer_name)) return false;
  calls.shell.BroadcastSettingChange(u"", kSettingChangeTimeoutMs);
  return true;
}

}  // namespace kit
