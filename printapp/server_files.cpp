#include "printapp/server_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace kit::printapp {
namespace {

constexpr std::string_view kFileScheme = "file:";
constexpr std::string_view kLocalHost = "localhost";

// The real path of an existing file or folder; empty when it has none.
std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

bool Inside(const std::string& path, const std::string& folder) {
  return path == folder || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
                            path[folder.size()] == '/');
}

// "." and ".." as a component, or an empty one: a path that says more than
// one way where it goes.
bool HasOddComponent(std::string_view path) {
  std::size_t start = 1;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (part == "." || part == ".." || (part.empty() && end != path.size())) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::optional<std::string> FileDeviceRefusal(std::string_view uri, const std::string& folder) {
  if (uri.substr(0, kFileScheme.size()) != kFileScheme) return std::nullopt;
  if (folder.empty()) return std::string("file: devices are off; the server was given no file-folder.");
  std::string_view rest = uri.substr(kFileScheme.size());
  rest = rest.substr(0, rest.find('?'));  // the device's own options
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const std::size_t slash = rest.find('/');
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && host != kLocalHost) return std::string("A file: device names a file on this machine only.");
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  }
  // Escapes would let the path mean something else once decoded.
  if (rest.empty() || rest[0] != '/' || rest.find('%') != std::string_view::npos || HasOddComponent(rest)) {
    return std::string("A file: device needs a plain absolute path.");
  }
  const std::string allowed = RealPath(folder);
  if (allowed.empty()) return std::string("The server's file-folder does not exist.");
  std::string path(rest);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  std::string resolved = RealPath(path);
  if (resolved.empty()) {
    // A new file: its folder must exist, and the file lands in it.
    const std::size_t slash = path.rfind('/');
    const std::string parent = RealPath(slash == 0 ? "/" : path.substr(0, slash));
    if (parent.empty()) return std::string("The file: device's folder does not exist.");
    resolved = parent + path.substr(slash);
  }
  if (!Inside(resolved, allowed)) return "A file: device must lie in " + allowed + ".";
  return std::nullopt;
}

Upload ReadUpload(const std::string& value, const std::string& temp_folder, std::size_t limit) {
  Upload upload;
  const std::size_t slash = value.rfind('/');
  const std::string folder = RealPath(temp_folder);
  if (slash == std::string::npos || folder.empty() || RealPath(value.substr(0, slash)) != folder ||
      HasOddComponent(value)) {
    upload.refusal = "The picture was not sent as a file.";
    return upload;
  }
  const int fd = open(value.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
    if (fd >= 0) close(fd);
    upload.refusal = "The picture was not sent as a file.";
    return upload;
  }
  if (static_cast<std::size_t>(info.st_size) > limit) {
    close(fd);
    upload.refusal = "The picture is larger than " + std::to_string(limit / 1024) + " KiB.";
    return upload;
  }
  // Read one byte past the limit: a file that grew since fstat is refused too.
  upload.bytes.resize(limit + 1);
  std::size_t got = 0;
  ssize_t n;
  while (got < upload.bytes.size() && (n = read(fd, upload.bytes.data() + got, upload.bytes.size() - got)) > 0) {
    got += static_cast<std::size_t>(n);
  }
  close(fd);
  upload.bytes.resize(got);
  if (got > limit) {
    upload.bytes.clear();
    upload.refusal = "The picture is larger than " + std::to_string(limit / 1024) + " KiB.";
  }
  return upload;
}

}  // namespace kit::printapp
