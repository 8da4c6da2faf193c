// A GPD file read into its entries: every "*Keyword: value" line with its
// line number, and the entries inside a construct's braces as its children.
// The reader keeps going after a fault of the grammar and reports each one
// with its line, so that a check can name every fault of a file at once.
//
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kit::print::gpd {

struct Finding {
  int line = 0;
  std::string rule;     // short name of the rule broken, e.g. "braces"
  std::string message;
};

struct Entry {
  std::string keyword;  // without its "*": "Feature", "Option", "Cmd", ...
  std::string value;    // the text after the colon, trimmed
  int line = 0;
  std::vector<Entry> children;  // a construct's entries
};

struct GpdFile {
  std::vector<Entry> root;
  std::vector<Finding> findings;  // faults of the grammar met while reading
};

GpdFile ReadGpd(std::string_view text);

// The entries of `in` with this keyword, in file order.
std::vector<const Entry*> All(const std::vector<Entry>& in, std::string_view keyword);
// The first entry of `in` with this keyword, or nullptr.
const Entry* First(const std::vector<Entry>& in, std::string_view keyword);
// The value of a construct's head: "*Feature: PaperSize" -> "PaperSize";
// "*Command: CmdCR: \"\"" -> "CmdCR".
std::string ConstructName(const Entry& entry);
// The command string of a "*Command:" entry: its short form's text, or the
// value of its "*Cmd" child; empty when it has none.
std::string CommandString(const Entry& command);

}  // namespace kit::print::gpd
