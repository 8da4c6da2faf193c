// This file is OS-independent.
#include "print/generated/generated_files.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace kit::print::generated {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return in ? text.str() : std::string();
}

}  // namespace

int WriteOrCompare(const Generator& generator, int argc, char** argv, const std::vector<File>& files) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool compare = !args.empty() && args.front() == "--compare";
  if (compare) args.erase(args.begin());
  if (args.empty() || (!generator.many_folders && args.size() != 1)) {
    std::fprintf(stderr, "usage: %s [--compare] DIR%s\n", generator.program, generator.many_folders ? "..." : "");
    return 2;
  }
  int differing = 0;
  for (const std::string& dir : args) {
    for (const File& file : files) {
      const std::string path = dir + "/" + file.name;
      if (compare) {
        if (ReadAll(path) != file.bytes) {
          std::fprintf(stderr, "%s: differs from %s's (run %s %s)\n", path.c_str(), generator.source,
                       generator.program, dir.c_str());
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
  }
  return differing == 0 ? 0 : 1;
}

}  // namespace kit::print::generated
