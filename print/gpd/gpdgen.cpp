// gpdgen: writes every model's data files (both GPD flavours) and plug-in
// INI from the model table into the kit's payload folders, or compares the
// folders with what it would write.
//
//   gpdgen DIR...             write the files into each DIR
//   gpdgen --compare DIR...   exit 1 naming each file that differs
#include <string>
#include <vector>

#include "print/generated/generated_files.h"
#include "print/gpd/gpd_writer.h"

namespace {

using kit::print::generated::File;
using kit::print::gpd::Flavour;

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

}  // namespace

int main(int argc, char** argv) {
  return kit::print::generated::WriteOrCompare({"gpdgen", "the model table", true}, argc, argv, AllFiles());
}
