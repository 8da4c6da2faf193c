// This file is OS-independent.
#include "uninstall/config/ini_search.h"

#include "platform/system.h"

namespace kit::uninstall {
namespace {

constexpr char kAllEntries[] = "*.*";

// One folder's walk: true when an entry named like the file was found;
// *listed false when the folder cannot be listed.
bool SearchFolder(Files& files, const std::string& folder, codepage::CodePage cp, bool* listed) {
  FindData entry;
  FindHandlePtr find = files.FindFirstFile(codepage::AnsiToUtf16(folder + "\\" + kAllEntries, cp), &entry);
  *listed = find != nullptr;
  if (!find) return false;
  do {
    const std::string name = codepage::Utf16ToAnsi(entry.file_name, cp);
    files.SetFileAttributes(codepage::AnsiToUtf16(folder + "\\" + name, cp), kFileAttributeArchive);
    if (name.find(kUninstallIniName) != std::string::npos) return true;
  } while (find->FindNextFile(&entry));
  return false;
}

}  // namespace

const char* IniSearchMessageKey(IniSearch outcome) {
  switch (outcome) {
    case IniSearch::kNoCurrentDirectory: return "IDS_ERR_GETSYSDIR";
    case IniSearch::kInvalid: return "IDS_ERR_INVALID";
    case IniSearch::kNoIni: return "IDS_ERR_NOINI";
    case IniSearch::kFound: break;
  }
  return "";
}

std::string ReadCurrentDirectory(SystemFacts& system, codepage::CodePage code_page) {
  std::string folder = codepage::Utf16ToAnsi(system.GetCurrentDirectory(), code_page);
  if (folder.size() >= kCurrentDirectoryCapacity) folder.clear();
  return folder;
}

IniLocation LocateUninstallIni(Files& files, std::string_view current_directory, codepage::CodePage code_page) {
  IniLocation location;
  if (current_directory.empty()) {
    location.outcome = IniSearch::kNoCurrentDirectory;
    return location;
  }
  const std::string kit(current_directory);
  bool listed = false;
  if (SearchFolder(files, kit, code_page, &listed)) {
    location.outcome = IniSearch::kFound;
    location.path = kit + "\\" + kUninstallIniName;
    return location;
  }
  if (!listed) {
    location.outcome = IniSearch::kInvalid;
    return location;
  }
  const std::string config = kit + "\\" + kConfigFolder;
  if (SearchFolder(files, config, code_page, &listed)) {
    location.outcome = IniSearch::kFound;
    location.path = config + "\\" + kUninstallIniName;
    return location;
  }
  location.outcome = listed ? IniSearch::kNoIni : IniSearch::kInvalid;
  return location;
}

}  // namespace kit::uninstall
