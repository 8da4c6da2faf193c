// This file is OS-independent.
#include "plugin/core/sheets/tab_titles.h"

#include <vector>

#include "plugin/core/sheets/page_table.h"

namespace kit::plugin::sheets {
namespace {

// The titles of the pages this build adds, in table order.
template <std::size_t N, typename Titles>
std::vector<std::u16string> AddedTitles(const std::array<PageEntry, N>& table, const Titles& titles) {
  std::vector<std::u16string> added;
  for (std::size_t i = 0; i < N; ++i)
    if (table[i].create != nullptr) added.push_back(titles[i]);
  return added;
}

}  // namespace

void RelabelSheetTabs(ui::Window& page, SheetKind kind, const CurrentTexts& texts) {
  const int count = page.SheetTabCount();
  std::vector<std::u16string> titles;
  int first = 0;
  if (kind == SheetKind::kDocument) {
    titles = AddedTitles(kDocumentPages, LoadDocumentTitles(texts));
    first = kDriverDocumentTabs;
  } else {
    titles = AddedTitles(kDevicePages, LoadDeviceTitles(texts));
    first = count - static_cast<int>(titles.size());
  }
  for (std::size_t i = 0; i < titles.size(); ++i) {
    const int index = first + static_cast<int>(i);
    if (index >= 0 && index < count) page.SetSheetTabTitle(index, titles[i]);
  }
}

void RelabelAfterLanguageChange(ui::Window& page, const CurrentTexts& texts, std::u16string_view printer_name) {
  RelabelSheetTabs(page, SheetKind::kDocument, texts);
  // One remembered page is enough to reach the device sheet's tabs.
  ui::Window* device_page = nullptr;
  for (PageSlot slot : {PageSlot::kDeviceVersion, PageSlot::kUtility, PageSlot::kDownload, PageSlot::kFont}) {
    if ((device_page = PageWindow(slot)) != nullptr) {
      RelabelSheetTabs(*device_page, SheetKind::kDevice, texts);
      break;
    }
  }
  // The device sheets found by the printer's name: those of this process
  // were relabelled through their pages above and get the same titles again.
  if (!printer_name.empty()) page.RelabelOtherSheets(printer_name, AddedTitles(kDevicePages, LoadDeviceTitles(texts)));
  RepaintOpenPages();
}

}  // namespace kit::plugin::sheets
