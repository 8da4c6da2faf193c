// Where the page writes the watermark picture and where the printing side
// reads it: the owner's folder under the common application data when the
// record names one, else the temporary folder (records of older pages), and
// never a path that a name in the record could lead elsewhere.
#include "plugin/core/watermark/picture_place.h"

#include <gtest/gtest.h>


namespace kit::plugin::watermark_place {
namespace {

std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

TEST(PicturePlace, TheRecordsOwnerChoosesTheFolder) {
  struct Case {
    const char* what;
    std::u16string owner, printer, common, temp, expected;
  } cases[] = {
      {"an owner", u"ann", u"VRT-Q40 Receipt", u"C:\\ProgramData", u"C:\\Windows\\Temp\\",
       u"C:\\ProgramData\\PrinterDriverKit\\Watermark\\ann\\VRT-Q40 Receipt1.bmp"},
      {"the common folder with its backslash", u"ann", u"P1", u"C:\\ProgramData\\", u"C:\\Windows\\Temp\\",
       u"C:\\ProgramData\\PrinterDriverKit\\Watermark\\ann\\P11.bmp"},
      {"an older record: the temporary folder", u"", u"P1", u"C:\\ProgramData", u"C:\\Windows\\Temp\\",
       u"C:\\Windows\\Temp\\P11.bmp"},
      {"a temporary folder without its backslash", u"", u"P1", u"C:\\ProgramData", u"C:\\Temp", u"C:\\Temp\\P11.bmp"},
      {"no common folder", u"ann", u"P1", u"", u"C:\\Windows\\Temp\\", u""},
      {"an owner leading up", u"..", u"P1", u"C:\\ProgramData", u"C:\\Windows\\Temp\\", u""},
      {"an owner with a backslash", u"ann\\..\\..", u"P1", u"C:\\ProgramData", u"C:\\Windows\\Temp\\", u""},
      {"an owner with a colon", u"C:x", u"P1", u"C:\\ProgramData", u"C:\\Windows\\Temp\\", u""},
      {"an owner with a control character", u"a\tb", u"P1", u"C:\\ProgramData", u"C:\\Windows\\Temp\\", u""},
      {"a network printer", u"ann", u"\\\\server\\P1", u"C:\\ProgramData", u"C:\\Windows\\Temp\\", u""},
      {"a printer with a slash", u"", u"a/b", u"C:\\ProgramData", u"C:\\Windows\\Temp\\", u""},
      {"a printer leading up", u"", u"..\\..\\x", u"C:\\ProgramData", u"C:\\Windows\\Temp\\", u""},
      {"no printer", u"ann", u"", u"C:\\ProgramData", u"C:\\Windows\\Temp\\", u""},
  };
  for (const Case& c : cases) {
    PrivateDevMode record;
    SetText(record.WatermarkOwner, c.owner);
    EXPECT_EQ(PictureFor(record, {c.common, c.temp}, c.printer), c.expected) << c.what;
  }
}

// The owner's folder takes only a name the record can hold whole: a longer
// one, cut in the record, would name another user's folder.
TEST(PicturePlace, AnOwnerIsANameTheRecordHoldsWhole) {
  const std::u16string longest(kWatermarkOwnerCapacity - 1, u'u');
  EXPECT_EQ(OwnerFolder(u"C:\\ProgramData", longest), u"C:\\ProgramData\\PrinterDriverKit\\Watermark\\" + longest);
  EXPECT_EQ(OwnerFolder(u"C:\\ProgramData", longest + u"u"), u"");
  EXPECT_EQ(OwnerFolder(u"C:\\ProgramData", u""), u"");
  for (const char16_t* name : {u"*", u"?", u"\"", u"<", u">", u"|", u"/", u".", u"..", u"...", u"ann.", u"ann "})
    EXPECT_FALSE(IsPlainName(name)) << Narrow(name);
  for (const char16_t* name : {u"User", u"Jürgen Müller", u"a.b", u".ann", u"VRT-Q40(P)"})
    EXPECT_TRUE(IsPlainName(name)) << Narrow(name);
}

}  // namespace
}  // namespace kit::plugin::watermark_place
