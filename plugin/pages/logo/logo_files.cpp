// This file is OS-independent.
#include "plugin/pages/logo/logo_files.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace kit::logo {

std::optional<std::vector<std::uint8_t>> HostLogoFiles::Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
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

}  // namespace kit::logo
