// The port page's USB questions answered by the platform: the present
// devices' hardware ids, and the version resource of the installed driver
// read with file-system redirection off. This file is OS-independent.
#pragma once

#include <utility>

#include "platform/devices.h"
#include "platform/files.h"
#include "platform/system.h"
#include "setup/app/redirection_guard.h"
#include "setup/app/usb_queries.h"

namespace kit::setup {

// UsbQueries on the platform: the present devices' hardware ids, and the
// version resource read with file-system redirection off.
class PlatformUsbQueries final : public UsbQueries {
 public:
  // `is_64bit`: the 64-bit flag, which decides the redirection guard;
  // `notice` shows the guard's texts.
  PlatformUsbQueries(SystemFacts& system, Files& files, Devices& devices, bool is_64bit, GuardNotice notice)
      : system_(system), files_(files), devices_(devices), is_64bit_(is_64bit), notice_(std::move(notice)) {}
  int ClassifyConnectedPrinters() override;
  std::string InstalledUsbDriverVersion() override;

 private:
  SystemFacts& system_;
  Files& files_;
  Devices& devices_;
  bool is_64bit_;
  GuardNotice notice_;
};

}  // namespace kit::setup
