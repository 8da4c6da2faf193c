// The driver flavour, the Unidrv flag and the DRIVER_INFO_3 record.
#include <gtest/gtest.h>

#include "setup/engine/driver_record.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

TEST(DriverRecord, FlavourFollowsRasterUnlessGdiStdSignDecidesByPort) {
  struct Case {
    int raster, sign, kind;
    Flavour expected;
  };
  const Case cases[] = {
      {1, 0, kPortSerial, Flavour::kGdi}, {0, 0, kPortSerial, Flavour::kStd}, {0, 1, kPortSerial, Flavour::kGdi},
      {1, 1, kPortUsb, Flavour::kStd},    {1, 1, kPortParallel, Flavour::kGdi}, {0, 1, kPortNetwork, Flavour::kStd},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseFlavour(c.raster, c.sign, c.kind), c.expected) << c.raster << c.sign << c.kind;
}

TEST(DriverRecord, UnidrvFlagReadsTheFirstCharacterOfTheRasterKey) {
  EXPECT_TRUE(UnidrvFlag({"1", "0"}, 1));
  EXPECT_FALSE(UnidrvFlag({"1", "0"}, 0));
  EXPECT_TRUE(UnidrvFlag({"0", "10"}, 0));
  EXPECT_FALSE(UnidrvFlag({"2", "2"}, 1)) << "non-zero, but not \"1\"";
  EXPECT_FALSE(UnidrvFlag({"", ""}, 1));
  // The dependent list reads GDI2KDDKDEV as a number whatever the flavour.
  EXPECT_TRUE(ListsUnidrvFiles({"2", "0"}));
  EXPECT_FALSE(ListsUnidrvFiles({"0", "1"}));
}

DriverDescription Sample() {
  DriverDescription d;
  d.gdi_driver_name = "VRT-Q40 9x";
  d.driver_name = {"VRT-Q40 S", "VRT-Q40 P", "VRT-Q40 U", "VRT-Q40 N"};
  d.driver_path = "UNIDRV.DLL";
  d.data_file = "VRTQ40G.GPD";
  d.config_file = "UNIDRVUI.DLL";
  d.help_file = "UNIDRV.HLP";
  d.dependent_file.assign(1, '0');
  d.oem_ui_dll = "VRTQ40UI.DLL";
  d.oem_render_dll.clear();  // an empty value stays out like "0"
  d.oem_render_ini = "VRTQ40.INI";
  return d;
}

TEST(DriverRecord, FieldsByWindows) {
  struct Case {
    int os_code;
    std::uint32_t version;
    std::u16string environment;
    std::u16string name;
    std::vector<std::u16string> dependent;
  };
  const std::vector<std::u16string> unidrv = {u"VRTQ40G.GPD", u"TTFSUB.GPD", u"UNIRES.DLL", u"STDNAMES.GPD",
                                              u"VRTQ40UI.DLL", u"VRTQ40.INI"};
  const Case cases[] = {
      {0, 0, u"Windows 4.0", u"VRT-Q40 9x", {}},
      {3, 3, u"", u"VRT-Q40 U", unidrv},
      {7, 3, u"", u"VRT-Q40 U", unidrv},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.os_code);
    const DriverInfo3 info = MakeDriverInfo3(Sample(), {c.os_code, kPortUsb, true, "KVR Language Monitor"});
    EXPECT_EQ(info.version, c.version);
    EXPECT_EQ(info.name, c.name);
    EXPECT_EQ(info.environment, c.environment);
    EXPECT_EQ(info.driver_path, u"UNIDRV.DLL");
    EXPECT_EQ(info.data_file, u"VRTQ40G.GPD");
    EXPECT_EQ(info.config_file, u"UNIDRVUI.DLL");
    EXPECT_EQ(info.help_file, u"UNIDRV.HLP");
    EXPECT_EQ(info.dependent_files, c.dependent);
    EXPECT_EQ(info.monitor_name, u"KVR Language Monitor");
    EXPECT_TRUE(info.default_data_type.empty());
  }
  const DriverInfo3 serial = MakeDriverInfo3(Sample(), {7, kPortSerial, false, ""});
  EXPECT_EQ(serial.name, u"VRT-Q40 S");
  EXPECT_TRUE(serial.dependent_files.empty());
  EXPECT_TRUE(serial.monitor_name.empty());
  EXPECT_EQ(MakeDriverInfo3(Sample(), {1, kPortParallel, true, ""}).version, 2u);
}

}  // namespace
}  // namespace kit::setup
