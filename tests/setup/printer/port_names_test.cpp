// Port and printer naming, the address control's text, and the serial
// settings text.
#include <gtest/gtest.h>

#include <clocale>

#include "setup/pages/confirm_page.h"
#include "setup/printer/port_names.h"
#include "setup/printer/printer_settings.h"

namespace kit::setup {
namespace {

TEST(PortNames, UsbIndexIsTheTrailingDigit) {
  struct Case {
    const char* port;
    int index;
    const char* suffix;
  };
  const Case cases[] = {
      {"USB_VRT-Q40_1", 1, "(U) 1"}, {"USB_VRT-Q40_4", 4, "(U) 4"},
      // A model name holding "_3" keeps the port's own index.
      {"USB_VRT_3X_1", 1, "(U) 1"},  {"USB_VRT_1_2", 2, "(U) 2"},
      {"USB_VRT-Q40_5", 0, ""},      {"USB_VRT-Q40", 0, ""},      {"", 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UsbPortIndex(c.port), c.index) << c.port;
    EXPECT_EQ(PrinterSuffix(kPortUsb, c.port), c.suffix) << c.port;
  }
  EXPECT_EQ(PrinterSuffix(kPortSerial, "KVCOM1:"), "(S)");
  EXPECT_EQ(PrinterSuffix(kPortParallel, "LPT1:"), "(P)");
  EXPECT_EQ(PrinterSuffix(kPortNetwork, "KVIP_10.0.0.1"), "(E)");
}

TEST(PortNames, VrtD4ModelsShareTheirPorts) {
  EXPECT_EQ(UsbPortFor("VRT-D4x", "USB_VRT-D4x_2"), "USB_VRT-D4_2");
  EXPECT_EQ(UsbPortFor("VRT-D45-Receipt", "USB_VRT-D45-Receipt_4"), "USB_VRT-D4_4");
  EXPECT_EQ(UsbPortFor("VRT-Q40", "USB_VRT-Q40_3"), "USB_VRT-Q40_3");
}

TEST(PortNames, AddressControlText) {
  EXPECT_EQ(DottedAddress(ParseIpAddressText("192.168.0.50")), "192.168.0.50");
  EXPECT_EQ(DottedAddress(ParseIpAddressText("192.168..5")), "192.168.0.5");
  EXPECT_TRUE(IsNullAddress(ParseIpAddressText("")));
  EXPECT_TRUE(IsNullAddress(ParseIpAddressText("0.0.0.0")));
  EXPECT_EQ(DottedAddress(ParseIpAddressText("999.1.2.3.4")), "255.1.2.3");
  EXPECT_EQ(NetworkPortName({10, 0, 0, 7}), "KVIP_10.0.0.7");
}

TEST(SerialSettings, TextAndValueName) {
  struct Case {
    SerialSettings settings;
    const char* text;
  };
  const Case cases[] = {
      {{19200, 'e', 7, 1.5, 'x'}, "19200,e,7,1.5,x"},
      {{9600, 'n', 8, 1.0, 'p'}, "9600,n,8,1,p"},
      {{115200, 'o', 8, 2.0, ' '}, "115200,o,8,2, "},
  };
  // The text never follows the process locale.
  const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  for (const Case& c : cases) EXPECT_EQ(FormatSerialSettings(c.settings), c.text);
  if (german) std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(SerialValueName("KVCOM3:"), "COM3:");
  EXPECT_EQ(SerialValueName("COM1:"), "COM1:");
  EXPECT_EQ(SerialValueName("LPT1:"), "");
}

}  // namespace
}  // namespace kit::setup
