// The Download page on a fresh virtual machine with a printer: logo files
// put on its drive C:, the open-file dialog answered from the test, and the
// raw jobs read back from the machine's queue.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/core.h"
#include "platform/sim/scratch_machine.h"
#include "platform/sim/stand_in_printer.h"
#include "plugin/pages/download/download_page.h"
#include "ui/headless/dialog.h"

namespace kit::plugin::download::testing {

inline constexpr char16_t kPrinterName[] = u"VRT-Q40 Receipt";
inline constexpr char16_t kLogoFolder[] = u"C:\\logos";

class DownloadPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    machine_ = sim::ScratchMachine::Create({}, &error);
    ASSERT_NE(machine_, nullptr) << error;
    ASSERT_TRUE(sim::AddStandInPrinter(machine_->machine(), kPrinterName, u"LPT1:", &error)) << error;
    ASSERT_TRUE(files().CreateDirectory(kLogoFolder));
  }
  void TearDown() override {
    dialog_.reset();
    page_.reset();
  }

  Files& files() { return machine_->platform().files; }
  WString Temp() { return machine_->platform().system.GetTempPath(); }

  // Opens the page; `logos` stands in for the process-wide state.
  ui::headless::Dialog& Open() {
    cuip_.pPrinterName = name_;
    device_.pOemCUIPParam = &cuip_;
    sheets::PagePlatform platform;
    platform.spooler = &machine_->platform().spooler;
    platform.files = &files();
    platform.system = &machine_->platform().system;
    page_ = std::make_unique<DownloadPage>(sheets::PageContext::Device(device_, nullptr, platform), logos_);
    dialog_ = std::make_unique<ui::headless::Dialog>(*page_, env_);
    dialog_->Create();
    return *dialog_;
  }
  ui::headless::Dialog& d() { return *dialog_; }

  WString Put(const WString& name, const std::vector<std::uint8_t>& bytes) {
    const WString path = WString(kLogoFolder) + u"\\" + name;
    EXPECT_TRUE(files().WriteFile(path, Bytes(bytes.begin(), bytes.end()), WriteMode::kCreateAlways));
    return path;
  }
  // Add with the file dialog answered by `path`.
  void Add(const WString& path) {
    env_.QueueFile(path);
    ASSERT_TRUE(d().Click(kAddButtonId));
  }
  void SetFault(const char* list, sim::Json fault) {
    std::string message;
    machine_->machine().store().Update(
        [&](sim::Json& s) {
          s["faults"][list].push_back(fault);
          return true;
        },
        &message);
  }
  void ClearFaults() {
    std::string message;
    machine_->machine().store().Update(
        [](sim::Json& s) {
          s.erase("faults");
          return true;
        },
        &message);
  }
  sim::Json Jobs() {
    std::string message;
    sim::Json state;
    machine_->machine().store().Read(&state, &message);
    return state["spooler"]["jobs"];
  }
  std::vector<std::uint8_t> JobBytes(const sim::Json& job) {
    std::ifstream in(machine_->folder() / job.value("file", std::string()), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The message texts shown so far.
  std::vector<std::u16string> Messages() const {
    std::vector<std::u16string> texts;
    for (const auto& box : env_.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }
  // Names of the converted logos in the temporary folder.
  std::vector<WString> ConvertedFiles() {
    std::vector<WString> names;
    FindData data;
    auto find = files().FindFirstFile(Temp() + u"*Temp.bmp", &data);
    if (!find) return names;
    do names.push_back(data.file_name);
    while (find->FindNextFile(&data));
    return names;
  }

  std::unique_ptr<sim::ScratchMachine> machine_;
  com::OEMCUIPPARAM cuip_{};
  com::DeviceSheetContext device_;
  char16_t name_[32] = u"VRT-Q40 Receipt";
  LogoState logos_;
  ui::headless::Environment env_;
  std::unique_ptr<DownloadPage> page_;
  std::unique_ptr<ui::headless::Dialog> dialog_;
};

}  // namespace kit::plugin::download::testing
