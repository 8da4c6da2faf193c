// Any script, however malformed, is refused line by line: the console never
// crashes, loops or touches memory it does not own.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "tests/ui/conformance_page.h"
#include "ui/console/console.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream out;
  kit::ui::headless::Environment env;
  kit::ui::console::Console console(in, out);
  console.Attach(env);
  kit::ui::testing::ConformancePage page;
  kit::ui::headless::Dialog dialog(page, env);
  dialog.Create();
  console.Run(dialog);
  return 0;
}
