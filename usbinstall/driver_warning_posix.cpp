// The Linux build: the virtual machine shows no driver warnings, so the
// responder only checks that the setup library is there.
#include "usbinstall/driver_warning.h"

namespace kit::usbinstall {

std::unique_ptr<DriverWarningResponder> StartDriverWarningResponder(SystemFacts& system) {
  // Loaded to check it is there, and unloaded again at once.
  if (!system.LoadLibrary(kSetupApiLibrary)) return nullptr;
  return std::make_unique<DriverWarningResponder>();
}

}  // namespace kit::usbinstall
