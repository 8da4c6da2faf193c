// The driver-log viewer, a program outside the kit's deliverables:
// "KVRODriverlog\KVRODriverlogViewer.exe" under the root of the drive that
// holds the system directory, or, where setup copies the driver-log files,
// in the Windows folder's "KVRODriverlog". It is started with "open" and
// SW_SHOW and the parameters "VRTQ40" "<log folder>".
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kit::plugin::main {

inline constexpr char16_t kViewerRelativePath[] = u"KVRODriverlog\\KVRODriverlogViewer.exe";
inline constexpr char16_t kViewerModelToken[] = u"VRTQ40";

// The command line after the program: both parts in double quotes; a folder
// ending in a backslash ("D:\") gets it doubled, so that the closing quote
// is not read as an escaped one.
std::u16string ViewerParameters(std::u16string_view log_directory);

enum class ViewerStart { kStarted, kNotFound, kFailed };

// Starts the viewer: the drive root's copy when it exists, else the Windows
// folder's. Judged by ShellExecute's result: a missing file or path is
// kNotFound (the page says so), any other error kFailed.
ViewerStart StartLogViewer(SystemFacts& system, Files& files, Shell& shell, std::u16string_view log_directory);

}  // namespace kit::plugin::main
