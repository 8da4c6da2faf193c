// The resource walker on images built byte by byte: the version resource of
// PE32 and PE32+ images, and every kind of damage refused without a read
// outside the bytes.
#include <gtest/gtest.h>

#include <functional>

#include "platform/pe/pe_resources.h"
#include "tests/platform/pe/version_block.h"

namespace kit {
namespace {

using test::PeImage;
using test::PutDword;
using test::PutWord;

TEST(PeResources, VersionOfBothImageKindsReadsLikeTheBlock) {
  for (bool plus : {false, true}) {
    const Bytes image = PeImage(test::SampleBlock(), plus);
    FileVersionInfo info;
    ASSERT_TRUE(ReadPeVersionInfo(image.data(), image.size(), &info)) << plus;
    EXPECT_EQ(info.file_version, (std::array<std::uint16_t, 4>{3, 1, 7, 2}));
    WString value;
    EXPECT_TRUE(info.QueryString(u"\\StringFileInfo\\040904b0\\FileVersion", &value));
    EXPECT_EQ(value, u"3.1.7.2");
    Bytes block;
    ASSERT_TRUE(FindPeResource(image.data(), image.size(), kResourceTypeVersion, &block));
    EXPECT_EQ(block, test::SampleBlock());
  }
}

TEST(PeResources, MachineOfTheImage) {
  std::uint16_t machine = 0;
  const Bytes plain = PeImage(test::SampleBlock(), false), plus = PeImage(test::SampleBlock(), true);
  ASSERT_TRUE(ReadPeMachine(plain.data(), plain.size(), &machine));
  EXPECT_EQ(machine, kPeMachineI386);
  ASSERT_TRUE(ReadPeMachine(plus.data(), plus.size(), &machine));
  EXPECT_EQ(machine, kPeMachineAmd64);
  const std::string elf = "\x7F" "ELF and more bytes than a DOS header holds, for the header check......";
  EXPECT_FALSE(ReadPeMachine(reinterpret_cast<const std::uint8_t*>(elf.data()), elf.size(), &machine));
  EXPECT_FALSE(ReadPeMachine(plain.data(), 0x40, &machine));
}

TEST(PeResources, DamagedOrForeignImagesGiveNothing) {
  const Bytes good = PeImage(test::SampleBlock());
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
  };
  const Case cases[] = {
      {"text file", [](Bytes& b) { b.assign({'n', 'o', 't', ' ', 'a', ' ', 'd', 'r', 'i', 'v', 'e', 'r'}); }},
      {"empty", [](Bytes& b) { b.clear(); }},
      {"no MZ", [](Bytes& b) { b[0] = 'Z'; }},
      {"PE header past the end", [](Bytes& b) { PutDword(b, 0x3C, 0xFFFFFFF0u); }},
      {"no PE signature", [](Bytes& b) { b[test::kImagePeHeader] = 'X'; }},
      {"unknown optional header", [](Bytes& b) { PutWord(b, test::kImagePeHeader + 24, 0x107); }},
      {"optional header past the end", [](Bytes& b) { PutWord(b, test::kImagePeHeader + 20, 0xFFFF); }},
      {"no resource directory entry", [](Bytes& b) { PutDword(b, test::kImagePeHeader + 24 + 92, 2); }},
      {"no resources", [](Bytes& b) { PutDword(b, test::kImagePeHeader + 24 + 96 + 16, 0); }},
      {"section count beyond the file", [](Bytes& b) { PutWord(b, test::kImagePeHeader + 6, 0xFFFF); }},
      {"resources outside every section", [](Bytes& b) { PutDword(b, test::kImagePeHeader + 24 + 96 + 16, 0x9000); }},
      {"section raw data past the end", [](Bytes& b) { PutDword(b, test::kImageSectionTable32 + 20, 0x7FFFFFF0u); }},
      {"huge entry count", [](Bytes& b) { PutWord(b, test::kImageResources + 14, 0xFFFF); }},
      {"subdirectory past the directory", [](Bytes& b) { PutDword(b, test::kImageResources + 20, 0x8000FFF0u); }},
      {"leaf where a directory belongs", [](Bytes& b) { PutDword(b, test::kImageResources + 20, 0x18); }},
      {"data outside the section", [](Bytes& b) { PutDword(b, test::kImageLeaf, 0x1000 + 0x1F0); }},
      {"data size beyond the file", [](Bytes& b) { PutDword(b, test::kImageLeaf + 4, 0xFFFFFFF0u); }},
      {"damaged version block", [](Bytes& b) { PutWord(b, test::kImageResources + 0x58, 0xFFFF); }},
  };
  for (const auto& c : cases) {
    Bytes image = good;
    c.damage(image);
    FileVersionInfo info;
    info.file_version = {9, 9, 9, 9};
    EXPECT_FALSE(ReadPeVersionInfo(image.data(), image.size(), &info)) << c.what;
    EXPECT_EQ(info.file_version[0], 9) << c.what;
  }
  // Another resource type only: no version.
  const Bytes icon_only = PeImage(test::SampleBlock(), false, 3);
  FileVersionInfo info;
  EXPECT_FALSE(ReadPeVersionInfo(icon_only.data(), icon_only.size(), &info));
  // An image cut anywhere never reads past its end (ASan watches).
  for (std::size_t size = 0; size < good.size(); size += 7) {
    const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
    Bytes heap_copy(cut);
    ReadPeVersionInfo(heap_copy.data(), heap_copy.size(), &info);
  }
}

}  // namespace
}  // namespace kit
