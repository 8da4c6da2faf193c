// File access of the logo conversion: whole-file read and write, by narrow
// path (the command-line tool's files) or by UTF-16 path (the Download
// page's files on the system it works on).
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kit {
class Files;
}

namespace kit::logo {

// The bytes of a source picture for one conversion: either read into memory,
// or a read-only view of the file mapped into memory (no copy of a picture
// of several megabytes, no buffer cleared first). The view stays valid while
// any copy of this object lives.
class SourceBytes {
 public:
  explicit SourceBytes(std::vector<std::uint8_t> bytes) : owned_(std::move(bytes)) {}
  SourceBytes(std::shared_ptr<const std::uint8_t> mapped, std::size_t size)
      : mapped_(std::move(mapped)), mapped_size_(size) {}
  std::span<const std::uint8_t> bytes() const {
    return mapped_ ? std::span<const std::uint8_t>(mapped_.get(), mapped_size_) : std::span<const std::uint8_t>(owned_);
  }

 private:
  std::vector<std::uint8_t> owned_;
  std::shared_ptr<const std::uint8_t> mapped_;
  std::size_t mapped_size_ = 0;
};

// The bytes of a whole-file read as a source to convert; nothing when the
// read gave nothing.
inline std::optional<SourceBytes> AsSource(std::optional<std::vector<std::uint8_t>> bytes) {
  if (!bytes) return std::nullopt;
  return SourceBytes(std::move(*bytes));
}

class LogoFiles {
 public:
  virtual ~LogoFiles() = default;
  // The whole content of a file; nothing when it cannot be opened or read.
  virtual std::optional<std::vector<std::uint8_t>> Read(const std::string& path) = 0;
  // The same for a file that is only read once, to be converted; a host may
  // map the file instead of reading it.
  virtual std::optional<SourceBytes> ReadSource(const std::string& path) { return AsSource(Read(path)); }
  // Creates or overwrites a file with `bytes`; false when it cannot be created
  // or not every byte was written.
  virtual bool Write(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
};

// Files of the machine the program runs on, through the C++ library (narrow
// paths: the ANSI code page on Windows). Each file is read and written in
// one call; on POSIX hosts a source to convert is mapped into memory with its
// pages loaded at once. A write that fails half-way removes the partial file,
// so that no truncated bitmap is left to be drawn or sent.
class HostLogoFiles final : public LogoFiles {
 public:
  std::optional<std::vector<std::uint8_t>> Read(const std::string& path) override;
  std::optional<SourceBytes> ReadSource(const std::string& path) override;
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
// A read takes files of at most `read_limit` bytes (the bounded read of the
// platform); a write that fails removes what it left.
class PlatformLogoFiles final : public WideLogoFiles {
 public:
  PlatformLogoFiles(Files& files, std::uint64_t read_limit) : files_(files), read_limit_(read_limit) {}
  std::optional<std::vector<std::uint8_t>> Read(const std::u16string& path) override;
  bool Write(const std::u16string& path, std::span<const std::uint8_t> bytes) override;

 private:
  Files& files_;
  std::uint64_t read_limit_;
};

}  // namespace kit::logo
