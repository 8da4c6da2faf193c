// This file is OS-independent.
#include "plugin/render/core/driver_log.h"

#include <cstdio>

namespace kit::render {

std::u16string LogFilePath(std::u16string_view log_directory) {
  std::u16string path(log_directory);
  if (!path.empty() && path.back() != u'\\') path += u'\\';
  return path + kLogFileName;
}

std::vector<std::u16string> FoldersOfFile(std::u16string_view path) {
  std::vector<std::u16string> folders;
  const std::size_t file = path.rfind(u'\\');
  if (file == std::u16string_view::npos) return folders;
  // Where the first folder of our own begins: after "C:\" or "\\server\share\".
  std::size_t start = 0;
  if (path.starts_with(u"\\\\")) {
    const std::size_t server_end = path.find(u'\\', 2);
    const std::size_t share_end = server_end == std::u16string_view::npos ? server_end : path.find(u'\\', server_end + 1);
    if (share_end == std::u16string_view::npos || share_end >= file) return folders;
    start = share_end + 1;
  } else if (path.size() >= 3 && path[1] == u':' && path[2] == u'\\') {
    start = 3;
  }
  for (std::size_t at = path.find(u'\\', start); at != std::u16string_view::npos && at <= file;
       at = path.find(u'\\', at + 1)) {
    if (at > start && path[at - 1] != u'\\') folders.emplace_back(path.substr(0, at));
  }
  return folders;
}

std::string LogLine(const LogTime& t, std::string_view what, std::string_view printer, std::string_view document,
                    int pages, std::uint64_t bytes) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  std::string line = stamp;
  for (std::string_view field : {what, printer, document}) {
    line += '\t';
    line += field;
  }
  line += '\t' + std::to_string(pages) + '\t' + std::to_string(bytes) + "\r\n";
  return line;
}

}  // namespace kit::render
