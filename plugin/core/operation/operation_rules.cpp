// This file is OS-independent.
#include "plugin/core/operation/operation_rules.h"

#include <array>

namespace kit::plugin::operation {
namespace {

constexpr std::u16string_view kHexCharacters = u"0123456789abcdefABCDEF ";

// Preview bitmaps by event, then by case: feed-to-cut and cut, feed-to-cut
// without cut, cut without feed-to-cut, neither.
constexpr std::array<std::array<int, 4>, kEventCount> kPreviewBitmaps = {{
    {143, 144, 145, 149},  // Start of Document
    {146, 147, 148, 149},  // Start of Page
    {140, 141, 142, 139},  // End of Page
    {136, 137, 138, 139},  // End of Document
}};

}  // namespace

ui::KeyAction CommandKeyFilter(const ui::KeyPress& key) {
  if (key.tab) return key.shift ? ui::KeyAction::kPreviousControl : ui::KeyAction::kNextControl;
  if (key.character == u'\b' || key.character == u'.' || key.character == u'-') return ui::KeyAction::kPass;
  if (key.ctrl) return ui::KeyAction::kPass;
  return kHexCharacters.find(key.character) != std::u16string_view::npos ? ui::KeyAction::kPass
                                                                          : ui::KeyAction::kDrop;
}

int PreviewBitmapId(int event, bool feed_to_cut, bool cut) {
  if (event < 0 || event >= kEventCount) event = kStartOfDocument;
  const int column = feed_to_cut ? (cut ? 0 : 1) : (cut ? 2 : 3);
  return kPreviewBitmaps[event][column];
}

int ReadClamped(std::u16string_view text, int high) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > high) value = high + 1LL;  // enough to know it is above the range
  }
  if (negative) return 0;
  return value > high ? high : static_cast<int>(value);
}

EventOperation DefaultOperation(int event) {
  EventOperation op;
  if (event == kStartOfDocument) op.DrawerSelect = kStartOfDocumentDefaultDrawer;
  if (event == kEndOfDocument) {
    op.FeedToCut = 1;
    op.CutType = kEndOfDocumentDefaultCut;
  }
  return op;
}

WorkingSet& ModuleWorkingSet() {
  static WorkingSet working;
  return working;
}

}  // namespace kit::plugin::operation
