// The port page's USB questions answered by the platform: the present
// devices' hardware ids, and the version resource of the installed driver
// read with file-system redirection off. This file is OS-independent.
#pragma once

#include "platform/devices.h"
#include "platform/files.h"
#include "platform/system.h"
#include "setup/app/usb_queries.h"

namespace kit::setup {

// UsbQueries on the platform: the present devices' hardware ids, and the
// version resource read with file-system redirection off.
class PlatformUsbQueries final : public UsbQueries {
 public:
  PlatformUsbQueries(SystemFacts& system, Files& files, Devices& devices)
      : system_(system), files_(files), devices_(devices) {}
  int ClassifyConnectedPrinters() override;
  std::string InstalledUsbDriverVersion() override;

 private:
  SystemFacts& system_;
  Files& files_;
  Devices& devices_;
};

}  // namespace kit::setup
