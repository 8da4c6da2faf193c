// The raw job channel on a virtual machine with a printer: the pieces as the
// printer's queue records them, each failing spooler call ending the job as
// it should, and the printer reached through the sheet's handle or, when the
// plug-in's view of the spooler does not know that handle, by its name.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/sim/core.h"
#include "platform/sim/scratch_machine.h"
#include "platform/sim/stand_in_printer.h"
#include "plugin/pages/rawjob/raw_job_channel.h"
#include "print/commands/printer_commands.h"

namespace kit::plugin::rawjob {
namespace {

using print::commands::SelfTestJob;
using sim::Json;

constexpr char16_t kPrinter[] = u"VRT-Q40 Receipt";

class RawJobChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    machine_ = sim::ScratchMachine::Create({}, &error);
    ASSERT_NE(machine_, nullptr) << error;
    ASSERT_TRUE(sim::AddStandInPrinter(machine_->machine(), kPrinter, u"LPT1:", &error)) << error;
    ASSERT_TRUE(machine_->platform().spooler.OpenPrinter(kPrinter, {}, &host_printer_));
  }
  void TearDown() override { host_printer_.reset(); }

  void AddFault(Json fault, const char* list = "calls") {
    std::string message;
    machine_->machine().store().Update(
        [&](Json& s) {
          s["faults"][list].push_back(fault);
          return true;
        },
        &message);
  }
  Json Jobs() {
    std::string message;
    Json state;
    machine_->machine().store().Read(&state, &message);
    return state["spooler"]["jobs"];
  }
  std::vector<std::uint8_t> JobBytes(const Json& job) {
    std::ifstream in(machine_->folder() / job.value("file", std::string()), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // A sheet context whose OEMCUIPPARAM carries `handle` and the printer name.
  sheets::PageContext Context(std::uintptr_t handle, bool with_name = true) {
    cuip_.hPrinter = reinterpret_cast<com::HANDLE>(handle);
    cuip_.pPrinterName = with_name ? name_ : nullptr;
    device_.pOemCUIPParam = &cuip_;
    sheets::PagePlatform platform;
    platform.spooler = &machine_->platform().spooler;
    return sheets::PageContext::Device(device_, nullptr, platform);
  }

  std::unique_ptr<sim::ScratchMachine> machine_;
  PrinterHandle host_printer_;
  com::OEMCUIPPARAM cuip_{};
  com::DeviceSheetContext device_;
  char16_t name_[32] = u"VRT-Q40 Receipt";
};

TEST_F(RawJobChannelTest, TheSelfTestIsOneJobOfFifteenBytesInThreePieces) {
  const JobResult result = SendRawJob(Context(host_printer_->NativeHandle()), SelfTestJob());
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.written, 15u);
  const Json jobs = Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0]["document"], "SELFTEST");
  EXPECT_EQ(jobs[0]["datatype"], "RAW");
  EXPECT_EQ(jobs[0]["pages"], 1);
  EXPECT_EQ(jobs[0]["pieces"], Json::array({4, 7, 4}));
  EXPECT_EQ(jobs[0]["status"], "printed");
  EXPECT_EQ(JobBytes(jobs[0]), (std::vector<std::uint8_t>{0x1B, 0x63, 0x3B, 0x01, 0x1D, 0x28, 0x41, 0x02, 0x00, 0x00,
                                                         0x02, 0x1B, 0x63, 0x3B, 0x00}));
  // The host's handle is borrowed, never closed: it still serves.
  PrinterInfo2 info;
  std::uint32_t needed = 0;
  EXPECT_TRUE(host_printer_->GetPrinter(2, &info, 1 << 16, &needed));
}

// One rule for every failing call: the job ends (no job stays open), the
// pieces after a failed or short write are not sent, and the job reports
// failure.
TEST_F(RawJobChannelTest, AFailingCallEndsTheJobAsTheChannelPromises) {
  struct Case {
    const char* what;
    Json fault;
    const char* list;
    bool job_exists;
    Json pieces;
    std::uint64_t written;
    const char* status;
  };
  const Case cases[] = {
      {"start document", {{"api", "StartDocPrinter"}, {"error", 5}, {"remaining", 1}}, "calls", false, {}, 0, ""},
      {"start page", {{"api", "StartPagePrinter"}, {"error", 5}, {"remaining", 1}}, "calls", true,
       Json::array(), 0, "printed"},
      {"second write", {{"api", "WritePrinter"}, {"error", 112}, {"remaining", 1}, {"skip", 1}}, "calls", true,
       Json::array({4}), 4, "printed"},
      {"short second write", {{"taken", 6}, {"remaining", 1}, {"skip", 1}}, "short_writes", true,
       Json::array({4, 6}), 10, "printed"},
      {"end page", {{"api", "EndPagePrinter"}, {"error", 6}, {"remaining", 1}}, "calls", true,
       Json::array({4, 7, 4}), 15, "printed"},
      {"end document", {{"api", "EndDocPrinter"}, {"error", 6}, {"remaining", 1}}, "calls", true,
       Json::array({4, 7, 4}), 15, "spooling"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t before = Jobs().size();
    AddFault(c.fault, c.list);
    const JobResult result = SendRawJob(Context(host_printer_->NativeHandle()), SelfTestJob());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.written, c.written);
    const Json jobs = Jobs();
    ASSERT_EQ(jobs.size(), before + (c.job_exists ? 1 : 0));
    if (!c.job_exists) continue;
    EXPECT_EQ(jobs.back()["pieces"], c.pieces);
    EXPECT_EQ(jobs.back()["status"], c.status);
  }
  // The faults are used up: the next self-test goes through whole.
  EXPECT_TRUE(SendRawJob(Context(host_printer_->NativeHandle()), SelfTestJob()).ok);
}

TEST_F(RawJobChannelTest, AHostHandleThePlugInCannotUseStillGivesOneJobByThePrintersName) {
  // The host's handle belongs to another view of the spooler.
  constexpr std::uintptr_t kForeignHandle = 0x7FFF0;
  const JobResult result = SendRawJob(Context(kForeignHandle), SelfTestJob());
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.written, 15u);
  ASSERT_EQ(Jobs().size(), 1u);
  EXPECT_EQ(Jobs()[0]["printer"], "VRT-Q40 Receipt");

  // No usable handle and no name: no job.
  EXPECT_FALSE(SendRawJob(Context(kForeignHandle, /*with_name=*/false), SelfTestJob()).ok);
  EXPECT_FALSE(SendRawJob(Context(0, /*with_name=*/false), SelfTestJob()).ok);
  // No spooler at all.
  cuip_.pPrinterName = name_;
  EXPECT_FALSE(SendRawJob(sheets::PageContext::Device(device_, nullptr), SelfTestJob()).ok);
  EXPECT_EQ(Jobs().size(), 1u);
}

TEST_F(RawJobChannelTest, PiecesAreWrittenUnchangedAndUnmergedInTheirOrder) {
  RawJob job{print::rawjob::kBarcodeJobName, {{0x1D, 0x6B, 0x48}, {}, {'1', '2', '3'}, {0x00}, {0x0A}}};
  const JobResult result = SendRawJob(*host_printer_, job);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.written, 8u);
  const Json jobs = Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0]["document"], "Barcode");
  EXPECT_EQ(jobs[0]["pieces"], Json::array({3, 0, 3, 1, 1}));
  EXPECT_EQ(JobBytes(jobs[0]), (std::vector<std::uint8_t>{0x1D, 0x6B, 0x48, '1', '2', '3', 0x00, 0x0A}));
}

}  // namespace
}  // namespace kit::plugin::rawjob
