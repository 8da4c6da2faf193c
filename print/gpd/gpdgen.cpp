// gpdgen: writes every model's data files (both GPD flavours) and plug-in
// INI from the model table into the kit's payload folders, or compares the
// folders with what it would write.
//
//   gpdgen DIR...             write the files into each DIR
//   gpdgen --compare DIR...   exit 1 naming each file that differs
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "print/gpd/gpd_writer.h"

namespace {

using kit::print::gpd::Flavour;

struct File {
  std::string name;
  std::string text;
};

std::vector<File> AllFiles() {
  std::vector<File> files;
  for (const auto& m : kit::print::model::Models()) {
    for (Flavour f : {Flavour::kGdi, Flavour::kStd}) {
      files.push_back({kit::print::gpd::FileName(m, f), kit::print::gpd::WriteGpd(m, f)});
    }
    files.push_back({kit::print::gpd::IniFileName(m), kit::print::gpd::WritePluginIni(m)});
  }
  return files;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return in ? text.str() : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool compare = !args.empty() && args.front() == "--compare";
  if (compare) args.erase(args.begin());
  if (args.empty()) {
    std::fprintf(stderr, "usage: gpdgen [--compare] DIR...\n");
    return 2;
  }
  int differing = 0;
  for (const std::string& dir : args) {
    for (const File& file : AllFiles()) {
      const std::string path = dir + "/" + file.name;
      if (compare) {
        if (ReadAll(path) != file.text) {
          std::fprintf(stderr, "%s: differs from the model table's (run gpdgen %s)\n", path.c_str(), dir.c_str());
          ++differing;
        }
        continue;
      }
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out << file.text;
      if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", path.c_str());
        return 1;
      }
    }
  }
  return differing == 0 ? 0 : 1;
}
