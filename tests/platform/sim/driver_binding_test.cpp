// What binding a package to a device leaves on the virtual machine: the SYS
// file in "system32\drivers" (its version read from its own resource), the
// printer of a printer-class package on a "USB00n" port; and the outside USB
// libraries without one of their entry points.
#include "platform/pe/pe_resources.h"
#include "tests/platform/pe/version_block.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

constexpr char kUsbDriverInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=USB\r\n"
    "ClassGUID={36FC9E60-C465-11CF-8056-444553540000}\r\n"
    "[DestinationDirs]\r\nDefaultDestDir=12\r\n"
    "[Manufacturer]\r\n%Mfg%=KVRO,NTx86,NTamd64\r\n"
    "[KVRO.NTamd64]\r\n%Desc%=KVPUSB_Install, USB\\VID_7A5C&PID_1000\r\n"
    "[KVPUSB_Install.NT]\r\nCopyFiles=KVPUSB_CopyFiles\r\n"
    "[KVPUSB_CopyFiles]\r\nKVPUSB.SYS\r\n"
    "[Strings]\r\nMfg=\"KVRO\"\r\nDesc=\"KVRO USB Printer\"\r\n";

constexpr char kClassInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
    "ClassGuid={4D36E979-E325-11CE-BFC1-08002BE10318}\r\n"
    "[Manufacturer]\r\n%Mfg%=KVRO,NTx86,NTamd64\r\n"
    "[KVRO.NTamd64]\r\n\"VRT-P80(U)1\"=P80_Install, USBPRINT\\KVROVRT-P80A1B2\r\n"
    "[P80_Install]\r\nCopyFiles=P80_Files\r\nDataFile=VRTP80.GPD\r\n"
    "[P80_Files]\r\nVRTP80.GPD\r\n"
    "[DestinationDirs]\r\nDefaultDestDir=66000\r\n"
    "[Strings]\r\nMfg=\"KVRO\"\r\n";

Bytes Text(const char* text) { return Bytes(text, text + std::strlen(text)); }

class DriverBindingTest : public SimTest {
 protected:
  // Writes a file, making its folders first.
  void Put(const WString& path, const Bytes& content) {
    for (auto slash = path.find(u'\\', 3); slash != WString::npos; slash = path.find(u'\\', slash + 1)) {
      p().files.CreateDirectory(path.substr(0, slash));
    }
    ASSERT_TRUE(p().files.WriteFile(path, content, WriteMode::kCreateAlways)) << p().system.GetLastError();
  }
};

TEST_F(DriverBindingTest, UsbDriverPutsItsSysFileIntoDriversWithTheVersionOfItsResource) {
  Create("win7-x64-en", 64);
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1000 --release 2 --kvusb"), 0);
  // The kit spells its folder "USBDRV"; a caller asking for "USBDrv" finds
  // the same files.
  Put(u"C:\\kit\\USBDRV\\USBDriver_x64\\KVPUSB.INF", Text(kUsbDriverInf));
  Put(u"C:\\kit\\USBDRV\\USBDriver_x64\\KVPUSB.SYS", test::PeImage(test::SampleBlock(), true));
  bool reboot = false;
  ASSERT_TRUE(p().devices.UpdateDriverForPlugAndPlayDevices(
      u"USB\\VID_7A5C&PID_1000", u"C:\\kit\\USBDrv\\USBDriver_x64\\KVPUSB.INF", kInstallFlagForce, &reboot))
      << p().system.GetLastError();

  FileVersionInfo package, installed;
  ASSERT_TRUE(p().files.GetFileVersionInfo(u"C:\\kit\\USBDrv\\USBDriver_x64\\kvpusb.sys", &package));
  ASSERT_TRUE(p().files.GetFileVersionInfo(u"C:\\Windows\\system32\\drivers\\KVPUSB.sys", &installed))
      << p().system.GetLastError();
  WString text;
  EXPECT_TRUE(installed.QueryString(u"\\StringFileInfo\\040904b0\\FileVersion", &text));
  EXPECT_EQ(text, u"3.1.7.2");
  EXPECT_EQ(installed.file_version, package.file_version);

  // A version set on the package's file travels with the copy.
  ASSERT_EQ(Tool("file-version DIR \"C:\\kit\\USBDRV\\USBDriver_x64\\KVPUSB.SYS\" 2.0.1.6"), 0);
  auto again = Reopen(64);
  ASSERT_TRUE(again->platform().devices.UpdateDriverForPlugAndPlayDevices(
      u"USB\\VID_7A5C&PID_1000", u"C:\\kit\\USBDRV\\USBDriver_x64\\KVPUSB.INF", kInstallFlagForce, &reboot));
  ASSERT_TRUE(again->platform().files.GetFileVersionInfo(u"C:\\Windows\\system32\\drivers\\KVPUSB.sys", &installed));
  EXPECT_EQ(installed.file_version, (std::array<std::uint16_t, 4>{2, 0, 1, 6}));
}

TEST_F(DriverBindingTest, PackageWithoutItsSysFileFailsAndForeignFilesHaveNoVersion) {
  Create("winxp-x86-en", 32);
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1000 --kvusb"), 0);
  std::string inf = kUsbDriverInf;
  inf.replace(inf.find("KVRO.NTamd64"), 12, "KVRO.NTx86");
  Put(u"C:\\pkg\\KVPUSB.INF", Text(inf.c_str()));
  bool reboot = false;
  EXPECT_FALSE(p().devices.UpdateDriverForPlugAndPlayDevices(u"USB\\VID_7A5C&PID_1000", u"C:\\pkg\\KVPUSB.INF",
                                                             kInstallFlagForce, &reboot));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorFileNotFound);

  // A SYS file that is no executable image, or one whose resource is cut.
  Put(u"C:\\pkg\\KVPUSB.SYS", Text("placeholder, not a driver"));
  Bytes cut = test::PeImage(test::SampleBlock());
  cut.resize(test::kImageResources + 0x60);
  Put(u"C:\\pkg\\CUT.SYS", cut);
  for (const char16_t* path : {u"C:\\pkg\\KVPUSB.SYS", u"C:\\pkg\\CUT.SYS"}) {
    FileVersionInfo info;
    EXPECT_FALSE(p().files.GetFileVersionInfo(path, &info)) << ToUtf8(path);
    EXPECT_EQ(p().system.GetLastError(), win32::kErrorResourceTypeNotFound);
  }
  // With its file the package installs.
  EXPECT_TRUE(p().devices.UpdateDriverForPlugAndPlayDevices(u"USB\\VID_7A5C&PID_1000", u"C:\\pkg\\KVPUSB.INF",
                                                            kInstallFlagForce, &reboot));
  std::uint64_t size = 0;
  EXPECT_TRUE(p().files.GetFileSize(u"C:\\WINDOWS\\system32\\drivers\\KVPUSB.SYS", &size));
}

TEST_F(DriverBindingTest, ClassPackageOnAPrintFunctionMakesItsPrinterOnTheNextUsbPort) {
  Create("win7-x64-en", 64);
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1105 --usbprint-id KVROVRT-P80A1B2"), 0);
  Put(u"C:\\kit\\W64\\VRTP8064.inf", Text(kClassInf));
  bool reboot = false;
  // Bound to the USB function itself, nothing is printed on.
  EXPECT_FALSE(p().devices.UpdateDriverForPlugAndPlayDevices(u"USBPRINT\\KVROVRT-P80", u"C:\\kit\\W64\\VRTP8064.inf",
                                                             kInstallFlagForce, &reboot));
  ASSERT_TRUE(p().devices.UpdateDriverForPlugAndPlayDevices(u"USBPRINT\\KVROVRT-P80A1B2",
                                                            u"C:\\kit\\W64\\VRTP8064.inf", kInstallFlagForce, &reboot))
      << p().system.GetLastError();
  std::vector<PrinterInfo2> printers;
  std::uint32_t needed = 0, returned = 0;
  p().spooler.EnumPrinters(kPrinterEnumLocal, u"", 2, &printers, 0, &needed, &returned);
  ASSERT_TRUE(p().spooler.EnumPrinters(kPrinterEnumLocal, u"", 2, &printers, needed, &needed, &returned));
  ASSERT_EQ(printers.size(), 1u);
  EXPECT_EQ(printers[0].printer_name, u"VRT-P80(U)1");
  EXPECT_EQ(printers[0].port_name, u"USB001");
  EXPECT_EQ(printers[0].driver_name, u"VRT-P80(U)1");
  WString default_printer;
  EXPECT_TRUE(p().spooler.GetDefaultPrinter(&default_printer));
  EXPECT_EQ(default_printer, u"VRT-P80(U)1");

  // A second printer of another model gets the next port; the first one
  // bound again keeps its printer and port.
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1106 --usbprint-id KVROVRT-Q40A1B2"), 0);
  std::string second = kClassInf;
  for (auto at = second.find("P80"); at != std::string::npos; at = second.find("P80", at)) second.replace(at, 3, "Q40");
  Put(u"C:\\kit\\W64\\VRTQ4064.inf", Text(second.c_str()));
  ASSERT_TRUE(p().devices.UpdateDriverForPlugAndPlayDevices(u"USBPRINT\\KVROVRT-Q40A1B2",
                                                            u"C:\\kit\\W64\\VRTQ4064.inf", kInstallFlagForce, &reboot));
  ASSERT_TRUE(p().devices.UpdateDriverForPlugAndPlayDevices(u"USBPRINT\\KVROVRT-P80A1B2",
                                                            u"C:\\kit\\W64\\VRTP8064.inf", kInstallFlagForce, &reboot));
  p().spooler.EnumPrinters(kPrinterEnumLocal, u"", 2, &printers, 0, &needed, &returned);
  ASSERT_TRUE(p().spooler.EnumPrinters(kPrinterEnumLocal, u"", 2, &printers, needed, &needed, &returned));
  ASSERT_EQ(printers.size(), 2u);
  for (const auto& printer : printers) {
    EXPECT_EQ(printer.port_name, printer.printer_name == u"VRT-P80(U)1" ? u"USB001" : u"USB002");
  }

  // The class installer's driver and printer are the records AddPrinterDriverEx
  // and AddPrinter write: the same members, the same defaults.
  ASSERT_EQ(Tool("add-printer DIR Other --port LPT1:"), 0);
  Json state;
  std::string error;
  ASSERT_EQ(machine_->store().Read(&state, &error), StoreError::kNone) << error;
  const Json& sp = state["spooler"];
  ASSERT_EQ(sp["printers"].size(), 3u);
  ASSERT_EQ(sp["drivers"].size(), 3u);
  const auto members = [](const Json& record) {
    std::vector<std::string> names;
    for (const auto& [name, value] : record.items()) names.push_back(name + "=" + value.type_name());
    return names;
  };
  EXPECT_EQ(members(sp["printers"][0]), members(sp["printers"][2]));
  EXPECT_EQ(members(sp["drivers"][0]), members(sp["drivers"][2]));
  for (const char* member : {"datatype", "priority", "status", "attributes", "dev_mode"}) {
    EXPECT_EQ(sp["printers"][0][member], sp["printers"][2][member]) << member;
  }
}

TEST_F(DriverBindingTest, MissingEntryPointOrLibraryOfTheUsbLibraries) {
  Create("win7-x64-en", 32);
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1000 --release 2 --kvusb --enum-text \"VRT-P80(U)1@USB001;\""), 0);
  Put(u"C:\\kit\\KvUsbInt.dll", Text("MZ"));
  Put(u"C:\\kit\\USBPrintDll.dll", Text("MZ"));
  ASSERT_EQ(Tool("set DIR missing-proc KvUsbInt.dll!uWrite"), 0);
  auto machine = Reopen(32);
  Platform& q = machine->platform();
  auto lib = q.usb.LoadKvUsbInt(u"C:\\kit\\KvUsbInt.dll");
  ASSERT_NE(lib, nullptr);
  EXPECT_FALSE(lib->HasFunction("uWrite"));
  EXPECT_TRUE(lib->HasFunction("OpenDeviceX"));
  const UsbDeviceHandle printer = lib->OpenDeviceX(0);
  ASSERT_TRUE(IsValidUsbHandle(printer));
  const std::uint8_t command[] = {0x1B, 0x73, 0x42, 0x45, 0x92, 0x99, 0x1D, 0x49, 0x20, 0x00};
  q.system.SetLastError(0);
  EXPECT_EQ(lib->uWrite(printer, 0, command, sizeof command), 0);
  EXPECT_EQ(q.system.GetLastError(), win32::kErrorProcNotFound);
  std::uint8_t descriptor[kUsbDeviceDescriptorSize] = {};
  ASSERT_NE(lib->GetDescriptor(printer, descriptor, sizeof descriptor), 0);
  EXPECT_EQ(descriptor[kUsbDescriptorReleaseOffset], 2);  // the id was not rewritten
  lib->CloseDevice(printer);

  ASSERT_EQ(Tool("set DIR missing-proc USBPrintDll.dll!EnumUSBPrinter"), 0);
  ASSERT_EQ(Tool("set DIR missing-proc KvUsbInt.dll"), 0);
  machine = Reopen(32);
  EXPECT_EQ(machine->platform().usb.LoadKvUsbInt(u"C:\\kit\\KvUsbInt.dll"), nullptr);
  EXPECT_EQ(machine->platform().system.GetLastError(), win32::kErrorModNotFound);
  auto list = machine->platform().usb.LoadUsbPrintDll(u"C:\\kit\\USBPrintDll.dll");
  ASSERT_NE(list, nullptr);
  WString text = u"stale";
  EXPECT_LT(list->EnumUSBPrinter(&text), 0);
  EXPECT_EQ(machine->platform().system.GetLastError(), win32::kErrorProcNotFound);
}

}  // namespace
}  // namespace kit::sim
