// The USB libraries through the stand-ins built beside this program: a
// missing library is an error code, calls reach the library with their
// arguments, and what the library writes never passes the caller's bounds.
#include <gtest/gtest.h>

#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

class UsbLibrariesWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    system_ = MakeSystemFacts();
    usb_ = MakeUsbLibraries();
    const WString module = system_->GetModuleFileName();
    folder_ = module.substr(0, module.find_last_of(u'\\'));
  }
  std::unique_ptr<SystemFacts> system_;
  std::unique_ptr<UsbLibraries> usb_;
  WString folder_;
};

TEST_F(UsbLibrariesWin32, MissingLibraryIsModNotFound) {
  system_->SetLastError(0x0BADF00D);
  EXPECT_EQ(usb_->LoadKvUsbInt(folder_ + u"\\NoSuchKvUsbInt.dll"), nullptr);
  EXPECT_EQ(system_->GetLastError(), kErrorModNotFound);
  system_->SetLastError(0x0BADF00D);
  EXPECT_EQ(usb_->LoadUsbPrintDll(folder_ + u"\\NoSuchUsbPrint.dll"), nullptr);
  EXPECT_EQ(system_->GetLastError(), kErrorModNotFound);
}

TEST_F(UsbLibrariesWin32, DeviceCallsReachTheLibraryAndDescriptorStaysInItsBuffer) {
  auto lib = usb_->LoadKvUsbInt(folder_ + u"\\" + kKvUsbIntDll);
  ASSERT_NE(lib, nullptr) << system_->GetLastError();
  for (const char* name : {"OpenDeviceX", "GetDescriptor", "uWrite", "CloseDevice"}) EXPECT_TRUE(lib->HasFunction(name));
  EXPECT_FALSE(lib->HasFunction("NoSuchFunction"));

  EXPECT_FALSE(IsValidUsbHandle(lib->OpenDeviceX(0)));
  EXPECT_FALSE(IsValidUsbHandle(lib->OpenDeviceX(5)));  // all ones
  const UsbDeviceHandle printer = lib->OpenDeviceX(2);
  ASSERT_TRUE(IsValidUsbHandle(printer));

  // The library writes 64 bytes; the caller's 18-byte buffer and the guard
  // bytes after it must see only the descriptor.
  std::uint8_t buffer[kUsbDeviceDescriptorSize + 8];
  std::fill(std::begin(buffer), std::end(buffer), 0x55);
  ASSERT_NE(lib->GetDescriptor(printer, buffer, kUsbDeviceDescriptorSize), 0);
  EXPECT_EQ(buffer[0], 18);
  EXPECT_EQ(buffer[kUsbDescriptorReleaseOffset] | (buffer[kUsbDescriptorReleaseOffset + 1] << 8), 0x0102);
  for (std::size_t i = kUsbDeviceDescriptorSize; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0x55) << i;

  // A buffer shorter than a descriptor is refused before the library runs.
  system_->SetLastError(0);
  EXPECT_EQ(lib->GetDescriptor(printer, buffer, kUsbDeviceDescriptorSize - 1), 0);
  EXPECT_EQ(system_->GetLastError(), kErrorInsufficientBuffer);

  // A descriptor call that reports success and fills nothing leaves zeros,
  // never what the stack held before.
  const UsbDeviceHandle silent = lib->OpenDeviceX(3);
  ASSERT_TRUE(IsValidUsbHandle(silent));
  std::fill(std::begin(buffer), std::end(buffer), 0x55);
  ASSERT_NE(lib->GetDescriptor(silent, buffer, kUsbDeviceDescriptorSize), 0);
  for (std::size_t i = 0; i < kUsbDeviceDescriptorSize; ++i) EXPECT_EQ(buffer[i], 0) << i;
  lib->CloseDevice(silent);

  const std::uint8_t command[] = {0x1B, 0x40, 0x00};
  EXPECT_EQ(lib->uWrite(printer, 0, command, sizeof command), 3 + 0x1B);
  EXPECT_EQ(lib->uWrite(printer, 1, command, sizeof command), -1);
  lib->CloseDevice(printer);
}

TEST_F(UsbLibrariesWin32, LibraryWithoutTheEntryPointsAnswersNoDevice) {
  // Any library without the USB functions: the system's own kernel32.
  auto lib = usb_->LoadKvUsbInt(system_->GetSystemDirectory() + u"\\kernel32.dll");
  ASSERT_NE(lib, nullptr);
  EXPECT_FALSE(lib->HasFunction("OpenDeviceX"));
  system_->SetLastError(0);
  EXPECT_EQ(lib->OpenDeviceX(0), 0);
  EXPECT_EQ(system_->GetLastError(), kErrorProcNotFound);
  std::uint8_t buffer[kUsbDeviceDescriptorSize] = {};
  EXPECT_EQ(lib->GetDescriptor(1, buffer, sizeof buffer), 0);
  auto list = usb_->LoadUsbPrintDll(system_->GetSystemDirectory() + u"\\kernel32.dll");
  ASSERT_NE(list, nullptr);
  WString text = u"stale";
  EXPECT_LT(list->EnumUSBPrinter(&text), 0);
}

TEST_F(UsbLibrariesWin32, PrinterListFillingTheWholeBufferIsCutAtItsEnd) {
  auto lib = usb_->LoadUsbPrintDll(folder_ + u"\\" + kUsbPrintDll);
  ASSERT_NE(lib, nullptr) << system_->GetLastError();
  EXPECT_TRUE(lib->HasFunction("EnumUSBPrinter"));
  WString text;
  EXPECT_EQ(lib->EnumUSBPrinter(&text), 1);
  EXPECT_EQ(text.size(), kEnumUsbPrinterBufferSize);
  EXPECT_EQ(text.substr(0, 15), u"VRT-Q40@USB001;");
  EXPECT_EQ(text.back(), u'x');
}

}  // namespace
}  // namespace kit::win32
