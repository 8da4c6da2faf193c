// A reader of INF files as SetupAPI sees them: sections, lines with an
// optional key and comma-separated fields, quotes, comments, line
// continuations and %string% substitution from [Strings].
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace kit::sim {

struct InfLine {
  WString key;                  // empty when the line has no "key ="
  std::vector<WString> fields;  // fields 1..n, strings substituted
};

struct InfSection {
  WString name;
  std::vector<InfLine> lines;
};

struct InfText {
  std::vector<InfSection> sections;
  const InfSection* Find(WStringView name) const;
  // [Version] value, empty when absent.
  WString VersionValue(WStringView key) const;
};

// Parses INF text (UTF-16LE with BOM, UTF-8, or single-byte text).
InfText ParseInf(const Bytes& content);

}  // namespace kit::sim
