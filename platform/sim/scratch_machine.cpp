#include "platform/sim/scratch_machine.h"

#include <cstdlib>

#include "platform/sim/presets.h"

namespace kit::sim {

std::unique_ptr<ScratchMachine> ScratchMachine::Create(const ScratchOptions& options, std::string* error) {
  std::error_code ec;
  const auto temp = std::filesystem::temp_directory_path(ec);
  std::string pattern = (ec ? std::filesystem::path("/tmp") : temp).string() + "/kit-machine-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    if (error) *error = "cannot create a temporary folder";
    return nullptr;
  }
  std::unique_ptr<ScratchMachine> scratch(new ScratchMachine());
  scratch->folder_ = pattern;
  std::string message;
  if (!CreateMachine(scratch->folder_, options.preset, options.administrator, &message)) {
    if (error) *error = message;
    return nullptr;  // the destructor removes the folder
  }
  scratch->machine_ = Machine::Open(scratch->folder_, options.process, &message);
  if (!scratch->machine_) {
    if (error) *error = message;
    return nullptr;
  }
  return scratch;
}

ScratchMachine::~ScratchMachine() {
  machine_.reset();
  std::error_code ec;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
}

}  // namespace kit::sim
