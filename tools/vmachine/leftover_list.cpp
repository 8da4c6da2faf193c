#include "tools/vmachine/leftover_list.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace kit::vmachine {
namespace {

constexpr char kSeparator[] = " | ";
constexpr char kComment = '#';
constexpr char kPathSeparator = '\\';

bool Blank(const std::string& text) { return text.find_first_not_of(" \t\r") == std::string::npos; }

}  // namespace

std::optional<std::vector<LeftoverEntry>> ParseLeftovers(const std::string& text, const std::string& file_name,
                                                         std::string* error) {
  std::vector<LeftoverEntry> entries;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (Blank(line) || line[0] == kComment) continue;
    const auto bar = line.find(kSeparator);
    if (bar == std::string::npos || bar == 0 || Blank(line.substr(bar + 3))) {
      *error = file_name + ":" + std::to_string(number) + ": an entry is \"PATTERN | REASON\"";
      return std::nullopt;
    }
    entries.push_back({line.substr(0, bar), line.substr(bar + 3)});
  }
  return entries;
}

std::optional<std::vector<LeftoverEntry>> ReadLeftovers(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + path;
    return std::nullopt;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ParseLeftovers(text, path, error);
}

bool MatchesLeftover(const std::string& pattern, const std::string& line) {
  // Dynamic programming over the pattern and the line: row[i] says that the
  // pattern read so far matches the line's first i characters.
  const std::size_t n = line.size();
  std::vector<char> row(n + 1, 0), next(n + 1, 0);
  row[0] = 1;
  std::size_t p = 0;
  while (p < pattern.size()) {
    std::fill(next.begin(), next.end(), 0);
    if (pattern[p] == '*') {
      const bool any = p + 1 < pattern.size() && pattern[p + 1] == '*';
      // A star matches zero or more characters (a single star none of them
      // a backslash).
      for (std::size_t i = 0; i <= n; ++i) {
        if (row[i] || (i > 0 && next[i - 1] && (any || line[i - 1] != kPathSeparator))) next[i] = 1;
      }
      p += any ? 2 : 1;
    } else {
      for (std::size_t i = 0; i < n; ++i) next[i + 1] = row[i] && line[i] == pattern[p];
      ++p;
    }
    row.swap(next);
  }
  return row[n] != 0;
}

const LeftoverEntry* FindLeftover(const std::vector<LeftoverEntry>& entries, const std::string& line) {
  for (const auto& entry : entries) {
    if (MatchesLeftover(entry.pattern, line)) return &entry;
  }
  return nullptr;
}

}  // namespace kit::vmachine
