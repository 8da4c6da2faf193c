// The plug-in module loaded on (Wine's) Windows: its process attach prepares
// the user's language state in the real registry and application-data folder.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/plugin/host/plugin_module.h"

namespace kit::plugin::testing {
namespace {

std::wstring UserValue(const wchar_t* name) {
  wchar_t buffer[128] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\VELDRAN\\LANGUAGE", name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS) {
    return L"<missing>";
  }
  return buffer;
}

TEST(PluginModuleOnWindows, LoadingTheModulePreparesTheUsersLanguage) {
  RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\VELDRAN\\LANGUAGE");
  {
    PluginModule module;
    ASSERT_TRUE(module.loaded()) << module.error();
  }
  const LANGID system = GetSystemDefaultLangID();
  const wchar_t* expected = system == 2052                                       ? L"CHN_VRTQ40.res"
                            : (system == 1028 || system == 3076 || system == 4100) ? L"CHF_VRTQ40.res"
                                                                                   : L"ENG_VRTQ40.res";
  EXPECT_EQ(UserValue(L"LANGUAGE_VRTQ40"), expected);
  EXPECT_EQ(UserValue(L"IsFirstRun_VRTQ40"), L"TRUE");
  wchar_t app_data[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, app_data, CSIDL_APPDATA, FALSE));
  const DWORD attributes = GetFileAttributesW((std::wstring(app_data) + L"\\Orvant").c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

}  // namespace
}  // namespace kit::plugin::testing
