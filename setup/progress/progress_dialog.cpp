#include "setup/progress/progress_dialog.h"

#include "ui/fonts.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

constexpr int kStartTimer = 1;
constexpr int kStepTimer = 2;
constexpr int kCloseTimer = 3;

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kProgressDialogId;
  t.cx = 280;
  t.cy = 72;
  t.font = DialogFont();
  t.kind = DialogKind::kPlain;
  t.controls = {
      {kProgressBarId, ControlKind::kProgressBar, u"", {14, 52, 252, 10}, kNone},
  };
  return t;
}

}  // namespace

const ui::DialogTemplate& ProgressDialog::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

ui::FontSpec ProgressDialog::WaitFont() {
  ui::FontSpec f;
  f.face = u"System";
  f.height = 20;
  f.weight = 700;
  return f;
}

void ProgressDialog::OnInit(ui::Window& window) {
  window.SetRange(kProgressBarId, 0, kBarMax);
  window.SetPosition(kProgressBarId, 0);
  phase_ = Phase::kWaiting;
  position_ = 0;
  window.SetTimer(kStartTimer, kStartDelayMs);
}

bool ProgressDialog::OnCommand(ui::Window&, int id, ui::Notify) {
  // Enter and Escape would end the dialog while the worker still runs, and
  // the wizard would then report an install that has not finished. The
  // dialog closes only by itself, when the worker has ended.
  return id == ui::kIdOk || id == ui::kIdCancel;
}

void ProgressDialog::OnTimer(ui::Window& window, int timer_id) {
  switch (timer_id) {
    case kStartTimer:
      window.KillTimer(kStartTimer);
      phase_ = Phase::kClimbing;
      window.SetTimer(kStepTimer, kClimbStepMs);
      return;
    case kCloseTimer:
      window.KillTimer(kCloseTimer);
      window.EndDialog(state_.load() == kProgressDone ? ui::kIdOk : ui::kIdCancel);
      return;
    case kStepTimer: break;
    default: return;
  }

  const int state = state_.load();
  if (phase_ == Phase::kClimbing) {
    if (state == kProgressRunning) {
      // Climb one step at a time and hold near the end until the worker ends.
      if (position_ < kClimbLimit) window.SetPosition(kProgressBarId, ++position_);
      return;
    }
    // Any end other than success runs the bar back.
    phase_ = state == kProgressDone ? Phase::kFinishing : Phase::kRewinding;
    window.SetTimer(kStepTimer, kFinishStepMs);
    return;
  }
  if (phase_ == Phase::kFinishing || phase_ == Phase::kRewinding) {
    const bool up = phase_ == Phase::kFinishing;
    if (up ? position_ < kBarMax : position_ > 0) position_ += up ? 1 : -1;
    window.SetPosition(kProgressBarId, position_);
    if (position_ == (up ? kBarMax : 0)) {
      window.KillTimer(kStepTimer);
      phase_ = Phase::kClosing;
      window.SetTimer(kCloseTimer, kCloseDelayMs);
    }
  }
}

void ProgressDialog::OnPaint(ui::Window&, ui::Painter& painter) {
  // One line, centred in the upper two thirds of the client area.
  const ui::Rect client = painter.ClientRect();
  const ui::Rect upper{client.x, client.y, client.cx, client.cy * 2 / 3};
  painter.DrawText(upper, ui::FromAnsi(texts_.Get("Progress", "Wait")), WaitFont(), kWaitColor,
                   ui::TextAlign::kCenter);
}

}  // namespace kit::setup
