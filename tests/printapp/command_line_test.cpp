// "submit -n COPIES" reaches PAPPL's main loop as the copies option; the
// rest of a command line is left alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printapp/command_line.h"

namespace kit::printapp {
namespace {

TEST(CommandLineTest, SubmitCopiesBecomeTheCopiesOption) {
  using Args = std::vector<std::string>;
  struct Case {
    Args in;
    Args out;
  };
  const Case cases[] = {
      {{"kvprinter", "submit", "-n", "2", "a.pdf"}, {"kvprinter", "submit", "-o", "copies=2", "a.pdf"}},
      {{"kvprinter", "submit", "-d", "desk", "-n", "3", "-o", "cut-mode=none", "a.pwg"},
       {"kvprinter", "submit", "-d", "desk", "-o", "copies=3", "-o", "cut-mode=none", "a.pwg"}},
      // The value is passed on as given: the server answers a bad one.
      {{"kvprinter", "submit", "-n", "x", "a.pdf"}, {"kvprinter", "submit", "-o", "copies=x", "a.pdf"}},
      // -n last, without its value: left for the main loop's own message.
      {{"kvprinter", "submit", "a.pdf", "-n"}, {"kvprinter", "submit", "a.pdf", "-n"}},
      // A file named -n after the flag's value, and other commands, untouched.
      {{"kvprinter", "submit", "-n", "2", "-n"}, {"kvprinter", "submit", "-o", "copies=2", "-n"}},
      {{"kvprinter", "add", "-n", "2"}, {"kvprinter", "add", "-n", "2"}},
      {{"kvprinter", "-n", "submit"}, {"kvprinter", "-n", "submit"}},
      {{"kvprinter"}, {"kvprinter"}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithCopiesOption(c.in), c.out) << (c.in.size() > 2 ? c.in[2] : "");
  }
}

}  // namespace
}  // namespace kit::printapp
