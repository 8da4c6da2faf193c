// The two sheet handlers driven the way the common property-sheet UI drives
// them, with a fake sheet callback.
#include "plugin/core/sheets/sheet_handlers.h"

#include <gtest/gtest.h>

#include "plugin/core/sheets/message_texts.h"
#include "plugin/core/sheets/page_table.h"
#include "plugin/core/version/version_page.h"
#include "tests/plugin/core/com/fake_driver.h"
#include "tests/plugin/core/sheets/fake_spooler.h"
#include "tests/plugin/core/sheets/sheet_fixture.h"

namespace kit::plugin::sheets::testing {
namespace {

using com::kEFail;
using com::kSOk;

constexpr char16_t kChineseFile[] = u"CHN_VRTQ40.res";
// A simplified-Chinese text file with the tab titles and one message.
constexpr char16_t kChineseTexts[] =
    u"[FILEVER]\r\nINIVERSION=3\r\n"
    u"[VERSION]\r\nRC_VERSIONFORM=\u7248\u672C\r\nRC_STATIC_VER1=\u6253\u5370\u673A\u9A71\u52A8\u7A0B\u5E8F\r\n"
    u"[MessageBox]\r\nMB_ERROR=\u9519\u8BEF\r\nMB_OPERATION_ERROR1=\u547D\u4EE4\u957F\u5EA6\u9519\u8BEF\r\n"
    u"[GPD]\r\nRC_DENSITY=\u6253\u5370\u6D53\u5EA6\r\n";

TEST_F(SheetTest, BothSheetsRefuseAMissingOrForeignRequestWithError87) {
  com::PROPSHEETUI_INFO info = Request(kReasonInit);
  info.Version = 0x0101;
  EXPECT_EQ(HandleDocumentSheet(&info, 0, document_, services()), kEFail);
  EXPECT_EQ(com::GetThreadLastError(), com::kErrorInvalidParameter);
  com::SetThreadLastError(kSentinelError);
  EXPECT_EQ(HandleDeviceSheet(&info, 0, device_, services()), kEFail);
  EXPECT_EQ(com::GetThreadLastError(), com::kErrorInvalidParameter);
  com::SetThreadLastError(kSentinelError);
  EXPECT_EQ(HandleDocumentSheet(nullptr, 0, document_, services()), kEFail);
  EXPECT_EQ(com::GetThreadLastError(), com::kErrorInvalidParameter);
  com::SetThreadLastError(kSentinelError);
  EXPECT_EQ(HandleDeviceSheet(nullptr, 0, device_, services()), kEFail);
  EXPECT_EQ(com::GetThreadLastError(), com::kErrorInvalidParameter);
  // Nothing was added and the contexts were left as they were.
  EXPECT_TRUE(recorded_.empty());
  EXPECT_EQ(info.Result, 0u);
  EXPECT_EQ(document_.hComPropSheet, com::UnsetHandle());
  EXPECT_EQ(device_.pfnComPropSheet, nullptr);

  // A set-up request without the sheet's callback cannot add pages.
  info = Request(kReasonInit);
  info.pfnComPropSheet = nullptr;
  EXPECT_EQ(HandleDocumentSheet(&info, 0, document_, services()), kEFail);
  EXPECT_EQ(HandleDeviceSheet(&info, 0, device_, services()), kEFail);
  EXPECT_EQ(com::GetThreadLastError(), com::kErrorInvalidParameter);
}

TEST_F(SheetTest, TheSmallRequestsAnswerTheSameOnBothSheets) {
  UseLanguage(kChineseFile, kChineseTexts);
  for (int sheet = 0; sheet < 2; ++sheet) {
    auto handle = [&](com::PROPSHEETUI_INFO& info, com::LPARAM lParam) {
      return sheet == 0 ? HandleDocumentSheet(&info, lParam, document_, services())
                        : HandleDeviceSheet(&info, lParam, device_, services());
    };
    // The header's title does not follow the language.
    com::PROPSHEETUI_INFO info = Request(kReasonGetInfoHeader);
    com::PROPSHEETUI_INFO_HEADER header{};
    EXPECT_EQ(handle(info, reinterpret_cast<com::LPARAM>(&header)), kSOk);
    ASSERT_NE(header.pTitle, nullptr);
    EXPECT_EQ(std::u16string(header.pTitle), u"OEM UI Page");
    EXPECT_EQ(info.Result, 1u);

    info = Request(kReasonSetResult);
    com::SETRESULT_INFO result{};
    result.Result = 7;
    EXPECT_EQ(handle(info, reinterpret_cast<com::LPARAM>(&result)), kSOk);
    EXPECT_EQ(info.Result, 7u);

    info = Request(kReasonGetIcon);
    info.Result = 99;
    EXPECT_EQ(handle(info, 0), kSOk);
    EXPECT_EQ(info.Result, 0u);

    info = Request(kReasonDestroy);
    EXPECT_EQ(handle(info, 0), kSOk);
    EXPECT_EQ(info.Result, 1u);

    // Another reason changes nothing; so do the small requests with no record.
    info = Request(9);
    info.Result = 42;
    EXPECT_EQ(handle(info, 0), kSOk);
    EXPECT_EQ(info.Result, 42u);
    info = Request(kReasonGetInfoHeader);
    EXPECT_EQ(handle(info, 0), kSOk);
    info = Request(kReasonSetResult);
    info.Result = 5;
    EXPECT_EQ(handle(info, 0), kSOk);
    EXPECT_EQ(info.Result, 5u);
  }
  EXPECT_TRUE(recorded_.empty());
  EXPECT_EQ(com::GetThreadLastError(), kSentinelError);
}

TEST_F(SheetTest, TheDocumentSheetAddsItsPagesAndKeepsTheSheetInItsContext) {
  com::OEMUIPSPARAM ps{};
  com::PROPSHEETUI_INFO info = Request(kReasonInit);
  info.lParamInit = reinterpret_cast<com::LPARAM>(&ps);
  ASSERT_EQ(HandleDocumentSheet(&info, 0, document_, services()), kSOk);

  // The pages this build has, in table order; Version is the last.
  std::vector<std::u16string> built;
  for (const PageEntry& entry : kDocumentPages)
    if (entry.create != nullptr) built.push_back(entry.builtin_title);
  const auto pages = AddedPages();
  ASSERT_EQ(pages.size(), built.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i].sheet, SheetHandle());
    EXPECT_EQ(pages[i].title, built[i]);
    EXPECT_EQ(pages[i].lParam2, 0);
#ifndef _WIN32
    EXPECT_EQ(pages[i].context, reinterpret_cast<com::LPARAM>(&document_));
#endif
  }
  EXPECT_EQ(pages.back().title, u"Version");
#ifndef _WIN32
  EXPECT_EQ(pages.back().dialog_id, 105);
#endif
  const auto last_handle = static_cast<com::LONG_PTR>(kFirstPageHandle + pages.size() - 1);
  EXPECT_EQ(info.Result, static_cast<com::ULONG_PTR>(last_handle));
  EXPECT_EQ(document_.hComPropSheet, SheetHandle());
  EXPECT_EQ(document_.pfnComPropSheet, &Callback);
  EXPECT_EQ(document_.hPage, reinterpret_cast<com::HANDLE>(last_handle));
  EXPECT_EQ(document_.lParamInit, reinterpret_cast<com::LPARAM>(&ps));
  EXPECT_EQ(LivePageCount(), pages.size());

  // A second set-up of the same sheet replaces its pages.
  info = Request(kReasonInit);
  ASSERT_EQ(HandleDocumentSheet(&info, 0, document_, services()), kSOk);
  EXPECT_EQ(LivePageCount(), pages.size());
  EXPECT_EQ(info.Result, static_cast<com::ULONG_PTR>(last_handle + static_cast<com::LONG_PTR>(pages.size())));
  info = Request(kReasonDestroy);
  ASSERT_EQ(HandleDocumentSheet(&info, 0, document_, services()), kSOk);
  EXPECT_EQ(LivePageCount(), 0u);
}

TEST_F(SheetTest, TheDeviceSheetAnswersWithItsRequestAndUsesTheChosenLanguage) {
  UseLanguage(kChineseFile, kChineseTexts);
  com::PROPSHEETUI_INFO info = Request(kReasonInit);
  ASSERT_EQ(HandleDeviceSheet(&info, 0, device_, services()), kSOk);
  EXPECT_EQ(info.Result, reinterpret_cast<com::ULONG_PTR>(&info));
  const auto pages = AddedPages();
  ASSERT_EQ(pages.size(), 4u);  // Utility, Download, Font, Version
  // The file has no Utility, Download or Font title: the built-in ones.
  EXPECT_EQ(pages[0].title, u"Utility");
  EXPECT_EQ(pages[1].title, u"Download");
  EXPECT_EQ(pages[2].title, u"Font");
  EXPECT_EQ(pages[3].title, u"\u7248\u672C");
#ifndef _WIN32
  EXPECT_EQ(pages[0].dialog_id, 114);
  EXPECT_EQ(pages[1].dialog_id, 113);
  EXPECT_EQ(pages[2].dialog_id, 119);
  EXPECT_EQ(pages[0].context, reinterpret_cast<com::LPARAM>(&device_));
  EXPECT_EQ(pages[1].context, reinterpret_cast<com::LPARAM>(&device_));
#endif
  EXPECT_EQ(device_.hComPropSheet, SheetHandle());
  EXPECT_EQ(device_.hPage, reinterpret_cast<com::HANDLE>(kFirstPageHandle + pages.size() - 1));
  // The message texts were loaded with the sheet: translated where the file
  // has them, built-in where it has not.
  EXPECT_EQ(TextOf(MessageTitle::kError), u"\u9519\u8BEF");
  EXPECT_EQ(TextOf(Message::kOperationError1), u"\u547D\u4EE4\u957F\u5EA6\u9519\u8BEF");
  EXPECT_EQ(TextOf(MessageTitle::kWarning), u"Warning");
  EXPECT_EQ(TextOf(Message::kDownloadError3),
            u"The image is too big to be selected.\nthe width must be less than 1024 Byte,and the height must be "
            u"less than 768 Byte!");
}

TEST_F(SheetTest, TheDeviceSheetRecordsThePrintersPortUnderTheLanguageKey) {
  FakeSpooler spooler;
  PrinterInfo2 usb;
  usb.printer_name = u"VRT-Q40 Receipt";
  usb.port_name = u"USB_VRT-Q40_1";
  spooler.borrowable[0x77] = usb;
  PrinterInfo2 network = usb;
  network.printer_name = u"Kitchen";
  network.port_name = u"KVIP_192.168.0.50";
  spooler.by_name[u"Kitchen"] = network;
  const SheetServices with_spooler{language_.get(), &spooler};

  // The host's own handle to the printer.
  com::OEMCUIPPARAM cuip{};
  cuip.hPrinter = reinterpret_cast<com::HANDLE>(0x77);
  device_.pOemCUIPParam = &cuip;
  com::PROPSHEETUI_INFO info = Request(kReasonInit);
  ASSERT_EQ(HandleDeviceSheet(&info, 0, device_, with_spooler), kSOk);
  EXPECT_EQ(windows_.UserValue(kLanguageKey, u"USB_VRT-Q40_1").value_or(u"<missing>"), u"LANGUAGE_VRTQ40");
  EXPECT_EQ(spooler.opened_by_name, 0);

  // A handle this module cannot use: the printer is opened by its name.
  char16_t kitchen[] = u"Kitchen";
  cuip.hPrinter = reinterpret_cast<com::HANDLE>(0x78);
  cuip.pPrinterName = kitchen;
  EXPECT_EQ(RecordPrinterPort(&cuip, with_spooler), u"KVIP_192.168.0.50");
  EXPECT_EQ(windows_.UserValue(kLanguageKey, u"KVIP_192.168.0.50").value_or(u"<missing>"), u"LANGUAGE_VRTQ40");

  // No printer to read: nothing is recorded, and the sheet still opens.
  char16_t unknown[] = u"Unknown";
  cuip.pPrinterName = unknown;
  EXPECT_EQ(RecordPrinterPort(&cuip, with_spooler), u"");
  EXPECT_EQ(RecordPrinterPort(nullptr, with_spooler), u"");
  recorded_.clear();
  info = Request(kReasonInit);
  ASSERT_EQ(HandleDeviceSheet(&info, 0, device_, with_spooler), kSOk);
  EXPECT_EQ(AddedPages().size(), 4u);  // Utility, Download, Font, Version
}

TEST_F(SheetTest, TabTitlesAreCutToTheirCapacity) {
  UseLanguage(u"LONG.res", u"[VERSION]\r\nRC_VERSIONFORM=ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n");
  const DeviceTitles titles = LoadDeviceTitles(CurrentTexts(language_.get()));
  EXPECT_EQ(titles[3], u"ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(titles[0], u"Utility");
  const DocumentTitles builtin = LoadDocumentTitles(CurrentTexts(nullptr));
  EXPECT_EQ(builtin[0], u"Main");
  EXPECT_EQ(builtin[1], u"Water Mark");
  EXPECT_EQ(builtin[5], u"Version");
}

TEST_F(SheetTest, TheDocumentSheetNamesTheDensityOptionInTheCurrentLanguage) {
  UseLanguage(kChineseFile, kChineseTexts);
  char16_t item_name[] = u"Density";
  char16_t option_name[] = u"Density 1";
  com::OPTPARAM option{};
  option.pData = option_name;
  com::OPTTYPE type{};
  type.Count = 1;
  type.pOptParam = &option;
  com::OPTITEM item{};
  item.Level = 2;
  item.pName = item_name;
  item.pOptType = &type;
  com::OEMCUIPPARAM cuip{};
  cuip.pDrvOptItems = &item;
  cuip.cDrvOptItems = 1;
  com::testing::FakeDriver driver;
  document_.pOemCUIPParam = &cuip;
  document_.pDriver = &driver;

  com::PROPSHEETUI_INFO info = Request(kReasonInit);
  ASSERT_EQ(HandleDocumentSheet(&info, 0, document_, services()), kSOk);
  EXPECT_EQ(std::u16string(item.pName), u"\u6253\u5370\u6D53\u5EA6");
  EXPECT_EQ(std::u16string(option.pData), u"Density0");
  EXPECT_EQ(driver.updates.size(), 1u);
}

}  // namespace
}  // namespace kit::plugin::sheets::testing
