// The Linux Uninstall run as a user runs it: started in the kit folder on a
// machine with the family installed, driven by a console script, with the
// USB installer mapped to its Linux build. Afterwards the machine tool shows
// the family and setup's records gone, the foreign printer intact and a
// restart requested.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/sim/store.h"
#include "tests/uninstall/family_machine.h"

namespace kit::uninstall {
namespace {

namespace fs = std::filesystem;

class ProgramTest : public FamilyMachineTest {
 protected:
  // Runs a shell command; its standard output and error, and its exit
  // status when `status` is given.
  static std::string Run(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    const int result = ::pclose(pipe);
    if (status != nullptr) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return out;
  }
  std::string Machine(const std::string& arguments) {
    return Run(std::string(KIT_VMACHINE_PATH) + " " + arguments);
  }
  std::string Uninstall(const std::string& script, int* status = nullptr) {
    const std::string file = folder_.string() + "/script.txt";
    std::ofstream(file) << script;
    return Run("cd '" + std::string(KIT_FOLDER) + "' && '" + KIT_UNINSTALL_PROGRAM + "' --machine '" +
                   folder_.string() + "' --script '" + file + "' < /dev/null",
               status);
  }
  std::string UninstallQuiet(const std::string& options, int* status) {
    return Run("cd '" + std::string(KIT_FOLDER) + "' && '" + KIT_UNINSTALL_PROGRAM + "' --machine '" +
                   folder_.string() + "' --quiet " + options + " < /dev/null",
               status);
  }
  // The machine's C:\kit as the host holds it: every file with its size.
  std::string KitOnMachine() {
    std::string out;
    const fs::path kit = machine_->HostPath(kKit);
    for (const auto& e : fs::recursive_directory_iterator(kit)) {
      out += fs::relative(e.path(), kit).generic_string();
      if (e.is_regular_file()) out += " " + std::to_string(e.file_size());
      out += "\n";
    }
    return out;
  }
};

TEST_F(ProgramTest, SelectAllWithTheUsbBoxRemovesTheFamilyAndRestarts) {
  Build("win7-x64-en");
  ASSERT_EQ(Tool("program DIR Install.exe '" + std::string(KIT_INSTALL_PROGRAM) + "'"), 0);
  const std::string out = Uninstall("click 1012\ncheck 1019\nclick 1002\nclick 1\nclick 2\n");
  // The list shows exactly the family's components (the kit prints through
  // the system's WinPrint: no processor of its own).
  EXPECT_NE(out.find("listview  1010  9 items"), std::string::npos) << out;
  EXPECT_EQ(out.find("Acme"), std::string::npos) << out;
  EXPECT_NE(out.find("Removing the USB printer driver ..."), std::string::npos) << out;
  EXPECT_NE(out.find("dialog 102 closed"), std::string::npos) << out;
  // The success line follows the installer's work: when the uninstaller has
  // ended, the installer's window is gone, the printer's device is removed
  // and the driver file deleted.
  const std::string machine = Machine("show '" + folder_.string() + "' devices windows");
  EXPECT_NE(machine.find("plugged, removed"), std::string::npos) << out << machine;
  EXPECT_EQ(machine.find("Device driver setup"), std::string::npos) << out << machine;
  EXPECT_FALSE(Exists(u"C:\\Windows\\System32\\drivers\\KVPUSB.sys"));
  const auto finished = out.find("uninstall finish.....");
  const auto logged = out.find("The USB printer driver was removed.");
  ASSERT_NE(finished, std::string::npos) << out;
  EXPECT_LT(finished, logged) << out;

  const std::string all = Machine("show '" + folder_.string() + "' all");
  // The machine's own processor "KVRPrint" is no longer the kit's (its data
  // names none): it is neither listed nor removed.
  for (const char* gone : {"VRT-Q40", "VRT-T80", "KVRO TP80", "KVR Language Monitor", "KVR USB Port", "KVR Serial Port",
                           "KVIP_"}) {
    EXPECT_EQ(all.find(gone), std::string::npos) << gone << "\n" << all;
  }
  EXPECT_NE(all.find("Acme Label 2000"), std::string::npos) << all;
  EXPECT_NE(all.find("USBDriver_x64\\Install.exe"), std::string::npos) << all;
  const std::string records = Machine("registry '" + folder_.string() + "' 'HKLM\\SOFTWARE\\VELDRAN'");
  EXPECT_EQ(records.find("PORTNAME"), std::string::npos) << records;
  EXPECT_EQ(records.find("PRINTERPORT"), std::string::npos) << records;
  EXPECT_EQ(Restarts(), 1);
}

// The quiet USB driver removal needs no printer attached; an unreadable
// --printers-from file is refused before any change.
TEST_F(ProgramTest, QuietRemovalsDoWhatTheyAreAsked) {
  Build("win7-x64-en");
  ASSERT_EQ(Tool("program DIR Install.exe '" + std::string(KIT_INSTALL_PROGRAM) + "'"), 0);
  ASSERT_EQ(Tool("unplug DIR 'USB\\VID_7A5C&PID_1000\\6&2759426&0&1'"), 0);
  int status = -1;
  std::string out = UninstallQuiet("--printers-from '" + folder_.string() + "/no-such-list.txt'", &status);
  EXPECT_TRUE(status == 2 && out.find("Uninstall: --printers-from: cannot read ") != std::string::npos && Launches().empty()) << out;
  out = UninstallQuiet("--remove-usb-driver", &status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(Launches(), std::vector<std::string>{"C:\\kit\\USBDrv\\USBDriver_x64\\Install.exe 22"}) << out;
  EXPECT_FALSE(Exists(u"C:\\Windows\\System32\\drivers\\KVPUSB.sys")) << out;
}

// The USB driver's package in Windows' store without its driver file (a
// device install refused after the package went in): the quiet removal
// finds it by its INF, as Install's removal does, and Install takes it out.
// Without a family package there is still nothing to remove.
TEST_F(ProgramTest, TheQuietUsbRemovalFindsAPackageLeftInTheStore) {
  struct Case {
    const char* name;
    bool package_in_store;
    std::size_t launches;
  };
  const Case cases[] = {{"package in the store", true, 1}, {"nothing of the driver", false, 0}};
  std::ifstream inf_file(std::string(KIT_UNINSTALL_DATA) + "/../usbinstall/KVPUSB.INF", std::ios::binary);
  const std::string inf((std::istreambuf_iterator<char>(inf_file)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(inf.empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    Build("win7-x64-en");
    ASSERT_EQ(Tool("program DIR Install.exe '" + std::string(KIT_INSTALL_PROGRAM) + "'"), 0);
    ASSERT_TRUE(machine_->platform().files.DeleteFile(u"C:\\Windows\\System32\\drivers\\KVPUSB.sys"));
    if (c.package_in_store) Put(u"C:\\Windows\\inf\\oem9.inf", inf);
    int status = -1;
    const std::string out = UninstallQuiet("--remove-usb-driver", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(Launches().size(), c.launches) << out;
    if (c.package_in_store) EXPECT_FALSE(Exists(u"C:\\Windows\\inf\\oem9.inf")) << out;
  }
}

// The package's removal road: a --printers-from file as Notepad or
// PowerShell 5 writes it (a UTF-8 byte-order mark first) names its printer;
// a first removal whose driver deletion is refused ends 1 naming the driver;
// the package's retry (--skip-missing) removes the driver no printer uses,
// and a run without --skip-missing ends 1 naming the printer gone.
TEST_F(ProgramTest, ARetriedRecordedRemovalTakesTheDriverTheFirstLeft) {
  constexpr int kRestart = 3010 % 256;
  Build("win7-x64-en");
  const std::string record = folder_.string() + "/record.txt";
  std::ofstream(record, std::ios::binary) << "\xEF\xBB\xBFVRT-T80(S)\r\n";
  ASSERT_EQ(Tool("fault DIR call DeletePrinterDriverEx 5 --subject VRT-T80 --times 1"), 0);
  struct Try {
    const char* options;
    int status;
    const char* line;  // on standard error, "" for none
  };
  const Try tries[] = {
      {"--printers-from 'RECORD' --skip-missing", 1, "Uninstall: not removed: driver VRT-T80"},
      {"--printers-from 'RECORD' --skip-missing", kRestart, ""},
      {"--printers-from 'RECORD'", 1, "Uninstall: --printers-from: no printer of this name here: VRT-T80(S)"},
  };
  for (const Try& t : tries) {
    std::string options = t.options;
    options.replace(options.find("RECORD"), 6, record);
    int status = -1;
    const std::string out = UninstallQuiet(options, &status);
    EXPECT_EQ(status, t.status) << out;
    if (*t.line == 0) {
      EXPECT_EQ(out.find("Uninstall: "), std::string::npos) << out;
    } else {
      EXPECT_NE(out.find(t.line), std::string::npos) << out;
    }
    const std::string printers = Machine("show '" + folder_.string() + "' printers");
    EXPECT_EQ(printers.find("VRT-T80(S)"), std::string::npos) << out << printers;
  }
  const std::string drivers = Machine("show '" + folder_.string() + "' drivers");
  EXPECT_EQ(drivers.find("VRT-T80"), std::string::npos) << drivers;
  EXPECT_NE(drivers.find("VRT-Q40"), std::string::npos) << drivers;
}

// Every way of running the uninstaller ends with the kit's exit status: the
// window (driven by a script, as a person clicks it) and the quiet removal,
// making the same choices on twin machines. Linux keeps the low 8 bits of
// 3010.
TEST_F(ProgramTest, EveryRoadEndsWithTheSameStatus) {
  constexpr int kRestart = 3010 % 256;
  const std::string all = "click 1012\nclick 1002\n";
  struct Case {
    const char* name;
    std::string fault;   // vmachine arguments, DIR for the machine
    bool queue_job;      // a job waits on the parallel printer
    std::string quiet;   // the quiet run's options
    std::string script;  // the window's actions
    int status;
    const char* line;    // on standard error, "" for none
    bool printers_gone;
    int restarts;
  };
  const Case cases[] = {
      {"removed, no restart", "", false, "--all", all + "click 2\nclick 2\n", kRestart, "", true, 0},
      {"removed and restarted", "", false, "--all --restart", all + "click 1\nclick 2\n", 0, "", true, 1},
      // Windows refuses the restart it was asked for: it is still needed.
      {"restart refused by Windows", "fault DIR call ExitWindowsEx 5", false, "--all --restart",
       all + "click 1\nclick 2\n", kRestart, "", true, 0},
      // The others go; the printer stays, and its name is the reason.
      {"a printer not deleted", "fault DIR call DeletePrinter 5 --subject 'VRT-Q40(P)'", false, "--all",
       all + "click 2\nclick 2\n", 1, "Uninstall: not removed: VRT-Q40(P)", false, 0},
      // The USB installer cannot be started: the driver stays.
      {"USB installer not started", "fault DIR call ShellExecute 2", false, "--all --remove-usb-driver",
       "click 1012\ncheck 1019\nclick 1002\nclick 2\nclick 2\n", 1,
       "Uninstall: the USB printer driver was not removed", true, 0},
      // Jobs queued: nothing is touched.
      {"jobs queued", "", true, "--all", all + "click 2\n", 2, "Uninstall: ", false, 0},
  };
  for (const Case& c : cases) {
    for (const bool quiet : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (quiet ? " (--quiet)" : " (window)"));
      TearDown();
      Build("win7-x64-en");
      ASSERT_EQ(Tool("program DIR Install.exe '" + std::string(KIT_INSTALL_PROGRAM) + "'"), 0);
      if (c.queue_job) QueueJob(u"VRT-Q40(P)");
      if (!c.fault.empty()) ASSERT_EQ(Tool(c.fault), 0) << c.fault;
      int status = -1;
      const std::string out = quiet ? UninstallQuiet(c.quiet, &status) : Uninstall(c.script, &status);
      EXPECT_EQ(status, c.status) << out;
      if (*c.line == 0) {
        EXPECT_EQ(out.find("Uninstall: "), std::string::npos) << out;
      } else {
        EXPECT_NE(out.find(c.line), std::string::npos) << out;
      }
      if (!quiet) EXPECT_NE(out.find("dialog 102 closed"), std::string::npos) << out;
      const auto reopened = Reopen(32);
      const auto has = [&](const char16_t* name) {
        PrinterHandle printer;
        return reopened->platform().spooler.OpenPrinter(name, PrinterDefaults{}, &printer) && printer;
      };
      EXPECT_EQ(!has(u"VRT-Q40(P)"), c.printers_gone) << out;
      EXPECT_EQ(!has(u"VRT-T80(S)"), c.status != 2) << out;
      EXPECT_TRUE(has(kForeignPrinter));
      EXPECT_EQ(Restarts(), c.restarts) << out;
    }
  }
}

// A printer whose deletion failed once and is removed by a second press
// before the window closes leaves no failure behind; a window closed without
// a removal is done; one whose press was refused for a queued job and which
// then closes has changed nothing.
TEST_F(ProgramTest, TheWindowsLastWordCounts) {
  struct Case {
    const char* name;
    bool queue_job;
    const char* fault;
    const char* script;
    int status;
  };
  const Case cases[] = {
      {"closed at once", false, "", "click 2\n", 0},
      {"failed, then removed", false, "fault DIR call DeletePrinter 5 --subject 'VRT-Q40(P)' --times 1",
       "click 1012\nclick 1002\nclick 2\nclick 1002\nclick 2\nclick 2\n", 3010 % 256},
      {"refused, then closed", true, "", "click 1012\nclick 1002\nclick 2\n", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    Build("win7-x64-en");
    if (c.queue_job) QueueJob(u"VRT-Q40(P)");
    if (*c.fault != 0) ASSERT_EQ(Tool(c.fault), 0);
    int status = -1;
    const std::string out = Uninstall(c.script, &status);
    EXPECT_EQ(status, c.status) << out;
    EXPECT_EQ(out.find("! "), std::string::npos) << out;
  }
}

// The machine's kit folder is an exact copy of the kit the program was given:
// a file removed from the kit is gone from the machine too, and the program
// says what it misses.
TEST_F(ProgramTest, AFileTheKitLacksIsGoneFromTheMachine) {
  Build("win7-x64-en", false);
  std::string out = Uninstall("click 2\n");
  EXPECT_NE(out.find("dialog 102 closed"), std::string::npos) << out;
  ASSERT_TRUE(Exists(u"C:\\kit\\DRVCONFIG\\Uninstall.ini"));
  const fs::path copy = folder_ / "kitcopy";
  fs::copy(KIT_FOLDER, copy, fs::copy_options::recursive);
  ASSERT_TRUE(fs::remove(copy / "DRVCONFIG" / "Uninstall.ini"));
  const std::string file = folder_.string() + "/script.txt";
  std::ofstream(file) << "answer OK\n";
  int status = -1;
  out = Run("cd '" + copy.string() + "' && ./Uninstall --machine '" + folder_.string() + "' --script '" + file +
            "' < /dev/null", &status);
  EXPECT_EQ(status, 2) << out;
  EXPECT_NE(out.find("The configuration file Uninstall.ini was not found!"), std::string::npos) << out;
  EXPECT_EQ(out.find("=== Uninstall"), std::string::npos) << out;
  EXPECT_FALSE(Exists(u"C:\\kit\\DRVCONFIG\\Uninstall.ini"));
}

// A folder without the kit's configuration folder is no kit: both programs
// refuse it in one line before the machine is touched.
TEST_F(ProgramTest, AFolderWithoutAKitIsRefused) {
  Build("win7-x64-en", false);
  const std::string before = KitOnMachine();
  const fs::path home = folder_ / "home";
  fs::create_directories(home / "Documents");
  std::ofstream(home / "notes.txt") << "a user's file";
  const std::string machine = " --machine '" + folder_.string() + "'";
  const std::string kitsetup = fs::path(KIT_FOLDER) / "kitsetup";
  struct Case {
    std::string command;
    const char* program;
  };
  const Case cases[] = {
      {"cd '" + home.string() + "' && '" + KIT_UNINSTALL_PROGRAM + "'" + machine, "Uninstall"},
      {"'" + std::string(KIT_UNINSTALL_PROGRAM) + "'" + machine + " --kit '" + home.string() + "'", "Uninstall"},
      {"'" + kitsetup + "'" + machine + " --kit '" + home.string() + "'", "kitsetup"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    int status = -1;
    const std::string out = Run(c.command + " < /dev/null", &status);
    EXPECT_EQ(status, 2) << out;
    EXPECT_EQ(out.rfind(std::string(c.program) + ": " + home.string() + " holds no kit: it has no DRVCONFIG folder", 0),
              0u)
        << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_EQ(KitOnMachine(), before);
  }
}

TEST_F(ProgramTest, ASecondStartAndARunningSetupAreRefused) {
  Build("win7-x64-en");
  // Setup's window exists: the uninstaller shows "Close" and ends.
  auto setup = u().shell.AnnounceWindow(u"Printer Driver Setup");
  std::string out = Uninstall("answer OK\n");
  EXPECT_NE(out.find("Close the printer driver setup first."), std::string::npos) << out;
  EXPECT_EQ(out.find("dialog 102"), std::string::npos) << out;
  setup.reset();
  // A first instance holds the mutex and its window: the second brings it
  // forward and ends.
  auto mutex = u().shell.CreateMutex(u"Uninstall", true);
  auto first = u().shell.AnnounceWindow(u"Uninstall");
  out = Uninstall("click 2\n");
  EXPECT_EQ(out.find("dialog 102"), std::string::npos) << out;
  sim::Json state;
  std::string error;
  machine_->store().Read(&state, &error);
  ASSERT_EQ(state["windows"].size(), 1u);
  EXPECT_EQ(state["windows"][0].value("foreground_requests", 0), 1);
}

}  // namespace
}  // namespace kit::uninstall
