// A list of differences that may stay between two machines, each with its
// reason: what `vmachine diff --ignore FILE` leaves out, so that a user's
// comparison after an uninstall and the end-to-end test's are one.
//
// The file holds one entry a line, "PATTERN | REASON". PATTERN is matched
// against a whole line of the comparison's text (`DifferenceText`): "*"
// stands for any text without a backslash (within one name of a path), "**"
// for any text; every other character stands for itself. REASON says why
// the difference stays and may not be empty. Blank lines and lines that
// start with "#" are comments.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kit::vmachine {

struct LeftoverEntry {
  std::string pattern;
  std::string reason;
};

// The entries of a list's text; nullopt with *error naming the line
// ("FILE:LINE: ...") when a line is no entry.
std::optional<std::vector<LeftoverEntry>> ParseLeftovers(const std::string& text, const std::string& file_name,
                                                         std::string* error);
// Reads and parses a list file; nullopt with *error set when it cannot be
// read or holds a line that is no entry.
std::optional<std::vector<LeftoverEntry>> ReadLeftovers(const std::string& path, std::string* error);

// Whether `line` as a whole matches `pattern`.
bool MatchesLeftover(const std::string& pattern, const std::string& line);

// The first entry that matches `line`, or null.
const LeftoverEntry* FindLeftover(const std::vector<LeftoverEntry>& entries, const std::string& line);

}  // namespace kit::vmachine
