// System facts a native 64-bit build answers at compile time, and the
// window wait's polling against a real window.
#include <gtest/gtest.h>

#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

// A clock that only counts what it was asked to sleep.
class CountingClock final : public Clock {
 public:
  void Sleep(std::uint32_t milliseconds) override {
    ++sleeps;
    slept += milliseconds;
  }
  std::uint64_t GetTickCount64() override { return slept; }
  SystemTime GetLocalTime() override { return {}; }
  int sleeps = 0;
  std::uint64_t slept = 0;
};

TEST(SystemWin32, NativeBuildIsNotWow64AndRedirectionIsANoOp) {
  auto system = MakeSystemFacts();
  auto files = MakeFiles();
  bool wow64 = true;
  ASSERT_TRUE(system->IsWow64Process(&wow64));
  EXPECT_EQ(system->Is64BitProcess(), sizeof(void*) == 8);
  if (sizeof(void*) == 8) {
    EXPECT_FALSE(wow64);
    ScopedFsRedirectionOff guard(*files);
    EXPECT_TRUE(guard.Active());
    // The system folder is the same with redirection "off".
    EXPECT_NE(files->GetFileAttributes(system->GetSystemDirectory() + u"\\kernel32.dll"), kInvalidFileAttributes);
  }
  EXPECT_TRUE(files->HasFsRedirectionFunctions());
  SystemInfo native;
  ASSERT_TRUE(system->GetNativeSystemInfo(&native));
  if (sizeof(void*) == 8) {
    EXPECT_EQ(native.processor_architecture, kProcessorArchitectureAmd64);
  }
}

TEST(SystemWin32, MissingLibraryIsModNotFoundAndPresentOneAnswersForItsEntryPoints) {
  auto system = MakeSystemFacts();
  system->SetLastError(0);
  EXPECT_EQ(system->LoadLibrary(u"kit_no_such_library.dll"), nullptr);
  EXPECT_EQ(system->GetLastError(), kErrorModNotFound);
  auto kernel = system->LoadLibrary(u"kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_TRUE(kernel->HasProc("GetTickCount"));
  EXPECT_FALSE(kernel->HasProc("KitNoSuchEntryPoint"));
}

TEST(ShellWin32, WaitPollsWhileTheWindowExistsAndStopsAtTheLimit) {
  CountingClock clock;
  auto shell = MakeShell(clock);
  const wchar_t title[] = L"Kit window-wait test 7f3a";

  // No such window: gone at once, without sleeping.
  EXPECT_TRUE(shell->WaitWhileWindowExists(FromWide(title), 500, 3));
  EXPECT_EQ(clock.sleeps, 0);

  HWND window = ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(shell->FindWindow(FromWide(title)), reinterpret_cast<WindowHandle>(window));
  EXPECT_TRUE(shell->IsWindow(reinterpret_cast<WindowHandle>(window)));
  auto announced = shell->AnnounceWindow(FromWide(title));
  EXPECT_EQ(announced->Handle(), reinterpret_cast<WindowHandle>(window));

  EXPECT_FALSE(shell->WaitWhileWindowExists(FromWide(title), 500, 3));
  EXPECT_EQ(clock.sleeps, 3);
  EXPECT_EQ(clock.slept, 1500u);
  // Windows compares titles without regard to case.
  EXPECT_EQ(shell->FindWindow(u"KIT WINDOW-WAIT TEST 7F3A"), reinterpret_cast<WindowHandle>(window));
  EXPECT_EQ(shell->FindWindow(u"Kit window-wait test 7f3"), 0u);
  // A second window of the title: FindWindowEx walks both.
  HWND other = ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  const WindowHandle first_found = shell->FindWindowEx(0, FromWide(title));
  const WindowHandle second_found = shell->FindWindowEx(first_found, FromWide(title));
  EXPECT_NE(first_found, second_found);
  EXPECT_TRUE(first_found == reinterpret_cast<WindowHandle>(window) || first_found == reinterpret_cast<WindowHandle>(other));
  EXPECT_TRUE(second_found == reinterpret_cast<WindowHandle>(window) || second_found == reinterpret_cast<WindowHandle>(other));
  EXPECT_EQ(shell->FindWindowEx(second_found, FromWide(title)), 0u);
  ::DestroyWindow(other);

  ::DestroyWindow(window);
  EXPECT_TRUE(shell->WaitWhileWindowExists(FromWide(title), 500, 3));
  EXPECT_EQ(clock.sleeps, 3);
  EXPECT_FALSE(shell->IsWindow(reinterpret_cast<WindowHandle>(window)));
}

TEST(ShellWin32, SecondMutexKeepsAlreadyExistsForTheCaller) {
  CountingClock clock;
  auto shell = MakeShell(clock);
  auto system = MakeSystemFacts();
  const WString name = u"KitShellWin32Mutex_" + FromUtf8(std::to_string(::GetCurrentProcessId()));
  auto first = shell->CreateMutex(name, true);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(system->GetLastError(), kErrorAlreadyExists);
  auto second = shell->CreateMutex(name, false);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(system->GetLastError(), kErrorAlreadyExists);
  first.reset();
  second.reset();
  auto again = shell->CreateMutex(name, false);
  ASSERT_NE(again, nullptr);
  EXPECT_NE(system->GetLastError(), kErrorAlreadyExists);
}

}  // namespace
}  // namespace kit::win32
