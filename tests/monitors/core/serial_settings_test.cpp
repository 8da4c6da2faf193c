// The serial settings text a port's value holds: what is read, what is
// refused, the form written back, and the write time-outs that follow.
#include <gtest/gtest.h>

#include "monitors/core/serial_settings.h"

namespace kit::monitors {
namespace {

TEST(SerialSettings, TextsReadAndRefused) {
  struct Case {
    const char16_t* text;
    std::optional<SerialSettings> expected;
  };
  const std::vector<Case> cases = {
      {u"9600,n,8,1,p", SerialSettings{9600, Parity::kNone, 8, StopBits::kOne, FlowControl::kHardware}},
      {u"19200,e,7,1.5,x", std::nullopt},  // 1.5 stop bits need 5 data bits
      {u"19200,e,5,1.5,x", SerialSettings{19200, Parity::kEven, 5, StopBits::kOneAndHalf, FlowControl::kXonXoff}},
      {u"115200,O,8,2,P", SerialSettings{115200, Parity::kOdd, 8, StopBits::kTwo, FlowControl::kHardware}},
      {u"2400,s,6,1, ", SerialSettings{2400, Parity::kSpace, 6, StopBits::kOne, FlowControl::kNone}},
      {u"4800,m,7,1,", SerialSettings{4800, Parity::kMark, 7, StopBits::kOne, FlowControl::kNone}},
      // Windows' own form for its COM ports: no flow field.
      {u"9600,n,8,1", SerialSettings{9600, Parity::kNone, 8, StopBits::kOne, FlowControl::kNone}},
      {u" 38400 , n , 8 , 1 , x ", SerialSettings{38400, Parity::kNone, 8, StopBits::kOne, FlowControl::kXonXoff}},
      {u"", std::nullopt},
      {u"9600", std::nullopt},
      {u"9600,n,8", std::nullopt},
      {u"9600,n,8,1,p,extra", std::nullopt},
      {u"9600,q,8,1,p", std::nullopt},
      {u"9600,no,8,1,p", std::nullopt},
      {u"9600,n,9,1,p", std::nullopt},
      {u"9600,n,4,1,p", std::nullopt},
      {u"9600,n,5,2,p", std::nullopt},  // 2 stop bits with 5 data bits
      {u"9600,n,8,3,p", std::nullopt},
      {u"9600,n,8,1,h", std::nullopt},
      {u"9600,n,8,1,px", std::nullopt},
      {u"0,n,8,1,p", std::nullopt},
      {u"74,n,8,1,p", std::nullopt},
      {u"921601,n,8,1,p", std::nullopt},
      {u"99999999999,n,8,1,p", std::nullopt},
      {u"-9600,n,8,1,p", std::nullopt},
      {u"96 00,n,8,1,p", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    EXPECT_EQ(ParseSerialSettings(c.text), c.expected);
  }
}

TEST(SerialSettings, WrittenInTheInstallsFormAndReadBack) {
  struct Case {
    SerialSettings settings;
    const char16_t* text;
  };
  const std::vector<Case> cases = {
      {kDefaultSerialSettings, u"9600,n,8,1,p"},
      {{19200, Parity::kEven, 5, StopBits::kOneAndHalf, FlowControl::kXonXoff}, u"19200,e,5,1.5,x"},
      {{110, Parity::kSpace, 7, StopBits::kTwo, FlowControl::kNone}, u"110,s,7,2, "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    EXPECT_EQ(FormatSerialSettings(c.settings), c.text);
    EXPECT_EQ(ParseSerialSettings(c.text), c.settings);
  }
}

TEST(SerialSettings, WriteTimeOutsFollowTheLineSpeed) {
  struct Case {
    SerialSettings settings;
    std::uint32_t bits;
    std::uint32_t per_byte_ms;
  };
  const std::vector<Case> cases = {
      // 10 bits at 9600 baud: 1.04 ms, rounded up to 2, doubled.
      {kDefaultSerialSettings, 10, 4},
      {{115200, Parity::kNone, 8, StopBits::kOne, FlowControl::kHardware}, 10, 2},
      {{110, Parity::kEven, 7, StopBits::kTwo, FlowControl::kNone}, 11, 200},
      {{1200, Parity::kOdd, 5, StopBits::kOneAndHalf, FlowControl::kNone}, 9, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(FormatSerialSettings(c.settings)));
    EXPECT_EQ(BitsPerCharacter(c.settings), c.bits);
    const WriteTimeouts t = WriteTimeoutsFor(c.settings);
    EXPECT_EQ(t.per_byte_ms, c.per_byte_ms);
    EXPECT_EQ(t.constant_ms, kWriteTimeoutConstantMs);
  }
}

}  // namespace
}  // namespace kit::monitors
