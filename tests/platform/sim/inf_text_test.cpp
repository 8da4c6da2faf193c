// How the machine's INF reader splits a line: quoted keys and fields keep
// their commas and inner blanks, and lose the blanks around the quotes.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/inf_text.h"

namespace kit::sim {
namespace {

TEST(InfText, QuotesKeepInnerTextAndDropSurroundingBlanks) {
  struct Case {
    const char* line;
    const char16_t* key;
    const char16_t* first_field;
  };
  const Case cases[] = {
      {"\"VRT-Q40(U)1\" = Q40_Install, USBPRINT\\KVROVRT-Q40U1", u"VRT-Q40(U)1", u"Q40_Install"},
      {"\"VRT-Q40(U)1\"\t=Q40_Install", u"VRT-Q40(U)1", u"Q40_Install"},
      {"  \"VRT Q40, wide\"  =  \"A, B\"  , C", u"VRT Q40, wide", u"A, B"},
      {"Plain Key = Plain Value ; comment", u"Plain Key", u"Plain Value"},
  };
  for (const Case& c : cases) {
    const std::string text = std::string("[Models]\r\n") + c.line + "\r\n";
    const InfText inf = ParseInf(Bytes(text.begin(), text.end()));
    const InfSection* models = inf.Find(u"Models");
    ASSERT_NE(models, nullptr) << c.line;
    ASSERT_EQ(models->lines.size(), 1u) << c.line;
    EXPECT_EQ(models->lines[0].key, c.key) << c.line;
    ASSERT_FALSE(models->lines[0].fields.empty()) << c.line;
    EXPECT_EQ(models->lines[0].fields[0], c.first_field) << c.line;
  }
}

}  // namespace
}  // namespace kit::sim
