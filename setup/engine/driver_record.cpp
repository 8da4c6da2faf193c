#include "setup/engine/driver_record.h"

#include "common/oscode/os_code.h"
#include "ui/text.h"

namespace kit::setup {

Flavour ChooseFlavour(int raster, int gdi_std_sign, int port_kind) {
  if (gdi_std_sign != 0) {
    if (port_kind == kPortSerial) return Flavour::kGdi;
    if (port_kind == kPortUsb) return Flavour::kStd;
  }
  return raster == 1 ? Flavour::kGdi : Flavour::kStd;
}

UnidrvKeys ReadUnidrvKeys(const CPrinterInfManager& config, Series series, std::string_view model, int os_code) {
  UnidrvKeys keys;
  const std::string_view suffix = SetupSectionSuffix(os_code);
  if (suffix.empty()) return keys;
  const std::string section = std::string(model) + std::string(suffix);
  keys.gdi = config.ReadSeriesString(series, section, "GDI2KDDKDEV", kAbsentValue, kIntTextCapacity);
  keys.std = config.ReadSeriesString(series, section, "STD2KDDKDEV", kAbsentValue, kIntTextCapacity);
  return keys;
}

bool UnidrvFlag(const UnidrvKeys& keys, int raster) {
  const std::string& text = raster == 1 ? keys.gdi : keys.std;
  return !text.empty() && text.front() == '1';
}

bool ListsUnidrvFiles(const UnidrvKeys& keys) { return LeadingDecimal(keys.gdi) != 0; }

std::string DriverNameFor(const DriverDescription& d, int os_code, int port_kind) {
  if (os_code <= kOsNt4) return d.gdi_driver_name;
  if (port_kind < 0 || port_kind >= static_cast<int>(d.driver_name.size())) return {};
  return d.driver_name[static_cast<std::size_t>(port_kind)];
}

DriverInfo3 MakeDriverInfo3(const DriverDescription& d, const DriverRecordOptions& options) {
  DriverInfo3 info;
  const int os = options.os_code;
  info.version = os == kOsWin9x ? kDriverVersion9x : os == kOsNt4 ? kDriverVersionNt4 : kDriverVersionNt5;
  info.name = ui::FromAnsi(DriverNameFor(d, os, options.port_kind));
  if (os == kOsWin9x) info.environment = kEnvironmentWin40;
  info.driver_path = ui::FromAnsi(d.driver_path);
  info.data_file = ui::FromAnsi(d.data_file);
  info.config_file = ui::FromAnsi(d.config_file);
  info.help_file = ui::FromAnsi(d.help_file);
  if (os >= kOsWin2000 && os <= kOsWin7 && options.lists_unidrv_files) {
    info.dependent_files = {ui::FromAnsi(d.data_file), ui::FromAnsi(kUnidrvTtfSub), ui::FromAnsi(kUnidrvResources),
                            ui::FromAnsi(kUnidrvStdNames)};
    for (const std::string* optional : {&d.dependent_file, &d.oem_ui_dll, &d.oem_render_dll, &d.oem_render_ini}) {
      if (NamesFile(*optional)) info.dependent_files.push_back(ui::FromAnsi(*optional));
    }
  }
  if (options.port_kind == kPortUsb) info.monitor_name = ui::FromAnsi(options.language_monitor);
  return info;
}

}  // namespace kit::setup
