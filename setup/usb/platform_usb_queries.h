// The port page's USB questions answered on the platform by the wizard's
// USB routines.
// This file is OS-independent.
#pragma once

#include <utility>

#include "setup/app/redirection_guard.h"
#include "setup/usb/usb_env.h"
#include "setup/usb/usb_queries.h"

namespace kit::setup {

class PlatformUsbQueries final : public UsbQueries {
 public:
  // `notice` shows the redirection guard's texts.
  PlatformUsbQueries(UsbEnv env, GuardNotice notice) : env_(std::move(env)), notice_(std::move(notice)) {}
  int ReadPrinterUsbId(UsbPrompts& prompts) override;
  int ClassifyConnectedPrinters() override;
  std::string InstalledUsbDriverVersion() override;

 private:
  UsbEnv env_;
  GuardNotice notice_;
};

}  // namespace kit::setup
