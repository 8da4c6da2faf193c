// The outside USB libraries through the platform: loaded from a folder by
// name, printers by index with their descriptor, the id-write command
// taking effect at once, the printer list text, a missing library.
#include <gtest/gtest.h>

#include "tests/platform/contract/contract_env.h"

namespace kit::contract {
namespace {

class UsbContract : public ::testing::Test {
 protected:
  void SetUp() override { env_ = MakeContractEnv(); }
  Platform& p() { return env_->platform(); }
  std::unique_ptr<ContractEnv> env_;
};

std::array<std::uint8_t, kUsbDeviceDescriptorSize> Descriptor(KvUsbInt& lib, UsbDeviceHandle h) {
  std::array<std::uint8_t, kUsbDeviceDescriptorSize> d{};
  EXPECT_NE(lib.GetDescriptor(h, d.data(), d.size()), 0);
  return d;
}

int Release(const std::array<std::uint8_t, kUsbDeviceDescriptorSize>& d) {
  return d[kUsbDescriptorReleaseOffset] | (d[kUsbDescriptorReleaseOffset + 1] << 8);
}

TEST_F(UsbContract, PrintersByIndexAndTheIdWriteTakesEffectAtOnce) {
  const WString folder = env_->UsbLibraryFolder({{0x7A5C, 0x1000, 2, ""}, {0x7A5C, 0x1105, 9, "VRT-P80(U)1@USB002;"}});
  auto lib = p().usb.LoadKvUsbInt(folder + u"\\" + kKvUsbIntDll);
  ASSERT_NE(lib, nullptr) << p().system.GetLastError();
  for (const char* name : {"OpenDeviceX", "GetDescriptor", "uWrite", "CloseDevice"}) EXPECT_TRUE(lib->HasFunction(name));
  const UsbDeviceHandle first = lib->OpenDeviceX(0), second = lib->OpenDeviceX(1);
  ASSERT_TRUE(IsValidUsbHandle(first));
  ASSERT_TRUE(IsValidUsbHandle(second));
  EXPECT_FALSE(IsValidUsbHandle(lib->OpenDeviceX(2)));
  EXPECT_FALSE(IsValidUsbHandle(lib->OpenDeviceX(8)));
  const auto d = Descriptor(*lib, first);
  EXPECT_EQ(d[0], kUsbDeviceDescriptorSize);
  EXPECT_EQ(d[8] | (d[9] << 8), 0x7A5C);
  EXPECT_EQ(d[10] | (d[11] << 8), 0x1000);
  EXPECT_EQ(Release(d), 2);
  EXPECT_EQ(Release(Descriptor(*lib, second)), 9);

  std::uint8_t small[kUsbDeviceDescriptorSize - 1] = {};
  EXPECT_EQ(lib->GetDescriptor(first, small, sizeof small), 0);

  const std::uint8_t id_write[] = {0x1B, 0x73, 0x42, 0x45, 0x92, 0x99, 0x1D, 0x49, 0x20, 0x03};
  EXPECT_GT(lib->uWrite(first, 0, id_write, sizeof id_write), 0);
  EXPECT_EQ(Release(Descriptor(*lib, first)), 3);
  EXPECT_EQ(Release(Descriptor(*lib, second)), 9);
  lib->CloseDevice(first);
  lib->CloseDevice(second);
  // A library loaded again sees the new id.
  lib = p().usb.LoadKvUsbInt(folder + u"\\" + kKvUsbIntDll);
  ASSERT_NE(lib, nullptr);
  const UsbDeviceHandle again = lib->OpenDeviceX(0);
  ASSERT_TRUE(IsValidUsbHandle(again));
  EXPECT_EQ(Release(Descriptor(*lib, again)), 3);
  lib->CloseDevice(again);

  auto list = p().usb.LoadUsbPrintDll(folder + u"\\" + kUsbPrintDll);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->HasFunction("EnumUSBPrinter"));
  WString text;
  EXPECT_GE(list->EnumUSBPrinter(&text), 0);
  EXPECT_EQ(text, u"VRT-P80(U)1@USB002;");
}

TEST_F(UsbContract, NoPrinterAndNoLibrary) {
  const WString folder = env_->UsbLibraryFolder({});
  auto lib = p().usb.LoadKvUsbInt(folder + u"\\" + kKvUsbIntDll);
  ASSERT_NE(lib, nullptr);
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(IsValidUsbHandle(lib->OpenDeviceX(i))) << i;
  WString text = u"stale";
  auto list = p().usb.LoadUsbPrintDll(folder + u"\\" + kUsbPrintDll);
  ASSERT_NE(list, nullptr);
  EXPECT_GE(list->EnumUSBPrinter(&text), 0);
  EXPECT_EQ(text, u"");

  p().system.SetLastError(kSentinelError);
  EXPECT_EQ(p().usb.LoadKvUsbInt(env_->ScratchFolder() + u"\\NoSuchLibrary.dll"), nullptr);
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorModNotFound);
}

}  // namespace
}  // namespace kit::contract
