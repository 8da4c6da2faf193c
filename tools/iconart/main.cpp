// iconart OUTPUT_FOLDER FILE...
// Writes the named pieces of the kit's artwork (icons and bitmaps for the
// resource scripts) into OUTPUT_FOLDER. A name the catalogue does not hold
// is an error, so a resource script cannot ask for a file nobody draws.
// Runs on the build machine, also in the Windows builds.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/iconart/catalogue.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: iconart OUTPUT_FOLDER FILE...\n");
    return 2;
  }
  const std::string folder = argv[1];
  int status = 0;
  for (int i = 2; i < argc; ++i) {
    const kit::iconart::Artwork* art = kit::iconart::FindArtwork(argv[i]);
    if (art == nullptr) {
      std::fprintf(stderr, "iconart: no artwork named %s\n", argv[i]);
      status = 2;
      continue;
    }
    const auto bytes = kit::iconart::ArtworkFile(*art);
    const std::string path = folder + "/" + argv[i];
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "iconart: cannot write %s\n", path.c_str());
      status = 1;
    }
  }
  return status;
}
