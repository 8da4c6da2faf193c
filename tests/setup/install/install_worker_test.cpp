// Whole installs through Install start and the worker on virtual machines:
// each port kind, the component update, and the failures the user is told
// about.
#include <gtest/gtest.h>

#include "setup/engine/components.h"
#include "setup/progress/progress_dialog.h"
#include "tests/setup/install/install_machine.h"
#include "ui/text.h"

namespace kit::setup::testing {
namespace {

const std::string kSerialKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KVR Serial Port";
const std::string kProcessors = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print Processors\\";
const std::string kProcessorKey = kProcessors + "KVRPrint";

// The kit's data names the system's processor; a kit of the family may name
// one of its own, as this one is made to.
void NameOwnProcessor(EngineMachine& m) {
  const std::string path = "C:\\kit\\DRVCONFIG\\setup_receipt_64.ini";
  std::string data = m.Content(path);
  for (auto [from, to] : {std::pair<std::string, std::string>{"GDIPrintProcessor=WinPrint", "GDIPrintProcessor=KVRPrint"},
                          {"GDIProcessorDLLName=0", "GDIProcessorDLLName=KVRPRT64.DLL"}}) {
    for (auto at = data.find(from); at != std::string::npos; at = data.find(from, at)) data.replace(at, from.size(), to);
  }
  m.Put(path, data);
}

TEST(Install, ParallelPortOnWindows7x64) {
  EngineMachine m;
  const sim::Json processors = m.State()["spooler"]["processors"];
  const InstallRun run = Install(m, Request(m, "LPT1:"));
  ASSERT_EQ(run.outcome, StartOutcome::kRunWorker);
  ASSERT_EQ(run.state, kProgressDone) << run.text;
  EXPECT_EQ(run.text, "IDS_INF_NTRESTART");
  const sim::Json printer = Printer(m, "VRT-Q40(P)");
  ASSERT_FALSE(printer.is_null());
  EXPECT_EQ(printer.value("port", ""), "LPT1:");
  EXPECT_EQ(printer.value("driver", ""), "VRT-Q40");
  // The system's processor: nothing registered, copied or written for it.
  EXPECT_EQ(printer.value("print_processor", ""), "WinPrint");
  EXPECT_EQ(m.State()["spooler"]["processors"], processors);
  EXPECT_EQ(m.Dword(kProcessors + "WinPrint", "DriverVersion"), std::nullopt);
  const sim::Json driver = Driver(m, "VRT-Q40");
  EXPECT_EQ(driver.value("environment", ""), "Windows x64");
  EXPECT_EQ(driver["dependent_files"],
            sim::Json({"VRTQ40G.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "VRTQ40UI.DLL", "VRTQ40R.DLL",
                       "VRTQ40.INI"}));
  EXPECT_EQ(driver.value("monitor", ""), "");
  // The system's Unidrv files, the package's own, the plug-in's files.
  EXPECT_EQ(m.Content(m.driver_folder + "\\UNIRES.DLL"), "system unires.dll\n");
  EXPECT_EQ(m.Content(m.driver_folder + "\\UNIDRV.DLL"), "system unidrv.dll\n");
  EXPECT_EQ(m.Content(m.driver_folder + "\\VRTQ40G.GPD"), "W64 VRTQ40G.GPD");
  EXPECT_EQ(m.Content(m.driver_folder + "\\3\\ENG_VRTQ40.RES"), "W64 ENG_VRTQ40.RES");
  EXPECT_EQ(m.Content(m.driver_folder + "\\3\\VRTQ40CONTROL.DAT"), "W64 VRTQ40CONTROL.DAT");
  EXPECT_EQ(m.Content(m.system32 + "\\spool\\drivers\\w32x86\\3\\VRTQ40CONTROL.DAT"), "W64 VRTQ40CONTROL.DAT");
  // No monitor of the kit on a parallel port.
  EXPECT_EQ(m.Dword(kSerialKey, "DriverVersion"), std::nullopt);
}

TEST(Install, SerialPortOnXpStoresSettingsAndNumbersASecondPrinter) {
  EngineMachine m("winxp-x86-en");
  InstallRequest request = Request(m, "KVCOM3:");
  request.baud_rate = 19200;
  request.parity = 'e';
  request.data_bits = 7;
  request.stop_bits = 1.5;
  request.flow = 'x';
  InstallRun run = Install(m, request);
  ASSERT_EQ(run.state, kProgressDone) << run.text;
  EXPECT_EQ(Printer(m, "VRT-Q40(S)").value("port", ""), "KVCOM3:");
  EXPECT_EQ(m.String("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM3:"), "19200,e,7,1.5,x");
  EXPECT_EQ(m.Dword(kSerialKey, "DriverVersion"), 2u);
  EXPECT_EQ(m.Content(m.system32 + "\\KVRCOMMON.DLL"), PayloadContent("W32 KVRCOMMON.DLL"));
  // XP's own files for the driver's tools are the system's: kept.
  EXPECT_NE(m.Content(m.system32 + "\\wbem\\FRAMEDYN.DLL"), "W32 FRAMEDYN.DLL") << "present already: kept";
  EXPECT_NE(m.Content(m.system32 + "\\SRCLIENT.DLL"), "W32 SRCLIENT.DLL") << "present already: kept";
  EXPECT_NE(m.Content(m.system32 + "\\NEWDEV.DLL"), "W32 NEWDEV.DLL") << "present already: kept";

  run = Install(m, request);
  ASSERT_EQ(run.state, kProgressDone) << run.text;
  EXPECT_FALSE(Printer(m, "VRT-Q40(S)(1)").is_null());
}

TEST(Install, UsbPortWritesItsRecordsAndRefusesASecondPrinter) {
  EngineMachine m;
  InstallRun run = Install(m, Request(m, "USB_VRT-Q40_2"));
  ASSERT_EQ(run.state, kProgressDone) << run.text;
  EXPECT_EQ(run.text, "IDS_INF_USBRESTART");
  EXPECT_EQ(Printer(m, "VRT-Q40(U) 2").value("port", ""), "USB_VRT-Q40_2");
  EXPECT_EQ(Driver(m, "VRT-Q40").value("monitor", ""), "KVR Language Monitor");
  EXPECT_EQ(m.Dword("SOFTWARE\\VELDRAN\\PORTNAME", "USB_VRT-Q40_2"), 1u);
  EXPECT_EQ(m.Dword("SOFTWARE\\VELDRAN\\PRINTERPORT", "USB_VRT-Q40_2"), 0u);

  m.ctx().error_text.clear();
  run = Install(m, Request(m, "USB_VRT-Q40_2"));
  EXPECT_EQ(run.state, kProgressFailed);
  EXPECT_EQ(run.text, "IDS_ERR_TOOMANY");
}

TEST(Install, SharedVrtD4Ports) {
  EngineMachine m;
  const InstallRun run = Install(m, Request(m, "USB_VRT-D45_2", "VRT-D45"));
  ASSERT_EQ(run.state, kProgressDone) << run.text;
  EXPECT_EQ(Printer(m, "VRT-D45(U) 2").value("port", ""), "USB_VRT-D4_2");
  EXPECT_EQ(m.Dword("SOFTWARE\\VELDRAN\\PORTNAME", "USB_VRT-D4_2"), 0u) << "no [SUPPORTED-USB-DEVICE] entry";
  EXPECT_EQ(m.Dword("SOFTWARE\\VELDRAN\\PRINTERPORT", "USB_VRT-D45_2"), 0u);
}

TEST(Install, NetworkPortAndTheNullAddress) {
  EngineMachine m;
  InstallRequest request = Request(m, "NET:");
  const sim::Json before = m.State()["spooler"];
  InstallRun run = Install(m, request);
  EXPECT_EQ(run.outcome, StartOutcome::kRefused);
  EXPECT_EQ(run.prompts, std::vector<std::string>{"IDS_ERR_IPADDRISNULL"});
  EXPECT_EQ(m.State()["spooler"], before) << "0.0.0.0 changes nothing";

  request.ip_bytes = {192, 168, 0, 50};
  run = Install(m, request);
  ASSERT_EQ(run.state, kProgressDone) << run.text;
  EXPECT_EQ(Printer(m, "VRT-Q40(E)").value("port", ""), "KVIP_192.168.0.50");
}

TEST(Install, NetworkPortRefusedShowsTheSystemTextThenTheWizardsText) {
  EngineMachine m;
  m.CallFault("XcvData", 5);
  InstallRequest request = Request(m, "NET:");
  request.ip_bytes = {10, 0, 0, 9};
  const InstallRun run = Install(m, request);
  EXPECT_EQ(run.outcome, StartOutcome::kRefused);
  ASSERT_EQ(run.prompts.size(), 2u);
  EXPECT_EQ(run.prompts[0].rfind("ERROR: ", 0), 0u);
  EXPECT_EQ(run.prompts[1], "IDS_ERR_ADDPORTERROR");
}

TEST(Install, OutdatedMonitorAndProcessorAreBothUpdatedUnderOneRestart) {
  EngineMachine m;
  NameOwnProcessor(m);
  ASSERT_EQ(Install(m, Request(m, "KVCOM1:")).state, kProgressDone);
  // An earlier kit left an older monitor under its "n" name and an older processor.
  m.SetDword(kSerialKey, "DriverVersion", 1);
  m.SetString(kSerialKey, "Driver", "nKVRCOMMON.DLL");
  m.SetDword(kProcessorKey, "DriverVersion", 3);
  m.Put(m.processor_folder + "\\KVRPRT64.DLL", "old processor");
  const auto stops = m.State()["services"]["Spooler"].value("stops", 0);
  const auto slept = m.Slept();

  m.ctx().error_text.clear();
  const InstallRun run = Install(m, Request(m, "KVCOM1:"));
  ASSERT_EQ(run.state, kProgressDone) << run.text;
  EXPECT_EQ(m.Dword(kSerialKey, "DriverVersion"), 2u);
  EXPECT_EQ(m.String(kSerialKey, "Driver"), "KVRCOMMON.DLL");
  EXPECT_EQ(m.Dword(kProcessorKey, "DriverVersion"), 4u);
  EXPECT_EQ(m.Content(m.processor_folder + "\\KVRPRT64.DLL"), "W64 KVRPRT64.DLL");
  EXPECT_EQ(m.State()["services"]["Spooler"].value("stops", 0), stops + 1);
  EXPECT_EQ(m.State()["services"]["Spooler"]["state"], kServiceRunning);
  // Stop 100 ms, 500 ms before the copies; Windows 7 waits no more.
  EXPECT_EQ(m.Slept() - slept, 600u);
}

TEST(Install, LockedMonitorUpdateRefusedTwiceNeedsARestart) {
  EngineMachine m;
  ASSERT_EQ(Install(m, Request(m, "KVCOM1:")).state, kProgressDone);
  m.SetDword(kSerialKey, "DriverVersion", 1);
  m.PathFault(m.system32 + "\\KVRCOMMON.DLL", 32);
  m.PathFault(m.system32 + "\\nKVRCOMMON.DLL", 5);
  m.ctx().error_text.clear();
  const InstallRun run = Install(m, Request(m, "KVCOM1:"));
  EXPECT_EQ(run.state, kProgressFailed);
  EXPECT_EQ(run.text, "IDS_ERR_NEEDRESTART");
  EXPECT_EQ(m.Dword(kSerialKey, "DriverVersion"), 1u);
  EXPECT_EQ(m.String(kSerialKey, "Driver"), "KVRCOMMON.DLL");
  EXPECT_EQ(m.State()["services"]["Spooler"]["state"], kServiceRunning) << "started again after the failure";
}

TEST(Install, OutdatedLanguageMonitorHeldByTheSpoolerIsReplacedBesideIt) {
  EngineMachine m;
  ASSERT_EQ(Install(m, Request(m, "USB_VRT-Q40_1")).state, kProgressDone);
  const std::string key = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KVR Language Monitor";
  m.SetDword(key, "DriverVersion", 1);
  m.ctx().error_text.clear();
  // No restart for the language monitor: the running spooler holds its DLL.
  const InstallRun run = Install(m, Request(m, "USB_VRT-Q40_2"));
  ASSERT_EQ(run.state, kProgressDone) << run.text;
  EXPECT_EQ(m.String(key, "Driver"), "nKVRLMON.DLL");
  EXPECT_EQ(m.Dword(key, "DriverVersion"), 3u);
  EXPECT_EQ(m.Content(m.system32 + "\\nKVRLMON.DLL"), PayloadContent("W64 KVRLMON.DLL"));
}

TEST(Install, SpoolerThatWillNotStartAgainFailsTheUpdate) {
  EngineMachine m;
  ASSERT_EQ(Install(m, Request(m, "KVCOM1:")).state, kProgressDone);
  m.SetDword(kSerialKey, "DriverVersion", 1);
  m.Change([](sim::Json& s) { s["services"]["Spooler"]["start_error"] = 1058; });
  m.ctx().error_text.clear();
  const InstallRun run = Install(m, Request(m, "KVCOM1:"));
  EXPECT_EQ(run.state, kProgressFailed);
  EXPECT_EQ(run.text, "Start spool service error, error code = 1058");
}

TEST(Install, FileInUseFailsWithTheCopyText) {
  EngineMachine m;
  m.PathFault(m.driver_folder + "\\VRTQ40G.GPD", 32);
  const InstallRun run = Install(m, Request(m, "LPT1:"));
  EXPECT_EQ(run.state, kProgressFailed);
  EXPECT_EQ(run.text.rfind("IDS_ERR_COPYFIEL" + m.driver_folder + "\\VRTQ40G.GPD\n", 0), 0u) << run.text;
}

TEST(Install, HelpFileEmptyOrZero) {
  struct Case {
    const char* value;
    const char* text_start;
  };
  for (const Case& c : {Case{"", "IDS_ERR_LOSTDRIVERFILE"}, Case{"0", "IDS_ERR_COPYFIEL"}}) {
    EngineMachine m;
    std::string ini = m.Content("C:\\kit\\DRVCONFIG\\setup_receipt_64.ini");
    const std::string key = "GDIHelpFile=UNIDRV.HLP";
    for (auto at = ini.find(key); at != std::string::npos; at = ini.find(key))
      ini.replace(at, key.size(), std::string("GDIHelpFile=") + c.value);
    m.Put("C:\\kit\\DRVCONFIG\\setup_receipt_64.ini", ini);
    const InstallRun run = Install(m, Request(m, "LPT1:"));
    EXPECT_EQ(run.state, kProgressFailed);
    EXPECT_EQ(run.text.rfind(c.text_start, 0), 0u) << run.text;
    EXPECT_TRUE(Driver(m, "VRT-Q40").is_null());
  }
}

TEST(Install, FailingSpoolerCallsCarryTheirTexts) {
  struct Case {
    const char* api;
    const char* text_start;
  };
  for (const Case& c : {Case{"AddPrinterDriverEx", "IDS_ERR_ADDPRNDRV3\n"}, Case{"AddPrinter", "IDS_ERR_ADDPRINTER\n"},
                        Case{"AddPrintProcessor", "IDS_ERR_ADDPROCESSOR"},
                        Case{"GetPrinterDriverDirectory", "IDS_ERR_GETDRIVERDIR"}}) {
    EngineMachine m;
    NameOwnProcessor(m);  // the processor's registration is one of the calls
    m.CallFault(c.api, 5);
    const InstallRun run = Install(m, Request(m, "LPT1:"));
    EXPECT_EQ(run.state, kProgressFailed) << c.api;
    EXPECT_EQ(run.text.rfind(c.text_start, 0), 0u) << c.api << ": " << run.text;
  }
}

TEST(Install, StdFlavourWithWinPrintRegistersNoProcessor) {
  EngineMachine m;
  InstallRequest request = Request(m, "LPT1:");
  request.raster = 0;
  const InstallRun run = Install(m, request);
  ASSERT_EQ(run.state, kProgressDone) << run.text;
  EXPECT_EQ(Printer(m, "VRT-Q40(P)").value("print_processor", ""), "WinPrint");
  EXPECT_EQ(m.Dword(kProcessorKey, "DriverVersion"), std::nullopt);
}

TEST(Install, RefusalsBeforeTheWorker) {
  EngineMachine m;
  InstallRequest request = Request(m, "LPT1:");
  request.model_name.clear();
  EXPECT_EQ(Install(m, request).prompts, std::vector<std::string>{"IDS_ERR_SELPRINTER"});
  request = Request(m, "FILE:");
  EXPECT_EQ(Install(m, request).prompts, std::vector<std::string>{"IDS_ERR_NOSUPPORTINTERFACE"});
}

// A configuration file Windows will not give fails the install before any change.
TEST(Install, ConfigurationWindowsWillNotGiveFailsBeforeAnyChange) {
  for (const char* file : {"setup.ini", "setup_receipt_64.ini"}) {
    EngineMachine m;
    const std::string path = std::string("C:\\kit\\DRVCONFIG\\") + file;
    m.CallFault("ReadFile", 32, path, 1);
    const sim::Json before = m.State()["spooler"];
    const InstallRun run = Install(m, Request(m, "LPT1:"));
    EXPECT_EQ(run.outcome, StartOutcome::kFailed) << file;
    EXPECT_EQ(run.prompts, std::vector<std::string>{"ERROR: " + std::string(kConfigUnreadableText) + path + "\n" +
                                                    m.ctx().SystemText(32)});
    EXPECT_EQ(m.State()["spooler"], before) << file;
  }
}

// A spooler left stopped is started before the install's work.
TEST(Install, StoppedSpoolerIsStartedFirst) {
  EngineMachine m;
  m.Change([&](sim::Json& s) { s["services"]["Spooler"]["state"] = kServiceStopped; });
  EXPECT_EQ(Install(m, Request(m, "LPT1:")).state, kProgressDone);
}

}  // namespace
}  // namespace kit::setup::testing
