// This file is OS-independent.
#include "print/gpd/gpd_file.h"

namespace kit::print::gpd {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  GpdFile Read() {
    std::vector<std::vector<Entry>*> stack{&file_.root};
    std::vector<int> open_lines;
    int line_no = 0;
    std::size_t at = 0;
    while (at <= text_.size()) {
      const std::size_t end = std::min(text_.find('\n', at), text_.size());
      std::string_view line = Trim(text_.substr(at, end - at));
      ++line_no;
      at = end + 1;
      if (line.empty() || line.starts_with("*%")) continue;
      bool opens = false;
      if (line == "{") {
        opens = true;
        line = {};
      } else if (line.ends_with("{")) {
        opens = true;
        line = Trim(line.substr(0, line.size() - 1));
      }
      if (line == "}") {
        if (stack.size() == 1) {
          Fault(line_no, "braces", "a closing brace without its opening one");
        } else {
          stack.pop_back();
          open_lines.pop_back();
        }
        continue;
      }
      if (!line.empty()) {
        if (line.front() != '*' || line.find(':') == std::string_view::npos) {
          Fault(line_no, "entry", "not an entry of the form *Keyword: value");
          continue;
        }
        const std::size_t colon = line.find(':');
        Entry entry;
        entry.keyword = std::string(Trim(line.substr(1, colon - 1)));
        entry.value = std::string(Trim(line.substr(colon + 1)));
        entry.line = line_no;
        stack.back()->push_back(std::move(entry));
      }
      if (opens) {
        if (stack.back()->empty()) {
          Fault(line_no, "braces", "an opening brace without a construct before it");
          continue;
        }
        stack.push_back(&stack.back()->back().children);
        open_lines.push_back(line_no);
      }
    }
    for (int open : open_lines) Fault(open, "braces", "an opening brace never closed");
    return std::move(file_);
  }

 private:
  void Fault(int line, const char* rule, const char* message) { file_.findings.push_back({line, rule, message}); }

  std::string_view text_;
  GpdFile file_;
};

}  // namespace

GpdFile ReadGpd(std::string_view text) { return Reader(text).Read(); }

std::vector<const Entry*> All(const std::vector<Entry>& in, std::string_view keyword) {
  std::vector<const Entry*> found;
  for (const Entry& e : in) {
    if (e.keyword == keyword) found.push_back(&e);
  }
  return found;
}

const Entry* First(const std::vector<Entry>& in, std::string_view keyword) {
  for (const Entry& e : in) {
    if (e.keyword == keyword) return &e;
  }
  return nullptr;
}

std::string ConstructName(const Entry& entry) {
  const std::string_view v = entry.value;
  const std::size_t colon = v.find(':');
  return std::string(Trim(v.substr(0, colon)));
}

std::string CommandString(const Entry& command) {
  const std::size_t colon = command.value.find(':');
  if (colon != std::string::npos) return std::string(Trim(std::string_view(command.value).substr(colon + 1)));
  const Entry* cmd = First(command.children, "Cmd");
  return cmd != nullptr ? cmd->value : std::string();
}

}  // namespace kit::print::gpd
