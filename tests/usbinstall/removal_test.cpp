#include "usbinstall/removal.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/usbinstall/fake_machine.h"
#include "usbinstall/run_action.h"

namespace kit::usbinstall {
namespace {

using testing::FakeMachine;

std::string Inf(std::string_view inf_class, std::string_view strings) {
  return "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=" + std::string(inf_class) + "\r\n\r\n[Strings]\r\n" +
         std::string(strings);
}

class MapValues final : public InfValues {
 public:
  std::map<std::string, std::string> values;  // "Section/Key"
  std::string Get(std::string_view section, std::string_view key) const override {
    const auto it = values.find(std::string(section) + "/" + std::string(key));
    return it == values.end() ? std::string() : it->second;
  }
};

TEST(RemovalTest, ProductIdNeedsOneOfTheTwoExactPrefixSpellings) {
  EXPECT_EQ(FamilyProductId(u"USB\\VID_7A5C&PID_1002&REV_0100"), 0x1002u);
  EXPECT_EQ(FamilyProductId(u"USB\\Vid_7a5c&Pid_2002"), 0x2002u);
  EXPECT_EQ(FamilyProductId(u"USB\\VID_7a5c&PID_1000"), std::nullopt);
  EXPECT_EQ(FamilyProductId(u"usb\\vid_7a5c&pid_1000"), std::nullopt);
  EXPECT_EQ(FamilyProductId(u"USB\\VID_04CE&PID_04CE"), std::nullopt);
  // Short or odd ids read only the hex digits there are.
  EXPECT_EQ(FamilyProductId(u"USB\\VID_7A5C&PID_"), 0u);
  EXPECT_EQ(FamilyProductId(u"USB\\VID_7A5C&PID_15f"), 0x15Fu);
  EXPECT_EQ(FamilyProductId(u"USB\\VID_7A5C&PID_12&M"), 0x12u);
}

TEST(RemovalTest, PrinterRangeSplitsActions22And44) {
  EXPECT_TRUE(RemovesProduct(ActionKind::kRemoveUsbPrinter, 0x1000));
  EXPECT_TRUE(RemovesProduct(ActionKind::kRemoveUsbPrinter, 0x15FF));
  EXPECT_FALSE(RemovesProduct(ActionKind::kRemoveUsbPrinter, 0x1600));
  EXPECT_FALSE(RemovesProduct(ActionKind::kRemoveUsbPrinter, 0x0FFF));
  EXPECT_TRUE(RemovesProduct(ActionKind::kRemoveUsbScanner, 0x1600));
  EXPECT_FALSE(RemovesProduct(ActionKind::kRemoveUsbScanner, 0x1002));
  EXPECT_TRUE(RemovesProduct(ActionKind::kRemoveUsbSerial, 0x1002));
  EXPECT_TRUE(RemovesProduct(ActionKind::kRemoveNetworkSerial, 0x7A5C));
}

TEST(RemovalTest, Action22RemovesThePrinterAndKeepsTheScannerAnd44TheReverse) {
  for (const bool printer_action : {true, false}) {
    FakeMachine m;
    const auto printer = m.Plug({u"USB\\VID_7A5C&PID_1002", u"USB\\VID_7A5C&PID_1002&REV_0001"});
    const auto scanner = m.Plug({u"USB\\VID_7A5C&PID_2002"});
    const auto mixed = m.Plug({u"USB\\VID_7a5c&PID_1000"});
    const auto other = m.Plug({u"USB\\VID_04CE&PID_04CE"});
    const auto port = m.Plug({u"USB\\VID_7A5C&PID_1001"}, kGuidDevClassPorts);
    RunAction(m.context, ParseCommandLine({printer_action ? "22" : "44"}));
    EXPECT_EQ(m.devices.Registered(printer), !printer_action);
    EXPECT_EQ(m.devices.Registered(scanner), printer_action);
    EXPECT_TRUE(m.devices.Registered(mixed));
    EXPECT_TRUE(m.devices.Registered(other));
    EXPECT_TRUE(m.devices.Registered(port));  // another class
    EXPECT_EQ(m.view.progress, "uninstall the device drivers and delete application.\r\nuninstall finish.....\r\n");
  }
}

TEST(RemovalTest, LongHardwareIdListsAreReadUpTo1024Characters) {
  FakeMachine m;
  // 600 characters of ids: more than 1024 bytes in UTF-16, within 1024 characters.
  const auto printer = m.Plug({u"USB\\VID_7A5C&PID_1002", WString(580, u'X')});
  // Past 1024 characters the property does not fit and the device is left alone.
  const auto oversized = m.Plug({u"USB\\VID_7A5C&PID_1003", WString(1100, u'X')});
  RunAction(m.context, ParseCommandLine({"22"}));
  EXPECT_FALSE(m.devices.Registered(printer));
  EXPECT_TRUE(m.devices.Registered(oversized));
}

TEST(RemovalTest, SerialRemovalsTakeEveryFamilyPortDevice) {
  FakeMachine m;
  const auto a = m.Plug({u"USB\\VID_7A5C&PID_1001"}, kGuidDevClassPorts);
  const auto b = m.Plug({u"USB\\Vid_7a5c&Pid_7A5C"}, kGuidDevClassPorts);
  const auto c = m.Plug({u"ROOT\\KVVCOM"}, kGuidDevClassPorts);
  RunAction(m.context, ParseCommandLine({"88"}));
  EXPECT_FALSE(m.devices.Registered(a));
  EXPECT_FALSE(m.devices.Registered(b));
  EXPECT_TRUE(m.devices.Registered(c));
}

TEST(RemovalTest, FailedRemovalIsReportedOnStandardOutputAndTheWalkGoesOn) {
  FakeMachine m;
  const auto first = m.Plug({u"USB\\VID_7A5C&PID_1000"});
  const auto second = m.Plug({u"USB\\VID_7A5C&PID_1001"});
  m.devices.unremovable.insert(first);
  m.files.Put(u"C:\\Windows\\inf\\machine.inf", Inf("System", ""));
  RunAction(m.context, ParseCommandLine({"22"}));
  EXPECT_TRUE(m.devices.Registered(first));
  EXPECT_FALSE(m.devices.Registered(second));
  EXPECT_EQ(m.out.str(), " CallClassInstaller(REMOVE) failed! ");
}

TEST(RemovalTest, PackageFilesGoWithTheirPnfTwinsAndReadOnlyFilesToo) {
  FakeMachine m;
  m.files.Put(u"C:\\Windows\\inf\\KVPUSB.INF", "x", kFileAttributeReadOnly);
  m.files.Put(u"C:\\Windows\\inf\\KVPUSB.PNF", "x");
  m.files.Put(u"C:\\Windows\\inf\\bulkusb.PNF", "x");
  m.files.Put(u"C:\\Windows\\system32\\Drivers\\KVPUSB.SYS", "x", kFileAttributeReadOnly);
  m.files.Put(u"C:\\Windows\\system32\\Drivers\\bulkusb.SYS", "x");
  m.files.Put(u"C:\\Windows\\system32\\Drivers\\KVSUSB.sys", "x");
  RunAction(m.context, ParseCommandLine({"22"}));
  EXPECT_FALSE(m.files.Has(u"C:\\Windows\\inf\\KVPUSB.INF"));
  EXPECT_FALSE(m.files.Has(u"C:\\Windows\\inf\\KVPUSB.PNF"));
  EXPECT_FALSE(m.files.Has(u"C:\\Windows\\inf\\bulkusb.PNF"));
  EXPECT_FALSE(m.files.Has(u"C:\\Windows\\system32\\Drivers\\KVPUSB.SYS"));
  EXPECT_FALSE(m.files.Has(u"C:\\Windows\\system32\\Drivers\\bulkusb.SYS"));
  EXPECT_TRUE(m.files.Has(u"C:\\Windows\\system32\\Drivers\\KVSUSB.sys"));  // the scanner's
  EXPECT_EQ(PnfTwinOf(u"C:\\Windows\\inf\\kvsusb.inf"), u"C:\\Windows\\inf\\kvsusb.PNF");
}

TEST(RemovalTest, SignatureWalkDeletesOnlyTheActionsFamilyCopies) {
  FakeMachine m;
  const std::string printer_strings = "Provider=\"KVRO\"\r\nDisk=\"KVRO Printer Driver Disk\"\r\n";
  m.files.Put(u"C:\\Windows\\inf\\oem3.inf", Inf("USB", printer_strings));
  m.files.Put(u"C:\\Windows\\inf\\oem3.PNF", "compiled");
  m.files.Put(u"C:\\Windows\\inf\\oem4.inf", Inf("usb", printer_strings));  // class in lower case
  m.files.Put(u"C:\\Windows\\inf\\oem5.inf",
              Inf("USB", "WN=\"x\"\r\nDisk=\"KVRO Scanner and Printer Device Driver\"\r\n"));
  m.files.Put(u"C:\\Windows\\inf\\oem6.inf", Inf("USB", "Disk=\"KVRO Printer Driver\"\r\n"));  // no provider
  m.files.Put(u"C:\\Windows\\inf\\oem7.inf", Inf("Ports", "Mfg=\"KVRO Corp\"\r\n"));
  m.files.Put(u"C:\\Windows\\inf\\usb.inf", Inf("USB", "Provider=\"Microsoft\"\r\nDisk=\"Windows\"\r\n"));
  RunAction(m.context, ParseCommandLine({"22"}));
  EXPECT_FALSE(m.files.Has(u"C:\\Windows\\inf\\oem3.inf"));
  EXPECT_FALSE(m.files.Has(u"C:\\Windows\\inf\\oem3.PNF"));
  EXPECT_TRUE(m.files.Has(u"C:\\Windows\\inf\\oem4.inf"));
  EXPECT_TRUE(m.files.Has(u"C:\\Windows\\inf\\oem5.inf"));
  EXPECT_TRUE(m.files.Has(u"C:\\Windows\\inf\\oem6.inf"));
  EXPECT_TRUE(m.files.Has(u"C:\\Windows\\inf\\oem7.inf"));
  EXPECT_TRUE(m.files.Has(u"C:\\Windows\\inf\\usb.inf"));

  RunAction(m.context, ParseCommandLine({"44"}));
  EXPECT_FALSE(m.files.Has(u"C:\\Windows\\inf\\oem5.inf"));
  RunAction(m.context, ParseCommandLine({"11"}));
  EXPECT_FALSE(m.files.Has(u"C:\\Windows\\inf\\oem7.inf"));
  EXPECT_TRUE(m.files.Has(u"C:\\Windows\\inf\\usb.inf"));
}

TEST(RemovalTest, SignatureRules) {
  MapValues inf;
  inf.values = {{"Version/Class", "USB"}, {"Strings/KV", "k"}, {"Strings/Disk", "The KVRO Printer Driver disk"}};
  EXPECT_TRUE(HasFamilySignature(ActionKind::kRemoveUsbPrinter, inf));
  EXPECT_FALSE(HasFamilySignature(ActionKind::kRemoveUsbScanner, inf));
  EXPECT_FALSE(HasFamilySignature(ActionKind::kRemoveUsbSerial, inf));
  inf.values["Strings/Disk"] = "kvro printer driver";  // substrings keep their case
  EXPECT_FALSE(HasFamilySignature(ActionKind::kRemoveUsbPrinter, inf));

  MapValues ports;
  ports.values = {{"Version/Class", "Ports"}, {"Strings/Mfg", "KVRO"}};
  EXPECT_TRUE(HasFamilySignature(ActionKind::kRemoveUsbSerial, ports));
  EXPECT_TRUE(HasFamilySignature(ActionKind::kRemoveNetworkSerial, ports));
  ports.values["Version/Class"] = "PORTS";
  EXPECT_FALSE(HasFamilySignature(ActionKind::kRemoveNetworkSerial, ports));
}

TEST(RemovalTest, UnlistableInfFolderIsReportedAndTheRemovalStillFinishes) {
  FakeMachine m;
  m.files.fail_find = true;
  RunAction(m.context, ParseCommandLine({"11"}));
  EXPECT_EQ(m.out.str(), "Invalid File Handle. Get Last Error reports 3\n");
  EXPECT_EQ(m.view.progress, "uninstall the device drivers and delete application.\r\nuninstall finish.....\r\n");
}

}  // namespace
}  // namespace kit::usbinstall
