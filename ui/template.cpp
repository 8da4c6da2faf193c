#include "ui/template.h"

#include <set>

namespace kit::ui {

const ControlTemplate* DialogTemplate::Find(int id) const {
  for (const auto& c : controls)
    if (c.id == id) return &c;
  return nullptr;
}

std::string Validate(const DialogTemplate& dialog) {
  std::set<int> seen;
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    const auto& c = dialog.controls[i];
    const std::string who = "control " + std::to_string(c.id);
    if (c.id == 0) return "control at position " + std::to_string(i) + " has id 0";
    if (c.id != -1 && !seen.insert(c.id).second) return who + " appears twice";
    if (c.id == -1 && c.kind != ControlKind::kStatic && c.kind != ControlKind::kGroupBox &&
        c.kind != ControlKind::kPicture && c.kind != ControlKind::kIcon)
      return "only labels, group boxes, pictures and icons may share id -1";
    if (c.rect.x < 0 || c.rect.y < 0 || c.rect.cx <= 0 || c.rect.cy <= 0 || c.rect.x + c.rect.cx > dialog.cx ||
        c.rect.y + c.rect.cy > dialog.cy)
      return who + " lies outside the dialog";
    if (c.text_limit != 0 && c.kind != ControlKind::kEdit && c.kind != ControlKind::kComboBox)
      return who + " has a text limit but takes no typing";
    if ((c.kind == ControlKind::kIcon) != (c.resource > 0)) return who + ": icons, and only icons, name a resource";
    if (c.kind == ControlKind::kUpDown && c.buddy != 0) {
      // The system attaches an automatic buddy to the control created just before.
      if (i == 0 || dialog.controls[i - 1].id != c.buddy || dialog.controls[i - 1].kind != ControlKind::kEdit)
        return who + " must follow its buddy edit " + std::to_string(c.buddy);
    }
  }
  return {};
}

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kStatic: return "text";
    case ControlKind::kPicture: return "picture";
    case ControlKind::kIcon: return "icon";
    case ControlKind::kGroupBox: return "group";
    case ControlKind::kPushButton: return "button";
    case ControlKind::kCheckBox: return "checkbox";
    case ControlKind::kRadioButton: return "radio";
    case ControlKind::kEdit: return "edit";
    case ControlKind::kListBox: return "list";
    case ControlKind::kComboBox: return "combo";
    case ControlKind::kListView: return "listview";
    case ControlKind::kTreeView: return "tree";
    case ControlKind::kTrackbar: return "trackbar";
    case ControlKind::kUpDown: return "spin";
    case ControlKind::kIpAddress: return "ipaddress";
    case ControlKind::kProgressBar: return "progress";
  }
  return "control";
}

}  // namespace kit::ui
