// This file is OS-independent.
#include "print/gpd/gpd_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

namespace kit::print::gpd {
namespace {

// The language's limit on the quoted texts and arguments of one command.
constexpr int kMaxCommandParts = 14;

constexpr std::array<std::string_view, 41> kStandardVariables{
    "NumOfDataBytes", "RasterDataWidthInBytes", "RasterDataHeightInPixels", "NumOfCopies", "PrintDirInCCDegrees",
    "DestX", "DestY", "DestXRel", "DestYRel", "LinefeedSpacing", "RectXSize", "RectYSize", "GrayPercentage",
    "NextFontID", "NextGlyph", "PhysPaperLength", "PhysPaperWidth", "FontHeight", "FontWidth", "FontMaxWidth",
    "FontBold", "FontItalic", "FontUnderline", "FontStrikeThru", "CurrentFontID", "TextYRes", "TextXRes",
    "GraphicsYRes", "GraphicsXRes", "Rop3", "RedValue", "GreenValue", "BlueValue", "PaletteIndexToProgram",
    "CurrentPaletteIndex", "PatternBrushType", "PatternBrushID", "PatternBrushSize", "CursorOriginX",
    "CursorOriginY", "PageNumber"};
// Operators of an argument's expression that are words.
constexpr std::array<std::string_view, 3> kExpressionWords{"max_repeat", "MOD", "max"};
// The argument types: decimal, signed decimal, byte, byte-based, word low byte
// first, word high byte first, and the older printers' encodings.
constexpr std::string_view kArgumentTypes = "dDcClmqgnv";

constexpr std::array<std::string_view, 6> kOrderSections{"JOB_SETUP", "DOC_SETUP", "PAGE_SETUP",
                                                         "PAGE_FINISH", "DOC_FINISH", "JOB_FINISH"};
constexpr std::array<std::string_view, 6> kRequiredRootEntries{"GPDFileName", "MasterUnits", "ModelName",
                                                               "PrinterType", "ResourceDLL", "Include"};
constexpr std::array<std::string_view, 4> kRequiredFeatures{"Orientation", "InputBin", "PaperSize", "Resolution"};
constexpr std::array<std::string_view, 4> kRequiredCommands{"CmdCR", "CmdLF", "CmdFF", "CmdSendBlockData"};
constexpr std::string_view kStandardNames = "\"StdNames.gpd\"";
constexpr std::string_view kUniversalResources = "\"UniRes.dll\"";

template <std::size_t N>
bool In(const std::array<std::string_view, N>& list, std::string_view word) {
  return std::find(list.begin(), list.end(), word) != list.end();
}

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

class Checker {
 public:
  explicit Checker(std::string_view text) : file_(ReadGpd(text)) { findings_ = file_.findings; }

  std::vector<Finding> Run() {
    FirstEntry();
    Required();
    Fonts();
    Walk(file_.root);
    PaperSizes(file_.root);
    std::stable_sort(findings_.begin(), findings_.end(), [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return std::move(findings_);
  }

 private:
  void Add(int line, const char* rule, std::string message) { findings_.push_back({line, rule, std::move(message)}); }

  void FirstEntry() {
    if (file_.root.empty() || file_.root.front().keyword != "GPDSpecVersion") {
      Add(file_.root.empty() ? 1 : file_.root.front().line, "first", "*GPDSpecVersion must be the first entry");
    }
  }

  void Required() {
    for (std::string_view keyword : kRequiredRootEntries) {
      if (First(file_.root, keyword) == nullptr) Add(1, "required", "no root entry *" + std::string(keyword));
    }
    bool standard_names = false;
    for (const Entry* include : All(file_.root, "Include")) standard_names |= include->value == kStandardNames;
    if (!standard_names) Add(1, "required", "no *Include of the standard names " + std::string(kStandardNames));
    std::set<std::string> features, commands;
    Collect(file_.root, features, commands);
    for (std::string_view feature : kRequiredFeatures) {
      if (!features.contains(std::string(feature))) Add(1, "required", "no *Feature: " + std::string(feature));
    }
    for (std::string_view command : kRequiredCommands) {
      if (!commands.contains(std::string(command))) Add(1, "required", "no *Command: " + std::string(command));
    }
  }

  // The device fonts: LIST(id, ...) of positive ids, each once; the default
  // font one of them; the X move text needs and a resource DLL of the
  // driver's own, which carries their metrics.
  void Fonts() {
    std::set<long> ids;
    const std::vector<const Entry*> lists = All(file_.root, "DeviceFonts");
    for (const Entry* list : lists) {
      const std::string& v = list->value;
      if (v.rfind("LIST(", 0) != 0 || v.back() != ')') {
        Add(list->line, "fonts", "*DeviceFonts is not LIST(id, ...)");
        continue;
      }
      std::string item;
      const std::string inner = v.substr(5, v.size() - 6) + ",";
      for (char c : inner) {
        if (c != ',') {
          if (c != ' ') item += c;
          continue;
        }
        char* end = nullptr;
        const long id = std::strtol(item.c_str(), &end, 10);
        if (item.empty() || *end != 0 || id <= 0) {
          Add(list->line, "fonts", "\"" + item + "\" is no font resource id");
        } else if (!ids.insert(id).second) {
          Add(list->line, "fonts", "font " + item + " is listed twice");
        }
        item.clear();
      }
    }
    if (const Entry* chosen = First(file_.root, "DefaultFont")) {
      if (!ids.contains(std::strtol(chosen->value.c_str(), nullptr, 10))) {
        Add(chosen->line, "fonts", "*DefaultFont: " + chosen->value + " is no listed device font");
      }
    }
    if (lists.empty()) return;
    std::set<std::string> features, commands;
    Collect(file_.root, features, commands);
    if (!commands.contains("CmdXMoveAbsolute") || First(file_.root, "XMoveUnit") == nullptr) {
      Add(lists.front()->line, "fonts", "device fonts without *XMoveUnit and CmdXMoveAbsolute to place their text");
    }
    const Entry* dll = First(file_.root, "ResourceDLL");
    if (dll != nullptr && dll->value == kUniversalResources) {
      Add(dll->line, "fonts", "device fonts in the universal driver's own resources " + dll->value);
    }
  }

  static void Collect(const std::vector<Entry>& in, std::set<std::string>& features, std::set<std::string>& commands) {
    for (const Entry& e : in) {
      if (e.keyword == "Feature") features.insert(ConstructName(e));
      if (e.keyword == "Command") commands.insert(ConstructName(e));
      Collect(e.children, features, commands);
    }
  }

  void Walk(const std::vector<Entry>& in) {
    for (const Entry& e : in) {
      if (e.keyword == "Feature") Feature(e);
      if (e.keyword == "Command") {
        const Entry* cmd = First(e.children, "Cmd");
        const int line = cmd != nullptr ? cmd->line : e.line;
        for (Finding& f : CheckCommandString(CommandString(e), line)) findings_.push_back(std::move(f));
      }
      if (e.keyword == "Order") Order(e);
      if (e.keyword == "Option") Printable(e);
      Walk(e.children);
    }
  }

  void Feature(const Entry& feature) {
    const Entry* chosen = First(feature.children, "DefaultOption");
    if (chosen == nullptr) return Add(feature.line, "default", "*Feature: " + ConstructName(feature) + " has no *DefaultOption");
    for (const Entry* option : All(feature.children, "Option")) {
      if (ConstructName(*option) == chosen->value) return;
    }
    Add(chosen->line, "default", "*DefaultOption: " + chosen->value + " is no option of the feature");
  }

  void Order(const Entry& order) {
    const std::size_t dot = order.value.find('.');
    const std::string section = order.value.substr(0, dot);
    if (dot == std::string::npos || !In(kOrderSections, section) || dot + 1 == order.value.size() ||
        !std::all_of(order.value.begin() + static_cast<std::ptrdiff_t>(dot) + 1, order.value.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
      return Add(order.line, "order", "*Order: " + order.value + " is not SECTION.number of a known section");
    }
    if (!orders_.insert(order.value).second) Add(order.line, "order", "*Order: " + order.value + " is used twice");
  }

  static std::optional<std::pair<long, long>> ParsePair(const Entry* e) {
    if (e == nullptr) return std::nullopt;
    long x = 0, y = 0;
    if (std::sscanf(e->value.c_str(), "PAIR(%ld , %ld)", &x, &y) != 2) return std::nullopt;
    return std::pair{x, y};
  }

  void Printable(const Entry& option) {
    const auto page = ParsePair(First(option.children, "PageDimensions"));
    const auto area = ParsePair(First(option.children, "PrintableArea"));
    if (!page || !area) return;
    const auto origin = ParsePair(First(option.children, "PrintableOrigin")).value_or(std::pair{0L, 0L});
    if (origin.first < 0 || origin.second < 0 || origin.first + area->first > page->first ||
        origin.second + area->second > page->second) {
      Add(First(option.children, "PrintableArea")->line, "printable",
          "the printable area of *Option: " + ConstructName(option) + " reaches outside its page");
    }
  }

  // The PaperSize feature's named papers against its user-defined size.
  void PaperSizes(const std::vector<Entry>& in) {
    for (const Entry& e : in) {
      if (e.keyword == "Feature" && ConstructName(e) == "PaperSize") PaperSize(e);
      PaperSizes(e.children);
    }
  }

  void PaperSize(const Entry& feature) {
    const Entry* custom = nullptr;
    for (const Entry* option : All(feature.children, "Option")) {
      if (ConstructName(*option) == "CUSTOMSIZE") custom = option;
    }
    if (custom == nullptr) return;
    const Entry* min_entry = First(custom->children, "MinSize");
    const Entry* max_entry = First(custom->children, "MaxSize");
    const Entry* line_entry = First(custom->children, "MaxPrintableWidth");
    const auto min = ParsePair(min_entry);
    const auto max = ParsePair(max_entry);
    long line = 0;
    const bool has_line = line_entry != nullptr && std::sscanf(line_entry->value.c_str(), "%ld", &line) == 1;
    if (min && max && (min->first > max->first || min->second > max->second)) {
      Add(min_entry->line, "minsize", "*MinSize: " + min_entry->value + " is larger than *MaxSize: " + max_entry->value);
    }
    if (max && has_line && line > max->first) {
      Add(line_entry->line, "maxsize", "*MaxPrintableWidth: " + line_entry->value + " is wider than *MaxSize: " +
                                           max_entry->value);
    }
    for (const Entry* option : All(feature.children, "Option")) {
      if (option == custom) continue;
      const auto page = ParsePair(First(option->children, "PageDimensions"));
      if (max && page && (page->first > max->first || page->second > max->second)) {
        Add(max_entry->line, "maxsize", "*MaxSize: " + max_entry->value + " is smaller than the paper of *Option: " +
                                            ConstructName(*option));
      }
      const Entry* area_entry = First(option->children, "PrintableArea");
      const auto area = ParsePair(area_entry);
      if (has_line && area && area->first > line) {
        Add(area_entry->line, "line", "the printable width of *Option: " + ConstructName(*option) +
                                          " is wider than the line, *MaxPrintableWidth: " + line_entry->value);
      }
    }
  }

  GpdFile file_;
  std::vector<Finding> findings_;
  std::set<std::string> orders_;
};

// The argument after a "%": type, optional [min,max], {expression}.
std::optional<std::string> ArgumentFault(std::string_view s, std::size_t& at) {
  if (at >= s.size() || kArgumentTypes.find(s[at]) == std::string_view::npos) return "an argument of no known type";
  ++at;
  if (at < s.size() && s[at] == '[') {
    const std::size_t close = s.find(']', at);
    long low = 0, high = 0;
    if (close == std::string_view::npos ||
        std::sscanf(std::string(s.substr(at, close - at + 1)).c_str(), "[%ld,%ld]", &low, &high) != 2 || low > high) {
      return "an argument's range is not [min,max]";
    }
    at = close + 1;
  }
  if (at >= s.size() || s[at] != '{') return "an argument without its {expression}";
  const std::size_t close = s.find('}', at);
  if (close == std::string_view::npos) return "an argument's expression is not closed";
  const std::string_view expression = s.substr(at + 1, close - at - 1);
  at = close + 1;
  for (std::size_t i = 0; i < expression.size();) {
    if (!IsWordChar(expression[i])) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < expression.size() && IsWordChar(expression[j])) ++j;
    const std::string_view word = expression.substr(i, j - i);
    const bool number = std::all_of(word.begin(), word.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
    if (!number && !In(kStandardVariables, word) && !In(kExpressionWords, word)) {
      return "\"" + std::string(word) + "\" is no standard variable";
    }
    i = j;
  }
  return std::nullopt;
}

}  // namespace

std::vector<Finding> CheckCommandString(std::string_view s, int line) {
  std::vector<Finding> found;
  int parts = 0;
  std::size_t at = 0;
  while (at < s.size()) {
    const char c = s[at];
    if (c == ' ' || c == '\t') {
      ++at;
    } else if (c == '"') {
      ++parts;
      std::size_t i = at + 1;
      for (; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] != '<') continue;
        const std::size_t close = s.find('>', i);
        std::string digits;
        for (std::size_t k = i + 1; k < close && k < s.size(); ++k) {
          if (s[k] != ' ') digits += s[k];
        }
        if (close == std::string_view::npos || close > s.find('"', i) ||
            !std::all_of(digits.begin(), digits.end(), IsHex) || digits.size() % 2 != 0) {
          found.push_back({line, "hex", "a <...> substring that is not whole hexadecimal bytes"});
          if (close == std::string_view::npos) return found;
        }
        i = close;
      }
      if (i >= s.size()) {
        found.push_back({line, "quote", "a quoted text never closed"});
        return found;
      }
      at = i + 1;
    } else if (c == '%') {
      ++parts;
      ++at;
      if (auto fault = ArgumentFault(s, at)) {
        found.push_back({line, "param", *fault});
        return found;
      }
    } else {
      found.push_back({line, "quote", "text outside quotes in a command string"});
      return found;
    }
  }
  if (parts > kMaxCommandParts) {
    found.push_back({line, "parts", "a command of " + std::to_string(parts) + " parts, more than " +
                                        std::to_string(kMaxCommandParts)});
  }
  return found;
}

std::vector<Finding> CheckGpd(std::string_view text) { return Checker(text).Run(); }

std::string Describe(std::string_view file, const Finding& finding) {
  return std::string(file) + ":" + std::to_string(finding.line) + ": [" + finding.rule + "] " + finding.message;
}

}  // namespace kit::print::gpd
