// Small facts about controls shared by the headless dialog's source files:
// which kinds hold items or a range or take the focus, and the case-blind text order of a
// sorted list. This file is OS-independent.
#pragma once

#include <algorithm>
#include <string_view>

#include "ui/template.h"

namespace kit::ui::headless {

inline char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

inline bool LessNoCase(std::u16string_view a, std::u16string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (Fold(a[i]) != Fold(b[i])) return Fold(a[i]) < Fold(b[i]);
  }
  return a.size() < b.size();
}

inline bool HasItems(ControlKind k) {
  return k == ControlKind::kListBox || k == ControlKind::kComboBox || k == ControlKind::kListView;
}

inline bool HasRange(ControlKind k) {
  return k == ControlKind::kTrackbar || k == ControlKind::kUpDown || k == ControlKind::kProgressBar;
}

// Whether a person can put the focus on a control of this kind. Labels,
// frames and progress bars never take it, nor do a spin control's arrows
// (the edit beside them keeps it).
inline bool TakesFocus(ControlKind k) {
  return k != ControlKind::kStatic && k != ControlKind::kPicture && k != ControlKind::kIcon &&
         k != ControlKind::kGroupBox && k != ControlKind::kUpDown && k != ControlKind::kProgressBar;
}

}  // namespace kit::ui::headless
