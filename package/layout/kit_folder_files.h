// A kit folder on the build machine read as a Windows program reads its
// package folder: Windows paths below a drive-like root
// ("K:\DRVCONFIG\setup.ini"), every name matched without regard to case, as on the
// case-insensitive file systems the kit runs on. Linux builds.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "common/ini/profile_file.h"

namespace kit::package {

// The root the readers are given as their package folder.
inline constexpr char kKitRoot[] = "K:";

// The host path of `relative` (components separated by "\" or "/") below
// `root`, each component matched without case; nullopt when one is missing.
std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& root, std::string_view relative);

class KitFolderFiles final : public ini::FileSource {
 public:
  explicit KitFolderFiles(std::filesystem::path root) : root_(std::move(root)) {}
  // `path` starts with kKitRoot; other paths read as missing. Each file is
  // read once: the readers look up one key at a time.
  std::optional<std::string> Read(std::u16string_view path) const override;
  bool Write(std::u16string_view, std::string_view) override { return false; }

 private:
  std::optional<std::string> ReadUncached(std::u16string_view path) const;

  std::filesystem::path root_;
  mutable std::map<std::u16string, std::optional<std::string>, std::less<>> read_;
};

}  // namespace kit::package
