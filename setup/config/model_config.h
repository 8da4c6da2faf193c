// The typed records the wizard reads from its configuration: a model's port
// section, its driver description for one Windows and driver flavour, the
// port monitors of one Windows, and the package-wide switches.
// This file is OS-independent.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "setup/config/printer_inf_manager.h"

namespace kit::setup {

// The default serial-port name prefix when a model names none.
inline constexpr std::string_view kDefaultCommonName = "KVCOM";
// ATTRIBUTES is read into a 50-byte buffer, the language monitor's version
// into a 10-byte one.
inline constexpr std::size_t kAttributesCapacity = 50;
inline constexpr std::size_t kMonitorVersionCapacity = 10;
inline constexpr int kLanguageResourceFileCount = 9;

// The driver flavour: STD (0) or GDI, the raster flavour (1).
enum class Flavour : int { kStd = 0, kGdi = 1 };

// The model's "<model>.PORT" section of its per-series file.
struct PortConfig {
  int usb_supported = 0;
  int lpt_supported = 0;
  int com_supported = 0;
  int net_supported = 0;
  int lpt_default = 0;            // 1: first LPT port, 2: the USB port, when none is detected
  std::string common_name;        // serial port name prefix (default "KVCOM")
  int raster_visible = 0;         // RASTERVISIABLE: 0 shows the raster check box, 1 hides it
  int advanced_setup = 0;         // non-zero: Advanced mode may be chosen
  int baud_rate = 0;
  int system_nt_supported = 0;    // OS code 1
  int system_2003_supported = 0;  // OS code 4
  int system_vista_supported = 0; // OS code 5
  int system_2008_supported = 0;  // OS code 6
  int system_win7_supported = 0;  // OS code 7
};

// The model's driver description for one Windows ("<model>.XP", …) and one
// flavour. File fields hold "0" or "" when the key names no file.
struct DriverDescription {
  std::string gdi_driver_name;            // driver name on OS codes 0 and 1
  std::array<std::string, 4> driver_name; // by port kind: serial, parallel, USB, network
  std::string print_processor;
  int attributes = 0;
  std::string driver_path;
  std::string data_file;
  std::string config_file;
  std::string help_file;
  std::string processor_dll;
  std::string dependent_file;   // DataFileDLLName
  std::string oem_ui_dll;       // DataOemuiDLL
  std::string oem_render_dll;   // DataOemuniDLL
  std::string oem_render_ini;   // DataOemuniini
  std::string control_font_file;
  std::string usb_internal_id;
  std::array<std::string, kLanguageResourceFileCount> language_resource_files;
  std::string driver_log_viewer;
  std::string driver_log_ini;
  int depends_on_unidrv = 0;    // 2KDDKDEV
};

// One port monitor as configured: name, DLL, UI DLL and version.
struct MonitorConfig {
  std::string name;
  std::string dll;
  std::string ui_dll;
  int version = 0;
};

// The "COMMON-MONITOR<suffix>" section of setup.ini for one Windows.
struct MonitorSet {
  MonitorConfig language;  // language monitor for USB ports (no UI DLL)
  MonitorConfig usb;
  MonitorConfig serial;
  int com_monitor_visible = 0;  // COMMonitorVisiable
};

// Package-wide switches of setup.ini [DEVICENAME].
struct PackageSwitches {
  int default_name = 0;
  int load_license = 0;
  int language = 0;
  int supported_32_or_64 = 0;  // 1: 32-bit only, 2: 64-bit only, else both
  int gdi_std_sign = 0;
  int supported_usb_mode = 0;
  std::string inf_file_name;   // Inffilename (default "err")
};

PortConfig ReadPortConfig(const CPrinterInfManager& config, Series series,
                          std::string_view model);
// The description for `os_code`; empty names when the code has no section.
DriverDescription ReadDriverDescription(const CPrinterInfManager& config, Series series,
                                        std::string_view model, int os_code, Flavour flavour);
MonitorSet ReadMonitorSet(const CPrinterInfManager& config, int os_code);
PackageSwitches ReadPackageSwitches(const CPrinterInfManager& config);
// [ProcessorVersion] DriverVersion: the version of the print processor the kit carries.
int ReadProcessorVersion(const CPrinterInfManager& config);
// [SUPPORTED-USB-DEVICE] <port>: the value written into the USB install record.
int ReadSupportedUsbDevice(const CPrinterInfManager& config, std::string_view port_name);
// [USBCLASSPRINTER] <model><suffix>: the class-printer hardware id, or "ERR"
// when none is configured. `suffix` is "(U)1" … "(U)4" or "(U)".
std::string ReadUsbClassPrinterId(const CPrinterInfManager& config, std::string_view model,
                                  std::string_view suffix);
inline constexpr std::string_view kNoHardwareId = "ERR";

}  // namespace kit::setup
