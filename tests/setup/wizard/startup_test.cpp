// The start-up refusals and system detection, on virtual machines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "setup/app/system_detection.h"
#include "tests/setup/wizard/wizard_fixture.h"

namespace kit::setup {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::SampleKit;
using testing::WizardRun;

// OS codes (the platform's and the OS-code headers cannot meet in one file).
constexpr int kXp = 3, kServer2003 = 4, kServer2008 = 6, kWin7 = 7;

TEST(KitsetupStartup, SecondStartBringsTheFirstWindowForwardAndStartsNothing) {
  WizardRun first("win7-x64-en");
  StartResult second_result = StartResult::kFrameClosed;
  int foreground_before = -1, foreground_after = -1;
  first.Run(SampleKit(), [&](ui::headless::Dialog& frame) {
    auto requests = [&] {
      nlohmann::json s;
      std::string e;
      first.machine().store().Read(&s, &e);
      for (const auto& w : s["windows"])
        if (w.value("title", "") == "Printer Driver Setup") return w.value("foreground_requests", 0);
      return -1;
    };
    foreground_before = requests();
    // A second process on the same machine.
    sim::ProcessOptions process;
    process.module_path = testing::kKitProgram;
    std::string error;
    auto machine = sim::Machine::Open(first.machine().store().Folder(), process, &error);
    ASSERT_NE(machine, nullptr) << error;
    bool frame_ran = false;
    CKitsetupApp::Options options;
    options.platform = &machine->platform();
    options.usb = &first.usb;
    options.host.message_box = [&](std::u16string_view, std::u16string_view) { ADD_FAILURE() << "no message"; };
    options.host.run_modal = [&](ui::Page&) {
      frame_ran = true;
      return 0;
    };
    CKitsetupApp second(std::move(options));
    second_result = second.Run();
    EXPECT_FALSE(frame_ran);
    foreground_after = requests();
    frame.Click(ui::kIdCancel);
  });
  EXPECT_EQ(second_result, StartResult::kAlreadyRunning);
  EXPECT_EQ(foreground_before, 0);
  EXPECT_EQ(foreground_after, 1);
}

TEST(KitsetupStartup, RefusesBesideTheUninstallerWithOneMessage) {
  WizardRun run("win7-x64-en");
  auto window = run.machine().platform().shell.AnnounceWindow(u"Uninstall");
  EXPECT_EQ(run.Run(SampleKit()), StartResult::kUninstallRunning);
  EXPECT_THAT(run.startup_messages, ElementsAre(u"Close the other wizard first"));
  EXPECT_EQ(run.app()->frame(), nullptr);
}

TEST(KitsetupStartup, RefusesWindowsNt4And98ButNot95) {
  WizardRun nt4("win2000-x86-en");
  nt4.SetSystem("major", 4);
  nt4.SetSystem("minor", 0);
  EXPECT_EQ(nt4.Run(SampleKit()), StartResult::kWindowsRefused);
  EXPECT_THAT(nt4.startup_messages, ElementsAre(u"This Windows is not supported"));

  VersionFacts win98{1, 4, 10, 0, 0}, win95{1, 4, 0, 0, 0}, nt5{2, 5, 0, 1, 0};
  EXPECT_TRUE(IsRefusedWindows(win98));
  EXPECT_FALSE(IsRefusedWindows(win95));
  EXPECT_FALSE(IsRefusedWindows(nt5));
}

// A configuration file that is there and cannot be read ends the start with
// its path and Windows' reason, not a refusal of the model; a series file
// the kit lacks keeps its defaults.
TEST(KitsetupStartup, AnUnreadableConfigurationFileSaysWindowsReason) {
  struct Case {
    const char* file;  // under C:\kit, failed with 5 (access denied)
    const char16_t* message;
  };
  const Case cases[] = {
      {"DRVCONFIG\\setup.ini", u"Cannot read the configuration file C:\\kit\\DRVCONFIG\\setup.ini\nAccess is denied."},
      {"DRVCONFIG\\setup_receipt_64.ini",
       u"Cannot read the configuration file C:\\kit\\DRVCONFIG\\setup_receipt_64.ini\nAccess is denied."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    WizardRun run("win7-x64-en");
    std::string error;
    run.machine().store().Update(
        [&](sim::Json& s) {
          s["faults"]["paths"].push_back({{"path", std::string("C:\\kit\\") + c.file}, {"error", 5}});
          return true;
        },
        &error);
    EXPECT_EQ(run.Run(SampleKit()), StartResult::kUnreadableFile);
    EXPECT_THAT(run.startup_messages, ElementsAre(c.message));
    EXPECT_EQ(run.app()->frame(), nullptr);
  }
}

TEST(KitsetupStartup, PackageBitnessIsCheckedAgainstTheMachine) {
  auto kit = SampleKit();
  auto with = [&](const char* value) {
    auto k = kit;
    std::string ini = k.files["DRVCONFIG\\setup.ini"];
    ini.replace(ini.find("Supported32OR64=0"), 17, std::string("Supported32OR64=") + value);
    k.Set("DRVCONFIG\\setup.ini", ini);
    return k;
  };
  {
    WizardRun run("win7-x86-zh-cn");
    run.SetSystem("lang", 1033);
    run.SetSystem("acp", 1252);
    EXPECT_EQ(run.Run(with("2")), StartResult::kWrongBitness);
    EXPECT_THAT(run.startup_messages, ElementsAre(u"64-bit only"));
  }
  {
    WizardRun run("win7-x64-en");
    EXPECT_EQ(run.Run(with("1")), StartResult::kWrongBitness);
    EXPECT_THAT(run.startup_messages, ElementsAre(u"32-bit only"));
  }
  {
    WizardRun run("win7-x86-zh-cn");
    run.SetSystem("lang", 1033);
    run.SetSystem("acp", 1252);
    EXPECT_EQ(run.Run(with("0"), [](ui::headless::Dialog& f) { f.Click(ui::kIdCancel); }), StartResult::kFrameClosed);
    EXPECT_THAT(run.startup_messages, IsEmpty());
    EXPECT_FALSE(run.app()->is_64bit());
  }
}

TEST(KitsetupStartup, RefusesWhenTheLastModelHasNoPortKindInAnySeriesFile) {
  auto kit = SampleKit();
  // The last model with a series is the embedded one: take its ports away
  // in the 64-bit file only; the 32-bit file still offers them.
  kit.Set("DRVCONFIG\\setup_Embedded_64.ini", "[VRT-E20.PORT]\r\nNETSUPPORTED=1\r\n");
  WizardRun run("win7-x64-en");
  EXPECT_EQ(run.Run(kit), StartResult::kNoPortKind);
  EXPECT_THAT(run.startup_messages, ElementsAre(u"No port kind"));

  // On 32-bit Windows the 32-bit file is read and the wizard starts.
  WizardRun x86("win7-x86-zh-cn");
  x86.SetSystem("lang", 1033);
  EXPECT_EQ(x86.Run(kit, [](ui::headless::Dialog& f) { f.Click(ui::kIdCancel); }), StartResult::kFrameClosed);
  EXPECT_THAT(x86.startup_messages, IsEmpty());

  // A port kind in another series' file for that model name counts too.
  auto other = kit;
  other.Set("DRVCONFIG\\setup_Label_64.ini", "[VRT-E20.PORT]\r\nLPTSUPPORTED=1\r\n");
  WizardRun again("win7-x64-en");
  EXPECT_EQ(again.Run(other, [](ui::headless::Dialog& f) { f.Click(ui::kIdCancel); }), StartResult::kFrameClosed);
}

TEST(SystemDetection, ServerAndWorkstationEditionsOf52AndTheSixes) {
  struct Case {
    const char* preset;
    int product_type;
    int arch;
    int expected;
  } cases[] = {
      {"win2003-x64-en", 3, 9, kServer2003},
      {"win2003-x64-en", 1, 9, kXp},  // XP x64
      {"win2003-x64-en", 1, 0, kServer2003},
      {"win7-x64-en", 1, 9, kWin7},
      {"win7-x64-en", 3, 9, kServer2008},
      {"win8-x64-en", 1, 9, kWin7},
  };
  for (const Case& c : cases) {
    WizardRun run(c.preset);
    run.SetSystem("product_type", c.product_type);
    run.SetSystem("arch", c.arch);
    const auto d = DetectOs(run.machine().platform().system);
    EXPECT_EQ(d.code, c.expected) << c.preset << " type " << c.product_type << " arch " << c.arch;
    EXPECT_TRUE(d.known_platform);
  }
}

TEST(SystemDetection, SixtyFourBitFlagFollowsWow64AndMissingEntryPointMeans32Bit) {
  WizardRun x64("win7-x64-en");
  EXPECT_TRUE(Detect64BitWindows(x64.machine().platform().system));
  WizardRun x86("win7-x86-zh-cn");
  EXPECT_FALSE(Detect64BitWindows(x86.machine().platform().system));
  WizardRun old("win7-x64-en");
  old.SetSystem("has_is_wow64_process", false);
  EXPECT_FALSE(Detect64BitWindows(old.machine().platform().system));
  // A failing check answers by the native processor.
  for (const char* preset : {"win7-x64-en", "win7-x86-zh-cn"}) {
    WizardRun failed(preset);
    std::string error;
    auto fault = [](nlohmann::json& s) {
      s["faults"]["calls"].push_back({{"api", "IsWow64Process"}});
      return true;
    };
    ASSERT_EQ(failed.machine().store().Update(fault, &error), sim::StoreError::kNone) << error;
    EXPECT_EQ(Detect64BitWindows(failed.machine().platform().system), std::string(preset) == "win7-x64-en") << preset;
  }
}

TEST(SystemDetection, LanguageChoosesChineseFilesAndFont) {
  EXPECT_TRUE(IsChineseLanguage(0x0804));
  EXPECT_TRUE(IsChineseLanguage(0x1004));
  EXPECT_FALSE(IsChineseLanguage(0x0409));
  EXPECT_EQ(LicenceFileName(0x0C04), "License_TCN.txt");
  EXPECT_EQ(LicenceFileName(0x0804), "License_CN.txt");
  EXPECT_EQ(LicenceFileName(0x0407), "License_EN.txt");
  EXPECT_EQ(HelpFileName(0x0404), "Guide_TCN.chm");
}

}  // namespace
}  // namespace kit::setup
