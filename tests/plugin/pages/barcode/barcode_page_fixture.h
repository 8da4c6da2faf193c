// A document sheet's context over an in-memory private settings record, and a
// job sender that keeps what the barcode pages send.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "plugin/core/com/host_types.h"
#include "plugin/core/devmode/private_devmode.h"
#include "plugin/core/sheets/page_context.h"
#include "plugin/pages/barcode/test_print.h"
#include "ui/headless/dialog.h"

namespace kit::plugin::barcode::testing {

class BarcodePageTest : public ::testing::Test {
 protected:
  BarcodePageTest() {
    WriteDefaults(bytes_, u"C:\\Windows\\system32");
    param_.pOEMDM = bytes_.data();
    document_.lParamInit = reinterpret_cast<com::LPARAM>(&param_);
  }
  sheets::PageContext Context() { return sheets::PageContext::Document(document_, nullptr); }
  TestPrint Recorder(std::uint32_t acp = 1252) {
    return {[this](const print::rawjob::RawJob& job) {
              jobs_.push_back(job);
              return true;
            },
            [acp] { return acp; }};
  }
  PrivateDevMode Record() const { return Decode(bytes_); }
  void Store(const PrivateDevMode& record) { Encode(record, bytes_); }
  static int ChangeCount(const ui::headless::Dialog& d) {
    int count = 0;
    for (const auto& m : d.ParentMessages()) count += m.message == ui::kSheetChangedMessage ? 1 : 0;
    return count;
  }
  static std::vector<std::uint8_t> Joined(const print::rawjob::RawJob& job) {
    std::vector<std::uint8_t> all;
    for (const auto& piece : job.pieces) all.insert(all.end(), piece.begin(), piece.end());
    return all;
  }

  PrivateDevModeBytes bytes_{};
  com::OEMUIPSPARAM param_{};
  com::DocumentSheetContext document_;
  ui::headless::Environment env_;
  std::vector<print::rawjob::RawJob> jobs_;
};

}  // namespace kit::plugin::barcode::testing
