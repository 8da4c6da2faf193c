// Fonts the kit's dialogs share. This file is OS-independent.
#pragma once

#include "ui/template.h"

namespace kit::ui {

// GB2312 character set, used by the shared font of Chinese systems.
inline constexpr std::uint8_t kCharsetGb2312 = 134;
// FF_MODERN | DEFAULT_PITCH.
inline constexpr std::uint8_t kPitchModern = 0x20;

// The one font that the setup wizard and the uninstaller give every dialog
// and control on Chinese systems: "宋体", 13 pixels, normal weight.
inline FontSpec ChineseSharedFont() {
  FontSpec f;
  f.face = u"\u5B8B\u4F53";
  f.height = 13;
  f.weight = 400;
  f.charset = kCharsetGb2312;
  f.pitch_and_family = kPitchModern;
  return f;
}

// The font dialog templates use unless they name another.
inline FontSpec DialogFont() {
  FontSpec f;
  f.face = u"MS Shell Dlg";
  f.point_size = 8;
  return f;
}

}  // namespace kit::ui
