// ufmgen: writes every model's font metrics (.ufm) and the resource script
// that carries them from the font table, or compares a folder with what it
// would write.
//
//   ufmgen DIR             write the files into DIR
//   ufmgen --compare DIR   exit 1 naming each file that differs
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "print/fonts/ufm_writer.h"

namespace {

struct File {
  std::string name;
  std::string bytes;
};

std::vector<File> AllFiles() {
  using namespace kit::print;
  std::vector<File> files;
  for (const model::Model& m : model::Models()) {
    const fonts::FontList list = fonts::FontsOf(m);
    for (const fonts::PrinterFont& f : list.fonts) {
      const std::vector<std::uint8_t> ufm = fonts::WriteUfm(m, list, f);
      files.push_back({fonts::UfmFileName(m, f), std::string(ufm.begin(), ufm.end())});
    }
    files.push_back({std::string(m.token) + "_fonts.rc", fonts::WriteResourceScript(m)});
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
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: ufmgen [--compare] DIR\n");
    return 2;
  }
  int differing = 0;
  for (const File& file : AllFiles()) {
    const std::string path = args[0] + "/" + file.name;
    if (compare) {
      if (ReadAll(path) != file.bytes) {
        std::fprintf(stderr, "%s: differs from the font table's (run ufmgen %s)\n", path.c_str(), args[0].c_str());
        ++differing;
      }
      continue;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << file.bytes;
    if (!out) {
      std::fprintf(stderr, "%s: cannot write\n", path.c_str());
      return 1;
    }
  }
  return differing == 0 ? 0 : 1;
}
