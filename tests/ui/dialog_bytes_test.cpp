// The in-memory extended dialog template: the byte layout the system reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ui/dialog_bytes.h"

namespace kit::ui {
namespace {

std::uint16_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}
std::uint32_t Dword(const std::vector<std::uint8_t>& b, std::size_t at) {
  return Word(b, at) | (static_cast<std::uint32_t>(Word(b, at + 2)) << 16);
}
std::u16string String(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t* end) {
  std::u16string s;
  while (Word(b, at) != 0) {
    s.push_back(static_cast<char16_t>(Word(b, at)));
    at += 2;
  }
  *end = at + 2;
  return s;
}

DialogTemplate TwoControls() {
  DialogTemplate t;
  t.id = 5;
  t.caption = std::u16string(1, u'A');  // odd-length strings force padding before the first item
  t.cx = 250;
  t.cy = 108;
  t.font.face = u"MS Shell Dlg";
  t.font.point_size = 8;
  t.font.weight = 400;
  t.font.charset = 1;
  t.controls = {
      {1007, ControlKind::kEdit, u"", {15, 14, 219, 72}, kMultiLine | kReadOnly | kAutoVScroll | kWantReturn | kBorder},
      {2, ControlKind::kPushButton, u"Cancel", {164, 89, 50, 14}, kHidden | kDefault},
  };
  return t;
}

TEST(DialogTemplateBytes, HeaderFieldsSitAtTheirOffsets) {
  const auto b = BuildDialogTemplateEx(TwoControls());
  EXPECT_EQ(Word(b, 0), 1);       // dlgVer
  EXPECT_EQ(Word(b, 2), 0xFFFF);  // signature
  EXPECT_EQ(Dword(b, 4), 0u);     // helpID
  EXPECT_EQ(Dword(b, 8), 0u);     // exStyle
  const std::uint32_t style = Dword(b, 12);
  EXPECT_EQ(style & 0x80000000u, 0x80000000u) << "WS_POPUP";
  EXPECT_EQ(style & 0x00C00000u, 0x00C00000u) << "WS_CAPTION";
  EXPECT_EQ(style & 0x40u, 0x40u) << "DS_SETFONT with a face";
  EXPECT_EQ(Word(b, 16), 2);  // cDlgItems
  EXPECT_EQ(Word(b, 18), 0);  // x
  EXPECT_EQ(Word(b, 20), 0);  // y
  EXPECT_EQ(Word(b, 22), 250);
  EXPECT_EQ(Word(b, 24), 108);
  EXPECT_EQ(Word(b, 26), 0);  // no menu
  EXPECT_EQ(Word(b, 28), 0);  // dialog class
  std::size_t end = 0;
  EXPECT_EQ(String(b, 30, &end), u"A");
  EXPECT_EQ(Word(b, end), 8);        // point size
  EXPECT_EQ(Word(b, end + 2), 400);  // weight
  EXPECT_EQ(b.at(end + 4), 0);       // italic
  EXPECT_EQ(b.at(end + 5), 1);       // charset
  EXPECT_EQ(String(b, end + 6, &end), u"MS Shell Dlg");
  EXPECT_EQ(end, 66u);  // 30 + 4 ("A") + 6 + 26 (face)
}

TEST(DialogTemplateBytes, EveryItemStartsOnADwordBoundary) {
  const auto b = BuildDialogTemplateEx(TwoControls());
  // Header ends at 66: two bytes of padding, first item at 68.
  std::size_t at = 68;
  EXPECT_EQ(Word(b, 66), 0);
  EXPECT_EQ(Dword(b, at + 4) & 0x200u, 0x200u) << "client edge";
  const std::uint32_t edit = Dword(b, at + 8);
  EXPECT_EQ(edit & 0x50000000u, 0x50000000u) << "WS_CHILD | WS_VISIBLE";
  EXPECT_EQ(edit & (0x4u | 0x40u | 0x800u | 0x1000u), 0x4u | 0x40u | 0x800u | 0x1000u)
      << "multi-line, auto-scroll, read-only, want-return";
  EXPECT_EQ(Word(b, at + 12), 15);
  EXPECT_EQ(Word(b, at + 14), 14);
  EXPECT_EQ(Word(b, at + 16), 219);
  EXPECT_EQ(Word(b, at + 18), 72);
  EXPECT_EQ(Dword(b, at + 20), 1007u);
  std::size_t end = 0;
  EXPECT_EQ(String(b, at + 24, &end), u"Edit");
  EXPECT_EQ(String(b, end, &end), u"");
  EXPECT_EQ(Word(b, end), 0);  // no creation data
  end += 2;
  // 68 + 24 + 10 + 2 + 2 = 106: padded to 108 for the second item.
  EXPECT_EQ(end, 106u);
  at = 108;
  const std::uint32_t button = Dword(b, at + 8);
  EXPECT_EQ(button & 0x10000000u, 0u) << "hidden: no WS_VISIBLE";
  EXPECT_EQ(button & 0xFu, 1u) << "BS_DEFPUSHBUTTON";
  EXPECT_EQ(Dword(b, at + 20), 2u);
  EXPECT_EQ(String(b, at + 24, &end), u"Button");
  EXPECT_EQ(String(b, end, &end), u"Cancel");
  EXPECT_EQ(end + 2, b.size());
}

TEST(DialogTemplateBytes, SystemFontTemplatesCarryNoFontBlock) {
  DialogTemplate t = TwoControls();
  t.font = {};
  t.controls.clear();
  const auto b = BuildDialogTemplateEx(t);
  EXPECT_EQ(Dword(b, 12) & 0x40u, 0u);
  EXPECT_EQ(b.size(), 34u);  // header, no menu, no class, "A"
}

TEST(DialogTemplateBytes, AnEmbeddedNulCutsTheTextInsteadOfShiftingTheItems) {
  DialogTemplate t = TwoControls();
  t.controls[1].text = std::u16string(u"Can\0cel", 7);
  const auto b = BuildDialogTemplateEx(t);
  std::size_t end = 0;
  String(b, 108 + 24, &end);
  EXPECT_EQ(String(b, end, &end), u"Can");
  EXPECT_EQ(end + 2, b.size());
}

TEST(DialogTemplateBytes, ChildPagesAndListViewStyles) {
  DialogTemplate t;
  t.kind = DialogKind::kChild;
  t.cx = 100;
  t.cy = 100;
  t.controls = {{1010, ControlKind::kListView, u"", {4, 27, 90, 50}, kListMode | kCheckBoxes | kFullRowSelect | kGridLines | kHotTrack}};
  const std::uint32_t dialog = DialogStyleBits(t);
  EXPECT_EQ(dialog & 0x40000000u, 0x40000000u) << "WS_CHILD";
  EXPECT_EQ(dialog & 0x80000000u, 0u) << "not a popup";
  EXPECT_EQ(dialog & 0x0400u, 0x0400u) << "DS_CONTROL";
  EXPECT_EQ(ControlStyleBits(t.controls[0]) & 0x3u, 0x3u) << "LVS_LIST";
  EXPECT_EQ(ListViewExStyleBits(t.controls[0]), 0x4u | 0x20u | 0x1u | 0x8u);
  EXPECT_EQ(std::u16string(ControlClassName(ControlKind::kListView)), u"SysListView32");
}

TEST(DialogTemplateBytes, AnIconNamesItsResourceByNumber) {
  DialogTemplate t = TwoControls();
  t.controls = {{-1, ControlKind::kIcon, u"ignored", {8, 8, 21, 20}, kNone, 0, 0, 130}};
  const auto b = BuildDialogTemplateEx(t);
  const std::size_t at = 68;
  EXPECT_EQ(Dword(b, at + 8), 0x50000003u) << "WS_CHILD | WS_VISIBLE | SS_ICON";
  std::size_t end = 0;
  EXPECT_EQ(String(b, at + 24, &end), u"Static");
  // The title is the ordinal 0xFFFF, 130, not a text.
  EXPECT_EQ(Word(b, end), 0xFFFF);
  EXPECT_EQ(Word(b, end + 2), 130);
  EXPECT_EQ(Word(b, end + 4), 0);  // no creation data
  EXPECT_EQ(end + 6, b.size());
}

TEST(DialogTemplateRules, ValidateFindsBrokenTemplates) {
  DialogTemplate t = TwoControls();
  EXPECT_EQ(Validate(t), "");
  t.controls.push_back({1007, ControlKind::kStatic, u"", {0, 0, 5, 5}});
  EXPECT_NE(Validate(t), "") << "duplicate id";
  t = TwoControls();
  t.controls[0].rect.cx = 300;
  EXPECT_NE(Validate(t), "") << "outside the dialog";
  t = TwoControls();
  t.controls.push_back({1200, ControlKind::kUpDown, u"", {0, 0, 5, 5}, kNone, 0, 1007});
  EXPECT_NE(Validate(t), "") << "up-down not right after its buddy";
  t = TwoControls();
  t.controls.insert(t.controls.begin() + 1, {1200, ControlKind::kUpDown, u"", {0, 0, 5, 5}, kNone, 0, 1007});
  EXPECT_EQ(Validate(t), "");
  t.controls.push_back({-1, ControlKind::kStatic, u"x", {0, 0, 5, 5}});
  t.controls.push_back({-1, ControlKind::kStatic, u"y", {0, 0, 5, 5}});
  EXPECT_EQ(Validate(t), "") << "labels share id -1";
  t.controls.push_back({-1, ControlKind::kIcon, u"", {0, 0, 5, 5}, kNone, 0, 0, 130});
  EXPECT_EQ(Validate(t), "") << "an icon with its resource";
  t.controls.back().resource = 0;
  EXPECT_NE(Validate(t), "") << "an icon without a resource";
  t.controls.back() = {1300, ControlKind::kStatic, u"", {0, 0, 5, 5}, kNone, 0, 0, 130};
  EXPECT_NE(Validate(t), "") << "a resource on a label";
}

}  // namespace
}  // namespace kit::ui
