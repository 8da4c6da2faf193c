// File access of the logo conversion: whole-file read and write, by narrow
// path (the command-line tool's files) or by UTF-16 path (the Download
// page's files on the system it works on).
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kit {
class Files;
}

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
// paths: the ANSI code page on Windows). Each file is read and written in
// one call. A write that fails half-way removes the partial file, so that no
// truncated bitmap is left to be drawn or sent.
class HostLogoFiles final : public LogoFiles {
 public:
  std::optional<std::vector<std::uint8_t>> Read(const std::string& path) override;
  bool Write(const std::string& path, std::span<const std::uint8_t> bytes) override;
};

// The same by UTF-16 path, so that a name outside the ANSI code page still
// opens its file.
class WideLogoFiles {
 public:
  virtual ~WideLogoFiles() = default;
  virtual std::optional<std::vector<std::uint8_t>> Read(const std::u16string& path) = 0;
  virtual bool Write(const std::u16string& path, std::span<const std::uint8_t> bytes) = 0;
};

// The platform's files (the real Windows, or the virtual machine's drive C:).
// A write that fails removes what it left.
class PlatformLogoFiles final : public WideLogoFiles {
 public:
  explicit PlatformLogoFiles(Files& files) : files_(files) {}
  std::optional<std::vector<std::uint8_t>> Read(const std::u16string& path) override;
  bool Write(const std::u16string& path, std::span<const std::uint8_t> bytes) override;

 private:
  Files& files_;
};

}  // namespace kit::logo
