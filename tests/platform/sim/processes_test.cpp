// Windows and mutexes belong to a process and vanish with it; started
// programs are recorded and, when mapped, run against the same machine.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/platform/sim/sim_fixture.h"
#include "tests/read_limit.h"

namespace kit::sim {
namespace {

class ProcessesTest : public SimTest {};

TEST_F(ProcessesTest, WindowAndMutexOfAKilledProcessAreGone) {
  Create();
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto machine = Reopen();
    auto window = machine->platform().shell.AnnounceWindow(u"Device driver setup");
    auto mutex = machine->platform().shell.CreateMutex(u"kitsetup", true);
    const char byte = 1;
    (void)::write(ready[1], &byte, 1);
    ::pause();
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  EXPECT_NE(p().shell.FindWindow(u"Device driver setup"), WindowHandle{0});
  auto mine = p().shell.CreateMutex(u"kitsetup", true);
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorAlreadyExists);
  mine.reset();
  EXPECT_FALSE(p().shell.WaitWhileWindowExists(u"Device driver setup", 1000, 2));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(p().shell.WaitWhileWindowExists(u"Device driver setup", 1000, 2));
  EXPECT_EQ(p().shell.FindWindow(u"Device driver setup"), WindowHandle{0});
  mine = p().shell.CreateMutex(u"kitsetup", true);
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorSuccess);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST_F(ProcessesTest, OwnWindowCanBeRestoredAndBroughtToFront) {
  Create();
  auto window = p().shell.AnnounceWindow(u"Printer Driver Setup");
  const auto h = p().shell.FindWindow(u"Printer Driver Setup");
  ASSERT_EQ(h, window->Handle());
  EXPECT_EQ(p().shell.FindWindow(u"printer driver setup"), h);  // whole title, without case
  EXPECT_EQ(p().shell.FindWindow(u"Printer Driver"), WindowHandle{0});
  // Windows sharing a title are walked one after the other.
  auto second = p().shell.AnnounceWindow(u"PRINTER DRIVER SETUP");
  EXPECT_EQ(p().shell.FindWindowEx(0, u"Printer Driver Setup"), h);
  EXPECT_EQ(p().shell.FindWindowEx(h, u"Printer Driver Setup"), second->Handle());
  EXPECT_EQ(p().shell.FindWindowEx(second->Handle(), u"Printer Driver Setup"), WindowHandle{0});
  second.reset();
  ASSERT_TRUE(p().shell.ShowWindow(h, kSwShowMinimized));
  EXPECT_TRUE(p().shell.IsIconic(h));
  ASSERT_TRUE(p().shell.ShowWindow(h, kSwRestore));
  EXPECT_FALSE(p().shell.IsIconic(h));
  EXPECT_TRUE(p().shell.SetForegroundWindow(h));
  window.reset();
  EXPECT_FALSE(p().shell.IsWindow(h));
}

TEST_F(ProcessesTest, StartedProgramIsRecordedAndAMappedOneRunsOnTheSameMachine) {
  Create();
  ASSERT_TRUE(p().files.CreateDirectory(u"C:\\kit"));
  ASSERT_TRUE(p().files.WriteFile(u"C:\\kit\\Install.exe", Bytes{'M', 'Z'}, WriteMode::kCreateAlways));
  // A stand-in program: records its environment and arguments on drive C:.
  const auto script = folder_ / "fake-install.sh";
  {
    std::ofstream out(script);
    out << "#!/bin/sh\n"
        << "printf '%s|%s|%s' \"$KIT_SIM_COMMAND_LINE\" \"$1\" \"$#\" > \"$KIT_SIM_MACHINE/drive_c/kit/ran.tmp\"\n"
        // Renamed when whole: the test reads the file as soon as it exists.
        << "mv \"$KIT_SIM_MACHINE/drive_c/kit/ran.tmp\" \"$KIT_SIM_MACHINE/drive_c/kit/ran.txt\"\n";
  }
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  ASSERT_EQ(Tool("program DIR Install.exe '" + script.string() + "'"), 0);
  ShellExecuteRequest request;
  request.verb = u"open";
  request.file = u"C:\\kit\\Install.exe";
  request.parameters = u"22";
  EXPECT_GT(p().shell.ShellExecute(request), kShellExecuteErrorLimit);
  Bytes ran;
  for (int i = 0; i < 200 && !p().files.ReadFile(u"C:\\kit\\ran.txt", kTestReadLimit, &ran); ++i) ::usleep(20000);
  EXPECT_EQ(std::string(ran.begin(), ran.end()), "\"C:\\kit\\Install.exe\" 22|22|1");
  Json s;
  ASSERT_EQ(Store(folder_).Read(&s, nullptr), StoreError::kNone);
  ASSERT_EQ(s["launches"].size(), 1u);
  EXPECT_EQ(s["launches"][0]["parameters"], "22");
  request.file = u"C:\\kit\\missing.exe";
  EXPECT_EQ(p().shell.ShellExecute(request), kSeErrFileNotFound);
}

// Run only as a started program (below): shows the installer's window a
// moment after it starts, writes C:\kit\done.txt while the window is up,
// then closes it.
TEST(ProcessesChild, DISABLED_ShowsItsWindowLateAndWritesBeforeClosingIt) {
  std::string error;
  auto machine = Machine::OpenFromEnvironment(&error);
  ASSERT_TRUE(machine) << error;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  auto window = machine->platform().shell.AnnounceWindow(u"Device driver setup");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(machine->platform().files.WriteFile(u"C:\\kit\\done.txt", Bytes{'1'}, WriteMode::kCreateAlways));
}

// A started program takes real time to show its window while the starter's
// pauses take none: the starter's looks for windows wait until each program
// it started has shown a window or ended, so a wait for the program's window
// covers the program's work. Both kinds of program are slow to start.
TEST_F(ProcessesTest, ALookForAWindowWaitsForEachStartedProgramToShowOneOrEnd) {
  Create();
  ASSERT_TRUE(p().files.CreateDirectory(u"C:\\kit"));
  const auto script = folder_ / "no-window.sh";
  {
    std::ofstream out(script);
    out << "#!/bin/sh\nsleep 0.3\nprintf 1 > \"$KIT_SIM_MACHINE/drive_c/kit/done.txt\"\n";
  }
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  struct Case {
    const char* name;
    std::string program;
    std::string parameters;
    bool wait_for_window;  // WaitWhileWindowExists, else one FindWindow
  };
  const Case cases[] = {
      {"window", std::filesystem::read_symlink("/proc/self/exe").string(),
       "--gtest_also_run_disabled_tests --gtest_filter=ProcessesChild.DISABLED_ShowsItsWindowLateAndWritesBeforeClosingIt",
       true},
      {"no window", script.string(), "22", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p().files.DeleteFile(u"C:\\kit\\done.txt");
    ASSERT_TRUE(p().files.WriteFile(u"C:\\kit\\Install.exe", Bytes{'M', 'Z'}, WriteMode::kCreateAlways));
    ASSERT_EQ(Tool("program DIR Install.exe '" + c.program + "'"), 0);
    ShellExecuteRequest request;
    request.verb = u"open";
    request.file = u"C:\\kit\\Install.exe";
    request.parameters = FromUtf8(c.parameters);
    ASSERT_GT(p().shell.ShellExecute(request), kShellExecuteErrorLimit);
    if (c.wait_for_window) {
      EXPECT_TRUE(p().shell.WaitWhileWindowExists(u"Device driver setup", 1000, 0));
    } else {
      EXPECT_EQ(p().shell.FindWindow(u"Device driver setup"), WindowHandle{0});
    }
    Bytes done;
    EXPECT_TRUE(p().files.ReadFile(u"C:\\kit\\done.txt", kTestReadLimit, &done));
  }
}

}  // namespace
}  // namespace kit::sim
