// Monitors' and processors' modules held by the running spooler, and the
// ports a loaded monitor lists.
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
  machine_ = Reopen(64);
  PutModule(u"C:\\Windows\\system32\\KVRCOMMON.DLL", KIT_SERIAL_MONITOR_PATH);
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

// The USB port monitor's ports are the install's records: the spooler asks
// the loaded monitor again whenever ports are listed or a printer names
// one, so a record written after the monitor was added is a port at once,
// and one taken away is gone.
TEST_F(MonitorModulesTest, UsbPortsFollowTheRecordsThroughTheLoadedMonitor) {
  Create("win7-x64-en", 64);
  PutModule(u"C:\\Windows\\system32\\KVRUSBMON.DLL", KIT_USB_MONITOR_PATH);
  ASSERT_TRUE(p().spooler.AddMonitor(u"", {u"KVR USB Port", u"", u"KVRUSBMON.DLL"})) << p().system.GetLastError();
  auto usb_ports = [&] {
    const auto names = PortNames();
    return std::count_if(names.begin(), names.end(), [](const WString& n) { return n.rfind(u"USB_", 0) == 0; });
  };
  EXPECT_EQ(usb_ports(), 0) << "no records, no ports";
  RegistryKeyPtr records;
  ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyReadWrite64,
                                        &records),
            0u);
  ASSERT_EQ(records->SetDword(u"USB_VRT-Q40_1", 0), 0u);
  ASSERT_EQ(records->SetDword(u"USB_VRT-Q40_9", 0), 0u);  // no index the monitor serves
  const auto names = PortNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), u"USB_VRT-Q40_1"), 1);
  EXPECT_EQ(usb_ports(), 1);
  // A printer names the recorded port; an unrecorded one is refused.
  ASSERT_EQ(Tool("add-printer DIR 'VRT-Q40(U) 1' --port USB_VRT-Q40_1"), 0);
  EXPECT_NE(Tool("add-printer DIR 'VRT-Q40(U) 2' --port USB_VRT-Q40_2"), 0);
  ASSERT_EQ(records->DeleteValue(u"USB_VRT-Q40_9"), 0u);
  ASSERT_EQ(records->DeleteValue(u"USB_VRT-Q40_1"), 0u);
  EXPECT_EQ(usb_ports(), 0);
}

}  // namespace
}  // namespace kit::sim
