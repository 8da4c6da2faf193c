// CopyDriverFile: how every file of the driver reaches its place. Files come
// from the package's "W32\" or "W64\" folder; the Unidrv core files come
// from the system itself where it has them (the driver cache's cabinets up
// to Server 2003, the driver store from Vista on).
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>

#include "setup/engine/engine_context.h"

namespace kit::setup {

// Where a file goes.
enum CopyDestination : int {
  kDestInfFolder = 100,            // Windows folder + "\inf"
  kDestDriverLogFolder = 888,      // Windows folder + "\KVRODriverlog", created when missing
  kDestVersion3Folder = 999,       // printer-driver folder + "\3", created when missing
  kDestDriverFolder = 66000,       // printer-driver folder, created when missing
  kDestProcessorFolder = 66001,    // print-processor folder, created when missing
  kDestSystemFolder = 66002,       // system folder (redirection off on 64-bit Windows)
  kDestSystemIfAbsent = 66003,     // system folder, only when the file is not there
  kDestWbemIfAbsent = 66004,       // system folder + "\wbem", only when in neither folder
};

// How much of a file is read to tell a Windows image: its MZ header and,
// where linkers place it, the PE header.
inline constexpr std::uint64_t kImageHeadBytes = 4096;

// Results of CopyDriverFile.
enum CopyResult : int { kCopyFailed = 0, kCopyDone = 1, kCopyAccessDenied = 5, kCopyInUse = 32 };

// The prefix of a side-by-side copy of a file in use.
inline constexpr std::string_view kInUsePrefix = "n";
// Folder buffers of 256 bytes: a longer folder cannot be obtained.
inline constexpr std::size_t kFolderCapacity = 256;

inline constexpr std::string_view kPackageFolder32 = "W32";
inline constexpr std::string_view kPackageFolder64 = "W64";
inline constexpr std::string_view kNoSystemFilesText = "Couldn't find system files.";
inline constexpr std::string_view kCloseSearchText = "Couldn't close search handle.";

// The cabinet members extracted for the Unidrv core files, compared as
// written.
inline constexpr std::string_view kUnidrvCabinetMembers[] = {"unidrvui.dll", "unidrv.dll",   "unires.dll",
                                                             "unidrv.hlp",   "stdnames.gpd", "ttfsub.gpd"};

// Copies `file_name` (upper-cased first) to `destination`. A file for
// kDestSystemIfAbsent or kDestWbemIfAbsent that the system lacks is
// copied only when the package's file is a Windows image; otherwise
// kCopyFailed with the text that the system lacks the file. Returns
// kCopyDone, kCopyInUse or kCopyAccessDenied (no text: callers may retry
// with `in_use`, which writes "n" + name), or kCopyFailed with the error
// text set. *destination_path receives the full path written to.
int CopyDriverFile(EngineContext& ctx, std::string_view file_name, int destination, bool in_use,
                   std::string* destination_path = nullptr);

// The copy-failure text for a copy that ended in kCopyInUse or
// kCopyAccessDenied: the ordinary text with the system's text.
std::string CopyFailureText(const EngineContext& ctx, std::string_view destination_path, win32::Error error);

// Copies a file that must arrive: every result but kCopyDone fails the step
// with a text (32 and 5 included). False on failure.
bool CopyRequiredFile(EngineContext& ctx, std::string_view file_name, int destination);

// The folders the engine uses; false with the step's text set.
bool WindowsFolder(EngineContext& ctx, std::string* folder);
bool SystemFolder(EngineContext& ctx, std::string* folder);
bool DriverFolder(EngineContext& ctx, std::string* folder);
bool ProcessorFolder(EngineContext& ctx, std::string* folder);

}  // namespace kit::setup
