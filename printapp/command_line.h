// The program's command line, put in the form PAPPL's main loop reads.
//
// This file is OS-independent.
#pragma once

#include <string>
#include <vector>

namespace kit::printapp {

// "submit -n COPIES" as "-o copies=COPIES": PAPPL 1.3's main loop lists
// -n in its help and then sends no copies with the job. Every other
// argument, and every other command's, stays as it is.
std::vector<std::string> WithCopiesOption(const std::vector<std::string>& args);

}  // namespace kit::printapp
