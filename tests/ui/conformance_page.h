// A page that exercises the window interface during its initialisation and
// records what it reads back, so the headless host can be held to what the
// real controls do.
#pragma once

#include <string>
#include <vector>

#include "ui/page.h"
#include "ui/text.h"

namespace kit::ui::testing {

enum ConformanceIds {
  kLabel = 100,
  kEdit,
  kReadOnlyEdit,
  kSpinEdit,
  kSpin,
  kSortedList,
  kUnsortedList,
  kDropList,
  kCombo,
  kListView,
  kTree,
  kTrackbar,
  kProgress,
  kCheck,
  kRadio1,
  kRadio2,
  kIp,
  kPicture,
  kHiddenButton,
  kDisabledButton,
};

inline DialogTemplate ConformanceTemplate() {
  DialogTemplate t;
  t.id = 900;
  t.caption = u"Conformance";
  t.cx = 300;
  t.cy = 200;
  t.font.face = u"MS Shell Dlg";
  t.font.point_size = 8;
  t.controls = {
      {kLabel, ControlKind::kStatic, u"Label", {5, 5, 60, 8}},
      {kEdit, ControlKind::kEdit, u"start", {5, 15, 60, 12}, kBorder | kTabStop, 10},
      {kReadOnlyEdit, ControlKind::kEdit, u"", {5, 30, 60, 40}, kBorder | kMultiLine | kReadOnly | kAutoVScroll | kVScroll},
      {kSpinEdit, ControlKind::kEdit, u"", {5, 75, 40, 12}, kBorder | kNumber},
      {kSpin, ControlKind::kUpDown, u"", {45, 75, 10, 12}, kNone, 0, kSpinEdit},
      {kSortedList, ControlKind::kListBox, u"", {70, 5, 60, 40}, kBorder | kSorted | kVScroll},
      {kUnsortedList, ControlKind::kListBox, u"", {70, 50, 60, 40}, kBorder | kVScroll},
      {kDropList, ControlKind::kComboBox, u"", {135, 5, 60, 60}, kDropDownList | kVScroll},
      {kCombo, ControlKind::kComboBox, u"", {135, 25, 60, 60}, kSorted | kVScroll},
      {kListView, ControlKind::kListView, u"", {200, 5, 95, 50}, kBorder | kReportView | kCheckBoxes | kFullRowSelect},
      {kTree, ControlKind::kTreeView, u"", {200, 60, 95, 50}, kBorder},
      {kTrackbar, ControlKind::kTrackbar, u"", {5, 95, 100, 15}},
      {kProgress, ControlKind::kProgressBar, u"", {5, 115, 100, 10}},
      {kCheck, ControlKind::kCheckBox, u"Check", {5, 130, 60, 10}, kTabStop},
      {kRadio1, ControlKind::kRadioButton, u"One", {70, 130, 40, 10}, kGroup | kTabStop},
      {kRadio2, ControlKind::kRadioButton, u"Two", {115, 130, 40, 10}},
      {kIp, ControlKind::kIpAddress, u"", {5, 145, 100, 12}},
      {kPicture, ControlKind::kPicture, u"", {200, 115, 40, 40}},
      {kHiddenButton, ControlKind::kPushButton, u"Hidden", {5, 180, 50, 14}, kHidden},
      {kDisabledButton, ControlKind::kPushButton, u"Disabled", {60, 180, 50, 14}, kDisabled},
      {kIdOk, ControlKind::kPushButton, u"OK", {190, 180, 50, 14}, kDefault | kTabStop},
      {kIdCancel, ControlKind::kPushButton, u"Cancel", {245, 180, 50, 14}, kTabStop},
  };
  return t;
}

class ConformancePage : public Page {
 public:
  const DialogTemplate& Template() const override {
    static const DialogTemplate t = ConformanceTemplate();
    return t;
  }

  // Every observation as "what: value", in order.
  std::vector<std::string> seen;
  // Commands the page heard while it set values itself (must stay empty).
  std::vector<int> heard;
  bool initialising = false;

  bool OnCommand(Window&, int id, Notify) override {
    if (initialising) heard.push_back(id);
    return false;
  }

  void OnInit(Window& w) override {
    initialising = true;
    Observe(w);
    initialising = false;
  }

  void Observe(Window& w) {
    auto see = [&](const std::string& what, const std::u16string& value) { seen.push_back(what + ": " + ToUtf8(value)); };
    auto see_int = [&](const std::string& what, int value) { seen.push_back(what + ": " + std::to_string(value)); };

    see("caption", w.Caption());
    see("label", w.Text(kLabel));
    see("edit from template", w.Text(kEdit));
    see_int("hidden visible", w.IsVisible(kHiddenButton));
    see_int("disabled enabled", w.IsEnabled(kDisabledButton));
    see_int("ok enabled", w.IsEnabled(kIdOk));

    w.SetCaption(u"Changed caption");
    see("caption set", w.Caption());
    w.SetText(kEdit, u"a text longer than the limit");
    see("edit set past limit", w.Text(kEdit));
    w.SetText(kReadOnlyEdit, u"line 1\r\n");
    w.AppendText(kReadOnlyEdit, u"line 2\r\n");
    see("appended", w.Text(kReadOnlyEdit));
    w.Show(kLabel, false);
    see_int("label hidden", w.IsVisible(kLabel));
    w.Enable(kIdOk, false);
    see_int("ok disabled", w.IsEnabled(kIdOk));

    for (const char16_t* s : {u"pear", u"Apple", u"banana"}) see_int("sorted add", w.AddItem(kSortedList, s));
    see("sorted first", w.ItemText(kSortedList, 0));
    for (const char16_t* s : {u"pear", u"Apple", u"banana"}) see_int("unsorted add", w.AddItem(kUnsortedList, s));
    w.SetSelection(kUnsortedList, 2);
    w.DeleteItem(kUnsortedList, 0);
    see_int("selection after deleting above it", w.Selection(kUnsortedList));
    w.DeleteItem(kUnsortedList, 1);
    see_int("selection after deleting it", w.Selection(kUnsortedList));
    see_int("unsorted count", w.ItemCount(kUnsortedList));
    see("item out of range", w.ItemText(kUnsortedList, 5));

    w.AddItem(kDropList, u"9600");
    w.AddItem(kDropList, u"19200");
    see_int("drop list none", w.Selection(kDropList));
    w.SetSelection(kDropList, 1);
    see("drop list text", w.Text(kDropList));
    w.SetSelection(kDropList, -1);
    see_int("drop list cleared", w.Selection(kDropList));

    w.AddItem(kListView, u"Printer A");
    w.AddItem(kListView, u"Monitor B");
    w.SetItemChecked(kListView, 1, true);
    see_int("lv 0 checked", w.IsItemChecked(kListView, 0));
    see_int("lv 1 checked", w.IsItemChecked(kListView, 1));
    see("lv text", w.ItemText(kListView, 1));
    w.SetSelection(kListView, 1);
    see_int("lv selection", w.Selection(kListView));
    w.DeleteItem(kListView, 0);
    see_int("lv count", w.ItemCount(kListView));
    see_int("lv checked moved up", w.IsItemChecked(kListView, 0));

    const int root = w.AddTreeItem(kTree, 0, u"Fonts");
    const int leaf = w.AddTreeItem(kTree, root, u"Font A");
    see_int("tree root", root);
    see_int("tree leaf", leaf);
    w.SelectTreeItem(kTree, leaf);
    see_int("tree selected", w.SelectedTreeItem(kTree));
    see("tree text", w.TreeItemText(kTree, leaf));

    w.SetRange(kTrackbar, 0, 10);
    w.SetPosition(kTrackbar, 25);
    see_int("trackbar clamped", w.Position(kTrackbar));
    w.SetRange(kProgress, 0, 100);
    w.SetPosition(kProgress, 40);
    see_int("progress", w.Position(kProgress));
    w.SetRange(kSpin, 1, 20);
    w.SetPosition(kSpin, 7);
    see_int("spin", w.Position(kSpin));
    see("spin buddy", w.Text(kSpinEdit));

    w.SetChecked(kCheck, true);
    see_int("check", w.IsChecked(kCheck));
    w.SetChecked(kRadio2, true);
    see_int("radio 1", w.IsChecked(kRadio1));
    see_int("radio 2", w.IsChecked(kRadio2));

    w.SetText(kIp, u"192.168.0.50");
    see("ip", w.Text(kIp));

    see("missing control", w.Text(4242));
    see_int("missing enabled", w.IsEnabled(4242));
    w.SetText(4242, u"nothing");
  }
};

// What Windows gives for the observations above.
inline std::vector<std::string> ExpectedConformance() {
  return {
      "caption: Conformance",
      "label: Label",
      "edit from template: start",
      "hidden visible: 0",
      "disabled enabled: 0",
      "ok enabled: 1",
      "caption set: Changed caption",
      "edit set past limit: a text longer than the limit",
      "appended: line 1\r\nline 2\r\n",
      "label hidden: 0",
      "ok disabled: 0",
      "sorted add: 0",
      "sorted add: 0",
      "sorted add: 1",
      "sorted first: Apple",
      "unsorted add: 0",
      "unsorted add: 1",
      "unsorted add: 2",
      "selection after deleting above it: 1",
      "selection after deleting it: -1",
      "unsorted count: 1",
      "item out of range: ",
      "drop list none: -1",
      "drop list text: 19200",
      "drop list cleared: -1",
      "lv 0 checked: 0",
      "lv 1 checked: 1",
      "lv text: Monitor B",
      "lv selection: 1",
      "lv count: 1",
      "lv checked moved up: 1",
      "tree root: 1",
      "tree leaf: 2",
      "tree selected: 2",
      "tree text: Font A",
      "trackbar clamped: 10",
      "progress: 40",
      "spin: 7",
      "spin buddy: 7",
      "check: 1",
      "radio 1: 0",
      "radio 2: 1",
      "ip: 192.168.0.50",
      "missing control: ",
      "missing enabled: 0",
  };
}

}  // namespace kit::ui::testing
