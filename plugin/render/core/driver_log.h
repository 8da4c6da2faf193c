// The driver log: when the job's record turns it on, one line per page and
// one per job in "<LogDirectory>\VRTQ40.log", appended:
//   2026-12-08 12:34:56<TAB>page<TAB>VRT-Q40(U) 1<TAB>Receipt 12<TAB>1<TAB>1843
//   2026-12-08 12:34:57<TAB>job<TAB>VRT-Q40(U) 1<TAB>Receipt 12<TAB>2<TAB>3702
// (time, what, printer, document, pages so far, bytes so far). The log's
// whole folder path is created when missing (the default folder's parent is
// not there on a fresh machine); a log that cannot be written never stops
// the job.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kit::render {

inline constexpr char16_t kLogFileName[] = u"VRTQ40.log";

struct LogTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

std::u16string LogFilePath(std::u16string_view log_directory);
// The folders to create, outermost first, for a file at `file_path` whose
// folders may not exist yet ("C:\\KVRODriverlog\\VRT-Q40(P)\\VRTQ40.log":
// "C:\\KVRODriverlog", then "C:\\KVRODriverlog\\VRT-Q40(P)"). A drive's root and
// a network share ("\\\\server\\share") are there or not: never in the list.
std::vector<std::u16string> FoldersOfFile(std::u16string_view file_path);
std::string LogLine(const LogTime& time, std::string_view what, std::string_view printer, std::string_view document,
                    int pages, std::uint64_t bytes);

}  // namespace kit::render
