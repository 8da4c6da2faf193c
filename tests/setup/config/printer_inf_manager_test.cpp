#include "setup/config/printer_inf_manager.h"

#include <gtest/gtest.h>

#include <map>

#include "setup/config/model_config.h"

namespace kit::setup {
namespace {

// Kit files in memory, looked up without case as on NTFS.
class MemoryKit final : public ini::FileSource {
 public:
  void Put(std::u16string path, std::string bytes) { files_[Fold(path)] = std::move(bytes); }
  std::optional<std::string> Read(std::u16string_view path) const override {
    auto it = files_.find(Fold(std::u16string(path)));
    if (it == files_.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::u16string_view path, std::string_view bytes) override {
    files_[Fold(std::u16string(path))] = std::string(bytes);
    return true;
  }

 private:
  static std::u16string Fold(std::u16string s) {
    for (auto& c : s) if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    return s;
  }
  std::map<std::u16string, std::string> files_;
};

class ConfigTest : public ::testing::Test {
 protected:
  CPrinterInfManager Make(bool is_64bit) {
    return CPrinterInfManager({&kit_, "C:\\Kit\\", is_64bit, {}});
  }
  MemoryKit kit_;
};

TEST_F(ConfigTest, ModelEntriesTakeTheirSeriesFromTheSuffix) {
  kit_.Put(u"C:\\Kit\\DRVCONFIG\\setup.ini",
           "[DEVICENAME]\r\nDEVICENUMBER=5\r\nDEVICENAME1=RP-80-ReceiptPrinter\r\n"
           "DEVICENAME2=TK-300-TicketPrinter\r\nDEVICENAME3=BareModel\r\n"
           "devicename4 = LB-1-LabelPrinter \r\nDEVICENAME5=EM-2-EmbeddedPrinter\r\n"
           "DEVICENAME6=Beyond-ReceiptPrinter\r\nDEFAULTNAME=2\r\n");
  const auto config = Make(false);
  EXPECT_EQ(config.ModelCount(), 5);

  auto ticket = config.ReadModelEntry(2);
  ASSERT_TRUE(ticket.has_value());
  EXPECT_EQ(ticket->series, Series::kTicket);
  EXPECT_EQ(ticket->name, "TK-300");

  EXPECT_FALSE(config.ReadModelEntry(3).has_value()) << "an entry without a series suffix is skipped";
  auto label = config.ReadModelEntry(4);
  ASSERT_TRUE(label.has_value());
  EXPECT_EQ(label->series, Series::kLabel);
  EXPECT_EQ(label->name, "LB-1");
  EXPECT_EQ(config.ReadModelEntry(5)->series, Series::kEmbedded);

  EXPECT_FALSE(config.ReadModelEntry(0).has_value());
  EXPECT_FALSE(config.ReadModelEntry(6).has_value()) << "DEVICENUMBER bounds the entries";
  EXPECT_EQ(config.ReadDefaultModel()->name, "TK-300");
}

TEST_F(ConfigTest, ValueFormsAndTheirDefaults) {
  kit_.Put(u"C:\\Kit\\DRVCONFIG\\setup_receipt.ini",
           "[M.PORT]\r\nUSBSUPPORTED=1\r\nLPTSUPPORTED=abc\r\nBaudRate= 19200 baud\r\n"
           "COMSUPPORTED=-3\r\n"
           "[M.XP]\r\nDriverNameU=" + std::string(60, 'n') + "\r\nSTDDriverPath=0\r\n"
           "STDDataFile=\r\nSTDConfigFile=VRTQ40UI.DLL\r\n");
  const auto config = Make(false);
  EXPECT_EQ(config.ReadSeriesInt(Series::kReceipt, "M.PORT", "USBSUPPORTED"), 1);
  EXPECT_EQ(config.ReadSeriesInt(Series::kReceipt, "M.PORT", "LPTSUPPORTED"), 0) << "text reads as 0";
  EXPECT_EQ(config.ReadSeriesInt(Series::kReceipt, "M.PORT", "BaudRate"), 19200);
  EXPECT_EQ(config.ReadSeriesInt(Series::kReceipt, "M.PORT", "COMSUPPORTED"), -3);
  EXPECT_EQ(config.ReadSeriesInt(Series::kReceipt, "M.PORT", "NETSUPPORTED"), 0);

  EXPECT_EQ(config.ReadSeriesName(Series::kReceipt, "M.XP", "DriverNameU"), std::string(49, 'n'));
  EXPECT_EQ(config.ReadSeriesName(Series::kReceipt, "M.XP", "DriverNameS"), "0");

  // "0", an empty value and an absent key all mean "no such file".
  for (const char* key : {"STDDriverPath", "STDDataFile", "STDHelpFile"}) {
    EXPECT_FALSE(NamesFile(config.ReadSeriesFile(Series::kReceipt, "M.XP", key))) << key;
  }
  EXPECT_TRUE(NamesFile(config.ReadSeriesFile(Series::kReceipt, "M.XP", "STDConfigFile")));
}

TEST_F(ConfigTest, SixtyFourBitWindowsReadsOnlyThe64BitSeriesFiles) {
  kit_.Put(u"C:\\Kit\\DRVCONFIG\\setup_Ticket.ini", "[T.PORT]\r\nUSBSUPPORTED=1\r\nBaudRate=9600\r\n");
  kit_.Put(u"C:\\Kit\\DRVCONFIG\\SETUP_TICKET_64.INI", "[T.PORT]\r\nBaudRate=38400\r\n");
  const auto port64 = ReadPortConfig(Make(true), Series::kTicket, "T");
  EXPECT_EQ(port64.baud_rate, 38400);
  EXPECT_EQ(port64.usb_supported, 0) << "the 32-bit file must not be consulted";
  EXPECT_EQ(port64.common_name, "KVCOM");

  const auto port32 = ReadPortConfig(Make(false), Series::kTicket, "T");
  EXPECT_EQ(port32.baud_rate, 9600);
  EXPECT_EQ(port32.usb_supported, 1);
}

TEST_F(ConfigTest, DriverDescriptionFollowsOsCodeAndFlavour) {
  kit_.Put(u"C:\\Kit\\DRVCONFIG\\setup_receipt.ini",
           "[M.Win7]\r\nDriverNameS=M Serial\r\nDriverNameN=M Net\r\nGDIPrintProcessor=GdiProc\r\n"
           "STDPrintProcessor=StdProc\r\nGDIDriverPath=UNIDRV.DLL\r\nSTDDriverPath=STD.DLL\r\n"
           "ATTRIBUTES=576\r\nLanguageResourceFile3=ENG_VRTQ40.res\r\nGDI2KDDKDEV=1\r\n"
           "[M.XP]\r\nDriverNameS=M XP\r\n");
  const auto config = Make(false);
  const auto gdi = ReadDriverDescription(config, Series::kReceipt, "M", 7, Flavour::kGdi);
  EXPECT_EQ(gdi.driver_name[0], "M Serial");
  EXPECT_EQ(gdi.driver_name[3], "M Net");
  EXPECT_EQ(gdi.print_processor, "GdiProc");
  EXPECT_EQ(gdi.driver_path, "UNIDRV.DLL");
  EXPECT_EQ(gdi.attributes, 576);
  EXPECT_EQ(gdi.language_resource_files[2], "ENG_VRTQ40.res");
  EXPECT_EQ(gdi.language_resource_files[0], "0");
  EXPECT_EQ(gdi.depends_on_unidrv, 1);

  const auto std_flavour = ReadDriverDescription(config, Series::kReceipt, "M", 7, Flavour::kStd);
  EXPECT_EQ(std_flavour.print_processor, "StdProc");
  EXPECT_EQ(std_flavour.driver_path, "STD.DLL");
  EXPECT_EQ(std_flavour.depends_on_unidrv, 0);

  EXPECT_EQ(ReadDriverDescription(config, Series::kReceipt, "M", 3, Flavour::kGdi).driver_name[0],
            "M XP");
  EXPECT_TRUE(ReadDriverDescription(config, Series::kReceipt, "M", 12, Flavour::kGdi)
                  .driver_name[0].empty());
}

TEST_F(ConfigTest, LanguageMonitorIsAbsentOnlyWhenAllThreeKeysAreDefault) {
  kit_.Put(u"C:\\Kit\\DRVCONFIG\\setup.ini",
           "[COMMON-MONITOR.XP]\r\nUSBMONitorPName=KV USB Monitor\r\nUSBMONitorVersion=3\r\n"
           "COMMonitorVisiable=2\r\n"
           "[COMMON-MONITOR.Win7]\r\nUSBLMONitorDLLName=kvlmon.dll\r\n");
  const auto config = Make(false);
  const auto xp = ReadMonitorSet(config, 3);
  EXPECT_EQ(xp.language.name, "");
  EXPECT_EQ(xp.language.dll, "");
  EXPECT_EQ(xp.language.version, 0);
  EXPECT_EQ(xp.usb.name, "KV USB Monitor");
  EXPECT_EQ(xp.usb.version, 3);
  EXPECT_EQ(xp.com_monitor_visible, 2);

  const auto win7 = ReadMonitorSet(config, 7);
  EXPECT_EQ(win7.language.name, "0") << "one key set: the others keep their read values";
  EXPECT_EQ(win7.language.dll, "kvlmon.dll");
}

TEST_F(ConfigTest, PackageWideKeysAndTheirOwnDefaults) {
  kit_.Put(u"C:\\Kit\\DRVCONFIG\\setup.ini",
           "[DEVICENAME]\r\nSupported32OR64=2\r\nLOADLICENSE=1\r\n"
           "[USBCLASSPRINTER]\r\nRP-80(U)1=USB\\VID_7A5C&PID_1000\r\n"
           "[SUPPORTED-USB-DEVICE]\r\nUSB_RP-80_1=4\r\n[ProcessorVersion]\r\nDriverVersion=7\r\n");
  const auto config = Make(false);
  const auto s = ReadPackageSwitches(config);
  EXPECT_EQ(s.supported_32_or_64, 2);
  EXPECT_EQ(s.load_license, 1);
  EXPECT_EQ(s.inf_file_name, "err");
  EXPECT_EQ(ReadUsbClassPrinterId(config, "RP-80", "(U)1"), "USB\\VID_7A5C&PID_1000");
  EXPECT_EQ(ReadUsbClassPrinterId(config, "RP-80", "(U)2"), "ERR");
  EXPECT_EQ(ReadSupportedUsbDevice(config, "USB_RP-80_1"), 4);
  EXPECT_EQ(ReadSupportedUsbDevice(config, "USB_RP-80_2"), 0);
  EXPECT_EQ(ReadProcessorVersion(config), 7);
}

TEST(LeadingDecimal, BehavesAsTheCLibraryConversion) {
  EXPECT_EQ(LeadingDecimal("42"), 42);
  EXPECT_EQ(LeadingDecimal("  +7x"), 7);
  EXPECT_EQ(LeadingDecimal("-12"), -12);
  EXPECT_EQ(LeadingDecimal("x12"), 0);
  EXPECT_EQ(LeadingDecimal(""), 0);
  EXPECT_EQ(LeadingDecimal("99999999999999999999"), 2147483647);
  EXPECT_EQ(LeadingDecimal("-99999999999999999999"), -2147483647 - 1);
}

TEST(SeriesFile, NamesTheFileOfTheBitness) {
  EXPECT_EQ(SeriesFile(Series::kReceipt, false), "DRVCONFIG\\setup_receipt.ini");
  EXPECT_EQ(SeriesFile(Series::kEmbedded, true), "DRVCONFIG\\setup_Embedded_64.ini");
}

}  // namespace
}  // namespace kit::setup
