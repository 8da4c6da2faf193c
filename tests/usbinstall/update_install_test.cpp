#include "usbinstall/update_install.h"

#include <gtest/gtest.h>

#include "tests/usbinstall/fake_machine.h"
#include "usbinstall/run_action.h"

namespace kit::usbinstall {
namespace {

using testing::FakeMachine;

constexpr char16_t kPrinterInf[] = u"C:\\kit\\USBDrv\\USBDriver\\KVPUSB.INF";

std::vector<WString> TriedIds(const FakeMachine& m) {
  std::vector<WString> ids;
  for (const auto& u : m.devices.updates) ids.push_back(u.hardware_id);
  return ids;
}

TEST(UpdateInstallTest, WithoutADeviceEveryIdIsTriedInOrderThenThePackageIsPreinstalled) {
  FakeMachine m;
  RunUpdateOrPreinstall(m.context, ActionKind::kUsbPrinter);
  const std::vector<WString> expected = {u"USB\\VID_7A5C&PID_7A5C", u"USB\\VID_04ce&PID_04ce",
                                         u"USB\\VID_7a5c&PID_1000", u"USB\\VID_7a5c&PID_1001",
                                         u"USB\\VID_7a5c&PID_1002", u"USB\\VID_0AA7&PID_030A"};
  EXPECT_EQ(TriedIds(m), expected);
  for (const auto& u : m.devices.updates) {
    EXPECT_EQ(u.inf_path, kPrinterInf);
    EXPECT_EQ(u.flags, kInstallFlagForce);
  }
  ASSERT_EQ(m.devices.copies.size(), 1u);
  EXPECT_EQ(m.devices.copies[0].source, kPrinterInf);
  EXPECT_EQ(m.devices.copies[0].media, u"C:\\kit\\USBDrv\\USBDriver");
  EXPECT_EQ(m.devices.copies[0].media_type, kSpostPath);
  EXPECT_EQ(m.devices.copies[0].style, kSpCopyNoOverwrite);
  EXPECT_EQ(m.view.progress,
            "start install the device drivers.\r\nUSB device no exist, start to preinstall.\r\n");
  EXPECT_EQ(m.devices.reenumerations, 1);
}

TEST(UpdateInstallTest, AConnectedPrinterStopsTheListAndIsNotPreinstalledBeforeWindows8) {
  FakeMachine m;
  const auto printer = m.Plug({u"USB\\VID_7A5C&PID_1001&REV_0100", u"USB\\VID_7A5C&PID_1001"});
  RunUpdateOrPreinstall(m.context, ActionKind::kUsbPrinter);
  // Ids compare without regard to case: the fourth id matches.
  EXPECT_EQ(m.devices.updates.size(), 4u);
  EXPECT_EQ(m.devices.tree[printer].driver_inf, kPrinterInf);
  EXPECT_TRUE(m.devices.copies.empty());
  // The default action appends nothing for an update.
  EXPECT_EQ(m.view.progress, "start install the device drivers.\r\n");
  EXPECT_EQ(m.devices.reenumerations, 1);
}

TEST(UpdateInstallTest, OnWindows8TheDefaultActionAlwaysPreinstalls) {
  FakeMachine m;
  m.SetVersion(6, 2);
  m.Plug({u"USB\\VID_7A5C&PID_1002"});
  RunUpdateOrPreinstall(m.context, ActionKind::kUsbPrinter);
  EXPECT_EQ(m.devices.updates.size(), 5u);
  ASSERT_EQ(m.devices.copies.size(), 1u);
  EXPECT_EQ(m.view.progress,
            "start install the device drivers.\r\nUSB device no exist, start to preinstall.\r\n");
}

TEST(UpdateInstallTest, ScannerOnWindows8PreinstallsAndStillReportsTheUpdate) {
  FakeMachine m;
  m.SetVersion(6, 2);
  m.Plug({u"USB\\VID_7A5C&PID_2018"});
  RunUpdateOrPreinstall(m.context, ActionKind::kUsbScanner);
  EXPECT_EQ(m.devices.updates.size(), 2u);
  EXPECT_EQ(m.devices.copies.size(), 1u);
  EXPECT_EQ(m.view.progress,
            "start install the device drivers.\r\n"
            "USB device no exist, start to preinstall.\r\n"
            "usb device already exist, start to install drivers.\r\n");
  EXPECT_EQ(m.devices.reenumerations, 0);  // only the printer driver re-enumerates
}

TEST(UpdateInstallTest, VirtualSerialPortIsNeverForcedIntoTheStoreAndCopiesOnce) {
  FakeMachine m;
  m.SetVersion(6, 2);
  m.Plug({u"USB\\VID_0AA7&PID_030A"});
  RunUpdateOrPreinstall(m.context, ActionKind::kUsbVirtualSerial);
  EXPECT_TRUE(m.devices.copies.empty());
  EXPECT_EQ(m.view.progress,
            "start install the device drivers.\r\nusb device already exist, start to install drivers.\r\n");

  // Package already in the store: one attempt only, even on Windows 8.
  FakeMachine again;
  again.SetVersion(6, 2);
  again.devices.store.push_back(u"C:\\KIT\\USBDRV\\USBDRIVER\\USBVCOM.INF");
  RunUpdateOrPreinstall(again.context, ActionKind::kUsbVirtualSerial);
  ASSERT_EQ(again.devices.copies.size(), 1u);
  EXPECT_EQ(again.view.progress,
            "start install the device drivers.\r\nusb device no exist, start to preinstall.\r\n");
}

TEST(UpdateInstallTest, SecondCopyAttemptDependsOnTheOsCode) {
  // Server 2003 (code 4) and later retry a package already in the store.
  FakeMachine server;
  server.SetVersion(5, 2, kVerNtServer);
  server.devices.store.push_back(u"C:\\KIT\\USBDRV\\USBDRIVER\\KVPUSB.INF");
  RunUpdateOrPreinstall(server.context, ActionKind::kUsbPrinter);
  ASSERT_EQ(server.devices.copies.size(), 2u);
  EXPECT_EQ(server.devices.copies[1].style, kSpCopyReplaceOnly);

  // XP (code 3) does not.
  FakeMachine xp;
  xp.SetVersion(5, 1);
  xp.devices.store.push_back(u"C:\\KIT\\USBDRV\\USBDRIVER\\KVPUSB.INF");
  RunUpdateOrPreinstall(xp.context, ActionKind::kUsbPrinter);
  EXPECT_EQ(xp.devices.copies.size(), 1u);
}

TEST(UpdateInstallTest, AFailedUpdateWithoutAnErrorCodeDoesNotPreinstall) {
  FakeMachine m;
  m.devices.faults["UpdateDriverForPlugAndPlayDevices"] = {6, win32::kErrorSuccess};
  RunUpdateOrPreinstall(m.context, ActionKind::kUsbPrinter);
  EXPECT_TRUE(m.devices.copies.empty());
}

TEST(UpdateInstallTest, MissingConfigManagerSkipsTheReenumeration) {
  FakeMachine m;
  m.devices.has_config_manager = false;
  RunUpdateOrPreinstall(m.context, ActionKind::kUsbPrinter);
  EXPECT_EQ(m.devices.reenumerations, 0);
  EXPECT_EQ(m.devices.copies.size(), 1u);
}

TEST(UpdateInstallTest, TwoZeroTextAndEmptyLineAllInstallTheUsbPrinterDriver) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"2"}, {"0"}, {"abc"}, {}, {"/s"}}) {
    FakeMachine m;
    RunAction(m.context, ParseCommandLine(args));
    ASSERT_EQ(m.devices.updates.size(), 6u);
    EXPECT_EQ(m.devices.updates[0].inf_path, kPrinterInf);
  }
}

}  // namespace
}  // namespace kit::usbinstall
