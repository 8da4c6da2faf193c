// The stored byte layout of PrivateDevMode: every field at its offset and
// width, the gaps left alone, and the event index order.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "plugin/core/devmode/private_devmode.h"
#include "tests/plugin/core/devmode/devmode_test_support.h"

namespace kit {
namespace {

using test::U32At;

// Field names for failure messages (kept out of operator+, which g++ 12
// warns about wrongly in optimised builds).
std::string Join(const std::string& prefix, const char* name) {
  std::string joined;
  joined.reserve(prefix.size() + std::char_traits<char>::length(name));
  joined.append(prefix).append(name);
  return joined;
}

enum class Kind { kU8, kU32, kBytes, kText };

struct FieldCase {
  std::string name;
  std::size_t offset;
  Kind kind;
  std::size_t width;  // bytes
  std::function<void(PrivateDevMode&)> mark;
};

constexpr std::uint8_t kMarkU8 = 0xA5;
constexpr std::uint32_t kMarkU32 = 0xA1B2C3D4;
constexpr char16_t kMarkChar = u'\x4142';

// Offsets as the stored format defines them, written out by hand.
std::vector<FieldCase> AllFields() {
  std::vector<FieldCase> f;
  auto u8 = [&](std::string name, std::size_t at, std::function<std::uint8_t&(PrivateDevMode&)> get) {
    f.push_back({name, at, Kind::kU8, 1, [get](PrivateDevMode& r) { get(r) = kMarkU8; }});
  };
  auto u32 = [&](std::string name, std::size_t at, std::function<std::uint32_t&(PrivateDevMode&)> get) {
    f.push_back({name, at, Kind::kU32, 4, [get](PrivateDevMode& r) { get(r) = kMarkU32; }});
  };
  f.push_back({"dwSize", 0, Kind::kU32, 4, [](PrivateDevMode& r) { r.dwSize = kMarkU32; }});
  f.push_back({"dwSignature", 4, Kind::kU32, 4, [](PrivateDevMode& r) { r.dwSignature = kMarkU32; }});
  f.push_back({"dwVersion", 8, Kind::kU32, 4, [](PrivateDevMode& r) { r.dwVersion = kMarkU32; }});
  f.push_back({"Reserved", 12, Kind::kU32, 4,
               [](PrivateDevMode& r) { r.Reserved = static_cast<std::int32_t>(kMarkU32); }});

  // Event blocks, in storage order: StartDoc, StartPage, EndDoc, EndPage.
  struct Block {
    const char* name;
    EventOperation PrivateDevMode::*op;
    std::size_t send, feed_to_cut, command, length, drawer, cut, feed, herald, use_herald, volume,
        buzzer, logo, align, position;
  };
  const Block blocks[] = {
      {"StartDocOp", &PrivateDevMode::StartDocOp, 16, 17, 18, 146, 147, 148, 149, 150, 152, 156, 157, 158, 159, 160},
      {"StartPageOp", &PrivateDevMode::StartPageOp, 161, 162, 163, 291, 292, 293, 294, 296, 300, 295, 304, 305, 306, 307},
      {"EndDocOp", &PrivateDevMode::EndDocOp, 308, 309, 310, 438, 439, 440, 441, 443, 444, 442, 448, 449, 450, 451},
      {"EndPageOp", &PrivateDevMode::EndPageOp, 452, 453, 454, 582, 583, 584, 585, 587, 588, 586, 592, 593, 594, 595},
  };
  for (const Block& b : blocks) {
    const std::string n = b.name;
    const auto op = b.op;
    auto ev = [op](PrivateDevMode& r) -> EventOperation& { return r.*op; };
    u8(Join(n, ".SendCommand"), b.send, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).SendCommand; });
    u8(Join(n, ".FeedToCut"), b.feed_to_cut, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).FeedToCut; });
    f.push_back({Join(n, ".Command"), b.command, Kind::kBytes, 128,
                 [ev](PrivateDevMode& r) { ev(r).Command.fill(kMarkU8); }});
    u8(Join(n, ".CommandLength"), b.length, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).CommandLength; });
    u8(Join(n, ".DrawerSelect"), b.drawer, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).DrawerSelect; });
    u8(Join(n, ".CutType"), b.cut, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).CutType; });
    u8(Join(n, ".FeedMm"), b.feed, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).FeedMm; });
    u8(Join(n, ".HeraldSelect"), b.herald, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).HeraldSelect; });
    u32(Join(n, ".UseHerald"), b.use_herald, [ev](PrivateDevMode& r) -> std::uint32_t& { return ev(r).UseHerald; });
    u8(Join(n, ".BuzzerVolume"), b.volume, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).BuzzerVolume; });
    u8(Join(n, ".BuzzerSelect"), b.buzzer, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).BuzzerSelect; });
    u8(Join(n, ".LogoSelect"), b.logo, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).LogoSelect; });
    u8(Join(n, ".LogoAlign"), b.align, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).LogoAlign; });
    u8(Join(n, ".LogoPosition"), b.position, [ev](PrivateDevMode& r) -> std::uint8_t& { return ev(r).LogoPosition; });
  }

  for (std::size_t k = 0; k < 8; ++k) {
    const std::size_t at = 596 + 36 * k;
    const std::string n = Join(Join("Barcode1D[", std::to_string(k).c_str()), "].");
    auto bc = [k](PrivateDevMode& r) -> Barcode1DSettings& { return r.Barcode1D[k]; };
    u8(Join(n, "Symbology"), at + 0, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).Symbology; });
    u8(Join(n, "ModuleWidth"), at + 1, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).ModuleWidth; });
    u32(Join(n, "Height"), at + 4, [bc](PrivateDevMode& r) -> std::uint32_t& { return bc(r).Height; });
    u8(Join(n, "HriPosition"), at + 8, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).HriPosition; });
    u8(Join(n, "HriFont"), at + 9, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).HriFont; });
    u32(Join(n, "ModuleWidthX8"), at + 12, [bc](PrivateDevMode& r) -> std::uint32_t& { return bc(r).ModuleWidthX8; });
    u32(Join(n, "PreviewHeight"), at + 16, [bc](PrivateDevMode& r) -> std::uint32_t& { return bc(r).PreviewHeight; });
    u8(Join(n, "Gs1ElementWidth"), at + 20, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).Gs1ElementWidth; });
    u32(Join(n, "Gs1RowHeight"), at + 24, [bc](PrivateDevMode& r) -> std::uint32_t& { return bc(r).Gs1RowHeight; });
    u32(Join(n, "Gs1Param28"), at + 28, [bc](PrivateDevMode& r) -> std::uint32_t& { return bc(r).Gs1Param28; });
    u8(Join(n, "Gs1Param32"), at + 32, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).Gs1Param32; });
    u8(Join(n, "Gs1Hri"), at + 33, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).Gs1Hri; });
    u8(Join(n, "Gs1Param34"), at + 34, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).Gs1Param34; });
  }
  for (std::size_t k = 0; k < 2; ++k) {
    const std::size_t at = 884 + 24 * k;
    const std::string n = Join(Join("Barcode2D[", std::to_string(k).c_str()), "].");
    auto bc = [k](PrivateDevMode& r) -> Barcode2DSettings& { return r.Barcode2D[k]; };
    u8(Join(n, "Symbol2D"), at + 0, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).Symbol2D; });
    f.push_back({Join(n, "Param1"), at + 1, Kind::kBytes, 4, [bc](PrivateDevMode& r) { bc(r).Param1.fill(kMarkU8); }});
    u8(Join(n, "Param5"), at + 5, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).Param5; });
    u8(Join(n, "Param6"), at + 6, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).Param6; });
    u32(Join(n, "Param8"), at + 8, [bc](PrivateDevMode& r) -> std::uint32_t& { return bc(r).Param8; });
    u32(Join(n, "Param12"), at + 12, [bc](PrivateDevMode& r) -> std::uint32_t& { return bc(r).Param12; });
    f.push_back({Join(n, "Param16"), at + 16, Kind::kBytes, 4, [bc](PrivateDevMode& r) { bc(r).Param16.fill(kMarkU8); }});
    u8(Join(n, "QrModuleSize"), at + 20, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).QrModuleSize; });
    u8(Join(n, "QrLanguageMode"), at + 21, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).QrLanguageMode; });
    u8(Join(n, "QrModel"), at + 22, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).QrModel; });
    u8(Join(n, "QrErrorLevel"), at + 23, [bc](PrivateDevMode& r) -> std::uint8_t& { return bc(r).QrErrorLevel; });
  }

  u8("Reserved2", 932, [](PrivateDevMode& r) -> std::uint8_t& { return r.Reserved2; });
  f.push_back({"WatermarkOwner", 934, Kind::kText, 64, [](PrivateDevMode& r) { r.WatermarkOwner.fill(kMarkChar); }});
  u8("PrintAsGraphics", 998, [](PrivateDevMode& r) -> std::uint8_t& { return r.PrintAsGraphics; });
  f.push_back({"WatermarkBitmapPath", 1000, Kind::kText, 250,
               [](PrivateDevMode& r) { r.WatermarkBitmapPath.fill(kMarkChar); }});
  u8("WatermarkMode", 1250, [](PrivateDevMode& r) -> std::uint8_t& { return r.WatermarkMode; });
  f.push_back({"WatermarkText", 1252, Kind::kText, 32, [](PrivateDevMode& r) { r.WatermarkText.fill(kMarkChar); }});
  f.push_back({"WatermarkFontName", 1284, Kind::kText, 100,
               [](PrivateDevMode& r) { r.WatermarkFontName.fill(kMarkChar); }});
  u8("WatermarkFontSize", 1384, [](PrivateDevMode& r) -> std::uint8_t& { return r.WatermarkFontSize; });
  u8("WatermarkFontStyle", 1385, [](PrivateDevMode& r) -> std::uint8_t& { return r.WatermarkFontStyle; });
  u32("WatermarkAngle", 1388, [](PrivateDevMode& r) -> std::uint32_t& { return r.WatermarkAngle; });
  u8("WatermarkPosition", 1392, [](PrivateDevMode& r) -> std::uint8_t& { return r.WatermarkPosition; });
  u8("WatermarkSize", 1393, [](PrivateDevMode& r) -> std::uint8_t& { return r.WatermarkSize; });
  u8("WatermarkBrightness", 1394, [](PrivateDevMode& r) -> std::uint8_t& { return r.WatermarkBrightness; });
  u8("ZoomPercent", 1395, [](PrivateDevMode& r) -> std::uint8_t& { return r.ZoomPercent; });
  u8("Rotate180", 1396, [](PrivateDevMode& r) -> std::uint8_t& { return r.Rotate180; });
  f.push_back({"PaperSizeName", 1398, Kind::kText, 64, [](PrivateDevMode& r) { r.PaperSizeName.fill(kMarkChar); }});
  u8("ZoomEnabled", 1462, [](PrivateDevMode& r) -> std::uint8_t& { return r.ZoomEnabled; });
  u8("LogEnabled", 1463, [](PrivateDevMode& r) -> std::uint8_t& { return r.LogEnabled; });
  f.push_back({"LogDirectory", 1464, Kind::kText, 512, [](PrivateDevMode& r) { r.LogDirectory.fill(kMarkChar); }});
  return f;
}

std::uint8_t ExpectedMarkByte(Kind kind, std::size_t i) {
  switch (kind) {
    case Kind::kU8:
    case Kind::kBytes: return kMarkU8;
    case Kind::kU32: return static_cast<std::uint8_t>(kMarkU32 >> (8 * i));
    case Kind::kText: return static_cast<std::uint8_t>(kMarkChar >> (8 * (i % 2)));
  }
  return 0;
}

std::set<std::size_t> Gaps() {
  std::set<std::size_t> g{151, 297, 298, 299, 933, 999, 1251, 1386, 1387, 1397};
  for (std::size_t k = 0; k < 8; ++k) {
    for (std::size_t rel : {2, 3, 10, 11, 21, 22, 23, 35}) g.insert(596 + 36 * k + rel);
  }
  for (std::size_t k = 0; k < 2; ++k) g.insert(884 + 24 * k + 7);
  return g;
}

TEST(PrivateDevModeLayout, EveryFieldEncodesAtItsOffsetAndWidthOnly) {
  const auto fields = AllFields();
  for (const auto& field : fields) {
    PrivateDevMode record;
    field.mark(record);
    PrivateDevModeBytes bytes{};
    Encode(record, bytes);
    for (std::size_t i = 0; i < kPrivateDevModeSize; ++i) {
      const bool inside = i >= field.offset && i < field.offset + field.width;
      const std::uint8_t expected = inside ? ExpectedMarkByte(field.kind, i - field.offset) : 0;
      ASSERT_EQ(bytes[i], expected) << field.name << " byte " << i;
    }
    // And the same bytes decode to the same field.
    EXPECT_EQ(Decode(bytes), record) << field.name;
  }
}

TEST(PrivateDevModeLayout, FieldsAndGapsCoverTheRecordExactlyOnce) {
  std::vector<int> owners(kPrivateDevModeSize, 0);
  for (const auto& field : AllFields()) {
    for (std::size_t i = 0; i < field.width; ++i) ++owners[field.offset + i];
  }
  const auto gaps = Gaps();
  for (std::size_t i = 0; i < kPrivateDevModeSize; ++i) {
    EXPECT_EQ(owners[i], gaps.count(i) ? 0 : 1) << "byte " << i;
  }
}

TEST(PrivateDevModeLayout, EncodeLeavesTheGapsAlone) {
  PrivateDevModeBytes bytes;
  bytes.fill(0xEE);
  Encode(PrivateDevMode{}, bytes);
  const auto gaps = Gaps();
  for (std::size_t i = 0; i < kPrivateDevModeSize; ++i) {
    ASSERT_EQ(bytes[i], gaps.count(i) ? 0xEE : 0x00) << "byte " << i;
  }
}

TEST(PrivateDevModeLayout, DecodeThenEncodeReproducesAnyBytes) {
  PrivateDevModeBytes original;
  std::uint32_t state = 12345;
  for (auto& b : original) {
    state = state * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(state >> 16);
  }
  PrivateDevModeBytes copy{};
  copy = original;
  Encode(Decode(original), copy);
  EXPECT_EQ(copy, original);
  // Multi-byte fields are little-endian whatever the host.
  EXPECT_EQ(Decode(original).StartPageOp.UseHerald, U32At(original, 300));
  EXPECT_EQ(Decode(original).Reserved, static_cast<std::int32_t>(U32At(original, 12)));
}

TEST(PrivateDevModeLayout, EventIndexFollowsTheOperationPageNotTheStorageOrder) {
  PrivateDevMode record;
  record.StartDocOp.FeedMm = 10;
  record.StartPageOp.FeedMm = 11;
  record.EndPageOp.FeedMm = 12;
  record.EndDocOp.FeedMm = 13;
  EXPECT_EQ(EventByIndex(record, 0)->FeedMm, 10);
  EXPECT_EQ(EventByIndex(record, 1)->FeedMm, 11);
  EXPECT_EQ(EventByIndex(record, 2)->FeedMm, 12);  // End of Page
  EXPECT_EQ(EventByIndex(record, 3)->FeedMm, 13);  // End of Document
  EXPECT_EQ(EventByIndex(record, -1), nullptr);
  EXPECT_EQ(EventByIndex(record, 4), nullptr);
}

TEST(PrivateDevModeText, IsCutToItsCapacityAndTerminated) {
  PrivateDevMode record;
  SetText(record.WatermarkText, u"0123456789ABCDEFGHIJ");  // 20 units into 16
  EXPECT_EQ(TextOf(record.WatermarkText), u"0123456789ABCDE");
  EXPECT_EQ(record.WatermarkText[15], u'\0');

  SetText(record.WatermarkText, u"ab");
  EXPECT_EQ(TextOf(record.WatermarkText), u"ab");
  for (std::size_t i = 2; i < 16; ++i) EXPECT_EQ(record.WatermarkText[i], u'\0') << i;

  // A field that is full to the end (written by someone else) reads whole.
  record.PaperSizeName.fill(u'x');
  EXPECT_EQ(TextOf(record.PaperSizeName).size(), 32u);

  PrivateDevModeBytes bytes{};
  SetText(record.LogDirectory, u"D:\\\u65E5\u5FD7");
  Encode(record, bytes);
  EXPECT_EQ(test::TextAt(bytes, 1464, 256), u"D:\\\u65E5\u5FD7");
}

}  // namespace
}  // namespace kit
