// This file is OS-independent.
#include "plugin/core/sheets/page_table.h"

#include "plugin/core/main/main_page.h"
#include "plugin/core/utility/utility_page.h"
#include "plugin/core/font/font_page.h"
#include "plugin/core/operation/operation_page.h"
#include "plugin/core/version/version_page.h"
#include "plugin/pages/barcode/barcode_1d_page.h"
#include "plugin/pages/barcode/barcode_2d_page.h"
#include "plugin/pages/download/download_page.h"
#include "plugin/pages/rawjob/raw_job_channel.h"
#include "plugin/pages/watermark/watermark_page.h"

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

std::unique_ptr<SheetPage> MakeMainPage(PageContext context) { return std::make_unique<main::MainPage>(context); }

std::unique_ptr<SheetPage> MakeWatermarkPage(PageContext context) {
  return std::make_unique<watermark::WatermarkPage>(context);
}

std::unique_ptr<SheetPage> MakeUtilityPage(PageContext context) {
  return std::make_unique<utility::UtilityPage>(context);
}

// Where the barcode pages' test prints go: the raw job channel on the
// sheet's printer, and the system's ANSI code page for the typed data
// (western when the page has no system to ask).
barcode::TestPrint BarcodeTestPrint(const PageContext& context) {
  barcode::TestPrint print;
  print.send = [context](const print::rawjob::RawJob& job) { return rawjob::SendRawJob(context, job).ok; };
  if (SystemFacts* system = context.platform().system; system != nullptr) {
    print.ansi_code_page = [system] { return system->GetACP(); };
  }
  return print;
}

std::unique_ptr<SheetPage> MakeBarcode1DPage(PageContext context) {
  return std::make_unique<barcode::Barcode1DPage>(context, BarcodeTestPrint(context));
}
std::unique_ptr<SheetPage> MakeBarcode2DPage(PageContext context) {
  return std::make_unique<barcode::Barcode2DPage>(context, BarcodeTestPrint(context));
}

std::unique_ptr<SheetPage> MakeDownloadPage(PageContext context) {
  return std::make_unique<download::DownloadPage>(context, download::ProcessLogoState());
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
    {u"RC_LAYOUTFORM", main::kLayoutSection, u"Main", main::kMainDialogId, MakeMainPage},
    {u"RC_WATERMARKFORM", watermark::kWatermarkSection, u"Water Mark", watermark::kWatermarkDialogId,
     MakeWatermarkPage},
    {u"RC_OPERATIONFORM", operation::kOperationSection, u"Operation", operation::kOperationPageId, MakeOperationPage},
    {u"RC_1DCODEFORM", barcode::kBarcode1DSection, u"1D Code", barcode::kBarcode1DDialogId, MakeBarcode1DPage},
    {u"RC_2DCODEFORM", barcode::kBarcode2DSection, u"2D Code", barcode::kBarcode2DDialogId, MakeBarcode2DPage},
    {u"RC_VERSIONFORM", version::kVersionSection, u"Version", version::kVersionDialogId, MakeVersionPage},
}};

const std::array<PageEntry, kDevicePageCount> kDevicePages = {{
    {u"RC_UTILITYFORM", utility::kUtilitySection, u"Utility", utility::kUtilityDialogId, MakeUtilityPage},
    {u"RC_DOWNLOADFORM", download::kDownloadSection, u"Download", download::kDownloadDialogId, MakeDownloadPage},
    {u"RC_FONTFORM", font::kFontSection, u"Font", font::kFontPageId, MakeFontPage},
    {u"RC_VERSIONFORM", version::kVersionSection, u"Version", version::kVersionDialogId, MakeVersionPage},
}};

DocumentTitles LoadDocumentTitles(const CurrentTexts& texts) { return LoadTitles(kDocumentPages, texts); }
DeviceTitles LoadDeviceTitles(const CurrentTexts& texts) { return LoadTitles(kDevicePages, texts); }

}  // namespace kit::plugin::sheets
