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

// What marks a folder as a kit folder: the configuration folder that every
// program of the kit opens (the wizard reads setup.ini and Left.bmp there,
// the uninstaller searches it for Uninstall.ini). Matched without case, as
// the kit's programs look names up.
inline constexpr char kKitFolderMark[] = "DRVCONFIG";

// Whether `folder` holds a kit (kKitFolderMark is a folder in it). False
// with *error set (a sentence for the user) when it does not.
bool HoldsKit(const std::filesystem::path& folder, std::string* error);

// Makes the host folder `target` an exact copy of the kit folder `kit`,
// leaving the Linux programs out: files of the same name are replaced, and
// whatever `kit` lacks (a file or folder, also one whose name differs only
// in case) is removed from `target`. False with *error set (a sentence for
// the user) when `kit` holds no kit, when one folder lies inside the other,
// or when a removal or copy fails.
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
