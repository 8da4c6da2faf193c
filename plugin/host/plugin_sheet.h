// One sheet of the plug-in asked for the way the common property-sheet UI
// asks for it: CommonUIProp with the driver's option items, then the sheet
// requests (header, Init) with the sheet callback that collects the pages
// the plug-in adds, and Destroy when the sheet ends. Shared by the Linux
// hosts of the plug-in's sheets and the tests that drive them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plugin/core/com/interfaces.h"
#include "ui/page.h"

namespace kit::plugin::host {

class PluginSheet {
 public:
  struct Added {
    ui::Page* page;
    std::u16string title;
  };
  struct Options {
    bool document = true;       // the document sheet, else the device sheet
    com::HANDLE printer = nullptr;
    com::OPTITEM* driver_items = nullptr;
    com::DWORD driver_item_count = 0;
    // Told of what the sheet callback is asked beside adding a page, and of a
    // page record it cannot show.
    std::function<void(const std::string&)> note;
  };

  // `printer_name` and `record` are the plug-in's for as long as the sheet
  // lives.
  PluginSheet(com::IPrintOemUI* ui, std::u16string& printer_name, std::vector<std::uint8_t>& record, Options options);
  ~PluginSheet() { Close(); }
  PluginSheet(const PluginSheet&) = delete;
  PluginSheet& operator=(const PluginSheet&) = delete;

  // CommonUIProp, the header and Init requests. Returns the name of the first
  // call that did not answer S_OK, or nullptr.
  const char* Open();
  // The Destroy request, once, when the sheet was opened.
  void Close();

  const std::vector<Added>& pages() const { return pages_; }
  std::u16string header_title() const;
  int results() const { return results_; }  // results the pages reported

 private:
  static com::LONG_PTR KIT_STDCALL Callback(com::HANDLE sheet, com::UINT function, com::LPARAM lParam1,
                                           com::LPARAM lParam2);
  com::HRESULT Request(com::WORD reason, com::LPARAM lParam);

  com::IPrintOemUI* ui_;
  Options options_;
  com::OEMCUIPPARAM cuip_{};
  com::OEMUIPSPARAM ps_{};
  com::PROPSHEETUI_INFO_HEADER header_{};
  std::vector<Added> pages_;
  int results_ = 0;
  bool opened_ = false;
};

}  // namespace kit::plugin::host
