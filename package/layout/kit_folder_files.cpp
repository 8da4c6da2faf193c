#include "package/layout/kit_folder_files.h"

#include <fstream>
#include <iterator>

#include "common/codepage/codepage.h"

namespace kit::package {

namespace fs = std::filesystem;

namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<fs::path> FindNoCase(const fs::path& root, std::string_view relative) {
  fs::path at = root;
  std::size_t start = 0;
  while (start <= relative.size()) {
    const std::size_t end = std::min(relative.find_first_of("\\/", start), relative.size());
    const std::string_view part = relative.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    std::error_code ec;
    std::optional<fs::path> found;
    for (const auto& entry : fs::directory_iterator(at, ec)) {
      if (SameNoCase(entry.path().filename().string(), part)) {
        found = entry.path();
        break;
      }
    }
    if (!found) return std::nullopt;
    at = *found;
  }
  return at;
}

std::optional<std::string> KitFolderFiles::Read(std::u16string_view path) const {
  if (const auto it = read_.find(path); it != read_.end()) return it->second;
  return read_.emplace(std::u16string(path), ReadUncached(path)).first->second;
}

std::optional<std::string> KitFolderFiles::ReadUncached(std::u16string_view path) const {
  const std::string text = codepage::Utf16ToUtf8(path);
  const std::string_view root = kKitRoot;
  if (text.size() <= root.size() || !SameNoCase(std::string_view(text).substr(0, root.size()), root)) {
    return std::nullopt;
  }
  const auto host = FindNoCase(root_, std::string_view(text).substr(root.size()));
  if (!host || !fs::is_regular_file(*host)) return std::nullopt;
  std::ifstream in(*host, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kit::package
