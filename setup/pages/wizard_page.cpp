#include "setup/pages/wizard_page.h"

#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace kit::setup {

std::u16string WizardContext::Text(std::string_view section, std::string_view key) const {
  return ui::FromAnsi(texts.Get(section, key));
}

int WizardContext::Message(ui::Window& window, std::string_view key, std::uint32_t style) const {
  return window.MessageBox(Text("Message", key), kMessageCaption, style);
}

void WizardContext::Notice(ui::Window& window, std::string_view text) const {
  window.MessageBox(ui::FromAnsi(text), kMessageCaption, 0);
}

bool WizardContext::Ask(ui::Window& window, std::string_view key) const {
  return Message(window, key, ui::kMbYesNo | ui::kMbIconQuestion) == ui::kIdYes;
}

void WizardPage::AttachWindow(ui::Window& window) {
  window_ = &window;
  if (ctx_.chinese_font) window.SetFont(ui::ChineseSharedFont());
}

}  // namespace kit::setup
