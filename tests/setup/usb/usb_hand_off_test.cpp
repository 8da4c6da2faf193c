// The maker's USB driver version, the start of Install, and the routes a USB
// install takes at Install start.
#include <gtest/gtest.h>

#include "setup/usb/usb_driver.h"
#include "setup/pages/mode_page.h"
#include "setup/usb/usb_hand_off.h"
#include "setup/usb/usb_queries.h"
#include "tests/setup/usb/usb_machine.h"

namespace kit::setup::testing {
namespace {

constexpr char kPackageDriver64[] = "C:\\kit\\USBDRV\\USBDriver_x64\\KVPUSB.sys";
constexpr char kInstaller64[] = "C:\\kit\\USBDRV\\USBDriver_x64\\Install.exe";

TEST(UsbDriver, VersionComparison) {
  const struct {
    const char* installed;
    const char* package;
    int result;
  } cases[] = {
      {"2.0.1.6", "2.0.1.6", kUsbDriverCurrent},
      {"0.0.0.0", "2.0.1.6", kUsbDriverNotInstalled},
      {"2.0.1.5", "2.0.1.6", kUsbDriverOlder},
      {"2.0.1.7", "2.0.1.6", kUsbDriverCurrent},
      // Fields compare as numbers: 10 is above 9.
      {"2.0.10.5", "2.0.9.5", kUsbDriverCurrent},
      {"2.0.9.5", "2.0.10.5", kUsbDriverOlder},
      {"2, 0, 1, 5", "2.0.1.6", kUsbDriverOlder},
      {"2.0", "2.0.0.1", kUsbDriverOlder},
      {"2.0.0.0", "2.0", kUsbDriverCurrent},
      {"garbage", "2.0.1.6", kUsbDriverNotInstalled},
      {"", "2.0.1.6", kUsbDriverNotInstalled},
      {"3.0.0.0 (beta)", "2.0.1.6", kUsbDriverCurrent},
      {"99999999999999999999.0", "2.0", kUsbDriverCurrent},
      {"2.0.1.6", "0.0.0.0", kUsbDriverCurrent},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CompareUsbDriverVersions(c.installed, c.package), c.result) << c.installed << " / " << c.package;
}

TEST(UsbDriver, CheckAndInstall) {
  struct Case {
    const char* name;
    const char* installed;  // nullptr: no installed driver
    const char* package;    // nullptr: a file without a version resource
    int check;
  };
  const std::vector<Case> cases = {
      {"not installed", nullptr, "2.0.1.6", kUsbDriverNotInstalled},
      {"older", "2.0.1.5", "2.0.1.6", kUsbDriverOlder},
      {"same", "2.0.1.6", "2.0.1.6", kUsbDriverCurrent},
      {"newer, two-digit field", "2.0.10.5", "2.0.9.5", kUsbDriverCurrent},
      {"installed file without version", "", "2.0.1.6", kUsbDriverNotInstalled},
      {"package file without version", "2.0.1.6", nullptr, kUsbDriverCurrent},
  };
  for (const Case& c : cases) {
    UsbMachine m;
    m.Put(kPackageDriver64, "not a PE file");
    m.Put("C:\\kit\\USBDRV\\USBDriver_x64\\KVPUSB.INF", "[Version]");
    m.Put(kInstaller64, "stand-in");
    if (c.package) m.SetFileVersion(kPackageDriver64, c.package);
    const std::string installed = m.system32 + "\\drivers\\KVPUSB.sys";
    if (c.installed) {
      m.Put(installed, "not a PE file");
      if (*c.installed) m.SetFileVersion(installed, c.installed);
    }
    RecordingPrompts prompts;
    EXPECT_EQ(CheckUsbDriverVersion(m.env(), prompts), c.check) << c.name;
    const std::uint64_t slept = m.Slept();
    InstallUsbDriverIfNeeded(m.env(), prompts);
    if (c.check == kUsbDriverCurrent) {
      EXPECT_TRUE(m.Launches().empty()) << c.name;
      EXPECT_EQ(m.Slept(), slept) << c.name;
    } else {
      EXPECT_EQ(m.Launches(), std::vector<std::string>{std::string(kInstaller64) + "|2|open|1"}) << c.name;
      EXPECT_EQ(m.Slept() - slept, 3500u) << c.name;
      EXPECT_EQ(m.platform().files.GetFileAttributes(u"C:\\kit\\USBDRV\\USBDriver_x64\\KVPUSB.sys"),
                kFileAttributeArchive)
          << c.name;
    }
    EXPECT_TRUE(prompts.shown.empty()) << c.name;
  }
}

TEST(UsbDriver, ThirtyTwoBitPackageFolder) {
  UsbMachine m("winxp-x86-en");
  m.Put("C:\\kit\\USBDRV\\USBDriver\\Install.exe", "stand-in");
  m.Put("C:\\kit\\USBDRV\\USBDriver\\KVPUSB.sys", "stand-in");
  m.SetFileVersion("C:\\kit\\USBDRV\\USBDriver\\KVPUSB.sys", "2.0.1.6");
  RecordingPrompts prompts;
  InstallUsbDriverIfNeeded(m.env(), prompts);
  EXPECT_EQ(m.Launches(), std::vector<std::string>{"C:\\kit\\USBDRV\\USBDriver\\Install.exe|2|open|1"});
}

TEST(UsbClassPrinter, InfPathKeyAndParameters) {
  const struct {
    const char* name;
    bool is_64bit;
    const char* path;
  } inf_cases[] = {
      {"err", false, "C:\\kit\\W32\\Setup.inf"},      {"errors", false, "C:\\kit\\W32\\Setup.inf"},
      {"", true, "C:\\kit\\W64\\Setup.inf"},          {"KVPRT", false, "C:\\kit\\W32\\KVPRT32.inf"},
      {"KVPRT", true, "C:\\kit\\W64\\KVPRT64.inf"},   {"Err", false, "C:\\kit\\W32\\Err32.inf"},
  };
  for (const auto& c : inf_cases) EXPECT_EQ(ClassPrinterInfPath("C:\\kit", c.name, c.is_64bit), c.path) << c.name;

  const struct {
    int lookup;
    const char* key;
  } key_cases[] = {{1, "VRT-Q40(U)1"}, {2, "VRT-Q40(U)2"}, {3, "VRT-Q40(U)3"},
                   {4, "VRT-Q40(U)4"}, {5, "VRT-Q40(U)"},  {7, "VRT-Q40(U)1"}};
  for (const auto& c : key_cases) EXPECT_EQ(ClassPrinterKey("VRT-Q40", c.lookup), c.key) << c.lookup;

  EXPECT_EQ(ClassPrinterParameters("C:\\kit\\W32\\Setup.inf", "USB\\VID_7A5C&PID_1105", "VRT-Q40(U)1", false),
            " 3 \"C:\\kit\\W32\\Setup.inf\" \"USB\\VID_7A5C&PID_1105\" 0");
  // The key is quoted like the other arguments.
  EXPECT_EQ(ClassPrinterParameters("C:\\kit\\W64\\KV64.inf", "VID_7A5C&PID_1105", "VRT Q40(U)2", true),
            " 3 \"C:\\kit\\W64\\KV64.inf\" \"VID_7A5C&PID_1105\" 0 \"VRT Q40(U)2\"");
}

// One row of the routing table.
struct RouteCase {
  const char* name;
  const char* mode;                     // SupportedUSBMODE
  std::vector<PluggedPrinter> printers;
  UsbRoute route;
  std::vector<std::string> shown;
  std::vector<std::string> launches;    // parameters of the programs started
  bool log_files_copied;
};

// The receipt model names a driver-log viewer and its INI.
void AddDriverLogFiles(UsbMachine& m) {
  const std::string ini = "C:\\kit\\DRVCONFIG\\setup_receipt_64.ini";
  std::string text = m.Content(ini);
  const std::string section = "[VRT-Q40.Win7]";
  text.insert(text.find(section) + section.size(),
              "\r\nDriverlogViewer=KVRODriverlogViewer.exe\r\nDriverlogINI=KVRODriverlog.ini");
  m.Put(ini, text);
  m.Put("C:\\kit\\W64\\KVRODRIVERLOGVIEWER.EXE", "viewer");
  m.Put("C:\\kit\\W64\\KVRODRIVERLOG.INI", "[log]");
}

TEST(UsbRouting, EveryRow) {
  const PluggedPrinter maker{0x1000, 0, true}, klass{0x1105, 0, false, "VRT-Q40(U)1@USB001;"};
  const PluggedPrinter unlisted{0x1105, 0, false, "VRT-P80(U)1@USB001;"};
  const std::string class_install = " 3 \"C:\\kit\\W64\\Setup.inf\" \"KVROVRT-Q40U1\" 0 \"VRT-Q40(U)1\"";
  const std::vector<RouteCase> cases = {
      {"0, mixed", "0", {maker, klass}, UsbRoute::kRefused, {"IDS_ERR_ONEPRINTER"}, {}, false},
      {"0, class printer", "0", {klass}, UsbRoute::kWizardEnds, {}, {class_install}, true},
      {"0, maker-driver printer", "0", {maker}, UsbRoute::kNormalInstall, {}, {"2"}, false},
      {"0, none", "0", {}, UsbRoute::kNormalInstall, {}, {"2"}, false},
      {"1, mixed", "1", {maker, klass}, UsbRoute::kRefused, {"IDS_ERR_ONEPRINTER"}, {}, false},
      {"1, class printer", "1", {klass}, UsbRoute::kWizardEnds, {}, {class_install}, true},
      {"1, none", "1", {}, UsbRoute::kRefused, {"IDS_ERR_CLASSPRINTERIDERROR"}, {}, false},
      {"1, maker-driver printer", "1", {maker}, UsbRoute::kRefused, {"IDS_ERR_CLASSPRINTERIDERROR"}, {}, false},
      // A class printer the library does not list: the wizard stays open and
      // nothing is copied.
      {"1, class printer not listed", "1", {unlisted}, UsbRoute::kRefused, {"IDS_ERR_CLASSPRINTERIDERROR"}, {}, false},
      {"2, mixed", "2", {maker, klass}, UsbRoute::kNormalInstall, {}, {"2"}, false},
      {"2, class printer", "2", {klass}, UsbRoute::kNormalInstall, {}, {"2"}, false},
      {"7 acts as 2", "7", {maker, klass}, UsbRoute::kNormalInstall, {}, {"2"}, false},
  };
  for (const RouteCase& c : cases) {
    UsbMachine m;
    m.SetDeviceNameKey("SupportedUSBMODE", c.mode);
    m.Put("C:\\kit\\USBDRV\\USBDriver_x64\\Install.exe", "stand-in");
    m.Put(kPackageDriver64, "stand-in");
    m.SetFileVersion(kPackageDriver64, "2.0.1.6");
    AddDriverLogFiles(m);
    for (const auto& p : c.printers) m.Plug(p);
    InstallRequest request = Request(m, "USB_VRT-Q40_1");
    request.set_as_default = true;
    RecordingPrompts prompts;
    UsbHandOff hand_off;
    EXPECT_EQ(hand_off.RouteUsbInstall(m.ctx(), m.config(), request, prompts), c.route) << c.name;
    EXPECT_EQ(prompts.shown, c.shown) << c.name;
    std::vector<std::string> started;
    const sim::Json state = m.State();
    for (const auto& l : state["launches"]) started.push_back(l.value("parameters", std::string()));
    EXPECT_EQ(started, c.launches) << c.name;
    EXPECT_EQ(m.Exists(m.windows + "\\KVRODriverlog\\KVRODRIVERLOGVIEWER.EXE"), c.log_files_copied) << c.name;
    EXPECT_EQ(m.Exists(m.windows + "\\KVRODriverlog\\KVRODRIVERLOG.INI"), c.log_files_copied) << c.name;
    EXPECT_TRUE(m.ctx().error_text.empty()) << c.name;
  }
}

TEST(UsbRouting, ClassPrinterWithoutHardwareId) {
  UsbMachine m;
  m.Put("C:\\kit\\USBDRV\\USBDriver_x64\\Install.exe", "stand-in");
  // The kit without the entry of port 2.
  const std::string ini = "C:\\kit\\DRVCONFIG\\setup.ini";
  std::string text = m.Content(ini);
  const std::size_t entry = text.find("VRT-Q40(U)2=");
  ASSERT_NE(entry, std::string::npos);
  text.erase(entry, text.find('\n', entry) + 1 - entry);
  m.Put(ini, text);
  m.Plug({0x1105, 0, false, "VRT-Q40(U)2@USB001;"});
  RecordingPrompts prompts;
  UsbHandOff hand_off;
  EXPECT_EQ(hand_off.RouteUsbInstall(m.ctx(), m.config(), Request(m, "USB_VRT-Q40_1"), prompts), UsbRoute::kRefused);
  EXPECT_EQ(prompts.shown, std::vector<std::string>{"IDS_ERR_HARDWAREIDNULL"});
  EXPECT_TRUE(m.State()["launches"].empty());
}

// No printer answers after the USB driver was handed to Install: 1, the driver stays.
TEST(UsbRouting, NoPrinterAfterTheDriverHandOffIsAFailure) {
  UsbMachine m;
  m.Put(kInstaller64, "stand-in");
  m.Put(kPackageDriver64, "stand-in");
  m.SetFileVersion(kPackageDriver64, "2.0.1.6");
  InstallRequest request = Request(m, "USB_VRT-Q40_1");
  request.mode = kModeAdvanced;
  RecordingPrompts prompts;
  UsbHandOff hand_off;
  InstallPlan plan;
  EXPECT_EQ(PrepareInstall(m.ctx(), m.config(), request, prompts, hand_off, &plan), StartOutcome::kFailed);
  EXPECT_EQ(prompts.shown, (std::vector<std::string>{"IDS_ERR_NOUSBDEVICE", std::string(kUsbDriverLeftText)}));
  EXPECT_EQ(m.Launches().size(), 1u);
}

}  // namespace
}  // namespace kit::setup::testing
