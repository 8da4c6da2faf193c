#include "plugin/render/host/page_source.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kit::plugin::render_host {
namespace {
constexpr int kMaxGrey = 255;
}

std::optional<GreyPage> ReadPgm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, max = 0;
  if (!(in >> magic >> width >> height >> max) || magic != "P5" || width <= 0 || height <= 0 || max != kMaxGrey) {
    return std::nullopt;
  }
  in.get();  // the one white-space byte before the pixels
  GreyPage page{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
  if (!in.read(reinterpret_cast<char*>(page.grey.data()), static_cast<std::streamsize>(page.grey.size()))) {
    return std::nullopt;
  }
  return page;
}

std::vector<GreyPage> ReadPages(const std::string& path, int width_dots, const std::string& work_folder) {
  std::vector<GreyPage> pages;
  if (!path.ends_with(".pdf")) {
    if (auto page = ReadPgm(path)) pages.push_back(std::move(*page));
    return pages;
  }
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(work_folder) / "pages";
  fs::remove_all(folder);
  fs::create_directories(folder);
  // A name that starts with "-" is not taken for an option.
  const std::string input = path.starts_with("-") ? "./" + path : path;
  if (!RunProgram({"pdftoppm", "-gray", "-scale-to-x", std::to_string(width_dots), "-scale-to-y", "-1", input,
                   (folder / "page").string()})) {
    return pages;
  }
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    if (auto page = ReadPgm(file.string())) pages.push_back(std::move(*page));
  }
  return pages;
}

}  // namespace kit::plugin::render_host
