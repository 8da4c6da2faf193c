// The serial settings in the port class entries of Windows 9x: the DCB
// record's byte layout, and which entry a port's settings reach on a
// Windows 95 virtual machine.
#include <gtest/gtest.h>

#include "setup/printer/printer_settings.h"
#include "setup/printer/serial_port_class.h"
#include "tests/setup/engine/engine_machine.h"
#include "ui/text.h"

namespace kit::setup::testing {
namespace {

constexpr char kPortsKey[] = "System\\CurrentControlSet\\Services\\Class\\Ports\\";

// The DCB the Windows 95 machine starts with: 9600 baud, 8N1, no flow
// control, XON/XOFF limits 512.
const Bytes kStartDcb = {0x1C, 0, 0, 0, 0x80, 0x25, 0, 0, 0x11, 0x10, 0, 0, 0, 0,    0x00,
                         0x02, 0x00, 0x02, 8, 0, 0, 0x11, 0x13, 0, 0, 0, 0, 0};

Bytes Binary(EngineMachine& m, const std::string& key, const char16_t* value) {
  RegistryKeyPtr k;
  if (m.platform().registry.RegOpenKeyEx(RootKey::kLocalMachine, ui::FromUtf8(key), kKeyRead, &k) !=
      win32::kErrorSuccess)
    return {};
  Bytes data(64);
  std::uint32_t type = 0, size = static_cast<std::uint32_t>(data.size());
  if (k->QueryValue(value, &type, data.data(), &size) != win32::kErrorSuccess || type != kRegBinary) return {};
  data.resize(size);
  return data;
}

void SetBinary(EngineMachine& m, const std::string& key, const char16_t* value, const Bytes& data) {
  RegistryKeyPtr k;
  ASSERT_EQ(m.platform().registry.RegCreateKeyEx(RootKey::kLocalMachine, ui::FromUtf8(key), kKeyAllAccess, &k),
            win32::kErrorSuccess);
  ASSERT_EQ(k->SetValue(value, kRegBinary, data.data(), static_cast<std::uint32_t>(data.size())),
            win32::kErrorSuccess);
}

// Every field the settings reach, over the stored record; the other bytes
// (XON/XOFF limits and characters, reserved words) stay.
TEST(SerialDcb, SettingsLandAtTheirOffsets) {
  struct Case {
    SerialSettings settings;
    Bytes expected;
  };
  const Case cases[] = {
      // 19200 = 0x4B00; even parity (2), 7 bits, 1.5 stop bits (1); XON/XOFF
      // both ways, DTR and RTS on, parity checked: flags 0x1313.
      {{19200, 'e', 7, 1.5, 'x'},
       {0x1C, 0, 0, 0, 0x00, 0x4B, 0, 0, 0x13, 0x13, 0, 0, 0, 0,
        0x00, 0x02, 0x00, 0x02, 7, 2, 1, 0x11, 0x13, 0, 0, 0, 0, 0}},
      // Hardware flow: CTS watched, RTS handshaking (2 << 12): flags 0x2015.
      {{115200, 'n', 8, 1.0, 'p'},
       {0x1C, 0, 0, 0, 0x00, 0xC2, 0x01, 0, 0x15, 0x20, 0, 0, 0, 0,
        0x00, 0x02, 0x00, 0x02, 8, 0, 0, 0x11, 0x13, 0, 0, 0, 0, 0}},
      // No flow, odd parity, 2 stop bits.
      {{2400, 'o', 8, 2.0, ' '},
       {0x1C, 0, 0, 0, 0x60, 0x09, 0, 0, 0x13, 0x10, 0, 0, 0, 0,
        0x00, 0x02, 0x00, 0x02, 8, 1, 2, 0x11, 0x13, 0, 0, 0, 0, 0}},
      // Mark and space parity.
      {{9600, 'm', 8, 1.0, ' '},
       {0x1C, 0, 0, 0, 0x80, 0x25, 0, 0, 0x13, 0x10, 0, 0, 0, 0,
        0x00, 0x02, 0x00, 0x02, 8, 3, 0, 0x11, 0x13, 0, 0, 0, 0, 0}},
      {{9600, 's', 8, 1.0, ' '},
       {0x1C, 0, 0, 0, 0x80, 0x25, 0, 0, 0x13, 0x10, 0, 0, 0, 0,
        0x00, 0x02, 0x00, 0x02, 8, 4, 0, 0x11, 0x13, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SerialDcb(c.settings, kStartDcb), c.expected) << c.settings.baud_rate;
  }
  // Flow control switches cleanly: hardware after XON/XOFF clears XON/XOFF.
  const Bytes xon = SerialDcb({9600, 'n', 8, 1.0, 'x'}, kStartDcb);
  EXPECT_EQ(SerialDcb({9600, 'n', 8, 1.0, 'p'}, xon), SerialDcb({9600, 'n', 8, 1.0, 'p'}, kStartDcb));
}

TEST(SerialDcb, AnythingButA28ByteRecordGivesAFreshOne) {
  const Bytes fresh = {0x1C, 0, 0, 0, 0x80, 0x25, 0, 0, 0x11, 0x10, 0, 0, 0, 0,
                       0,    0, 0, 0, 8,    0,    0, 0x11, 0x13, 0, 0, 0, 0, 0};
  Bytes wrong_length = kStartDcb;
  wrong_length[0] = 0x20;
  for (const Bytes& base : {Bytes{}, Bytes(12, 0xFF), wrong_length}) {
    EXPECT_EQ(SerialDcb({9600, 'n', 8, 1.0, ' '}, base), fresh);
  }
}

TEST(ComPortNumber, OnlyComDigitsColon) {
  EXPECT_EQ(ComPortNumber("COM1:"), 1);
  EXPECT_EQ(ComPortNumber("COM2:"), 2);
  EXPECT_EQ(ComPortNumber("COM12:"), 12);
  for (const char* name : {"COM:", "COM1", "COM1:x", "LPT1:", "KVCOM1:", ""}) EXPECT_EQ(ComPortNumber(name), 0) << name;
}

// On the Windows 95 machine (class entries 0000 = COM1, 0001 = COM2,
// 0002 = LPT1) the settings reach the profile and the port's entry only.
TEST(SerialPortClass, Windows95PortsReachTheirEntry) {
  EngineMachine m("win95-x86-en");
  ASSERT_EQ(m.ctx().os_code, 0);
  ASSERT_EQ(Binary(m, std::string(kPortsKey) + "0001", kDcbValue), kStartDcb);
  WriteSerialSettings(m.ctx(), "COM2:", {19200, 'e', 7, 1.5, 'x'});
  EXPECT_NE(m.Content(m.windows + "\\win.ini").find("COM2:=19200,e,7,1.5,x"), std::string::npos);
  EXPECT_EQ(Binary(m, std::string(kPortsKey) + "0001", kDcbValue), SerialDcb({19200, 'e', 7, 1.5, 'x'}, kStartDcb));
  EXPECT_EQ(Binary(m, std::string(kPortsKey) + "0000", kDcbValue), kStartDcb);
  EXPECT_TRUE(Binary(m, std::string(kPortsKey) + "0002", kDcbValue).empty());

  WriteSerialSettings(m.ctx(), "COM1:", {4800, 'n', 8, 1.0, 'p'});
  EXPECT_EQ(Binary(m, std::string(kPortsKey) + "0000", kDcbValue), SerialDcb({4800, 'n', 8, 1.0, 'p'}, kStartDcb));

  // COM3 and later have no class entry of their own: nothing changes there.
  const sim::Json before = m.State()["registry"];
  WriteSerialSettings(m.ctx(), "COM3:", {57600, 'n', 8, 1.0, 'p'});
  EXPECT_EQ(m.State()["registry"], before);
}

// The serial entries count in order, past a parallel one; an entry without
// a DCB gets a fresh one.
TEST(SerialPortClass, SerialEntriesCountInOrderPastOthers) {
  EngineMachine m("win95-x86-en");
  const std::string lpt = std::string(kPortsKey) + "0000";
  SetBinary(m, lpt, kPortSubClassValue, {0});
  SetBinary(m, std::string(kPortsKey) + "0003", kPortSubClassValue, {1});
  // Now 0001 is COM1, 0002 (subclass 0) is skipped, 0003 is COM2.
  SetBinary(m, std::string(kPortsKey) + "0002", kPortSubClassValue, {0});
  WriteSerialSettings(m.ctx(), "COM2:", {38400, 'n', 8, 1.0, ' '});
  EXPECT_EQ(Binary(m, std::string(kPortsKey) + "0003", kDcbValue), SerialDcb({38400, 'n', 8, 1.0, ' '}, {}));
  EXPECT_EQ(Binary(m, std::string(kPortsKey) + "0001", kDcbValue), kStartDcb);
  EXPECT_EQ(Binary(m, lpt, kDcbValue), kStartDcb);  // a parallel entry is never written
}

// From Windows NT on the settings go to the registry's Ports key only.
TEST(SerialPortClass, NtWritesNoClassEntry) {
  EngineMachine m("winxp-x86-en");
  SetBinary(m, std::string(kPortsKey) + "0000", kPortSubClassValue, {1});
  WriteSerialSettings(m.ctx(), "COM1:", {19200, 'e', 7, 1.5, 'x'});
  EXPECT_TRUE(Binary(m, std::string(kPortsKey) + "0000", kDcbValue).empty());
}

}  // namespace
}  // namespace kit::setup::testing
