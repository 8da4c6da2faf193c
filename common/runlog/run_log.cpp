// This file is OS-independent.
#include "common/runlog/run_log.h"

#include <chrono>
#include <ctime>
#include <filesystem>

#include "common/codepage/codepage.h"

namespace kit::runlog {

bool OpenRunLog(const std::string& utf8_path, std::ofstream* log) {
  log->open(std::filesystem::u8path(utf8_path), std::ios::app);
  return static_cast<bool>(*log);
}

void WriteRunLogLine(std::ostream& log, std::string_view line) {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  log << stamp << "  " << line << "\n" << std::flush;
}

void LogRefusal(const std::vector<std::string>& args, std::string_view line) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] != "--log" || args[i + 1].empty() || args[i + 1].rfind("--", 0) == 0) continue;
    std::ofstream log;
    if (OpenRunLog(args[i + 1], &log)) WriteRunLogLine(log, line);
    return;
  }
}

std::string OneLine(std::u16string_view text) {
  std::string out = codepage::Utf16ToUtf8(text);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace kit::runlog
