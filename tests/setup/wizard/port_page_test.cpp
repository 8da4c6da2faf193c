// The port page: the list by model, system and mode, the serial settings,
// the notes, and what Install gathers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/setup/wizard/wizard_fixture.h"

namespace kit::setup {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::PageOf;
using testing::SampleKit;
using testing::VisiblePage;
using testing::WizardRun;

// From the licence to the port page with the series and model given.
void WalkToPorts(ui::headless::Dialog& f, int series, int model_index, bool advanced = false) {
  PageOf(f, kLegalPage).Click(kLegalAcceptId);
  f.Click(ui::kIdOk);
  auto& s = PageOf(f, kSeriesPage);
  s.Click(kSeriesRadioIds[series]);
  s.Select(kSeriesListIds[series], model_index);
  f.Click(ui::kIdOk);
  if (advanced) PageOf(f, kModePage).Click(kModeAdvancedId);
  f.Click(ui::kIdOk);
  ASSERT_EQ(VisiblePage(f), kConfirmPage);
}

CSetupConfirm& PortPage(ui::headless::Dialog& f) {
  return *static_cast<CSetupConfirm*>(&PageOf(f, kConfirmPage).page());
}

TEST(KitsetupPorts, TypicalOn64BitWithOwnSerialPortsPrefersUsb) {
  WizardRun run("win7-x64-en");
  run.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    WalkToPorts(f, 0, 0);
    auto& p = PageOf(f, kConfirmPage);
    EXPECT_THAT(p.Find(kPortListId)->items,
                ElementsAre(u"KVCOM1:", u"KVCOM2:", u"KVCOM3:", u"KVCOM4:", u"KVCOM5:", u"KVCOM6:", u"KVCOM7:",
                            u"KVCOM8:", u"LPT1:", u"LPT2:", u"LPT3:", u"NET:", u"USB_VRT-Q40_1"));
    EXPECT_EQ(PortPage(f).port_name(), "USB_VRT-Q40_1");
    EXPECT_EQ(p.Find(kPortListId)->selection, 12);
    EXPECT_FALSE(p.Find(kBaudListId)->enabled);
    EXPECT_FALSE(p.Find(kIpAddressId)->enabled);
    EXPECT_TRUE(p.Find(kRasterCheckId)->checked);
    EXPECT_TRUE(p.Find(kUsbDriverNoteId)->visible);  // KVPUSB.sys reads 0.0.0.0
    EXPECT_FALSE(p.Find(kSerialNoteId)->visible);
    EXPECT_EQ(p.Find(kBaudListId)->selection, 5);  // BaudRate=9600
    f.Click(ui::kIdCancel);
  });
}

TEST(KitsetupPorts, InstalledUsbDriverHidesTheNoteAndAdvancedOffersFourUsbPorts) {
  WizardRun run("win7-x64-en");
  run.usb.version = "3.1.0.0";
  run.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    WalkToPorts(f, 0, 0, /*advanced=*/true);
    auto& p = PageOf(f, kConfirmPage);
    const auto& items = p.Find(kPortListId)->items;
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const std::u16string& i) { return i.rfind(u"USB_", 0) == 0; }), 4);
    EXPECT_EQ(PortPage(f).port_name(), "USB_VRT-Q40_1");
    EXPECT_FALSE(p.Find(kUsbDriverNoteId)->visible);
    f.Click(ui::kIdCancel);
  });
  WizardRun class_only("win7-x64-en");
  class_only.usb.classification = kUsbClassPrintersOnly;
  class_only.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    WalkToPorts(f, 0, 0, /*advanced=*/true);
    const auto& items = PageOf(f, kConfirmPage).Find(kPortListId)->items;
    EXPECT_EQ(std::count(items.begin(), items.end(), u"USB_VRT-Q40_1"), 1);
    EXPECT_EQ(std::count(items.begin(), items.end(), u"USB_VRT-Q40_2"), 0);
    f.Click(ui::kIdCancel);
  });
}

TEST(KitsetupPorts, SerialVisibilityOn64BitFollowsTheMonitorSetting) {
  for (const char* visible : {"0", "2"}) {
    auto kit = SampleKit();
    std::string ini = kit.files.at("DRVCONFIG\\setup.ini");
    const std::string key = "[COMMON-MONITOR.Win7]\r\nCOMMonitorVisiable=1";
    ini.replace(ini.find(key), key.size(), std::string("[COMMON-MONITOR.Win7]\r\nCOMMonitorVisiable=") + visible);
    kit.Set("DRVCONFIG\\setup.ini", ini);
    WizardRun run("win7-x64-en");
    run.Run(kit, [&](ui::headless::Dialog& f) {
      WalkToPorts(f, 2, 0);  // VRT-L50: LPT and COM
      auto& p = PageOf(f, kConfirmPage);
      if (std::string(visible) == "0") {
        EXPECT_THAT(p.Find(kPortListId)->items, ElementsAre(u"COM1:", u"COM2:", u"COM3:", u"COM4:", u"COM5:",
                                                            u"COM6:", u"COM7:", u"COM8:", u"LPT1:", u"LPT2:", u"LPT3:"));
        EXPECT_FALSE(p.Find(kSerialNoteId)->visible);
      } else {
        EXPECT_THAT(p.Find(kPortListId)->items, ElementsAre(u"LPT1:", u"LPT2:", u"LPT3:"));
        EXPECT_TRUE(p.Find(kSerialNoteId)->visible);
      }
      f.Click(ui::kIdCancel);
    });
  }
}

TEST(KitsetupPorts, On32BitWindowsSerialPortsUseTheModelsPrefix) {
  WizardRun run("winxp-x86-en");
  run.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    WalkToPorts(f, 0, 1);  // VRT-D45: COM only, COMMONNAME=VRCOM, BaudRate=14400
    auto& p = PageOf(f, kConfirmPage);
    EXPECT_EQ(p.Find(kPortListId)->items.front(), u"VRCOM1:");
    EXPECT_EQ(p.Find(kPortListId)->items.size(), 8u);
    EXPECT_EQ(PortPage(f).port_name(), "VRCOM1:");
    EXPECT_TRUE(p.Find(kBaudListId)->enabled);
    EXPECT_FALSE(p.Find(kRasterCheckId)->enabled);
    EXPECT_EQ(PortPage(f).raster(), 0);
    // 14400 is not offered: 38400 is selected and kept.
    EXPECT_EQ(p.Find(kBaudListId)->selection, 7);
    EXPECT_EQ(PortPage(f).baud_rate(), 38400);
    f.Click(ui::kIdCancel);
  });
}

TEST(KitsetupPorts, ParallelDefaultAndRasterHiddenByTheModel) {
  auto kit = SampleKit();
  kit.Set("DRVCONFIG\\setup_Ticket_64.ini", "[VRT-T80.PORT]\r\nLPTSUPPORTED=1\r\nLPTDEFAULT=1\r\nNETSUPPORTED=1\r\n"
                                            "SystemWin7Supported=1\r\n");
  WizardRun lpt("win7-x64-en");
  lpt.Run(kit, [&](ui::headless::Dialog& f) {
    WalkToPorts(f, 1, 0);
    auto& p = PageOf(f, kConfirmPage);
    EXPECT_EQ(PortPage(f).port_name(), "LPT1:");
    EXPECT_EQ(PortPage(f).raster(), 1);
    EXPECT_TRUE(p.Find(kRasterCheckId)->enabled);
    EXPECT_FALSE(p.Find(kIpAddressId)->enabled);
    p.SelectText(kPortListId, u"NET:");
    EXPECT_TRUE(p.Find(kIpAddressId)->enabled);
    f.Click(ui::kIdCancel);
  });
  WizardRun hidden("win7-x64-en");
  hidden.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    WalkToPorts(f, 3, 0);  // VRT-E20: RASTERVISIABLE=1
    EXPECT_FALSE(PageOf(f, kConfirmPage).Find(kRasterCheckId)->visible);
    f.Click(ui::kIdCancel);
  });
}

TEST(KitsetupPorts, SerialLettersFollowTheItemsPositionWhateverTheirText) {
  auto kit = SampleKit();
  std::string lang = kit.files.at("language\\setup_EN.ini");
  lang.replace(lang.find("Protocol.Hardware=Hardware"), 26, "Protocol.Hardware=RTS/CTS");
  kit.Set("language\\setup_EN.ini", lang);
  WizardRun run("win7-x64-en");
  run.Run(kit, [&](ui::headless::Dialog& f) {
    WalkToPorts(f, 2, 0);  // VRT-L50: serial ports first
    auto& p = PageOf(f, kConfirmPage);
    EXPECT_EQ(PortPage(f).flow(), 'p');
    EXPECT_EQ(PortPage(f).parity(), 'n');
    const std::pair<int, char> flows[] = {{1, 'x'}, {2, 'p'}, {0, ' '}};
    for (const auto& [index, letter] : flows) {
      p.Select(kFlowListId, index);
      EXPECT_EQ(PortPage(f).flow(), letter) << index;
    }
    const char parities[] = {'e', 'm', 'n', 'o', 's'};
    for (int i = 0; i < 5; ++i) {
      p.Select(kParityListId, i);
      EXPECT_EQ(PortPage(f).parity(), parities[i]) << i;
    }
    p.Select(kStopBitsListId, 1);
    EXPECT_DOUBLE_EQ(PortPage(f).stop_bits(), 1.5);
    p.Select(kDataBitsListId, 0);
    EXPECT_EQ(PortPage(f).data_bits(), 5);
    f.Click(ui::kIdCancel);
  });
}

// Translated items give the same letters: "无" (none) is "n", not the first
// byte of its code page 936 form, and a translated Xon/Xoff is "x".
TEST(KitsetupPorts, ChineseSerialTextsStoreTheSameLetters) {
  auto kit = SampleKit();
  std::string lang = kit.files.at("language\\setup_EN.ini");
  auto replace = [&](const std::string& from, const std::string& to) { lang.replace(lang.find(from), from.size(), to); };
  replace("Parity.None=None", "Parity.None=\xCE\xDE");               // 无
  replace("Parity.Odd=Odd", "Parity.Odd=\xC6\xE6");                  // 奇
  replace("Protocol.Xonoff=Xon/Xoff", "Protocol.Xonoff=\xC8\xED\xBC\xFE");  // 软件
  replace("Protocol.None=None", "Protocol.None=\xCE\xDE");           // 无
  kit.Set("language\\setup_CN.ini", lang);
  kit.Set("License_CN.txt", "\xD0\xED\xBF\xC9");
  WizardRun run("win7-x86-zh-cn");
  run.Run(kit, [&](ui::headless::Dialog& f) {
    WalkToPorts(f, 2, 0);  // VRT-L50: serial ports first
    auto& p = PageOf(f, kConfirmPage);
    ASSERT_EQ(p.Find(kParityListId)->items.at(2), u"\u65E0");
    p.Select(kParityListId, 3);
    p.Select(kParityListId, 2);
    p.Select(kFlowListId, 1);
    f.Click(ui::kIdOk);  // Install
    f.Click(ui::kIdCancel);
  });
  const auto* frame = run.app()->frame();
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(frame->install_requested());
  EXPECT_EQ(frame->install_request().parity, 'n');
  EXPECT_EQ(frame->install_request().flow, 'x');
}

// No series chosen (no DEFAULTNAME): the port page is empty and Install
// refuses with its message, the wizard staying open. On OS codes 4-7 the
// support check already stops at the OS page.
TEST(KitsetupPorts, NoSeriesChosenRefusesAtInstall) {
  auto kit = SampleKit();
  std::string ini = kit.files.at("DRVCONFIG\\setup.ini");
  ini.erase(ini.find("DEFAULTNAME=1\r\n"), 15);
  kit.Set("DRVCONFIG\\setup.ini", ini);
  WizardRun xp("winxp-x86-en");
  xp.Run(kit, [&](ui::headless::Dialog& f) {
    PageOf(f, kLegalPage).Click(kLegalAcceptId);
    f.Click(ui::kIdOk);
    ASSERT_EQ(VisiblePage(f), kSeriesPage);
    EXPECT_EQ(static_cast<CPrinterSeries&>(PageOf(f, kSeriesPage).page()).series_index(), -1);
    f.Click(ui::kIdOk);  // mode page
    f.Click(ui::kIdOk);  // OS page, passed at once
    ASSERT_EQ(VisiblePage(f), kConfirmPage);
    EXPECT_THAT(PageOf(f, kConfirmPage).Find(kPortListId)->items, IsEmpty());
    EXPECT_EQ(PortPage(f).port_name(), "");
    f.Click(ui::kIdOk);  // Install
    EXPECT_FALSE(f.Ended());
    f.Click(ui::kIdOk);  // and again
    EXPECT_FALSE(f.Ended());
    f.Click(ui::kIdCancel);
  });
  EXPECT_THAT(xp.FrameMessages(), ElementsAre(u"Select a model", u"Select a model"));
  EXPECT_FALSE(xp.app()->frame()->install_requested());

  WizardRun win7("win7-x64-en");
  win7.Run(kit, [&](ui::headless::Dialog& f) {
    PageOf(f, kLegalPage).Click(kLegalAcceptId);
    f.Click(ui::kIdOk);
    f.Click(ui::kIdOk);
    f.Click(ui::kIdOk);
    EXPECT_EQ(VisiblePage(f), kSystemPage);
    f.Click(ui::kIdCancel);
  });
  EXPECT_THAT(win7.FrameMessages(), ElementsAre(u"Not on Windows 7"));
}

// Note 1105 belongs to the model of the fill: going back to a model with
// serial ports hides it again.
TEST(KitsetupPorts, SerialNoteIsHiddenAgainForAModelWithSerialPorts) {
  WizardRun run("winxp-x86-en");
  run.Run(SampleKit(), [&](ui::headless::Dialog& f) {
    WalkToPorts(f, 1, 0);  // VRT-T80: no serial ports
    auto& p = PageOf(f, kConfirmPage);
    EXPECT_TRUE(p.Find(kSerialNoteId)->visible);
    f.Click(kBackId);  // mode page
    f.Click(kBackId);  // series page
    auto& s = PageOf(f, kSeriesPage);
    s.Click(kSeriesRadioIds[2]);
    s.Select(kSeriesListIds[2], 0);  // VRT-L50: LPT and COM
    f.Click(ui::kIdOk);
    f.Click(ui::kIdOk);
    ASSERT_EQ(VisiblePage(f), kConfirmPage);
    EXPECT_EQ(p.Find(kPortListId)->items.front(), u"KVCOM1:");
    EXPECT_FALSE(p.Find(kSerialNoteId)->visible);
    f.Click(ui::kIdCancel);
  });
}

TEST(KitsetupPorts, SameModelAgainKeepsThePortChoiceAndInstallGathersTheSelections) {
  WizardRun run("win7-x64-en");
  auto files = SampleKit();
  files.Set("RegUtility\\Regutility.exe", "post-install tool");
  run.Run(files, [&](ui::headless::Dialog& f) {
    WalkToPorts(f, 0, 0);
    auto& p = PageOf(f, kConfirmPage);
    ASSERT_TRUE(p.SelectText(kPortListId, u"NET:"));
    ASSERT_TRUE(p.Type(kIpAddressId, u"192.168.0.50"));
    f.Click(kBackId);  // mode page
    f.Click(kBackId);  // series page
    PageOf(f, kSeriesPage).Click(kSeriesDefaultId);
    f.Click(ui::kIdOk);
    f.Click(ui::kIdOk);
    ASSERT_EQ(VisiblePage(f), kConfirmPage);
    EXPECT_EQ(PortPage(f).port_name(), "NET:");
    f.Click(ui::kIdOk);  // Install: the kit has no payload, so the worker fails
    EXPECT_TRUE(f.Ended()) << "the frame closes after every install";
  });
  const auto* frame = run.app()->frame();
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(frame->install_requested());
  const InstallRequest& r = frame->install_request();
  EXPECT_EQ(r.series_index, 0);
  EXPECT_EQ(r.model_name, "VRT-Q40");
  EXPECT_TRUE(r.set_as_default);
  EXPECT_EQ(r.os_code, 7);
  EXPECT_EQ(r.mode, kModeTypical);
  EXPECT_EQ(r.port_name, "NET:");
  EXPECT_EQ(r.port_kind, kPortNetwork);
  EXPECT_EQ(r.ip_address, "192.168.0.50");
  EXPECT_EQ(r.raster, 1);
  EXPECT_EQ(r.baud_rate, 9600);
  EXPECT_EQ(r.series_file, "C:\\kit\\DRVCONFIG\\setup_receipt_64.ini");
  EXPECT_EQ(r.setup_ini, "C:\\kit\\DRVCONFIG\\setup.ini");
  // One message, the failure's; the port made before the worker stays, and
  // the post-install tool runs whatever the outcome.
  const auto messages = run.FrameMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(u"\\x64\\"), std::u16string::npos) << ToUtf8(messages[0]);
  sim::Json state;
  std::string error;
  run.machine().store().Read(&state, &error);
  bool port = false;
  for (const auto& p : state["spooler"]["ports"]) port = port || p.value("name", "") == "KVIP_192.168.0.50";
  EXPECT_TRUE(port);
  ASSERT_FALSE(state["launches"].empty());
  EXPECT_EQ(state["launches"].back().value("file", ""), "C:\\kit\\RegUtility\\Regutility.exe");
  EXPECT_EQ(state["launches"].back().value("parameters", ""), "999");
}

TEST(KitsetupPorts, PortKindsByName) {
  EXPECT_EQ(KindOfPort("USB_VRT-COM_1"), kPortUsb);
  EXPECT_EQ(KindOfPort("KVCOM3:"), kPortSerial);
  EXPECT_EQ(KindOfPort("LPT2:"), kPortParallel);
  EXPECT_EQ(KindOfPort("NET:"), kPortNetwork);
  EXPECT_EQ(KindOfPort("FILE:"), kPortUnknown);
}

}  // namespace
}  // namespace kit::setup
