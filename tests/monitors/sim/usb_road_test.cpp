// The road of a USB printer on the virtual machine: the USB port monitor
// and the language monitor loaded as Windows loads them, a printer whose
// driver names the language monitor on a recorded USB_ port, and its jobs
// through both monitors to the plugged family printer with the port's id;
// unplugged, the job waits (its status in the queue says so) and prints
// whole, once, when the printer is plugged back.
#include <gtest/gtest.h>

#include <string>

#include "monitors/core/job_status.h"
#include "platform/sim/monitor_modules.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

class UsbRoadTest : public SimTest {
 protected:
  Json State() {
    Json s;
    std::string message;
    EXPECT_EQ(machine_->store().Read(&s, &message), StoreError::kNone) << message;
    return s;
  }
  // The hex of everything written on pipe 0 to the device plugged with
  // `serial`.
  std::string Printed(const std::string& serial) {
    std::string hex;
    const Json s = State();
    for (const auto& d : s["devices"]["list"]) {
      if (d.value("instance_id", std::string()).find(serial) == std::string::npos || !d.contains("usb")) continue;
      for (const auto& w : d["usb"].value("writes", Json::array())) {
        if (w.value("pipe", -1) == 0) hex += w.value("data", std::string());
      }
    }
    return hex;
  }
  Json Job(std::uint32_t id) {
    const Json s = State();
    for (const auto& j : s["spooler"]["jobs"]) {
      if (j.value("id", 0u) == id) return j;
    }
    ADD_FAILURE() << "no job " << id;
    return Json::object();
  }
  std::uint32_t Print(const WString& printer_name, const Bytes& bytes) {
    PrinterHandle printer;
    EXPECT_TRUE(p().spooler.OpenPrinter(printer_name, {}, &printer));
    if (!printer) return 0;
    const std::uint32_t id = printer->StartDocPrinter({u"receipt", u"", u"RAW"});
    EXPECT_NE(id, 0u) << p().system.GetLastError();
    std::uint32_t written = 0;
    EXPECT_TRUE(printer->WritePrinter(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &written));
    EXPECT_TRUE(printer->EndDocPrinter());
    return id;
  }
};

TEST_F(UsbRoadTest, JobsGoThroughTheLanguageAndUsbMonitorsAndWaitForAnUnpluggedPrinter) {
  Create("win7-x64-en", 64);
  const WString system = p().system.GetSystemDirectory();
  // What the install lays and adds: both monitors, the maker's library
  // beside the USB one (the machine answers its calls), the port's record.
  PutModule(system + u"\\KVRUSBMON.DLL", KIT_USB_MONITOR_PATH);
  PutModule(system + u"\\KVRLMON.DLL", KIT_LANGUAGE_MONITOR_PATH);
  ASSERT_TRUE(p().files.WriteFile(system + u"\\KvUsbInt.dll", Bytes{'M', 'Z'}, WriteMode::kCreateAlways));
  ASSERT_TRUE(p().spooler.AddMonitor(u"", {u"KVR USB Port", u"", u"KVRUSBMON.DLL"})) << p().system.GetLastError();
  ASSERT_TRUE(p().spooler.AddMonitor(u"", {u"KVR Language Monitor", u"", u"KVRLMON.DLL"}))
      << p().system.GetLastError();
  RegistryKeyPtr records;
  ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyReadWrite64,
                                        &records),
            0u);
  ASSERT_EQ(records->SetDword(u"USB_VRT-Q40_2", 0), 0u);

  // The driver names the language monitor, as the install's driver record
  // for a USB printer does.
  AddUnidrvDriver(u"VRT-Q40", u"VRTQ40G.GPD", u"KVR Language Monitor");
  PrinterInfo2 info;
  info.printer_name = u"VRT-Q40(U) 2";
  info.port_name = u"USB_VRT-Q40_2";
  info.driver_name = u"VRT-Q40";
  info.print_processor = u"winprint";
  PrinterHandle added;
  ASSERT_TRUE(p().spooler.AddPrinter(u"", info, &added)) << p().system.GetLastError();
  added.reset();

  // Two family printers: ids 9 (9 mod 8 = 1: port index 2) and 0 (index 1).
  const std::string plug_ours = "plug DIR --vid 0x2F3A --pid 0x0101 --kvusb --release 9 --serial OURS";
  ASSERT_EQ(Tool("plug DIR --vid 0x2F3A --pid 0x0101 --kvusb --release 0 --serial OTHER"), 0);
  ASSERT_EQ(Tool(plug_ours), 0);

  const Bytes first = {0x1B, 0x40, 'O', 'n', 'e', 0x0A};
  const std::uint32_t one = Print(u"VRT-Q40(U) 2", first);
  EXPECT_EQ(Job(one).value("status", ""), "printed");
  EXPECT_EQ(Printed("OURS"), "1b404f6e650a");
  EXPECT_EQ(Printed("OTHER"), "") << "only the printer with the port's id";

  // Unplugged: the job waits, the language monitor's text on it.
  ASSERT_EQ(Tool("unplug DIR 'USB\\VID_2F3A&PID_0101\\OURS'"), 0);
  const auto slept_before = machine_->SleptMilliseconds();
  const Bytes second = {0x1B, 0x40, 'T', 'w', 'o', 0x0A, 0x1D, 0x56, 0x00};
  const std::uint32_t two = Print(u"VRT-Q40(U) 2", second);
  const Json waiting = Job(two);
  EXPECT_EQ(waiting.value("status", ""), "waiting");
  EXPECT_EQ(waiting.value("status_text", ""), ToUtf8(monitors::kJobWaitingText));
  EXPECT_EQ(waiting.value("sent", 1), 0);
  EXPECT_GE(machine_->SleptMilliseconds() - slept_before, 2000u * kIdleWritesBeforeWaiting);
  EXPECT_EQ(Printed("OURS"), "1b404f6e650a");
  EXPECT_NE(ToolOutput("show DIR jobs").find("shows: Printer offline"), std::string::npos);

  // A map-port try with the printer still away leaves it waiting; plugged
  // back, it prints whole and once, and its text is gone.
  ASSERT_EQ(Tool("map-port DIR LPT1: file"), 0);
  EXPECT_EQ(Job(two).value("status", ""), "waiting");
  ASSERT_EQ(Tool(plug_ours), 0);
  const Json printed = Job(two);
  EXPECT_EQ(printed.value("status", ""), "printed");
  EXPECT_FALSE(printed.contains("status_text")) << printed.dump();
  EXPECT_EQ(Printed("OURS"), "1b404f6e650a1b4054776f0a1d5600");
  EXPECT_EQ(Printed("OTHER"), "");
  EXPECT_NE(Tool(plug_ours), 0) << "a device plugged already";
}

}  // namespace
}  // namespace kit::sim
