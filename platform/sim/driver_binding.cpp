#include "platform/sim/driver_binding.h"

#include "platform/sim/spooler_internal.h"

namespace kit::sim {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kDriversDirId[] = u"12";
constexpr char16_t kPrinterClass[] = u"Printer";
constexpr char16_t kUsbPrintEnumerator[] = u"USBPRINT\\";
constexpr char16_t kBuiltInProcessor[] = u"winprint";
// The driver a printer-class package names: the universal driver with the
// package's model data.
constexpr std::uint32_t kClassDriverVersion = 3;
constexpr char16_t kUnidrvDriver[] = u"UNIDRV.DLL";
constexpr char16_t kUnidrvConfig[] = u"UNIDRVUI.DLL";
constexpr char16_t kRawDataType[] = u"RAW";
constexpr int kMaxUsbPorts = 999;

WString Folder(WStringView path) {
  const auto slash = path.find_last_of(u"\\/");
  return WString(slash == WStringView::npos ? WStringView() : path.substr(0, slash));
}

// The model line of the package that names `hardware_id` (in any of its
// models sections), or null.
const InfLine* ModelLine(const InfText& inf, WStringView hardware_id) {
  const InfSection* manufacturers = inf.Find(u"Manufacturer");
  if (!manufacturers) return nullptr;
  for (const InfLine& m : manufacturers->lines) {
    if (m.fields.empty()) continue;
    // "models, NTx86, NTamd64": the plain section and its decorated forms.
    std::vector<WString> names = {m.fields[0]};
    for (std::size_t i = 1; i < m.fields.size(); ++i) names.push_back(m.fields[0] + u"." + m.fields[i]);
    for (const WString& name : names) {
      const InfSection* models = inf.Find(name);
      if (!models) continue;
      for (const InfLine& line : models->lines) {
        for (std::size_t i = 1; i < line.fields.size(); ++i) {
          if (EqualsNoCase(line.fields[i], hardware_id)) return &line;
        }
      }
    }
  }
  return nullptr;
}

const InfSection* InstallSection(const InfText& inf, const InfLine& model) {
  if (model.fields.empty()) return nullptr;
  const InfSection* nt = inf.Find(model.fields[0] + u".NT");
  return nt ? nt : inf.Find(model.fields[0]);
}

WString Value(const InfSection& section, WStringView key) {
  for (const InfLine& l : section.lines) {
    if (EqualsNoCase(l.key, key) && !l.fields.empty()) return l.fields[0];
  }
  return {};
}

// The destination folder id of a copy-files section.
WString DestinationDirId(const InfText& inf, WStringView copy_section) {
  const InfSection* dirs = inf.Find(u"DestinationDirs");
  if (!dirs) return {};
  const WString own = Value(*dirs, copy_section);
  return own.empty() ? Value(*dirs, u"DefaultDestDir") : own;
}

// Copies the install section's files bound for the drivers folder.
bool CopyDriverFiles(Core& core, Json& s, const InfText& inf, const InfSection& install, WStringView inf_path) {
  const WString drivers = Core::WindowsDirectory(s) + u"\\system32\\drivers";
  for (const InfLine& l : install.lines) {
    if (!EqualsNoCase(l.key, u"CopyFiles")) continue;
    for (const WString& section_name : l.fields) {
      if (DestinationDirId(inf, section_name) != kDriversDirId) continue;
      const InfSection* files = inf.Find(section_name);
      if (!files) continue;
      for (const InfLine& f : files->lines) {
        const WString name = f.key.empty() ? (f.fields.empty() ? WString() : f.fields[0]) : f.key;
        if (name.empty()) continue;
        ResolvedPath from, to;
        if (!core.Resolve(s, Folder(inf_path) + u"\\" + name, false, &from) ||
            !core.Resolve(s, drivers + u"\\" + name, false, &to)) {
          return false;
        }
        std::error_code ec;
        if (!fs::is_regular_file(from.host, ec)) return Core::Fail(win32::kErrorFileNotFound);
        fs::create_directories(to.host.parent_path(), ec);
        fs::copy_file(from.host, to.host, fs::copy_options::overwrite_existing, ec);
        if (ec) return Core::Fail(win32::kErrorAccessDenied);
        // A version the machine keeps for the package's file goes with it.
        Json& records = s["files"];
        if (records.contains(from.key)) {
          records[to.key] = records[from.key];
        } else {
          records.erase(to.key);
        }
      }
    }
  }
  return true;
}

// The device's "USB00n" port: the one it had, or the next free number.
WString UsbPort(Json& sp, Json& device) {
  WString port = JsonText(device, "port");
  if (port.empty()) {
    for (int n = 1; n <= kMaxUsbPorts && port.empty(); ++n) {
      char digits[8];
      std::snprintf(digits, sizeof digits, "%03d", n);
      const WString name = WString(kUsbPortPrefix) + FromUtf8(digits);
      if (!spool::FindByName(sp["ports"], name)) port = name;
    }
    device["port"] = U8(port);
  }
  if (!spool::FindByName(sp["ports"], port)) {
    sp["ports"].push_back({{"name", U8(port)}, {"monitor", kUsbMonitorName}, {"description", kUsbPortDescription},
                           {"type", 3}});
  }
  return port;
}

// The printer-class package's driver and printer, named by the model line.
void CreateClassPrinter(Json& s, Json& device, const InfLine& model, const InfSection* install) {
  const WString name = model.key;
  if (name.empty()) return;
  auto& sp = s["spooler"];
  const WString env = Core::Is64BitMachine(s) ? u"Windows x64" : u"Windows NT x86";
  if (!spool::FindForEnvironment(sp["drivers"], name, env)) {
    // The class installer registers the package's Unidrv driver as
    // AddPrinterDriverEx would, its files already in place.
    DriverInfo3 driver;
    driver.version = kClassDriverVersion;
    driver.name = name;
    driver.environment = env;
    driver.driver_path = kUnidrvDriver;
    driver.data_file = install ? Value(*install, u"DataFile") : WString();
    driver.config_file = kUnidrvConfig;
    driver.default_data_type = kRawDataType;
    spool::StoreDriverRecord(sp, driver, env, Json::array());
  }
  const WString port = UsbPort(sp, device);
  if (Json* existing = spool::FindByName(sp["printers"], name)) {
    (*existing)["port"] = U8(port);  // the same model bound again keeps its printer
    return;
  }
  PrinterInfo2 printer;
  printer.printer_name = name;
  printer.port_name = port;
  printer.driver_name = name;
  printer.print_processor = kBuiltInProcessor;
  printer.datatype = kRawDataType;
  printer.attributes = kPrinterAttributeQueued | kPrinterAttributeLocal;
  spool::StorePrinterRecord(sp, spool::PrinterRecord(printer));
}

}  // namespace

bool ApplyDriverBinding(Core& core, Json& s, Json& device, const InfText& inf, WStringView inf_path,
                        WStringView hardware_id) {
  const InfLine* model = ModelLine(inf, hardware_id);
  const InfSection* install = model ? InstallSection(inf, *model) : nullptr;
  if (install && !CopyDriverFiles(core, s, inf, *install, inf_path)) return false;
  const bool usbprint = hardware_id.size() > WStringView(kUsbPrintEnumerator).size() &&
                        EqualsNoCase(hardware_id.substr(0, WStringView(kUsbPrintEnumerator).size()), kUsbPrintEnumerator);
  if (model && usbprint && EqualsNoCase(inf.VersionValue(u"Class"), kPrinterClass)) {
    CreateClassPrinter(s, device, *model, install);
  }
  return true;
}

}  // namespace kit::sim
