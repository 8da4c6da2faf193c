// This file is OS-independent.
#include "common/ini/profile_lines.h"

#include "common/ini/profile_text.h"

namespace kit::ini {
namespace {

// Offsets of the trimmed part of text[begin, end).
void Trim(std::u16string_view text, std::size_t& begin, std::size_t& end) {
  while (begin < end && IsProfileSpace(text[begin])) ++begin;
  while (end > begin && IsProfileSpace(text[end - 1])) --end;
}

std::size_t CutSizeAtNul(std::u16string_view text, std::size_t begin, std::size_t size) {
  return CutAtNul(text.substr(begin, size)).size();
}

}  // namespace

std::u16string_view CutAtNul(std::u16string_view text) {
  const auto nul = text.find(u'\0');
  return nul == std::u16string_view::npos ? text : text.substr(0, nul);
}

std::vector<ProfileLine> ScanProfileLines(std::u16string_view text) {
  std::vector<ProfileLine> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    ProfileLine line;
    line.begin = pos;
    std::size_t end = pos;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    line.end = end;
    std::size_t next = end;
    if (next < text.size()) {
      next += (text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n') ? 2 : 1;
    }
    line.next = next;
    pos = next;

    std::size_t begin = line.begin;
    Trim(text, begin, end);
    if (begin == end) {
      lines.push_back(line);
      continue;
    }
    if (text[begin] == u'[') {
      std::size_t close = end;
      while (close > begin + 1 && text[close - 1] != u']') --close;
      if (close > begin + 1) {
        std::size_t name_begin = begin + 1;
        std::size_t name_end = close - 1;
        Trim(text, name_begin, name_end);
        line.kind = ProfileLine::Kind::kSection;
        line.name_begin = name_begin;
        line.name_size = CutSizeAtNul(text, name_begin, name_end - name_begin);
        lines.push_back(line);
        continue;
      }
    }
    line.kind = ProfileLine::Kind::kEntry;
    std::size_t equals = begin;
    while (equals < end && text[equals] != u'=') ++equals;
    std::size_t name_end = equals;
    Trim(text, begin, name_end);
    line.name_begin = begin;
    line.name_size = CutSizeAtNul(text, begin, name_end - begin);
    if (equals < end) {
      std::size_t value_begin = equals + 1;
      std::size_t value_end = end;
      Trim(text, value_begin, value_end);
      line.has_value = true;
      line.value_begin = value_begin;
      line.value_size = CutSizeAtNul(text, value_begin, value_end - value_begin);
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace kit::ini
