// What every page of the setup wizard shares: the wizard's context (texts,
// configuration, system facts), the link back to the frame that hosts it,
// and validate-and-save. This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/shell.h"
#include "setup/about/language_texts.h"
#include "setup/config/printer_inf_manager.h"
#include "setup/usb/usb_queries.h"
#include "ui/page.h"

namespace kit {
class SystemFacts;
}

namespace kit::setup {

// The caption of the wizard's message boxes: the program's name.
inline constexpr char16_t kMessageCaption[] = u"kitsetup";

// Process-wide facts set once at start-up, and the services the pages use.
struct WizardContext {
  const LanguageTexts& texts;
  const CPrinterInfManager& inf;
  SystemFacts& system;
  Files& files;
  Shell& shell;
  UsbQueries& usb;
  std::string package_folder;     // without trailing backslash
  std::uint16_t language_id = 0;  // the system default language
  bool is_64bit = false;          // the 64-bit flag
  bool chinese_font = false;      // give every window the shared font

  // A language text as the dialogs show it.
  std::u16string Text(std::string_view section, std::string_view key) const;
  // "Message"/key in a message box owned by `window`.
  int Message(ui::Window& window, std::string_view key, std::uint32_t style = 0) const;
  // A box with an ANSI text as it stands, owned by `window`.
  void Notice(ui::Window& window, std::string_view text) const;
  // "Message"/key as a yes/no question: true on yes.
  bool Ask(ui::Window& window, std::string_view key) const;
};

// What a page may ask of the frame that hosts it.
class FrameLink {
 public:
  virtual ~FrameLink() = default;
  virtual void EnableNext(bool enabled) = 0;
  // Closes the frame as Cancel does.
  virtual void CancelFrame() = 0;
};

class WizardPage : public ui::Page {
 public:
  explicit WizardPage(const WizardContext& context) : ctx_(context) {}
  void SetFrame(FrameLink* frame) { frame_ = frame; }
  // Copies the controls into the members; false refuses to leave the page.
  virtual bool ValidateAndSave() { return true; }
  // The page's window while it exists.
  ui::Window* window() const { return window_; }
  void OnDestroy(ui::Window&) override { window_ = nullptr; }

 protected:
  // Keeps the window and applies the shared font on Chinese systems.
  void AttachWindow(ui::Window& window);
  std::u16string Text(std::string_view section, std::string_view key) const { return ctx_.Text(section, key); }

  const WizardContext& ctx_;
  FrameLink* frame_ = nullptr;
  ui::Window* window_ = nullptr;
};

// The size of every page in dialog units (the frame's page rectangle).
inline constexpr int kPageWidth = 270;
inline constexpr int kPageHeight = 176;

}  // namespace kit::setup
