#include "setup/config/model_config.h"

#include "common/oscode/os_code.h"

namespace kit::setup {
namespace {

constexpr std::string_view kMonitorSectionPrefix = "COMMON-MONITOR";
constexpr std::string_view kPortSectionSuffix = ".PORT";
constexpr std::string_view kDefaultInfFileName = "err";

std::string_view FlavourPrefix(Flavour flavour) { return flavour == Flavour::kGdi ? "GDI" : "STD"; }

std::string Key(std::string_view prefix, std::string_view name) {
  std::string key(prefix);
  key += name;
  return key;
}

}  // namespace

PortConfig ReadPortConfig(const CPrinterInfManager& config, Series series,
                          std::string_view model) {
  const std::string section = std::string(model) + std::string(kPortSectionSuffix);
  auto integer = [&](std::string_view key) { return config.ReadSeriesInt(series, section, key); };
  PortConfig port;
  port.usb_supported = integer("USBSUPPORTED");
  port.lpt_supported = integer("LPTSUPPORTED");
  port.com_supported = integer("COMSUPPORTED");
  port.net_supported = integer("NETSUPPORTED");
  port.lpt_default = integer("LPTDEFAULT");
  port.common_name =
      config.ReadSeriesString(series, section, "COMMONNAME", kDefaultCommonName, kFileCapacity);
  port.raster_visible = integer("RASTERVISIABLE");
  port.advanced_setup = integer("AdvancedSetup");
  port.baud_rate = integer("BaudRate");
  port.system_nt_supported = integer("SystemNTSupported");
  port.system_2003_supported = integer("System2003Supported");
  port.system_vista_supported = integer("SystemVistaSupported");
  port.system_2008_supported = integer("System2008Supported");
  port.system_win7_supported = integer("SystemWin7Supported");
  return port;
}

DriverDescription ReadDriverDescription(const CPrinterInfManager& config, Series series,
                                        std::string_view model, int os_code, Flavour flavour) {
  DriverDescription d;
  const std::string_view suffix = SetupSectionSuffix(os_code);
  if (suffix.empty()) return d;
  const std::string section = std::string(model) + std::string(suffix);
  const std::string_view f = FlavourPrefix(flavour);
  auto name = [&](std::string_view key) { return config.ReadSeriesName(series, section, key); };
  auto file = [&](std::string_view key) { return config.ReadSeriesFile(series, section, key); };

  d.gdi_driver_name = name("GDIDRIVERNAME");
  d.driver_name = {name("DriverNameS"), name("DriverNameP"), name("DriverNameU"),
                   name("DriverNameN")};
  d.print_processor = name(Key(f, "PrintProcessor"));
  d.attributes = LeadingDecimal(
      config.ReadSeriesString(series, section, "ATTRIBUTES", kAbsentValue, kAttributesCapacity));
  d.driver_path = file(Key(f, "DriverPath"));
  d.data_file = file(Key(f, "DataFile"));
  d.config_file = file(Key(f, "ConfigFile"));
  d.help_file = file(Key(f, "HelpFile"));
  d.processor_dll = file(Key(f, "ProcessorDLLName"));
  d.dependent_file = file(Key(f, "DataFileDLLName"));
  d.oem_ui_dll = file(Key(f, "DataOemuiDLL"));
  d.oem_render_dll = file(Key(f, "DataOemuniDLL"));
  d.oem_render_ini = file(Key(f, "DataOemuniini"));
  d.control_font_file = file("ControlFontFile");
  d.usb_internal_id = file("USBInternalID");
  for (int i = 0; i < kLanguageResourceFileCount; ++i) {
    d.language_resource_files[i] = file("LanguageResourceFile" + std::to_string(i + 1));
  }
  d.driver_log_viewer = file("DriverlogViewer");
  d.driver_log_ini = file("DriverlogINI");
  d.depends_on_unidrv = config.ReadSeriesInt(series, section, Key(f, "2KDDKDEV"));
  return d;
}

MonitorSet ReadMonitorSet(const CPrinterInfManager& config, int os_code) {
  MonitorSet set;
  const std::string_view suffix = SetupSectionSuffix(os_code);
  if (suffix.empty()) return set;
  const std::string section = std::string(kMonitorSectionPrefix) + std::string(suffix);
  auto name = [&](std::string_view key) { return config.ReadName(kSetupIni, section, key); };
  auto file = [&](std::string_view key) { return config.ReadFile(kSetupIni, section, key); };
  auto integer = [&](std::string_view key) { return config.ReadInt(kSetupIni, section, key); };

  // The language monitor counts as absent only when all three keys come back
  // as the default; then it has no name, no DLL and version 0.
  const std::string lang_name = name("USBLMONitorName");
  const std::string lang_dll = file("USBLMONitorDLLName");
  const std::string lang_version =
      config.ReadString(kSetupIni, section, "USBLMONitorVersion", kAbsentValue,
                        kMonitorVersionCapacity);
  if (lang_name == kAbsentValue && lang_dll == kAbsentValue && lang_version == kAbsentValue) {
    set.language = {};
  } else {
    set.language = {lang_name, lang_dll, {}, LeadingDecimal(lang_version)};
  }

  set.usb = {name("USBMONitorPName"), file("USBMONitorPDLLName"), name("USBMONitorPUIDLLName"),
             integer("USBMONitorVersion")};
  set.serial = {name("COMMONitorPName"), file("COMMONitorPDLLName"),
                name("COMMONitorPUIDLLName"), integer("COMMONitorVersion")};
  set.com_monitor_visible = integer("COMMonitorVisiable");
  return set;
}

PackageSwitches ReadPackageSwitches(const CPrinterInfManager& config) {
  PackageSwitches s;
  s.default_name = config.ReadDeviceNameInt("DEFAULTNAME");
  s.load_license = config.ReadDeviceNameInt("LOADLICENSE");
  s.language = config.ReadDeviceNameInt("LANGUAGE");
  s.supported_32_or_64 = config.ReadDeviceNameInt("Supported32OR64");
  s.gdi_std_sign = config.ReadDeviceNameInt("GDISTDSign");
  s.supported_usb_mode = config.ReadDeviceNameInt("SupportedUSBMODE");
  s.inf_file_name = config.ReadString(kSetupIni, kDeviceNameSection, "Inffilename",
                                      kDefaultInfFileName, kFileCapacity);
  return s;
}

int ReadProcessorVersion(const CPrinterInfManager& config) {
  return config.ReadInt(kSetupIni, "ProcessorVersion", "DriverVersion");
}

int ReadSupportedUsbDevice(const CPrinterInfManager& config, std::string_view port_name) {
  return config.ReadInt(kSetupIni, "SUPPORTED-USB-DEVICE", port_name);
}

std::string ReadUsbClassPrinterId(const CPrinterInfManager& config, std::string_view model,
                                  std::string_view suffix) {
  return config.ReadString(kSetupIni, "USBCLASSPRINTER", std::string(model) + std::string(suffix),
                           kNoHardwareId, kFileCapacity);
}

}  // namespace kit::setup
