// What the progress dialog does, whichever host shows it. `state` stands in
// for the install worker.
#pragma once

#include <algorithm>
#include <atomic>
#include <string>

#include "setup/progress/progress_dialog.h"
#include "tests/ui/driver/driver.h"
#include "ui/message_box.h"

namespace kit::setup::testing {

using Driver = ui::testing::DialogDriver;
using Checks = ui::testing::Checks;

// Step used to watch the bar; small enough to see every 10 ms step's effect.
constexpr int kWatchMs = 10;
// Longest the dialog may take to close once the worker has ended: the last
// climb step, 100 steps of 10 ms and the closing delay, with room for a slow
// machine.
constexpr int kCloseWithinMs = 6000;

// Watches until the dialog ends; returns the highest and lowest positions seen.
inline void WatchToEnd(Driver& d, int* highest, int* lowest) {
  *highest = -1;
  *lowest = 1000;
  for (int waited = 0; waited < kCloseWithinMs && !d.Ended(); waited += kWatchMs) {
    const int p = d.Position(kProgressBarId);
    if (!d.Ended()) {
      *highest = std::max(*highest, p);
      *lowest = std::min(*lowest, p);
    }
    d.Wait(kWatchMs);
  }
}

// While the worker runs the bar climbs, one step per 80 ms, and never passes
// 90; Enter and Escape do not close the dialog.
inline void CheckClimbsAndHolds(Driver& d, std::atomic<int>& state, Checks& c) {
  d.Wait(1000);
  const int early = d.Position(kProgressBarId);
  c.Expect(early >= 5 && early <= 12, "after 1 s the bar is near 11: " + std::to_string(early));
  d.Key(ui::kIdCancel);
  d.Key(ui::kIdOk);
  c.Expect(!d.Ended(), "Escape and Enter leave the dialog open while the worker runs");
  d.Wait(1000);
  c.Expect(d.Position(kProgressBarId) > early, "the bar keeps climbing");
  d.Wait(7000);
  c.Expect(d.Position(kProgressBarId) == ProgressDialog::kClimbLimit, "the bar holds at 90: " + std::to_string(d.Position(kProgressBarId)));
  c.Expect(!d.Ended(), "the dialog waits for the worker");
  state = kProgressDone;
  int highest, lowest;
  WatchToEnd(d, &highest, &lowest);
  c.Expect(d.Ended(), "the dialog closes after success");
  c.Expect(highest == ProgressDialog::kBarMax, "the bar reached 100 before closing: " + std::to_string(highest));
}

// A worker that ends early stops the climb at once.
inline void CheckEarlySuccessRunsOnToTheEnd(Driver& d, std::atomic<int>& state, Checks& c) {
  d.Wait(500);
  c.Expect(!d.Ended(), "open while the worker runs");
  state = kProgressDone;
  int highest, lowest;
  WatchToEnd(d, &highest, &lowest);
  c.Expect(d.Ended(), "the dialog closes after success");
  c.Expect(highest == ProgressDialog::kBarMax, "the bar ran on to 100: " + std::to_string(highest));
}

// A failed worker runs the bar back to 0 before the dialog closes.
inline void CheckFailureRunsBack(Driver& d, std::atomic<int>& state, Checks& c) {
  d.Wait(1500);
  const int reached = d.Position(kProgressBarId);
  c.Expect(reached > 5, "the bar climbed: " + std::to_string(reached));
  state = kProgressFailed;
  int highest, lowest;
  WatchToEnd(d, &highest, &lowest);
  c.Expect(d.Ended(), "the dialog closes after a failure");
  c.Expect(lowest == 0, "the bar ran back to 0: " + std::to_string(lowest));
  c.Expect(highest <= reached + 1, "the bar never ran forward after the failure");
}

}  // namespace kit::setup::testing
