// The version resource reader: a block built byte by byte, and damaged
// blocks refused at every length.
#include <gtest/gtest.h>

#include "tests/platform/pe/version_block.h"

namespace kit {
namespace {

using test::Node;
using test::PutWord;
using test::SampleBlock;

TEST(VersionResource, BlockBuiltByHandReadsVersionsTranslationsAndStrings) {
  const Bytes block = SampleBlock();
  FileVersionInfo info;
  ASSERT_TRUE(ParseVersionResource(block.data(), block.size(), &info));
  EXPECT_EQ(info.file_version, (std::array<std::uint16_t, 4>{3, 1, 7, 2}));
  EXPECT_EQ(info.product_version, (std::array<std::uint16_t, 4>{4, 0, 0, 9}));
  ASSERT_EQ(info.translations.size(), 2u);
  EXPECT_EQ(info.translations[0].language, 0x0409);
  EXPECT_EQ(info.translations[0].code_page, 0x04B0);
  EXPECT_EQ(info.translations[1].language, 0x0804);
  EXPECT_EQ(info.translations[1].code_page, 936);
  // Tables are keyed in lower case; lookups ignore case.
  ASSERT_EQ(info.strings.count(u"040904b0"), 1u);
  WString value;
  EXPECT_TRUE(info.QueryString(u"\\StringFileInfo\\040904B0\\FileVersion", &value));
  EXPECT_EQ(value, u"3.1.7.2");
  EXPECT_TRUE(info.QueryString(u"\\StringFileInfo\\040904b0\\productname", &value));
  EXPECT_EQ(value, u"Kit");
  EXPECT_FALSE(info.QueryString(u"\\StringFileInfo\\080403a8\\FileVersion", &value));
}

TEST(VersionResource, DamagedBlocksAreRefusedAtEveryLength) {
  const Bytes block = SampleBlock();
  // A block cut anywhere is shorter than its root claims.
  for (std::size_t size = 0; size < block.size(); ++size) {
    const Bytes cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size));
    FileVersionInfo info;
    info.file_version = {9, 9, 9, 9};
    EXPECT_FALSE(ParseVersionResource(cut.data(), cut.size(), &info)) << size;
    EXPECT_EQ(info.file_version[0], 9) << "output changed for a refused block of " << size;
  }
  // A child claiming more than its parent holds.
  Bytes bad = block;
  const std::size_t child = 40 + 52;  // header and "VS_VERSION_INFO" padded to 40, then the fixed info
  PutWord(bad, child, 0xFFF0);
  FileVersionInfo info;
  EXPECT_FALSE(ParseVersionResource(bad.data(), bad.size(), &info));
  // Another root key is not a version resource.
  Bytes other = Node(u"VS_OTHER", {}, 0, false, {});
  EXPECT_FALSE(ParseVersionResource(other.data(), other.size(), &info));
  EXPECT_FALSE(ParseVersionResource(nullptr, 0, &info));
}

}  // namespace
}  // namespace kit
