// A throw-away virtual machine for unit tests: created from a preset in a
// fresh temporary folder and removed with the object.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/sim/machine.h"

namespace kit::sim {

struct ScratchOptions {
  std::string preset = "win7-x64-en";
  bool administrator = true;
  ProcessOptions process;
};

class ScratchMachine {
 public:
  // Null when the machine cannot be made (*error says why).
  static std::unique_ptr<ScratchMachine> Create(const ScratchOptions& options, std::string* error);
  ~ScratchMachine();
  ScratchMachine(const ScratchMachine&) = delete;
  ScratchMachine& operator=(const ScratchMachine&) = delete;

  Platform& platform() { return machine_->platform(); }
  Machine& machine() { return *machine_; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  ScratchMachine() = default;
  std::filesystem::path folder_;
  std::unique_ptr<Machine> machine_;
};

}  // namespace kit::sim
