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
  return ReadChosenPath("file", "an open-file dialog");
}

}  // namespace kit::ui::console
