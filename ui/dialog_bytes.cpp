#include "ui/dialog_bytes.h"

namespace kit::ui {
namespace {

using namespace win32bits;

// DLGTEMPLATEEX markers.
constexpr std::uint16_t kDialogVersion = 1;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;
constexpr std::uint16_t kDefaultPointSize = 8;

class Writer {
 public:
  void Word(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void Short(int v) { Word(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))); }
  void Dword(std::uint32_t v) {
    Word(static_cast<std::uint16_t>(v & 0xFFFF));
    Word(static_cast<std::uint16_t>(v >> 16));
  }
  void Byte(std::uint8_t v) { bytes_.push_back(v); }
  // A NUL-terminated UTF-16 string. An embedded NUL would end the string
  // early for the system, so the text is cut there.
  void String(std::u16string_view s) {
    for (char16_t c : s) {
      if (c == 0) break;
      Word(c);
    }
    Word(0);
  }
  // A resource named by number: 0xFFFF, then the id.
  void Ordinal(int id) {
    Word(0xFFFF);
    Word(static_cast<std::uint16_t>(id));
  }
  void AlignDword() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

const char16_t* ControlClassName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kStatic:
    case ControlKind::kPicture:
    case ControlKind::kIcon: return u"Static";
    case ControlKind::kGroupBox:
    case ControlKind::kPushButton:
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton: return u"Button";
    case ControlKind::kEdit: return u"Edit";
    case ControlKind::kListBox: return u"ListBox";
    case ControlKind::kComboBox: return u"ComboBox";
    case ControlKind::kListView: return u"SysListView32";
    case ControlKind::kTreeView: return u"SysTreeView32";
    case ControlKind::kTrackbar: return u"msctls_trackbar32";
    case ControlKind::kUpDown: return u"msctls_updown32";
    case ControlKind::kIpAddress: return u"SysIPAddress32";
    case ControlKind::kProgressBar: return u"msctls_progress32";
  }
  return u"Static";
}

std::uint32_t ControlStyleBits(const ControlTemplate& c) {
  std::uint32_t s = kWsChild;
  if (!c.Has(kHidden)) s |= kWsVisible;
  if (c.Has(kDisabled)) s |= kWsDisabled;
  if (c.Has(kGroup)) s |= kWsGroup;
  if (c.Has(kTabStop)) s |= kWsTabStop;
  if (c.Has(kVScroll)) s |= kWsVScroll;
  if (c.Has(kSingleBorder)) s |= kWsBorder;
  switch (c.kind) {
    case ControlKind::kStatic:
      if (c.Has(kCenter)) s |= kSsCenter;
      if (c.Has(kNotify)) s |= kSsNotify;
      break;
    case ControlKind::kPicture: s |= kSsOwnerDraw; break;
    case ControlKind::kIcon: s |= kSsIcon; break;
    case ControlKind::kGroupBox: s |= kBsGroupBox; break;
    case ControlKind::kPushButton: s |= c.Has(kDefault) ? kBsDefPushButton : kBsPushButton; break;
    case ControlKind::kCheckBox: s |= kBsAutoCheckBox; break;
    case ControlKind::kRadioButton: s |= kBsAutoRadioButton; break;
    case ControlKind::kEdit:
      if (c.Has(kMultiLine)) s |= kEsMultiLine;
      if (c.Has(kAutoVScroll)) s |= kEsAutoVScroll;
      if (!c.Has(kMultiLine)) s |= kEsAutoHScroll;
      if (c.Has(kReadOnly)) s |= kEsReadOnly;
      if (c.Has(kWantReturn)) s |= kEsWantReturn;
      if (c.Has(kNumber)) s |= kEsNumber;
      if (c.Has(kCenter)) s |= kEsCenter;
      break;
    case ControlKind::kListBox:
      s |= kLbsNotify | kLbsNoIntegralHeight;
      if (c.Has(kSorted)) s |= kLbsSort;
      break;
    case ControlKind::kComboBox:
      s |= (c.Has(kDropDownList) ? kCbsDropDownList : kCbsDropDown) | kCbsAutoHScroll;
      if (c.Has(kSorted)) s |= kCbsSort;
      break;
    case ControlKind::kListView:
      s |= (c.Has(kReportView) ? kLvsReport : kLvsList) | kLvsSingleSel | kLvsShowSelAlways;
      if (c.Has(kReportView)) s |= kLvsNoColumnHeader;
      break;
    case ControlKind::kTreeView:
      s |= kTvsHasButtons | kTvsHasLines | kTvsLinesAtRoot | kTvsShowSelAlways;
      if (c.Has(kCheckBoxes)) s |= kTvsCheckBoxes;
      break;
    case ControlKind::kTrackbar: s |= kTbsAutoTicks; break;
    case ControlKind::kUpDown:
      s |= kUdsAlignRight | kUdsArrowKeys | kUdsNoThousands;
      if (c.buddy != 0) s |= kUdsAutoBuddy | kUdsSetBuddyInt;
      break;
    case ControlKind::kIpAddress: break;
    case ControlKind::kProgressBar: s |= kPbsSmooth; break;
  }
  return s;
}

std::uint32_t ControlExStyleBits(const ControlTemplate& c) {
  return c.Has(kBorder) ? kWsExClientEdge : 0;
}

std::uint32_t ListViewExStyleBits(const ControlTemplate& c) {
  if (c.kind != ControlKind::kListView) return 0;
  std::uint32_t s = 0;
  if (c.Has(kCheckBoxes)) s |= kLvsExCheckBoxes;
  if (c.Has(kFullRowSelect)) s |= kLvsExFullRowSelect;
  if (c.Has(kGridLines)) s |= kLvsExGridLines;
  if (c.Has(kHotTrack)) s |= kLvsExTrackSelect;
  return s;
}

std::uint32_t DialogStyleBits(const DialogTemplate& d) {
  std::uint32_t s = kDs3dLook;
  if (!d.font.face.empty()) s |= kDsSetFont;
  switch (d.kind) {
    case DialogKind::kPopup:
      s |= kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame;
      if (d.minimize_box) s |= kWsMinimizeBox;
      break;
    case DialogKind::kPlain: s |= kWsPopup | kWsBorder | kDsModalFrame; break;
    case DialogKind::kChild: s |= kWsChild | kDsControl; break;
  }
  if (d.centered && d.kind != DialogKind::kChild) s |= kDsCenter;
  return s;
}

std::vector<std::uint8_t> BuildDialogTemplateEx(const DialogTemplate& d) {
  Writer w;
  w.Word(kDialogVersion);
  w.Word(kExtendedSignature);
  w.Dword(0);  // help id
  w.Dword(d.kind == DialogKind::kChild ? kWsExControlParent : 0);
  w.Dword(DialogStyleBits(d));
  w.Word(static_cast<std::uint16_t>(d.controls.size()));
  w.Short(0);
  w.Short(0);
  w.Short(d.cx);
  w.Short(d.cy);
  w.Word(0);  // no menu
  w.Word(0);  // the standard dialog class
  w.String(d.caption);
  if (!d.font.face.empty()) {
    w.Word(static_cast<std::uint16_t>(d.font.point_size > 0 ? d.font.point_size : kDefaultPointSize));
    w.Word(static_cast<std::uint16_t>(d.font.weight));
    w.Byte(d.font.italic ? 1 : 0);
    w.Byte(d.font.charset);
    w.String(d.font.face);
  }
  for (const auto& c : d.controls) {
    w.AlignDword();
    w.Dword(0);  // help id
    w.Dword(ControlExStyleBits(c));
    w.Dword(ControlStyleBits(c));
    w.Short(c.rect.x);
    w.Short(c.rect.y);
    w.Short(c.rect.cx);
    w.Short(c.rect.cy);
    w.Dword(static_cast<std::uint32_t>(c.id));
    w.String(ControlClassName(c.kind));
    // A picture is drawn by its page; its text would only show as a tooltip
    // name. An icon's text is its resource, which the system loads from the
    // module that creates the dialog.
    if (c.kind == ControlKind::kIcon)
      w.Ordinal(c.resource);
    else
      w.String(c.kind == ControlKind::kPicture ? std::u16string_view{} : std::u16string_view{c.text});
    w.Word(0);  // no creation data
  }
  return w.Take();
}

}  // namespace kit::ui
