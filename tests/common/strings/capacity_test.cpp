#include "common/strings/capacity.h"

#include <gtest/gtest.h>

namespace kit {
namespace {

TEST(CopyCapped, KeepsAtMostCapacityMinusOneCharacters) {
  EXPECT_EQ(CopyCapped(std::string_view("abcdef"), 4), "abc");
  EXPECT_EQ(CopyCapped(std::string_view("abc"), 4), "abc");
  EXPECT_EQ(CopyCapped(std::string_view("abcd"), 4), "abc");
  EXPECT_EQ(CopyCapped(std::string_view("abc"), 1), "");
  EXPECT_EQ(CopyCapped(std::string_view("abc"), 0), "");
  EXPECT_EQ(CopyCapped(std::u16string_view(u"\u5B8B\u4F53x"), 3), u"\u5B8B\u4F53");
}

TEST(CopyCapped, StopsAtAnEmbeddedTerminator) {
  EXPECT_EQ(CopyCapped(std::string_view("ab\0cd", 5), 50), "ab");
}

TEST(CopyToBuffer, TerminatesAndNeverWritesPastTheCapacity) {
  char buffer[6];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(CopyToBuffer<char>("a long name", buffer, 4), 3u);
  EXPECT_STREQ(buffer, "a l");
  EXPECT_EQ(buffer[4], '#');
  EXPECT_EQ(buffer[5], '#');
  EXPECT_EQ(CopyToBuffer<char>("x", nullptr, 4), 0u);
  EXPECT_EQ(CopyToBuffer<char>("x", buffer, 0), 0u);
  EXPECT_EQ(buffer[0], 'a');
}

}  // namespace
}  // namespace kit
