// This file is OS-independent.
#include "usbinstall/error_box.h"

#include <cinttypes>
#include <cstdio>

#include "usbinstall/setupapi_error_names.h"

namespace kit::usbinstall {
namespace {

std::string Hex8(std::uint32_t code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%8.8" PRIX32, code);
  return buffer;
}

}  // namespace

std::string ErrorBoxText(std::string_view operation, std::uint32_t code, std::string_view system_text) {
  const std::string op(operation);
  if (!system_text.empty()) {
    // The code in signed decimal, as "%d" prints a DWORD.
    return "Error " + std::to_string(static_cast<std::int32_t>(code)) + " in " + op + ": " +
           std::string(system_text) + "\n";
  }
  const auto name = SetupApiErrorName(code);
  if (!name.empty()) return "Error " + Hex8(code) + " in " + op + ": " + std::string(name) + "\n";
  return "Error " + Hex8(code) + " in " + op + "\n";
}

void ShowErrorBox(InstallerContext& context, std::string_view operation, std::uint32_t code) {
  const std::string text = Ansi(context.system, context.system.FormatMessage(code, 0));
  context.view.MessageBox(ErrorBoxText(operation, code, text), kMessageBoxCaption, kBoxOk | kBoxIconError);
}

}  // namespace kit::usbinstall
