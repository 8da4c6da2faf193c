// Where a Linux program's console actions come from: the script file named
// on its command line, or else the terminal (prompting only when standard
// input is one). POSIX builds.
#pragma once

#include <fstream>
#include <istream>
#include <string>

#include "ui/console/console.h"

namespace kit::ui::console {

class ActionSource {
 public:
  // Opens `script` when it is not empty; false when that file cannot be read.
  bool Open(const std::string& script);
  std::istream& stream();
  // The console's options: interactive for a terminal without a script.
  Options options() const;

 private:
  std::ifstream file_;
  bool from_file_ = false;
};

}  // namespace kit::ui::console
