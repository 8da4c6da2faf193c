// What the machine offers the plug-in's tests: a printer without the setup
// wizard, and the raw-job channel's failures (the n-th write, a short write,
// the end calls).
#include "platform/sim/stand_in_printer.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

class PluginSupportTest : public SimTest {
 protected:
  // Starts a job of three pieces on `printer`; returns what each write said
  // (0 failed, else the bytes taken), then ends page and document.
  std::vector<std::uint32_t> ThreeWrites(Printer& printer, bool* end_page, bool* end_doc) {
    EXPECT_NE(printer.StartDocPrinter({u"SELFTEST", u"", u"RAW"}), 0u);
    EXPECT_TRUE(printer.StartPagePrinter());
    const std::uint8_t bytes[7] = {1, 2, 3, 4, 5, 6, 7};
    std::vector<std::uint32_t> taken;
    for (int i = 0; i < 3; ++i) {
      std::uint32_t written = 0;
      taken.push_back(printer.WritePrinter(bytes, sizeof bytes, &written) ? written : 0);
    }
    *end_page = printer.EndPagePrinter();
    *end_doc = printer.EndDocPrinter();
    return taken;
  }
};

TEST_F(PluginSupportTest, AddPrinterPutsAPrinterWithAStandInDriverOnAnyMachine) {
  Create("win7-x64-en", 32, /*administrator=*/false);
  ASSERT_EQ(Tool("add-printer DIR 'VRT-Q40 Receipt' --port LPT1:"), 0);
  // A second printer shares the driver; the names and ports are checked.
  EXPECT_EQ(Tool("add-printer DIR Kitchen --port COM2:"), 0);
  EXPECT_EQ(Tool("add-printer DIR Kitchen --port COM2:"), 3);
  EXPECT_EQ(Tool("add-printer DIR Other --port NOPORT:"), 3);

  auto machine = Reopen();
  Platform& p = machine->platform();
  EXPECT_FALSE(p.system.IsAdministrator());  // the machine keeps its user
  PrinterHandle printer;
  ASSERT_TRUE(p.spooler.OpenPrinter(u"VRT-Q40 Receipt", {}, &printer));
  PrinterInfo2 info;
  std::uint32_t needed = 0;
  ASSERT_TRUE(printer->GetPrinter(2, &info, 1 << 16, &needed));
  EXPECT_EQ(info.port_name, u"LPT1:");
  EXPECT_EQ(info.driver_name, kStandInDriverName);
  EXPECT_EQ(info.print_processor, u"winprint");
  bool end_page = false, end_doc = false;
  EXPECT_EQ(ThreeWrites(*printer, &end_page, &end_doc), (std::vector<std::uint32_t>{7, 7, 7}));
  EXPECT_TRUE(end_page && end_doc);
}

TEST_F(PluginSupportTest, ChannelFaultsHitTheNthWriteAShortWriteAndTheEndCalls) {
  Create();
  ASSERT_EQ(Tool("add-printer DIR P1 --port LPT1:"), 0);
  PrinterHandle printer;
  ASSERT_TRUE(p().spooler.OpenPrinter(u"P1", {}, &printer));
  bool end_page = false, end_doc = false;

  ASSERT_EQ(Tool("fault DIR call WritePrinter 112 --after 1 --times 1"), 0);
  EXPECT_EQ(ThreeWrites(*printer, &end_page, &end_doc), (std::vector<std::uint32_t>{7, 0, 7}));
  EXPECT_TRUE(end_page && end_doc);

  ASSERT_EQ(Tool("fault DIR short-write --after 2 --taken 3 --times 1"), 0);
  EXPECT_EQ(ThreeWrites(*printer, &end_page, &end_doc), (std::vector<std::uint32_t>{7, 7, 3}));
  // Without --taken: one byte fewer than asked; only for the named printer.
  ASSERT_EQ(Tool("fault DIR short-write --subject P2 --times 1"), 0);
  ASSERT_EQ(Tool("fault DIR short-write --subject P1 --times 1"), 0);
  EXPECT_EQ(ThreeWrites(*printer, &end_page, &end_doc), (std::vector<std::uint32_t>{6, 7, 7}));

  ASSERT_EQ(Tool("fault DIR call EndPagePrinter 6 --times 1"), 0);
  ASSERT_EQ(Tool("fault DIR call EndDocPrinter 6 --times 1"), 0);
  EXPECT_EQ(ThreeWrites(*printer, &end_page, &end_doc), (std::vector<std::uint32_t>{7, 7, 7}));
  EXPECT_FALSE(end_page);
  EXPECT_FALSE(end_doc);
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorInvalidHandle);

  EXPECT_EQ(Tool("fault DIR short-write --taken x"), 1);
  EXPECT_EQ(Tool("fault DIR call WritePrinter 5 --after -1"), 1);
  ASSERT_EQ(Tool("fault DIR clear"), 0);
  EXPECT_EQ(ThreeWrites(*printer, &end_page, &end_doc), (std::vector<std::uint32_t>{7, 7, 7}));
  EXPECT_TRUE(end_page && end_doc);
}

}  // namespace
}  // namespace kit::sim
