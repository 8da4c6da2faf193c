// The Font page on a headless host: the tree's texts, order, images and
// expansion, the hidden list, the notice, and the relabelling slot.
#include <gtest/gtest.h>

#include "plugin/core/font/control_font_dialogs.h"
#include "plugin/core/font/font_page.h"
#include "ui/headless/dialog.h"

namespace kit::plugin::font {
namespace {

TEST(FontPage, ShowsTheFontTreeFullyExpandedWithItsImagesAndTheHiddenList) {
  com::DeviceSheetContext context;
  FontPage page(sheets::PageContext::Device(context, nullptr));
  ui::headless::Environment env;
  ui::headless::Dialog window(page, env);
  window.Create();

  const ui::headless::Control* tree = window.Find(kFontTreeId);
  ASSERT_NE(tree, nullptr);
  const std::vector<std::pair<int, std::u16string>> expected = {
      {0, u"Printer Fonts and Font Sizes"},
      {1, u"Font A"},  {2, u"FontA11    9.5"}, {2, u"FontA12    19.0"}, {2, u"FontA21    9.5"},
      {2, u"FontA22   19.0"}, {2, u"FontA24   38.5"}, {2, u"FontA42   19.0"}, {2, u"FontA44   38.5"},
      {1, u"Font B"},  {2, u"FontB11    7.0"}, {2, u"FontB12    13.5"}, {2, u"FontB21    7.0"},
      {2, u"FontB22   13.5"}, {2, u"FontB24   27.0"}, {2, u"FontB42   13.5"}, {2, u"FontB44   27.0"},
      {1, u"Control Font"}, {2, u"Control    1.0"},
  };
  ASSERT_EQ(tree->tree.size(), expected.size()) << "18 items besides the root";
  EXPECT_EQ(tree->tree_images, (std::vector<int>{125, 126, 127}));
  int group = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& node = tree->tree[i];
    const int item = static_cast<int>(i) + 1;
    EXPECT_EQ(node.text, expected[i].second) << item;
    EXPECT_EQ(node.image, expected[i].first) << item;
    const int depth = expected[i].first;
    if (depth == 0) {
      EXPECT_EQ(node.parent, 0);
    }
    if (depth == 1) {
      EXPECT_EQ(node.parent, 1);
      group = item;
    }
    if (depth == 2) {
      EXPECT_EQ(node.parent, group) << item;
    }
    EXPECT_EQ(node.expanded, depth < 2) << item;
  }
  EXPECT_EQ(tree->first_visible_tree_item, 1);

  EXPECT_FALSE(window.IsVisible(kFontListId));
  EXPECT_EQ(window.ItemCount(kFontListId), 15);
  EXPECT_EQ(window.SubItemText(kFontListId, 1, 0), u"FontA12");
  EXPECT_EQ(window.SubItemText(kFontListId, 1, 1), u"19.0");
  EXPECT_EQ(window.SubItemText(kFontListId, 14, 1), u"1.0");
  EXPECT_EQ(window.Text(kFontNoticeId), u"Select this font size in the application. ");
  EXPECT_EQ(sheets::PageWindow(sheets::PageSlot::kFont), &window);

  // A repaint sets the root text again; the tree keeps its items.
  window.SetTreeItemText(kFontTreeId, 1, u"stale");
  window.Paint();
  EXPECT_EQ(window.Find(kFontTreeId)->tree[0].text, u"Printer Fonts and Font Sizes");
  EXPECT_EQ(window.Find(kFontTreeId)->tree.size(), expected.size());
}

TEST(FontTemplates, KeepTheTemplateRules) {
  com::DeviceSheetContext context;
  FontPage page(sheets::PageContext::Device(context, nullptr));
  ControlFontTranslator translator(u"A", u"41", u"");
  EXPECT_EQ(ui::Validate(page.Template()), "");
  EXPECT_EQ(ui::Validate(translator.Template()), "");
  EXPECT_EQ(translator.Template().id, 116);
  EXPECT_EQ(page.Template().id, 119);
}

}  // namespace
}  // namespace kit::plugin::font
