// The whole road of ConfigurePortUI for each dialog module, headless, on
// the monitors' own XcvData answers: the Xcv handle opened with the access
// the user has, the port asked about, the dialog, what is stored, and the
// BOOL and last error the caller gets.
#include <gtest/gtest.h>

#include "monitors/core/serial_ports.h"
#include "monitors/core/usb_ports.h"
#include "monitors/portui/serial_port_page.h"
#include "monitors/portui/usb_port_page.h"
#include "platform/win32_errors.h"
#include "tests/monitors/portui/port_ui_doubles.h"
#include "tests/monitors/portui/serial_port_machine.h"

namespace kit::monitors {
namespace {

using testing::HeadlessHost;
namespace win32 = kit::win32;

constexpr std::uint32_t kAdmin = kServerAccessAdminister;
constexpr std::uint32_t kRead = kServerAccessEnumerate;

class ConfigurePortTest : public testing::SerialPortMachineTest {
 protected:
  ConfigurePortTest() : SerialPortMachineTest(u"COM2:") {}
  const PortUiTexts& english_ = TextsFor(PortUiLanguage::kEnglish);
};

TEST_F(ConfigurePortTest, SerialPort) {
  using Drive = std::function<void(ui::headless::Dialog&)>;
  const Drive choose_19200_and_ok = [](ui::headless::Dialog& d) {
    d.Select(kBaudListId, 4);
    d.Click(ui::kIdOk);
  };
  const Drive choose_and_cancel = [](ui::headless::Dialog& d) {
    d.Select(kBaudListId, 4);
    d.Click(ui::kIdCancel);
  };
  const Drive close_box = [](ui::headless::Dialog& d) { d.Close(); };
  struct Case {
    const char* name;
    const char16_t* port;
    std::uint32_t refuse_administer, open_fails, calls_fail_with;
    Drive drive;
    const char16_t* before;  // KVCOM2:'s value beforehand, nullptr for none
    PortUiResult result;
    std::vector<std::uint32_t> opened;
    int dialogs;
    const char16_t* stored;  // KVCOM2:'s value afterwards
    std::u16string message;
  };
  const Case cases[] = {
      {"OK stores", u"KVCOM2:", 0, 0, 0, choose_19200_and_ok, nullptr, {true, 0}, {kAdmin}, 1, u"19200,n,8,1,p", u""},
      {"port named in lower case", u"kvcom2:", 0, 0, 0, choose_19200_and_ok, nullptr, {true, 0}, {kAdmin}, 1,
       u"19200,n,8,1,p", u""},
      {"Cancel", u"KVCOM2:", 0, 0, 0, choose_and_cancel, nullptr, {false, kErrorCancelled}, {kAdmin}, 1, u"(none)", u""},
      {"the close box", u"KVCOM2:", 0, 0, 0, close_box, nullptr, {false, kErrorCancelled}, {kAdmin}, 1, u"(none)", u""},
      // A user without administer rights sees the settings; Close is Cancel.
      {"read only", u"KVCOM2:", win32::kErrorAccessDenied, 0, 0,
       [](ui::headless::Dialog& d) {
         EXPECT_FALSE(d.Select(kBaudListId, 4));
         d.Click(ui::kIdCancel);
       },
       nullptr, {false, kErrorCancelled}, {kAdmin, kRead}, 1, u"(none)", u""},
      // A refusal for another reason is not retried.
      {"the monitor cannot be reached", u"KVCOM2:", 1801, 0, 0, nullptr, nullptr, {false, 1801}, {kAdmin}, 0, u"(none)",
       u"The port monitor \"KVR Serial Port\" could not be reached (error 1801: (the system's text))."},
      {"neither access", u"KVCOM2:", win32::kErrorAccessDenied, win32::kErrorAccessDenied, 0, nullptr, nullptr,
       {false, win32::kErrorAccessDenied}, {kAdmin, kRead}, 0, u"(none)",
       u"The port monitor \"KVR Serial Port\" could not be reached (error 5: (the system's text))."},
      {"not a port of the monitor", u"COM2:", 0, 0, 0, nullptr, nullptr, {false, win32::kErrorInvalidName}, {kAdmin}, 0,
       u"(none)", u"COM2: is not a port of this monitor (error 123: (the system's text))."},
      {"the settings cannot be read", u"KVCOM2:", 0, 0, 1722, nullptr, nullptr, {false, 1722}, {kAdmin}, 0, u"(none)",
       u"The settings of KVCOM2: could not be read (error 1722: (the system's text))."},
      // A stored value no serial port takes (the port's jobs fail on it):
      // said, and the dialog opens with the defaults so that OK mends it.
      {"damaged settings", u"KVCOM2:", 0, 0, 0,
       [](ui::headless::Dialog& d) {
         EXPECT_EQ(d.ItemText(kDataBitsListId, d.Selection(kDataBitsListId)), u"8");
         d.Click(ui::kIdOk);
       },
       u"9600,n,9,1,p", {true, 0}, {kAdmin}, 1, u"9600,n,8,1,p",
       u"The stored settings of KVCOM2: cannot be used (error 13: (the system's text)). The port's defaults are "
       u"shown; OK stores them."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    Fresh();
    HeadlessHost host(p().registry, SerialXcvData);
    host.refuse_administer = c.refuse_administer;
    host.open_fails = c.open_fails;
    host.calls_fail_with = c.calls_fail_with;
    host.drive = c.drive;
    if (c.before != nullptr) Store(c.before);
    EXPECT_EQ(ConfigureSerialPort(host, english_, u"KVR Serial Port", c.port), c.result);
    EXPECT_EQ(host.opened, c.opened);
    EXPECT_EQ(host.dialogs, c.dialogs);
    EXPECT_EQ(Stored(), c.stored);
    if (c.message.empty()) {
      EXPECT_TRUE(host.messages.empty());
    } else {
      ASSERT_EQ(host.messages.size(), 1u);
      EXPECT_EQ(host.messages[0].text, c.message);
      EXPECT_EQ(host.messages[0].caption, u"Configure Port");
      EXPECT_EQ(host.messages[0].style & ui::kMbIconMask, ui::kMbIconError);
    }
  }
}

TEST_F(ConfigurePortTest, UsbPort) {
  {
    RegistryKeyPtr key;
    ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, kUsbPortRecordKey, kKeyAllAccess, &key), 0u);
    ASSERT_EQ(key->SetDword(u"USB_VRT-Q40_3", 1), 0u);
  }
  struct Case {
    const char16_t* port;
    int close_with;  // 0: the dialog is not expected
    PortUiResult result;
    std::u16string index, rule, message;
  };
  const Case cases[] = {
      {u"USB_VRT-Q40_3", ui::kIdOk, {true, 0}, u"3",
       u"The printer whose USB id is 2, 10, 18, ... (USB id divided by 8 leaves 2).", u""},
      {u"usb_vrt-q40_3", ui::kIdCancel, {false, kErrorCancelled}, u"3", u"", u""},
      // Not recorded by the install, or no USB port at all.
      {u"USB_VRT-Q40_4", 0, {false, win32::kErrorInvalidName}, u"", u"",
       u"USB_VRT-Q40_4 is not a port of this monitor (error 123: (the system's text))."},
      {u"KVCOM1:", 0, {false, win32::kErrorInvalidName}, u"", u"",
       u"KVCOM1: is not a port of this monitor (error 123: (the system's text))."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.port));
    HeadlessHost host(p().registry, UsbXcvData);
    std::u16string index, rule, name;
    host.drive = [&](ui::headless::Dialog& d) {
      index = d.Text(kUsbPortIndexId);
      rule = d.Text(kUsbPrinterRuleId);
      name = d.Text(kUsbPortNameId);
      if (c.close_with == ui::kIdOk) d.Click(ui::kIdOk);
      else d.Close();
    };
    EXPECT_EQ(ConfigureUsbPort(host, english_, u"KVR USB Port", c.port), c.result);
    EXPECT_EQ(host.dialogs, c.close_with != 0 ? 1 : 0);
    EXPECT_EQ(index, c.index);
    if (!c.rule.empty()) {
      EXPECT_EQ(rule, c.rule);
    }
    if (c.close_with != 0) {
      EXPECT_EQ(name, c.port);
    }
    if (c.message.empty()) {
      EXPECT_TRUE(host.messages.empty());
    } else {
      ASSERT_EQ(host.messages.size(), 1u);
      EXPECT_EQ(host.messages[0].text, c.message);
    }
  }
}

// The printer object of the monitor's Xcv handle, on this computer or on
// the server ConfigurePortUI names, however its name is written.
TEST(XcvMonitorObject, NamesTheServerOnce) {
  struct Case {
    const char16_t* server;
    const char16_t* object;
  };
  const Case cases[] = {
      {u"", u",XcvMonitor KVR Serial Port"},
      {u"\\\\TILL", u"\\\\TILL\\,XcvMonitor KVR Serial Port"},
      {u"TILL", u"\\\\TILL\\,XcvMonitor KVR Serial Port"},
      {u"\\\\till-2.shop.local", u"\\\\till-2.shop.local\\,XcvMonitor KVR Serial Port"},
  };
  for (const Case& c : cases) EXPECT_EQ(XcvMonitorObject(c.server, u"KVR Serial Port"), c.object) << ToUtf8(c.server);
}

}  // namespace
}  // namespace kit::monitors
