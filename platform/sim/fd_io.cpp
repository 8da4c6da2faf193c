#include "platform/sim/fd_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kit::sim {

bool ReadAll(int fd, std::string* text) {
  char buffer[1 << 16];
  for (;;) {
    const auto n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    text->append(buffer, static_cast<std::size_t>(n));
  }
}

bool ReadHostFile(const std::string& path, std::string* bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bytes->clear();
  const bool ok = ReadAll(fd, bytes);
  ::close(fd);
  return ok;
}

bool WriteAll(int fd, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  for (std::size_t done = 0; done < size;) {
    const auto n = ::write(fd, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace kit::sim
