#include "platform/sim/kit_folder.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace kit::sim {

namespace fs = std::filesystem;

namespace {

bool IsLinuxProgram(const fs::path& path) {
  return std::find(kLinuxKitPrograms.begin(), kLinuxKitPrograms.end(), path.filename().string()) !=
         kLinuxKitPrograms.end();
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Whether `inner` is `outer` or lies below it.
bool IsWithin(const fs::path& inner, const fs::path& outer) {
  const auto [end, unused] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return end == outer.end();
}

// Removes from the folder `target` every entry that has no counterpart of
// the same name and kind in `kit`, descending into folders both hold. A
// link in `target` is removed too: a copy must not write through it.
void RemoveWhatTheKitLacks(const fs::path& kit, const fs::path& target, std::error_code& ec) {
  std::vector<fs::path> stale;
  std::vector<fs::path> shared_folders;
  for (auto it = fs::directory_iterator(target, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code status_error;
    const fs::file_status here = it->symlink_status(status_error);
    const fs::file_status there = fs::status(kit / it->path().filename(), status_error);
    if (fs::is_directory(here) && fs::is_directory(there)) {
      shared_folders.push_back(it->path().filename());
    } else if (!(fs::is_regular_file(here) && fs::is_regular_file(there) && !IsLinuxProgram(it->path()))) {
      stale.push_back(it->path());
    }
  }
  for (const fs::path& path : stale) {
    if (ec) return;
    fs::remove_all(path, ec);
  }
  for (const fs::path& name : shared_folders) {
    if (ec) return;
    RemoveWhatTheKitLacks(kit / name, target / name, ec);
  }
}

}  // namespace

bool HoldsKit(const fs::path& folder, std::string* error) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    *error = "the kit folder " + folder.string() + " does not exist";
    return false;
  }
  for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    if (EqualsNoCase(it->path().filename().string(), kKitFolderMark) && it->is_directory(ec)) return true;
  }
  *error = folder.string() + " holds no kit: it has no " + kKitFolderMark + " folder";
  return false;
}

bool LayOutKitFolder(const fs::path& kit, const fs::path& target, std::string* error) {
  if (!HoldsKit(kit, error)) return false;
  std::error_code ec;
  const fs::path kit_path = fs::weakly_canonical(fs::absolute(kit, ec), ec);
  const fs::path target_path = fs::weakly_canonical(fs::absolute(target, ec), ec);
  if (IsWithin(target_path, kit_path) || IsWithin(kit_path, target_path)) {
    *error = "the kit folder " + kit.string() + " and the machine's kit folder " + target.string() +
             " lie one inside the other";
    return false;
  }
  fs::create_directories(target, ec);
  if (!ec) RemoveWhatTheKitLacks(kit, target, ec);
  if (ec) {
    *error = "cannot lay out the kit: " + ec.message();
    return false;
  }
  for (auto it = fs::recursive_directory_iterator(kit, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const fs::path relative = fs::relative(it->path(), kit, ec);
    if (it->is_directory()) {
      fs::create_directories(target / relative, ec);
    } else if (!IsLinuxProgram(it->path())) {
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
