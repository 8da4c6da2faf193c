// ufmgen: writes every model's font metrics (.ufm) and the resource script
// that carries them from the font table, or compares a folder with what it
// would write.
//
//   ufmgen DIR             write the files into DIR
//   ufmgen --compare DIR   exit 1 naming each file that differs
#include <string>
#include <vector>

#include "print/fonts/ufm_writer.h"
#include "print/generated/generated_files.h"

namespace {

using kit::print::generated::File;

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

}  // namespace

int main(int argc, char** argv) {
  return kit::print::generated::WriteOrCompare({"ufmgen", "the font table", false}, argc, argv, AllFiles());
}
