// INF text reader. This file is OS-independent.
#include "platform/sim/inf_text.h"

namespace kit::sim {
namespace {

WString Decode(const Bytes& b) {
  if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
    WString out;
    for (std::size_t i = 2; i + 1 < b.size(); i += 2) out.push_back(static_cast<char16_t>(b[i] | (b[i + 1] << 8)));
    return out;
  }
  std::string text(b.begin(), b.end());
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text = text.substr(3);
  // Bytes that are not UTF-8 are taken as Latin-1.
  WString utf = FromUtf8(text);
  if (utf.find(u'\uFFFD') == WString::npos) return utf;
  WString latin;
  for (unsigned char c : text) latin.push_back(c);
  return latin;
}

WString Trim(WStringView s) {
  std::size_t a = 0, e = s.size();
  while (a < e && (s[a] == u' ' || s[a] == u'\t')) ++a;
  while (e > a && (s[e - 1] == u' ' || s[e - 1] == u'\t' || s[e - 1] == u'\r')) --e;
  return WString(s.substr(a, e - a));
}

// Splits a logical line into key and fields; quotes keep commas, '=' and ';'.
void SplitLine(const WString& line, InfLine* out, bool* has_key) {
  std::vector<WString> parts;
  WString current;
  bool quoted = false, any_quote = false;
  WString key;
  *has_key = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (c == u'"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
        current.push_back(u'"');
        ++i;
      } else {
        // Blanks before an opening quote are not part of the field.
        if (!quoted && !any_quote && Trim(current).empty()) current.clear();
        quoted = !quoted;
        any_quote = true;
      }
    } else if (!quoted && c == u';') {
      break;
    } else if (!quoted && c == u'=' && !*has_key && parts.empty()) {
      key = any_quote ? current : Trim(current);
      current.clear();
      any_quote = false;
      *has_key = true;
    } else if (!quoted && c == u',') {
      parts.push_back(any_quote ? current : Trim(current));
      current.clear();
      any_quote = false;
    } else if (!quoted && any_quote && (c == u' ' || c == u'\t')) {
      // Blanks after a closing quote are not part of the field either:
      // "VRT-Q40(U)1" = ... names "VRT-Q40(U)1", not "VRT-Q40(U)1 ".
    } else {
      current.push_back(c);
    }
  }
  parts.push_back(any_quote ? current : Trim(current));
  out->key = key;
  out->fields = parts;
}

WString Substitute(const WString& text, const InfSection* strings) {
  WString out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') {
      out.push_back(text[i]);
      continue;
    }
    const auto end = text.find(u'%', i + 1);
    if (end == WString::npos) {
      out.append(text.substr(i));
      break;
    }
    const WString name = text.substr(i + 1, end - i - 1);
    if (name.empty()) {
      out.push_back(u'%');
    } else {
      bool found = false;
      if (strings) {
        for (const auto& l : strings->lines) {
          if (EqualsNoCase(l.key, name) && !l.fields.empty()) {
            out += l.fields[0];
            found = true;
            break;
          }
        }
      }
      if (!found) out += u"%" + name + u"%";
    }
    i = end;
  }
  return out;
}

}  // namespace

const InfSection* InfText::Find(WStringView name) const {
  for (const auto& s : sections) {
    if (EqualsNoCase(s.name, name)) return &s;
  }
  return nullptr;
}

WString InfText::VersionValue(WStringView key) const {
  const InfSection* v = Find(u"Version");
  if (!v) return {};
  for (const auto& l : v->lines) {
    if (EqualsNoCase(l.key, key) && !l.fields.empty()) return l.fields[0];
  }
  return {};
}

InfText ParseInf(const Bytes& content) {
  InfText inf;
  const WString text = Decode(content);
  WString logical;
  InfSection* current = nullptr;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    auto end = text.find(u'\n', pos);
    if (end == WString::npos) end = text.size();
    WString raw = Trim(WStringView(text).substr(pos, end - pos));
    pos = end + 1;
    // A trailing backslash continues the line.
    if (!raw.empty() && raw.back() == u'\\') {
      logical += raw.substr(0, raw.size() - 1);
      if (pos <= text.size()) continue;
    } else {
      logical += raw;
    }
    const WString line = Trim(logical);
    logical.clear();
    if (line.empty() || line[0] == u';') {
      if (end == text.size()) break;
      continue;
    }
    if (line[0] == u'[') {
      const auto close = line.find(u']');
      inf.sections.push_back({Trim(line.substr(1, close == WString::npos ? WString::npos : close - 1)), {}});
      current = &inf.sections.back();
    } else if (current) {
      InfLine l;
      bool has_key = false;
      SplitLine(line, &l, &has_key);
      current->lines.push_back(l);
    }
    if (end == text.size()) break;
  }
  // Substitute strings everywhere but in [Strings] itself.
  const InfSection* strings_ptr = inf.Find(u"Strings");
  const InfSection strings = strings_ptr ? *strings_ptr : InfSection{};
  for (auto& s : inf.sections) {
    if (EqualsNoCase(s.name, u"Strings")) continue;
    for (auto& l : s.lines) {
      l.key = Substitute(l.key, &strings);
      for (auto& f : l.fields) f = Substitute(f, &strings);
    }
  }
  return inf;
}

}  // namespace kit::sim
