#include "usbinstall/command_line.h"

#include <gtest/gtest.h>

#include <climits>

#include "usbinstall/action_table.h"

namespace kit::usbinstall {
namespace {

TEST(CommandLineTest, ActionCodeIsTheLeadingNumberOfTheFirstNonSwitchArgument) {
  EXPECT_EQ(ParseCommandLine({"/q", "-x", "22"}).action, 22);
  EXPECT_EQ(ParseCommandLine({"/q", "-x", "22"}).action_text, "22");
  EXPECT_EQ(ParseCommandLine({"44abc"}).action, 44);
  EXPECT_EQ(ParseCommandLine({"abc"}).action, 0);
  EXPECT_EQ(ParseCommandLine({}).action, 0);
  EXPECT_EQ(ParseCommandLine({""}).action, 0);
}

TEST(CommandLineTest, DeviceCountFollowsTheFirstDashAndFallsBackToOne) {
  EXPECT_EQ(ParseCommandLine({"8-3"}).device_count, 3);
  EXPECT_EQ(ParseCommandLine({"8-3"}).action, 8);
  EXPECT_EQ(ParseCommandLine({"8"}).device_count, 1);
  EXPECT_EQ(ParseCommandLine({"8-255"}).device_count, 255);
  EXPECT_EQ(ParseCommandLine({"8-256"}).device_count, 1);
  EXPECT_EQ(ParseCommandLine({"8-300"}).device_count, 1);
  EXPECT_EQ(ParseCommandLine({"8-0"}).device_count, 1);
  EXPECT_EQ(ParseCommandLine({"8--5"}).device_count, 1);
  EXPECT_EQ(ParseCommandLine({"8-x"}).device_count, 1);
  // Only the first dash counts: "8-2-7" is two devices.
  EXPECT_EQ(ParseCommandLine({"8-2-7"}).device_count, 2);
}

TEST(CommandLineTest, HugeNumbersSaturateInsteadOfOverflowing) {
  const auto line = ParseCommandLine({"8-99999999999"});
  EXPECT_EQ(line.action, 8);
  EXPECT_EQ(line.device_count, 1);
  EXPECT_EQ(ParseCommandLine({"99999999999999999999"}).action, INT_MAX);
  EXPECT_EQ(LeadingNumber("-99999999999999999999"), INT_MIN);
  EXPECT_EQ(LeadingNumber("  +17x"), 17);
  // A huge action code is no listed action: it installs the USB printer driver.
  EXPECT_EQ(KindOfAction(ParseCommandLine({"99999999999999999999"}).action), ActionKind::kUsbPrinter);
}

TEST(CommandLineTest, PackageArgumentsNeedTwoArgumentsAndMissingOnesAreEmpty) {
  const auto full = ParseCommandLine({"3", "C:\\kit\\a b\\model.inf", "KVRO_TP80", "1", "Receipt \"A\""});
  EXPECT_EQ(full.action, 3);
  EXPECT_EQ(full.inf_path, "C:\\kit\\a b\\model.inf");
  EXPECT_EQ(full.device_id, "KVRO_TP80");
  EXPECT_EQ(full.display_flag, "1");
  EXPECT_EQ(full.printer_name, "Receipt \"A\"");

  const auto two = ParseCommandLine({"3", "x.inf"});
  EXPECT_EQ(two.inf_path, "x.inf");
  EXPECT_EQ(two.device_id, "");
  EXPECT_EQ(two.display_flag, "");

  const auto one = ParseCommandLine({"3"});
  EXPECT_EQ(one.inf_path, "");
}

TEST(CommandLineTest, OverLongArgumentsAreKeptWhole) {
  const std::string long_text(100000, '7');
  const auto line = ParseCommandLine({long_text, std::string(5000, 'x'), "id"});
  EXPECT_EQ(line.action, INT_MAX);
  EXPECT_EQ(line.inf_path.size(), 5000u);
  EXPECT_EQ(line.device_id, "id");
}

TEST(ActionTableTest, UnlistedCodesInstallTheUsbPrinterDriver) {
  for (const int code : {0, 2, 5, 9, 12, -1, 23, 100}) {
    EXPECT_EQ(KindOfAction(code), ActionKind::kUsbPrinter) << code;
  }
  EXPECT_EQ(InfFileOf(KindOfAction(1)), "USBVCOM.INF");
  EXPECT_EQ(InfFileOf(KindOfAction(4)), "kvsusb.inf");
  EXPECT_EQ(InfFileOf(KindOfAction(8)), "XKVVCOM.INF");
  EXPECT_EQ(InfFileOf(KindOfAction(2)), "KVPUSB.INF");
  for (const int code : {11, 22, 44, 88}) EXPECT_TRUE(IsRemoval(KindOfAction(code))) << code;
}

}  // namespace
}  // namespace kit::usbinstall
