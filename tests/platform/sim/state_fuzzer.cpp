// A state file of any content either opens or is refused with a message;
// an opened one answers the first calls a program makes without crashing.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "platform/sim/machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path folder = [] {
    char pattern[] = "/tmp/kit-state-fuzz-XXXXXX";
    return std::filesystem::path(::mkdtemp(pattern));
  }();
  {
    std::ofstream out(folder / "state.json", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::string error;
  auto machine = kit::sim::Machine::Open(folder, {}, &error);
  if (!machine) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  auto& p = machine->platform();
  kit::OsVersionInfo version;
  p.system.GetVersionEx(&version);
  bool wow64 = false;
  p.system.IsWow64Process(&wow64);
  kit::RegistryKeyPtr key;
  p.registry.RegOpenKeyEx(kit::RootKey::kLocalMachine, u"SOFTWARE", kit::kKeyRead, &key);
  std::vector<kit::PrinterInfo2> printers;
  std::uint32_t needed = 0, returned = 0;
  p.spooler.EnumPrinters(kit::kPrinterEnumLocal, u"", 2, &printers, 1 << 20, &needed, &returned);
  return 0;
}
