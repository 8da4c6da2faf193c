// This file is OS-independent.
#include "plugin/core/font/font_page.h"

namespace kit::plugin::font {
namespace {

constexpr int kImageRoot = 0, kImageGroup = 1, kImageFont = 2;
// Columns of the hidden list, in pixels.
constexpr int kNameColumnWidth = 120;
constexpr int kPointColumnWidth = 60;

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t = sheets::PageTemplate(kFontPageId, u"Font");
  t.controls = {
      {kFontTreeId, ControlKind::kTreeView, u"", {14, 14, 224, 160}, kBorder | kTabStop},
      {kFontListId, ControlKind::kListView, u"", {14, 14, 224, 160}, kReportView | kHidden},
      {kFontNoticeId, ControlKind::kStatic, u"Select this font size in the application. ", {14, 182, 224, 20}, kNone},
  };
  return t;
}

// "FontA11    9.5" -> ("FontA11", "9.5").
std::pair<std::u16string, std::u16string> SplitItem(std::u16string_view item) {
  const auto space = item.find(u' ');
  const auto size = item.find_first_not_of(u' ', space);
  if (space == std::u16string_view::npos || size == std::u16string_view::npos) return {std::u16string(item), {}};
  return {std::u16string(item.substr(0, space)), std::u16string(item.substr(size))};
}

}  // namespace

const std::vector<FontGroup>& FontGroups() {
  // Each text exactly as the application lists it, spaces included.
  static const std::vector<FontGroup> groups = {
      {u"Font A",
       {u"FontA11    9.5", u"FontA12    19.0", u"FontA21    9.5", u"FontA22   19.0", u"FontA24   38.5",
        u"FontA42   19.0", u"FontA44   38.5"}},
      {u"Font B",
       {u"FontB11    7.0", u"FontB12    13.5", u"FontB21    7.0", u"FontB22   13.5", u"FontB24   27.0",
        u"FontB42   13.5", u"FontB44   27.0"}},
      {u"Control Font", {u"Control    1.0"}},
  };
  return groups;
}

const ui::DialogTemplate& FontPage::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void FontPage::ShowValues(ui::Window& window) {
  const sheets::CurrentTexts texts(context().language());
  window.SetTreeImages(kFontTreeId, {kRootIconId, kGroupIconId, kFontIconId});
  window.ClearItems(kFontTreeId);
  root_ = window.AddTreeItemWithImage(
      kFontTreeId, 0, texts.Get(kFontSection, u"RC_RONT_TREETITLE", u"Printer Fonts and Font Sizes", kFontTextCapacity),
      kImageRoot);
  window.SetColumn(kFontListId, 0, u"Font Name", kNameColumnWidth);
  window.SetColumn(kFontListId, 1, u"Point", kPointColumnWidth);
  window.ClearItems(kFontListId);
  std::vector<int> groups;
  for (const FontGroup& group : FontGroups()) {
    const int g = window.AddTreeItemWithImage(kFontTreeId, root_, group.name, kImageGroup);
    groups.push_back(g);
    for (const char16_t* font : group.fonts) {
      window.AddTreeItemWithImage(kFontTreeId, g, font, kImageFont);
      const auto [name, points] = SplitItem(font);
      const int row = window.AddItem(kFontListId, name);
      window.SetSubItemText(kFontListId, row, 1, points);
    }
  }
  window.ExpandTreeItem(kFontTreeId, root_);
  for (int g : groups) window.ExpandTreeItem(kFontTreeId, g);
  window.ScrollTreeTo(kFontTreeId, root_);
}

void FontPage::LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) {
  window.SetText(kFontNoticeId, texts.Get(kFontSection, u"RC_STATIC_FONT_NOTICE",
                                          u"Select this font size in the application. ", kFontTextCapacity));
  if (root_ != 0)
    window.SetTreeItemText(kFontTreeId, root_,
                           texts.Get(kFontSection, u"RC_RONT_TREETITLE", u"Printer Fonts and Font Sizes", kFontTextCapacity));
}

}  // namespace kit::plugin::font
