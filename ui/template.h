// Dialog templates: the single description of every dialog and page of the
// kit. The Win32 host turns a template into an in-memory DLGTEMPLATEEX, the
// headless host into a control model, so layout and initial state are the
// same on both targets.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kit::ui {

// A rectangle in dialog units (x, y, width, height) or, for painting, pixels.
struct Rect {
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

enum class ControlKind {
  kStatic,       // text label
  kPicture,      // frame into which the page draws a bitmap
  kIcon,         // one of the module's icon resources (`resource`), as a dialog resource shows it
  kGroupBox,
  kPushButton,
  kCheckBox,     // automatic check box
  kRadioButton,  // automatic radio button
  kEdit,
  kListBox,
  kComboBox,
  kListView,
  kTreeView,
  kTrackbar,
  kUpDown,
  kIpAddress,
  kProgressBar,
};

// Style bits of a control; several combine. Bits a kind does not use are
// ignored for it.
enum Style : std::uint32_t {
  kNone = 0,
  kHidden = 1u << 0,
  kDisabled = 1u << 1,
  kReadOnly = 1u << 2,        // edit
  kGroup = 1u << 3,           // first control of a group (radio buttons)
  kTabStop = 1u << 4,
  kDefault = 1u << 5,         // default push button
  kSorted = 1u << 6,          // list box, combo box
  kDropDownList = 1u << 7,    // combo box without an edit field
  kReportView = 1u << 8,      // list view: report mode (columns)
  kListMode = 1u << 9,        // list view: list mode
  kCheckBoxes = 1u << 10,     // list view, tree view: a check box per item
  kFullRowSelect = 1u << 11,  // list view
  kGridLines = 1u << 12,      // list view in report mode
  kMultiLine = 1u << 13,      // edit
  kAutoVScroll = 1u << 14,    // edit
  kWantReturn = 1u << 15,     // edit
  kVScroll = 1u << 16,        // list box, edit, combo box list
  kBorder = 1u << 17,         // sunken client edge (edits, lists)
  kCenter = 1u << 18,         // static: centred text
  kNumber = 1u << 19,         // edit: digits only
  kHotTrack = 1u << 20,       // list view
  kSingleBorder = 1u << 21,   // thin black border
  kNotify = 1u << 22,         // static, list box: report clicks
};

inline constexpr std::uint32_t operator|(Style a, Style b) {
  return static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b);
}

struct ControlTemplate {
  int id = 0;
  ControlKind kind = ControlKind::kStatic;
  std::u16string text;
  Rect rect;
  std::uint32_t styles = kNone;
  int text_limit = 0;  // edits: maximum characters, 0 = the system default
  int buddy = 0;       // up-down: the id of the edit it drives (placed just before it)
  int resource = 0;    // icon: the module's icon resource id

  bool Has(Style s) const { return (styles & s) != 0; }
};

// A font as the system describes it. `point_size` is used for a dialog's
// template font; `height` (logical pixels, as CreateFont takes it) for fonts
// created at run time.
struct FontSpec {
  std::u16string face;
  int point_size = 0;
  int height = 0;
  int weight = 400;
  bool italic = false;
  std::uint8_t charset = 1;          // DEFAULT_CHARSET
  std::uint8_t pitch_and_family = 0;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

enum class DialogKind {
  kPopup,  // top-level dialog with caption and system menu
  kChild,  // page placed inside another dialog, or a property-sheet page
  kPlain,  // top-level dialog without caption (progress windows)
};

struct DialogTemplate {
  int id = 0;
  std::u16string caption;
  int cx = 0;  // size in dialog units
  int cy = 0;
  FontSpec font;  // empty face: the system font
  DialogKind kind = DialogKind::kPopup;
  bool centered = true;
  bool minimize_box = false;
  std::vector<ControlTemplate> controls;

  // The control with `id`, or nullptr.
  const ControlTemplate* Find(int id) const;
};

// Checks the rules every template must keep: unique non-zero ids (static
// labels may share id -1), controls inside the dialog, an up-down placed just
// after its buddy, a text limit only on edits, a resource on every icon and
// on nothing else. Returns a description of the
// first broken rule, or an empty string.
std::string Validate(const DialogTemplate& dialog);

// Short, stable name of a kind ("button", "edit", ...), used by the console.
const char* KindName(ControlKind kind);

}  // namespace kit::ui
