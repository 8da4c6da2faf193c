// This file is OS-independent.
#include "uninstall/config/log_text.h"

namespace kit::uninstall {
namespace {

constexpr char kErrorCodeLead[] = "    er=";

// `argument` null: no "%s" is replaced.
std::string Expand(std::string_view text, const std::string_view* argument) {
  std::string out;
  out.reserve(text.size() + (argument != nullptr ? argument->size() : 0));
  bool replaced = argument == nullptr;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      if (text[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (text[i + 1] == 's' && !replaced) {
        out += *argument;
        replaced = true;
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace

std::string FormatLogText(std::string_view text, std::string_view argument) { return Expand(text, &argument); }

std::string FormatErrorCodeLine(std::string_view text, std::uint32_t error) {
  return Expand(text, nullptr) + kErrorCodeLead + std::to_string(static_cast<std::int32_t>(error));
}

}  // namespace kit::uninstall
