#include "plugin/render/core/device_text.h"

#include <gtest/gtest.h>

#include "plugin/pages/barcode/barcode_data.h"
#include "plugin/pages/barcode/barcode_records.h"

namespace kit::render {
namespace {

using Bytes = std::vector<std::uint8_t>;
using print::fonts::FindFont;

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// One table per font kind: the string an application printed, where, and
// the bytes that reach the printer (and whether the driver log hears of it).
TEST(DeviceText, WhatEachFontPrints) {
  PrivateDevMode record = DefaultPrivateDevMode(u"C:\\Windows\\system32");
  // 1D Code1: Code93 (type 7), width 3, height 163, HRI below in Font A.
  record.Barcode1D[0].Symbology = 7;
  record.Barcode1D[0].ModuleWidth = 3;
  record.Barcode1D[0].Height = 163;
  record.Barcode1D[0].HriPosition = 2;
  record.Barcode1D[0].HriFont = 0;
  // 1D Code2: UPC-A; 1D Code3: Code128 with HRI above in Font B, height 300 (shown as 255).
  record.Barcode1D[1].Symbology = 0;
  record.Barcode1D[2] = {8, 2, 300, 1, 1};
  record.Barcode2D[0].QrModuleSize = 4;
  record.Barcode2D[0].QrModel = 2;
  record.Barcode2D[0].QrErrorLevel = 3;
  plugin::font::ControlFontTexts control{};
  control['A' - 32] = u"1B 70 00 0A 0A";
  control['C' - 32] = std::u16string(129 * 3, u'0').replace(2, 1, u" ");  // 129 bytes and more: refused
  const print::model::Model& q40 = print::model::ReceiptQ40();
  std::vector<std::string> log;
  const DeviceText device(record, control, [&](const std::string& line) { log.push_back(line); });

  struct Case {
    const char* what;
    int font_id;
    std::u16string text;
    int x;
    Bytes want;
    bool logged = false;
  };
  const Bytes code93 = {0x1D, 0x66, 0x00, 0x1D, 0x48, 0x02, 0x1D, 0x77, 0x03, 0x1D, 0x68, 0xA3, 0x1D, 0x6B, 0x48,
                        0x00, 0x1D, 0x77, 0x03, 0x1D, 0x68, 0xA3, 0x1D, 0x6B, 0x48, 0x09};
  const Case cases[] = {
      {"FontA11 text at x 0", 1, u"Total 12.50", 0, Cat({{0x1B, 0x24, 0x00, 0x00}, Text("Total 12.50")})},
      {"FontB22 at x 300", 11, u"OK", 300, Cat({{0x1B, 0x24, 0x2C, 0x01}, Text("OK")})},
      {"page 437 characters, the euro as the substitute", 1, u"Caf\u00E9 \u00A3\u20AC", 0,
       {0x1B, 0x24, 0x00, 0x00, 'C', 'a', 'f', 0x82, ' ', 0x9C, '?'}},
      {"empty text prints nothing", 1, u"", 0, {}},
      {"1D Code1: the 1D Code page's Code93 bytes", 15, u"123456789", 24,
       Cat({{0x1B, 0x24, 0x18, 0x00}, code93, Text("123456789"), {0x00, 0x0A}})},
      {"1D Code2: UPC-A refuses letters, nothing printed", 16, u"12345ABCDEF", 0, {}, true},
      {"1D Code3: Code128 packed, height cut to 255, HRI above in Font B", 17, u"{C1234", 0,
       {0x1B, 0x24, 0x00, 0x00, 0x1D, 0x66, 0x01, 0x1D, 0x48, 0x01, 0x1D, 0x77, 0x02, 0x1D, 0x68, 0xFF, 0x1D, 0x6B,
        0x49, 0x00, 0x1D, 0x77, 0x02, 0x1D, 0x68, 0xFF, 0x1D, 0x6B, 0x49, 0x04, 0x7B, 0x43, 0x0C, 0x22, 0x00, 0x0A}},
      {"2D Code1: QR with record 0's settings", 23, u"KIT-42", 8,
       Cat({{0x1B, 0x24, 0x08, 0x00, 0x1D, 0x6F, 0x00, 0x04, 0x00, 0x02, 0x1D, 0x6B, 0x0B, 'Q', 0x41, 0x2C},
            Text("KIT-42"), {0x00, 0x0A}})},
      {"2D Code1: more than 255 bytes refused", 23, std::u16string(300, u'x'), 0, {}, true},
      {"2D Code1: nothing to encode", 23, u"", 0, {}, true},
      {"Control A: its command, no position", 24, u"A", 100, {0x1B, 0x70, 0x00, 0x0A, 0x0A}},
      {"Control AxA: x has no entry", 24, u"AxA", 0, {0x1B, 0x70, 0x00, 0x0A, 0x0A, 0x1B, 0x70, 0x00, 0x0A, 0x0A}},
      {"Control C: a command over 128 bytes sends nothing", 24, u"C", 0, {}, true},
      {"Control outside 32..127 sends nothing", 24, u"\u00E9\n", 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    log.clear();
    const auto font = FindFont(q40, c.font_id);
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(device.Print(*font, c.text, c.x), c.want);
    EXPECT_EQ(!log.empty(), c.logged);
  }
}

// The barcode font prints what the 1D Code page's test print sends, for
// every font at its default record.
TEST(DeviceText, BarcodeFontsAreTheTestPrint) {
  const PrivateDevMode record = DefaultPrivateDevMode(u"C:\\Windows\\system32");
  const plugin::font::ControlFontTexts control{};
  const DeviceText device(record, control);
  const char16_t* samples[] = {u"123456789012", u"023456789012", u"12345678", u"1234567890123",
                               u"123ABC*", u"123456789", u"A123456789A", u"123ABC", u"{A1234"};
  for (int k = 0; k < 8; ++k) {
    SCOPED_TRACE(k);
    const auto shown = plugin::barcode::ShownValues(record.Barcode1D[k], k);
    const std::u16string sample = samples[static_cast<int>(shown.type)];
    const std::string data = *plugin::barcode::Check1DData(shown.type, plugin::barcode::DataBytes(sample, codepage::CodePage::kWestern));
    const auto* first = reinterpret_cast<const std::uint8_t*>(data.data());
    Bytes page = {0x1B, 0x24, 0x00, 0x00};
    for (const auto& piece : print::commands::BarcodeJob(plugin::barcode::BarcodeParametersOf(shown),
                                                          std::span(first, data.size())).pieces) {
      page.insert(page.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(device.Print(*FindFont(print::model::ReceiptQ40(), 15 + k), sample, 0), page);
  }
}

}  // namespace
}  // namespace kit::render
