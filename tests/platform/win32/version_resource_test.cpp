// The version resource of a real system file read through Files (the parser
// itself is tested with the portable code).
#include <gtest/gtest.h>

#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

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

// The kit's placeholder driver carries its version in its own resource; the
// virtual machine reads the same file with the portable walker.
TEST(VersionResource, KitDriverPlaceholderHasItsVersion) {
  std::string path = KIT_USBINSTALL_DATA "/KVPUSB.SYS";
  for (auto& c : path) {
    if (c == '/') c = '\\';
  }
  auto files = MakeFiles();
  FileVersionInfo info;
  ASSERT_TRUE(files->GetFileVersionInfo(u"Z:" + FromUtf8(path), &info)) << MakeSystemFacts()->GetLastError();
  EXPECT_EQ(info.file_version, (std::array<std::uint16_t, 4>{2, 0, 1, 6}));
  ASSERT_FALSE(info.translations.empty());
  EXPECT_EQ(info.translations[0].language, 0x0409);
  EXPECT_EQ(info.translations[0].code_page, 1200);
  WString value;
  EXPECT_TRUE(info.QueryString(u"\\StringFileInfo\\040904b0\\FileVersion", &value));
  EXPECT_EQ(value, u"2.0.1.6");
}

}  // namespace
}  // namespace kit::win32
