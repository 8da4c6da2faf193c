// The spooler's wide records: what the kit hands to Windows reads back the
// same, optional texts become NULL, and device modes keep their private part.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/spooler_records.h"

namespace kit::win32 {
namespace {

TEST(SpoolerRecords, PrinterLevelTwoRoundTripsWithEmptyTextsAsNull) {
  PrinterInfo2 info;
  info.printer_name = u"Kit Printer";
  info.port_name = u"KVIP_10.0.0.5";
  info.driver_name = u"Kit Driver";
  info.print_processor = u"WinPrint";
  info.datatype = u"RAW";
  info.attributes = kPrinterAttributeLocal | kPrinterAttributeQueued;
  info.priority = 7;
  PrinterInfo2Record record(info);
  EXPECT_EQ(record.Get()->pComment, nullptr);
  EXPECT_EQ(record.Get()->pShareName, nullptr);
  EXPECT_EQ(record.Get()->pServerName, nullptr);
  EXPECT_EQ(record.Get()->pDevMode, nullptr);

  PrinterInfo2 back;
  ASSERT_TRUE(DecodePrinterInfo(2, reinterpret_cast<const BYTE*>(record.Get()), &back));
  EXPECT_EQ(back.printer_name, info.printer_name);
  EXPECT_EQ(back.port_name, info.port_name);
  EXPECT_EQ(back.driver_name, info.driver_name);
  EXPECT_EQ(back.print_processor, info.print_processor);
  EXPECT_EQ(back.datatype, info.datatype);
  EXPECT_EQ(back.attributes, info.attributes);
  EXPECT_EQ(back.priority, 7u);
  EXPECT_TRUE(back.comment.empty());
  EXPECT_FALSE(DecodePrinterInfo(3, reinterpret_cast<const BYTE*>(record.Get()), &back));
  EXPECT_EQ(PrinterInfoSize(3), 0u);
}

TEST(SpoolerRecords, DeviceModeKeepsDriverExtraAndAShortOneIsNotPassed) {
  PrinterInfo2 info;
  info.printer_name = u"P";
  info.dev_mode.assign(sizeof(DEVMODEW) + 6, 0);
  DEVMODEW dm{};
  dm.dmSize = sizeof(DEVMODEW);
  dm.dmDriverExtra = 6;
  std::memcpy(info.dev_mode.data(), &dm, sizeof dm);
  for (int i = 0; i < 6; ++i) info.dev_mode[sizeof(DEVMODEW) + i] = static_cast<std::uint8_t>(0xA0 + i);
  PrinterInfo2Record record(info);
  ASSERT_NE(record.Get()->pDevMode, nullptr);
  PrinterInfo2 back;
  ASSERT_TRUE(DecodePrinterInfo(2, reinterpret_cast<const BYTE*>(record.Get()), &back));
  EXPECT_EQ(back.dev_mode, info.dev_mode);

  info.dev_mode.assign(10, 0);  // shorter than the header Windows reads
  PrinterInfo2Record short_record(info);
  EXPECT_EQ(short_record.Get()->pDevMode, nullptr);
}

TEST(SpoolerRecords, DependentFilesAreADoubleTerminatedListOrNull) {
  EXPECT_EQ(JoinMultiString({u"a.dll", u"bc.gpd"}), std::wstring(L"a.dll\0bc.gpd\0\0", 14));
  const std::wstring list(L"one\0two\0\0", 9);
  EXPECT_EQ(SplitMultiString(list.c_str()), (std::vector<WString>{u"one", u"two"}));
  EXPECT_TRUE(SplitMultiString(nullptr).empty());
  EXPECT_TRUE(SplitMultiString(L"").empty());

  DriverInfo3 driver;
  driver.name = u"Kit Driver";
  driver.driver_path = u"unidrv.dll";
  driver.data_file = u"kit.gpd";
  driver.config_file = u"unidrvui.dll";
  DriverInfo3Record bare(driver);
  EXPECT_EQ(bare.Get()->pDependentFiles, nullptr);
  EXPECT_EQ(bare.Get()->pEnvironment, nullptr);
  EXPECT_EQ(bare.Get()->pMonitorName, nullptr);
  driver.dependent_files = {u"VRTQ40UI.dll", u"unires.dll"};
  driver.monitor_name = u"Kit Monitor";
  DriverInfo3Record full(driver);
  const DriverInfo3 back = DecodeDriver(*full.Get());
  EXPECT_EQ(back.dependent_files, driver.dependent_files);
  EXPECT_EQ(back.monitor_name, driver.monitor_name);
  EXPECT_EQ(back.config_file, driver.config_file);
}

TEST(SpoolerRecords, FormSizesAndImageableAreaRoundTrip) {
  FormInfo1 form;
  form.name = u"Custom Paper-1";
  form.width = 80000;
  form.height = 297000;
  form.imageable_left = 1000;
  form.imageable_top = 2000;
  form.imageable_right = 79000;
  form.imageable_bottom = 295000;
  FormRecord record(form);
  const FormInfo1 back = DecodeForm(*record.Get());
  EXPECT_EQ(back.name, form.name);
  EXPECT_EQ(back.width, form.width);
  EXPECT_EQ(back.height, form.height);
  EXPECT_EQ(back.imageable_left, form.imageable_left);
  EXPECT_EQ(back.imageable_top, form.imageable_top);
  EXPECT_EQ(back.imageable_right, form.imageable_right);
  EXPECT_EQ(back.imageable_bottom, form.imageable_bottom);
  EXPECT_EQ(back.flags, kFormUser);
}

}  // namespace
}  // namespace kit::win32
