// Page records for a Linux host: the page itself rides in the record.
#include <utility>

#include "plugin/core/com/module_state.h"
#include "plugin/core/sheets/hosted_page_record.h"
#include "plugin/core/sheets/page_record.h"

namespace kit::plugin::sheets {
namespace {

class HostedRecord final : public PageRecord {
 public:
  HostedRecord(ui::Page& page, const PageEntry& entry, std::u16string title, com::LPARAM context)
      : title_(std::move(title)) {
    record_.hInstance = com::ModuleHandle();
    record_.dialog_id = entry.dialog_id;
    record_.pszTitle = title_.c_str();
    record_.page = &page;
    record_.lParam = context;
  }
  com::LPARAM Address() override { return reinterpret_cast<com::LPARAM>(&record_); }

 private:
  std::u16string title_;
  HostedPageRecord record_;
};

}  // namespace

std::unique_ptr<PageRecord> MakePageRecord(ui::Page& page, const PageEntry& entry, std::u16string title,
                                           com::LPARAM context) {
  return std::make_unique<HostedRecord>(page, entry, std::move(title), context);
}

}  // namespace kit::plugin::sheets
