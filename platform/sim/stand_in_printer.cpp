#include "platform/sim/stand_in_printer.h"

#include "common/oscode/os_version.h"
#include "platform/sim/core.h"

namespace kit::sim {
namespace {

constexpr char16_t kBuiltInProcessor[] = u"winprint";
constexpr const char16_t* kDriverFiles[] = {u"KITSTANDIN.DLL", u"KITSTANDIN.GPD", u"KITSTANDINUI.DLL"};

// Sets the machine's administrator flag; returns what it was.
bool SetAdministrator(Machine& machine, bool administrator) {
  bool was = true;
  std::string message;
  machine.store().Update(
      [&](Json& s) {
        was = s["system"].value("admin", true);
        if (was == administrator) return false;
        s["system"]["admin"] = administrator;
        return true;
      },
      &message);
  return was;
}

std::string Refusal(Platform& p, const char* what) {
  const win32::Error code = p.system.GetLastError();
  return std::string(what) + " (error " + std::to_string(code) + ": " + ToUtf8(p.system.FormatMessage(code)) + ")";
}

}  // namespace

bool AddStandInPrinter(Machine& machine, WStringView name, WStringView port, std::string* error,
                       WStringView driver_name) {
  Platform& p = machine.platform();
  const bool was_administrator = SetAdministrator(machine, true);
  const auto add = [&]() -> std::string {
    // The driver goes into the machine's own environment, the one its
    // printers use, whatever the bitness of the calling tool.
    SystemInfo native;
    const WString environment =
        p.system.GetNativeSystemInfo(&native) && native.processor_architecture == kProcessorArchitectureAmd64
            ? WString(kEnvironmentX64)
            : WString();
    std::vector<DriverInfo3> drivers;
    std::uint32_t needed = 0, returned = 0;
    p.spooler.EnumPrinterDrivers(u"", environment, &drivers, 0, &needed, &returned);
    p.spooler.EnumPrinterDrivers(u"", environment, &drivers, needed, &needed, &returned);
    bool have_driver = false;
    for (const DriverInfo3& d : drivers) have_driver = have_driver || EqualsNoCase(d.name, driver_name);
    if (!have_driver) {
      WString folder;
      if (!p.spooler.GetPrinterDriverDirectory(u"", environment, &folder)) return Refusal(p, "no printer-driver folder");
      for (const char16_t* file : kDriverFiles) {
        if (!p.files.WriteFile(folder + u"\\" + file, Bytes{'M', 'Z'}, WriteMode::kCreateAlways)) {
          return Refusal(p, "cannot place the stand-in driver's files");
        }
      }
      DriverInfo3 driver;
      driver.name = WString(driver_name);
      driver.environment = environment;
      driver.driver_path = kDriverFiles[0];
      driver.data_file = kDriverFiles[1];
      driver.config_file = kDriverFiles[2];
      driver.default_data_type = u"RAW";
      if (!p.spooler.AddPrinterDriver(u"", driver)) return Refusal(p, "the spooler refused the stand-in driver");
    }
    PrinterInfo2 info;
    info.printer_name = WString(name);
    info.port_name = WString(port);
    info.driver_name = WString(driver_name);
    info.print_processor = kBuiltInProcessor;
    info.datatype = u"RAW";
    info.attributes = kPrinterAttributeQueued | kPrinterAttributeLocal;
    PrinterHandle printer;
    if (!p.spooler.AddPrinter(u"", info, &printer)) return Refusal(p, "the spooler refused the printer");
    return {};
  };
  const std::string refusal = add();
  if (!was_administrator) SetAdministrator(machine, false);
  if (!refusal.empty()) {
    if (error != nullptr) *error = refusal;
    return false;
  }
  return true;
}

}  // namespace kit::sim
