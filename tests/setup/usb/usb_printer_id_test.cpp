// The printer's USB id read and rewritten through KvUsbInt.dll, and matched
// to the chosen port at Install, on virtual machines with plugged printers.
#include <gtest/gtest.h>

#include "setup/usb/usb_hand_off.h"
#include "setup/usb/usb_printer_id.h"
#include "setup/usb/usb_queries.h"
#include "tests/setup/usb/usb_machine.h"

namespace kit::setup::testing {
namespace {

using Shown = std::vector<std::string>;

TEST(UsbId, PortIndexOfAReportedId) {
  const struct {
    int id, index;
  } cases[] = {{0, 1}, {1, 2}, {3, 4}, {7, 8}, {8, 1}, {9, 2}, {65535, 8}};
  for (const auto& c : cases) EXPECT_EQ(PortIndexOfUsbId(c.id), c.index) << c.id;
}

TEST(UsbId, WriteCommandBytes) {
  const IdWriteCommand first = {0x1B, 0x73, 0x42, 0x45, 0x92, 0x99, 0x1D, 0x49, 0x20, 0x00};
  EXPECT_EQ(MakeIdWriteCommand(1), first);
  EXPECT_EQ(MakeIdWriteCommand(4).back(), 0x03);
  EXPECT_EQ(MakeIdWriteCommand(8).back(), 0x07);
}

TEST(UsbId, ReadAnswers) {
  struct Case {
    const char* name;
    std::vector<PluggedPrinter> printers;
    std::function<void(UsbMachine&)> prepare;
    int id;
    Shown shown;
  };
  const std::vector<Case> cases = {
      {"no printer", {}, {}, kNoUsbPrinter, {}},
      {"one printer", {{0x1000, 9}}, {}, 9, {}},
      {"a class printer is not reached", {{0x1105, 3, false}}, {}, kNoUsbPrinter, {}},
      {"two printers", {{0x1000, 0}, {0x1001, 1}}, {}, kSeveralUsbPrinters, {"IDS_ERR_ONEPRINTER"}},
      {"library missing", {{0x1000, 9}}, [](UsbMachine& m) { m.Remove("C:\\kit\\KvUsbInt.dll"); }, kNoUsbPrinter,
       {"Can not load KvUsbInt.dll"}},
      {"function missing", {{0x1000, 9}}, [](UsbMachine& m) { m.Missing("KvUsbInt.dll!GetDescriptor"); },
       kNoUsbPrinter, {"open function error"}},
      {"descriptor refused", {{0x1000, 9}}, [](UsbMachine& m) { m.CallFault("GetDescriptor", 31); }, kNoUsbPrinter,
       {"Get Device ID error"}},
      // uWrite is not needed for reading.
      {"write function missing", {{0x1000, 2}}, [](UsbMachine& m) { m.Missing("KvUsbInt.dll!uWrite"); }, 2, {}},
  };
  for (const Case& c : cases) {
    UsbMachine m;
    for (const auto& p : c.printers) m.Plug(p);
    if (c.prepare) c.prepare(m);
    RecordingPrompts prompts;
    EXPECT_EQ(ReadPrinterUsbId(m.env(), prompts), c.id) << c.name;
    EXPECT_EQ(prompts.shown, c.shown) << c.name;
  }
}

TEST(UsbId, WriteSendsTheCommandAndThePrinterTakesTheId) {
  UsbMachine m;
  m.Plug({0x1000, 2});
  RecordingPrompts prompts;
  ASSERT_TRUE(WritePrinterUsbId(m.env(), prompts, 1));
  EXPECT_EQ(m.Writes(), (std::vector<std::vector<std::string>>{{"1b73424592991d492000"}}));
  EXPECT_EQ(m.Releases(), std::vector<unsigned>{0});
  EXPECT_EQ(ReadPrinterUsbId(m.env(), prompts), 0);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST(UsbId, WriteRefusals) {
  struct Case {
    const char* name;
    bool plugged;
    int index;
    std::function<void(UsbMachine&)> prepare;
    Shown shown;
  };
  const std::vector<Case> cases = {
      {"index 0", true, 0, {}, {}},
      {"index 9", true, 9, {}, {}},
      {"no printer", false, 1, {}, {"Can not find USB device."}},
      {"library missing", true, 1, [](UsbMachine& m) { m.Remove("C:\\kit\\KvUsbInt.dll"); },
       {"Can not load KvUsbInt.dll"}},
      {"write function missing", true, 1, [](UsbMachine& m) { m.Missing("KvUsbInt.dll!uWrite"); },
       {"open function error"}},
      {"write refused", true, 1, [](UsbMachine& m) { m.CallFault("uWrite", 31); }, {"write ID error"}},
  };
  for (const Case& c : cases) {
    UsbMachine m;
    if (c.plugged) m.Plug({0x1000, 5});
    if (c.prepare) c.prepare(m);
    RecordingPrompts prompts;
    EXPECT_FALSE(WritePrinterUsbId(m.env(), prompts, c.index)) << c.name;
    EXPECT_EQ(prompts.shown, c.shown) << c.name;
    if (c.plugged) {
      EXPECT_EQ(m.Releases(), std::vector<unsigned>{5}) << c.name;
    }
  }
}

// The id matching of Install start, by mode.
TEST(UsbId, MatchingToThePort) {
  struct Case {
    const char* name;
    int mode;  // 1 Typical, 2 Advanced
    std::vector<PluggedPrinter> printers;
    int port_index;
    std::vector<bool> answers;
    bool fault_write;
    bool result;
    Shown shown;
    std::vector<unsigned> releases;
  };
  const std::vector<Case> cases = {
      {"advanced: id 9 is port 2", 2, {{0x1000, 9}}, 2, {}, false, true, {}, {9}},
      {"advanced: rewritten", 2, {{0x1000, 0}}, 3, {true}, false, true, {"? IDS_INF_CHANGEID"}, {2}},
      {"advanced: kept", 2, {{0x1000, 0}}, 3, {false}, false, false, {"? IDS_INF_CHANGEID"}, {0}},
      {"advanced: no printer", 2, {}, 1, {}, false, false, {"IDS_ERR_NOUSBDEVICE"}, {}},
      {"advanced: two printers", 2, {{0x1000, 0}, {0x1000, 1}}, 2, {true}, false, false, {"IDS_ERR_ONEPRINTER"},
       {0, 1}},
      {"advanced: write refused", 2, {{0x1000, 0}}, 2, {true}, true, false,
       {"? IDS_INF_CHANGEID", "write ID error", "Failed to set Printer ID!"}, {0}},
      {"typical: id 2 rewritten to 0", 1, {{0x1000, 2}}, 1, {true}, false, true, {"? IDS_INF_CHANGEID"}, {0}},
      {"typical: id 8 is port 1", 1, {{0x1000, 8}}, 1, {}, false, true, {}, {8}},
      {"typical: kept", 1, {{0x1000, 2}}, 1, {false}, false, false, {"? IDS_INF_CHANGEID"}, {2}},
      {"typical: no printer", 1, {}, 1, {}, false, true, {}, {}},
      // Two printers stop Typical mode too: no question, neither rewritten.
      {"typical: two printers", 1, {{0x1000, 2}, {0x1000, 3}}, 1, {true}, false, false, {"IDS_ERR_ONEPRINTER"},
       {2, 3}},
      {"typical: write refused", 1, {{0x1000, 2}}, 1, {true}, true, false, {"? IDS_INF_CHANGEID", "write ID error"},
       {2}},
  };
  for (const Case& c : cases) {
    UsbMachine m;
    for (const auto& p : c.printers) m.Plug(p);
    if (c.fault_write) m.CallFault("uWrite", 31);
    InstallRequest request = Request(m, "USB_VRT-Q40_" + std::to_string(c.port_index));
    request.mode = c.mode;
    RecordingPrompts prompts;
    prompts.answers = c.answers;
    UsbHandOff hand_off;
    EXPECT_EQ(hand_off.MatchUsbId(m.ctx(), request, c.port_index, prompts), c.result) << c.name;
    EXPECT_EQ(prompts.shown, c.shown) << c.name;
    EXPECT_EQ(m.Releases(), c.releases) << c.name;
  }
}

}  // namespace
}  // namespace kit::setup::testing
