// Monitors' and processors' modules held by the running spooler, and the
// ports monitors offer by machine rule.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

class MonitorModulesTest : public SimTest {
 protected:
  void Put(const WString& path) {
    ASSERT_TRUE(p().files.WriteFile(path, Bytes{'x'}, WriteMode::kCreateAlways));
  }
  bool Stop() {
    ServiceManagerHandle manager;
    ServiceHandle service;
    ServiceStatus status;
    return p().services.OpenSCManager(kScManagerAllAccess, &manager) &&
           manager->OpenService(kSpoolerServiceName, kServiceStop, &service) &&
           service->ControlService(kServiceControlStop, &status);
  }
  std::vector<WString> PortNames() {
    std::vector<PortInfo2> ports;
    std::uint32_t needed = 0, returned = 0;
    p().spooler.EnumPorts(u"", 1, &ports, 0, &needed, &returned);
    EXPECT_TRUE(p().spooler.EnumPorts(u"", 1, &ports, needed, &needed, &returned));
    std::vector<WString> names;
    for (const auto& port : ports) names.push_back(port.port_name);
    return names;
  }
};

TEST_F(MonitorModulesTest, LoadedModulesCannotBeReplacedWhileTheSpoolerRuns) {
  Create("win7-x64-en", 64);
  // The one-byte file is no module: a rule lets the spooler take it unloaded.
  ASSERT_EQ(Tool("monitor-rule " + folder_.string() + " --dll-contains KVRCOMMON --ports KVCOM1:"), 0);
  machine_ = Reopen(64);
  Put(u"C:\\Windows\\system32\\KVRCOMMON.DLL");
  Put(u"C:\\Windows\\system32\\spool\\prtprocs\\x64\\ACMEPP64.DLL");
  Put(u"C:\\Windows\\Temp\\new.dll");
  ASSERT_TRUE(p().spooler.AddMonitor(u"", {u"KVR Serial Port", u"", u"KVRCOMMON.DLL"}));
  ASSERT_TRUE(p().spooler.AddPrintProcessor(u"", u"", u"ACMEPP64.DLL", u"Acme Print"));
  for (const WString target : {u"C:\\Windows\\system32\\kvrcommon.dll",
                               u"C:\\Windows\\system32\\spool\\prtprocs\\x64\\ACMEPP64.DLL"}) {
    EXPECT_FALSE(p().files.CopyFile(u"C:\\Windows\\Temp\\new.dll", target, false));
    EXPECT_EQ(p().system.GetLastError(), win32::kErrorSharingViolation);
  }
  // Beside it, or once the spooler has stopped, the copy goes through.
  EXPECT_TRUE(p().files.CopyFile(u"C:\\Windows\\Temp\\new.dll", u"C:\\Windows\\system32\\nKVRCOMMON.DLL", false));
  ASSERT_TRUE(Stop());
  EXPECT_TRUE(p().files.CopyFile(u"C:\\Windows\\Temp\\new.dll", u"C:\\Windows\\system32\\KVRCOMMON.DLL", false));
}

TEST_F(MonitorModulesTest, FixedPortListOfAMonitorRule) {
  Create("win7-x64-en", 64);
  ASSERT_EQ(Tool("monitor-rule " + folder_.string() + " --dll-contains KVRCOM --ports KVCOM1:,KVCOM2:"), 0);
  ASSERT_EQ(Tool("monitor-rule " + folder_.string() + " --dll-contains KVRCOM"), 1) << "a rule names its ports";
  machine_ = Reopen(64);
  const auto before = PortNames();
  EXPECT_EQ(std::count(before.begin(), before.end(), u"KVCOM1:"), 0) << "no monitor, no ports";
  Put(u"C:\\Windows\\system32\\KVRCOMMON.DLL");
  ASSERT_TRUE(p().spooler.AddMonitor(u"", {u"KVR Serial Port", u"", u"KVRCOMMON.DLL"}));
  const auto names = PortNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), u"KVCOM1:"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), u"KVCOM2:"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), u"KVCOM3:"), 0);
}

}  // namespace
}  // namespace kit::sim
