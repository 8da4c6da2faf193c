// Faults set with the machine tool reach the product's calls as the Win32
// codes a real system gives.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/sim/store.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

class ToolFaultTest : public SimTest {};

TEST_F(ToolFaultTest, CallFaultFailsTheNamedCallTheGivenNumberOfTimes) {
  Create();
  ASSERT_EQ(Tool("fault DIR call AddMonitor 87 --times 1"), 0);
  PutModule(u"C:\\Windows\\Sysnative\\kvmon.dll", KIT_SERIAL_MONITOR_PATH);
  p().system.SetLastError(0);
  EXPECT_FALSE(p().spooler.AddMonitor(u"", {u"KV Serial Monitor", u"", u"kvmon.dll"}));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorInvalidParameter);
  EXPECT_TRUE(p().spooler.AddMonitor(u"", {u"KV Serial Monitor", u"", u"kvmon.dll"}));
  p().system.SetLastError(0);
  EXPECT_FALSE(p().spooler.AddMonitor(u"", {u"KV Serial Monitor", u"", u"kvmon.dll"}));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorPrintMonitorAlreadyInstalled);
  // The spooler registered it where Windows keeps monitors.
  RegistryKeyPtr key;
  ASSERT_EQ(p().registry.RegOpenKeyEx(RootKey::kLocalMachine,
                                      u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KV Serial Monitor",
                                      kKeyReadWrite64, &key),
            0u);
  WString driver;
  EXPECT_EQ(key->GetString(u"Driver", &driver), 0u);
  EXPECT_EQ(driver, u"kvmon.dll");
}

TEST_F(ToolFaultTest, PathFaultsGiveInUseAndAccessDenied) {
  Create();
  ASSERT_TRUE(p().files.WriteFile(u"C:\\kit\\W32\\KVMON.DLL", Bytes{1}, WriteMode::kCreateAlways) ||
              (p().files.CreateDirectory(u"C:\\kit") && p().files.CreateDirectory(u"C:\\kit\\W32") &&
               p().files.WriteFile(u"C:\\kit\\W32\\KVMON.DLL", Bytes{1}, WriteMode::kCreateAlways)));
  ASSERT_TRUE(p().files.WriteFile(u"C:\\Windows\\system32\\kvmon.dll", Bytes{0}, WriteMode::kCreateAlways));
  ASSERT_EQ(Tool("fault DIR path 'C:\\Windows\\SysWOW64\\KVMON.DLL' 32"), 0);
  p().system.SetLastError(0);
  EXPECT_FALSE(p().files.CopyFile(u"C:\\kit\\W32\\KVMON.DLL", u"C:\\Windows\\system32\\kvmon.dll", false));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorSharingViolation);
  // The side-by-side name is free.
  EXPECT_TRUE(p().files.CopyFile(u"C:\\kit\\W32\\KVMON.DLL", u"C:\\Windows\\system32\\nKVMON.DLL", false));
  ASSERT_EQ(Tool("fault DIR path 'C:\\Windows\\SysWOW64\\nKVMON.DLL' 5"), 0);
  p().system.SetLastError(0);
  EXPECT_FALSE(p().files.DeleteFile(u"C:\\Windows\\system32\\nkvmon.dll"));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorAccessDenied);
  ASSERT_EQ(Tool("fault DIR clear"), 0);
  EXPECT_TRUE(p().files.DeleteFile(u"C:\\Windows\\system32\\nkvmon.dll"));
}

TEST_F(ToolFaultTest, SpoolerThatWillNotStartOrStaysStopPending) {
  Create();
  ASSERT_EQ(Tool("fault DIR service Spooler --start-error 1058"), 0);
  ServiceManagerHandle scm;
  ServiceHandle spooler;
  ASSERT_TRUE(p().services.OpenSCManager(kScManagerAllAccess, &scm));
  ASSERT_TRUE(scm->OpenService(u"Spooler", kServiceAllAccess, &spooler));
  ServiceStatus status;
  ASSERT_TRUE(spooler->ControlService(kServiceControlStop, &status));
  EXPECT_EQ(status.current_state, kServiceStopped);
  p().system.SetLastError(0);
  EXPECT_FALSE(spooler->StartService());
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorServiceDisabled);
  ASSERT_EQ(Tool("fault DIR clear"), 0);
  ASSERT_TRUE(spooler->StartService());

  // Stop pending for two queries, then stopped.
  ASSERT_EQ(Tool("fault DIR service Spooler --stop-pending 2"), 0);
  ASSERT_TRUE(spooler->ControlService(kServiceControlStop, &status));
  EXPECT_EQ(status.current_state, kServiceStopPending);
  p().system.SetLastError(0);
  EXPECT_FALSE(spooler->StartService());
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorServiceAlreadyRunning);
  ASSERT_TRUE(spooler->QueryServiceStatus(&status));
  EXPECT_EQ(status.current_state, kServiceStopPending);
  ASSERT_TRUE(spooler->QueryServiceStatus(&status));
  ASSERT_TRUE(spooler->QueryServiceStatus(&status));
  EXPECT_EQ(status.current_state, kServiceStopped);
  EXPECT_TRUE(spooler->StartService());
}

TEST_F(ToolFaultTest, DeviceAndRegistryFaultsCarrySetupApiAndRegistryCodes) {
  Create("win7-x64-en", 64);
  ASSERT_EQ(Tool("fault DIR call UpdateDriverForPlugAndPlayDevices 0xE000020B"), 0);
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1000"), 0);
  ASSERT_TRUE(p().files.WriteFile(u"C:\\KVPUSB.INF", Bytes{'[', 'V', ']'}, WriteMode::kCreateAlways));
  bool reboot = false;
  p().system.SetLastError(0);
  EXPECT_FALSE(p().devices.UpdateDriverForPlugAndPlayDevices(u"USB\\VID_7A5C&PID_1000", u"C:\\KVPUSB.INF", 1, &reboot));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorNoSuchDevinst);
  ASSERT_EQ(Tool("fault DIR call RegCreateKeyEx 5 --subject VELDRAN"), 0);
  RegistryKeyPtr key;
  EXPECT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyReadWrite64, &key),
            win32::kErrorAccessDenied);
  EXPECT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\Other", kKeyReadWrite64, &key), 0u);
  EXPECT_EQ(Tool("fault DIR call AddMonitor notanumber"), 1);
}

// The tool refuses a call name the machine never consults (a misspelt
// fault would otherwise let the step it was meant to fail succeed), and
// lists the names it takes; "show all" prints the ports a monitor offers
// under "ports", not under the raw jobs.
TEST_F(ToolFaultTest, UnknownCallNamesAreRefusedAndMonitorPortsShowUnderPorts) {
  Create();
  EXPECT_EQ(Tool("fault DIR call NoSuchCall 5"), 1);
  EXPECT_EQ(Tool("fault DIR call addprinterdriverex 5"), 1);  // names compare exactly, as the machine consults them
  EXPECT_EQ(ToolOutput("show DIR faults").find("call "), std::string::npos);
  const std::string help = ToolOutput("help");
  for (const char* name : {"AddPrinterDriverEx", "UpdateDriverForPlugAndPlayDevices", "SetupDiCallClassInstaller(DIF_REMOVE)",
                           "uWrite", "MoveFileReplace"}) {
    EXPECT_NE(help.find(name), std::string::npos) << name;
  }

  PutModule(u"C:\\Windows\\Sysnative\\kvmon.dll", KIT_SERIAL_MONITOR_PATH);
  ASSERT_TRUE(p().spooler.AddMonitor(u"", {u"KV Serial Monitor", u"", u"kvmon.dll"}));
  const std::string shown = ToolOutput("show DIR all");
  const auto ports = shown.find("ports:"), jobs = shown.find("raw jobs:"), port = shown.find("KVCOM2:  KV Serial Monitor");
  ASSERT_NE(port, std::string::npos) << shown;
  EXPECT_LT(ports, port);
  EXPECT_LT(port, shown.find("forms:"));
  EXPECT_EQ(shown.find("KVCOM", jobs), std::string::npos) << shown.substr(jobs);
}

// The call log lists every faultable call with the subject a fault is
// matched against, in order; a pending kill ends the process making the
// (N+1)-th call with SIGKILL, before the call's change or once it is saved,
// and leaves a whole state file behind.
TEST_F(ToolFaultTest, CallLogAndKillAfterTheNthCall) {
  Create();
  ASSERT_EQ(Tool("fault DIR log"), 0);
  RegistryKeyPtr key;
  ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN", kKeyReadWrite64, &key), 0u);
  ASSERT_TRUE(p().files.WriteFile(u"C:\\a.txt", Bytes{'a'}, WriteMode::kCreateAlways));
  p().files.CopyFile(u"C:\\a.txt", u"C:\\b.txt", false);
  Json s;
  std::string error;
  ASSERT_EQ(machine_->store().Read(&s, &error), StoreError::kNone) << error;
  std::vector<std::string> log;
  for (const auto& c : s["faults"]["log"]) log.push_back(c.value("api", "") + " " + c.value("subject", ""));
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log.front(), "RegCreateKeyEx HKLM\\SOFTWARE\\VELDRAN");
  EXPECT_EQ(log.back(), "CopyFile C:\\b.txt");

  // Killed before the (after+1)-th call's change, or once it is saved.
  for (const auto& [after, effect] : std::initializer_list<std::pair<int, bool>>{{0, false}, {1, false}, {0, true}, {2, true}}) {
    ASSERT_EQ(Tool("fault DIR kill --after " + std::to_string(after) + (effect ? " --after-effect" : "")), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      auto m = Reopen();
      RegistryKeyPtr k;
      for (int i = 0; i < 4; ++i)
        m->platform().registry.RegCreateKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\Kill" + FromUtf8(std::to_string(i)),
                                              kKeyReadWrite64, &k);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << after;
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    ASSERT_EQ(Tool("fault DIR clear"), 0);
    // The calls before the kill took effect; the one killed did only after
    // its effect.
    auto m = Reopen();
    for (int i = 0; i < 4; ++i) {
      RegistryKeyPtr k;
      EXPECT_EQ(m->platform().registry.RegOpenKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\Kill" + FromUtf8(std::to_string(i)),
                                                    kKeyRead | kKeyWow64_64Key, &k) == 0,
                i < after + (effect ? 1 : 0))
          << after << " " << effect << " " << i;
      m->platform().registry.RegDeleteKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\Kill" + FromUtf8(std::to_string(i)),
                                            kKeyWow64_64Key);
    }
  }
}

}  // namespace
}  // namespace kit::sim
