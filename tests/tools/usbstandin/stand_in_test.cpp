// The stand-in USB libraries loaded as the kit loads them (LoadLibraryExW
// from the folder beside the program, GetProcAddress): no printer without
// the file, the file's printers by index, the id-write command logged and
// remembered in the file, the list text of every printer.
#include <gtest/gtest.h>

#include "platform/win32/windows_platform.h"
#include "tools/usbstandin/printer_file.h"
#include "tests/read_limit.h"

namespace kit::win32 {
namespace {

class UsbStandIns : public ::testing::Test {
 protected:
  void SetUp() override {
    system_ = MakeSystemFacts();
    files_ = MakeFiles();
    usb_ = MakeUsbLibraries();
    const WString module = system_->GetModuleFileName();
    folder_ = module.substr(0, module.find_last_of(u'\\') + 1);
    printers_ = folder_ + FromUtf8(usbstandin::kPrinterFileName);
    log_ = folder_ + FromUtf8(usbstandin::kWriteLogName);
    TearDown();
  }
  void TearDown() override {
    files_->DeleteFile(printers_);
    files_->DeleteFile(log_);
  }
  void WritePrinters(const std::string& text) {
    ASSERT_TRUE(files_->WriteFile(printers_, Bytes(text.begin(), text.end()), WriteMode::kCreateAlways));
  }
  std::string Read(const WString& path) {
    Bytes content;
    files_->ReadFile(path, kTestReadLimit, &content);
    return std::string(content.begin(), content.end());
  }
  int Release(KvUsbInt& lib, UsbDeviceHandle h) {
    std::uint8_t d[kUsbDeviceDescriptorSize] = {};
    if (lib.GetDescriptor(h, d, sizeof d) == 0) return -1;
    return d[kUsbDescriptorReleaseOffset] | (d[kUsbDescriptorReleaseOffset + 1] << 8);
  }

  std::unique_ptr<SystemFacts> system_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<UsbLibraries> usb_;
  WString folder_, printers_, log_;
};

TEST_F(UsbStandIns, WithoutTheFileThereIsNoPrinter) {
  auto lib = usb_->LoadKvUsbInt(folder_ + kKvUsbIntDll);
  ASSERT_NE(lib, nullptr) << system_->GetLastError();
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(IsValidUsbHandle(lib->OpenDeviceX(i))) << i;
  auto list = usb_->LoadUsbPrintDll(folder_ + kUsbPrintDll);
  ASSERT_NE(list, nullptr);
  WString text = u"stale";
  EXPECT_EQ(list->EnumUSBPrinter(&text), 0);
  EXPECT_EQ(text, u"");
}

TEST_F(UsbStandIns, PrintersByIndexAndTheIdWriteRewritesTheRelease) {
  WritePrinters("# test printers\r\nprinter 7A5C 1000 2\r\nprinter 7A5C 1105 9 VRT-P80(U)1@USB002;\r\n");
  auto lib = usb_->LoadKvUsbInt(folder_ + kKvUsbIntDll);
  ASSERT_NE(lib, nullptr);
  for (const char* name : {"OpenDeviceX", "GetDescriptor", "uWrite", "CloseDevice"}) EXPECT_TRUE(lib->HasFunction(name));
  const UsbDeviceHandle first = lib->OpenDeviceX(0), second = lib->OpenDeviceX(1);
  ASSERT_TRUE(IsValidUsbHandle(first));
  ASSERT_TRUE(IsValidUsbHandle(second));
  EXPECT_NE(first, second);
  EXPECT_FALSE(IsValidUsbHandle(lib->OpenDeviceX(2)));
  EXPECT_FALSE(IsValidUsbHandle(lib->OpenDeviceX(-1)));
  EXPECT_EQ(Release(*lib, first), 2);
  EXPECT_EQ(Release(*lib, second), 9);

  const std::uint8_t id_write[] = {0x1B, 0x73, 0x42, 0x45, 0x92, 0x99, 0x1D, 0x49, 0x20, 0x00};
  EXPECT_EQ(lib->uWrite(first, 0, id_write, sizeof id_write), 10);
  const std::uint8_t other[] = {0x1B, 0x40};
  EXPECT_EQ(lib->uWrite(second, 0, other, sizeof other), 2);
  EXPECT_EQ(Release(*lib, first), 0);
  EXPECT_EQ(Release(*lib, second), 9);
  EXPECT_EQ(Read(printers_), "# test printers\r\nprinter 7A5C 1000 0\r\nprinter 7A5C 1105 9 VRT-P80(U)1@USB002;\r\n");
  EXPECT_EQ(Read(log_), "write 0 pipe 0: 1B 73 42 45 92 99 1D 49 20 00\r\nwrite 1 pipe 0: 1B 40\r\n");
  lib->CloseDevice(first);
  lib->CloseDevice(second);

  auto list = usb_->LoadUsbPrintDll(folder_ + kUsbPrintDll);
  ASSERT_NE(list, nullptr);
  WString text;
  EXPECT_EQ(list->EnumUSBPrinter(&text), 2);
  EXPECT_EQ(text, u"VRT-P80(U)1@USB002;");
}

}  // namespace
}  // namespace kit::win32
