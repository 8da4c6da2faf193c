// The stand-in libraries' printer file: its lines, malformed ones, the
// release rewrite that keeps the rest of the file, the descriptor bytes,
// the list cut to the caller's buffer, and the write log's lines.
#include <gtest/gtest.h>

#include "tools/usbstandin/printer_file.h"

namespace kit::usbstandin {
namespace {

TEST(StandInPrinterFile, LinesGivePrintersAndMalformedOnesAreNamed) {
  const std::string text =
      "# two printers\r\n"
      "printer 7A5C 1000 2\r\n"
      "\r\n"
      "; a class printer with its list text\r\n"
      "  printer\t7a5c 1105 65535   VRT-P80(U)1@USB002; spaced text \r\n"
      "printer 7A5C 10000 1\r\n"
      "printer 7A5C XYZ 1\r\n"
      "printer 7A5C 1000 65536\r\n"
      "printer 7A5C 1000\r\n"
      "plug 7A5C 1000 1\r\n"
      "printer 04CE 04CE 7";
  std::vector<std::string> problems;
  const auto printers = ParsePrinterFile(text, &problems);
  ASSERT_EQ(printers.size(), 3u);
  EXPECT_EQ(printers[0].vid, 0x7A5C);
  EXPECT_EQ(printers[0].pid, 0x1000);
  EXPECT_EQ(printers[0].release, 2);
  EXPECT_EQ(printers[0].list_text, "");
  EXPECT_EQ(printers[0].line, 2u);
  EXPECT_EQ(printers[1].pid, 0x1105);
  EXPECT_EQ(printers[1].release, 65535);
  EXPECT_EQ(printers[1].list_text, "VRT-P80(U)1@USB002; spaced text");
  EXPECT_EQ(printers[2].vid, 0x04CE);
  EXPECT_EQ(printers[2].line, 11u);
  EXPECT_EQ(problems, (std::vector<std::string>{
                          "line 6: product id is not a 16-bit hex number",
                          "line 7: product id is not a 16-bit hex number",
                          "line 8: release is not a number 0-65535",
                          "line 9: release is not a number 0-65535",
                          "line 10: not a printer line",
                      }));
  EXPECT_TRUE(ParsePrinterFile("").empty());
}

TEST(StandInPrinterFile, AtMostEightPrinters) {
  std::string text;
  for (int i = 0; i < 10; ++i) text += "printer 7A5C 1000 " + std::to_string(i) + "\n";
  std::vector<std::string> problems;
  const auto printers = ParsePrinterFile(text, &problems);
  ASSERT_EQ(printers.size(), kMaxPrinters);
  EXPECT_EQ(printers.back().release, 7);
  EXPECT_EQ(problems.size(), 2u);
}

TEST(StandInPrinterFile, ReleaseRewriteKeepsEverythingElse) {
  const std::string text = "# keep me\r\nprinter 7A5C 1000 2\r\n  printer  7A5C 1105   12345  VRT-P80(U)1@USB002;\r\n";
  const auto printers = ParsePrinterFile(text);
  ASSERT_EQ(printers.size(), 2u);
  EXPECT_EQ(WithRelease(text, printers[0], 0), "# keep me\r\nprinter 7A5C 1000 0\r\n  printer  7A5C 1105   12345  VRT-P80(U)1@USB002;\r\n");
  const std::string second = WithRelease(text, printers[1], 7);
  EXPECT_EQ(second, "# keep me\r\nprinter 7A5C 1000 2\r\n  printer  7A5C 1105   7  VRT-P80(U)1@USB002;\r\n");
  EXPECT_EQ(ParsePrinterFile(second)[1].release, 7);
  EXPECT_EQ(ParsePrinterFile(second)[1].list_text, "VRT-P80(U)1@USB002;");
}

TEST(StandInPrinterFile, DescriptorListAndIdWrite) {
  SimulatedPrinter p;
  p.vid = 0x7A5C;
  p.pid = 0x1001;
  p.release = 0x0109;
  std::uint8_t d[kDescriptorSize];
  Descriptor(p, d);
  const std::uint8_t expected[kDescriptorSize] = {18, 1, 0x10, 0x01, 0, 0, 0, 64, 0x5C, 0x7A, 0x01, 0x10, 0x09, 0x01, 1, 2, 3, 1};
  EXPECT_EQ(std::vector<std::uint8_t>(d, d + kDescriptorSize), std::vector<std::uint8_t>(expected, expected + kDescriptorSize));
  EXPECT_EQ(d[kDescriptorReleaseOffset], 0x09);

  // The joined list keeps room for the terminator of a 1024-byte buffer.
  std::vector<SimulatedPrinter> many(3);
  many[0].list_text = "A@USB001;";
  many[1].list_text = std::string(2000, 'x');
  EXPECT_EQ(PrinterList({many[0]}), "A@USB001;");
  EXPECT_EQ(PrinterList(many).size(), kListBufferSize - 1);

  const std::uint8_t command[] = {0x1B, 0x73, 0x42, 0x45, 0x92, 0x99, 0x1D, 0x49, 0x20, 0x03};
  std::uint16_t id = 99;
  EXPECT_TRUE(IdWrite(command, sizeof command, &id));
  EXPECT_EQ(id, 3);
  EXPECT_FALSE(IdWrite(command, sizeof command - 1, &id));
  std::uint8_t other[sizeof command];
  std::copy(command, command + sizeof command, other);
  other[4] = 0x93;
  EXPECT_FALSE(IdWrite(other, sizeof other, &id));
  EXPECT_FALSE(IdWrite(nullptr, 10, &id));
  EXPECT_EQ(WriteLogLine(1, 0, command, sizeof command), "write 1 pipe 0: 1B 73 42 45 92 99 1D 49 20 03\r\n");
  EXPECT_EQ(WriteLogLine(0, 2, nullptr, 0), "write 0 pipe 2:\r\n");
}

}  // namespace
}  // namespace kit::usbstandin
