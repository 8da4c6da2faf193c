#include "platform/win32/windows_platform.h"

#include "platform/win32/win32_common.h"

namespace kit::win32 {

WindowsPlatform::WindowsPlatform()
    : system_(MakeSystemFacts()),
      files_(MakeFiles()),
      registry_(MakeRegistry()),
      spooler_(MakeSpooler()),
      services_(MakeServices()),
      devices_(MakeDevices()),
      usb_(MakeUsbLibraries()),
      clock_(MakeClock()),
      shell_(MakeShell(*clock_)),
      platform_{*system_, *files_, *registry_, *spooler_, *services_, *devices_, *usb_, *shell_, *clock_} {}

WindowsPlatform::~WindowsPlatform() = default;

std::string WineVersion() {
  using Fn = const char*(CDECL*)();
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return {};
  const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version")));
  if (fn == nullptr) return {};
  const char* version = fn();
  return version == nullptr ? std::string() : std::string(version);
}

bool RunningUnderWine() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace kit::win32
