// This file is OS-independent.
#include "plugin/render/core/driver_log.h"

#include <cstdio>

namespace kit::render {

std::u16string LogFilePath(std::u16string_view log_directory) {
  std::u16string path(log_directory);
  if (!path.empty() && path.back() != u'\\') path += u'\\';
  return path + kLogFileName;
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
