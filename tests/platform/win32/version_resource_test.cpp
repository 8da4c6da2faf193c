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

}  // namespace
}  // namespace kit::win32
