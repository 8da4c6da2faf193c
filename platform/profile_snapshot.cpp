#include "platform/profile_snapshot.h"

#include "platform/profile_file_source.h"

namespace kit {

bool IsMissingFileError(win32::Error error) {
  return error == win32::kErrorFileNotFound || error == win32::kErrorPathNotFound;
}

bool ProfileSnapshot::Take(std::u16string_view path, win32::Error* error) {
  Bytes content;
  if (files_.ReadFile(path, kMaxProfileFileBytes, &content)) {
    taken_[ToUpperAscii(path)] = std::string(content.begin(), content.end());
    return true;
  }
  const win32::Error code = system_.GetLastError();
  if (IsMissingFileError(code)) {
    taken_[ToUpperAscii(path)] = std::nullopt;
    return true;
  }
  // A failure that sets no code is a failure all the same.
  *error = code == win32::kErrorSuccess ? win32::kErrorAccessDenied : code;
  return false;
}

std::optional<std::string> ProfileSnapshot::Read(std::u16string_view path) const {
  if (const auto at = taken_.find(ToUpperAscii(path)); at != taken_.end()) return at->second;
  return PlatformFileSource(files_).Read(path);
}

}  // namespace kit
