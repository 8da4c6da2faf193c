// The version resource reader: a block built byte by byte, damaged blocks
// refused at every length, and a real system file read through Files.
#include <gtest/gtest.h>

#include "platform/win32/version_resource.h"
#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

void PutWord(Bytes& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Pad4(Bytes& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

// One node: header, key, padding, value, padding, children; wLength set last.
Bytes Node(std::u16string_view key, const Bytes& value, std::uint16_t value_length, bool text,
           const std::vector<Bytes>& children) {
  Bytes out(6, 0);
  for (char16_t c : key) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  Pad4(out);
  out.insert(out.end(), value.begin(), value.end());
  for (const auto& child : children) {
    Pad4(out);
    out.insert(out.end(), child.begin(), child.end());
  }
  PutWord(out, 0, static_cast<std::uint16_t>(out.size()));
  PutWord(out, 2, value_length);
  PutWord(out, 4, text ? 1 : 0);
  return out;
}

Bytes Text(std::u16string_view text) {
  Bytes out;
  for (char16_t c : text) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

Bytes StringEntry(std::u16string_view name, std::u16string_view value) {
  return Node(name, Text(value), static_cast<std::uint16_t>(value.size() + 1), true, {});
}

Bytes SampleBlock() {
  Bytes fixed(52, 0);
  const std::uint32_t words[] = {kFixedFileInfoSignature, 0x10000, 0x00030001, 0x00070002, 0x00040000, 0x00000009};
  for (int i = 0; i < 6; ++i) {
    for (int b = 0; b < 4; ++b) fixed[i * 4 + b] = static_cast<std::uint8_t>(words[i] >> (8 * b));
  }
  const Bytes table = Node(u"040904B0", {}, 0, true,
                           {StringEntry(u"FileVersion", u"3.1.7.2"), StringEntry(u"ProductName", u"Kit")});
  const Bytes strings = Node(u"StringFileInfo", {}, 0, true, {table});
  const Bytes translation = Node(u"Translation", Bytes{0x09, 0x04, 0xB0, 0x04, 0x04, 0x08, 0xA8, 0x03}, 8, false, {});
  const Bytes vars = Node(u"VarFileInfo", {}, 0, true, {translation});
  return Node(u"VS_VERSION_INFO", fixed, 52, false, {strings, vars});
}

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

TEST(VersionResource, SystemLibraryHasAVersionThroughFiles) {
  auto system = MakeSystemFacts();
  auto files = MakeFiles();
  FileVersionInfo info;
  ASSERT_TRUE(files->GetFileVersionInfo(system->GetSystemDirectory() + u"\\kernel32.dll", &info))
      << system->GetLastError();
  EXPECT_GT(info.file_version[0], 0);
  ASSERT_FALSE(info.translations.empty());
  char key[9];
  std::snprintf(key, sizeof key, "%04x%04x", info.translations[0].language, info.translations[0].code_page);
  WString value;
  EXPECT_TRUE(info.QueryString(u"\\StringFileInfo\\" + FromUtf8(key) + u"\\FileVersion", &value));
  EXPECT_FALSE(value.empty());
}

}  // namespace
}  // namespace kit::win32
