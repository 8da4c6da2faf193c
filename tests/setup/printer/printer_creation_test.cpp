// Network port, printer creation with unique names, install records,
// default printer, spool folder and serial settings on virtual machines.
#include <gtest/gtest.h>

#include "platform/port_data.h"
#include "setup/printer/install_records.h"
#include "setup/printer/printer_creation.h"
#include "setup/printer/printer_settings.h"
#include "tests/setup/engine/engine_machine.h"
#include "ui/text.h"

namespace kit::setup::testing {
namespace {

// A driver for the printers of these tests.
void AddDriver(EngineMachine& m) {
  for (const char* f : {"UNIDRV.DLL", "VRTQ40G.GPD", "UNIDRVUI.DLL"}) m.Put(m.driver_folder + "\\" + f, f);
  DriverInfo3 d;
  d.name = u"VRT-Q40";
  d.driver_path = u"UNIDRV.DLL";
  d.data_file = u"VRTQ40G.GPD";
  d.config_file = u"UNIDRVUI.DLL";
  d.environment = m.ctx().Environment();  // where setup puts the kit's driver
  ASSERT_TRUE(m.platform().spooler.AddPrinterDriver(u"", d));
}

PrinterRecord Record(const std::string& port) { return {"VRT-Q40(S)", port, "VRT-Q40", "winprint", 0}; }

std::vector<std::string> PrinterNames(EngineMachine& m) {
  std::vector<std::string> names;
  const sim::Json state = m.State();
  for (const auto& p : state["spooler"]["printers"]) names.push_back(p.value("name", ""));
  return names;
}

TEST(AddPrinterWithUniqueName, NumbersTakenNamesUpTo98) {
  EngineMachine m;
  AddDriver(m);
  PrinterRecord first = Record("COM1:");
  ASSERT_TRUE(AddPrinterWithUniqueName(m.ctx(), &first, false));
  EXPECT_EQ(first.printer_name, "VRT-Q40(S)");
  PrinterRecord second = Record("COM1:");
  ASSERT_TRUE(AddPrinterWithUniqueName(m.ctx(), &second, false));
  EXPECT_EQ(second.printer_name, "VRT-Q40(S)(1)");
  // (2) to (97) taken directly in the machine's state; (98) through the rule.
  m.Change([](sim::Json& s) {
    const sim::Json first = s["spooler"]["printers"][0];
    for (int n = 2; n < kLastNumberedName; ++n) {
      sim::Json copy = first;
      copy["name"] = "VRT-Q40(S)(" + std::to_string(n) + ")";
      s["spooler"]["printers"].push_back(copy);
    }
  });
  PrinterRecord last = Record("COM1:");
  ASSERT_TRUE(AddPrinterWithUniqueName(m.ctx(), &last, false));
  EXPECT_EQ(last.printer_name, "VRT-Q40(S)(98)");
  PrinterRecord none = Record("COM1:");
  EXPECT_FALSE(AddPrinterWithUniqueName(m.ctx(), &none, false));
  EXPECT_EQ(m.ctx().error_text, "IDS_ERR_TOOMANY");
  EXPECT_TRUE(none.printer_name.empty());
  EXPECT_EQ(PrinterNames(m).size(), 99u);
}

TEST(AddPrinterWithUniqueName, UsbNameTakenIsTooManyAtOnce) {
  EngineMachine m;
  AddDriver(m);
  PrinterRecord usb = Record("LPT1:");
  usb.printer_name = "VRT-Q40(U) 1";
  ASSERT_TRUE(AddPrinterWithUniqueName(m.ctx(), &usb, true));
  usb.printer_name = "VRT-Q40(U) 1";
  EXPECT_FALSE(AddPrinterWithUniqueName(m.ctx(), &usb, true));
  EXPECT_EQ(m.ctx().error_text, "IDS_ERR_TOOMANY");
  EXPECT_EQ(PrinterNames(m).size(), 1u);
}

TEST(AddPrinterWithUniqueName, OtherFailuresCarryTheSystemText) {
  EngineMachine m;
  AddDriver(m);
  PrinterRecord unknown_port = Record("NOPORT:");
  EXPECT_FALSE(AddPrinterWithUniqueName(m.ctx(), &unknown_port, false));
  EXPECT_EQ(m.ctx().error_text.rfind("IDS_ERR_ADDPRINTER\n", 0), 0u);
  EXPECT_GT(m.ctx().error_text.size(), std::string("IDS_ERR_ADDPRINTER\n").size());
}

TEST(AddTcpIpPort, CreatesTheRawPortAndAcceptsAnExistingOne) {
  EngineMachine m;
  win32::Error error = 0;
  ASSERT_TRUE(AddTcpIpPort(m.ctx(), "KVIP_192.168.0.50", "192.168.0.50", &error));
  ASSERT_TRUE(AddTcpIpPort(m.ctx(), "KVIP_192.168.0.50", "192.168.0.50", &error)) << "183 counts as made";
  bool found = false;
  const sim::Json state = m.State();
  for (const auto& p : state["spooler"]["ports"]) found = found || p.value("name", "") == "KVIP_192.168.0.50";
  EXPECT_TRUE(found);
  m.CallFault("OpenPrinter", 5, ",XcvMonitor");
  EXPECT_FALSE(AddTcpIpPort(m.ctx(), "KVIP_10.0.0.1", "10.0.0.1", &error));
  EXPECT_EQ(error, 5u);
}

TEST(InstallRecords, PortNameAndPrinterPortIn64BitView) {
  EngineMachine m;
  ASSERT_TRUE(WriteUsbPortRecord(m.ctx(), "USB_VRT-D4_2", 1));
  EXPECT_EQ(m.Dword("SOFTWARE\\VELDRAN\\PORTNAME", "USB_VRT-D4_2"), 1u);
  ASSERT_TRUE(WritePrinterPortRecord(m.ctx(), "USB_VRT-D4x_2"));
  EXPECT_EQ(m.Dword("SOFTWARE\\VELDRAN\\PRINTERPORT", "USB_VRT-D4x_2"), 0u);
  // Not in the 32-bit view a 32-bit program would see by default.
  RegistryKeyPtr key;
  EXPECT_NE(m.platform().registry.RegOpenKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyRead, &key),
            0u);
}

TEST(SerialSettingsWrite, StoredUnderTheComName) {
  EngineMachine m;
  EXPECT_TRUE(WriteSerialSettings(m.ctx(), "KVCOM3:", {19200, 'e', 7, 1.5, 'x'}));
  EXPECT_EQ(m.String("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM3:"), "19200,e,7,1.5,x");
  EXPECT_FALSE(m.ctx().failed());
}

// Settings that cannot be saved fail the install with Windows' reason: the
// port would run at Windows' defaults, not the printer's.
TEST(SerialSettingsWrite, ARefusedWriteFailsTheInstall) {
  for (const char* api : {"RegOpenKeyEx", "RegSetValueEx"}) {
    SCOPED_TRACE(api);
    EngineMachine m;
    m.CallFault(api, 5, "Ports");
    EXPECT_FALSE(WriteSerialSettings(m.ctx(), "KVCOM3:", {19200, 'e', 7, 1.5, 'x'}));
    EXPECT_TRUE(m.ctx().failed());
    EXPECT_EQ(m.ctx().error_text.rfind("Cannot save the serial settings of COM3:\n", 0), 0u) << m.ctx().error_text;
  }
}

TEST(DefaultPrinter, Windows7UsesSetDefaultPrinter) {
  EngineMachine m;
  AddDriver(m);
  PrinterRecord record = Record("LPT1:");
  ASSERT_TRUE(AddPrinterWithUniqueName(m.ctx(), &record, false));
  EXPECT_TRUE(SetDefaultPrinter(m.ctx(), record.printer_name));
  EXPECT_EQ(m.State()["spooler"]["default_printer"], "VRT-Q40(S)");
  EXPECT_FALSE(SetDefaultPrinter(m.ctx(), "no such printer"));
}

TEST(SpoolFolder, SystemFolderSpoolAndARunningSpooler) {
  EngineMachine m("win2000-x86-en");
  AddDriver(m);
  PrinterRecord record = Record("LPT1:");
  ASSERT_TRUE(AddPrinterWithUniqueName(m.ctx(), &record, false));
  // The spooler takes longer to stop than the pause before the start.
  m.Change([](sim::Json& s) { s["services"]["Spooler"]["stop_pending_queries"] = 2; });
  SetPrinterSpoolFolder(m.ctx(), record.printer_name);
  EXPECT_EQ(m.String("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\Printers\\VRT-Q40(S)", "SpoolDirectory"),
            "C:\\WINNT\\system32\\spool\\printers");
  EXPECT_EQ(m.State()["services"]["Spooler"]["state"], kServiceRunning);
  EXPECT_TRUE(m.ctx().error_text.empty()) << "failures stay silent";
}

}  // namespace
}  // namespace kit::setup::testing
