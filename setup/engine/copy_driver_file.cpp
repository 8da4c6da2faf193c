#include "setup/engine/copy_driver_file.h"

#include "platform/pe/pe_resources.h"

#include <optional>

#include "common/oscode/os_code.h"

namespace kit::setup {
namespace {

constexpr std::string_view kInfSubfolder = "\\inf";
constexpr std::string_view kDriverLogSubfolder = "\\KVRODriverlog";
constexpr std::string_view kVersion3Subfolder = "\\3";
constexpr std::string_view kWbemSubfolder = "\\wbem";
constexpr std::string_view kDriverCache32 = "\\Driver Cache\\i386\\";
constexpr std::string_view kDriverCache64 = "\\Driver Cache\\AMD64\\";
constexpr std::string_view kCabinetPattern = "*.cab";
constexpr std::string_view kDriverStorePattern = "\\System32\\DriverStore\\FileRepository\\ntprint*";
constexpr std::string_view kDriverStoreArch64 = "\\AMD64\\";
constexpr std::string_view kDriverStoreArch32 = "\\I386\\";
// Names that mark a Unidrv core file.
constexpr std::string_view kSystemComponentMarks[] = {"UNIDRV", "STDNAMES", "TTFSUB", "UNIRES"};

bool IsSystemComponent(std::string_view upper_name) {
  for (std::string_view mark : kSystemComponentMarks)
    if (upper_name.find(mark) != std::string_view::npos) return true;
  return false;
}

// A folder from a 256-byte buffer: empty when the call failed or the folder
// does not fit.
std::optional<std::string> Fit(const EngineContext& ctx, const WString& folder) {
  if (folder.empty()) return std::nullopt;
  std::string ansi = ctx.Ansi(folder);
  if (ansi.size() >= kFolderCapacity) return std::nullopt;
  return ansi;
}

std::optional<std::string> RawWindowsFolder(EngineContext& ctx) {
  return Fit(ctx, ctx.platform.system.GetWindowsDirectory());
}
std::optional<std::string> RawDriverFolder(EngineContext& ctx) {
  WString folder;
  if (!ctx.platform.spooler.GetPrinterDriverDirectory(u"", ctx.Environment(), &folder)) return std::nullopt;
  return Fit(ctx, folder);
}

bool FolderOrText(EngineContext& ctx, std::optional<std::string> folder, std::string_view key, std::string* out) {
  if (!folder) {
    ctx.Fail(ctx.Message(key));
    return false;
  }
  *out = std::move(*folder);
  return true;
}

void CreateFolderIfMissing(EngineContext& ctx, const std::string& folder) {
  ctx.platform.files.CreateDirectory(ctx.Wide(folder));
}

bool Exists(EngineContext& ctx, const std::string& path) {
  return ctx.platform.files.GetFileAttributes(ctx.Wide(path)) != kInvalidFileAttributes;
}

// Switches WOW64 redirection off for the scope on 64-bit Windows.
class Guard {
 public:
  Guard(EngineContext& ctx, bool wanted) {
    if (wanted && ctx.is_64bit) guard_.emplace(ctx.platform.files);
  }

 private:
  std::optional<ScopedFsRedirectionOff> guard_;
};

// Walks every cabinet of the driver cache once, extracting the Unidrv core
// members into the temporary folder.
bool ExtractUnidrvFiles(EngineContext& ctx) {
  if (ctx.extraction != EngineContext::Extraction::kNotTried) return ctx.extraction == EngineContext::Extraction::kDone;
  ctx.extraction = EngineContext::Extraction::kFailed;
  const auto windows = RawWindowsFolder(ctx);
  if (!windows) return false;
  std::string cache = *windows;
  cache += ctx.is_64bit ? kDriverCache64 : kDriverCache32;
  const WString temp = ctx.platform.system.GetTempPath();
  if (temp.empty()) return false;
  FindData found;
  FindHandlePtr search = ctx.platform.files.FindFirstFile(ctx.Wide(cache + std::string(kCabinetPattern)), &found);
  if (!search) return false;
  bool every_walk_succeeded = true;
  do {
    const WString cabinet = ctx.Wide(cache) + found.file_name;
    const bool walked = ctx.platform.devices.SetupIterateCabinet(
        cabinet, [&](const CabinetMember& member) -> std::optional<WString> {
          for (std::string_view wanted : kUnidrvCabinetMembers)
            if (member.name == ctx.Wide(wanted)) return temp + member.name;
          return std::nullopt;
        });
    every_walk_succeeded = every_walk_succeeded && walked;
  } while (search->FindNextFile(&found));
  if (every_walk_succeeded) ctx.extraction = EngineContext::Extraction::kDone;
  return every_walk_succeeded;
}

// Up to Server 2003: the extracted copy over the same name in the
// printer-driver folder. False lets the package copy try.
bool CopyFromDriverCache(EngineContext& ctx, const std::string& name, std::string* destination_path) {
  if (!ExtractUnidrvFiles(ctx)) return false;
  const auto driver = RawDriverFolder(ctx);
  if (!driver) return false;
  const std::string destination = *driver + "\\" + name;
  const WString source = ctx.platform.system.GetTempPath() + ctx.Wide(name);
  if (!ctx.platform.files.CopyFile(source, ctx.Wide(destination), false)) return false;
  if (destination_path) *destination_path = destination;
  return true;
}

// Vista on: the first "ntprint*" folder of the driver store.
int CopyFromDriverStore(EngineContext& ctx, const std::string& name, std::string* destination_path) {
  std::string windows, driver;
  if (!WindowsFolder(ctx, &windows) || !DriverFolder(ctx, &driver)) return kCopyFailed;
  const std::string pattern = windows + std::string(kDriverStorePattern);
  const std::string repository = pattern.substr(0, pattern.rfind('\\'));
  Guard guard(ctx, true);
  Files& files = ctx.platform.files;
  FindData found;
  FindHandlePtr search = files.FindFirstFile(ctx.Wide(pattern), &found);
  bool have_folder = search != nullptr;
  while (have_folder && !(found.attributes & kFileAttributeDirectory)) have_folder = search->FindNextFile(&found);
  if (!have_folder) {
    ctx.Fail(std::string(kNoSystemFilesText) + std::string(kLineBreak) + ctx.LastErrorText());
    return kCopyFailed;
  }
  const std::string source = repository + "\\" + ctx.Ansi(found.file_name) +
                             std::string(ctx.is_64bit ? kDriverStoreArch64 : kDriverStoreArch32) + name;
  const std::string destination = driver + "\\" + name;
  if (destination_path) *destination_path = destination;
  const bool copied = files.CopyFile(ctx.Wide(source), ctx.Wide(destination), false);
  const win32::Error error = ctx.platform.system.GetLastError();
  if (!search->FindClose()) {
    ctx.Fail(std::string(kCloseSearchText));
    return kCopyFailed;
  }
  if (copied) return kCopyDone;
  if (error == win32::kErrorSharingViolation) return kCopyInUse;
  if (error == win32::kErrorAccessDenied) return kCopyAccessDenied;
  ctx.Fail(ctx.Message("IDS_ERR_COPYFIEL") + name + std::string(kLineBreak) + ctx.SystemText(error) + source);
  return kCopyFailed;
}

// The destination folder of a package copy; false with the text set.
bool DestinationFolder(EngineContext& ctx, int destination, std::string* folder) {
  switch (destination) {
    case kDestInfFolder:
      if (!WindowsFolder(ctx, folder)) return false;
      *folder += kInfSubfolder;
      return true;
    case kDestDriverLogFolder:
      if (!WindowsFolder(ctx, folder)) return false;
      *folder += kDriverLogSubfolder;
      CreateFolderIfMissing(ctx, *folder);
      return true;
    case kDestVersion3Folder:
      if (!DriverFolder(ctx, folder)) return false;
      CreateFolderIfMissing(ctx, *folder);
      *folder += kVersion3Subfolder;
      CreateFolderIfMissing(ctx, *folder);
      return true;
    case kDestDriverFolder:
      if (!DriverFolder(ctx, folder)) return false;
      CreateFolderIfMissing(ctx, *folder);
      return true;
    case kDestProcessorFolder:
      if (!ProcessorFolder(ctx, folder)) return false;
      CreateFolderIfMissing(ctx, *folder);
      return true;
    case kDestSystemFolder:
    case kDestSystemIfAbsent:
      return SystemFolder(ctx, folder);
    case kDestWbemIfAbsent:
      if (!SystemFolder(ctx, folder)) return false;
      *folder += kWbemSubfolder;
      CreateFolderIfMissing(ctx, *folder);
      return true;
    default:
      ctx.Fail(ctx.Message("IDS_ERR_DIRTYPE"));
      return false;
  }
}

// Whether the file starts as a Windows executable image does (MZ header
// leading to a PE header); false for a file that cannot be read.
bool IsWindowsImage(EngineContext& ctx, const std::string& path) {
  Bytes head;
  std::uint16_t machine = 0;
  return ctx.platform.files.ReadFileHead(ctx.Wide(path), kImageHeadBytes, &head) &&
         ReadPeMachine(head.data(), head.size(), &machine);
}

}  // namespace

bool WindowsFolder(EngineContext& ctx, std::string* folder) {
  return FolderOrText(ctx, RawWindowsFolder(ctx), "IDS_ERR_GETWINDIR", folder);
}
bool SystemFolder(EngineContext& ctx, std::string* folder) {
  return FolderOrText(ctx, Fit(ctx, ctx.platform.system.GetSystemDirectory()), "IDS_ERR_GETSYSDIR", folder);
}
bool DriverFolder(EngineContext& ctx, std::string* folder) {
  return FolderOrText(ctx, RawDriverFolder(ctx), "IDS_ERR_GETDRIVERDIR", folder);
}
bool ProcessorFolder(EngineContext& ctx, std::string* folder) {
  WString raw;
  std::optional<std::string> fitted;
  if (ctx.platform.spooler.GetPrintProcessorDirectory(u"", ctx.Environment(), &raw)) fitted = Fit(ctx, raw);
  return FolderOrText(ctx, fitted, "IDS_ERR_GETPRODIR", folder);
}

int CopyDriverFile(EngineContext& ctx, std::string_view file_name, int destination, bool in_use,
                   std::string* destination_path) {
  const std::string name = ctx.Ansi(ToUpperAscii(ctx.Wide(file_name)));
  if (IsSystemComponent(name)) {
    if (ctx.os_code >= kOsWin2000 && ctx.os_code <= kOsServer2003) {
      if (CopyFromDriverCache(ctx, name, destination_path)) return kCopyDone;
    } else if (ctx.os_code >= kOsVista && ctx.os_code <= kOsWin7) {
      return CopyFromDriverStore(ctx, name, destination_path);
    }
  }

  std::string folder;
  if (!DestinationFolder(ctx, destination, &folder)) return kCopyFailed;
  if (destination == kDestSystemIfAbsent && Exists(ctx, folder + "\\" + name)) return kCopyDone;
  if (destination == kDestWbemIfAbsent) {
    std::string system;
    if (!SystemFolder(ctx, &system)) return kCopyFailed;
    const bool in_system = ctx.os_code >= kOsVista && ctx.os_code <= kOsWin7 && Exists(ctx, system + "\\" + name);
    if (in_system || Exists(ctx, folder + "\\" + name)) return kCopyDone;
  }

  const std::string source = ctx.package_folder + "\\" +
                             std::string(ctx.is_64bit ? kPackageFolder64 : kPackageFolder32) + "\\" + name;
  // A Windows file the system lacks is copied only from a Windows image:
  // the kit carries none of Windows' own files, and a stand-in in its place
  // would break every program that loads it.
  if ((destination == kDestSystemIfAbsent || destination == kDestWbemIfAbsent) && !IsWindowsImage(ctx, source)) {
    ctx.Fail(ctx.Message("IDS_ERR_NOSYSTEMFILE") + name + ctx.Message("IDS_ERR_NOSYSTEMFILE1"));
    return kCopyFailed;
  }
  const std::string target = folder + "\\" + (in_use ? std::string(kInUsePrefix) : std::string()) + name;
  if (destination_path) *destination_path = target;
  Guard guard(ctx, destination == kDestSystemFolder);
  Files& files = ctx.platform.files;
  // An existing read-only file becomes writable; a failure here shows in the copy.
  files.SetFileAttributes(ctx.Wide(target), kFileAttributeArchive);
  if (files.CopyFile(ctx.Wide(source), ctx.Wide(target), false)) return kCopyDone;
  const win32::Error error = ctx.platform.system.GetLastError();
  if (error == win32::kErrorSharingViolation) return kCopyInUse;
  if (error == win32::kErrorAccessDenied) return kCopyAccessDenied;
  ctx.Fail(CopyFailureText(ctx, target, error));
  return kCopyFailed;
}

std::string CopyFailureText(const EngineContext& ctx, std::string_view destination_path, win32::Error error) {
  return ctx.Message("IDS_ERR_COPYFIEL") + std::string(destination_path) + std::string(kLineBreak) +
         ctx.SystemText(error) + ctx.Message("IDS_ERR_COPYFIEL1");
}

bool CopyRequiredFile(EngineContext& ctx, std::string_view file_name, int destination) {
  std::string target;
  const int result = CopyDriverFile(ctx, file_name, destination, false, &target);
  if (result == kCopyDone) return true;
  if (result == kCopyInUse || result == kCopyAccessDenied) {
    ctx.Fail(CopyFailureText(ctx, target.empty() ? std::string(file_name) : target,
                             result == kCopyInUse ? win32::kErrorSharingViolation : win32::kErrorAccessDenied));
  }
  return false;
}

}  // namespace kit::setup
