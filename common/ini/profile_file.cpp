// This file is OS-independent.
#include "common/ini/profile_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kit::ini {

namespace {

// The host path of a Windows path; nothing for one the file system cannot
// name (an unpaired surrogate does not convert).
std::optional<std::filesystem::path> HostPath(std::u16string_view path) {
  if (path.empty()) return std::nullopt;
  try {
    return std::filesystem::path(std::u16string(path));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<std::string> HostFileSource::Read(std::u16string_view path) const {
  const std::optional<std::filesystem::path> host = HostPath(path);
  if (!host) return std::nullopt;
  // A folder opens as a stream on some systems and then fails (or throws)
  // on the first read: it reads as a missing file.
  std::error_code error;
  if (std::filesystem::is_directory(*host, error)) return std::nullopt;
  try {
    std::ifstream in(*host, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool HostFileSource::Write(std::u16string_view path, std::string_view bytes) {
  const std::optional<std::filesystem::path> host = HostPath(path);
  if (!host) return false;
  std::error_code error;
  if (std::filesystem::is_directory(*host, error)) return false;
  try {
    std::ofstream out(*host, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
  } catch (const std::exception&) {
    return false;
  }
}

Profile LoadProfile(const FileSource& files, std::u16string_view path,
                    const ProfileOptions& options) {
  const std::optional<std::string> bytes = files.Read(path);
  // A missing file reads like an empty one: every lookup gives its default.
  return Profile::Parse(bytes ? std::string_view(*bytes) : std::string_view(), options);
}

std::u16string ReadProfileString(const FileSource& files, std::u16string_view path,
                                 std::u16string_view section, std::u16string_view key,
                                 std::u16string_view default_value, std::size_t capacity,
                                 const ProfileOptions& options) {
  return LoadProfile(files, path, options).GetString(section, key, default_value, capacity);
}

std::uint32_t ReadProfileInt(const FileSource& files, std::u16string_view path,
                             std::u16string_view section, std::u16string_view key,
                             std::int32_t default_value, const ProfileOptions& options) {
  return LoadProfile(files, path, options).GetInt(section, key, default_value);
}

std::string ReadProfileStringA(const FileSource& files, std::string_view path,
                               std::string_view section, std::string_view key,
                               std::string_view default_value, std::size_t capacity,
                               const ProfileOptions& options) {
  const std::u16string wide_path = codepage::AnsiToUtf16(path, options.ansi_code_page);
  return LoadProfile(files, wide_path, options).GetStringA(section, key, default_value, capacity);
}

std::uint32_t ReadProfileIntA(const FileSource& files, std::string_view path,
                              std::string_view section, std::string_view key,
                              std::int32_t default_value, const ProfileOptions& options) {
  const std::u16string wide_path = codepage::AnsiToUtf16(path, options.ansi_code_page);
  return LoadProfile(files, wide_path, options).GetIntA(section, key, default_value);
}

bool WriteProfileValue(FileSource& files, std::u16string_view path, std::u16string_view section,
                       std::u16string_view key, std::optional<std::u16string_view> value,
                       const ProfileOptions& options) {
  const std::optional<std::string> bytes = files.Read(path);
  const ProfileEdit edit = EditProfile(bytes.value_or(std::string()), section, key, value, options);
  if (edit.failed) return false;
  if (!edit.changed) return true;
  return files.Write(path, edit.bytes);
}

bool WriteProfileValueA(FileSource& files, std::string_view path, std::string_view section,
                        std::string_view key, std::optional<std::string_view> value,
                        const ProfileOptions& options) {
  const auto cp = options.ansi_code_page;
  std::optional<std::u16string> wide_value;
  if (value) wide_value = codepage::AnsiToUtf16(*value, cp);
  std::optional<std::u16string_view> value_view;
  if (wide_value) value_view = *wide_value;
  return WriteProfileValue(files, codepage::AnsiToUtf16(path, cp), codepage::AnsiToUtf16(section, cp),
                           codepage::AnsiToUtf16(key, cp), value_view, options);
}

}  // namespace kit::ini
