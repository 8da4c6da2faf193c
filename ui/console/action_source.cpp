#include "ui/console/action_source.h"

#include <unistd.h>

#include <iostream>

namespace kit::ui::console {

bool ActionSource::Open(const std::string& script) {
  if (script.empty()) return true;
  file_.open(script);
  from_file_ = true;
  return static_cast<bool>(file_);
}

std::istream& ActionSource::stream() { return from_file_ ? static_cast<std::istream&>(file_) : std::cin; }

Options ActionSource::options() const {
  Options options;
  options.interactive = !from_file_ && isatty(STDIN_FILENO);
  return options;
}

}  // namespace kit::ui::console
