// The platform's shared values: the TCP/IP port record layout, GUID text
// and UTF-16 conversions.
#include <gtest/gtest.h>

#include "platform/port_data.h"
#include "platform/registry.h"
#include "platform/types.h"

namespace kit {
namespace {

std::uint32_t DwordAt(const Bytes& b, std::size_t off) {
  return b[off] | (b[off + 1] << 8) | (b[off + 2] << 16) | (static_cast<std::uint32_t>(b[off + 3]) << 24);
}

TEST(PortData1, RecordOfTheKitsNetworkPortHasTheWindowsLayout) {
  PortData1 d;
  d.port_name = u"KVIP_192.168.0.50";
  d.host_address = u"192.168.0.50";
  d.snmp_community = u"public";
  d.double_spool = 1;
  d.port_number = 9100;
  d.snmp_dev_index = 1;
  const Bytes b = EncodePortData1(d);
  ASSERT_EQ(b.size(), 964u);
  EXPECT_EQ(b[0], 'K');
  EXPECT_EQ(b[1], 0);
  EXPECT_EQ(DwordAt(b, 128), 1u);    // version
  EXPECT_EQ(DwordAt(b, 132), 1u);    // raw protocol
  EXPECT_EQ(DwordAt(b, 136), 964u);  // cbSize
  EXPECT_EQ(b[144], '1');            // host address
  EXPECT_EQ(b[242], 'p');            // SNMP community
  EXPECT_EQ(DwordAt(b, 308), 1u);    // double spool
  EXPECT_EQ(DwordAt(b, 952), 9100u);
  EXPECT_EQ(DwordAt(b, 956), 0u);
  EXPECT_EQ(DwordAt(b, 960), 1u);
  const auto back = DecodePortData1(b);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->port_name, d.port_name);
  EXPECT_EQ(back->host_address, d.host_address);
  EXPECT_EQ(back->port_number, 9100u);
}

TEST(PortData1, OverlongTextIsCutAndTerminatedAndShortInputRefused) {
  PortData1 d;
  d.port_name = WString(100, u'x');
  d.ip_address = u"255.255.255.255.255";  // 19 characters, the field holds 15
  const Bytes b = EncodePortData1(d);
  const auto back = DecodePortData1(b);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->port_name.size(), 63u);
  EXPECT_EQ(back->ip_address, u"255.255.255.255");  // 15 characters fit
  EXPECT_EQ(DwordAt(b, 128), 1u);  // the cut name did not spill into the version
  EXPECT_FALSE(DecodePortData1(Bytes(963, 0)).has_value());
}

TEST(Guid, ParsesAndPrintsRegistryForm) {
  const auto g = Guid::Parse(u"{36fc9e60-c465-11cf-8056-444553540000}");
  ASSERT_TRUE(g.has_value());
  EXPECT_EQ(*g, kGuidDevClassUsb);
  EXPECT_EQ(g->ToString(), u"{36FC9E60-C465-11CF-8056-444553540000}");
  EXPECT_EQ(Guid::Parse(u"4D36E978-E325-11CE-BFC1-08002BE10318"), kGuidDevClassPorts);
  EXPECT_FALSE(Guid::Parse(u"{36FC9E60-C465-11CF-8056-44455354000}").has_value());
  EXPECT_FALSE(Guid::Parse(u"{36FC9E60-C465-11CF-8056-44455354000G}").has_value());
  EXPECT_FALSE(Guid::Parse(u"").has_value());
}

TEST(Text, Utf8RoundTripAndNoCaseCompare) {
  const WString chinese = u"\u6253\u5370\u673A\u9A71\u52A8\u5B89\u88C5\u7A0B\u5E8F";
  EXPECT_EQ(FromUtf8(ToUtf8(chinese)), chinese);
  EXPECT_EQ(FromUtf8(ToUtf8(u"\U0001F600")), u"\U0001F600");
  EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");  // truncated sequence
  EXPECT_EQ(ToUtf8(WString(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_TRUE(EqualsNoCase(u"C:\\Windows\\System32", u"c:\\WINDOWS\\system32"));
  EXPECT_FALSE(EqualsNoCase(u"KVCOM1:", u"KVCOM1"));
  EXPECT_FALSE(EqualsNoCase(u"\u6253", u"\u6254"));
}

}  // namespace
}  // namespace kit

namespace kit {
namespace {

TEST(MultiSz, EncodesTerminatedStringsAndParsesWhatWindowsWrites) {
  const Bytes data = EncodeMultiSz({u"USB\\VID_7A5C&PID_1002", u"USB\\VID_7A5C"});
  ASSERT_EQ(data.size(), (21 + 1 + 12 + 1 + 1) * 2u);
  EXPECT_EQ(data[0], 'U');
  EXPECT_EQ(data[1], 0);
  EXPECT_EQ(Bytes(data.end() - 4, data.end()), Bytes(4, 0));
  EXPECT_EQ(ParseMultiSz(data), (std::vector<WString>{u"USB\\VID_7A5C&PID_1002", u"USB\\VID_7A5C"}));

  EXPECT_EQ(EncodeMultiSz({}), Bytes(2, 0));
  EXPECT_TRUE(ParseMultiSz(Bytes(2, 0)).empty());
  // A last string without its terminator is kept; an odd trailing byte is not read.
  EXPECT_EQ(ParseMultiSz(Bytes{'A', 0, 'B', 0, 'C'}), std::vector<WString>{u"AB"});
  // The list ends at the first empty string.
  EXPECT_EQ(ParseMultiSz(Bytes{'A', 0, 0, 0, 0, 0, 'B', 0, 0, 0}), std::vector<WString>{u"A"});
}

}  // namespace
}  // namespace kit
