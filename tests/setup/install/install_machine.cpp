#include "tests/setup/install/install_machine.h"

#include <atomic>

#include "setup/progress/progress_dialog.h"

namespace kit::setup::testing {

InstallRequest Request(EngineMachine& m, const std::string& port, const std::string& model) {
  InstallRequest r;
  r.series_index = 0;
  r.model_name = model;
  r.os_code = m.ctx().os_code;
  r.port_name = port;
  r.raster = 1;
  r.baud_rate = 9600;
  r.data_bits = 8;
  r.stop_bits = 1.0;
  r.parity = 'n';
  r.flow = 'p';
  return r;
}

InstallRun Install(EngineMachine& m, const InstallRequest& request) {
  InstallRun run;
  RecordingPrompts prompts;
  DirectUsbInstall usb;
  InstallPlan plan;
  run.outcome = PrepareInstall(m.ctx(), m.config(), request, prompts, usb, &plan);
  run.prompts = prompts.shown;
  if (run.outcome == StartOutcome::kRunWorker) {
    std::atomic<int> state{kProgressRunning};
    InstallWorker(m.ctx(), plan, &state);
    run.state = state.load();
  }
  run.text = m.ctx().error_text;
  return run;
}

namespace {
sim::Json ByName(EngineMachine& m, const char* list, const std::string& name) {
  const sim::Json state = m.State();
  for (const auto& item : state["spooler"][list])
    if (item.value("name", "") == name) return item;
  return nullptr;
}
}  // namespace

sim::Json Printer(EngineMachine& m, const std::string& name) { return ByName(m, "printers", name); }
sim::Json Driver(EngineMachine& m, const std::string& name) { return ByName(m, "drivers", name); }

}  // namespace kit::setup::testing
