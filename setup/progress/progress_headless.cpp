#include "setup/progress/progress_headless.h"

#include <chrono>
#include <thread>

namespace kit::setup {

int RunProgressHeadless(ui::headless::Environment& env, ui::Page& page,
                        const std::function<void(ui::headless::Dialog&)>& shown) {
  ui::headless::Dialog dialog(page, env);
  dialog.Create();
  if (shown) shown(dialog);
  while (!dialog.Ended()) {
    env.Advance(kHeadlessProgressStepMs);
    if (!dialog.Ended()) std::this_thread::sleep_for(std::chrono::microseconds(kHeadlessProgressPauseMicroseconds));
  }
  return dialog.Result();
}

}  // namespace kit::setup
