// Whole runs of the installer on the virtual machine: the main window built
// from its template in the headless host, the kit's own INF packages, and
// the machine's device tree, driver store and files.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

#include "common/ini/profile.h"
#include "platform/sim/machine.h"
#include "platform/sim/missing_exports.h"
#include "platform/sim/presets.h"
#include "ui/headless/dialog.h"
#include "ui/text.h"
#include "usbinstall/installer_dialog.h"
#include "usbinstall/removal.h"
#include "usbinstall/user_profile.h"
#include "tests/read_limit.h"

namespace kit::usbinstall {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kProgramFolder64[] = u"C:\\kit\\USBDrv\\USBDriver_x64";

class HeadlessProgressHost final : public ProgressWindowHost {
 public:
  explicit HeadlessProgressHost(ui::headless::Environment& env) : env_(env) {}
  void Open(ui::Page& page) override {
    dialog = std::make_unique<ui::headless::Dialog>(page, env_);
    dialog->Create();
    ++opened;
  }
  void Close() override {
    last_position = dialog ? dialog->Position(kProgressBarId) : -1;
    dialog.reset();
  }
  std::unique_ptr<ui::headless::Dialog> dialog;
  int opened = 0;
  int last_position = -1;

 private:
  ui::headless::Environment& env_;
};

class MachineRunTest : public ::testing::Test {
 protected:
  void Open(const std::string& preset, int bits, WString module_path) {
    char pattern[] = "/tmp/kit-usbinstall-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    std::string error;
    ASSERT_TRUE(sim::CreateMachine(folder_, preset, true, &error)) << error;
    sim::ProcessOptions process;
    process.bits = bits;
    process.module_path = std::move(module_path);
    machine_ = sim::Machine::Open(folder_, process, &error);
    ASSERT_TRUE(machine_) << error;
    ui::SetAnsiCodePage(platform().system.GetACP());
  }
  void SetUp() override { Open("win7-x64-en", 64, WString(kProgramFolder64) + u"\\Install.exe"); }
  void TearDown() override {
    machine_.reset();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  Platform& platform() { return machine_->platform(); }

  // Copies the kit's package files into a folder of the machine.
  void CopyKit(WStringView folder, const fs::path& source = fs::path(KIT_USBINSTALL_DATA)) {
    platform().files.CreateDirectory(u"C:\\kit");
    platform().files.CreateDirectory(u"C:\\kit\\USBDrv");
    platform().files.CreateDirectory(folder);
    for (const auto& entry : fs::directory_iterator(source)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      ASSERT_TRUE(platform().files.WriteFile(WString(folder) + u"\\" + FromUtf8(entry.path().filename().string()),
                                             Bytes(bytes.begin(), bytes.end()), WriteMode::kCreateAlways));
    }
  }

  // Plugs a USB device with these hardware ids; returns its instance.
  std::uint32_t Plug(std::vector<std::string> ids, const std::string& cls = "USB",
                     const Guid& guid = kGuidDevClassUsb) {
    std::uint32_t inst = 0;
    std::string message;
    machine_->store().Update(
        [&](sim::Json& s) {
          auto& devices = s["devices"];
          inst = devices.value("next_inst", 2u);
          devices["next_inst"] = inst + 1;
          devices["list"].push_back({{"inst", inst},
                                     {"instance_id", ids.front() + "\\" + std::to_string(inst)},
                                     {"class", cls},
                                     {"class_guid", ToUtf8(guid.ToString())},
                                     {"hardware_ids", ids},
                                     {"plugged", true},
                                     {"installed", true}});
          return true;
        },
        &message);
    return inst;
  }

  sim::Json State() {
    sim::Json s;
    std::string message;
    machine_->store().Read(&s, &message);
    return s;
  }
  const sim::Json* Device(std::uint32_t inst) {
    state_ = State();
    for (const auto& d : state_["devices"]["list"]) {
      if (d.value("inst", 0u) == inst) return &d;
    }
    return nullptr;
  }
  bool Present(std::uint32_t inst) {
    const auto* d = Device(inst);
    return d && d->value("installed", true);
  }

  // Runs the program with these arguments: the main window is created
  // headless and closes itself. Returns the dialog's result.
  int Run(const std::vector<std::string>& arguments) {
    auto& p = platform();
    profile_ = MakeUserProfile(p.system, p.files);
    progress_ = std::make_unique<HeadlessProgressHost>(env_);
    InstallerServices services{p.system, p.files, p.devices, p.spooler, p.shell, p.clock, *profile_, out_};
    CInfInstallApp app(services, *progress_);
    const int result = app.InitInstance(arguments, [&](ui::Page& page) {
      ui::headless::Dialog dialog(page, env_);
      dialog.Create();
      progress_text_ = ToUtf8(dialog.Text(kProgressEditId));
      caption_ = ToUtf8(dialog.Caption());
      ended_ = dialog.Ended();
      return dialog.Result();
    });
    exit_status_ = app.ExitStatus();
    return result;
  }

  // Changes the machine's state as the machine tool would.
  void Change(const std::function<void(sim::Json&)>& change) {
    std::string message;
    ASSERT_EQ(machine_->store().Update(
                  [&](sim::Json& s) {
                    change(s);
                    return true;
                  },
                  &message),
              sim::StoreError::kNone)
        << message;
  }
  // The next calls of `api` fail with `error` (vmachine fault DIR call).
  void FailCalls(const std::string& api, win32::Error error) {
    Change([&](sim::Json& s) { s["faults"]["calls"].push_back({{"api", api}, {"error", error}, {"remaining", -1}}); });
  }

  fs::path folder_;
  std::unique_ptr<sim::Machine> machine_;
  ui::headless::Environment env_;
  std::unique_ptr<UserProfile> profile_;
  std::unique_ptr<HeadlessProgressHost> progress_;
  std::ostringstream out_;
  std::string progress_text_;
  std::string caption_;
  bool ended_ = false;
  int exit_status_ = -1;
  sim::Json state_;
};

TEST_F(MachineRunTest, PrinterDriverUpdatesAConnectedPrinterAndClosesAfterTwoSeconds) {
  CopyKit(kProgramFolder64);
  const auto printer = Plug({"USB\\VID_7A5C&PID_1002&REV_0100", "USB\\VID_7A5C&PID_1002"});
  const auto slept_before = machine_->SleptMilliseconds();
  EXPECT_EQ(Run({"2"}), ui::kIdOk);
  EXPECT_TRUE(ended_);
  EXPECT_EQ(caption_, "Device driver setup");
  EXPECT_EQ(progress_text_, "start install the device drivers.\r\n");
  const auto* d = Device(printer);
  ASSERT_TRUE(d);
  EXPECT_NE(d->value("driver_inf", std::string()), "");
  EXPECT_EQ(State()["devices"].value("reenumerations", 0), 1);
  EXPECT_EQ(machine_->SleptMilliseconds() - slept_before, 2000u);
}

TEST_F(MachineRunTest, PrinterDriverWithoutDeviceGoesIntoTheDriverStore) {
  CopyKit(kProgramFolder64);
  Run({});
  EXPECT_EQ(progress_text_, "start install the device drivers.\r\nUSB device no exist, start to preinstall.\r\n");
  EXPECT_EQ(State()["devices"]["store"].size(), 1u);
  // Running again finds the package in the store: nothing is added twice.
  Run({"0"});
  EXPECT_EQ(State()["devices"]["store"].size(), 1u);
}

TEST_F(MachineRunTest, NetworkPortsCreateThreeRootDevicesFromTheKitInf) {
  CopyKit(kProgramFolder64);
  Run({"8-3"});
  int roots = 0;
  const sim::Json after_install = State();
  for (const auto& d : after_install["devices"]["list"]) {
    if (!d.value("root", false)) continue;
    ++roots;
    EXPECT_EQ(d["hardware_ids"], sim::Json::array({"USB\\VID_7A5C&PID_8801"}));
    EXPECT_EQ(d.value("class", std::string()), "Ports");
    EXPECT_NE(d.value("driver_inf", std::string()), "");
  }
  EXPECT_EQ(roots, 3);
  EXPECT_TRUE(env_.MessageBoxes().empty());

  // 88 removes them with the package files and the store copy.
  Run({"88"});
  roots = 0;
  const sim::Json after_removal = State();
  for (const auto& d : after_removal["devices"]["list"]) roots += d.value("root", false) ? 1 : 0;
  EXPECT_EQ(roots, 0);
  FindData found;
  auto search = platform().files.FindFirstFile(u"C:\\Windows\\inf\\oem*.inf", &found);
  EXPECT_EQ(search, nullptr) << ToUtf8(found.file_name);
}

TEST_F(MachineRunTest, NetworkPortsWithoutTheirInfShowTheErrorBox) {
  CopyKit(kProgramFolder64);
  ASSERT_TRUE(platform().files.DeleteFile(WString(kProgramFolder64) + u"\\XKVVCOM.INF"));
  Run({"8"});
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(ToUtf8(env_.MessageBoxes()[0].text).rfind("Error 2 in SetupOpenInfFile: ", 0), 0u)
      << ToUtf8(env_.MessageBoxes()[0].text);
  EXPECT_EQ(progress_text_, "install failed , please uninstall and restart to install.\r\n");
}

TEST_F(MachineRunTest, RemovalSplitsPrintersFromScannersAndDeletesStoreCopies) {
  CopyKit(kProgramFolder64);
  Run({"2"});  // the printer package into the store
  Run({"4"});  // and the scanner's
  const auto printer = Plug({"USB\\VID_7A5C&PID_1002"});
  const auto scanner = Plug({"USB\\VID_7A5C&PID_2002"});
  const auto mixed = Plug({"USB\\VID_7a5c&PID_1000"});
  platform().files.WriteFile(u"C:\\Windows\\system32\\Drivers\\KVPUSB.SYS", Bytes{'x'}, WriteMode::kCreateAlways);
  platform().files.WriteFile(u"C:\\Windows\\system32\\Drivers\\KVSUSB.sys", Bytes{'x'}, WriteMode::kCreateAlways);

  Run({"22"});
  EXPECT_FALSE(Present(printer));
  EXPECT_TRUE(Present(scanner));
  EXPECT_TRUE(Present(mixed));
  EXPECT_EQ(platform().files.GetFileAttributes(u"C:\\Windows\\system32\\Drivers\\KVPUSB.SYS"), kInvalidFileAttributes);
  EXPECT_NE(platform().files.GetFileAttributes(u"C:\\Windows\\system32\\Drivers\\KVSUSB.sys"), kInvalidFileAttributes);
  // The printer package's store copy is gone, the scanner's stays.
  int copies = 0;
  FindData found;
  if (auto search = platform().files.FindFirstFile(u"C:\\Windows\\inf\\oem*.inf", &found)) {
    do ++copies;
    while (search->FindNextFile(&found));
  }
  EXPECT_EQ(copies, 1);

  Run({"44"});
  EXPECT_FALSE(Present(scanner));
  EXPECT_TRUE(Present(mixed));
  EXPECT_EQ(platform().files.FindFirstFile(u"C:\\Windows\\inf\\oem*.inf", &found), nullptr);
  EXPECT_EQ(progress_text_, "uninstall the device drivers and delete application.\r\nuninstall finish.....\r\n");
}

TEST_F(MachineRunTest, SilentClassInstallLogsOneLineTwoFoldersUp) {
  CopyKit(kProgramFolder64);
  CopyKit(u"C:\\kit\\W64", fs::path(KIT_SETUP_DATA) / "W64");
  const auto printer = Plug({"USBPRINT\\KVROVRT-Q40U1", "KVROVRT-Q40U1"}, "Printer", kGuidDevClassPrinter);
  Run({"3", "C:\\kit\\W64\\Setup.inf", "KVROVRT-Q40U1", "1"});
  Bytes log;
  ASSERT_TRUE(platform().files.ReadFile(u"C:\\kit\\Silent_Setup.Log", kTestReadLimit, &log));
  const std::string line(log.begin(), log.end());
  EXPECT_EQ(line.substr(line.find(" -- ")), " -- Successfully installed printer driver.\r\n");
  EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
  EXPECT_EQ(progress_->opened, 0);
  EXPECT_TRUE(env_.MessageBoxes().empty());
  EXPECT_NE(Device(printer)->value("driver_inf", std::string()), "");
}

TEST_F(MachineRunTest, InteractiveClassInstallShowsProgressThenTheFailureBox) {
  CopyKit(u"C:\\kit\\W64", fs::path(KIT_SETUP_DATA) / "W64");
  const auto slept_before = machine_->SleptMilliseconds();
  Run({"3", "C:\\kit\\W64\\Setup.inf", "KVROVRT-Q40U1", "0", "VRT-Q40(U)1"});
  EXPECT_EQ(progress_->opened, 1);
  EXPECT_EQ(progress_->last_position, 99);
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(ToUtf8(env_.MessageBoxes()[0].text), "Add printer driver error.Please repower printer and try again.");
  EXPECT_EQ(machine_->SleptMilliseconds() - slept_before, 10000u + 2000u);
  EXPECT_EQ(platform().files.GetFileAttributes(u"C:\\kit\\Silent_Setup.Log"), kInvalidFileAttributes);
  WString default_printer;
  platform().spooler.GetDefaultPrinter(&default_printer);
  EXPECT_NE(default_printer, u"VRT-Q40(U)1");
}

TEST_F(MachineRunTest, HiddenInstallButtonRunsTheActionAgainAndAboutBoxOpens) {
  CopyKit(kProgramFolder64);
  auto& p = platform();
  const auto profile = MakeUserProfile(p.system, p.files);
  HeadlessProgressHost progress(env_);
  InstallerServices services{p.system, p.files, p.devices, p.spooler, p.shell, p.clock, *profile, out_};
  CInfInstallDlg page(services, ParseCommandLine({"4"}), progress);
  ui::headless::Dialog dialog(page, env_);
  dialog.Create();
  EXPECT_EQ(page.ActionRuns(), 1);
  ASSERT_EQ(dialog.SystemMenu().size(), 1u);
  EXPECT_EQ(dialog.SystemMenu()[0].first, kAboutCommand);
  EXPECT_EQ(dialog.SystemMenu()[0].second, u"About Installer(&A)...");
  EXPECT_EQ(dialog.Icon(), kProgramIconId);
  EXPECT_FALSE(dialog.Find(kInstallButtonId)->visible);
  EXPECT_FALSE(dialog.Find(ui::kIdCancel)->visible);
  page.OnCommand(dialog, kInstallButtonId, ui::Notify::kClicked);
  EXPECT_EQ(page.ActionRuns(), 2);

  std::u16string about_caption;
  env_.modal_driver = [&](ui::headless::Dialog& about) {
    about_caption = about.Caption();
    EXPECT_NE(about.FindByText(u"Installer Version V1.40"), nullptr);
    about.Click(ui::kIdOk);
  };
  page.OnCommand(dialog, kAboutCommand, ui::Notify::kMenu);
  EXPECT_EQ(about_caption, u"About Installer");
}

TEST_F(MachineRunTest, WithoutTheSetupLibraryNothingRuns) {
  CopyKit(kProgramFolder64);
  std::string message;
  machine_->store().Update(
      [](sim::Json& s) {
        s["system"]["missing_libraries"] = sim::Json::array({"setupapi.dll"});
        return true;
      },
      &message);
  if (platform().system.LoadLibrary(u"setupapi.dll")) GTEST_SKIP() << "the machine cannot hide a library";
  Run({"2"});
  EXPECT_EQ(progress_text_, "");
  EXPECT_EQ(State()["devices"]["store"].size(), 0u);
}

TEST_F(MachineRunTest, TemplatesAreValid) {
  auto& p = platform();
  const auto profile = MakeUserProfile(p.system, p.files);
  HeadlessProgressHost progress(env_);
  InstallerServices services{p.system, p.files, p.devices, p.spooler, p.shell, p.clock, *profile, out_};
  const CInfInstallDlg main_window(services, CommandLine{}, progress);
  EXPECT_EQ(ui::Validate(main_window.Template()), "");
  EXPECT_EQ(ui::Validate(CProcessDlg().Template()), "");
  EXPECT_EQ(ui::Validate(CAboutInstallerDlg().Template()), "");
}

// The kit's INF packages carry the signatures the removal walk looks for.
class KitInf final : public InfValues {
 public:
  explicit KitInf(const std::string& name) {
    std::ifstream in(fs::path(KIT_USBINSTALL_DATA) / name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ini::ProfileOptions options;
    options.utf8_without_bom = false;
    profile_ = ini::Profile::Parse(bytes, options);
    found_ = !bytes.empty();
  }
  std::string Get(std::string_view section, std::string_view key) const override {
    return profile_.GetStringA(section, key, "", kInfValueCapacity);
  }
  bool found_;

 private:
  ini::Profile profile_;
};

TEST(KitDataTest, EachPackageCarriesOnlyItsOwnRemovalSignature) {
  const KitInf printer("KVPUSB.INF"), scanner("kvsusb.inf"), usb_port("USBVCOM.INF"), net_port("XKVVCOM.INF");
  ASSERT_TRUE(printer.found_ && scanner.found_ && usb_port.found_ && net_port.found_);
  EXPECT_TRUE(HasFamilySignature(ActionKind::kRemoveUsbPrinter, printer));
  EXPECT_FALSE(HasFamilySignature(ActionKind::kRemoveUsbScanner, printer));
  EXPECT_TRUE(HasFamilySignature(ActionKind::kRemoveUsbScanner, scanner));
  EXPECT_FALSE(HasFamilySignature(ActionKind::kRemoveUsbPrinter, scanner));
  EXPECT_TRUE(HasFamilySignature(ActionKind::kRemoveUsbSerial, usb_port));
  EXPECT_TRUE(HasFamilySignature(ActionKind::kRemoveNetworkSerial, net_port));
  EXPECT_FALSE(HasFamilySignature(ActionKind::kRemoveUsbPrinter, net_port));
}

}  // namespace
}  // namespace kit::usbinstall

namespace kit::usbinstall {
namespace {

// The program ends with the kit's exit status: done when the action did its
// work (a package already in the driver store counts), failed when it did
// not, refused when the action could not run at all. The caller of an
// unattended run reads it; nothing else about the run changes.
TEST_F(MachineRunTest, EveryActionEndsWithTheKitsExitStatus) {
  constexpr char16_t kProgramFolder32[] = u"C:\\kit\\USBDrv\\USBDriver";
  const std::vector<std::string> kPrinterIds = {"USB\\VID_7A5C&PID_1002"};
  const std::vector<std::string> kClassIds = {"USBPRINT\\KVROVRT-Q40U1", "KVROVRT-Q40U1"};
  const std::vector<std::string> kClassInstall = {"3", "C:\\kit\\W64\\Setup.inf", "KVROVRT-Q40U1", "1"};
  struct Case {
    const char* name;
    const char* preset;
    std::vector<std::string> arguments;
    std::function<void()> before;
    int status;
  };
  const auto plug = [&](const std::vector<std::string>& ids, bool printer_class = false) {
    return [=, this] {
      if (printer_class) Plug(ids, "Printer", kGuidDevClassPrinter);
      else Plug(ids);
    };
  };
  const auto nothing = [] {};
  const Case cases[] = {
      {"USB printer driver, printer connected", "win7-x64-en", {"2"}, plug(kPrinterIds), 0},
      {"USB printer driver into the store", "win7-x64-en", {"2"}, nothing, 0},
      // Windows XP makes one copy attempt: the package already there refuses
      // it with 80, and it is in the store all the same.
      {"USB printer driver already in the store", "winxp-x86-en", {"2"},
       [this] { Run({"2"}); }, 0},
      {"USB printer driver, the store refuses", "win7-x64-en", {"2"},
       [this] { FailCalls("SetupCopyOEMInf", 5); }, 1},
      {"serial driver, the device refuses and so does the store", "win7-x64-en", {"1"},
       [this] {
         Plug({"USB\\VID_7a5c&PID_1000"});
         FailCalls("UpdateDriverForPlugAndPlayDevices", 5);
         FailCalls("SetupCopyOEMInf", 5);
       },
       1},
      {"network ports", "win7-x64-en", {"8-2"}, nothing, 0},
      {"network ports, driver refused", "win7-x64-en", {"8"},
       [this] { FailCalls("UpdateDriverForPlugAndPlayDevices", 5); }, 1},
      {"class driver, printer connected", "win7-x64-en", kClassInstall, plug(kClassIds, true), 0},
      {"class driver, no printer", "win7-x64-en", kClassInstall, nothing, 1},
      {"removal", "win7-x64-en", {"22"}, plug(kPrinterIds), 0},
      {"removal, nothing there", "win7-x64-en", {"44"}, nothing, 0},
      {"removal, device stays", "win7-x64-en", {"22"},
       [&, this] {
         Plug(kPrinterIds);
         FailCalls("SetupDiCallClassInstaller(DIF_REMOVE)", 5);
       },
       1},
      {"removal, driver file in use", "win7-x64-en", {"22"},
       [this] {
         ASSERT_TRUE(platform().files.WriteFile(u"C:\\Windows\\system32\\Drivers\\KVPUSB.SYS", Bytes{'M', 'Z'},
                                                WriteMode::kCreateAlways));
         Change([](sim::Json& s) {
           s["faults"]["paths"].push_back({{"path", "C:\\Windows\\system32\\Drivers\\KVPUSB.SYS"}, {"error", 32}});
         });
       },
       1},
      {"no setup library", "win7-x64-en", {"2"},
       [this] { Change([](sim::Json& s) { sim::MarkMissing(s, "setupapi.dll"); }); }, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    const bool x64 = std::string(c.preset).find("x64") != std::string::npos;
    const WString folder = x64 ? kProgramFolder64 : kProgramFolder32;
    Open(c.preset, x64 ? 64 : 32, folder + u"\\Install.exe");
    CopyKit(folder);
    CopyKit(u"C:\\kit\\W64", fs::path(KIT_SETUP_DATA) / "W64");
    c.before();
    Run(c.arguments);
    EXPECT_EQ(exit_status_, c.status) << progress_text_ << out_.str();
  }
}

}  // namespace
}  // namespace kit::usbinstall
