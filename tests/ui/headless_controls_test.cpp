// The headless host's report-mode list views, tree images, resource
// pictures, key filters, paste, double clicks and commands sent to hidden
// buttons, and how the console host shows and drives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "ui/console/console.h"
#include "ui/headless/dialog.h"

namespace kit::ui::headless {
namespace {

constexpr int kList = 10, kTree = 11, kPicture = 12, kEdit = 13, kNextEdit = 14, kSpin = 16, kHidden = 15,
              kButton = 17;

KeyAction HexOnly(const KeyPress& key) {
  if (key.tab) return key.shift ? KeyAction::kPreviousControl : KeyAction::kNextControl;
  if (key.ctrl || key.character == u'\b') return KeyAction::kPass;
  const char16_t c = key.character;
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') ? KeyAction::kPass : KeyAction::kDrop;
}

struct ControlsPage : Page {
  std::vector<std::pair<int, Notify>> events;
  const DialogTemplate& Template() const override {
    static const DialogTemplate t = [] {
      DialogTemplate d;
      d.id = 900;
      d.caption = u"Controls";
      d.cx = 300;
      d.cy = 200;
      d.controls = {
          {kList, ControlKind::kListView, u"", {5, 5, 200, 60}, kReportView | kFullRowSelect | kTabStop},
          {kTree, ControlKind::kTreeView, u"", {5, 70, 200, 60}, kTabStop},
          {kPicture, ControlKind::kPicture, u"", {210, 5, 80, 60}, kNone},
          {kEdit, ControlKind::kEdit, u"", {5, 140, 100, 12}, kTabStop, 8},
          {kNextEdit, ControlKind::kEdit, u"", {110, 140, 100, 12}, kTabStop},
          {kSpin, ControlKind::kUpDown, u"", {210, 140, 10, 12}, kNone, 0, kNextEdit},
          {kHidden, ControlKind::kPushButton, u"Hidden", {5, 160, 50, 14}, kHidden},
          {kButton, ControlKind::kPushButton, u"Button", {60, 160, 50, 14}, kTabStop},
      };
      return d;
    }();
    return t;
  }
  void OnInit(Window& w) override {
    w.SetColumn(kList, 0, u"Char", 50);
    w.SetColumn(kList, 1, u"Hex", 50);
    w.SetColumn(kList, 2, u"Command", 450);
    for (const char16_t* ch : {u"A", u"B"}) w.AddItem(kList, ch);
    w.SetSubItemText(kList, 0, 1, u"41");
    w.SetSubItemText(kList, 0, 2, u"1B 70 00 ");
    w.SetSubItemText(kList, 1, 1, u"42");
    w.SetSubItemText(kList, 1, 5, u"no such column");
    w.SetTreeImages(kTree, {125, 126});
    const int root = w.AddTreeItemWithImage(kTree, 0, u"Root", 0);
    w.AddTreeItemWithImage(kTree, root, u"Leaf", 1);
    w.ExpandTreeItem(kTree, root);
    w.ScrollTreeTo(kTree, root);
    w.ShowBitmapResource(kPicture, 136);
    w.SetKeyFilter(kEdit, HexOnly);
  }
  bool OnCommand(Window&, int id, Notify code) override {
    events.emplace_back(id, code);
    return false;
  }
};

struct HeadlessControls : ::testing::Test {
  HeadlessControls() { dialog.Create(); }
  ControlsPage page;
  Environment env;
  Dialog dialog{page, env};
};

TEST_F(HeadlessControls, ReportListKeepsColumnsAndCellTexts) {
  const Control* list = dialog.Find(kList);
  ASSERT_EQ(list->columns.size(), 3u);
  EXPECT_EQ(list->columns[2], (std::pair<std::u16string, int>{u"Command", 450}));
  EXPECT_EQ(dialog.SubItemText(kList, 0, 0), u"A");
  EXPECT_EQ(dialog.SubItemText(kList, 0, 2), u"1B 70 00 ");
  EXPECT_EQ(dialog.SubItemText(kList, 1, 2), u"");
  EXPECT_EQ(dialog.SubItemText(kList, 1, 5), u"") << "a column the list lacks keeps no text";
  EXPECT_EQ(dialog.SubItemText(kList, 7, 1), u"");
  dialog.DeleteItem(kList, 0);
  EXPECT_EQ(dialog.SubItemText(kList, 0, 1), u"42") << "cells move with their row";
  dialog.EnsureItemVisible(kList, 0);
  EXPECT_EQ(dialog.Find(kList)->visible_item, 0);
}

TEST_F(HeadlessControls, TreeItemsCarryImagesAndExpansion) {
  const Control* tree = dialog.Find(kTree);
  ASSERT_EQ(tree->tree.size(), 2u);
  EXPECT_EQ(tree->tree_images, (std::vector<int>{125, 126}));
  EXPECT_EQ(tree->tree[0].image, 0);
  EXPECT_EQ(tree->tree[1].image, 1);
  EXPECT_TRUE(tree->tree[0].expanded);
  EXPECT_FALSE(tree->tree[1].expanded);
  EXPECT_EQ(tree->first_visible_tree_item, 1);
  EXPECT_EQ(dialog.Find(kPicture)->bitmap_resource, 136);
}

TEST_F(HeadlessControls, KeyFilterDecidesEachKeyAndPasteBypassesItButNotTheLimit) {
  struct Step {
    KeyPress key;
    const char16_t* text_after;
    int focus_after;
  };
  const Step steps[] = {
      {{u'1'}, u"1", kEdit},  // a key goes to the edit, which takes the focus
      {{u'G'}, u"1", kEdit},
      {{u'D'}, u"1D", kEdit},
      {{u'\b'}, u"1", kEdit},
      {{u'\t', false, false, true}, u"1", kNextEdit},
      {{u'\t', false, true, true}, u"1", kTree},
  };
  for (const Step& s : steps) {
    EXPECT_TRUE(dialog.PressKey(kEdit, s.key));
    EXPECT_EQ(dialog.Text(kEdit), s.text_after) << static_cast<int>(s.key.character);
    EXPECT_EQ(dialog.FocusedControl(), s.focus_after) << static_cast<int>(s.key.character);
  }
  EXPECT_TRUE(dialog.Type(kEdit, u"1G2"));
  EXPECT_EQ(dialog.Text(kEdit), u"12") << "typing goes through the key filter too";
  EXPECT_TRUE(dialog.Paste(kEdit, u"xyz-5678"));
  EXPECT_EQ(dialog.Text(kEdit), u"12xyz-56") << "pasted text is unfiltered but cut at the limit of 8";
}

TEST_F(HeadlessControls, DoubleClickSelectsThenReportsAndHiddenButtonsTakeSentCommands) {
  page.events.clear();
  EXPECT_TRUE(dialog.DoubleClickItem(kList, 1));
  EXPECT_EQ(dialog.Selection(kList), 1);
  ASSERT_EQ(page.events.size(), 2u);
  EXPECT_EQ(page.events[1], (std::pair<int, Notify>{kList, Notify::kDoubleClicked}));
  EXPECT_FALSE(dialog.DoubleClickItem(kList, 2));
  EXPECT_FALSE(dialog.Click(kHidden));
  EXPECT_TRUE(dialog.SendCommand(kHidden));
  EXPECT_EQ(page.events.back(), (std::pair<int, Notify>{kHidden, Notify::kClicked}));
  EXPECT_FALSE(dialog.SendCommand(999));
}

// Moving on from an edit tells its page (EN_KILLFOCUS) before the next
// control acts; staying in it, a page's own command, and the spin arrows
// (which do not take the focus) tell it nothing.
TEST_F(HeadlessControls, MovingTheFocusOffAnEditSendsItsKillFocusFirst) {
  struct Row {
    const char* what;
    std::function<bool(Dialog&)> act;
    bool kill_focus;
    int focus_after;
  };
  const Row rows[] = {
      {"tab", [](Dialog& d) { return d.PressKey(kEdit, {u'\t', false, false, true}); }, true, kNextEdit},
      {"focus action", [](Dialog& d) { return d.Focus(kNextEdit); }, true, kNextEdit},
      {"click a button", [](Dialog& d) { return d.Click(kButton); }, true, kButton},
      {"double click a list", [](Dialog& d) { return d.DoubleClickItem(kList, 0); }, true, kList},
      {"select a tree item", [](Dialog& d) { return d.SelectTree(kTree, 1); }, true, kTree},
      {"type into another edit", [](Dialog& d) { return d.Type(kNextEdit, u"7"); }, true, kNextEdit},
      {"focus off every control", [](Dialog& d) { d.FocusLeaves(); return true; }, true, 0},
      {"type into the same edit", [](Dialog& d) { return d.Type(kEdit, u"2"); }, false, kEdit},
      {"a picture takes no focus", [](Dialog& d) { return !d.Focus(kPicture); }, false, kEdit},
      {"a hidden button takes none", [](Dialog& d) { return !d.Focus(kHidden); }, false, kEdit},
      {"a command sent from outside", [](Dialog& d) { return d.SendCommand(kButton); }, false, kEdit},
      {"the spin arrows", [](Dialog& d) { return d.MoveTo(kSpin, 5); }, false, kEdit},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(dialog.Type(kEdit, u"1")) << row.what;
    page.events.clear();
    EXPECT_TRUE(row.act(dialog)) << row.what;
    const auto kill = std::find(page.events.begin(), page.events.end(), std::pair<int, Notify>{kEdit, Notify::kKillFocus});
    EXPECT_EQ(kill != page.events.end(), row.kill_focus) << row.what;
    if (kill != page.events.end()) {
      EXPECT_EQ(kill, page.events.begin()) << row.what << ": before the next control acts";
    }
    EXPECT_EQ(dialog.FocusedControl(), row.focus_after) << row.what;
  }
}

TEST(ConsoleControls, ShowsColumnsImagesAndBitmapAndTakesPasteKeyDoubleClickAndCommand) {
  ControlsPage page;
  Environment env;
  Dialog dialog(page, env);
  dialog.Create();
  std::istringstream in("paste 13 7Z\nkey 13 G\ndblclick 10 0\ncommand 15\nkey 13 tab\nshow\n");
  std::ostringstream out;
  console::Console console(in, out);
  console.Attach(env);
  console.Run(dialog);
  const std::string text = out.str();
  EXPECT_EQ(console.Errors(), 0) << text;
  EXPECT_NE(text.find("columns: \"Char\" 50 \"Hex\" 50 \"Command\" 450"), std::string::npos) << text;
  EXPECT_NE(text.find("A | 41 | 1B 70 00 "), std::string::npos) << text;
  EXPECT_NE(text.find("Root  (icon 125)"), std::string::npos) << text;
  EXPECT_NE(text.find("(bitmap 136)"), std::string::npos) << text;
  EXPECT_NE(text.find("\"7Z\""), std::string::npos) << text;
  EXPECT_EQ(dialog.FocusedControl(), kNextEdit);
  EXPECT_NE(std::find(page.events.begin(), page.events.end(), std::pair<int, Notify>{kHidden, Notify::kClicked}),
            page.events.end());
  EXPECT_EQ(page.events.back(), (std::pair<int, Notify>{kEdit, Notify::kKillFocus})) << "the tab left the edit";
}

}  // namespace
}  // namespace kit::ui::headless
