// The serial monitor's XcvData commands and the port settings they keep,
// on a virtual machine's registry: one table of calls in order, each with
// the answer, the size it asks for and what it returns.
#include <gtest/gtest.h>

#include "monitors/core/serial_ports.h"
#include "monitors/core/xcv_data.h"
#include "platform/win32_errors.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::monitors {
namespace {

class XcvDataTest : public sim::SimTest {
 protected:
  void SetUp() override { Create("win7-x64-en", 64); }
  void Store(const char16_t* value_name, const char16_t* text) {
    RegistryKeyPtr key;
    ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, kPortsKey, kKeyAllAccess, &key), 0u);
    ASSERT_EQ(key->SetString(value_name, text), 0u);
  }
  WString Stored(const char16_t* value_name) {
    RegistryKeyPtr key;
    WString text;
    if (p().registry.RegOpenKeyEx(RootKey::kLocalMachine, kPortsKey, kKeyRead, &key) != 0) return u"(no key)";
    if (key->GetString(value_name, &text) != 0) return u"(none)";
    return text;
  }
};

TEST_F(XcvDataTest, CommandsAnswerAndKeepThePortsSettings) {
  struct Call {
    const char16_t* command;
    Bytes input;
    std::uint32_t output_size;
    std::uint32_t access;
    std::uint32_t status;
    std::uint32_t needed;
    Bytes output;  // compared when the call succeeds with a size
  };
  const Bytes ui = XcvTexts({u"KVRCOMUI.DLL"});
  const Bytes defaults = XcvTexts({u"9600,n,8,1,p"});
  const Bytes changed = XcvTexts({u"19200,e,5,1.5,x"});
  const Bytes windows = XcvTexts({u"9600,n,8,1, "});
  constexpr std::uint32_t kAdmin = kServerAccessAdminister, kUse = 0x00000008;
  const std::vector<Call> calls = {
      {u"MonitorUI", {}, 64, kUse, 0, static_cast<std::uint32_t>(ui.size()), ui},
      // One byte short: the size asked for, nothing written.
      {u"MonitorUI", {}, static_cast<std::uint32_t>(ui.size() - 1), kUse, win32::kErrorInsufficientBuffer,
       static_cast<std::uint32_t>(ui.size()), {}},
      {u"MonitorUI", {}, 0, kUse, win32::kErrorInsufficientBuffer, static_cast<std::uint32_t>(ui.size()), {}},
      {u"PortIsValid", XcvTexts({u"KVCOM8:"}), 0, kUse, 0, 0, {}},
      {u"PortIsValid", XcvTexts({u"kvcom1:"}), 0, kUse, 0, 0, {}},
      {u"PortIsValid", XcvTexts({u"KVCOM9:"}), 0, kUse, win32::kErrorInvalidName, 0, {}},
      {u"PortIsValid", XcvTexts({u"KVCOM1"}), 0, kUse, win32::kErrorInvalidName, 0, {}},
      {u"PortIsValid", XcvTexts({u"COM1:"}), 0, kUse, win32::kErrorInvalidName, 0, {}},
      {u"PortIsValid", {}, 0, kUse, win32::kErrorInvalidParameter, 0, {}},
      {u"PortIsValid", {'K', 0, 'V'}, 0, kUse, win32::kErrorInvalidParameter, 0, {}},  // odd size
      {u"PortIsValid", {'K', 0, 'V', 0}, 0, kUse, win32::kErrorInvalidParameter, 0, {}},  // no NUL
      // Nothing stored: the defaults.
      {u"GetPortSettings", XcvTexts({u"KVCOM6:"}), 64, kUse, 0, static_cast<std::uint32_t>(defaults.size()),
       defaults},
      {u"GetPortSettings", XcvTexts({u"KVCOM6:"}), 4, kUse, win32::kErrorInsufficientBuffer,
       static_cast<std::uint32_t>(defaults.size()), {}},
      {u"GetPortSettings", XcvTexts({u"LPT1:"}), 64, kUse, win32::kErrorInvalidName, 0, {}},
      // A change needs the administer access.
      {u"SetPortSettings", XcvTexts({u"KVCOM6:", u"19200,e,5,1.5,x"}), 0, kUse, win32::kErrorAccessDenied, 0, {}},
      {u"SetPortSettings", XcvTexts({u"KVCOM6:", u"19200,e,8,1.5,x"}), 0, kAdmin, win32::kErrorInvalidData, 0, {}},
      {u"SetPortSettings", XcvTexts({u"KVCOM6:"}), 0, kAdmin, win32::kErrorInvalidParameter, 0, {}},
      {u"SetPortSettings", XcvTexts({u"KVCOM0:", u"9600,n,8,1,p"}), 0, kAdmin, win32::kErrorInvalidName, 0, {}},
      {u"SetPortSettings", XcvTexts({u"KVCOM6:", u"19200,E,5,1.5,X"}), 0, kAdmin, 0, 0, {}},
      {u"GetPortSettings", XcvTexts({u"KVCOM6:"}), 64, kUse, 0, static_cast<std::uint32_t>(changed.size()), changed},
      // The other ports keep theirs: here Windows' own value for COM3 (no
      // flow control field).
      {u"GetPortSettings", XcvTexts({u"KVCOM3:"}), 64, kUse, 0, static_cast<std::uint32_t>(windows.size()),
       windows},
      {u"GetPortSettings", XcvTexts({u"KVCOM7:"}), 64, kUse, 0, static_cast<std::uint32_t>(defaults.size()),
       defaults},
      {u"AddPort", XcvTexts({u"KVCOM9:"}), 0, kAdmin, win32::kErrorInvalidParameter, 0, {}},
      {u"", {}, 0, kAdmin, win32::kErrorInvalidParameter, 0, {}},
  };
  int row = 0;
  for (const Call& c : calls) {
    SCOPED_TRACE("call " + std::to_string(++row) + ": " + ToUtf8(c.command));
    Bytes output(c.output_size, 0xCC);
    XcvRequest request;
    request.command = c.command;
    request.input = c.input.empty() ? nullptr : c.input.data();
    request.input_size = static_cast<std::uint32_t>(c.input.size());
    request.output = output.empty() ? nullptr : output.data();
    request.output_size = c.output_size;
    request.granted_access = c.access;
    std::uint32_t needed = 0xDEAD;
    EXPECT_EQ(SerialXcvData(p().registry, request, &needed), c.status);
    EXPECT_EQ(needed, c.needed);
    if (c.status == 0 && !c.output.empty()) {
      EXPECT_EQ(Bytes(output.begin(), output.begin() + c.needed), c.output);
    } else {
      EXPECT_EQ(output, Bytes(c.output_size, 0xCC)) << "written on a refused call";
    }
  }
  // The install's form under the port's "COMn:" name, as setup writes it.
  EXPECT_EQ(Stored(u"COM6:"), u"19200,e,5,1.5,x");
  EXPECT_EQ(Stored(u"COM3:"), u"9600,n,8,1");
  EXPECT_EQ(Stored(u"COM7:"), u"(none)");
}

TEST_F(XcvDataTest, StoredValuesAsTheJobReadsThem) {
  struct Case {
    const char16_t* stored;  // null: nothing stored
    std::uint32_t error;
    SerialSettings settings;
  };
  const std::vector<Case> cases = {
      {nullptr, 0, kDefaultSerialSettings},
      {u"57600,o,7,2,x", 0, {57600, Parity::kOdd, 7, StopBits::kTwo, FlowControl::kXonXoff}},
      {u"9600,n,8,1", 0, {9600, Parity::kNone, 8, StopBits::kOne, FlowControl::kNone}},
      // Unreadable: an error, never a job sent with guessed settings.
      {u"fast,n,8,1,p", win32::kErrorInvalidData, kDefaultSerialSettings},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored ? ToUtf8(c.stored) : "nothing stored");
    if (c.stored) Store(u"COM5:", c.stored);
    const StoredSettings read = ReadPortSettings(p().registry, 5);
    EXPECT_EQ(read.error, c.error);
    if (c.error == 0) {
      EXPECT_EQ(read.settings, c.settings);
    }
  }
}

TEST(SerialPorts, NamesNumbersAndDevices) {
  const auto names = SerialPortNames();
  ASSERT_EQ(names.size(), 8u);
  EXPECT_EQ(names.front(), u"KVCOM1:");
  EXPECT_EQ(names.back(), u"KVCOM8:");
  for (int n = 1; n <= 8; ++n) EXPECT_EQ(SerialPortNumber(names[n - 1]), n);
  EXPECT_EQ(SettingsValueName(3), u"COM3:");
  EXPECT_EQ(SerialDeviceName(3), u"\\\\.\\COM3");
}

}  // namespace
}  // namespace kit::monitors
