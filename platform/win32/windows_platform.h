// The real Windows as the kit's platform (Windows build): every facility of
// platform/platform.h implemented on the Win32 API. A program's entry point
// creates one WindowsPlatform and hands its Platform record to the product
// code. This header does not include <windows.h>.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace kit::win32 {

class WindowsPlatform {
 public:
  WindowsPlatform();
  ~WindowsPlatform();
  WindowsPlatform(const WindowsPlatform&) = delete;
  WindowsPlatform& operator=(const WindowsPlatform&) = delete;

  Platform& platform() { return platform_; }

 private:
  std::unique_ptr<SystemFacts> system_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Spooler> spooler_;
  std::unique_ptr<Services> services_;
  std::unique_ptr<Devices> devices_;
  std::unique_ptr<UsbLibraries> usb_;
  std::unique_ptr<Clock> clock_;  // before shell_, which sleeps on it
  std::unique_ptr<Shell> shell_;
  Platform platform_;
};

// The facilities one by one, for programs and tests that need only some.
std::unique_ptr<SystemFacts> MakeSystemFacts();
std::unique_ptr<Files> MakeFiles();
std::unique_ptr<Registry> MakeRegistry();
std::unique_ptr<Spooler> MakeSpooler();
std::unique_ptr<Services> MakeServices();
std::unique_ptr<Devices> MakeDevices();
std::unique_ptr<UsbLibraries> MakeUsbLibraries();
// The shell sleeps on `clock` while it waits for a window.
std::unique_ptr<Shell> MakeShell(Clock& clock);
std::unique_ptr<Clock> MakeClock();

// Whether this process runs under Wine (ntdll exports "wine_get_version"),
// and the Wine version text, empty on Windows.
bool RunningUnderWine();
std::string WineVersion();

}  // namespace kit::win32
