#include "usbinstall/network_ports.h"

#include <gtest/gtest.h>

#include "tests/usbinstall/fake_machine.h"
#include "usbinstall/error_box.h"
#include "usbinstall/run_action.h"
#include "usbinstall/setupapi_error_names.h"

namespace kit::usbinstall {
namespace {

using testing::FakeInf;
using testing::FakeMachine;

constexpr char16_t kNetworkInf[] = u"C:\\KIT\\USBDRV\\USBDRIVER\\XKVVCOM.INF";
constexpr char kDots[] = ".............................................\r\n";
constexpr char kFinish[] = "Driver install finish, please plug in TCP printer.\r\n";
constexpr char kFailed[] = "install failed , please uninstall and restart to install.\r\n";

FakeInf NetworkInf() {
  FakeInf inf;
  inf.class_name = u"Ports";  // no ClassGuid: looked up by name
  inf.sections[u"Manufacturer"] = {{u"KVRO", u"Models", u"NTamd64"}};
  inf.sections[u"Models"] = {{u"KVRO Network Serial Port", u"Install", u"ROOT\\KVVCOM", u"ROOT\\OTHER"},
                             {u"Second", u"Install", u"ROOT\\SECOND"}};
  return inf;
}

std::vector<std::size_t> RootDevices(const FakeMachine& m) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < m.devices.tree.size(); ++i) {
    if (m.devices.tree[i].root_enumerated && !m.devices.tree[i].removed) out.push_back(i);
  }
  return out;
}

TEST(NetworkPortsTest, CountThreeCreatesThreeDevicesAndInstallsTheDriverOnceAfterTheThird) {
  FakeMachine m;
  m.devices.infs[kNetworkInf] = NetworkInf();
  RunAction(m.context, ParseCommandLine({"8-3"}));
  const auto roots = RootDevices(m);
  ASSERT_EQ(roots.size(), 3u);
  for (const auto i : roots) {
    EXPECT_EQ(m.devices.tree[i].hardware_ids, std::vector<WString>{u"ROOT\\KVVCOM"});
    EXPECT_EQ(m.devices.tree[i].class_guid, kGuidDevClassPorts);
    EXPECT_EQ(m.devices.tree[i].description, u"KVRO Network Serial Port");
    // One update bound the driver to every device with the id.
    EXPECT_EQ(m.devices.tree[i].driver_inf, u"C:\\kit\\USBDrv\\USBDriver\\XKVVCOM.INF");
  }
  ASSERT_EQ(m.devices.updates.size(), 1u);
  EXPECT_EQ(m.devices.updates[0].hardware_id, u"ROOT\\KVVCOM");
  EXPECT_EQ(m.devices.created_sets, 3);
  EXPECT_EQ(m.view.progress, std::string(kDots) + kFinish + kFinish + kDots + kFinish);
  EXPECT_TRUE(m.view.boxes.empty());
}

TEST(NetworkPortsTest, OutOfRangeCountsCreateOneDevice) {
  for (const char* text : {"8", "8-300", "8-0", "8-99999999999"}) {
    FakeMachine m;
    m.devices.infs[kNetworkInf] = NetworkInf();
    RunAction(m.context, ParseCommandLine({text}));
    EXPECT_EQ(RootDevices(m).size(), 1u) << text;
    EXPECT_EQ(m.devices.updates.size(), 1u) << text;
  }
}

TEST(NetworkPortsTest, HardwareIdPropertyIsTheIdWithTwoTerminatingZeros) {
  const Bytes data = HardwareIdProperty(u"R\\K");
  const Bytes expected = {'R', 0, '\\', 0, 'K', 0, 0, 0, 0, 0};
  EXPECT_EQ(data, expected);
}

TEST(NetworkPortsTest, ModelLineWithoutHardwareIdGivesAnEmptyId) {
  FakeMachine m;
  FakeInf inf = NetworkInf();
  inf.sections[u"Models"] = {{u"Only a description", u"Install"}};
  m.devices.infs[kNetworkInf] = inf;
  std::uint32_t error_line = 0;
  auto file = m.devices.SetupOpenInfFile(kNetworkInf, u"", kInfStyleWin4, &error_line);
  ASSERT_TRUE(file);
  RootDeviceModel model;
  ASSERT_TRUE(FindRootDeviceModel(*file, &model));
  EXPECT_EQ(model.description, u"Only a description");
  EXPECT_EQ(model.hardware_id, u"");
}

TEST(NetworkPortsTest, MissingInfShowsTheSystemTextAndTheFailedLine) {
  FakeMachine m;
  m.system.messages[win32::kErrorFileNotFound] = u"The system cannot find the file specified.\r\n";
  RunAction(m.context, ParseCommandLine({"8"}));
  ASSERT_EQ(m.view.boxes.size(), 1u);
  EXPECT_EQ(m.view.boxes[0].text, "Error 2 in SetupOpenInfFile: The system cannot find the file specified.\r\n\n");
  EXPECT_EQ(m.view.boxes[0].caption, "Install");
  EXPECT_EQ(m.view.progress, kFailed);
  EXPECT_TRUE(RootDevices(m).empty());
}

TEST(NetworkPortsTest, MissingModelsSectionFailsTheSearchStepByItsSetupApiName) {
  FakeMachine m;
  FakeInf inf = NetworkInf();
  inf.sections.erase(u"Models");
  m.devices.infs[kNetworkInf] = inf;
  RunAction(m.context, ParseCommandLine({"8-2"}));
  ASSERT_EQ(m.view.boxes.size(), 1u);
  EXPECT_EQ(m.view.boxes[0].text, "Error E0000102 in search for specified device: ERROR_LINE_NOT_FOUND\n");
  EXPECT_EQ(m.view.progress, std::string(kDots) + kFailed);
  EXPECT_TRUE(RootDevices(m).empty());
}

TEST(NetworkPortsTest, FailedDriverInstallRemovesEveryDeviceItMade) {
  FakeMachine m;
  m.devices.infs[kNetworkInf] = NetworkInf();
  m.devices.faults["UpdateDriverForPlugAndPlayDevices"] = {1, 0xE0000235};
  RunAction(m.context, ParseCommandLine({"8-3"}));
  EXPECT_TRUE(RootDevices(m).empty());
  ASSERT_EQ(m.view.boxes.size(), 1u);
  EXPECT_EQ(m.view.boxes[0].text, "Error E0000235 in UpdateDriverForPlugAndPlayDevices\n");
  EXPECT_EQ(m.view.progress, std::string(kDots) + kFinish + kFinish + kFailed);
}

TEST(NetworkPortsTest, FailingRepetitionStopsAndRemovesEarlierDevices) {
  FakeMachine m;
  m.devices.infs[kNetworkInf] = NetworkInf();
  m.devices.faults["DIF_REGISTERDEVICE"] = {2, win32::kErrorAccessDenied};
  m.system.messages[win32::kErrorAccessDenied] = u"Access is denied.";
  RunAction(m.context, ParseCommandLine({"8-3"}));
  EXPECT_TRUE(RootDevices(m).empty());
  EXPECT_TRUE(m.devices.updates.empty());
  ASSERT_EQ(m.view.boxes.size(), 1u);
  EXPECT_EQ(m.view.boxes[0].text, "Error 5 in SetupDiCallClassInstaller(DIF_REGISTERDEVICE): Access is denied.\n");

  FakeMachine list;
  list.devices.infs[kNetworkInf] = NetworkInf();
  list.devices.faults["SetupDiCreateDeviceInfoList"] = {1, win32::kErrorNotEnoughMemory};
  RunAction(list.context, ParseCommandLine({"8"}));
  ASSERT_EQ(list.view.boxes.size(), 1u);
  EXPECT_EQ(list.view.boxes[0].text, "Error 00000008 in SetupDiCreateDeviceInfoList\n");

  FakeMachine property;
  property.devices.infs[kNetworkInf] = NetworkInf();
  property.devices.faults["SetupDiSetDeviceRegistryProperty"] = {1, 0xE0000209};
  RunAction(property.context, ParseCommandLine({"8"}));
  ASSERT_EQ(property.view.boxes.size(), 1u);
  EXPECT_EQ(property.view.boxes[0].text,
            "Error E0000209 in SetupDiCreateDeviceInfo or SetupDiSetDeviceRegistryProperty: "
            "ERROR_INVALID_REG_PROPERTY\n");
  EXPECT_TRUE(RootDevices(property).empty());
}

TEST(ErrorBoxTest, TextFormsAndNameTable) {
  EXPECT_EQ(ErrorBoxText("Op", 0xE000020B, "text"), "Error -536870389 in Op: text\n");
  EXPECT_EQ(ErrorBoxText("Op", 0xE000020B, ""), "Error E000020B in Op: ERROR_NO_SUCH_DEVINST\n");
  EXPECT_EQ(ErrorBoxText("Op", 0xE0001000, ""), "Error E0001000 in Op: ERROR_NOT_INSTALLED\n");
  EXPECT_EQ(ErrorBoxText("Op", 0xE0000FFF, ""), "Error E0000FFF in Op\n");
  EXPECT_EQ(ErrorBoxText("Op", 1, ""), "Error 00000001 in Op\n");

  const auto names = SetupApiErrorNames();
  EXPECT_EQ(names.size(), 57u);
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_TRUE(win32::IsSetupApiError(names[i].code)) << names[i].name;
    if (i > 0) {
      EXPECT_LE(names[i - 1].code, names[i].code) << names[i].name;
    }
  }
  // The older interface-device names share their codes with the newer ones.
  EXPECT_EQ(SetupApiErrorName(0xE000021A), "ERROR_NO_DEFAULT_DEVICE_INTERFACE");
  EXPECT_EQ(SetupApiErrorName(win32::kErrorInWow64), "");
}

}  // namespace
}  // namespace kit::usbinstall
