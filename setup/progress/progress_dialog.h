// The setup wizard's progress dialog (dialog 141), shown modally while the
// install worker runs. A bar climbs while the worker works, then runs on to
// the end when it succeeded or back to the start when it failed, and the
// dialog closes itself. A painted line asks the user to wait.
// This file is OS-independent.
#pragma once

#include <atomic>

#include "setup/about/language_texts.h"
#include "ui/page.h"

namespace kit::setup {

inline constexpr int kProgressDialogId = 141;
inline constexpr int kProgressBarId = 1079;

// Shared with the install worker, which sets it once when it ends.
enum ProgressState : int { kProgressRunning = 0, kProgressFailed = 1, kProgressDone = 2 };

class ProgressDialog final : public ui::Page {
 public:
  // Fixed timings of the bar, in milliseconds, and its positions.
  static constexpr int kStartDelayMs = 100;
  static constexpr int kClimbStepMs = 80;
  static constexpr int kFinishStepMs = 10;
  static constexpr int kCloseDelayMs = 100;
  static constexpr int kClimbLimit = 90;
  static constexpr int kBarMax = 100;

  // `state` is written by the worker thread and polled here.
  ProgressDialog(const LanguageTexts& texts, const std::atomic<int>& state) : texts_(texts), state_(state) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;
  void OnTimer(ui::Window& window, int timer_id) override;
  void OnPaint(ui::Window& window, ui::Painter& painter) override;

  // The font and colour of the painted line.
  static ui::FontSpec WaitFont();
  static constexpr ui::Color kWaitColor{0, 51, 153};

 private:
  enum class Phase { kWaiting, kClimbing, kFinishing, kRewinding, kClosing };
  const LanguageTexts& texts_;
  const std::atomic<int>& state_;
  Phase phase_ = Phase::kWaiting;
  int position_ = 0;
};

}  // namespace kit::setup
