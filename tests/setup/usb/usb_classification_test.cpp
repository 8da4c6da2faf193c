// Which USB printers are connected: the family's devices by their first
// hardware id, and the class-printer lookup in USBPrintDll.dll's text.
#include <gtest/gtest.h>

#include "setup/usb/usb_classification.h"
#include "setup/usb/usb_queries.h"
#include "tests/setup/usb/usb_machine.h"

namespace kit::setup::testing {
namespace {

TEST(UsbClassification, ProductIdOfAHardwareId) {
  const struct {
    const char* id;
    std::optional<unsigned> product;
  } cases[] = {
      {"USB\\VID_7A5C&PID_1000&REV_0002", 0x1000},
      {"USB\\Vid_7a5c&Pid_1105", 0x1105},
      {"USBPRINT\\USB\\VID_7A5C&PID_2002", 0x2002},  // the prefix anywhere in the id
      {"USB\\VID_7a5c&PID_1000", std::nullopt},      // neither spelling
      {"USB\\VID_7A5D&PID_1000", std::nullopt},
      {"USB\\VID_7A5C&PID_10", 0x10},                // shorter than four digits: as far as they go
      {"USB\\VID_7A5C&PID_1G00", 0x1},
      {"USB\\VID_7A5C&PID_", std::nullopt},          // no digit at all: no product id
      {"USB\\VID_7A5C&PID_zz", std::nullopt},
      {"USB\\VID_7A5C", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ProductIdOf(c.id), c.product) << c.id;
}

TEST(UsbClassification, ConnectedPrinters) {
  struct Case {
    const char* name;
    std::vector<PluggedPrinter> printers;
    int result;
  };
  const PluggedPrinter maker{0x1000}, maker2{0x7A5C}, klass{0x1105, 0, false}, other{0x2002, 0, false};
  const PluggedPrinter foreign{0x1000, 0, false, "", {"USB\\VID_04B8&PID_0202", "USB\\VID_7A5C&PID_1105"}};
  const PluggedPrinter mixed_case{0x1000, 0, false, "", {"USB\\VID_7a5c&PID_1105"}};
  const std::vector<Case> cases = {
      {"none", {}, kUsbMakerDriverOrNone},
      {"one maker-driver printer", {maker}, kUsbMakerDriverOrNone},
      {"one class printer", {klass}, kUsbClassPrintersOnly},
      {"a lone device from 0x2000", {other}, kUsbClassPrintersOnly},
      {"two maker-driver printers", {maker, maker2}, kUsbMakerDriverOrNone},
      {"two class printers", {klass, klass}, kUsbClassPrintersOnly},
      {"mixed", {maker, klass}, kUsbMixedPrinters},
      {"class printer with a device from 0x2000", {klass, other}, kUsbMixedPrinters},
      // Only the first hardware id is read.
      {"family id second", {foreign}, kUsbMakerDriverOrNone},
      {"other spelling not counted", {mixed_case, klass}, kUsbClassPrintersOnly},
  };
  for (const Case& c : cases) {
    UsbMachine m;
    for (const auto& p : c.printers) m.Plug(p);
    EXPECT_EQ(ClassifyConnectedPrinters(m.env()), c.result) << c.name;
  }
}

TEST(UsbClassification, UnterminatedLongHardwareId) {
  UsbMachine m;
  // A first id far longer than the property buffer, the family prefix after
  // its first 1024 bytes: the part read holds no prefix.
  m.Plug({0x1000, 0, false, "", {std::string(2000, 'X') + "USB\\VID_7A5C&PID_1105"}});
  EXPECT_EQ(ClassifyConnectedPrinters(m.env()), kUsbMakerDriverOrNone);
}

TEST(UsbClassification, ClassPrinterLookup) {
  const struct {
    const char* text;
    const char* model;
    int result;
  } cases[] = {
      {"", "VRT-Q40", 0},
      {"VRT-P80(U)2@USB001;", "VRT-Q40", 0},
      {"VRT-Q40(U)2@USB001;VRT-A1(U)3@USB002;", "VRT-Q40", 1},  // "VRT-A1" anywhere
      {"VRT-Q40(U)1@USB001;", "VRT-Q40", 1},
      {"VRT-Q40(U)3@USB001;", "VRT-Q40", 3},
      {"VRT-Q40(U)4 @USB001;", "VRT-Q40", 4},
      {"VRT-Q40(U)2x@USB001;", "VRT-Q40", 2},
      {"VRT-Q40(U)2 3@USB001;", "VRT-Q40", 3},  // the nearest digit counts
      {"VRT-Q40(U)5@USB001;", "VRT-Q40", 5},    // not a port digit
      {"VRT-Q40(U)2abc@USB001;", "VRT-Q40", 5}, // the digit too far from "@"
      {"VRT-Q40 2@USB001;", "VRT-Q40", 5},      // no "(U)"
      {"VRT-Q40(U)2", "VRT-Q40", 5},            // no "@" after the model
      {"2@VRT-Q40(U)", "VRT-Q40", 5},
      {"Q4@", "Q4", 5},                         // "@" at the text's start: nothing before it is read
      {"(U)@", "(U)", 5},
      {"4@", "4", 5},
  };
  for (const auto& c : cases) EXPECT_EQ(LookUpClassPrinter(c.text, c.model), c.result) << c.text;
}

TEST(UsbClassification, ClassPrinterOnTheMachine) {
  struct Case {
    const char* name;
    std::function<void(UsbMachine&)> prepare;
    int result;
  };
  const std::vector<Case> cases = {
      {"listed", {}, 2},
      {"library missing", [](UsbMachine& m) { m.Remove("C:\\kit\\USBPrintDll.dll"); }, 0},
      {"function missing", [](UsbMachine& m) { m.Missing("USBPrintDll.dll!EnumUSBPrinter"); }, 0},
      {"list refused", [](UsbMachine& m) { m.CallFault("EnumUSBPrinter", 31); }, 0},
  };
  for (const Case& c : cases) {
    UsbMachine m;
    m.Plug({0x1105, 0, false, "VRT-Q40(U)2@USB001;"});
    if (c.prepare) c.prepare(m);
    EXPECT_EQ(FindUsbClassPrinter(m.env(), "VRT-Q40"), c.result) << c.name;
  }
}

TEST(UsbClassification, FullTextIsReadWithinItsBuffer) {
  UsbMachine m;
  // A text that fills the library's whole buffer, the model at its very end
  // without "@".
  m.Plug({0x1105, 0, false, std::string(1024 - 7, 'x') + "VRT-Q40" + std::string(50, 'y')});
  EXPECT_EQ(FindUsbClassPrinter(m.env(), "VRT-Q40"), 0);
  UsbMachine n;
  n.Plug({0x1105, 0, false, std::string(1023 - 7, 'x') + "VRT-Q40"});
  EXPECT_EQ(FindUsbClassPrinter(n.env(), "VRT-Q40"), 5);
}

}  // namespace
}  // namespace kit::setup::testing
