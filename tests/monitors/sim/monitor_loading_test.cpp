// AddMonitor on the virtual machine loads the monitor's module as Windows
// does, and a job to one of its ports goes through the module to the
// machine's serial port, waiting while the printer is away.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/sim/monitor_jobs.h"
#include "platform/sim/monitor_modules.h"
#include "platform/sim/serial_line.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

namespace fs = std::filesystem;

Bytes HostBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MonitorLoadingTest : public SimTest {
 protected:
  void Put(const WString& name, const Bytes& bytes) {
    ASSERT_TRUE(p().files.WriteFile(u"C:\\Windows\\system32\\" + name, bytes, WriteMode::kCreateAlways));
  }
  std::vector<PortInfo2> Ports() {
    std::vector<PortInfo2> ports;
    std::uint32_t needed = 0, returned = 0;
    p().spooler.EnumPorts(u"", 2, &ports, 0, &needed, &returned);
    EXPECT_TRUE(p().spooler.EnumPorts(u"", 2, &ports, needed, &needed, &returned));
    return ports;
  }
};

TEST_F(MonitorLoadingTest, AddMonitorAnswersAsWindowsLoadingTheModule) {
  Create("win7-x64-en", 64);
  const Bytes monitor = HostBytes(KIT_SERIAL_MONITOR_PATH);
  ASSERT_GT(monitor.size(), 1000u);
  Put(u"TEXT.DLL", Bytes{'p', 'l', 'a', 'c', 'e', 'h', 'o', 'l', 'd', 'e', 'r'});
  Put(u"EMPTY.DLL", Bytes{});
  Put(u"NOENTRY.DLL", HostBytes(KIT_NO_ENTRY_MODULE_PATH));
  Put(u"KVRCOMMON.DLL", monitor);
  struct Row {
    const char16_t* name;
    const char16_t* dll;
    std::uint32_t error;  // 0: added
  };
  const Row rows[] = {
      {u"Missing", u"ABSENT.DLL", win32::kErrorModNotFound},
      {u"Text stand-in", u"TEXT.DLL", win32::kErrorBadExeFormat},
      {u"Empty file", u"EMPTY.DLL", win32::kErrorBadExeFormat},
      {u"No entry point", u"NOENTRY.DLL", win32::kErrorProcNotFound},
      {u"KVR Serial Port", u"KVRCOMMON.DLL", 0},
      {u"KVR Serial Port", u"KVRCOMMON.DLL", win32::kErrorPrintMonitorAlreadyInstalled},
  };
  for (const Row& row : rows) {
    const std::string label = ToUtf8(row.dll);
    p().system.SetLastError(0xBAD);
    const bool added = p().spooler.AddMonitor(u"", {row.name, u"", row.dll});
    EXPECT_EQ(added, row.error == 0) << label;
    if (row.error != 0) {
      EXPECT_EQ(p().system.GetLastError(), row.error) << label;
    }
  }
  // A refused module leaves no monitor behind; the loaded one lists the
  // ports its EnumPorts gives, under its name.
  std::vector<MonitorInfo2> monitors;
  std::uint32_t needed = 0, returned = 0;
  p().spooler.EnumMonitors(u"", 2, &monitors, 0, &needed, &returned);
  ASSERT_TRUE(p().spooler.EnumMonitors(u"", 2, &monitors, needed, &needed, &returned));
  int kit_monitors = 0;
  for (const auto& m : monitors) kit_monitors += m.name == u"KVR Serial Port" || m.dll_name == u"TEXT.DLL";
  EXPECT_EQ(kit_monitors, 1);
  int serial_ports = 0;
  for (const auto& port : Ports()) {
    if (port.monitor_name != u"KVR Serial Port") continue;
    ++serial_ports;
    EXPECT_EQ(port.port_name, u"KVCOM" + FromUtf8(std::to_string(serial_ports)) + u":");
  }
  EXPECT_EQ(serial_ports, 8);
}

// The whole road of a serial printer: a job to KVCOM1: reaches COM1 through
// the monitor; with the printer away (COM1: held) the next job waits in the
// queue, and prints whole once the port leads to the printer again.
TEST_F(MonitorLoadingTest, SerialJobsGoThroughTheMonitorAndWaitForAnAbsentPrinter) {
  Create("win7-x64-en", 64);
  Put(u"KVRCOMMON.DLL", HostBytes(KIT_SERIAL_MONITOR_PATH));
  ASSERT_TRUE(p().spooler.AddMonitor(u"", {u"KVR Serial Port", u"", u"KVRCOMMON.DLL"})) << p().system.GetLastError();
  ASSERT_EQ(Tool("add-printer DIR 'VRT-P80(S)' --port KVCOM1:"), 0);
  const fs::path capture = SerialCaptureFile(folder_, 1);

  auto print = [&](const Bytes& bytes) {
    PrinterHandle printer;
    ASSERT_TRUE(p().spooler.OpenPrinter(u"VRT-P80(S)", {}, &printer));
    ASSERT_NE(printer->StartDocPrinter({u"receipt", u"", u"RAW"}), 0u);
    std::uint32_t written = 0;
    ASSERT_TRUE(printer->WritePrinter(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &written));
    ASSERT_TRUE(printer->EndDocPrinter());
  };
  auto statuses = [&] {
    std::string text;
    Json s;
    std::string message;
    EXPECT_EQ(machine_->store().Read(&s, &message), StoreError::kNone);
    for (const auto& j : s["spooler"]["jobs"]) text += j.value("status", std::string()) + ";";
    return text;
  };

  Bytes first(40000);  // more than one WritePort piece
  for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<std::uint8_t>(i * 7);
  print(first);
  EXPECT_EQ(statuses(), "printed;");
  EXPECT_EQ(HostBytes(capture), first);

  ASSERT_EQ(Tool("map-port DIR COM1: hold"), 0);
  const Bytes second = {0x1B, 0x40, 'O', 'K', 0x0A, 0x1D, 0x56, 0x00};
  const auto slept_before = machine_->SleptMilliseconds();
  print(second);
  EXPECT_EQ(statuses(), "printed;waiting;");
  EXPECT_EQ(HostBytes(capture), first) << "nothing reaches a printer that is away";
  // Each write that found no printer paused before the spooler's next try.
  EXPECT_GE(machine_->SleptMilliseconds() - slept_before, 2000u * kIdleWritesBeforeWaiting);

  // The printer is back: the waiting job goes out whole, once.
  ASSERT_EQ(Tool("map-port DIR COM1: file"), 0);
  EXPECT_EQ(statuses(), "printed;printed;");
  Bytes both = first;
  both.insert(both.end(), second.begin(), second.end());
  EXPECT_EQ(HostBytes(capture), both);
}

// UTF-16LE bytes of `text` (which may hold NULs) and a closing NUL.
Bytes Utf16(const std::u16string& text) {
  Bytes bytes;
  for (char16_t c : text + u'\0') {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}
std::u16string Text(const Bytes& bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

// XcvData on the machine reaches the loaded monitor's XcvOpenPort /
// XcvDataPort / XcvClosePort, with the access the handle was opened with:
// what the port dialog asks, in the order it asks it.
TEST_F(MonitorLoadingTest, XcvDataGoesToTheLoadedMonitor) {
  Create("win7-x64-en", 64);
  Put(u"KVRCOMMON.DLL", HostBytes(KIT_SERIAL_MONITOR_PATH));
  ASSERT_TRUE(p().spooler.AddMonitor(u"", {u"KVR Serial Port", u"", u"KVRCOMMON.DLL"})) << p().system.GetLastError();
  constexpr std::uint32_t kAdminister = 1;  // SERVER_ACCESS_ADMINISTER
  struct Row {
    const char* label;
    const char16_t* object;
    std::uint32_t access;
    const char16_t* command;
    std::u16string input;
    std::uint32_t output_size;
    std::uint32_t status;
    std::u16string output;  // when the status is 0
  };
  const Row rows[] = {
      {"the dialog's module", u",XcvMonitor KVR Serial Port", kAdminister, u"MonitorUI", u"", 256, 0, u"KVRCOMUI.DLL"},
      // Windows' own four fields for COM2 (no flow field: none).
      {"Windows' record of COM2", u",XcvMonitor KVR Serial Port", kAdminister, u"GetPortSettings", u"KVCOM2:", 256,
       0, u"9600,n,8,1, "},
      {"nothing stored: the defaults", u",XcvMonitor KVR Serial Port", kAdminister, u"GetPortSettings", u"KVCOM6:",
       256, 0, u"9600,n,8,1,p"},
      {"a change", u",XcvMonitor KVR Serial Port", kAdminister, u"SetPortSettings",
       std::u16string(u"KVCOM2:\0" u"19200,e,7,1,x", 21), 0, 0, u""},
      {"the change read back", u",XcvPort KVCOM2:", 0, u"GetPortSettings", u"KVCOM2:", 256, 0, u"19200,e,7,1,x"},
      {"a buffer too small", u",XcvPort KVCOM2:", 0, u"GetPortSettings", u"KVCOM2:", 4,
       win32::kErrorInsufficientBuffer, u""},
      {"a change without administer access", u",XcvPort KVCOM2:", 0, u"SetPortSettings",
       std::u16string(u"KVCOM2:\0" u"9600,n,8,1,p", 20), 0, win32::kErrorAccessDenied, u""},
      {"settings no port takes", u",XcvMonitor KVR Serial Port", kAdminister, u"SetPortSettings",
       std::u16string(u"KVCOM2:\0" u"19200,q,7,1,x", 21), 0, win32::kErrorInvalidData, u""},
      {"an unknown command", u",XcvMonitor KVR Serial Port", kAdminister, u"AddPort", u"KVCOM9:", 0,
       win32::kErrorInvalidParameter, u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    PrinterDefaults defaults;
    defaults.desired_access = row.access;
    PrinterHandle xcv;
    ASSERT_TRUE(p().spooler.OpenPrinter(row.object, defaults, &xcv)) << p().system.GetLastError();
    Bytes output;
    std::uint32_t needed = 0, status = 0xBAD;
    ASSERT_TRUE(xcv->XcvData(row.command, Utf16(row.input), row.output_size, &output, &needed, &status));
    EXPECT_EQ(status, row.status);
    if (row.status == 0) {
      EXPECT_EQ(Text(output), row.output);
    } else if (row.status == win32::kErrorInsufficientBuffer) {
      EXPECT_GT(needed, row.output_size) << "the size to retry with";
    }
  }
  // The change is where the install stores a port's settings.
  RegistryKeyPtr ports;
  ASSERT_EQ(p().registry.RegOpenKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports",
                                      kKeyReadWrite64, &ports),
            0u);
  Bytes value(256);
  std::uint32_t type = 0, size = static_cast<std::uint32_t>(value.size());
  ASSERT_EQ(ports->QueryValue(u"COM2:", &type, value.data(), &size), 0u);
  value.resize(size);
  EXPECT_EQ(Text(value), u"19200,e,7,1,x");
}

}  // namespace
}  // namespace kit::sim
