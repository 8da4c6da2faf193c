// What a 32-bit program sees on 64-bit Windows, and the facts of the
// presets the kit tells apart.
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

class Wow64Test : public SimTest {};

TEST_F(Wow64Test, SystemFolderIsRedirectedUntilTheGuardSwitchesItOff) {
  Create("win7-x64-en", 32);
  bool wow64 = false;
  ASSERT_TRUE(p().system.IsWow64Process(&wow64));
  EXPECT_TRUE(wow64);
  ASSERT_TRUE(p().files.WriteFile(u"C:\\Windows\\system32\\x32.dll", Bytes{3}, WriteMode::kCreateAlways));
  EXPECT_NE(p().files.GetFileAttributes(u"C:\\Windows\\SysWOW64\\x32.dll"), kInvalidFileAttributes);
  {
    ScopedFsRedirectionOff guard(p().files);
    ASSERT_TRUE(guard.Active());
    EXPECT_EQ(p().files.GetFileAttributes(u"C:\\Windows\\system32\\x32.dll"), kInvalidFileAttributes);
    ASSERT_TRUE(p().files.WriteFile(u"C:\\Windows\\system32\\drivers\\KVPUSB.sys", Bytes{6}, WriteMode::kCreateAlways));
  }
  EXPECT_EQ(p().files.GetFileAttributes(u"C:\\Windows\\system32\\drivers\\KVPUSB.sys"), kInvalidFileAttributes);
  EXPECT_NE(p().files.GetFileAttributes(u"C:\\Windows\\Sysnative\\drivers\\KVPUSB.sys"), kInvalidFileAttributes);
  // The spool folder is shared by both views; a 32-bit program's own
  // environment is the 32-bit one, the 64-bit one it names.
  WString drivers;
  ASSERT_TRUE(p().spooler.GetPrinterDriverDirectory(u"", u"", &drivers));
  EXPECT_EQ(drivers, u"C:\\Windows\\system32\\spool\\drivers\\W32X86");
  EXPECT_NE(p().files.GetFileAttributes(drivers), kInvalidFileAttributes);
  ASSERT_TRUE(p().spooler.GetPrinterDriverDirectory(u"", kEnvironmentX64, &drivers));
  EXPECT_EQ(drivers, u"C:\\Windows\\system32\\spool\\drivers\\x64");
  EXPECT_NE(p().files.GetFileAttributes(drivers), kInvalidFileAttributes);
}

TEST_F(Wow64Test, SoftwareKeysHaveA32BitViewAnd0x2011FReachesThe64BitOne) {
  Create("win7-x64-en", 32);
  RegistryKeyPtr key;
  ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyAllAccess, &key), 0u);
  ASSERT_EQ(key->SetDword(u"USB_A_1", 1), 0u);
  ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyReadWrite64, &key), 0u);
  ASSERT_EQ(key->SetDword(u"USB_A_1", 64), 0u);
  std::uint32_t v = 0;
  ASSERT_EQ(p().registry.RegOpenKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\Wow6432Node\\VELDRAN\\PORTNAME",
                                      kKeyRead | kKeyWow64_64Key, &key), 0u);
  EXPECT_EQ(key->GetDword(u"USB_A_1", &v), 0u);
  EXPECT_EQ(v, 1u);
  ASSERT_EQ(p().registry.RegOpenKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyReadWrite64, &key), 0u);
  EXPECT_EQ(key->GetDword(u"USB_A_1", &v), 0u);
  EXPECT_EQ(v, 64u);
  // The view's key is deleted, the other stays.
  EXPECT_EQ(p().registry.RegDeleteKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyWow64_64Key), 0u);
  EXPECT_EQ(p().registry.RegOpenKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN\\PORTNAME", kKeyRead, &key), 0u);
}

TEST_F(Wow64Test, PresetsReportWhatTheirProgramsSee) {
  Create("win81-x64-zh-tw", 32);
  OsVersionInfo v;
  ASSERT_TRUE(p().system.GetVersionEx(&v));
  EXPECT_EQ(v.major, 6u);
  EXPECT_EQ(v.minor, 2u);
  EXPECT_EQ(p().system.GetSystemDefaultLangID(), 1028);
  EXPECT_EQ(p().system.GetACP(), 950u);
  SystemInfo info;
  p().system.GetSystemInfo(&info);
  EXPECT_EQ(info.processor_architecture, kProcessorArchitectureIntel);
  ASSERT_TRUE(p().system.GetNativeSystemInfo(&info));
  EXPECT_EQ(info.processor_architecture, kProcessorArchitectureAmd64);
  TearDown();

  Create("win2000-x86-en", 32);
  EXPECT_EQ(p().system.GetWindowsDirectory(), u"C:\\WINNT");
  bool wow64 = true;
  p().system.SetLastError(0);
  EXPECT_FALSE(p().system.IsWow64Process(&wow64));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorProcNotFound);
  auto kernel32 = p().system.LoadLibrary(u"kernel32.dll");
  ASSERT_NE(kernel32, nullptr);
  EXPECT_FALSE(kernel32->HasProc("Wow64DisableWow64FsRedirection"));
  EXPECT_TRUE(kernel32->HasProc("GetVersionExA"));
  void* old = nullptr;
  EXPECT_FALSE(p().files.Wow64DisableWow64FsRedirection(&old));
  TearDown();

  Create("winxp-x86-en", 32);
  ASSERT_TRUE(p().system.IsWow64Process(&wow64));
  EXPECT_FALSE(wow64);
  EXPECT_FALSE(p().files.HasFsRedirectionFunctions());
  TearDown();

  // 32-bit Windows from Vista on exports the redirection functions, which
  // fail there: nothing is redirected.
  Create("win7-x86-zh-cn", 32);
  EXPECT_TRUE(p().files.HasFsRedirectionFunctions());
  p().system.SetLastError(0);
  EXPECT_FALSE(p().files.Wow64DisableWow64FsRedirection(&old));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorInvalidFunction);
  EXPECT_FALSE(p().files.Wow64RevertWow64FsRedirection(old));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorInvalidFunction);
}

TEST_F(Wow64Test, StandardUserCannotChangeTheSpoolerOrHklm) {
  Create("win7-x86-zh-cn", 32, /*administrator=*/false);
  EXPECT_FALSE(p().system.IsAdministrator());
  RegistryKeyPtr key;
  EXPECT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\VELDRAN", kKeyAllAccess, &key),
            win32::kErrorAccessDenied);
  EXPECT_EQ(p().registry.RegOpenKeyEx(RootKey::kLocalMachine, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                      kKeyRead, &key), 0u);
  EXPECT_EQ(p().registry.RegCreateKeyEx(RootKey::kCurrentUser, u"Software\\Kit", kKeyAllAccess, &key), 0u);
  p().system.SetLastError(0);
  EXPECT_FALSE(p().spooler.AddPrintProcessor(u"", u"", u"winprint.dll", u"kvproc"));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorAccessDenied);
  ServiceManagerHandle scm;
  EXPECT_FALSE(p().services.OpenSCManager(kScManagerAllAccess, &scm));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorAccessDenied);
}

}  // namespace
}  // namespace kit::sim
