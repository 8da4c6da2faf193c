// The command line and standard output of the kit's window programs
// (Windows build only).
#pragma once

#include <string>
#include <vector>

namespace kit::win32 {

// The program's arguments after its own name, as UTF-8.
std::vector<std::string> CommandLineArguments();

// A program of the Windows subsystem has standard handles only when its
// starter gave it some (a redirection); started from a console without one,
// it writes to that console from here on.
void UseParentConsoleWhereNoOutput();

}  // namespace kit::win32
