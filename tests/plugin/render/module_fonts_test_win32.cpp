// Each model's rendering module carries its fonts' metrics where Unidrv
// looks them up: resources of type RC_UFM (260, the WDK's unirc.h; beside
// them only the module's version resource),
// named by the fonts' resource ids, each the .UFM file's bytes. Read back
// through Windows' own resource functions (FindResource, LoadResource),
// under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "print/fonts/ufm_writer.h"

namespace kit::print::fonts {
namespace {

constexpr WORD kRcUfmType = 260;  // RC_UFM
constexpr WORD kRtVersion = 16;   // RT_VERSION, the kit's version resource

BOOL CALLBACK CollectType(HMODULE, LPWSTR type, LONG_PTR types) {
  if (IS_INTRESOURCE(type)) reinterpret_cast<std::set<WORD>*>(types)->insert(static_cast<WORD>(ULONG_PTR(type)));
  return TRUE;
}

TEST(ModuleFonts, EveryModuleCarriesItsModelsMetrics) {
  const char* folder = std::getenv("KIT_MODULE_FOLDER");
  ASSERT_NE(folder, nullptr) << "KIT_MODULE_FOLDER names the modules' folder";
  const struct {
    const char* token;
    std::size_t fonts;
  } cases[] = {{"VRTQ40", 24}, {"VRTD45", 14}, {"VRTT80", 14}, {"VRTL50", 14}, {"VRTE20", 14}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    const model::Model* m = model::FindModel(c.token);
    ASSERT_NE(m, nullptr);
    const std::string path = std::string(folder) + "/" + c.token + "R.dll";
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << path;
    std::set<WORD> types;
    EnumResourceTypesW(module, CollectType, reinterpret_cast<LONG_PTR>(&types));
    EXPECT_EQ(types, (std::set<WORD>{kRtVersion, kRcUfmType}));
    const FontList list = FontsOf(*m);
    EXPECT_EQ(list.fonts.size(), c.fonts);
    for (const PrinterFont& f : list.fonts) {
      HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(f.resource_id), MAKEINTRESOURCEW(kRcUfmType));
      if (found == nullptr) {
        ADD_FAILURE() << "font " << f.resource_id << " not carried as RC_UFM";
        continue;
      }
      const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
      ASSERT_NE(data, nullptr);
      const std::vector<std::uint8_t> carried(data, data + SizeofResource(module, found));
      EXPECT_EQ(carried, WriteUfm(*m, list, f)) << UfmFileName(*m, f);
    }
    FreeLibrary(module);
  }
}

}  // namespace
}  // namespace kit::print::fonts
