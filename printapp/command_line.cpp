// This file is OS-independent.
#include "printapp/command_line.h"

namespace kit::printapp {
namespace {

constexpr char kSubmitCommand[] = "submit";
constexpr char kCopiesFlag[] = "-n";
constexpr char kOptionFlag[] = "-o";
constexpr char kCopiesOption[] = "copies=";

}  // namespace

std::vector<std::string> WithCopiesOption(const std::vector<std::string>& args) {
  if (args.size() < 2 || args[1] != kSubmitCommand) return args;
  std::vector<std::string> out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i >= 2 && args[i] == kCopiesFlag && i + 1 < args.size()) {
      out.push_back(kOptionFlag);
      out.push_back(kCopiesOption + args[++i]);
    } else {
      out.push_back(args[i]);
    }
  }
  return out;
}

}  // namespace kit::printapp
