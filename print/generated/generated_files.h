// The command line of the programs that write the kit's generated files
// from its tables (gpdgen, ufmgen):
//
//   PROGRAM DIR...             write the files into each DIR
//   PROGRAM --compare DIR...   exit 1 naming each file that differs
//
// This file is OS-independent.
#pragma once

#include <string>
#include <vector>

namespace kit::print::generated {

struct File {
  std::string name;
  std::string bytes;
};

struct Generator {
  const char* program;  // its name, in the usage line and the advice to run it
  const char* source;   // what the files are written from ("the model table")
  bool many_folders;    // several DIRs, or exactly one
};

// Runs the command line over `files`: 0 when written or the same, 1 when a
// file cannot be written or differs (each named on standard error), 2 for a
// wrong command line.
int WriteOrCompare(const Generator& generator, int argc, char** argv, const std::vector<File>& files);

}  // namespace kit::print::generated
