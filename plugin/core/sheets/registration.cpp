// Hands the sheet handlers to the COM surface when the plug-in module is
// loaded. The module's link keeps this object by the symbol below.
#include "plugin/core/sheets/sheet_handlers.h"

extern "C" {
extern const int kit_plugin_sheets_registration;
const int kit_plugin_sheets_registration = 1;
}

namespace kit::plugin::sheets {
namespace {

struct InstallAtLoad {
  InstallAtLoad() { InstallSheetHandlers(); }
};
const InstallAtLoad g_install_at_load;

}  // namespace
}  // namespace kit::plugin::sheets
