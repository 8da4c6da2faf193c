// Profile files read and written through the platform's files, so that the
// plug-in's INI lookups see the same drive as the rest of the product (the
// real one on Windows, the virtual machine's on Linux).
// This file is OS-independent.
#pragma once

#include "common/ini/profile_file.h"
#include "platform/files.h"

namespace kit::plugin {

class PlatformFileSource final : public ini::FileSource {
 public:
  explicit PlatformFileSource(Files& files) : files_(files) {}
  std::optional<std::string> Read(std::u16string_view path) const override;
  bool Write(std::u16string_view path, std::string_view bytes) override;

 private:
  Files& files_;
};

}  // namespace kit::plugin
