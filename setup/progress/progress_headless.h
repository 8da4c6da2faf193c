// The progress dialog in the headless host (the Linux program and tests):
// a dialog with no owner whose timers run on the host's virtual clock while
// the install worker works in real time, until the dialog closes itself.
#pragma once

#include <functional>

#include "ui/headless/dialog.h"

namespace kit::setup {

// Virtual milliseconds per step, and the real pause that lets the worker on
// its own thread move on between steps.
inline constexpr int kHeadlessProgressStepMs = 10;
inline constexpr int kHeadlessProgressPauseMicroseconds = 500;

// Runs `page` until it ends; `shown` (optional) sees it once it exists.
int RunProgressHeadless(ui::headless::Environment& env, ui::Page& page,
                        const std::function<void(ui::headless::Dialog&)>& shown = {});

}  // namespace kit::setup
