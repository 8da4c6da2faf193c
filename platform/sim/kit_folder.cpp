#include "platform/sim/kit_folder.h"

#include <algorithm>

namespace kit::sim {

namespace fs = std::filesystem;

bool LayOutKitFolder(const fs::path& kit, const fs::path& target, std::string* error) {
  std::error_code ec;
  if (!fs::is_directory(kit, ec)) {
    *error = "the kit folder " + kit.string() + " does not exist";
    return false;
  }
  fs::create_directories(target, ec);
  for (auto it = fs::recursive_directory_iterator(kit, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const fs::path relative = fs::relative(it->path(), kit, ec);
    if (it->is_directory()) {
      fs::create_directories(target / relative, ec);
    } else if (std::find(kLinuxKitPrograms.begin(), kLinuxKitPrograms.end(), it->path().filename().string()) ==
                   kLinuxKitPrograms.end()) {
      fs::copy_file(it->path(), target / relative, fs::copy_options::overwrite_existing, ec);
    }
    if (ec) break;
  }
  if (ec) *error = "cannot lay out the kit: " + ec.message();
  return !ec;
}

bool ParseKitProgramOptions(int argc, char** argv, KitProgramOptions* out) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) return false;
    if (a == "--machine") out->machine_dir = argv[++i];
    else if (a == "--kit") out->kit_dir = argv[++i];
    else if (a == "--script") out->script = argv[++i];
    else return false;
  }
  return true;
}

}  // namespace kit::sim
