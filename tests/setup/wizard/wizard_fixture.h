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
#include "ui/headless/dialog.h"

namespace kit::setup::testing {

inline constexpr char16_t kKitProgram[] = u"C:\\kit\\kitsetup.exe";

// Answers the port page's USB questions as a test sets them.
struct FakeUsb final : UsbQueries {
  int classification = kUsbMakerDriverOrNone;
  std::string version = kNoDriverVersion;
  int ClassifyConnectedPrinters() override { return classification; }
  std::string InstalledUsbDriverVersion() override { return version; }
};

// The kit's configuration as INI sections: file -> text.
struct KitFiles {
  std::map<std::string, std::string> files;
  void Set(const std::string& relative, std::string text) { files[relative] = std::move(text); }
  void Remove(const std::string& relative) { files.erase(relative); }
};

// A consistent small kit: five models over the four series, licence on.
KitFiles SampleKit();
// A 4 x 2 bitmap file, 24 bits per pixel.
std::string SmallBitmapFile();

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
