// This file is OS-independent.
#include "usbinstall/command_line.h"

#include <climits>
#include <cstdint>

namespace kit::usbinstall {
namespace {

// Positions (after the program name) of the printer-class install's arguments.
constexpr std::size_t kInfPathArgument = 2;
constexpr std::size_t kDeviceIdArgument = 3;
constexpr std::size_t kDisplayFlagArgument = 4;
constexpr std::size_t kPrinterNameArgument = 5;
// Those arguments are taken once this many follow the program name.
constexpr std::size_t kMinArgumentsForPackage = 2;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string ArgumentAt(const std::vector<std::string>& arguments, std::size_t position) {
  // Position 1 is arguments[0].
  return position - 1 < arguments.size() ? arguments[position - 1] : std::string();
}

}  // namespace

int LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = static_cast<std::int64_t>(INT_MAX) + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;  // saturate: a long run of digits never overflows
  }
  if (negative) return static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  for (const auto& argument : arguments) {
    if (!argument.empty() && (argument[0] == '/' || argument[0] == '-')) continue;
    result.action_text = argument;
    break;
  }
  result.action = LeadingNumber(result.action_text);

  const auto dash = result.action_text.find('-', 1);
  if (dash != std::string::npos) {
    const int count = LeadingNumber(std::string_view(result.action_text).substr(dash + 1));
    result.device_count = (count <= 0 || count > kMaxDeviceCount) ? 1 : count;
  }

  if (arguments.size() >= kMinArgumentsForPackage) {
    result.inf_path = ArgumentAt(arguments, kInfPathArgument);
    result.device_id = ArgumentAt(arguments, kDeviceIdArgument);
    result.display_flag = ArgumentAt(arguments, kDisplayFlagArgument);
    result.printer_name = ArgumentAt(arguments, kPrinterNameArgument);
  }
  return result;
}

}  // namespace kit::usbinstall
