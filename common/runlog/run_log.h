// The log an unattended run of kitsetup or Uninstall keeps (--log FILE):
// every text the program would have shown, one line each, after the local
// time.
// This file is OS-independent.
#pragma once

#include <fstream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kit::runlog {

// Opens the UTF-8 path for appending; false when it cannot be written.
bool OpenRunLog(const std::string& utf8_path, std::ofstream* log);

// "YYYY-MM-DD hh:mm:ss  line", flushed at once so a killed run keeps it.
void WriteRunLogLine(std::ostream& log, std::string_view line);

// A refused command line's line, written to the --log FILE it names (the
// first "--log" followed by a value), so that a run started by a deployment
// tool that only keeps the log still says why it did nothing. Nothing when
// no log is named or it cannot be written.
void LogRefusal(const std::vector<std::string>& args, std::string_view line);

// A shown text as one log line: UTF-8, line breaks as blanks, no trailing
// blanks.
std::string OneLine(std::u16string_view text);

}  // namespace kit::runlog
