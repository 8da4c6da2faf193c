// Monitors, processors and ports as the uninstaller meets them: a monitor
// whose ports come from the install records, objects in use refused.
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

class SpoolerObjectsTest : public SimTest {
 protected:
  void SetUp() override { Create("win7-x64-en", 64); }
  void Put(const WString& path) { ASSERT_TRUE(p().files.WriteFile(path, Bytes{'M', 'Z'}, WriteMode::kCreateAlways)); }
};

TEST_F(SpoolerObjectsTest, MonitorAndProcessorInUseAreRefusedUntilThePrinterIsGone) {
  PutModule(u"C:\\Windows\\system32\\KVUSBMON.DLL", KIT_USB_MONITOR_PATH);
  ASSERT_TRUE(p().spooler.AddMonitor(u"", {u"KV USB Monitor", u"", u"KVUSBMON.DLL"}));
  RegistryKeyPtr records;
  ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyReadWrite64, &records), 0u);
  ASSERT_EQ(records->SetDword(u"USB_VRT-P80_1", 0), 0u);

  WString processors;
  ASSERT_TRUE(p().spooler.GetPrintProcessorDirectory(u"", u"", &processors));
  Put(processors + u"\\KVPROC.DLL");
  ASSERT_TRUE(p().spooler.AddPrintProcessor(u"", u"", u"KVPROC.DLL", u"KVPROC"));
  WString drivers;
  ASSERT_TRUE(p().spooler.GetPrinterDriverDirectory(u"", u"", &drivers));
  AddUnidrvDriver(u"VRT-P80", u"VRTP80.GPD", u"KV USB Monitor");

  PrinterInfo2 info;
  info.printer_name = u"VRT-P80(U) 1";
  info.port_name = u"USB_VRT-P80_1";
  info.driver_name = u"VRT-P80";
  info.print_processor = u"KVPROC";
  PrinterHandle printer;
  ASSERT_TRUE(p().spooler.AddPrinter(u"", info, &printer)) << p().system.GetLastError();
  WString default_printer;
  ASSERT_TRUE(p().spooler.GetDefaultPrinter(&default_printer));
  EXPECT_EQ(default_printer, u"VRT-P80(U) 1");  // the first printer becomes the default

  p().system.SetLastError(0);
  EXPECT_FALSE(p().spooler.DeleteMonitor(u"", u"", u"KV USB Monitor"));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorPrintMonitorInUse);
  p().system.SetLastError(0);
  EXPECT_FALSE(p().spooler.DeletePrintProcessor(u"", u"", u"KVPROC"));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorCanNotComplete);

  ASSERT_TRUE(printer->DeletePrinter());
  printer.reset();
  EXPECT_FALSE(p().spooler.GetDefaultPrinter(&default_printer));
  EXPECT_TRUE(p().spooler.DeletePrinterDriverEx(u"", u"", u"VRT-P80", kDpdDeleteUnusedFiles, 0));
  EXPECT_EQ(p().files.GetFileAttributes(drivers + u"\\3\\VRTP80.GPD"), kInvalidFileAttributes);
  EXPECT_TRUE(p().spooler.DeletePrintProcessor(u"", u"", u"KVPROC"));
  EXPECT_TRUE(p().spooler.DeleteMonitor(u"", u"", u"KV USB Monitor"));
  // The spooler removed the monitor's key; the install record stays for
  // the uninstaller to delete.
  RegistryKeyPtr key;
  EXPECT_EQ(p().registry.RegOpenKeyEx(RootKey::kLocalMachine,
                                      u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KV USB Monitor", kKeyRead,
                                      &key),
            win32::kErrorFileNotFound);
  EXPECT_EQ(p().registry.RegOpenKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyRead, &key), 0u);
}

TEST_F(SpoolerObjectsTest, MissingFilesAndOverlongNamesAreRefused) {
  p().system.SetLastError(0);
  EXPECT_FALSE(p().spooler.AddMonitor(u"", {u"KV Serial Monitor", u"", u"NOFILE.DLL"}));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorModNotFound);
  DriverInfo3 d;
  d.name = u"VRT-X";
  d.driver_path = u"unidrv.dll";
  d.data_file = u"missing.gpd";
  d.config_file = u"unidrvui.dll";
  p().system.SetLastError(0);
  EXPECT_FALSE(p().spooler.AddPrinterDriver(u"", d));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorFileNotFound);
  PrinterInfo2 info;
  info.printer_name = WString(221, u'P');
  info.port_name = u"LPT1:";
  info.driver_name = u"VRT-X";
  PrinterHandle printer;
  p().system.SetLastError(0);
  EXPECT_FALSE(p().spooler.AddPrinter(u"", info, &printer));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorInvalidPrinterName);
  RegistryKeyPtr key;
  EXPECT_EQ(p().registry.RegCreateKeyEx(RootKey::kCurrentUser, u"Software\\" + WString(256, u'k'), kKeyAllAccess, &key),
            win32::kErrorInvalidParameter);
}

}  // namespace
}  // namespace kit::sim
