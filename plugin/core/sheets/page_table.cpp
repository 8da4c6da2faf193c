// This file is OS-independent.
#include "plugin/core/sheets/page_table.h"

#include "plugin/core/font/font_page.h"
#include "plugin/core/operation/operation_page.h"
#include "plugin/core/version/version_page.h"

namespace kit::plugin::sheets {
namespace {

std::unique_ptr<SheetPage> MakeOperationPage(PageContext context) {
  return std::make_unique<operation::OperationPage>(context);
}

std::unique_ptr<SheetPage> MakeFontPage(PageContext context) {
  return std::make_unique<font::FontPage>(context);
}

std::unique_ptr<SheetPage> MakeVersionPage(PageContext context) {
  return std::make_unique<version::VersionPage>(context);
}

template <std::size_t N>
std::array<std::u16string, N> LoadTitles(const std::array<PageEntry, N>& pages, const CurrentTexts& texts) {
  std::array<std::u16string, N> titles;
  for (std::size_t i = 0; i < N; ++i)
    titles[i] = texts.Get(pages[i].section, pages[i].title_key, pages[i].builtin_title, kTabTitleCapacity);
  return titles;
}

}  // namespace

const std::array<PageEntry, kDocumentPageCount> kDocumentPages = {{
    {u"RC_LAYOUTFORM", u"LAYOUT", u"Main", 128, nullptr},
    {u"RC_WATERMARKFORM", u"WATERMARK", u"Water Mark", 131, nullptr},
    {u"RC_OPERATIONFORM", operation::kOperationSection, u"Operation", operation::kOperationPageId, MakeOperationPage},
    {u"RC_1DCODEFORM", u"1DCODE", u"1D Code", 117, nullptr},
    {u"RC_2DCODEFORM", u"2DCODE", u"2D Code", 118, nullptr},
    {u"RC_VERSIONFORM", version::kVersionSection, u"Version", version::kVersionDialogId, MakeVersionPage},
}};

const std::array<PageEntry, kDevicePageCount> kDevicePages = {{
    {u"RC_UTILITYFORM", u"UTILITY", u"Utility", 114, nullptr},
    {u"RC_DOWNLOADFORM", u"DOWNLOAD", u"Download", 113, nullptr},
    {u"RC_FONTFORM", font::kFontSection, u"Font", font::kFontPageId, MakeFontPage},
    {u"RC_VERSIONFORM", version::kVersionSection, u"Version", version::kVersionDialogId, MakeVersionPage},
}};

DocumentTitles LoadDocumentTitles(const CurrentTexts& texts) { return LoadTitles(kDocumentPages, texts); }
DeviceTitles LoadDeviceTitles(const CurrentTexts& texts) { return LoadTitles(kDevicePages, texts); }

}  // namespace kit::plugin::sheets
