// The pages of the two sheets, in the order they are added, with their tab
// titles. A sheet adds the pages this build has; the others follow through
// the same table.
// This file is OS-independent.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

#include "plugin/core/sheets/current_texts.h"
#include "plugin/core/sheets/sheet_page.h"

namespace kit::plugin::sheets {

inline constexpr std::size_t kTabTitleCapacity = 20;

struct PageEntry {
  const char16_t* title_key;  // in `section`
  const char16_t* section;
  const char16_t* builtin_title;
  int dialog_id;
  // Makes the page; null while this build has no such page.
  std::unique_ptr<SheetPage> (*create)(PageContext context);
};

inline constexpr std::size_t kDocumentPageCount = 6;
inline constexpr std::size_t kDevicePageCount = 4;
extern const std::array<PageEntry, kDocumentPageCount> kDocumentPages;
extern const std::array<PageEntry, kDevicePageCount> kDevicePages;

using DocumentTitles = std::array<std::u16string, kDocumentPageCount>;
using DeviceTitles = std::array<std::u16string, kDevicePageCount>;

// The tab titles in the current language (capacity 20 each).
DocumentTitles LoadDocumentTitles(const CurrentTexts& texts);
DeviceTitles LoadDeviceTitles(const CurrentTexts& texts);

}  // namespace kit::plugin::sheets
