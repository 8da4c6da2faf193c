#include "plugin/host/driver_pages.h"

#include "platform/system.h"

namespace kit::plugin::host {
namespace {

// A property-sheet page's size in dialog units, as the plug-in's pages have.
constexpr int kPageWidth = 252;
constexpr int kPageHeight = 218;
constexpr int kNoteId = 100;
constexpr const char16_t* kNote = u"The universal printer driver's own page: not part of this kit, nothing to set here.";

}  // namespace

std::array<std::u16string, kDriverPageCount> DriverPageTitles(bool document_sheet, std::uint16_t language_id) {
  // Printing Preferences: the driver's layout and paper pages. Printer
  // Properties: the printer folder's first page and the driver's settings.
  if (language_id == kLangChineseSimplified)
    return document_sheet ? std::array<std::u16string, 2>{u"布局", u"纸张/质量"}
                          : std::array<std::u16string, 2>{u"常规", u"设备设置"};
  if (language_id == kLangChineseTraditional)
    return document_sheet ? std::array<std::u16string, 2>{u"版面配置", u"紙張/品質"}
                          : std::array<std::u16string, 2>{u"一般", u"裝置設定"};
  return document_sheet ? std::array<std::u16string, 2>{u"Layout", u"Paper/Quality"}
                        : std::array<std::u16string, 2>{u"General", u"Device Settings"};
}

DriverStandInPage::DriverStandInPage(std::u16string title) {
  template_.id = 0;
  template_.caption = std::move(title);
  template_.cx = kPageWidth;
  template_.cy = kPageHeight;
  template_.kind = ui::DialogKind::kChild;
  template_.centered = false;
  template_.controls = {{kNoteId, ui::ControlKind::kStatic, kNote, {8, 8, kPageWidth - 16, 20}, ui::kNone}};
}

}  // namespace kit::plugin::host
