// Answering the system's driver-installation warnings while an action runs:
// the installer presses the confirming button of the warning dialogs itself.
// This file is OS-independent; the Windows hook is in driver_warning_win32.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace kit::usbinstall {

inline constexpr char16_t kSetupApiLibrary[] = u"setupapi.dll";
// Dialog resources of "setupapi.dll" whose captions name the warning dialogs.
inline constexpr int kWarningDialogUnsigned = 5314;
inline constexpr int kWarningDialogUntrusted = 5316;
// Captions are read into buffers of these sizes.
inline constexpr std::size_t kWarningCaptionCapacity = 255;
inline constexpr std::size_t kWindowCaptionCapacity = 251;

// Whether a child window's text marks the confirming button: the letter Y or
// C as the second character ("&Yes", "&Continue Anyway") or as the
// next-to-last one ("Yes(&Y)", "Continue(&C)").
bool IsConfirmButtonText(std::string_view text);

// The caption of a dialog resource (DLGTEMPLATE or DLGTEMPLATEEX bytes):
// the text after the menu and class fields, whatever form they take. Empty
// for a template too short to hold one.
std::u16string DialogTemplateCaption(const std::uint8_t* data, std::size_t size);

// Watches for the warning dialogs for as long as it lives.
class DriverWarningResponder {
 public:
  virtual ~DriverWarningResponder() = default;
};

// Starts answering the warnings on this thread. Null when "setupapi.dll"
// cannot be loaded: the installer then ends without running its action.
// Nothing shows such warnings on the Linux build, so there the responder
// only checks the library.
std::unique_ptr<DriverWarningResponder> StartDriverWarningResponder(SystemFacts& system);

}  // namespace kit::usbinstall
