#include "setup/engine/engine_context.h"

#include "ui/text.h"

namespace kit::setup {

std::string EngineContext::SystemText(win32::Error code) const {
  std::string text = ui::ToAnsi(platform.system.FormatMessage(code));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

WString EngineContext::Wide(std::string_view ansi) const { return ui::FromAnsi(ansi); }
std::string EngineContext::Ansi(WStringView wide) const { return ui::ToAnsi(wide); }

}  // namespace kit::setup
