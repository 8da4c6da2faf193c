// In-memory files for the logo conversion tests.
#pragma once

#include <map>
#include <string>

#include "print/logo/logo_files.h"

namespace kit::logo::testing {

class MemoryFiles final : public LogoFiles {
 public:
  std::map<std::string, std::vector<std::uint8_t>> files;
  bool refuse_writes = false;
  int reads = 0;

  std::optional<std::vector<std::uint8_t>> Read(const std::string& path) override {
    ++reads;
    const auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool Write(const std::string& path, std::span<const std::uint8_t> bytes) override {
    if (refuse_writes) return false;
    files[path].assign(bytes.begin(), bytes.end());
    return true;
  }
};

}  // namespace kit::logo::testing
