#include "tests/plugin/core/sheets/sheet_fixture.h"

#ifdef _WIN32
#include <windows.h>
#include <prsht.h>
#endif

namespace kit::plugin::sheets::testing {

std::vector<CallbackCall>* SheetTest::calls_ = nullptr;

std::string Utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

SheetTest::SheetTest() {
  calls_ = &recorded_;
  language_ = std::make_unique<LanguageFiles>(windows_, windows_, windows_);
  language_->SetUp();
  com::SetThreadLastError(kSentinelError);
}

SheetTest::~SheetTest() {
  // The pages go before the contexts they point at.
  sheet_.reset();
  com::PROPSHEETUI_INFO destroy = Request(kReasonDestroy);
  HandleDocumentSheet(&destroy, 0, document_, services());
  HandleDeviceSheet(&destroy, 0, device_, services());
  calls_ = nullptr;
}

void SheetTest::UseLanguage(std::u16string_view file_name, std::u16string_view ini_text) {
  windows_.PutUserValue(kLanguageKey, u"LANGUAGE_VRTQ40", file_name);
  windows_.PutFile(language_->state().user_folder + std::u16string(file_name), Utf16File(ini_text));
}

com::PROPSHEETUI_INFO SheetTest::Request(com::WORD reason) {
  com::PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.Version = kPropSheetUiInfoVersion;
  info.Reason = reason;
  info.hComPropSheet = SheetHandle();
  info.pfnComPropSheet = Callback;
  return info;
}

com::LONG_PTR KIT_STDCALL SheetTest::Callback(com::HANDLE sheet, com::UINT function, com::LPARAM lParam1,
                                              com::LPARAM lParam2) {
  CallbackCall call;
  call.sheet = sheet;
  call.function = function;
  call.lParam1 = lParam1;
  call.lParam2 = lParam2;
  com::LONG_PTR answer = 1;
  if (function == kCpsFuncAddPropSheetPageW) {
#ifdef _WIN32
    // The system's page record, of the version with an activation context,
    // built from the page's in-memory template.
    const auto* record = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
    EXPECT_EQ(record->dwSize, sizeof(void*) == 4 ? 52u : 96u);
    EXPECT_EQ(record->dwFlags & (PSP_USETITLE | PSP_DLGINDIRECT), DWORD{PSP_USETITLE | PSP_DLGINDIRECT});
    EXPECT_NE(record->pfnDlgProc, nullptr);
    call.title = std::u16string(record->pszTitle, record->pszTitle + wcslen(record->pszTitle));
    const auto* dialog = reinterpret_cast<const std::uint8_t*>(record->pResource);
    // DLGTEMPLATEEX: dlgVer 1, signature 0xFFFF; the dialog id is not part of
    // an in-memory template, so the page is known by its record only.
    EXPECT_EQ(dialog[0] | dialog[1] << 8, 1);
    EXPECT_EQ(dialog[2] | dialog[3] << 8, 0xFFFF);
#else
    const auto* record = reinterpret_cast<const HostedPageRecord*>(lParam1);
    EXPECT_EQ(record->dwSize, sizeof(HostedPageRecord));
    EXPECT_EQ(record->dwFlags & kPspUseTitle, kPspUseTitle);
    call.title = record->pszTitle;
    call.dialog_id = record->dialog_id;
    call.page = record->page;
    call.context = record->lParam;
#endif
    std::size_t added = 0;
    for (const auto& c : *calls_) added += c.function == kCpsFuncAddPropSheetPageW;
    answer = kFirstPageHandle + static_cast<com::LONG_PTR>(added);
  }
  calls_->push_back(call);
  return answer;
}

std::vector<CallbackCall> SheetTest::AddedPages() const {
  std::vector<CallbackCall> pages;
  for (const auto& c : recorded_)
    if (c.function == kCpsFuncAddPropSheetPageW) pages.push_back(c);
  return pages;
}

ui::headless::Sheet& SheetTest::ShowAddedPages() {
  sheet_ = std::make_unique<ui::headless::Sheet>(u"VRT-Q40 Receipt", env_);
  for (const auto& page : AddedPages()) sheet_->AddPage(*page.page, page.title);
  sheet_->Open();
  return *sheet_;
}

}  // namespace kit::plugin::sheets::testing
