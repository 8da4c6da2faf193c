#include "plugin/render/core/render_job.h"

#include <gtest/gtest.h>

#include <map>

#include "common/bmp/bmp.h"

namespace kit::render {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr char16_t kSystem[] = u"C:\\Windows\\system32";

struct FakeHost : RenderHost {
  Bytes out;
  std::map<std::u16string, Bytes> files;
  std::map<std::u16string, std::string> appended;
  bool Write(std::span<const std::uint8_t> b) override { return out.insert(out.end(), b.begin(), b.end()), true; }
  std::optional<Bytes> ReadFile(const std::u16string& path) override {
    auto it = files.find(path);
    return it == files.end() ? std::nullopt : std::optional<Bytes>(it->second);
  }
  void AppendFile(const std::u16string& path, const std::string& text) override { appended[path] += text; }
  LogTime Now() override { return {2026, 12, 8, 9, 5, 7}; }
};

Bytes Record(void (*edit)(PrivateDevMode&)) {
  PrivateDevMode r = DefaultPrivateDevMode(kSystem);
  edit(r);
  Bytes bytes(kPrivateDevModeSize);
  Encode(r, PrivateDevModeSpan(bytes.data(), kPrivateDevModeSize));
  return bytes;
}

// A job of one page with one printed row of `row` (8 dots wide).
Bytes PrintOneRow(const Bytes& record, std::uint8_t row, FakeHost& host) {
  RenderJob job(host, print::model::ReceiptQ40(), ReadSettings(record, kSystem), {u"P", u"Doc", u"C:\\Temp\\"});
  job.StartDoc();
  job.StartPage();
  const std::uint8_t inverted = static_cast<std::uint8_t>(~row);  // the GDI palette: 0 is black
  job.AddBand({&inverted, 4, 8, 1, 0, 0, false});
  job.EndPage();
  job.EndDoc();
  return host.out;
}

const Bytes kStartDocDrawer = {0x1B, 0x70, 0x00, 0x1E, 0x1E};
const Bytes kEndDocCut = {0x1D, 0x56, 0x42, 0x00};
Bytes Raster(std::uint8_t x, std::uint8_t y, Bytes data) {
  Bytes b = {0x1D, 0x76, 0x30, 0x00, x, 0x00, y, 0x00};
  b.insert(b.end(), data.begin(), data.end());
  return b;
}
Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A record the plug-in cannot use prints with the defaults; one it can use
// prints what it holds, with damaged fields brought back into range.
TEST(RenderJob, RecordsAndTheirBytes) {
  struct Case {
    const char* name;
    Bytes record;
    Bytes bytes;
  };
  Bytes foreign = Record([](PrivateDevMode&) {});
  foreign[4] ^= 0xFF;
  const Bytes defaults = Join({kStartDocDrawer, Raster(1, 1, {0x81}), kEndDocCut});
  const Case cases[] = {
      {"no record", {}, defaults},
      {"foreign signature", foreign, defaults},
      {"short", Bytes(foreign.begin(), foreign.begin() + 10), defaults},
      {"damaged: command length 200, drawer 9",
       Record([](PrivateDevMode& r) {
         r.StartDocOp.SendCommand = 1;
         r.StartDocOp.Command[0] = 0x41;
         r.StartDocOp.CommandLength = 1;
         r.EndDocOp.CommandLength = 200;
         r.EndDocOp.DrawerSelect = 9;
       }),
       Join({{0x41}, kStartDocDrawer, Raster(1, 1, {0x81}), kEndDocCut})},
      {"rotated", Record([](PrivateDevMode& r) { r.Rotate180 = 1; }),
       Join({kStartDocDrawer, Raster(50, 1, Bytes(48, 0)), kEndDocCut})},
      {"zoom 50 %", Record([](PrivateDevMode& r) { r.ZoomEnabled = 1; r.ZoomPercent = 50; }),
       Join({kStartDocDrawer, kEndDocCut})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost host;
    Bytes expected = c.bytes;
    if (std::string(c.name) == "rotated") {
      // 10000001 at the left turns into the same pattern at the right edge:
      // dots 387 and 394 of 395 (bytes 48 and 49 of the 50).
      expected = Join({kStartDocDrawer, Raster(50, 1, [] { Bytes b(50, 0); b[48] = 0x10; b[49] = 0x20; return b; }()),
                       kEndDocCut});
    }
    EXPECT_EQ(PrintOneRow(c.record, 0x81, host), expected);
  }
}

TEST(RenderJob, DriverLogAndWatermarkFile) {
  FakeHost host;
  const Bytes record = Record([](PrivateDevMode& r) {
    r.LogEnabled = 1;
    SetText(r.LogDirectory, u"D:\\logs");
    r.WatermarkMode = 1;
    r.WatermarkPosition = 0;
    r.WatermarkBrightness = 0;  // black: the watermark's darkest
  });
  // A black 8 x 1 picture at "<temp><printer>1.bmp": the top left of the frame.
  Bytes picture;
  bmp::AppendFileHeader(picture, {bmp::kSignature, 54 + 32, 0, 0, 54});
  bmp::InfoHeader info;
  info.width = 8;
  info.height = 1;
  info.bits_per_pixel = 24;
  bmp::AppendInfoHeader(picture, info);
  picture.resize(picture.size() + 24 + 8, 0);
  host.files[u"C:\\Temp\\P1.bmp"] = picture;
  const Bytes out = PrintOneRow(record, 0x01, host);
  // The whole printed row is the picture's, black's one dot in four: on the
  // page's top row every other dot, with the page's own dot 7.
  Bytes row(49, 0xAA);
  row[0] = 0xAB;
  const Bytes full_row = Raster(50, 1, row);
  EXPECT_NE(std::search(out.begin(), out.end(), full_row.begin(), full_row.end()), out.end());
  EXPECT_EQ(host.appended[u"D:\\logs\\VRTQ40.log"],
            "2026-12-08 09:05:07\tpage\tP\tDoc\t1\t" + std::to_string(out.size() - kEndDocCut.size()) +
                "\r\n2026-12-08 09:05:07\tjob\tP\tDoc\t1\t" + std::to_string(out.size()) + "\r\n");
}

// The driver tells the document's name once the job exists (its Start of
// Document); a later start without a name (ResetDC) and a job carried on in a
// new device context keep it. Every log line names it.
TEST(RenderJob, TheLogNamesTheDocumentTheDriverTells) {
  struct Case {
    std::u16string at_creation;
    std::vector<std::u16string> told;
    std::string logged;
  };
  const Case cases[] = {
      {u"", {}, ""},
      {u"", {u"Receipt 42"}, "Receipt 42"},
      {u"Doc", {u"Receipt 42", u""}, "Receipt 42"},
      {u"Doc", {u""}, "Doc"},
  };
  const Bytes record = Record([](PrivateDevMode& r) {
    r.LogEnabled = 1;
    SetText(r.LogDirectory, u"D:\\logs");
  });
  for (const Case& c : cases) {
    FakeHost host;
    RenderJob first(host, print::model::ReceiptQ40(), ReadSettings(record, kSystem), {u"P", c.at_creation, u""});
    for (const auto& name : c.told) first.NameDocument(name);
    RenderJob job(host, print::model::ReceiptQ40(), ReadSettings(record, kSystem), {u"P", u"", u""});
    job.CarryOver(first);
    job.StartDoc();
    job.StartPage();
    job.EndPage();
    job.EndDoc();
    const std::string log = host.appended[u"D:\\logs\\VRTQ40.log"];
    EXPECT_NE(log.find("\tpage\tP\t" + c.logged + "\t1\t"), std::string::npos) << log;
    EXPECT_NE(log.find("\tjob\tP\t" + c.logged + "\t1\t"), std::string::npos) << log;
  }
}

}  // namespace
}  // namespace kit::render
