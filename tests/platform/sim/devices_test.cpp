// Plugged devices, driver updates, the driver store, root devices, the
// outside USB libraries and cabinets on the virtual machine.
#include "platform/sim/presets.h"
#include "tests/platform/sim/sim_fixture.h"
#include "tests/read_limit.h"

namespace kit::sim {
namespace {

constexpr char kPrinterInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=USB\r\n"
    "ClassGUID={36FC9E60-C465-11CF-8056-444553540000}\r\nProvider=%KV%\r\n"
    "[Strings]\r\nKV=\"KVRO\"\r\nDisk=\"KVRO Printer Driver\"\r\n";

class DevicesTest : public SimTest {
 protected:
  void WriteInf(const WString& path, const char* text) {
    ASSERT_TRUE(p().files.WriteFile(path, Bytes(text, text + std::strlen(text)), WriteMode::kCreateAlways));
  }
  // First hardware ids of the present USB-class devices.
  std::vector<WString> PresentUsbIds() {
    std::vector<WString> ids;
    auto set = p().devices.SetupDiGetClassDevs(&kGuidDevClassUsb, u"", kDigcfPresent);
    DeviceInfoData d;
    for (std::uint32_t i = 0; set && set->SetupDiEnumDeviceInfo(i, &d); ++i) {
      Bytes buffer;
      std::uint32_t type = 0, required = 0;
      if (set->SetupDiGetDeviceRegistryProperty(d, kSpdrpHardwareId, &type, &buffer, 1024, &required)) {
        WString first;
        for (std::size_t k = 0; k + 1 < buffer.size() && (buffer[k] | buffer[k + 1]); k += 2) {
          first.push_back(static_cast<char16_t>(buffer[k] | (buffer[k + 1] << 8)));
        }
        ids.push_back(first);
      }
    }
    return ids;
  }
};

TEST_F(DevicesTest, DriverUpdateBindsPresentDevicesAndRemovalLastsUntilReenumeration) {
  Create("win7-x64-en", 64);
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1002 --serial P1"), 0);
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 2002 --serial S1"), 0);
  EXPECT_EQ(PresentUsbIds(), (std::vector<WString>{u"USB\\VID_7A5C&PID_1002&REV_0000", u"USB\\VID_7A5C&PID_2002&REV_0000"}));
  WriteInf(u"C:\\KVPUSB.INF", kPrinterInf);
  bool reboot = true;
  ASSERT_TRUE(p().devices.UpdateDriverForPlugAndPlayDevices(u"usb\\vid_7a5c&pid_1002", u"C:\\KVPUSB.INF",
                                                            kInstallFlagForce, &reboot));
  EXPECT_FALSE(reboot);
  // The package went into the driver store.
  FindData data;
  EXPECT_NE(p().files.FindFirstFile(u"C:\\Windows\\inf\\oem*.inf", &data), nullptr);

  auto set = p().devices.SetupDiGetClassDevs(&kGuidDevClassUsb, u"", kDigcfPresent);
  DeviceInfoData d;
  ASSERT_TRUE(set->SetupDiEnumDeviceInfo(0, &d));
  ASSERT_TRUE(set->SetupDiCallClassInstaller(kDifRemove, d));
  EXPECT_EQ(PresentUsbIds(), (std::vector<WString>{u"USB\\VID_7A5C&PID_2002&REV_0000"}));
  std::uint32_t root = 0;
  ASSERT_EQ(p().devices.CM_Locate_DevNode(&root, u"", 0), win32::kCrSuccess);
  ASSERT_EQ(p().devices.CM_Reenumerate_DevNode(root, 0), win32::kCrSuccess);
  EXPECT_EQ(PresentUsbIds().size(), 2u);
  ASSERT_EQ(Tool("unplug DIR 'USB\\VID_7A5C&PID_1002\\P1'"), 0);
  EXPECT_EQ(PresentUsbIds().size(), 1u);
  p().system.SetLastError(0);
  EXPECT_FALSE(p().devices.UpdateDriverForPlugAndPlayDevices(u"USB\\VID_7A5C&PID_1002", u"C:\\KVPUSB.INF", 1, &reboot));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorNoSuchDevinst);
}

TEST_F(DevicesTest, DriverUpdateFromA32BitProcessOn64BitWindowsIsRefused) {
  Create("win7-x64-en", 32);
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1000"), 0);
  WriteInf(u"C:\\KVPUSB.INF", kPrinterInf);
  bool reboot = false;
  p().system.SetLastError(0);
  EXPECT_FALSE(p().devices.UpdateDriverForPlugAndPlayDevices(u"USB\\VID_7A5C&PID_1000", u"C:\\KVPUSB.INF", 1, &reboot));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorInWow64);
}

TEST_F(DevicesTest, OemInfCopyNoOverwriteThenReplaceOnly) {
  Create("win7-x64-en", 64);
  WString first, second;
  ASSERT_TRUE(p().files.CreateDirectory(u"C:\\pkg"));
  WriteInf(u"C:\\pkg\\KVPUSB.INF", kPrinterInf);
  p().system.SetLastError(0);
  EXPECT_FALSE(p().devices.SetupCopyOEMInf(u"C:\\pkg\\KVPUSB.INF", u"C:\\pkg", kSpostPath, kSpCopyReplaceOnly, &first));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorFileNotFound);
  ASSERT_TRUE(p().devices.SetupCopyOEMInf(u"C:\\pkg\\KVPUSB.INF", u"C:\\pkg", kSpostPath, kSpCopyNoOverwrite, &first));
  EXPECT_EQ(first, u"C:\\Windows\\inf\\oem1.inf");
  p().system.SetLastError(0);
  EXPECT_FALSE(p().devices.SetupCopyOEMInf(u"C:\\pkg\\KVPUSB.INF", u"C:\\pkg", kSpostPath, kSpCopyNoOverwrite, &second));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorFileExists);
  EXPECT_EQ(second, first);
  EXPECT_TRUE(p().devices.SetupCopyOEMInf(u"C:\\pkg\\KVPUSB.INF", u"C:\\pkg", kSpostPath, kSpCopyReplaceOnly, &second));
  EXPECT_EQ(second, first);
  EXPECT_NE(p().files.GetFileAttributes(u"C:\\Windows\\inf\\oem1.PNF"), kInvalidFileAttributes);
}

TEST_F(DevicesTest, RootDeviceExistsOnlyOnceRegistered) {
  Create("win7-x64-en", 64);
  auto set = p().devices.SetupDiCreateDeviceInfoList(&kGuidDevClassPorts);
  DeviceInfoData first, second;
  ASSERT_TRUE(set->SetupDiCreateDeviceInfo(u"Ports", kGuidDevClassPorts, u"", 0x1 /*generate id*/, &first));
  const WString id = u"ROOT\\XKVVCOM";
  Bytes multi;
  for (char16_t c : id) {
    multi.push_back(static_cast<std::uint8_t>(c));
    multi.push_back(0);
  }
  multi.insert(multi.end(), {0, 0, 0, 0});
  ASSERT_TRUE(set->SetupDiSetDeviceRegistryProperty(&first, kSpdrpHardwareId, multi));
  ASSERT_TRUE(set->SetupDiCallClassInstaller(kDifRegisterDevice, first));
  ASSERT_TRUE(set->SetupDiCreateDeviceInfo(u"Ports", kGuidDevClassPorts, u"", 0x1, &second));
  set.reset();  // the second was never registered
  auto ports = p().devices.SetupDiGetClassDevs(&kGuidDevClassPorts, u"", kDigcfPresent);
  DeviceInfoData d;
  ASSERT_TRUE(ports->SetupDiEnumDeviceInfo(0, &d));
  EXPECT_FALSE(ports->SetupDiEnumDeviceInfo(1, &d));
  Bytes buffer;
  std::uint32_t type = 0, required = 0;
  ASSERT_TRUE(ports->SetupDiGetDeviceRegistryProperty(d, kSpdrpHardwareId, &type, &buffer, 0x400, &required));
  EXPECT_EQ(required, 2u * (id.size() + 2));
  auto mismatched = p().devices.SetupDiCreateDeviceInfoList(&kGuidDevClassPorts);
  p().system.SetLastError(0);
  EXPECT_FALSE(mismatched->SetupDiCreateDeviceInfo(u"USB", kGuidDevClassUsb, u"", 1, &d));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorClassMismatch);
}

TEST_F(DevicesTest, UsbLibraryReadsDescriptorAndTheIdWriteChangesTheRelease) {
  Create();
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1000 --release 9 --kvusb --enum-text 'VRT-P80(U)2@USB001;'"), 0);
  p().system.SetLastError(0);
  EXPECT_EQ(p().usb.LoadKvUsbInt(u"C:\\kit\\KvUsbInt.dll"), nullptr);
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorModNotFound);
  ASSERT_TRUE(p().files.CreateDirectory(u"C:\\kit"));
  ASSERT_TRUE(p().files.WriteFile(u"C:\\kit\\KvUsbInt.dll", Bytes{'M', 'Z'}, WriteMode::kCreateAlways));
  ASSERT_TRUE(p().files.WriteFile(u"C:\\kit\\USBPrintDll.dll", Bytes{'M', 'Z'}, WriteMode::kCreateAlways));
  auto lib = p().usb.LoadKvUsbInt(u"C:\\kit\\KvUsbInt.dll");
  ASSERT_NE(lib, nullptr);
  EXPECT_TRUE(lib->HasFunction("OpenDeviceX"));
  const auto h = lib->OpenDeviceX(0);
  ASSERT_TRUE(IsValidUsbHandle(h));
  EXPECT_FALSE(IsValidUsbHandle(lib->OpenDeviceX(1)));
  std::uint8_t descriptor[20] = {};
  ASSERT_NE(lib->GetDescriptor(h, descriptor, sizeof descriptor), 0);
  EXPECT_EQ(descriptor[8] | (descriptor[9] << 8), 0x7A5C);
  EXPECT_EQ(descriptor[12] | (descriptor[13] << 8), 9);
  const std::uint8_t command[] = {0x1B, 0x73, 0x42, 0x45, 0x92, 0x99, 0x1D, 0x49, 0x20, 0x00};
  EXPECT_EQ(lib->uWrite(h, 0, command, sizeof command), 10);
  ASSERT_NE(lib->GetDescriptor(h, descriptor, sizeof descriptor), 0);
  EXPECT_EQ(descriptor[12] | (descriptor[13] << 8), 0);
  lib->CloseDevice(h);
  EXPECT_EQ(lib->GetDescriptor(h, descriptor, sizeof descriptor), 0);  // closed
  auto list = p().usb.LoadUsbPrintDll(u"C:\\kit\\USBPrintDll.dll");
  ASSERT_NE(list, nullptr);
  WString text;
  EXPECT_EQ(list->EnumUSBPrinter(&text), 1);
  EXPECT_EQ(text, u"VRT-P80(U)2@USB001;");
  ASSERT_EQ(Tool("fault DIR call EnumUSBPrinter 1"), 0);
  EXPECT_LT(list->EnumUSBPrinter(&text), 0);
}

TEST_F(DevicesTest, DriverCacheCabinetOffersItsMembersForExtraction) {
  Create("winxp-x86-en", 32);
  std::vector<WString> offered;
  ASSERT_TRUE(p().devices.SetupIterateCabinet(u"C:\\WINDOWS\\Driver Cache\\i386\\driver.cab",
                                              [&](const CabinetMember& m) -> std::optional<WString> {
                                                offered.push_back(m.name);
                                                if (m.name == u"unidrv.dll") return WString(u"C:\\WINDOWS\\Temp\\unidrv.dll");
                                                return std::nullopt;
                                              }));
  EXPECT_EQ(offered.size(), UnidrvComponentNames().size() + 1);
  Bytes content;
  ASSERT_TRUE(p().files.ReadFile(u"C:\\WINDOWS\\Temp\\unidrv.dll", kTestReadLimit, &content));
  EXPECT_EQ(std::string(content.begin(), content.end()), "system unidrv.dll\n");
  EXPECT_EQ(p().files.GetFileAttributes(u"C:\\WINDOWS\\Temp\\other.dll"), kInvalidFileAttributes);
  // A cabinet cut short is refused, nothing is offered.
  Bytes cab;
  ASSERT_TRUE(p().files.ReadFile(u"C:\\WINDOWS\\Driver Cache\\i386\\driver.cab", kTestReadLimit, &cab));
  cab.resize(cab.size() - 20);
  ASSERT_TRUE(p().files.WriteFile(u"C:\\WINDOWS\\Temp\\cut.cab", cab, WriteMode::kCreateAlways));
  offered.clear();
  EXPECT_FALSE(p().devices.SetupIterateCabinet(u"C:\\WINDOWS\\Temp\\cut.cab", [&](const CabinetMember& m) {
    offered.push_back(m.name);
    return std::optional<WString>();
  }));
  EXPECT_TRUE(offered.empty());
}

}  // namespace
}  // namespace kit::sim
