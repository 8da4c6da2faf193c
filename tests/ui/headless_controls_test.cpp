// The headless host's report-mode list views, tree images, resource
// pictures, key filters, paste, double clicks and commands sent to hidden
// buttons, and how the console host shows and drives them.
#include <gtest/gtest.h>

#include <sstream>

#include "ui/console/console.h"
#include "ui/headless/dialog.h"

namespace kit::ui::headless {
namespace {

constexpr int kList = 10, kTree = 11, kPicture = 12, kEdit = 13, kNextEdit = 14, kHidden = 15;

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
          {kHidden, ControlKind::kPushButton, u"Hidden", {5, 160, 50, 14}, kHidden},
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
      {{u'1'}, u"1", 0},
      {{u'G'}, u"1", 0},
      {{u'D'}, u"1D", 0},
      {{u'\b'}, u"1", 0},
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

TEST(ConsoleControls, ShowsColumnsImagesAndBitmapAndTakesPasteKeyDoubleClickAndCommand) {
  ControlsPage page;
  Environment env;
  Dialog dialog(page, env);
  dialog.Create();
  std::istringstream in("paste 13 7Z\nkey 13 G\nkey 13 tab\ndblclick 10 0\ncommand 15\nshow\n");
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
  EXPECT_EQ(page.events.back(), (std::pair<int, Notify>{kHidden, Notify::kClicked}));
}

}  // namespace
}  // namespace kit::ui::headless
