// Renaming the universal driver's density option in the current language.
#include "plugin/core/language/density_option.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/plugin/core/com/fake_driver.h"

namespace kit::plugin {
namespace {

using com::testing::FakeDriver;

// A driver item tree with a paper item and a density item.
struct DriverItems {
  DriverItems() {
    paper_params[0].pData = paper_name;
    paper_type.Count = 1;
    paper_type.pOptParam = paper_params;
    density_params[0].pData = density_first;
    density_params[1].pData = density_second;
    density_params[2].pData = density_third;
    density_type.Count = 3;
    density_type.pOptParam = density_params;
    items[0].Level = 2;
    items[0].DMPubID = 9;  // the paper size: a public device-mode field
    items[0].pOptType = &paper_type;
    items[0].pName = item_name;
    items[1].Level = 2;
    items[1].DMPubID = 0;
    items[1].pOptType = &density_type;
    items[1].pName = item_name;
    param.pDrvOptItems = items;
    param.cDrvOptItems = 2;
    param.poemuiobj = &param;
  }
  char16_t item_name[4] = u"abc";
  char16_t paper_name[8] = u"Density";  // a public item is never renamed
  char16_t density_first[12] = u"Density 1";
  char16_t density_second[2] = u"2";
  char16_t density_third[2] = u"3";
  com::OPTPARAM paper_params[1]{};
  com::OPTPARAM density_params[3]{};
  com::OPTTYPE paper_type{};
  com::OPTTYPE density_type{};
  com::OPTITEM items[2]{};
  com::OEMCUIPPARAM param{};
};

TEST(DensityOption, RenamesTheItemAndItsOptionsAndTellsTheDriver) {
  DriverItems tree;
  FakeDriver driver;
  ASSERT_TRUE(RenameDensityOption(tree.param, &driver, u"Print Density", u"Density"));
  const com::OPTITEM& item = tree.items[1];
  EXPECT_EQ(std::u16string(item.pName), u"Print Density");
  EXPECT_EQ(std::u16string(tree.density_params[0].pData), u"Density0");
  EXPECT_EQ(std::u16string(tree.density_params[2].pData), u"Density2");
  EXPECT_NE(item.Flags & com::kOptifChanged, 0u);
  ASSERT_EQ(driver.updates.size(), 1u);
  EXPECT_EQ(driver.updates[0].item, &tree.items[1]);
  EXPECT_EQ(driver.updates[0].pci, &tree.param);
  EXPECT_EQ(driver.updates[0].previous, 0u);
  EXPECT_EQ(driver.updates[0].mode, 1u);
  // The driver's own strings, some shorter than the new names, are untouched.
  EXPECT_EQ(std::u16string(tree.density_second), u"2");
  EXPECT_EQ(std::u16string(tree.item_name), u"abc");
  // The public paper item keeps its names.
  EXPECT_EQ(tree.items[0].Flags, 0u);
  EXPECT_EQ(tree.paper_params[0].pData, tree.paper_name);
}

TEST(DensityOption, RecognisesChineseNamesAndCutsLongTexts) {
  DriverItems tree;
  char16_t chinese[8] = u"\u6FC3\u5EA6 1";
  tree.density_params[0].pData = chinese;
  const std::u16string long_name(80, u'n');
  ASSERT_TRUE(RenameDensityOption(tree.param, nullptr, long_name, u"\u6D53\u5EA6"));
  EXPECT_EQ(std::u16string(tree.items[1].pName), std::u16string(49, u'n'));
  EXPECT_EQ(std::u16string(tree.density_params[1].pData), u"\u6D53\u5EA61");
}

TEST(DensityOption, LeavesTreesWithoutADensityItemAlone) {
  DriverItems tree;
  tree.density_params[0].pData = tree.density_second;  // "2": not a density option
  FakeDriver driver;
  EXPECT_FALSE(RenameDensityOption(tree.param, &driver, u"Print Density", u"Density"));
  EXPECT_TRUE(driver.updates.empty());
  tree.density_type.pOptParam = nullptr;
  EXPECT_FALSE(RenameDensityOption(tree.param, &driver, u"Print Density", u"Density"));
  com::OEMCUIPPARAM empty{};
  EXPECT_FALSE(RenameDensityOption(empty, &driver, u"Print Density", u"Density"));
}

}  // namespace
}  // namespace kit::plugin
