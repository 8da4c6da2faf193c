// Devices: INF reading, device sets, the driver update call without a
// device, the configuration manager's root node, cabinets.
#include <gtest/gtest.h>

#include "tests/platform/contract/contract_env.h"

namespace kit::contract {
namespace {

constexpr char kInf[] =
    "; test package\r\n"
    "[Version]\r\n"
    "Signature=\"$Windows NT$\"\r\n"
    "Class=Ports\r\n"
    "ClassGUID={4D36E978-E325-11CE-BFC1-08002BE10318}\r\n"
    "Provider=%KV%\r\n"
    "\r\n"
    "[Manufacturer]\r\n"
    "%Mfg%=Models\r\n"
    "\r\n"
    "[Models]\r\n"
    "%DeviceDesc%=Install, ROOT\\KITVCOM, \"quoted, field\"\r\n"
    "%Other%=Install2\r\n"
    "\r\n"
    "[Strings]\r\n"
    "KV=\"Kit Test\"\r\n"
    "Mfg=\"KVRO Test\"\r\n"
    "DeviceDesc=\"Kit Virtual COM\"\r\n"
    "Other=\"Second\"\r\n";

class DevicesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    inf_ = env_->ScratchFolder() + u"\\kittest.inf";
    ASSERT_TRUE(p().files.WriteFile(inf_, Bytes(kInf, kInf + sizeof kInf - 1), WriteMode::kCreateAlways));
  }
  Platform& p() { return env_->platform(); }
  std::unique_ptr<ContractEnv> env_;
  WString inf_;
};

TEST_F(DevicesContract, InfLinesFieldsAndStringsAreRead) {
  std::uint32_t error_line = 0;
  auto inf = p().devices.SetupOpenInfFile(inf_, u"", kInfStyleWin4, &error_line);
  ASSERT_NE(inf, nullptr) << p().system.GetLastError();
  InfContext ctx;
  ASSERT_TRUE(inf->SetupFindFirstLine(u"Manufacturer", u"", &ctx));
  WString field;
  ASSERT_TRUE(inf->SetupGetStringField(ctx, 1, &field));
  EXPECT_EQ(field, u"Models");
  ASSERT_TRUE(inf->SetupFindFirstLine(u"models", u"", &ctx));
  EXPECT_EQ(inf->SetupGetFieldCount(ctx), 3u);
  ASSERT_TRUE(inf->SetupGetStringField(ctx, 0, &field));
  EXPECT_EQ(field, u"Kit Virtual COM");
  ASSERT_TRUE(inf->SetupGetStringField(ctx, 2, &field));
  EXPECT_EQ(field, u"ROOT\\KITVCOM");
  ASSERT_TRUE(inf->SetupGetStringField(ctx, 3, &field));
  EXPECT_EQ(field, u"quoted, field");
  p().system.SetLastError(kSentinelError);
  EXPECT_FALSE(inf->SetupGetStringField(ctx, 4, &field));
  EXPECT_NE(p().system.GetLastError(), kSentinelError);
  InfContext next;
  ASSERT_TRUE(inf->SetupFindNextLine(ctx, &next));
  EXPECT_EQ(inf->SetupGetFieldCount(next), 1u);
  EXPECT_FALSE(inf->SetupFindNextLine(next, &ctx));
  p().system.SetLastError(kSentinelError);
  EXPECT_FALSE(inf->SetupFindFirstLine(u"NoSuchSection", u"", &ctx));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorLineNotFound);

  Guid guid;
  WString class_name;
  ASSERT_TRUE(p().devices.SetupDiGetINFClass(inf_, &guid, &class_name));
  EXPECT_EQ(class_name, u"Ports");
  EXPECT_EQ(guid, kGuidDevClassPorts);
  std::vector<Guid> guids;
  ASSERT_TRUE(p().devices.SetupDiClassGuidsFromName(u"Ports", &guids));
  ASSERT_FALSE(guids.empty());
  EXPECT_EQ(guids[0], kGuidDevClassPorts);
}

TEST_F(DevicesContract, MissingInfFailsToOpen) {
  std::uint32_t error_line = 0;
  p().system.SetLastError(kSentinelError);
  EXPECT_EQ(p().devices.SetupOpenInfFile(env_->ScratchFolder() + u"\\none.inf", u"", kInfStyleWin4, &error_line),
            nullptr);
  EXPECT_NE(p().system.GetLastError(), kSentinelError);
}

TEST_F(DevicesContract, DeviceSetEnumerationEndsWithNoMoreItemsAndPropertiesProbeSizes) {
  auto set = p().devices.SetupDiGetClassDevs(nullptr, u"", kDigcfAllClasses | kDigcfPresent);
  ASSERT_NE(set, nullptr);
  DeviceInfoData device;
  std::uint32_t index = 0;
  while (set->SetupDiEnumDeviceInfo(index, &device)) {
    std::uint32_t type = 0, required = 0;
    Bytes buffer;
    if (!set->SetupDiGetDeviceRegistryProperty(device, kSpdrpHardwareId, &type, &buffer, 0, &required)) {
      if (p().system.GetLastError() == win32::kErrorInsufficientBuffer) {
        EXPECT_FALSE(set->SetupDiGetDeviceRegistryProperty(device, kSpdrpHardwareId, &type, &buffer, required - 1,
                                                           &required));
        EXPECT_TRUE(set->SetupDiGetDeviceRegistryProperty(device, kSpdrpHardwareId, &type, &buffer, required,
                                                          &required));
        EXPECT_EQ(type, kRegMultiSz);
      }
    }
    ++index;
  }
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorNoMoreItems);
}

TEST_F(DevicesContract, DriverUpdateWithoutAMatchingDeviceSaysSo) {
  if (env_->IsWine()) GTEST_SKIP() << "Wine: UpdateDriverForPlugAndPlayDevicesW succeeds without a matching device";
  bool reboot = true;
  p().system.SetLastError(kSentinelError);
  EXPECT_FALSE(p().devices.UpdateDriverForPlugAndPlayDevices(u"USB\\VID_7A5C&PID_0FFF", inf_, kInstallFlagForce,
                                                             &reboot));
  const auto error = p().system.GetLastError();
  EXPECT_TRUE(error == win32::kErrorNoSuchDevinst || error == win32::kErrorInWow64) << std::hex << error;
}

TEST_F(DevicesContract, RootDeviceNodeIsLocatedAndReenumerated) {
  if (!p().devices.HasConfigManager()) GTEST_SKIP() << "no cfgmgr32 entry points";
  if (env_->IsWine()) GTEST_SKIP() << "Wine: CM_Locate_DevNodeW is a stub answering CR_FAILURE";
  std::uint32_t root = 0;
  ASSERT_EQ(p().devices.CM_Locate_DevNode(&root, u"", kCmLocateDevnodeNormal), win32::kCrSuccess);
  EXPECT_EQ(p().devices.CM_Reenumerate_DevNode(root, kCmReenumerateNormal), win32::kCrSuccess);
  std::uint32_t none = 0;
  EXPECT_NE(p().devices.CM_Locate_DevNode(&none, u"ROOT\\KITNOSUCHDEVICE\\0000", 0), win32::kCrSuccess);
}

TEST_F(DevicesContract, NonCabinetIsRefusedByTheCabinetWalk) {
  int offered = 0;
  p().system.SetLastError(kSentinelError);
  EXPECT_FALSE(p().devices.SetupIterateCabinet(inf_, [&](const CabinetMember&) {
    ++offered;
    return std::optional<WString>();
  }));
  EXPECT_EQ(offered, 0);
  EXPECT_NE(p().system.GetLastError(), kSentinelError);
}

}  // namespace
}  // namespace kit::contract
