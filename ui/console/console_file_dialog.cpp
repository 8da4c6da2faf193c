// The console's open-file dialog: its title and filter shown, answered with
// "file <path>" or "cancel". This file is OS-independent.
#include <ostream>

#include "ui/console/console.h"
#include "ui/text.h"

namespace kit::ui::console {

std::optional<std::u16string> Console::AnswerFileDialog(const OpenFileRequest& request) {
  out_ << "--- open-file dialog" << (request.title.empty() ? std::string() : ": " + ToUtf8(request.title)) << "\n";
  for (const auto& [description, pattern] : request.filter)
    out_ << "  type " << ToUtf8(description) << "  (" << ToUtf8(pattern) << ")\n";
  out_ << "  file <path> chooses it, cancel closes the dialog\n";
  std::string line;
  if (!quit_ && ReadAction(&line)) {
    const std::size_t space = line.find(' ');
    const std::string word = line.substr(0, space);
    std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    while (!rest.empty() && rest.front() == ' ') rest.erase(rest.begin());
    if (word == "file" && !rest.empty()) {
      out_ << "  chose " << rest << "\n";
      return FromUtf8(rest);
    }
    if (word != "cancel") Report("an open-file dialog takes \"file <path>\" or \"cancel\"");
  }
  out_ << "  (cancelled)\n";
  return std::nullopt;
}

}  // namespace kit::ui::console
