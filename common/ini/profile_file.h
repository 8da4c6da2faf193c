// Profile functions on files: the Windows-style calls that name a file, read
// through a replaceable file source (the host's files, or the virtual
// machine's drive through the platform layer).
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/ini/profile.h"
#include "common/ini/profile_edit.h"

namespace kit::ini {

// Where profile files are read from and written to. Paths are Windows paths
// in UTF-16 (an ANSI caller converts its path from its code page). Windows
// looks a bare file name up in the Windows folder; the kit always names its
// files by full path, and a source takes paths as they are.
class FileSource {
 public:
  virtual ~FileSource() = default;
  // The whole file, or nothing when it is missing or cannot be read.
  virtual std::optional<std::string> Read(std::u16string_view path) const = 0;
  // Replaces the file's contents (creating it); false when that fails.
  virtual bool Write(std::u16string_view path, std::string_view bytes) = 0;
};

// The files of the machine the program runs on.
class HostFileSource final : public FileSource {
 public:
  std::optional<std::string> Read(std::u16string_view path) const override;
  bool Write(std::u16string_view path, std::string_view bytes) override;
};

// Reads and parses a file; a missing or unreadable file gives an empty
// profile, so that every lookup falls back to its default.
Profile LoadProfile(const FileSource& files, std::u16string_view path,
                    const ProfileOptions& options = {});

// GetPrivateProfileStringW / GetPrivateProfileIntW on a file.
std::u16string ReadProfileString(const FileSource& files, std::u16string_view path,
                                 std::u16string_view section, std::u16string_view key,
                                 std::u16string_view default_value, std::size_t capacity,
                                 const ProfileOptions& options = {});
std::uint32_t ReadProfileInt(const FileSource& files, std::u16string_view path,
                             std::u16string_view section, std::u16string_view key,
                             std::int32_t default_value, const ProfileOptions& options = {});

// GetPrivateProfileStringA / GetPrivateProfileIntA on a file; `path` is in
// the ANSI code page of `options`.
std::string ReadProfileStringA(const FileSource& files, std::string_view path,
                               std::string_view section, std::string_view key,
                               std::string_view default_value, std::size_t capacity,
                               const ProfileOptions& options = {});
std::uint32_t ReadProfileIntA(const FileSource& files, std::string_view path,
                              std::string_view section, std::string_view key,
                              std::int32_t default_value, const ProfileOptions& options = {});

// WritePrivateProfileStringW on a file: sets the key, or deletes it when
// `value` is std::nullopt. False when the file cannot be written.
bool WriteProfileValue(FileSource& files, std::u16string_view path, std::u16string_view section,
                       std::u16string_view key, std::optional<std::u16string_view> value,
                       const ProfileOptions& options = {});
// WritePrivateProfileStringA on a file.
bool WriteProfileValueA(FileSource& files, std::string_view path, std::string_view section,
                        std::string_view key, std::optional<std::string_view> value,
                        const ProfileOptions& options = {});

}  // namespace kit::ini
