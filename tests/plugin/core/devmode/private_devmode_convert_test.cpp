// Defaults, Convert and Validate of PrivateDevMode as the host's DevMode
// modes use them.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "plugin/core/devmode/private_devmode.h"
#include "tests/plugin/core/devmode/devmode_test_support.h"

namespace kit {
namespace {

using test::PutU32;
using test::U32At;

constexpr std::u16string_view kSystemDir = u"C:\\WINDOWS\\system32";

PrivateDevModeBytes Defaults() {
  PrivateDevModeBytes bytes;
  bytes.fill(0x5A);  // WriteDefaults must clear everything, gaps included
  WriteDefaults(bytes, kSystemDir);
  return bytes;
}

// A record of this plug-in with every byte set to something other than its
// default, so that copied and defaulted bytes can be told apart.
std::vector<std::uint8_t> OwnRecord(std::size_t length, std::uint32_t declared_size) {
  std::vector<std::uint8_t> in(length);
  for (std::size_t i = 0; i < length; ++i) in[i] = static_cast<std::uint8_t>(0x80 | (i * 7));
  PutU32(in, 0, declared_size);
  PutU32(in, 4, 0x56513430);
  PutU32(in, 8, 1);
  PutU32(in, 12, 7);
  return in;
}

TEST(PrivateDevModeDefaults, EveryDefaultByte) {
  PrivateDevModeBytes expected{};
  PutU32(expected, 0, 1976);
  PutU32(expected, 4, 0x56513430);
  expected[4] = 0x30;  // "VQ40" most significant byte first, stored little-endian
  expected[5] = 0x34;
  expected[6] = 0x51;
  expected[7] = 0x56;
  PutU32(expected, 8, 1);
  expected[147] = 4;  // StartDocOp.DrawerSelect
  expected[309] = 1;  // EndDocOp.FeedToCut
  expected[440] = 1;  // EndDocOp.CutType
  const std::uint8_t symbology[8] = {0, 1, 3, 4, 5, 6, 7, 8};
  for (std::size_t k = 0; k < 8; ++k) {
    const std::size_t at = 596 + 36 * k;
    expected[at + 0] = symbology[k];
    expected[at + 1] = 3;
    PutU32(expected, at + 4, 163);
    PutU32(expected, at + 12, 24);
    PutU32(expected, at + 16, 163);
    expected[at + 20] = 2;
    PutU32(expected, at + 24, 100);
    PutU32(expected, at + 28, 2);
    expected[at + 32] = 1;
    expected[at + 33] = 1;
    expected[at + 34] = 1;
  }
  for (std::size_t k = 0; k < 2; ++k) {
    const std::size_t at = 884 + 24 * k;
    const std::uint8_t bytes[24] = {0, 3, 3, 3, 3, 5, 2, 0, 100, 0, 0, 0,
                                    2, 0, 0, 0, 2, 4, 1, 1, 3, 0, 1, 1};
    std::copy(std::begin(bytes), std::end(bytes), expected.begin() + static_cast<std::ptrdiff_t>(at));
  }
  expected[1384] = 50;   // WatermarkFontSize
  PutU32(expected, 1388, 45);
  expected[1392] = 4;    // WatermarkPosition
  expected[1393] = 100;  // WatermarkSize
  expected[1394] = 50;   // WatermarkBrightness
  expected[1395] = 100;  // ZoomPercent
  test::PutText(expected, 1464, u"C:\\KVRODriverlog\\VRT-Q40");

  const PrivateDevModeBytes actual = Defaults();
  for (std::size_t i = 0; i < kPrivateDevModeSize; ++i) {
    ASSERT_EQ(actual[i], expected[i]) << "byte " << i;
  }
  EXPECT_EQ(Decode(actual), DefaultPrivateDevMode(kSystemDir));
}

TEST(PrivateDevModeDefaults, LogDirectoryIsBelowTheSystemDrivesRoot) {
  EXPECT_EQ(DefaultLogDirectory(u"D:\\WINNT\\system32"), u"D:\\KVRODriverlog\\VRT-Q40");
  PrivateDevModeBytes bytes{};
  WriteDefaults(bytes, u"D:\\WINNT\\system32");
  EXPECT_EQ(test::TextAt(bytes, 1464, 256), u"D:\\KVRODriverlog\\VRT-Q40");
}

TEST(PrivateDevModeConvert, AForeignRecordGivesTheDefaults) {
  auto in = OwnRecord(kPrivateDevModeSize, 1976);
  PutU32(in, 4, 0x4D524F46);  // another plug-in's signature
  PrivateDevModeBytes out = Defaults();
  Convert(in, out, kSystemDir);
  EXPECT_EQ(out, Defaults());

  // Too short to carry a signature at all.
  const std::vector<std::uint8_t> stub = {0xB8, 0x07, 0x00, 0x00, 0x30, 0x34, 0x51};
  out.fill(0x11);
  Convert(stub, out, kSystemDir);
  EXPECT_EQ(out, Defaults());
}

TEST(PrivateDevModeConvert, AShorterRecordKeepsItsBytesAndDefaultsTheRest) {
  // Exactly 1000 readable bytes: nothing past them may be read.
  const auto in = OwnRecord(1000, 1000);
  PrivateDevModeBytes out = Defaults();
  ASSERT_EQ(U32At(out, 0), 1976u);
  Convert(in, out, kSystemDir);
  const PrivateDevModeBytes defaults = Defaults();
  for (std::size_t i = 0; i < kPrivateDevModeSize; ++i) {
    if (i < 4) continue;  // dwSize is restamped
    if (i >= 8 && i < 12) continue;  // dwVersion is restamped
    ASSERT_EQ(out[i], i < 1000 ? in[i] : defaults[i]) << "byte " << i;
  }
  EXPECT_EQ(U32At(out, 0), 1976u);
  EXPECT_EQ(U32At(out, 8), 1u);
  EXPECT_EQ(U32At(out, 12), 7u);  // Reserved came from the input
  EXPECT_EQ(test::TextAt(out, 1464, 256), u"C:\\KVRODriverlog\\VRT-Q40");
}

TEST(PrivateDevModeConvert, SizeFieldsNeverLeadPastTheRecord) {
  const PrivateDevModeBytes defaults = Defaults();
  {  // 0: nothing is kept
    const auto in = OwnRecord(kPrivateDevModeSize, 0);
    PrivateDevModeBytes out{};
    Convert(in, out, kSystemDir);
    EXPECT_EQ(out, defaults);
  }
  {  // 15: the header and three bytes of Reserved
    const auto in = OwnRecord(kPrivateDevModeSize, 15);
    PrivateDevModeBytes out{};
    Convert(in, out, kSystemDir);
    EXPECT_EQ(U32At(out, 0), 1976u);
    EXPECT_EQ(U32At(out, 4), 0x56513430u);
    EXPECT_EQ(U32At(out, 8), 1u);
    EXPECT_EQ(out[12], in[12]);
    EXPECT_EQ(out[14], in[14]);
    EXPECT_EQ(out[15], 0);
    EXPECT_TRUE(std::equal(out.begin() + 16, out.end(), defaults.begin() + 16));
  }
  for (const std::uint32_t declared : {1977u, 0xFFFFFFFFu}) {
    // The input buffer is longer than a record; only 1976 bytes count.
    const auto in = OwnRecord(kPrivateDevModeSize + 100, declared);
    PrivateDevModeBytes out{};
    Convert(in, out, kSystemDir);
    EXPECT_EQ(U32At(out, 0), 1976u) << declared;
    EXPECT_TRUE(std::equal(out.begin() + 4, out.end(), in.begin() + 4)) << declared;
  }
  {  // A size field larger than the bytes that can be read.
    const auto in = OwnRecord(600, 1976);
    PrivateDevModeBytes out{};
    Convert(in, out, kSystemDir);
    EXPECT_TRUE(std::equal(out.begin() + 12, out.begin() + 600, in.begin() + 12));
    EXPECT_TRUE(std::equal(out.begin() + 600, out.end(), defaults.begin() + 600));
  }
}

TEST(PrivateDevModeConvert, TheOutputBuffersOldHeaderDoesNotDecide) {
  // The host's output buffer may hold anything before the conversion. A
  // record of this plug-in must still be kept whole...
  const auto in = OwnRecord(kPrivateDevModeSize, 1976);
  PrivateDevModeBytes out{};  // dwSize 0, no signature
  Convert(in, out, kSystemDir);
  EXPECT_TRUE(std::equal(out.begin() + 12, out.end(), in.begin() + 12));

  // ...and a foreign record must not be copied because the output happens to
  // carry the same foreign signature.
  auto foreign = OwnRecord(kPrivateDevModeSize, 1976);
  PutU32(foreign, 4, 0);
  out.fill(0);
  PutU32(out, 0, 1976);
  Convert(foreign, out, kSystemDir);
  EXPECT_EQ(out, Defaults());
}

TEST(PrivateDevModeConvert, WorksInPlaceAndIgnoresANullInput) {
  auto record = OwnRecord(kPrivateDevModeSize, 1976);
  PutU32(record, 8, 9);
  const auto before = record;
  PrivateDevModeSpan same(record.data(), kPrivateDevModeSize);
  Convert(record, same, kSystemDir);
  EXPECT_EQ(U32At(record, 8), 1u);
  EXPECT_TRUE(std::equal(record.begin() + 12, record.end(), before.begin() + 12));

  PrivateDevModeBytes out;
  out.fill(0x33);
  const PrivateDevModeBytes untouched = out;
  Convert(std::span<const std::uint8_t>(), out, kSystemDir);
  EXPECT_EQ(out, untouched);
}

// Validate without an input record validates the output where it lies.
TEST(PrivateDevModeValidate, WithoutAnInputValidatesTheOutputInPlace) {
  const PrivateDevModeBytes defaults = Defaults();
  struct Case {
    const char* what;
    std::uint32_t size, signature, version;
    std::int32_t reserved, expected_reserved;
    bool own;              // the record's fields are kept
    std::size_t kept = kPrivateDevModeSize;  // bytes kept from the record
  };
  const Case cases[] = {
      {"own record, Reserved too large", 1976, 0x56513430, 3, 101, 0, true},
      {"own record, Reserved kept", 1976, 0x56513430, 1, 100, 100, true},
      {"own record, negative Reserved", 1976, 0x56513430, 7, -5, -5, true},
      {"own record, no size", 0, 0x56513430, 1, 100, 0, true, 0},
      {"own older record", 1000, 0x56513430, 1, 101, 0, true, 1000},
      {"foreign record", 1976, 0x4D524F46, 1, 5, 0, false},
      {"no header at all", 0, 0, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto bytes = OwnRecord(kPrivateDevModeSize, c.size);
    PutU32(bytes, 4, c.signature);
    PutU32(bytes, 8, c.version);
    PutU32(bytes, 12, static_cast<std::uint32_t>(c.reserved));
    const auto before = bytes;
    PrivateDevModeSpan record(bytes.data(), kPrivateDevModeSize);
    Validate(std::span<const std::uint8_t>(), record, kSystemDir);
    EXPECT_EQ(U32At(bytes, 0), 1976u);
    EXPECT_EQ(U32At(bytes, 4), 0x56513430u);
    EXPECT_EQ(U32At(bytes, 8), 1u);
    EXPECT_EQ(static_cast<std::int32_t>(U32At(bytes, 12)), c.expected_reserved);
    for (std::size_t i = 16; i < kPrivateDevModeSize; ++i) {
      const bool from_record = c.own && i < c.kept;
      ASSERT_EQ(bytes[i], from_record ? before[i] : defaults[i]) << "byte " << i;
    }
  }
}

TEST(PrivateDevModeValidate, ResetsReservedAbove100AndRestampsTheHeader) {
  struct Case {
    std::int32_t reserved;
    std::int32_t expected;
  };
  for (const Case c : {Case{101, 0}, Case{100, 100}, Case{-5, -5}, Case{0, 0}, Case{INT_MAX, 0},
                       Case{INT_MIN, INT_MIN}}) {
    auto in = OwnRecord(kPrivateDevModeSize, 1976);
    PutU32(in, 12, static_cast<std::uint32_t>(c.reserved));
    PutU32(in, 8, 3);
    PrivateDevModeBytes out{};
    Validate(in, out, kSystemDir);
    EXPECT_EQ(static_cast<std::int32_t>(U32At(out, 12)), c.expected) << c.reserved;
    EXPECT_EQ(U32At(out, 0), 1976u);
    EXPECT_EQ(U32At(out, 4), 0x56513430u);
    EXPECT_EQ(U32At(out, 8), 1u);
    EXPECT_TRUE(std::equal(out.begin() + 16, out.end(), in.begin() + 16)) << c.reserved;
  }
}

}  // namespace
}  // namespace kit
