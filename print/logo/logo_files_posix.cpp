// Source pictures mapped into memory on POSIX hosts.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "print/logo/logo_files.h"

namespace kit::logo {

std::optional<SourceBytes> HostLogoFiles::ReadSource(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat status {};
  const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  const auto size = regular ? static_cast<std::size_t>(status.st_size) : 0;
  void* view = size > 0 ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0) : MAP_FAILED;
  ::close(fd);
  if (view == MAP_FAILED) {
    // Empty files, pipes and file systems that cannot map: read them.
    return LogoFiles::ReadSource(path);
  }
  std::shared_ptr<const std::uint8_t> mapped(static_cast<const std::uint8_t*>(view),
                                             [size](const std::uint8_t* p) { ::munmap(const_cast<std::uint8_t*>(p), size); });
  return SourceBytes(std::move(mapped), size);
}

}  // namespace kit::logo
