// Profile (INI) files read and written through the platform's files, so that
// the programs and the plug-in read the kit's and the user's INI files the
// same way on the real Windows and on the virtual machine.
// This file is OS-independent.
#pragma once

#include "common/ini/profile_file.h"
#include "platform/files.h"

namespace kit {

// The largest profile file read (INI, language and INF files are a few
// kilobytes to a few hundred): a larger file reads as missing.
inline constexpr std::uint64_t kMaxProfileFileBytes = 16u << 20;

class PlatformFileSource final : public ini::FileSource {
 public:
  // `files` must outlive this object.
  explicit PlatformFileSource(Files& files) : files_(files) {}
  std::optional<std::string> Read(std::u16string_view path) const override;
  bool Write(std::u16string_view path, std::string_view bytes) override;

 private:
  Files& files_;
};

}  // namespace kit
