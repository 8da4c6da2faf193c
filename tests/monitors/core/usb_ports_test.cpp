// The "KVR USB Port" monitor on a virtual machine: the ports the install
// recorded, the printer each one writes to (the one whose USB id belongs
// to the port's index), and a job's writes when the printer or the maker's
// library is not there.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "monitors/core/usb_ports.h"
#include "tests/monitors/core/port_doubles.h"
#include "platform/sim/core.h"
#include "platform/win32_errors.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::monitors {
namespace {

constexpr char16_t kLibrary[] = u"C:\\kit\\KvUsbInt.dll";

using testing::CountingClock;
using testing::States;

class UsbPortsTest : public sim::SimTest {
 protected:
  void SetUp() override { Create("win7-x64-en", 64); }
  void Record(const std::vector<const char16_t*>& ports) {
    RegistryKeyPtr key;
    ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, kUsbPortRecordKey, kKeyAllAccess, &key), 0u);
    for (const char16_t* port : ports) ASSERT_EQ(key->SetDword(port, 1), 0u);
  }
  void Plug(unsigned release) {
    ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1000 --release " + std::to_string(release) + " --kvusb"), 0);
  }
  sim::Json State() {
    sim::Json state;
    std::string message;
    machine_->store().Read(&state, &message);
    return state;
  }
  // What each plugged printer received, by its USB id: "id:HEX" joined by
  // spaces, printers that got nothing left out.
  std::string Received() {
    std::string out;
    const sim::Json state = State();
    for (const auto& d : state["devices"]["list"]) {
      if (!d.contains("usb") || !d["usb"].contains("writes")) continue;
      std::string hex;
      for (const auto& w : d["usb"]["writes"]) hex += w.value("data", std::string());
      if (hex.empty()) continue;
      if (!out.empty()) out += ' ';
      out += std::to_string(d["usb"].value("release", 0u)) + ":" + hex;
    }
    return out;
  }
};

TEST(UsbPortIndex, TrailingDigitAfterThePrefix) {
  struct Case {
    const char16_t* name;
    int index;
  };
  const Case cases[] = {
      {u"USB_VRT-Q40_1", 1},  {u"usb_vrt-q40_4", 4},   {u"USB_VRT-D4_8", 8},
      {u"USB_VRT-Q40_9", 0},  // KvUsbInt.dll opens 8 printers
      {u"USB_VRT-Q40_0", 0},  {u"USB_VRT-Q40_12", 0},  {u"USB_VRT-Q40_", 0},
      {u"USB_VRT_3X", 0},     {u"USB001", 0},          {u"USB_1", 0},  // no name before the index
      {u"KVCOM1:", 0},        {u"XUSB_VRT-Q40_1", 0},  {u"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(UsbPortIndex(c.name), c.index) << ToUtf8(c.name);
}

TEST_F(UsbPortsTest, RecordedPortsAndTheirXcvData) {
  EXPECT_TRUE(UsbPortNames(p().registry).empty()) << "no key: no ports";
  Record({u"USB_VRT-Q40_2", u"USB_VRT-D4_1", u"USB001", u"usb_vrt-q40_2", u"USB_VRT-T80_9"});
  // In the registry's order, each port once; the case as first recorded.
  auto names = UsbPortNames(p().registry);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<WString>{u"USB_VRT-D4_1", u"USB_VRT-Q40_2"}));
  EXPECT_EQ(FindUsbPort(p().registry, u"usb_vrt-d4_1"), u"USB_VRT-D4_1");

  struct Call {
    const char16_t* command;
    Bytes input;
    std::uint32_t output_size;
    std::uint32_t status;
    Bytes output;  // compared when the call succeeds
  };
  const Bytes ui = XcvTexts({u"KVRUSBUI.DLL"});
  const auto size = static_cast<std::uint32_t>(ui.size());
  const std::vector<Call> calls = {
      {u"MonitorUI", {}, 64, 0, ui},
      {u"MonitorUI", {}, size - 1, win32::kErrorInsufficientBuffer, {}},
      {u"PortIsValid", XcvTexts({u"USB_VRT-Q40_2"}), 0, 0, {}},
      {u"PortIsValid", XcvTexts({u"USB_VRT-Q40_3"}), 0, win32::kErrorInvalidName, {}},  // not recorded
      {u"PortIsValid", XcvTexts({u"USB_VRT-T80_9"}), 0, win32::kErrorInvalidName, {}},  // recorded, no index
      {u"PortIsValid", {'U', 0}, 0, win32::kErrorInvalidParameter, {}},                  // no NUL
      {u"GetPortSettings", XcvTexts({u"USB_VRT-Q40_2"}), 64, win32::kErrorInvalidParameter, {}},
  };
  for (const Call& c : calls) {
    SCOPED_TRACE(ToUtf8(c.command));
    Bytes out(c.output_size);
    XcvRequest request;
    request.command = c.command;
    request.input = c.input.empty() ? nullptr : c.input.data();
    request.input_size = static_cast<std::uint32_t>(c.input.size());
    request.output = out.empty() ? nullptr : out.data();
    request.output_size = c.output_size;
    std::uint32_t needed = 99;
    EXPECT_EQ(UsbXcvData(p().registry, request, &needed), c.status);
    if (c.command == WStringView(u"MonitorUI")) {
      EXPECT_EQ(needed, size);
    }
    if (c.status == 0 && !c.output.empty()) {
      EXPECT_EQ(Bytes(out.begin(), out.begin() + needed), c.output);
    }
  }
}

// One job of "AB\n" on a port, the spooler calling WritePort until every
// byte is taken or four calls have passed.
TEST_F(UsbPortsTest, AJobReachesThePrinterWithThePortsId) {
  struct Case {
    const char* name;
    std::vector<unsigned> plugged;  // USB ids, in plug order
    int port_index;
    const char* library;  // "" none, else what the machine lacks of it ("-" nothing)
    const char* fault;    // a fault command for the machine, or ""
    int plug_after;       // plugs id port_index - 1 after this many calls (0: never)
    std::string received;
    std::string states;
    std::uint32_t cause;
    int calls;
  };
  const Case cases[] = {
      {"the port's id among others", {0, 1, 3}, 2, "-", "", 0, "1:41420a", "", 0, 1},
      // Id 9 belongs to index 2 as id 1 does; the first in plug order takes it.
      {"an id past 8", {0, 9, 1}, 2, "-", "", 0, "9:41420a", "", 0, 1},
      {"no printer with the port's id", {0, 2}, 2, "-", "", 0, "", "FR", win32::kErrorNotReady, 4},
      {"no printer at all", {}, 1, "-", "", 0, "", "FR", win32::kErrorNotReady, 4},
      {"the library is missing", {0}, 1, "", "", 0, "", "FR", win32::kErrorModNotFound, 4},
      {"the library lacks uWrite", {0}, 1, "KvUsbInt.dll!uWrite", "", 0, "", "FR", win32::kErrorProcNotFound, 4},
      {"the library lacks GetDescriptor", {0}, 1, "KvUsbInt.dll!GetDescriptor", "", 0, "", "FR",
       win32::kErrorProcNotFound, 4},
      // A failed write is sent again once, whole.
      {"a write fails", {3}, 4, "-", "fault DIR call uWrite 31 --times 1", 0, "3:41420a", "FR", 0, 2},
      // Unplugged at the start, plugged while the job waits: it prints.
      {"plugged while the job waits", {}, 3, "-", "", 2, "2:41420a", "FR", win32::kErrorNotReady, 3},
  };
  const Bytes job = {'A', 'B', '\n'};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();  // a fresh machine for each case
    Create("win7-x64-en", 64);
    if (*c.library != '\0') {
      ASSERT_TRUE(p().files.CreateDirectory(u"C:\\kit"));
      ASSERT_TRUE(p().files.WriteFile(kLibrary, Bytes{'M', 'Z'}, WriteMode::kCreateAlways));
      if (std::string(c.library) != "-") {
        ASSERT_EQ(Tool(std::string("set DIR missing-proc ") + c.library), 0);
      }
    }
    for (unsigned id : c.plugged) Plug(id);
    if (*c.fault != '\0') {
      ASSERT_EQ(Tool(c.fault), 0);
    }
    CountingClock clock;
    States states;
    int calls = 0;
    {
      PortJob port(MakeUsbPrinter(p().usb, kLibrary, c.port_index), clock, &states);
      ASSERT_EQ(port.StartJob(), 0u) << "StartDocPort never fails the job";
      std::size_t sent = 0;
      while (sent < job.size() && calls < 4) {
        std::uint32_t written = 0, error = 0;
        ASSERT_TRUE(port.Write(job.data() + sent, static_cast<std::uint32_t>(job.size() - sent), &written, &error));
        sent += written;
        if (++calls == c.plug_after) Plug(static_cast<unsigned>(c.port_index - 1));
      }
      port.EndJob();
    }
    EXPECT_EQ(Received(), c.received);
    EXPECT_EQ(states.seen, c.states);
    EXPECT_EQ(states.cause, c.cause);
    EXPECT_EQ(calls, c.calls);
    // Each call that found no printer paused before it returned.
    if (c.received.empty()) {
      EXPECT_EQ(clock.slept, 4u * kRetryPauseMs);
    }
    if (c.cause == win32::kErrorModNotFound || c.cause == win32::kErrorProcNotFound) {
      EXPECT_FALSE(UsbPortProblem(c.cause).empty()) << "the queue names the library";
    }
  }
  EXPECT_TRUE(UsbPortProblem(win32::kErrorNotReady).empty()) << "Windows' own offline text";
}

}  // namespace
}  // namespace kit::monitors
