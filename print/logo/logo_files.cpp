// This file is OS-independent.
#include "print/logo/logo_files.h"

#include <cstdio>
#include <fstream>

#include "platform/files.h"

namespace kit::logo {

std::optional<std::vector<std::uint8_t>> HostLogoFiles::Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), size);
  if (in.gcount() != size) return std::nullopt;
  return bytes;
}

bool HostLogoFiles::Write(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::remove(path.c_str());
    return false;
  }
  return true;
}

std::optional<std::vector<std::uint8_t>> PlatformLogoFiles::Read(const std::u16string& path) {
  Bytes content;
  if (!files_.ReadFile(path, read_limit_, &content)) return std::nullopt;
  return content;
}

bool PlatformLogoFiles::Write(const std::u16string& path, std::span<const std::uint8_t> bytes) {
  if (files_.WriteFile(path, Bytes(bytes.begin(), bytes.end()), WriteMode::kCreateAlways)) return true;
  files_.DeleteFile(path);
  return false;
}

}  // namespace kit::logo
