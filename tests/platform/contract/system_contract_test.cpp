// System facts, services, shell and clock.
#include <gtest/gtest.h>

#include "tests/platform/contract/contract_env.h"

namespace kit::contract {
namespace {

class SystemContract : public ::testing::Test {
 protected:
  void SetUp() override { env_ = MakeContractEnv(); }
  Platform& p() { return env_->platform(); }
  std::unique_ptr<ContractEnv> env_;
};

TEST_F(SystemContract, VersionFoldersAndWow64AreReported) {
  OsVersionInfo v;
  ASSERT_TRUE(p().system.GetVersionEx(&v));
  EXPECT_EQ(v.platform_id, kVerPlatformWin32Nt);
  EXPECT_GE(v.major, 5u);
  bool wow64 = true;
  ASSERT_TRUE(p().system.IsWow64Process(&wow64));
  if (p().system.Is64BitProcess()) {
    EXPECT_FALSE(wow64);  // a 64-bit process is never WOW64
  }
  const WString windows = p().system.GetWindowsDirectory();
  const WString system = p().system.GetSystemDirectory();
  ASSERT_FALSE(windows.empty());
  EXPECT_TRUE(EqualsNoCase(system.substr(0, windows.size()), windows));
  EXPECT_NE(p().files.GetFileAttributes(system) & kFileAttributeDirectory, 0u);
  const WString temp = p().system.GetTempPath();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), u'\\');
}

// The Water Mark page files its picture in a folder named after the user's
// account, and the record names it: one folder name, the same every time.
TEST_F(SystemContract, TheUserNameIsOneFolderNameAndStable) {
  p().system.SetLastError(kSentinelError);
  const WString user = p().system.GetUserName();
  ASSERT_FALSE(user.empty());
  EXPECT_LE(user.size(), 256u);  // UNLEN
  EXPECT_EQ(user.find_first_of(u"\\/:*?\"<>|"), WString::npos) << ToUtf8(user);
  EXPECT_EQ(p().system.GetUserName(), user);
}

// The plug-in converts typed barcode data with the ANSI code page: it must
// be one of the code pages Windows uses as a system's ANSI page.
TEST_F(SystemContract, TheAnsiCodePageIsAWindowsAnsiCodePage) {
  const std::uint32_t acp = p().system.GetACP();
  const bool known = acp == 874 || acp == 932 || acp == 936 || acp == 949 || acp == 950 ||
                     (acp >= 1250 && acp <= 1258) || acp == 65001;
  EXPECT_TRUE(known) << acp;
  EXPECT_EQ(p().system.GetACP(), acp);  // the same answer for the life of the process
  EXPECT_NE(p().system.GetOEMCP(), 0u);
}

// The watermark page lists the TrueType families of the Western set: some
// exist, each is named once, and asking again gives the same order.
TEST_F(SystemContract, TrueTypeFamiliesAreListedOnceEachInAStableOrder) {
  const std::vector<WString> families = p().system.EnumFontFamilies(0);
  ASSERT_FALSE(families.empty());
  for (std::size_t i = 0; i < families.size(); ++i) {
    EXPECT_FALSE(families[i].empty());
    EXPECT_FALSE(families[i].starts_with(u"@")) << "vertical faces are not families of their own here";
    for (std::size_t j = i + 1; j < families.size(); ++j) EXPECT_NE(families[i], families[j]);
  }
  EXPECT_EQ(p().system.EnumFontFamilies(0), families);
}

TEST_F(SystemContract, LibrariesAndEntryPointsCanBeAskedFor) {
  auto kernel32 = p().system.LoadLibrary(u"kernel32.dll");
  ASSERT_NE(kernel32, nullptr);
  EXPECT_TRUE(kernel32->HasProc("GetVersionExA"));
  EXPECT_FALSE(kernel32->HasProc("KitNoSuchFunction"));
  p().system.SetLastError(kSentinelError);
  EXPECT_EQ(p().system.LoadLibrary(u"kit_no_such_library.dll"), nullptr);
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorModNotFound);
}

TEST_F(SystemContract, SystemTextsExistForTheCodesTheKitShows) {
  for (win32::Error code : {win32::kErrorFileNotFound, win32::kErrorAccessDenied, win32::kErrorSharingViolation,
                            win32::kErrorPrinterAlreadyExists}) {
    EXPECT_FALSE(p().system.FormatMessage(code).empty()) << code;
  }
}

TEST_F(SystemContract, SpoolerServiceRunsAndUnknownServiceIsReported) {
  ServiceManagerHandle scm;
  ASSERT_TRUE(p().services.OpenSCManager(kScManagerAllAccess, &scm));
  ServiceHandle spooler;
  ASSERT_TRUE(scm->OpenService(kSpoolerServiceName, kServiceAllAccess, &spooler));
  ServiceStatus status;
  ASSERT_TRUE(spooler->QueryServiceStatus(&status));
  EXPECT_EQ(status.current_state, kServiceRunning);
  p().system.SetLastError(kSentinelError);
  EXPECT_FALSE(spooler->StartService());
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorServiceAlreadyRunning);
  ServiceHandle none;
  p().system.SetLastError(kSentinelError);
  EXPECT_FALSE(scm->OpenService(u"KitNoSuchService", kServiceQueryStatus, &none));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorServiceDoesNotExist);
}

TEST_F(SystemContract, SecondMutexOfTheSameNameReportsAlreadyExists) {
  const WString name = env_->UniqueName(u"KitContractMutex");
  p().system.SetLastError(kSentinelError);
  auto first = p().shell.CreateMutex(name, true);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(p().system.GetLastError(), win32::kErrorAlreadyExists);
  auto second = p().shell.CreateMutex(name, true);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorAlreadyExists);
  second.reset();
  first.reset();
  auto third = p().shell.CreateMutex(name, true);
  ASSERT_NE(third, nullptr);
  EXPECT_NE(p().system.GetLastError(), win32::kErrorAlreadyExists);
}

TEST_F(SystemContract, MissingWindowAndProgramAreReported) {
  EXPECT_EQ(p().shell.FindWindow(env_->UniqueName(u"Kit No Such Window")), WindowHandle{0});
  EXPECT_EQ(p().shell.FindWindowEx(0, env_->UniqueName(u"Kit No Such Window")), WindowHandle{0});
  ShellExecuteRequest request;
  request.verb = u"open";
  request.file = env_->ScratchFolder() + u"\\missing.exe";
  EXPECT_LE(p().shell.ShellExecute(request), kShellExecuteErrorLimit);
  EXPECT_TRUE(p().shell.WaitWhileWindowExists(env_->UniqueName(u"Kit No Window"), 10, 3));
}

TEST_F(SystemContract, ClockAdvancesBySleeps) {
  const auto before = p().clock.GetTickCount64();
  p().clock.Sleep(50);
  // Windows' tick count moves in steps of up to 16 ms. Wine: it is read from
  // a shared page refreshed on its own timer, so each of the two readings
  // may lag by a step.
  const std::uint64_t slack = env_->IsWine() ? 2 * 16 : 10;
  EXPECT_GE(p().clock.GetTickCount64(), before + 50 - slack);
  const SystemTime t = p().clock.GetLocalTime();
  EXPECT_GE(t.year, 2000);
  EXPECT_GE(t.month, 1);
  EXPECT_LE(t.month, 12);
}

}  // namespace
}  // namespace kit::contract
