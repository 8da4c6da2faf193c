// The Linux Uninstall run as a user runs it: started in the kit folder on a
// machine with the family installed, driven by a console script, with the
// USB installer mapped to its Linux build. Afterwards the machine tool shows
// the family and setup's records gone, the foreign printer intact and a
// restart requested.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "platform/sim/store.h"
#include "tests/uninstall/family_machine.h"

namespace kit::uninstall {
namespace {

class ProgramTest : public FamilyMachineTest {
 protected:
  // Runs a shell command; its standard output and error.
  static std::string Run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    ::pclose(pipe);
    return out;
  }
  std::string Machine(const std::string& arguments) {
    return Run(std::string(KIT_VMACHINE_PATH) + " " + arguments);
  }
  std::string Uninstall(const std::string& script) {
    const std::string file = folder_.string() + "/script.txt";
    std::ofstream(file) << script;
    return Run("cd '" + std::string(KIT_FOLDER) + "' && '" + KIT_UNINSTALL_PROGRAM + "' --machine '" +
               folder_.string() + "' --script '" + file + "' < /dev/null");
  }
  // The USB installer runs on its own; waits until it has removed the
  // plugged printer's device.
  bool WaitForDevicesGone() {
    for (int i = 0; i < 200; ++i) {
      if (Machine("show '" + folder_.string() + "' devices").find("plugged, removed") != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }
};

TEST_F(ProgramTest, SelectAllWithTheUsbBoxRemovesTheFamilyAndRestarts) {
  Build("win7-x64-en");
  ASSERT_EQ(Tool("program DIR Install.exe '" + std::string(KIT_INSTALL_PROGRAM) + "'"), 0);
  const std::string out = Uninstall("click 1012\ncheck 1019\nclick 1002\nclick 1\nclick 2\n");
  // The list shows exactly the family's components.
  EXPECT_NE(out.find("listview  1010  10 items"), std::string::npos) << out;
  EXPECT_EQ(out.find("Acme"), std::string::npos) << out;
  EXPECT_NE(out.find("Removing the USB printer driver ..."), std::string::npos) << out;
  EXPECT_NE(out.find("dialog 102 closed"), std::string::npos) << out;
  EXPECT_TRUE(WaitForDevicesGone()) << out << Machine("show '" + folder_.string() + "' devices launches windows");

  const std::string all = Machine("show '" + folder_.string() + "' all");
  for (const char* gone : {"VRT-Q40", "VRT-T80", "KVRO TP80", "KVR Language Monitor", "KVR USB Port", "KVR Serial Port",
                           "KVRPrint", "KVIP_"}) {
    EXPECT_EQ(all.find(gone), std::string::npos) << gone << "\n" << all;
  }
  EXPECT_NE(all.find("Acme Label 2000"), std::string::npos) << all;
  EXPECT_NE(all.find("USBDriver_x64\\Install.exe"), std::string::npos) << all;
  const std::string records = Machine("registry '" + folder_.string() + "' 'HKLM\\SOFTWARE\\VELDRAN'");
  EXPECT_EQ(records.find("PORTNAME"), std::string::npos) << records;
  EXPECT_EQ(records.find("PRINTERPORT"), std::string::npos) << records;
  EXPECT_EQ(Restarts(), 1);
}

TEST_F(ProgramTest, WithoutTheConfigurationTheWindowSaysSoAndCloses) {
  Build("win7-x64-en", false);
  std::filesystem::remove_all(machine_->HostPath(kKit));
  std::filesystem::create_directories(folder_ / "emptykit");
  const std::string file = folder_.string() + "/script.txt";
  std::ofstream(file) << "answer OK\n";
  const std::string out = Run("cd '" + folder_.string() + "/emptykit' && '" + KIT_UNINSTALL_PROGRAM + "' --machine '" +
                              folder_.string() + "' --script '" + file + "' < /dev/null");
  // The kit folder has neither Uninstall.ini nor a language file: the box
  // (its text empty) and no window left to use.
  EXPECT_NE(out.find("--- message box: Uninstall"), std::string::npos) << out;
  EXPECT_EQ(out.find("=== Uninstall"), std::string::npos) << out;
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
