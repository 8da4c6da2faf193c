#include "usbinstall/class_driver.h"

#include <gtest/gtest.h>

#include "common/codepage/codepage.h"
#include "tests/usbinstall/fake_machine.h"
#include "usbinstall/outcome_texts.h"
#include "usbinstall/run_action.h"

namespace kit::usbinstall {
namespace {

using testing::FakeMachine;

constexpr char16_t kLog[] = u"C:\\kit\\Silent_Setup.Log";
constexpr char kModelInf[] = "C:\\kit\\Driver\\TP80.inf";

CommandLine Action3(std::string flag, std::string printer = {}) {
  return ParseCommandLine({"3", kModelInf, "KVROTP80", std::move(flag), std::move(printer)});
}

std::size_t PlugPrinter(FakeMachine& m) {
  return m.Plug({u"USBPRINT\\KVROTP80", u"KVROTP80"}, kGuidDevClassPrinter);
}

TEST(ClassDriverTest, SilentSuccessWritesExactlyOneLogLineAndShowsNoWindow) {
  FakeMachine m;
  const auto printer = PlugPrinter(m);
  RunAction(m.context, Action3("1"));
  EXPECT_EQ(m.files.Content(kLog), "14:03:07,December 06,2026 -- Successfully installed printer driver.\r\n");
  EXPECT_EQ(m.files.files.at(ToUpperAscii(kLog)).share, 0u);  // opened without sharing
  EXPECT_EQ(m.view.progress_opened, 0);
  EXPECT_TRUE(m.view.boxes.empty());
  EXPECT_EQ(m.clock.slept, 0u);
  EXPECT_EQ(m.devices.tree[printer].driver_inf, u"C:\\kit\\Driver\\TP80.inf");
  ASSERT_EQ(m.devices.updates.size(), 1u);
  EXPECT_EQ(m.devices.updates[0].hardware_id, u"USBPRINT\\KVROTP80");
  EXPECT_EQ(m.devices.updates[0].flags, kInstallFlagForce);
  EXPECT_TRUE(m.devices.copies.empty());  // the store copy is for Windows 8 only
}

TEST(ClassDriverTest, SilentLogIsAppendedTo) {
  FakeMachine m;
  m.files.Put(kLog, "earlier\r\n");
  RunAction(m.context, Action3("1"));
  EXPECT_EQ(m.files.Content(kLog),
            "earlier\r\n14:03:07,December 06,2026 -- Add printer driver error.Please repower printer and try "
            "again.\r\n");
}

TEST(ClassDriverTest, InteractiveShowsTenSecondsOfProgressThenABox) {
  for (const char* flag : {"0", "", "11", " 1"}) {
    FakeMachine m;
    PlugPrinter(m);
    RunAction(m.context, Action3(flag));
    EXPECT_EQ(m.view.progress_opened, 1) << flag;
    EXPECT_EQ(m.view.progress_closed, 1) << flag;
    EXPECT_EQ(m.view.range_low, 0);
    EXPECT_EQ(m.view.range_high, 100);
    ASSERT_EQ(m.view.positions.size(), 100u);
    EXPECT_EQ(m.view.positions.front(), 0);
    EXPECT_EQ(m.view.positions.back(), 99);
    EXPECT_EQ(m.clock.slept, 10000u);
    ASSERT_EQ(m.view.boxes.size(), 1u);
    EXPECT_EQ(m.view.boxes[0].text, "Successfully installed printer driver.");
    EXPECT_FALSE(m.files.Has(kLog));
  }
}

TEST(ClassDriverTest, AbsentDeviceGivesTheAdviceWithoutASeparator) {
  FakeMachine m;
  RunAction(m.context, Action3("0"));
  ASSERT_EQ(m.view.boxes.size(), 1u);
  EXPECT_EQ(m.view.boxes[0].text, "Add printer driver error.Please repower printer and try again.");
  EXPECT_TRUE(m.devices.copies.empty());  // no pre-installation in this action
}

TEST(ClassDriverTest, OtherErrorsGiveTheSystemTextCutTo259Bytes) {
  FakeMachine m;
  PlugPrinter(m);
  m.devices.faults["UpdateDriverForPlugAndPlayDevices"] = {1, win32::kErrorAccessDenied};
  m.system.messages[win32::kErrorAccessDenied] = u"Access is denied.\r\n";
  RunAction(m.context, Action3("1"));
  EXPECT_EQ(m.files.Content(kLog), "14:03:07,December 06,2026 -- Add printer driver error.Access is denied.\r\n\r\n");

  FakeMachine lengthy;
  PlugPrinter(lengthy);
  lengthy.devices.faults["UpdateDriverForPlugAndPlayDevices"] = {1, win32::kErrorAccessDenied};
  lengthy.system.messages[win32::kErrorAccessDenied] = WString(400, u'x');
  RunAction(lengthy.context, Action3("0"));
  ASSERT_EQ(lengthy.view.boxes.size(), 1u);
  EXPECT_EQ(lengthy.view.boxes[0].text.size(), 259u);
  EXPECT_EQ(lengthy.view.boxes[0].text.substr(0, 26), "Add printer driver error.x");

  FakeMachine no_text;
  no_text.devices.faults["UpdateDriverForPlugAndPlayDevices"] = {1, 0xE0000235};
  RunAction(no_text.context, Action3("0"));
  ASSERT_EQ(no_text.view.boxes.size(), 1u);
  EXPECT_EQ(no_text.view.boxes[0].text, "Add printer driver error.");
}

TEST(ClassDriverTest, LanguagesChooseTheirTexts) {
  EXPECT_EQ(OutcomeTextsFor(1046).success, "Driver da impressora instalado com sucesso.");
  EXPECT_EQ(OutcomeTextsFor(2070).failure, "Erro ao adicionar driver de impressora.");
  EXPECT_EQ(OutcomeTextsFor(1046).device_absent, "Favor reiniciar a impressora.");
  EXPECT_EQ(OutcomeTextsFor(1033).success, "Successfully installed printer driver.");
  EXPECT_EQ(OutcomeTextsFor(2057).success, "Successfully installed printer driver.");

  // The Chinese texts are stored in their own code pages.
  using codepage::AnsiToUtf16;
  using codepage::CodePage;
  for (const std::uint16_t id : {1028, 3076, 4100}) {
    const auto texts = OutcomeTextsFor(id);
    EXPECT_EQ(AnsiToUtf16(texts.success, CodePage::kTraditionalChinese), u"印表機驅動安裝成功") << id;
    EXPECT_EQ(AnsiToUtf16(texts.failure, CodePage::kTraditionalChinese), u"添加印表機驅動失敗") << id;
    EXPECT_EQ(AnsiToUtf16(texts.device_absent, CodePage::kTraditionalChinese), u"請重新啟動印表機後再安裝。");
  }
  const auto simplified = OutcomeTextsFor(2052);
  EXPECT_EQ(AnsiToUtf16(simplified.success, CodePage::kSimplifiedChinese), u"打印机驱动安装成功。");
  EXPECT_EQ(AnsiToUtf16(simplified.failure, CodePage::kSimplifiedChinese), u"添加打印机驱动失败。");
  EXPECT_EQ(AnsiToUtf16(simplified.device_absent, CodePage::kSimplifiedChinese), u"请重启打印机后再安装。");
}

TEST(ClassDriverTest, PortugueseAndTraditionalChineseSystemsReportInTheirLanguage) {
  FakeMachine pt;
  pt.system.language = 1046;
  PlugPrinter(pt);
  RunAction(pt.context, Action3("1"));
  EXPECT_EQ(pt.files.Content(kLog), "14:03:07,December 06,2026 -- Driver da impressora instalado com sucesso.\r\n");

  FakeMachine tw;
  tw.system.language = 4100;
  tw.system.acp = 950;
  RunAction(tw.context, Action3("1"));
  const std::string line = tw.files.Content(kLog);
  const auto texts = OutcomeTextsFor(4100);
  EXPECT_EQ(line, "14:03:07,December 06,2026 -- " + std::string(texts.failure) + std::string(texts.device_absent) +
                      "\r\n");
}

TEST(ClassDriverTest, CutNeverSplitsADoubleByteCharacter) {
  const std::string text = "a\xA6\x4C\xAA\xED";  // 'a' and two characters of code page 950
  EXPECT_EQ(CutAnsi(text, 5, 950), "a\xA6\x4C");
  EXPECT_EQ(CutAnsi(text, 4, 950), "a\xA6\x4C");
  EXPECT_EQ(CutAnsi(text, 3, 950), "a");
  EXPECT_EQ(CutAnsi(text, 3, 1252), "a\xA6");
  EXPECT_EQ(CutAnsi(text, 0, 950), "");
}

TEST(ClassDriverTest, TimeStampUsesTheCLocaleMonthNames) {
  EXPECT_EQ(LogTimeStamp(SystemTime{2026, 1, 0, 9, 0, 5, 59, 0}), "00:05:59,January 09,2026 -- ");
  EXPECT_EQ(LogTimeStamp(SystemTime{2027, 9, 0, 30, 23, 59, 0, 0}), "23:59:00,September 30,2027 -- ");
}

TEST(ClassDriverTest, LogLiesTwoFoldersAboveTheProgramsFolderButNeverAboveTheDrive) {
  EXPECT_EQ(SilentLogPath(u"C:\\kit\\USBDrv\\USBDriver_x64\\Install.exe"), u"C:\\kit\\Silent_Setup.Log");
  EXPECT_EQ(SilentLogPath(u"C:\\a\\Install.exe"), u"C:\\Silent_Setup.Log");
  EXPECT_EQ(SilentLogPath(u"C:\\Install.exe"), u"C:\\Silent_Setup.Log");
  // A double-byte name whose second byte is a backslash in code page 950
  // does not count as a folder separator: paths are split as UTF-16.
  EXPECT_EQ(SilentLogPath(u"D:\\許\\USBDrv\\USBDriver\\Install.exe"), u"D:\\許\\Silent_Setup.Log");
}

TEST(ClassDriverTest, DefaultPrinterOnlyWithAPrinterNameAndAfterSuccess) {
  FakeMachine none;
  PlugPrinter(none);
  none.spooler.printers[u"TP80"] = PrinterInfo2{};
  RunAction(none.context, Action3("1"));
  EXPECT_EQ(none.spooler.set_default_calls, 0);
  EXPECT_TRUE(none.shell.broadcasts.empty());

  FakeMachine named;
  PlugPrinter(named);
  named.spooler.printers[u"TP80"] = PrinterInfo2{};
  RunAction(named.context, Action3("1", "TP80"));
  EXPECT_EQ(named.spooler.default_printer, u"TP80");
  ASSERT_EQ(named.shell.broadcasts.size(), 1u);
  EXPECT_EQ(named.shell.broadcasts[0].section, u"");
  EXPECT_EQ(named.shell.broadcasts[0].timeout, 1000u);

  FakeMachine failed;
  failed.spooler.printers[u"TP80"] = PrinterInfo2{};
  RunAction(failed.context, Action3("1", "TP80"));
  EXPECT_EQ(failed.spooler.set_default_calls, 0);
}

TEST(ClassDriverTest, DefaultPrinterByPlatform) {
  PrinterInfo2 record;
  record.printer_name = u"TP80";
  record.driver_name = u"KVRO TP80";
  record.port_name = u"USB001";
  record.attributes = kPrinterAttributeLocal;

  FakeMachine nine_x;
  nine_x.system.version.platform_id = kVerPlatformWin32Windows;
  nine_x.SetVersion(4, 10);
  nine_x.spooler.printers[u"TP80"] = record;
  MakeDefaultPrinter(nine_x.context, "TP80");
  ASSERT_EQ(nine_x.spooler.set_printer_records.size(), 1u);
  EXPECT_EQ(nine_x.spooler.set_printer_records[0].attributes, kPrinterAttributeLocal | kPrinterAttributeDefault);
  ASSERT_EQ(nine_x.shell.broadcasts.size(), 1u);
  EXPECT_EQ(nine_x.shell.broadcasts[0].section, u"windows");

  FakeMachine nt4;
  nt4.SetVersion(4, 0);
  nt4.spooler.printers[u"TP80"] = record;
  MakeDefaultPrinter(nt4.context, "TP80");
  EXPECT_EQ(nt4.profile.values["windows/device"], "TP80,KVRO TP80,USB001");
  EXPECT_EQ(nt4.spooler.set_default_calls, 0);
  ASSERT_EQ(nt4.shell.broadcasts.size(), 1u);

  FakeMachine missing_printer;
  missing_printer.SetVersion(4, 0);
  MakeDefaultPrinter(missing_printer.context, "TP80");
  EXPECT_TRUE(missing_printer.profile.values.empty());
  EXPECT_TRUE(missing_printer.shell.broadcasts.empty());

  FakeMachine no_entry;
  no_entry.spooler.printers[u"TP80"] = record;
  no_entry.system.missing_procs[u"winspool.drv"] = {"SetDefaultPrinterA"};
  MakeDefaultPrinter(no_entry.context, "TP80");
  EXPECT_EQ(no_entry.spooler.set_default_calls, 0);
  EXPECT_TRUE(no_entry.shell.broadcasts.empty());
}

TEST(ClassDriverTest, Windows8CopiesThePackageIntoTheStoreFirst) {
  FakeMachine m;
  m.SetVersion(6, 2);
  m.devices.store.push_back(ToUpperAscii(u"C:\\kit\\Driver\\TP80.inf"));
  PlugPrinter(m);
  RunAction(m.context, Action3("1"));
  ASSERT_EQ(m.devices.copies.size(), 2u);
  EXPECT_EQ(m.devices.copies[0].source, u"C:\\kit\\Driver\\TP80.inf");
  EXPECT_EQ(m.devices.copies[0].media, u"C:\\kit\\USBDrv\\USBDriver");
  EXPECT_EQ(m.devices.copies[0].style, kSpCopyNoOverwrite);
  EXPECT_EQ(m.devices.copies[1].style, kSpCopyReplaceOnly);
}

TEST(ClassDriverTest, OverLongPrinterNameIsCutTo199Bytes) {
  FakeMachine m;
  PlugPrinter(m);
  const std::string name(199, 'P');
  m.spooler.printers[WString(199, u'P')] = PrinterInfo2{};
  RunAction(m.context, Action3("1", name + "overflow"));
  EXPECT_EQ(m.spooler.default_printer, WString(199, u'P'));
}

}  // namespace
}  // namespace kit::usbinstall

namespace kit::usbinstall {
namespace {

// A driver that Windows installs only after a restart: the installed text
// stands, and the program's status says the restart is still to come.
TEST(RestartStatusTest, AnUpdateThatAsksForARestartEnds3010) {
  struct Case {
    const char* name;
    CommandLine command_line;
    std::vector<WString> device;
    Guid device_class;
  };
  const Case cases[] = {
      {"class driver", Action3("1"), {u"USBPRINT\\KVROTP80", u"KVROTP80"}, kGuidDevClassPrinter},
      {"USB printer driver", ParseCommandLine({"2"}), {u"USB\\VID_7a5c&PID_1002"}, kGuidDevClassUsb},
      {"USB scanner driver", ParseCommandLine({"4"}), {u"USB\\VID_7A5C&PID_2002"}, kGuidDevClassUsb},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool restart : {false, true}) {
      FakeMachine m;
      m.Plug(c.device, c.device_class);
      m.devices.update_needs_restart = restart;
      EXPECT_EQ(RunAction(m.context, c.command_line), restart ? 3010 : 0);
    }
  }
}

}  // namespace
}  // namespace kit::usbinstall
