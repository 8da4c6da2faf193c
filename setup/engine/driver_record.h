// The printer driver as the install registers it: the flavour chosen for the
// port, the Unidrv flag, and the DRIVER_INFO_3 record built from the
// model's driver description.
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>

#include "platform/spooler.h"
#include "setup/config/model_config.h"
#include "setup/pages/confirm_page.h"

namespace kit::setup {

// DRIVER_INFO_3 versions by Windows.
inline constexpr std::uint32_t kDriverVersion9x = 0;
inline constexpr std::uint32_t kDriverVersionNt4 = 2;
inline constexpr std::uint32_t kDriverVersionNt5 = 3;

// The Unidrv files a model with the Unidrv flag depends on, after its data
// file, in the order they are listed.
inline constexpr std::string_view kUnidrvTtfSub = "TTFSUB.GPD";
inline constexpr std::string_view kUnidrvResources = "UNIRES.DLL";
inline constexpr std::string_view kUnidrvStdNames = "STDNAMES.GPD";

// The flavour of the install: the raster flag's, unless GDISTDSign is set,
// which makes serial ports GDI and USB ports STD.
Flavour ChooseFlavour(int raster, int gdi_std_sign, int port_kind);

// The two Unidrv keys of the model section for one Windows, as text.
struct UnidrvKeys {
  std::string gdi;  // GDI2KDDKDEV
  std::string std;  // STD2KDDKDEV
};
UnidrvKeys ReadUnidrvKeys(const CPrinterInfManager& config, Series series, std::string_view model, int os_code);
// The Unidrv flag follows the raster flag (GDISTDSign does not apply):
// set when the key's text begins with "1".
bool UnidrvFlag(const UnidrvKeys& keys, int raster);
// The dependent-file list follows GDI2KDDKDEV whatever the flavour, read as
// a number.
bool ListsUnidrvFiles(const UnidrvKeys& keys);

// The driver name for the Windows and port kind (GDIDRIVERNAME before
// Windows 2000).
std::string DriverNameFor(const DriverDescription& d, int os_code, int port_kind);

struct DriverRecordOptions {
  int os_code = 0;
  int port_kind = kPortUnknown;
  bool lists_unidrv_files = false;
  std::string language_monitor;  // the USB language monitor's name, USB only
};
// The DRIVER_INFO_3 record. Optional files that are "0" or empty stay out
// of the dependent list (an empty entry would end the multi-string).
DriverInfo3 MakeDriverInfo3(const DriverDescription& d, const DriverRecordOptions& options);

}  // namespace kit::setup
