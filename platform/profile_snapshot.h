// Configuration files read once, before a run changes anything, and every
// later profile read answered from that one reading: a file that changes or
// becomes unreadable halfway cannot give a run values from two versions, or
// defaults in place of values it was read with.
//
// A file that is not there (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND) is
// remembered as missing and reads as missing, so that every key takes its
// default as before. A file Windows will not give (access denied, in use,
// too large, a failed read) is not taken: the caller refuses its run with the
// error, since defaults in its place would install or remove something other
// than what was asked.
// This file is OS-independent.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "common/ini/profile_file.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/win32_errors.h"

namespace kit {

class ProfileSnapshot final : public ini::FileSource {
 public:
  // `files` and `system` must outlive this object.
  ProfileSnapshot(Files& files, SystemFacts& system) : files_(files), system_(system) {}

  // Reads `path` into the snapshot: true when it was read or is missing;
  // false with *error (Windows' code) when Windows would not give it.
  bool Take(std::u16string_view path, win32::Error* error);

  // A taken path from the snapshot (std::nullopt for a missing file); any
  // other path is read from the files as PlatformFileSource reads it.
  std::optional<std::string> Read(std::u16string_view path) const override;
  // A snapshot is read-only.
  bool Write(std::u16string_view, std::string_view) override { return false; }

 private:
  Files& files_;
  SystemFacts& system_;
  // Keyed by the path in upper case: Windows paths name files without case.
  std::map<std::u16string, std::optional<std::string>> taken_;
};

// Whether a failed read's error means the file is not there.
bool IsMissingFileError(win32::Error error);

}  // namespace kit
