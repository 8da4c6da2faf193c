// The serial port's dialog, headless, on the serial monitor's own XcvData
// answers: what the lists show for a stored setting, what OK stores, and
// what it refuses.
#include <gtest/gtest.h>

#include "monitors/core/serial_ports.h"
#include "monitors/portui/serial_port_page.h"
#include "tests/monitors/portui/port_ui_doubles.h"
#include "tests/monitors/portui/serial_port_machine.h"
#include "ui/headless/dialog.h"

namespace kit::monitors {
namespace {

using testing::MonitorChannel;

class SerialPortPageTest : public testing::SerialPortMachineTest {
 protected:
  SerialPortPageTest() : SerialPortMachineTest(u"COM3:") {}
  // The texts of the five lists' selections.
  static std::vector<std::u16string> Shown(const ui::headless::Dialog& d) {
    std::vector<std::u16string> shown;
    for (const int id : {kBaudListId, kDataBitsListId, kParityListId, kStopBitsListId, kFlowListId}) {
      shown.push_back(d.Selection(id) < 0 ? u"(none)" : d.ItemText(id, d.Selection(id)));
    }
    return shown;
  }
  MonitorChannel Channel(std::uint32_t access = kServerAccessAdminister) {
    return MonitorChannel(p().registry, SerialXcvData, access);
  }
  const PortUiTexts& english_ = TextsFor(PortUiLanguage::kEnglish);
  ui::headless::Environment env_;
};

// What the lists show for what the port has stored, read back through the
// monitor as the dialog reads it.
TEST_F(SerialPortPageTest, TheListsShowTheStoredSettings) {
  struct Case {
    const char16_t* stored;  // nullptr: nothing stored
    std::vector<std::u16string> shown;
    int baud_entries;
  };
  const Case cases[] = {
      {nullptr, {u"9600", u"8", u"None", u"1", u"Hardware"}, 11},
      {u"19200,e,7,2,x", {u"19200", u"7", u"Even", u"2", u"Xon / Xoff"}, 11},
      // Windows' own four fields: no flow control.
      {u"115200,O,8,1", {u"115200", u"8", u"Odd", u"1", u"None"}, 11},
      {u"4800,m,5,1.5, ", {u"4800", u"5", u"Mark", u"1.5", u"None"}, 11},
      // A speed the list does not offer joins it, in order.
      {u"14400,s,6,1,p", {u"14400", u"6", u"Space", u"1", u"Hardware"}, 12},
      {u"75,n,8,1,p", {u"75", u"8", u"None", u"1", u"Hardware"}, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored == nullptr ? "(nothing)" : ToUtf8(c.stored));
    if (c.stored != nullptr) Store(c.stored);
    MonitorChannel channel = Channel();
    SerialSettings settings;
    ASSERT_EQ(GetPortSettings(channel, u"KVCOM3:", &settings), 0u);
    SerialPortPage page(english_, u"KVCOM3:", settings, &channel, nullptr);
    ui::headless::Dialog d(page, env_);
    d.Create();
    EXPECT_EQ(Shown(d), c.shown);
    EXPECT_EQ(d.ItemCount(kBaudListId), c.baud_entries);
    EXPECT_EQ(d.Text(kPortNameId), u"KVCOM3:");
    EXPECT_EQ(page.Chosen(d), settings);
  }
}

// OK stores the lists' choice in the install's form; settings no serial
// port takes are refused with the rule, and a refusal by the monitor is
// shown with its error; either way the dialog stays open and nothing is
// stored.
TEST_F(SerialPortPageTest, OkStoresTheChoiceOrSaysWhyNot) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> selections;  // list id, index
    std::uint32_t access;
    const char16_t* stored;  // after OK; "(none)" when nothing was written
    bool ended;
    std::u16string message;  // the box shown, empty for none
  };
  const Case cases[] = {
      {"a new choice",
       {{kBaudListId, 4}, {kDataBitsListId, 2}, {kParityListId, 2}, {kStopBitsListId, 2}, {kFlowListId, 1}},
       kServerAccessAdminister, u"19200,e,7,2,x", true, u""},
      {"unchanged", {}, kServerAccessAdminister, u"9600,n,8,1,p", true, u""},
      {"no flow control", {{kFlowListId, 2}}, kServerAccessAdminister, u"9600,n,8,1, ", true, u""},
      {"one and a half stop bits with five data bits",
       {{kDataBitsListId, 0}, {kStopBitsListId, 1}}, kServerAccessAdminister, u"9600,n,5,1.5,p", true, u""},
      {"two stop bits with five data bits", {{kDataBitsListId, 0}, {kStopBitsListId, 2}}, kServerAccessAdminister,
       u"(none)", false, TextsFor(PortUiLanguage::kEnglish).bad_combination},
      {"one and a half stop bits with eight data bits", {{kStopBitsListId, 1}}, kServerAccessAdminister, u"(none)",
       false, TextsFor(PortUiLanguage::kEnglish).bad_combination},
      // The monitor refuses a handle opened without administer access.
      {"refused by the monitor", {{kBaudListId, 0}}, kServerAccessEnumerate, u"(none)", false,
       u"The settings of KVCOM3: could not be stored (error 5: (the system's text))."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    Fresh();
    MonitorChannel channel = Channel(c.access);
    SerialPortPage page(english_, u"KVCOM3:", kDefaultSerialSettings, &channel,
                        [](std::uint32_t) { return std::u16string(u"(the system's text)"); });
    ui::headless::Environment env;
    ui::headless::Dialog d(page, env);
    d.Create();
    for (const auto& [id, index] : c.selections) ASSERT_TRUE(d.Select(id, index));
    const SerialSettings chosen = page.Chosen(d);
    d.Click(ui::kIdOk);
    EXPECT_EQ(d.Ended(), c.ended);
    EXPECT_EQ(Stored(), c.stored);
    if (c.message.empty()) {
      EXPECT_TRUE(env.MessageBoxes().empty());
      EXPECT_EQ(d.Result(), ui::kIdOk);
      EXPECT_EQ(page.settings(), chosen);
    } else {
      ASSERT_EQ(env.MessageBoxes().size(), 1u);
      EXPECT_EQ(env.MessageBoxes()[0].text, c.message);
      EXPECT_EQ(env.MessageBoxes()[0].caption, u"Configure Port");
      EXPECT_EQ(page.settings(), kDefaultSerialSettings);
      // The person can still leave without a change.
      d.Click(ui::kIdCancel);
      EXPECT_EQ(d.Result(), ui::kIdCancel);
      EXPECT_EQ(Stored(), u"(none)");
    }
  }
}

TEST_F(SerialPortPageTest, RestoreDefaultsChoosesThePortsDefaultsAndCancelKeepsTheStoredOnes) {
  Store(u"38400,o,7,2,x");
  MonitorChannel channel = Channel();
  SerialSettings settings;
  ASSERT_EQ(GetPortSettings(channel, u"KVCOM3:", &settings), 0u);
  SerialPortPage page(english_, u"KVCOM3:", settings, &channel, nullptr);
  ui::headless::Dialog d(page, env_);
  d.Create();
  ASSERT_TRUE(d.Click(kRestoreDefaultsId));
  EXPECT_EQ(Shown(d), (std::vector<std::u16string>{u"9600", u"8", u"None", u"1", u"Hardware"}));
  d.Click(ui::kIdCancel);
  EXPECT_EQ(d.Result(), ui::kIdCancel);
  EXPECT_EQ(Stored(), u"38400,o,7,2,x");
  // Only GetPortSettings went to the monitor.
  EXPECT_EQ(channel.calls, (std::vector<WString>{kXcvGetPortSettings}));
}

// Without the right to change them the settings are shown, not offered.
TEST_F(SerialPortPageTest, WithoutAChannelTheSettingsAreShownOnly) {
  SerialPortPage page(english_, u"KVCOM3:", {19200, Parity::kEven, 7, StopBits::kTwo, FlowControl::kXonXoff},
                      nullptr, nullptr);
  ui::headless::Dialog d(page, env_);
  d.Create();
  EXPECT_EQ(Shown(d), (std::vector<std::u16string>{u"19200", u"7", u"Even", u"2", u"Xon / Xoff"}));
  for (const int id : {kBaudListId, kDataBitsListId, kParityListId, kStopBitsListId, kFlowListId}) {
    EXPECT_FALSE(d.Select(id, 0)) << id;
  }
  EXPECT_FALSE(d.Click(kRestoreDefaultsId));
  EXPECT_FALSE(d.Click(ui::kIdOk));
  EXPECT_TRUE(d.IsVisible(kReadOnlyNoteId));
  EXPECT_EQ(d.Text(kReadOnlyNoteId), english_.read_only);
  EXPECT_EQ(d.Text(ui::kIdCancel), u"Close");
  // Enter ends it as Close does.
  d.SendCommand(ui::kIdOk);
  EXPECT_EQ(d.Result(), ui::kIdCancel);
  EXPECT_EQ(Stored(), u"(none)");
}

}  // namespace
}  // namespace kit::monitors
