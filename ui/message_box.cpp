#include "ui/message_box.h"

namespace kit::ui {

std::vector<MessageBoxButton> ButtonsOf(std::uint32_t style) {
  switch (style & kMbButtonMask) {
    case kMbOkCancel: return {{kIdOk, "OK"}, {kIdCancel, "Cancel"}};
    case kMbAbortRetryIgnore: return {{kIdAbort, "Abort"}, {kIdRetry, "Retry"}, {kIdIgnore, "Ignore"}};
    case kMbYesNoCancel: return {{kIdYes, "Yes"}, {kIdNo, "No"}, {kIdCancel, "Cancel"}};
    case kMbYesNo: return {{kIdYes, "Yes"}, {kIdNo, "No"}};
    case kMbRetryCancel: return {{kIdRetry, "Retry"}, {kIdCancel, "Cancel"}};
    default: return {{kIdOk, "OK"}};
  }
}

int DismissAnswer(std::uint32_t style) {
  for (const auto& b : ButtonsOf(style))
    if (b.id == kIdCancel) return kIdCancel;
  return (style & kMbButtonMask) == kMbOk ? kIdOk : 0;
}

int DefaultAnswer(std::uint32_t style) {
  const auto buttons = ButtonsOf(style);
  std::size_t index = 0;
  if ((style & kMbDefButtonMask) == kMbDefButton2) index = 1;
  if ((style & kMbDefButtonMask) == kMbDefButton3) index = 2;
  // Windows falls back to the first button when the default names a button
  // the box does not have.
  if (index >= buttons.size()) index = 0;
  return buttons[index].id;
}

}  // namespace kit::ui
