// Source pictures on Windows hosts: read into memory in one call.
#include "print/logo/logo_files.h"

namespace kit::logo {

std::optional<SourceBytes> HostLogoFiles::ReadSource(const std::string& path) {
  return LogoFiles::ReadSource(path);
}

}  // namespace kit::logo
