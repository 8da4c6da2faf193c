// The kit folder of a Linux program laid onto a virtual machine's drive (as
// C:\kit), so that the program finds the kit's files where the Windows
// program would.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kit::sim {

// The Linux builds of the kit's programs that the build puts into the kit
// folder; they are no part of the Windows kit.
inline const std::vector<std::string> kLinuxKitPrograms = {"kitsetup", "Uninstall"};

// Copies `kit` into the host folder `target`, replacing files of the same
// name and leaving the Linux programs out. False with *error set (a
// sentence for the user) when the kit folder is missing or a copy fails.
bool LayOutKitFolder(const std::filesystem::path& kit, const std::filesystem::path& target, std::string* error);

// The command line of the kit's Linux programs: --machine DIR, --kit DIR and
// --script FILE, each at most once, in any order (a later one wins).
struct KitProgramOptions {
  std::string machine_dir;
  std::string kit_dir;
  std::string script;
};

// False on an unknown option or an option without its value.
bool ParseKitProgramOptions(int argc, char** argv, KitProgramOptions* out);

}  // namespace kit::sim
