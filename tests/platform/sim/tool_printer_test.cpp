// Printers added with the machine tool are the spooler's own: the product
// opens them, and the spooler's refusals come back as the tool's exit code.
#include "platform/sim/stand_in_printer.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

class ToolPrinterTest : public SimTest {};

TEST_F(ToolPrinterTest, AddsThePrinterAndItsDriverOnceAndRefusesWhatTheSpoolerRefuses) {
  Create();
  ASSERT_EQ(Tool("add-printer DIR 'VRT-Q40 Receipt'"), 0);
  PrinterHandle printer;
  ASSERT_TRUE(p().spooler.OpenPrinter(u"VRT-Q40 Receipt", {}, &printer)) << p().system.GetLastError();
  PrinterInfo2 info;
  std::uint32_t size = 0;
  printer->GetPrinter(2, &info, 0, &size);
  ASSERT_TRUE(printer->GetPrinter(2, &info, size, &size)) << p().system.GetLastError();
  EXPECT_EQ(info.port_name, u"LPT1:");
  EXPECT_EQ(info.driver_name, kStandInDriverName);

  // A second printer on another port keeps the driver already there.
  ASSERT_EQ(Tool("add-printer DIR P2 --port COM2:"), 0);
  std::vector<DriverInfo3> drivers;
  std::uint32_t needed = 0, returned = 0;
  p().spooler.EnumPrinterDrivers(u"", u"all", &drivers, 0, &needed, &returned);
  ASSERT_TRUE(p().spooler.EnumPrinterDrivers(u"", u"all", &drivers, needed, &needed, &returned));
  ASSERT_EQ(returned, 1u);
  // In the machine's own environment, whatever the tool's bitness.
  EXPECT_EQ(drivers[0].environment, kEnvironmentX64);

  for (const char* refused : {"add-printer DIR P2",                    // 1802: the printer exists
                              "add-printer DIR P3 --port USB009",      // 1796: no such port
                              "add-printer DIR 'A,B'"}) {              // 1801: not a printer name
    EXPECT_EQ(Tool(refused), 3) << refused;
  }
  EXPECT_EQ(Tool("add-printer DIR"), 1);
}

}  // namespace
}  // namespace kit::sim
