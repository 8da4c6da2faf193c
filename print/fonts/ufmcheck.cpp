// ufmcheck: checks the font metrics a rendering module carries against the
// GPD that lists them.
//
//   ufmcheck GPD RC   the RC_UFM lines of the resource script RC name the
//                     .ufm files beside it; every file is checked at the
//                     resolution of the GPD's model, and every font the GPD
//                     lists must be among them
// Exit 0 when sound, 1 naming each finding, 2 for a file that cannot be read.
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "print/fonts/ufm_check.h"
#include "print/fonts/ufm_layout.h"
#include "print/gpd/gpd_file.h"
#include "print/model/model_table.h"

namespace {

std::optional<std::string> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) return std::nullopt;
  return text.str();
}

std::string Unquoted(std::string text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kit::print;
  if (argc != 3) {
    std::fprintf(stderr, "usage: ufmcheck GPD RC\n");
    return 2;
  }
  const auto gpd_text = ReadAll(argv[1]);
  const auto rc_text = ReadAll(argv[2]);
  if (!gpd_text || !rc_text) {
    std::fprintf(stderr, "ufmcheck: cannot read %s\n", !gpd_text ? argv[1] : argv[2]);
    return 2;
  }
  const gpd::GpdFile gpd = gpd::ReadGpd(*gpd_text);
  const gpd::Entry* name = gpd::First(gpd.root, "ModelName");
  const model::Model* m = name != nullptr ? model::FindModel(Unquoted(name->value)) : nullptr;
  const std::string rc_path = argv[2];
  const std::string folder = rc_path.substr(0, rc_path.find_last_of('/') + 1);
  std::map<int, std::vector<std::uint8_t>> carried;
  int findings = 0;
  std::istringstream lines(*rc_text);
  for (std::string line; std::getline(lines, line);) {
    int id = 0, type = 0;
    char file[256] = {};
    if (std::sscanf(line.c_str(), "%d %d \"%255[^\"]\"", &id, &type, file) != 3 || type != fonts::ufm::kRcUfm) continue;
    const auto bytes = ReadAll(folder + file);
    if (!bytes) {
      std::fprintf(stderr, "ufmcheck: cannot read %s%s\n", folder.c_str(), file);
      return 2;
    }
    std::vector<std::uint8_t> ufm(bytes->begin(), bytes->end());
    for (const auto& f : fonts::CheckUfm(ufm, m != nullptr ? m->dots_per_inch : 0)) {
      std::fprintf(stderr, "%s\n", fonts::Describe(file, f).c_str());
      ++findings;
    }
    carried[id] = std::move(ufm);
  }
  for (const auto& f : fonts::CheckFontList(fonts::DeviceFontIds(*gpd_text), carried)) {
    std::fprintf(stderr, "%s\n", fonts::Describe(argv[1], f).c_str());
    ++findings;
  }
  return findings == 0 ? 0 : 1;
}
