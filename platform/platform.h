// The platform a program runs on: every Windows facility the kit uses,
// handed to product code as one record. Product code receives the record
// from its entry point (the real Windows on the Windows build, a virtual
// machine on Linux) and never reaches for a global.
// This file is OS-independent.
#pragma once

#include "platform/clock.h"
#include "platform/devices.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "platform/spooler.h"
#include "platform/system.h"
#include "platform/usb_libraries.h"

namespace kit {

struct Platform {
  SystemFacts& system;
  Files& files;
  Registry& registry;
  Spooler& spooler;
  Services& services;
  Devices& devices;
  UsbLibraries& usb;
  Shell& shell;
  Clock& clock;
};

// Restores the WOW64 file-system redirection on every path out of a scope.
// `Active()` tells whether it was switched off (false on 32-bit Windows,
// where there is nothing to switch, and when the switch failed).
class ScopedFsRedirectionOff {
 public:
  explicit ScopedFsRedirectionOff(Files& files) : files_(files) {
    active_ = files_.Wow64DisableWow64FsRedirection(&old_value_);
  }
  ~ScopedFsRedirectionOff() {
    if (active_) files_.Wow64RevertWow64FsRedirection(old_value_);
  }
  ScopedFsRedirectionOff(const ScopedFsRedirectionOff&) = delete;
  ScopedFsRedirectionOff& operator=(const ScopedFsRedirectionOff&) = delete;
  bool Active() const { return active_; }

 private:
  Files& files_;
  void* old_value_ = nullptr;
  bool active_ = false;
};

}  // namespace kit
