// A wizard run on a fresh virtual machine: the kit's files written below
// C:\kit, the application started with a headless host, and the frame
// handed to the test body while it is open.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/presets.h"
#include "setup/app/kitsetup_app.h"
#include "tests/setup/wizard/sample_kit.h"
#include "ui/headless/dialog.h"

namespace kit::setup::testing {

inline constexpr char16_t kKitProgram[] = u"C:\\kit\\kitsetup.exe";

class WizardRun {
 public:
  explicit WizardRun(const std::string& preset, bool administrator = true);
  ~WizardRun();

  // Changes the machine's system facts before the run (the state file's
  // "system" object).
  void SetSystem(const std::string& key, const nlohmann::json& value);
  sim::Machine& machine() { return *machine_; }

  // Writes the kit and runs the application; `drive` acts on the open
  // frame. Returns how the start ended.
  StartResult Run(const KitFiles& kit, const std::function<void(ui::headless::Dialog&)>& drive = {});

  // Messages shown before the frame existed, and in or over the frame.
  std::vector<std::u16string> startup_messages;
  std::vector<std::u16string> FrameMessages() const;
  ui::headless::Environment env;
  FakeUsb usb;
  // The machine answers the USB questions (plugged printers, the kit's
  // libraries) instead of `usb`.
  bool platform_usb = false;
  CKitsetupApp* app() { return app_.get(); }
  int frame_result = 0;

 private:
  std::filesystem::path folder_;
  std::unique_ptr<sim::Machine> machine_;
  std::unique_ptr<CKitsetupApp> app_;
};

// The page windows of the frame by page index, and the one shown.
ui::headless::Dialog& PageOf(ui::headless::Dialog& frame, int index);
int VisiblePage(ui::headless::Dialog& frame);

}  // namespace kit::setup::testing
