// Install start, on the frame's thread once the pages are saved and the
// install request is built: the checks that may refuse the install, the
// driver description for the port, the network port, the printer name and
// the USB install records. Each refusal shows one message and leaves the
// wizard open.
// This file is OS-independent.
#pragma once

#include <string_view>

#include "setup/config/printer_inf_manager.h"
#include "setup/engine/engine_context.h"
#include "setup/frame/install_request.h"
#include "setup/install/install_plan.h"
#include "setup/usb/usb_prompts.h"

namespace kit::setup {

// What the wizard tells the user while the install starts: the boxes and
// questions of the USB routines, and the "ERROR" box.
class InstallPrompts : public UsbPrompts {
 public:
  // The "ERROR" box (information icon) with a system text.
  virtual void ErrorBox(std::string_view text) = 0;
};
inline constexpr std::string_view kErrorBoxCaption = "ERROR";

// The USB hand-off's two places in the install start.
enum class UsbRoute {
  kNormalInstall,  // the maker's USB driver and the kit's USB ports
  kRefused,        // a message was shown; the wizard stays open
  kWizardEnds,     // the class-printer route took over; the frame closes
};
class UsbInstallHooks {
 public:
  virtual ~UsbInstallHooks() = default;
  // USB routing at Install, before anything else of the install; `config`
  // is the install's one reading of the configuration. Sets
  // ctx.usb_driver_started when it started the USB driver's install.
  virtual UsbRoute RouteUsbInstall(EngineContext& ctx, const CPrinterInfManager& config,
                                   const InstallRequest& request, InstallPrompts& prompts) = 0;
  // USB id matching once the driver description is read: false stops the
  // install (any message was shown).
  virtual bool MatchUsbId(EngineContext& ctx, const InstallRequest& request, int port_index,
                          InstallPrompts& prompts) = 0;
};
// The hand-off left out, for runs of the rest of the install: every USB
// install is a normal install, the printer's id unchecked.
class DirectUsbInstall final : public UsbInstallHooks {
 public:
  UsbRoute RouteUsbInstall(EngineContext&, const CPrinterInfManager&, const InstallRequest&,
                           InstallPrompts&) override {
    return UsbRoute::kNormalInstall;
  }
  bool MatchUsbId(EngineContext&, const InstallRequest&, int, InstallPrompts&) override { return true; }
};

// kRefused: a message was shown and nothing changed; kFailed: the install
// cannot be done as asked (the configuration could not be read), or it was
// refused after its start had changed the system: the messages say what is
// left, and the run counts as failed.
enum class StartOutcome { kRunWorker, kRefused, kFailed, kWizardEnds };

// The text of a configuration file Windows will not give, before the
// file's path and Windows' own text.
inline constexpr std::string_view kConfigUnreadableText = "Cannot read the setup configuration file ";
// Said when the install stops after the USB printer driver's install was
// started: that install goes on without the wizard.
inline constexpr std::string_view kUsbDriverLeftText =
    "The install stopped after it had started the USB printer driver's install (Install 2); that driver stays "
    "installed.";

// Steps 3 to 9 of Install: fills *plan when the worker is to run. Reads
// setup.ini and the model's series file once, before any change; every value
// of the install comes from that reading (`config` gives the paths and the
// options).
StartOutcome PrepareInstall(EngineContext& ctx, const CPrinterInfManager& config, const InstallRequest& request,
                            InstallPrompts& prompts, UsbInstallHooks& usb, InstallPlan* plan);

}  // namespace kit::setup
