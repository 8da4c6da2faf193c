// gpdcheck: the kit's check of GPD files. Prints each finding as
// FILE:LINE: [rule] message and exits 1 when any file has one.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "print/gpd/gpd_check.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: gpdcheck FILE.GPD...\n");
    return 2;
  }
  int faults = 0;
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
      std::fprintf(stderr, "%s: cannot read\n", argv[i]);
      ++faults;
      continue;
    }
    for (const auto& finding : kit::print::gpd::CheckGpd(text.str())) {
      std::fprintf(stderr, "%s\n", kit::print::gpd::Describe(argv[i], finding).c_str());
      ++faults;
    }
  }
  return faults == 0 ? 0 : 1;
}
