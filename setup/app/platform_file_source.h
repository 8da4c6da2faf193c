// The kit's INI files as the wizard reads them: through the platform's file
// functions, so that the package folder is read the same way on the real
// Windows and on the virtual machine. This file is OS-independent.
#pragma once

#include "common/ini/profile_file.h"
#include "platform/files.h"

namespace kit::setup {

class PlatformFileSource final : public ini::FileSource {
 public:
  // `files` must outlive this object.
  explicit PlatformFileSource(Files& files) : files_(files) {}
  std::optional<std::string> Read(std::u16string_view path) const override;
  bool Write(std::u16string_view path, std::string_view bytes) override;

 private:
  Files& files_;
};

}  // namespace kit::setup
