// The hand-off as the setup wizard makes it on the virtual machine: starting
// the kit's "USBDRV\USBDriver_x64\Install.exe" with "2" runs the Linux
// Install mapped to that name, detached from the caller; it binds the
// package to the plugged printer, which puts the package's KVPUSB.SYS with
// its version into "system32\drivers", and its window closes when it ends.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/sim/kit_folder.h"
#include "platform/sim/machine.h"
#include "platform/sim/scratch_machine.h"

namespace kit::usbinstall {
namespace {

constexpr char16_t kInstaller[] = u"C:\\kit\\USBDRV\\USBDriver_x64\\Install.exe";
constexpr char16_t kInstalledDriver[] = u"C:\\Windows\\system32\\drivers\\KVPUSB.SYS";
constexpr char16_t kInstallerCaption[] = u"Device driver setup";

int Tool(const std::filesystem::path& machine, const std::string& arguments) {
  const std::string line = std::string(KIT_VMACHINE_PATH) + " " + arguments;
  std::string command;
  for (std::size_t at = 0; at < line.size(); ++at) {
    command += line.compare(at, 3, "DIR") == 0 ? "'" + machine.string() + "'" : std::string(1, line[at]);
    if (line.compare(at, 3, "DIR") == 0) at += 2;
  }
  return std::system((command + " > /dev/null 2>&1").c_str());
}

TEST(InstallHandOff, StartedInstallExeRunsTheLinuxInstallerOnTheSameMachine) {
  std::string error;
  sim::ScratchOptions options;
  options.process.bits = 32;  // the wizard is a 32-bit program
  auto scratch = sim::ScratchMachine::Create(options, &error);
  ASSERT_NE(scratch, nullptr) << error;
  ASSERT_TRUE(sim::LayOutKitFolder(KIT_FOLDER, scratch->machine().HostPath(u"C:\\kit"), &error)) << error;
  ASSERT_EQ(Tool(scratch->folder(), "program DIR Install.exe '" KIT_INSTALL_PROGRAM "'"), 0);
  ASSERT_EQ(Tool(scratch->folder(), "plug DIR --vid 7A5C --pid 1000 --release 2 --kvusb"), 0);
  // Reopened, the machine sees the mapping and the printer.
  auto machine = sim::Machine::Open(scratch->folder(), options.process, &error);
  ASSERT_NE(machine, nullptr) << error;
  Platform& p = machine->platform();

  ShellExecuteRequest request;
  request.verb = u"open";
  request.file = kInstaller;
  request.parameters = u"2";
  ASSERT_GT(p.shell.ShellExecute(request), kShellExecuteErrorLimit);

  // Install runs in real time beside this process: wait for its driver file
  // and for its window to be gone. The drivers folder is looked at as a
  // 64-bit program sees it (the wizard's own view is redirected).
  sim::ProcessOptions native;
  native.bits = 64;
  auto native_view = sim::Machine::Open(scratch->folder(), native, &error);
  ASSERT_NE(native_view, nullptr) << error;
  Platform& n = native_view->platform();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  bool done = false;
  while (!done && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    done = n.files.GetFileAttributes(kInstalledDriver) != kInvalidFileAttributes &&
           n.shell.FindWindow(kInstallerCaption) == 0;
  }
  ASSERT_TRUE(done) << "Install did not finish";
  FileVersionInfo info;
  ASSERT_TRUE(n.files.GetFileVersionInfo(kInstalledDriver, &info)) << n.system.GetLastError();
  EXPECT_EQ(info.file_version, (std::array<std::uint16_t, 4>{2, 0, 1, 6}));
}

}  // namespace
}  // namespace kit::usbinstall
