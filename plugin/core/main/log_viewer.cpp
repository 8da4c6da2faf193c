// This file is OS-independent.
#include "plugin/core/main/log_viewer.h"

namespace kit::plugin::main {

std::u16string ViewerParameters(std::u16string_view log_directory) {
  std::u16string folder(log_directory);
  if (!folder.empty() && folder.back() == u'\\') folder.push_back(u'\\');
  return u"\"" + std::u16string(kViewerModelToken) + u"\" \"" + folder + u"\"";
}

ViewerStart StartLogViewer(SystemFacts& system, Files& files, Shell& shell, std::u16string_view log_directory) {
  // The drive root: the system directory's first three characters ("C:\").
  const std::u16string system_directory = system.GetSystemDirectory();
  const std::u16string root_copy = system_directory.substr(0, 3) + kViewerRelativePath;
  std::u16string viewer = root_copy;
  if (files.GetFileAttributes(root_copy) == kInvalidFileAttributes) {
    const std::u16string windows_copy = system.GetWindowsDirectory() + u"\\" + kViewerRelativePath;
    if (files.GetFileAttributes(windows_copy) != kInvalidFileAttributes) viewer = windows_copy;
  }
  ShellExecuteRequest request;
  request.verb = u"open";
  request.file = viewer;
  request.parameters = ViewerParameters(log_directory);
  request.show_command = kSwShow;
  const std::uintptr_t result = shell.ShellExecute(request);
  if (result > kShellExecuteErrorLimit) return ViewerStart::kStarted;
  if (result == kSeErrFileNotFound || result == kSeErrPathNotFound) return ViewerStart::kNotFound;
  return ViewerStart::kFailed;
}

}  // namespace kit::plugin::main
