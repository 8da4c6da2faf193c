// Profile (INI) files read and written through the platform's files, so that
// the programs and the plug-in read the kit's and the user's INI files the
// same way on the real Windows and on the virtual machine.
// This file is OS-independent.
#pragma once

#include "common/ini/profile_file.h"
#include "platform/files.h"

namespace kit {

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
