// The USB hand-off at Install: which route a USB install takes (the maker's
// driver with the kit's "USB_" ports, or a USB class printer installed by
// "Install" from the package's class-printer INF), and the printer's USB id
// matched to the chosen port.
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>

#include "setup/install/install_start.h"
#include "setup/usb/usb_env.h"

namespace kit::setup {

// SupportedUSBMODE values; any other acts as kUsbModeMakerDriverOnly.
inline constexpr int kUsbModeEither = 0;
inline constexpr int kUsbModeClassPrinterOnly = 1;
inline constexpr int kUsbModeMakerDriverOnly = 2;

// The class-printer INF: "<Inffilename>32.inf" in "W32", "...64.inf" in
// "W64", or "Setup.inf" when the name is empty or begins with "err".
inline constexpr std::string_view kNoInfFilePrefix = "err";
inline constexpr std::string_view kDefaultClassInf = "Setup.inf";
// The installer's action that installs a class printer, and its display flag.
inline constexpr std::string_view kClassPrinterAction = " 3 ";
inline constexpr std::string_view kClassPrinterDisplayFlag = " 0";
// Shown when the printer's id could not be rewritten in Advanced mode.
inline constexpr char kSetIdFailedText[] = "Failed to set Printer ID!";

// The INF path in the package folder for the bitness.
std::string ClassPrinterInfPath(std::string_view package_folder, std::string_view inf_file_name, bool is_64bit);
// The [USBCLASSPRINTER] key of a model for a lookup result (1-5).
std::string ClassPrinterKey(std::string_view model, int lookup);
// The installer's parameters; the key (quoted) only when the printer is to
// become the default.
std::string ClassPrinterParameters(std::string_view inf_path, std::string_view hardware_id,
                                   std::string_view key, bool set_as_default);

// Installs the model's connected class printer through "Install"; false
// (after the message) when the printer or its hardware id is unknown.
bool InstallUsbClassPrinter(EngineContext& ctx, const CPrinterInfManager& config, const InstallRequest& request,
                            UsbPrompts& prompts);

// The hooks of Install start, on the platform of the engine's context.
class UsbHandOff final : public UsbInstallHooks {
 public:
  UsbRoute RouteUsbInstall(EngineContext& ctx, const CPrinterInfManager& config, const InstallRequest& request,
                           InstallPrompts& prompts) override;
  bool MatchUsbId(EngineContext& ctx, const InstallRequest& request, int port_index,
                  InstallPrompts& prompts) override;
};

// The USB routines' view of an engine context.
UsbEnv UsbEnvOf(EngineContext& ctx);

}  // namespace kit::setup
