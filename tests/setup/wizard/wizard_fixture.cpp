#include "tests/setup/wizard/wizard_fixture.h"

#include <atomic>
#include <fstream>

#include "setup/progress/progress_headless.h"

namespace kit::setup::testing {
namespace {

std::atomic<int> g_serial{0};

}  // namespace

WizardRun::WizardRun(const std::string& preset, bool administrator) {
  folder_ = std::filesystem::temp_directory_path() /
            ("kitsetup-test-" + std::to_string(::getpid()) + "-" + std::to_string(g_serial++));
  std::filesystem::remove_all(folder_);
  std::string error;
  if (!sim::CreateMachine(folder_, preset, administrator, &error)) ADD_FAILURE() << error;
  sim::ProcessOptions process;
  process.module_path = kKitProgram;
  machine_ = sim::Machine::Open(folder_, process, &error);
  if (!machine_) ADD_FAILURE() << error;
}

WizardRun::~WizardRun() {
  app_.reset();
  machine_.reset();
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

void WizardRun::SetSystem(const std::string& key, const nlohmann::json& value) {
  std::string error;
  machine_->store().Update(
      [&](nlohmann::json& s) {
        s["system"][key] = value;
        return true;
      },
      &error);
}

StartResult WizardRun::Run(const KitFiles& kit, const std::function<void(ui::headless::Dialog&)>& drive) {
  for (const auto& [relative, text] : kit.files) {
    const auto path = machine_->HostPath(u"C:\\kit\\" + FromUtf8(relative));
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  CKitsetupApp::Options options;
  options.platform = &machine_->platform();
  if (!platform_usb) options.usb = &usb;
  options.host.message_box = [this](std::u16string_view text, std::u16string_view) {
    startup_messages.emplace_back(text);
  };
  options.host.run_modal = [this, drive](ui::Page& frame) {
    ui::headless::Dialog dialog(frame, env);
    dialog.Create();
    if (drive && !dialog.Ended()) drive(dialog);
    frame_result = dialog.Result();
    return frame_result;
  };
  options.host.run_progress = [this](ui::Page& progress) { return RunProgressHeadless(env, progress); };
  app_ = std::make_unique<CKitsetupApp>(std::move(options));
  return app_->Run();
}

std::vector<std::u16string> WizardRun::FrameMessages() const {
  std::vector<std::u16string> out;
  for (const auto& box : env.MessageBoxes()) out.push_back(box.text);
  return out;
}

ui::headless::Dialog& PageOf(ui::headless::Dialog& frame, int index) { return *frame.Children().at(index); }

int VisiblePage(ui::headless::Dialog& frame) {
  int shown = -1;
  const auto children = frame.Children();
  for (std::size_t i = 0; i < children.size(); ++i)
    if (frame.ChildVisible(*children[i])) {
      if (shown >= 0) return -2;  // two pages at once is a fault
      shown = static_cast<int>(i);
    }
  return shown;
}

}  // namespace kit::setup::testing
