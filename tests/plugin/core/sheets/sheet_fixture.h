// A sheet host for the handler tests: a fake common property-sheet callback
// that records what the plug-in asks of it, the plug-in's language set up on
// an in-memory Windows, and the headless sheet the added pages are shown in.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "plugin/core/com/last_error.h"
#include "plugin/core/sheets/hosted_page_record.h"
#include "plugin/core/sheets/sheet_handlers.h"
#include "plugin/core/sheets/sheet_protocol.h"
#include "tests/plugin/core/language/fake_windows.h"
#include "ui/headless/sheet.h"

namespace kit::plugin::sheets::testing {

inline constexpr std::uint32_t kSentinelError = 0xDEADBEEF;
inline constexpr char16_t kLanguageKey[] = u"SOFTWARE\\VELDRAN\\LANGUAGE\\";

struct CallbackCall {
  com::HANDLE sheet;
  com::UINT function;
  com::LPARAM lParam1;
  com::LPARAM lParam2;
  // For an added page, what its record said.
  std::u16string title;
  int dialog_id = 0;
  ui::Page* page = nullptr;
  com::LPARAM context = 0;
};

// The text of an INI file as UTF-16LE with a byte-order mark, as the kit
// ships its language files.
std::string Utf16File(std::u16string_view text);

class SheetTest : public ::testing::Test {
 protected:
  SheetTest();
  ~SheetTest() override;

  // The current language's text file (per-user copy) gets `ini_text`.
  void UseLanguage(std::u16string_view file_name, std::u16string_view ini_text);

  com::PROPSHEETUI_INFO Request(com::WORD reason);
  SheetServices services() { return {language_.get(), nullptr}; }

  // Shows every page added so far in a headless sheet, in order.
  ui::headless::Sheet& ShowAddedPages();

  std::vector<CallbackCall> AddedPages() const;

  plugin::testing::FakeWindows windows_;
  std::unique_ptr<LanguageFiles> language_;
  com::DocumentSheetContext document_;
  com::DeviceSheetContext device_;
  ui::headless::Environment env_;
  std::unique_ptr<ui::headless::Sheet> sheet_;

  // What the fake callback answers to each added page: 0x5001, 0x5002, ...
  static constexpr com::LONG_PTR kFirstPageHandle = 0x5001;
  static std::vector<CallbackCall>* calls_;
  static com::LONG_PTR KIT_STDCALL Callback(com::HANDLE sheet, com::UINT function, com::LPARAM lParam1,
                                            com::LPARAM lParam2);
  std::vector<CallbackCall> recorded_;
  // A handle standing for the host's sheet.
  int sheet_object_ = 0;
  com::HANDLE SheetHandle() { return &sheet_object_; }
};

}  // namespace kit::plugin::sheets::testing
