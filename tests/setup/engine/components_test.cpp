// Port monitors, language monitor, print processor and spooler control on
// virtual machines.
#include <gtest/gtest.h>

#include "setup/config/model_config.h"
#include "setup/engine/components.h"
#include "setup/engine/spooler_control.h"
#include "setup/pages/confirm_page.h"
#include "tests/setup/engine/engine_machine.h"
#include "ui/text.h"

namespace kit::setup::testing {
namespace {

const std::string kSerialKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KVR Serial Port";
const std::string kUsbKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KVR USB Port";
const std::string kProcessorKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print Processors\\KVRPrint";

sim::Json FindMonitor(const sim::Json& state, const std::string& name) {
  for (const auto& m : state["spooler"]["monitors"])
    if (m.value("name", "") == name) return m;
  return nullptr;
}

TEST(PortMonitors, SerialMonitorIsRegisteredWithItsVersion) {
  EngineMachine m;
  const MonitorSet set = ReadMonitorSet(m.config(), m.ctx().os_code);
  EXPECT_EQ(InstallPortMonitors(m.ctx(), kPortSerial, set), 0);
  EXPECT_EQ(FindMonitor(m.State(), "KVR Serial Port").value("dll", ""), "KVRCOMMON.DLL");
  EXPECT_EQ(m.Dword(kSerialKey, "DriverVersion"), 2u);
  EXPECT_EQ(m.Content(m.system32 + "\\KVRCOMUI.DLL"), "W64 KVRCOMUI.DLL");
  // Registered once: the next install finds it current.
  EXPECT_EQ(InstallPortMonitors(m.ctx(), kPortSerial, set), 0);
  // Parallel and network ports need no monitor of the kit.
  EXPECT_EQ(InstallPortMonitors(m.ctx(), kPortParallel, set), 0);
  EXPECT_EQ(InstallPortMonitors(m.ctx(), kPortNetwork, set), 0);
  EXPECT_TRUE(FindMonitor(m.State(), "KVR USB Port").is_null());
}

// A DLL the copy cannot replace (in use, or denied) is copied side by side
// under its "n" name, and the monitor registered with that copy: the kit's
// own file, not the one in place.
TEST(PortMonitors, LockedDllRegistersUnderItsInUseName) {
  for (const std::uint32_t error : {32u, 5u}) {
    EngineMachine m;
    m.PathFault(m.system32 + "\\KVRCOMMON.DLL", error);
    EXPECT_EQ(InstallPortMonitors(m.ctx(), kPortSerial, ReadMonitorSet(m.config(), m.ctx().os_code)), 0) << error;
    EXPECT_EQ(FindMonitor(m.State(), "KVR Serial Port").value("dll", ""), "nKVRCOMMON.DLL") << error;
    EXPECT_EQ(m.String(kSerialKey, "Driver"), "nKVRCOMMON.DLL") << error;
    EXPECT_EQ(m.Content(m.system32 + "\\nKVRCOMMON.DLL"), PayloadContent("W64 KVRCOMMON.DLL")) << error;
  }
}

TEST(PortMonitors, InUseCopyRefusedTooNeedsARestartAndWritesNothing) {
  EngineMachine m;
  m.PathFault(m.system32 + "\\KVRCOMMON.DLL", 32);
  m.PathFault(m.system32 + "\\nKVRCOMMON.DLL", 32);
  EXPECT_EQ(InstallPortMonitors(m.ctx(), kPortSerial, ReadMonitorSet(m.config(), m.ctx().os_code)), kMonitorFailed);
  EXPECT_EQ(m.ctx().error_text, "IDS_ERR_NEEDRESTART");
  EXPECT_TRUE(FindMonitor(m.State(), "KVR Serial Port").is_null());
  EXPECT_EQ(m.String(kSerialKey, "Driver"), std::nullopt);
}

TEST(PortMonitors, OutdatedOrUnversionedMonitorsAreReported) {
  struct Case {
    std::optional<std::uint32_t> installed;
    int expected;
  };
  for (const Case& c : {Case{1u, kUpdateUsbMonitor}, Case{std::nullopt, kUpdateUsbMonitor}, Case{5u, 0}, Case{9u, 0}}) {
    EngineMachine m;
    if (c.installed) {
      m.SetDword(kUsbKey, "DriverVersion", *c.installed);
    } else {
      m.SetString(kUsbKey, "Driver", "KVRUSBMON.DLL");
    }
    EXPECT_EQ(InstallPortMonitors(m.ctx(), kPortUsb, ReadMonitorSet(m.config(), m.ctx().os_code)), c.expected);
  }
}

TEST(PortMonitors, RegistrationFailureCarriesTheSystemText) {
  EngineMachine m;
  m.CallFault("AddMonitor", 1722);
  EXPECT_EQ(InstallPortMonitors(m.ctx(), kPortUsb, ReadMonitorSet(m.config(), m.ctx().os_code)), kMonitorFailed);
  EXPECT_EQ(m.ctx().error_text.rfind("IDS_ERR_ADDMONITOR\n", 0), 0u);
  EXPECT_GT(m.ctx().error_text.size(), std::string("IDS_ERR_ADDMONITOR\n").size());
  // An already installed monitor counts as registered.
  EngineMachine again;
  again.CallFault("AddMonitor", 3006);
  EXPECT_EQ(InstallPortMonitors(again.ctx(), kPortUsb, ReadMonitorSet(again.config(), again.ctx().os_code)), 0);
  EXPECT_TRUE(again.ctx().error_text.empty());
}

TEST(LanguageMonitor, UsbOnlyAndReportsOutdated) {
  EngineMachine m;
  const MonitorSet set = ReadMonitorSet(m.config(), m.ctx().os_code);
  EXPECT_EQ(InstallLanguageMonitor(m.ctx(), kPortSerial, set.language), 0);
  EXPECT_TRUE(FindMonitor(m.State(), "KVR Language Monitor").is_null());
  EXPECT_EQ(InstallLanguageMonitor(m.ctx(), kPortUsb, set.language), 0);
  EXPECT_EQ(FindMonitor(m.State(), "KVR Language Monitor").value("dll", ""), "KVRLMON.DLL");
  MonitorConfig newer = set.language;
  newer.version = 7;
  EXPECT_EQ(InstallLanguageMonitor(m.ctx(), kPortUsb, newer), kUpdateLanguageMonitor);
}

// The system's processor, in whatever case the data spells it, is neither
// registered nor copied over, even when a file is named for it.
TEST(PrintProcessor, WinPrintRegistersNothing) {
  for (const char* name : {"WinPrint", "winprint", "WINPRINT"}) {
    EngineMachine m;
    m.Put("C:\\kit\\W64\\WINPRINT.DLL", "kit's file");
    m.Put(m.processor_folder + "\\WINPRINT.DLL", "system winprint");
    const sim::Json before = m.State()["spooler"]["processors"];
    EXPECT_EQ(InstallPrintProcessor(m.ctx(), name, "WINPRINT.DLL", 4), 0) << name;
    EXPECT_EQ(m.State()["spooler"]["processors"], before) << name;
    EXPECT_EQ(m.Content(m.processor_folder + "\\WINPRINT.DLL"), "system winprint") << name;
    EXPECT_EQ(m.Slept(), 0u) << name;
  }
}

TEST(PrintProcessor, RegistersCopiesAndWaits) {
  EngineMachine m;
  EXPECT_EQ(InstallPrintProcessor(m.ctx(), "KVRPrint", "KVRPRT64.DLL", 4), 0);
  EXPECT_EQ(m.Content(m.processor_folder + "\\KVRPRT64.DLL"), "W64 KVRPRT64.DLL");
  EXPECT_EQ(m.Dword(kProcessorKey, "DriverVersion"), 4u);
  EXPECT_EQ(m.Slept(), kAfterProcessorMs);
  EXPECT_EQ(InstallPrintProcessor(m.ctx(), "KVRPrint", "KVRPRT64.DLL", 4), 0);
  EXPECT_EQ(InstallPrintProcessor(m.ctx(), "KVRPrint", "KVRPRT64.DLL", 5), kUpdateProcessor);
}

TEST(PrintProcessor, AlreadyInstalledWithoutKeyFails) {
  EngineMachine m;
  m.CallFault("AddPrintProcessor", 3005);
  EXPECT_EQ(InstallPrintProcessor(m.ctx(), "KVRPrint", "KVRPRT64.DLL", 4), kProcessorFailed);
  EXPECT_EQ(m.ctx().error_text, "IDS_ERR_ADDPROCESSOR");
  EXPECT_EQ(m.Dword(kProcessorKey, "DriverVersion"), std::nullopt);
}

TEST(PrintProcessor, DllNamedZeroFailsOnTheCopy) {
  EngineMachine m;
  EXPECT_EQ(InstallPrintProcessor(m.ctx(), "KVRPrint", "0", 4), kProcessorFailed);
  EXPECT_EQ(m.ctx().error_text.rfind("IDS_ERR_COPYFIEL", 0), 0u) << m.ctx().error_text;
}

TEST(SpoolerControl, StopStartAndWait) {
  EngineMachine m;
  StopSpooler(m.ctx());
  EXPECT_EQ(m.State()["services"]["Spooler"]["state"], kServiceStopped);
  EXPECT_EQ(m.Slept(), kAfterStopMs);
  EXPECT_TRUE(StartSpooler(m.ctx()));
  EXPECT_TRUE(StartSpooler(m.ctx())) << "already running counts as started";
  EXPECT_EQ(WaitForSpooler(m.ctx()), kServiceRunning);
  EXPECT_TRUE(m.ctx().error_text.empty());
}

TEST(SpoolerControl, ServiceThatWillNotStart) {
  EngineMachine m;
  m.Change([](sim::Json& s) { s["services"]["Spooler"]["start_error"] = 1058; });
  StopSpooler(m.ctx());
  EXPECT_FALSE(StartSpooler(m.ctx()));
  EXPECT_EQ(m.ctx().error_text, "Start spool service error, error code = 1058");
  const auto before = m.Slept();
  EXPECT_EQ(WaitForSpooler(m.ctx()), kServiceStopped);
  EXPECT_EQ(m.Slept() - before, 10u * kSpoolerWaitStepMs);
}

TEST(SpoolerControl, StopPendingIsWaitedOut) {
  EngineMachine m;
  m.Change([](sim::Json& s) { s["services"]["Spooler"]["stop_pending_queries"] = 20; });
  StopSpooler(m.ctx());
  EXPECT_EQ(WaitForSpooler(m.ctx()), kServiceStopPending);
  EXPECT_EQ(m.ctx().error_text, "StartSpoolService error");
}

}  // namespace
}  // namespace kit::setup::testing
