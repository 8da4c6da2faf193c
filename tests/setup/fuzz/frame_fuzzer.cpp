// The wizard frame driven by random console actions on every machine
// preset, over the sample kit with a random default model and licence
// switch: no action sequence may let an exception escape the frame or touch
// memory it does not own.
//
// Input: byte 0 picks the preset, byte 1 the kit variant, the rest is read
// in groups as actions (clicks, selections, typed text, Back, Next/Install,
// message-box answers, the About box, F1, the close box).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/presets.h"
#include "setup/app/kitsetup_app.h"
#include "tests/setup/wizard/sample_kit.h"
#include "ui/console/console.h"

namespace {

namespace fs = std::filesystem;
using namespace kit::setup;

constexpr char16_t kKitProgram[] = u"C:\\kit\\kitsetup.exe";
// DEFAULTNAME values tried: absent, 0, the six entries (the fifth names no
// series) and one past them.
constexpr int kDefaultNameChoices = 9;

// Every control and button of the frame and its pages a user can act on.
const std::vector<int>& ActionableIds() {
  static const std::vector<int> ids = [] {
    std::vector<int> v = {kLegalAcceptId, kLegalRejectId, kSeriesDefaultId, kModeTypicalId, kModeAdvancedId,
                          kPortListId,    kBaudListId,    kDataBitsListId,  kParityListId,  kStopBitsListId,
                          kFlowListId,    kRasterCheckId, kIpAddressId,     kBackId,        kit::ui::kIdOk};
    v.insert(v.end(), kSeriesRadioIds.begin(), kSeriesRadioIds.end());
    v.insert(v.end(), kSeriesListIds.begin(), kSeriesListIds.end());
    return v;
  }();
  return ids;
}

// The fuzzer's machines, removed when the run ends.
struct WorkFolder {
  fs::path path = fs::temp_directory_path() / ("kit-frame-fuzz-" + std::to_string(::getpid()));
  ~WorkFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

// A machine of each preset, made once; each input runs on a fresh copy.
fs::path PresetMachine(const std::string& preset) {
  static const WorkFolder work;
  const fs::path folder = work.path / preset;
  if (!fs::exists(folder / "template")) {
    std::string error;
    if (!kit::sim::CreateMachine(folder / "template", preset, true, &error)) {
      std::fprintf(stderr, "cannot create the %s machine: %s\n", preset.c_str(), error.c_str());
      std::abort();
    }
  }
  return folder;
}

kit::setup::testing::KitFiles KitVariant(std::uint8_t choice) {
  auto kit = kit::setup::testing::SampleKit();
  std::string ini = kit.files.at("DRVCONFIG\\setup.ini");
  const std::string key = "DEFAULTNAME=1\r\n";
  const int name = choice % kDefaultNameChoices;
  ini.replace(ini.find(key), key.size(), name == 0 ? "" : "DEFAULTNAME=" + std::to_string(name - 1) + "\r\n");
  if (choice / kDefaultNameChoices % 2 == 1) {
    const std::string licence = "LOADLICENSE=1";
    ini.replace(ini.find(licence), licence.size(), "LOADLICENSE=0");
  }
  kit.Set("DRVCONFIG\\setup.ini", ini);
  return kit;
}

// Reads the actions out of the input as console lines.
std::string Script(const std::uint8_t* data, std::size_t size) {
  static const char* const kAnswers[] = {"OK", "Cancel", "Yes", "No", "Retry"};
  static const char* const kTexts[] = {"192.168.0.50", "", "1.2.3", "999.1.1.1", "abc", "10.0.0.1"};
  const auto& ids = ActionableIds();
  std::ostringstream out;
  std::size_t i = 0;
  auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
  while (i < size) {
    const std::uint8_t kind = next();
    const int id = ids[next() % ids.size()];
    switch (kind % 10) {
      case 0: case 1: out << "click " << id << "\n"; break;
      case 2: out << "select " << id << " " << static_cast<int>(next() % 12) << "\n"; break;
      case 3: out << "type " << id << " " << kTexts[next() % std::size(kTexts)] << "\n"; break;
      case 4: case 5: out << "click " << kit::ui::kIdOk << "\n"; break;  // Next, Install
      case 6: out << "click " << kBackId << "\n"; break;
      case 7: out << "answer " << kAnswers[next() % std::size(kAnswers)] << "\n"; break;
      case 8: out << (next() % 2 ? "menu " + std::to_string(kAboutCommand) : std::string("help-key")) << "\n"; break;
      default: out << (next() % 16 == 0 ? "close" : "show") << "\n"; break;
    }
  }
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static const std::vector<kit::sim::PresetInfo> presets = kit::sim::ListPresets();
  const fs::path preset = PresetMachine(presets[data[0] % presets.size()].id);
  const fs::path machine_folder = preset / "run";
  std::error_code ec;
  fs::remove_all(machine_folder, ec);
  fs::copy(preset / "template", machine_folder, fs::copy_options::recursive, ec);
  if (ec) std::abort();

  kit::sim::ProcessOptions process;
  process.module_path = kKitProgram;
  std::string error;
  auto machine = kit::sim::Machine::Open(machine_folder, process, &error);
  if (!machine) std::abort();
  for (const auto& [relative, text] : KitVariant(data[1]).files) {
    const fs::path path = machine->HostPath(u"C:\\kit\\" + kit::FromUtf8(relative));
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }

  std::istringstream in(Script(data + 2, size - 2));
  std::ostringstream out;
  kit::ui::console::Console console(in, out);
  kit::ui::headless::Environment env;
  console.Attach(env);
  CKitsetupApp::Options options;
  options.platform = &machine->platform();
  options.host.message_box = [](std::u16string_view, std::u16string_view) {};
  options.host.run_modal = [&](kit::ui::Page& frame) {
    kit::ui::headless::Dialog dialog(frame, env);
    dialog.Create();
    if (!dialog.Ended()) console.Run(dialog);
    return dialog.Result();
  };
  CKitsetupApp app(std::move(options));
  app.Run();
  return 0;
}
