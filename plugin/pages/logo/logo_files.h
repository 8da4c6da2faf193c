// File access of the logo conversion: whole-file read and write by ANSI path.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kit::logo {

class LogoFiles {
 public:
  virtual ~LogoFiles() = default;
  // The whole content of a file; nothing when it cannot be opened or read.
  virtual std::optional<std::vector<std::uint8_t>> Read(const std::string& path) = 0;
  // Creates or overwrites a file with `bytes`; false when it cannot be created
  // or not every byte was written.
  virtual bool Write(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
};

// Files of the machine the program runs on, through the C++ library (narrow
// paths: the ANSI code page on Windows). A write that fails half-way removes
// the partial file, so that no truncated bitmap is left to be drawn or sent.
class HostLogoFiles final : public LogoFiles {
 public:
  std::optional<std::vector<std::uint8_t>> Read(const std::string& path) override;
  bool Write(const std::string& path, std::span<const std::uint8_t> bytes) override;
};

}  // namespace kit::logo
