// The Windows build: the Win32 host's hook answers the warning dialogs,
// recognised by the captions "setupapi.dll" gives them.
#include "ui/text.h"
#include "ui/win32/foreign_dialogs.h"
#include "usbinstall/driver_warning.h"

namespace kit::usbinstall {
namespace {

class HookResponder final : public DriverWarningResponder {
 public:
  explicit HookResponder(std::unique_ptr<ui::win32::ForeignDialogWatch> watch) : watch_(std::move(watch)) {}

 private:
  std::unique_ptr<ui::win32::ForeignDialogWatch> watch_;
};

}  // namespace

std::unique_ptr<DriverWarningResponder> StartDriverWarningResponder(SystemFacts&) {
  std::vector<std::vector<std::uint8_t>> templates;
  if (!ui::win32::ReadLibraryDialogTemplates(kSetupApiLibrary, {kWarningDialogUnsigned, kWarningDialogUntrusted},
                                             &templates)) {
    return nullptr;
  }
  std::vector<std::string> captions;
  for (const auto& t : templates) {
    // In the ANSI code page, cut to the caption buffer with its terminator.
    std::string caption = ui::ToAnsi(DialogTemplateCaption(t.data(), t.size()));
    if (caption.size() > kWarningCaptionCapacity - 1) caption.resize(kWarningCaptionCapacity - 1);
    captions.push_back(std::move(caption));
  }
  return std::make_unique<HookResponder>(
      ui::win32::WatchForeignDialogs(std::move(captions), IsConfirmButtonText, kWindowCaptionCapacity));
}

}  // namespace kit::usbinstall
