// The rules of the per-event operation dialog that need no window: the
// command box's key filter, the preview picture for each case, the clamping
// of the feed and volume boxes, the defaults each event gets back from
// Default, and the one working set the dialog edits.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string_view>

#include "plugin/core/devmode/private_devmode.h"
#include "ui/page.h"

namespace kit::plugin::operation {

// Event index of the page's buttons and of the dialog.
inline constexpr int kStartOfDocument = 0;
inline constexpr int kStartOfPage = 1;
inline constexpr int kEndOfPage = 2;
inline constexpr int kEndOfDocument = 3;
inline constexpr int kEventCount = 4;

// Ranges of the two number boxes.
inline constexpr int kMaxFeedMm = 100;
inline constexpr int kMaxBuzzerVolume = 255;
// The Start of Document drawer choice after Default: "Cash Drawer Waiting 60ms".
inline constexpr std::uint8_t kStartOfDocumentDefaultDrawer = 4;
// The End of Document cut after Default: "Partial Cut".
inline constexpr std::uint8_t kEndOfDocumentDefaultCut = 1;

// The command box's filter: Tab moves to the next control (the previous one
// with Shift); Backspace, "." and "-" pass; with Ctrl held any character
// passes (clipboard shortcuts); otherwise only hex digits and the space.
ui::KeyAction CommandKeyFilter(const ui::KeyPress& key);

// The preview bitmap for an event, whether feed-to-cut is checked and
// whether a cut is chosen.
int PreviewBitmapId(int event, bool feed_to_cut, bool cut);

// A number box's text read as a signed integer (optional sign, then digits
// up to the first other character; none gives 0), clamped to 0..high.
int ReadClamped(std::u16string_view text, int high);

// What Default puts into the dialog for an event: all zero, except the
// Start of Document drawer and the End of Document feed-to-cut and cut.
EventOperation DefaultOperation(int event);

// The one working set of the module: the block being edited and its event.
struct WorkingSet {
  int event = kStartOfDocument;
  EventOperation values;
};
WorkingSet& ModuleWorkingSet();

}  // namespace kit::plugin::operation
