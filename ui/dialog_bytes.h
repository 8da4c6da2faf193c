// The in-memory extended dialog template (DLGTEMPLATEEX) of a dialog
// template: the bytes the Win32 host hands to CreateDialogIndirectParam,
// DialogBoxIndirectParam and PROPSHEETPAGE. Built portably so that the byte
// layout is tested on every build. This file is OS-independent.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/template.h"

namespace kit::ui {

// Window-class names of the controls, as the system registers them.
const char16_t* ControlClassName(ControlKind kind);

// Win32 style and extended-style words of a control and of a dialog.
std::uint32_t ControlStyleBits(const ControlTemplate& control);
std::uint32_t ControlExStyleBits(const ControlTemplate& control);
std::uint32_t DialogStyleBits(const DialogTemplate& dialog);

// The DLGTEMPLATEEX bytes:
//   header  WORD dlgVer=1, WORD signature=0xFFFF, DWORD helpID, DWORD exStyle,
//           DWORD style, WORD cDlgItems, short x, y, cx, cy,
//           menu (0 = none), class (0 = dialog class), title (UTF-16, NUL),
//           with a font: WORD point size, WORD weight, BYTE italic,
//           BYTE charset, face (UTF-16, NUL);
//   then per control, each starting on a DWORD boundary:
//           DWORD helpID, DWORD exStyle, DWORD style, short x, y, cx, cy,
//           DWORD id, class (UTF-16 name), title (UTF-16, NUL), WORD extra=0.
// The buffer itself must start DWORD-aligned (std::vector's storage is).
std::vector<std::uint8_t> BuildDialogTemplateEx(const DialogTemplate& dialog);

// Win32 values used by the template and the hosts.
namespace win32bits {
inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsDisabled = 0x08000000;
inline constexpr std::uint32_t kWsClipSiblings = 0x04000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;
inline constexpr std::uint32_t kWsBorder = 0x00800000;
inline constexpr std::uint32_t kWsVScroll = 0x00200000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;
inline constexpr std::uint32_t kWsMinimizeBox = 0x00020000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kWsExClientEdge = 0x00000200;
inline constexpr std::uint32_t kWsExControlParent = 0x00010000;

inline constexpr std::uint32_t kDs3dLook = 0x0004;
inline constexpr std::uint32_t kDsSetFont = 0x0040;
inline constexpr std::uint32_t kDsModalFrame = 0x0080;
inline constexpr std::uint32_t kDsControl = 0x0400;
inline constexpr std::uint32_t kDsCenter = 0x0800;

inline constexpr std::uint32_t kBsPushButton = 0x0;
inline constexpr std::uint32_t kBsDefPushButton = 0x1;
inline constexpr std::uint32_t kBsAutoCheckBox = 0x3;
inline constexpr std::uint32_t kBsGroupBox = 0x7;
inline constexpr std::uint32_t kBsAutoRadioButton = 0x9;

inline constexpr std::uint32_t kEsCenter = 0x1;
inline constexpr std::uint32_t kEsMultiLine = 0x4;
inline constexpr std::uint32_t kEsAutoVScroll = 0x40;
inline constexpr std::uint32_t kEsAutoHScroll = 0x80;
inline constexpr std::uint32_t kEsReadOnly = 0x800;
inline constexpr std::uint32_t kEsWantReturn = 0x1000;
inline constexpr std::uint32_t kEsNumber = 0x2000;

inline constexpr std::uint32_t kSsCenter = 0x1;
inline constexpr std::uint32_t kSsOwnerDraw = 0xD;
inline constexpr std::uint32_t kSsIcon = 0x3;
inline constexpr std::uint32_t kSsNotify = 0x100;

inline constexpr std::uint32_t kLbsNotify = 0x1;
inline constexpr std::uint32_t kLbsSort = 0x2;
inline constexpr std::uint32_t kLbsNoIntegralHeight = 0x100;

inline constexpr std::uint32_t kCbsDropDown = 0x2;
inline constexpr std::uint32_t kCbsDropDownList = 0x3;
inline constexpr std::uint32_t kCbsAutoHScroll = 0x40;
inline constexpr std::uint32_t kCbsSort = 0x100;

inline constexpr std::uint32_t kLvsReport = 0x1;
inline constexpr std::uint32_t kLvsList = 0x3;
inline constexpr std::uint32_t kLvsSingleSel = 0x4;
inline constexpr std::uint32_t kLvsShowSelAlways = 0x8;
inline constexpr std::uint32_t kLvsNoColumnHeader = 0x4000;
inline constexpr std::uint32_t kLvsExGridLines = 0x1;
inline constexpr std::uint32_t kLvsExCheckBoxes = 0x4;
inline constexpr std::uint32_t kLvsExTrackSelect = 0x8;
inline constexpr std::uint32_t kLvsExFullRowSelect = 0x20;

inline constexpr std::uint32_t kTvsHasButtons = 0x1;
inline constexpr std::uint32_t kTvsHasLines = 0x2;
inline constexpr std::uint32_t kTvsLinesAtRoot = 0x4;
inline constexpr std::uint32_t kTvsShowSelAlways = 0x20;
inline constexpr std::uint32_t kTvsCheckBoxes = 0x100;

inline constexpr std::uint32_t kTbsAutoTicks = 0x1;
inline constexpr std::uint32_t kUdsSetBuddyInt = 0x2;
inline constexpr std::uint32_t kUdsAlignRight = 0x4;
inline constexpr std::uint32_t kUdsAutoBuddy = 0x10;
inline constexpr std::uint32_t kUdsArrowKeys = 0x20;
inline constexpr std::uint32_t kUdsNoThousands = 0x80;
inline constexpr std::uint32_t kPbsSmooth = 0x1;
}  // namespace win32bits

// Extended list-view styles a control asks for (set after creation).
std::uint32_t ListViewExStyleBits(const ControlTemplate& control);

}  // namespace kit::ui
