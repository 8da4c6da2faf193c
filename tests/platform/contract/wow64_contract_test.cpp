// What a 32-bit program sees of Windows, the facts the kit's 32-bit wizard
// and uninstaller rely on: the spooler's default environment, the system
// folder with and without file-system redirection, the registry's two
// views, and the system facts. A 32-bit process on 64-bit Windows (WOW64)
// and a process that is not (native 64-bit, or 32-bit on 32-bit Windows)
// are the two cases each test tells apart; neither is skipped.
#include <gtest/gtest.h>

#include "common/oscode/os_version.h"
#include "tests/platform/contract/contract_env.h"

namespace kit::contract {
namespace {

// Below "spool\drivers" and "spool\prtprocs".
constexpr char16_t kX86Folder[] = u"\\w32x86";
constexpr char16_t kX64Folder[] = u"\\x64";
// The install records' key (setup's port and printer records live below it).
constexpr char16_t kRecordsKey[] = u"SOFTWARE\\VELDRAN";
constexpr char16_t kWow6432RecordsKey[] = u"SOFTWARE\\Wow6432Node\\VELDRAN";

bool EndsWithNoCase(const WString& text, WStringView tail) {
  return text.size() >= tail.size() && EqualsNoCase(WStringView(text).substr(text.size() - tail.size()), tail);
}

class Wow64Contract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    ASSERT_TRUE(sys().IsWow64Process(&wow64_));
  }
  Platform& p() { return env_->platform(); }
  SystemFacts& sys() { return p().system; }
  Spooler& spooler() { return p().spooler; }
  // The environment a null environment stands for in this process.
  WString OwnEnvironment() {
    return wow64_ || !sys().Is64BitProcess() ? WString(kEnvironmentNtX86) : WString(kEnvironmentX64);
  }

  std::unique_ptr<ContractEnv> env_;
  bool wow64_ = false;
};

TEST_F(Wow64Contract, ProcessAndNativeSystemFacts) {
  SystemInfo own, native;
  sys().GetSystemInfo(&own);
  ASSERT_TRUE(sys().GetNativeSystemInfo(&native));
  if (wow64_) {
    // WOW64: a 32-bit process on an x64 machine.
    EXPECT_FALSE(sys().Is64BitProcess());
    EXPECT_EQ(own.processor_architecture, kProcessorArchitectureIntel);
    EXPECT_EQ(native.processor_architecture, kProcessorArchitectureAmd64);
  } else {
    // Native: the process's architecture is the machine's.
    EXPECT_EQ(own.processor_architecture, native.processor_architecture);
    EXPECT_EQ(native.processor_architecture,
              sys().Is64BitProcess() ? kProcessorArchitectureAmd64 : kProcessorArchitectureIntel);
  }
}

// A null environment is "the current environment of the calling
// application": a 32-bit caller on 64-bit Windows gets the 32-bit folders,
// and names "Windows x64" to reach the machine's own.
TEST_F(Wow64Contract, NullEnvironmentIsTheCallersOwnForTheFolders) {
  WString driver_default, driver_x86, driver_x64, processor_default, processor_x86, processor_x64;
  ASSERT_TRUE(spooler().GetPrinterDriverDirectory(u"", u"", &driver_default));
  ASSERT_TRUE(spooler().GetPrinterDriverDirectory(u"", kEnvironmentNtX86, &driver_x86));
  ASSERT_TRUE(spooler().GetPrintProcessorDirectory(u"", u"", &processor_default));
  ASSERT_TRUE(spooler().GetPrintProcessorDirectory(u"", kEnvironmentNtX86, &processor_x86));
  EXPECT_TRUE(EndsWithNoCase(driver_x86, kX86Folder)) << ToUtf8(driver_x86);
  EXPECT_TRUE(EndsWithNoCase(processor_x86, kX86Folder)) << ToUtf8(processor_x86);
  const bool x64_machine = wow64_ || sys().Is64BitProcess();
  if (x64_machine) {
    ASSERT_TRUE(spooler().GetPrinterDriverDirectory(u"", kEnvironmentX64, &driver_x64));
    ASSERT_TRUE(spooler().GetPrintProcessorDirectory(u"", kEnvironmentX64, &processor_x64));
    EXPECT_TRUE(EndsWithNoCase(driver_x64, kX64Folder)) << ToUtf8(driver_x64);
    EXPECT_TRUE(EndsWithNoCase(processor_x64, kX64Folder)) << ToUtf8(processor_x64);
  }
  const bool own_is_x86 = OwnEnvironment() == kEnvironmentNtX86;
  EXPECT_TRUE(EqualsNoCase(driver_default, own_is_x86 ? driver_x86 : driver_x64)) << ToUtf8(driver_default);
  EXPECT_TRUE(EqualsNoCase(processor_default, own_is_x86 ? processor_x86 : processor_x64))
      << ToUtf8(processor_default);
}

// The enumerations and the driver removal with a null environment work in
// the caller's environment too: a driver registered only for "Windows x64"
// is not seen, nor removed, by a 32-bit caller that does not name it.
TEST_F(Wow64Contract, NullEnvironmentIsTheCallersOwnForDriversAndProcessors) {
  std::vector<DriverInfo3> drivers;
  std::uint32_t needed = 0, returned = 0;
  spooler().EnumPrinterDrivers(u"", u"", &drivers, 0, &needed, &returned);
  ASSERT_TRUE(spooler().EnumPrinterDrivers(u"", u"", &drivers, needed, &needed, &returned));
  for (const auto& d : drivers) EXPECT_TRUE(EqualsNoCase(d.environment, OwnEnvironment())) << ToUtf8(d.name);

  std::vector<PrintProcessorInfo1> processors;
  spooler().EnumPrintProcessors(u"", u"", &processors, 0, &needed, &returned);
  ASSERT_TRUE(spooler().EnumPrintProcessors(u"", u"", &processors, needed, &needed, &returned));
  EXPECT_FALSE(processors.empty());  // WinPrint, in each environment

  if (!wow64_) return;  // the rest is about a machine of two environments
  // A driver of the 64-bit environment, its files in the 64-bit folder.
  WString x64_folder;
  ASSERT_TRUE(spooler().GetPrinterDriverDirectory(u"", kEnvironmentX64, &x64_folder));
  DriverInfo3 driver;
  driver.name = env_->UniqueName(u"Kit Wow64 Driver");
  driver.environment = kEnvironmentX64;
  ASSERT_TRUE(env_->LayTestDriverFiles(x64_folder, &driver));
  ASSERT_TRUE(spooler().AddPrinterDriver(u"", driver)) << sys().GetLastError();
  spooler().EnumPrinterDrivers(u"", kEnvironmentX64, &drivers, 0, &needed, &returned);
  ASSERT_TRUE(spooler().EnumPrinterDrivers(u"", kEnvironmentX64, &drivers, needed, &needed, &returned));
  bool listed = false;
  for (const auto& d : drivers) listed = listed || d.name == driver.name;
  EXPECT_TRUE(listed);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().DeletePrinterDriver(u"", u"", driver.name));
  // Wine 8 refuses it without setting the last error.
  EXPECT_EQ(sys().GetLastError(), env_->IsWine() ? kSentinelError : win32::kErrorUnknownPrinterDriver);
  EXPECT_TRUE(spooler().DeletePrinterDriver(u"", kEnvironmentX64, driver.name)) << sys().GetLastError();
}

// GetSystemDirectory names "system32" in every process; for a 32-bit
// process on 64-bit Windows that name leads to SysWOW64 until redirection is
// switched off, and again after it is reverted.
TEST_F(Wow64Contract, SystemFolderWithAndWithoutRedirection) {
  const WString windows = sys().GetWindowsDirectory();
  const WString system = sys().GetSystemDirectory();
  EXPECT_TRUE(EqualsNoCase(system, windows + u"\\system32")) << ToUtf8(system);
  if (!wow64_) {
    void* old = nullptr;
    // A no-op that succeeds where there is nothing to redirect (64-bit);
    // 32-bit Windows may lack the entry points.
    if (sys().Is64BitProcess()) {
      EXPECT_TRUE(p().files.Wow64DisableWow64FsRedirection(&old));
      EXPECT_TRUE(p().files.Wow64RevertWow64FsRedirection(old));
    }
    return;
  }
  ASSERT_TRUE(p().files.HasFsRedirectionFunctions());
  const WString name = u"\\" + env_->UniqueName(u"kitwow64") + u".txt";
  const WString in_system = system + name;
  const WString in_syswow64 = windows + u"\\SysWOW64" + name;
  void* old = nullptr;
  ASSERT_TRUE(p().files.Wow64DisableWow64FsRedirection(&old));
  const bool written = p().files.WriteFile(in_system, Bytes{'6', '4'}, WriteMode::kCreateAlways);
  const bool native_sees = p().files.GetFileAttributes(in_system) != kInvalidFileAttributes;
  const bool syswow64_has = p().files.GetFileAttributes(in_syswow64) != kInvalidFileAttributes;
  ASSERT_TRUE(p().files.Wow64RevertWow64FsRedirection(old));
  EXPECT_TRUE(written);
  EXPECT_TRUE(native_sees);
  EXPECT_FALSE(syswow64_has);
  // Redirected again: "system32" is SysWOW64, which has no such file.
  EXPECT_EQ(p().files.GetFileAttributes(in_system), kInvalidFileAttributes);
  // And a file written through "system32" now lands in SysWOW64.
  ASSERT_TRUE(p().files.WriteFile(in_system, Bytes{'3', '2'}, WriteMode::kCreateAlways));
  EXPECT_NE(p().files.GetFileAttributes(in_syswow64), kInvalidFileAttributes);
  EXPECT_TRUE(p().files.DeleteFile(in_system));
  ASSERT_TRUE(p().files.Wow64DisableWow64FsRedirection(&old));
  EXPECT_TRUE(p().files.DeleteFile(in_system));
  ASSERT_TRUE(p().files.Wow64RevertWow64FsRedirection(old));
}

// The install records' key: a 32-bit process's own view of HKLM\SOFTWARE is
// the 32-bit one (Wow6432Node in the 64-bit view); KEY_WOW64_64KEY reaches
// the key a 64-bit program reads.
TEST_F(Wow64Contract, RegistryViewsOfTheInstallRecords) {
  Registry& reg = p().registry;
  const WString leaf = u"\\" + env_->UniqueName(u"KitWow64");
  RegistryKeyPtr key;
  ASSERT_EQ(reg.RegCreateKeyEx(RootKey::kLocalMachine, kRecordsKey + leaf, kKeyAllAccess | kKeyWow64_64Key, &key),
            win32::kErrorSuccess);
  key.reset();
  const std::uint32_t own_view = reg.RegOpenKeyEx(RootKey::kLocalMachine, kRecordsKey + leaf, kKeyRead, &key);
  key.reset();
  const std::uint32_t view32 =
      reg.RegOpenKeyEx(RootKey::kLocalMachine, kRecordsKey + leaf, kKeyRead | kKeyWow64_32Key, &key);
  key.reset();
  if (wow64_ || sys().Is64BitProcess()) {
    // Two views: the 64-bit one holds the key, the 32-bit one does not.
    EXPECT_EQ(view32, win32::kErrorFileNotFound);
    EXPECT_EQ(own_view, wow64_ ? win32::kErrorFileNotFound : win32::kErrorSuccess);
    // A key made in the 32-bit view is Wow6432Node's in the 64-bit view.
    ASSERT_EQ(reg.RegCreateKeyEx(RootKey::kLocalMachine, kRecordsKey + leaf, kKeyAllAccess | kKeyWow64_32Key, &key),
              win32::kErrorSuccess);
    key.reset();
    EXPECT_EQ(reg.RegOpenKeyEx(RootKey::kLocalMachine, kWow6432RecordsKey + leaf, kKeyRead | kKeyWow64_64Key, &key),
              win32::kErrorSuccess);
    key.reset();
    EXPECT_EQ(reg.RegDeleteKeyEx(RootKey::kLocalMachine, kRecordsKey + leaf, kKeyWow64_32Key), win32::kErrorSuccess);
  } else {
    // 32-bit Windows has one view; the flags are ignored.
    EXPECT_EQ(own_view, win32::kErrorSuccess);
    EXPECT_EQ(view32, win32::kErrorSuccess);
  }
  EXPECT_EQ(reg.RegDeleteKeyEx(RootKey::kLocalMachine, kRecordsKey + leaf, kKeyWow64_64Key), win32::kErrorSuccess);
}

// The spooler's keys below "Windows NT\CurrentVersion" are shared between
// the two views: a key made there in the 64-bit view is the one a 32-bit
// view opens. Both view flags at once are refused by every call that takes
// them.
TEST_F(Wow64Contract, SharedKeysAndBothViewFlags) {
  Registry& reg = p().registry;
  RegistryKeyPtr key;
  const WString shared = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\" + env_->UniqueName(u"KitShared");
  ASSERT_EQ(reg.RegCreateKeyEx(RootKey::kLocalMachine, shared, kKeyAllAccess | kKeyWow64_64Key, &key),
            win32::kErrorSuccess);
  key.reset();
  EXPECT_EQ(reg.RegOpenKeyEx(RootKey::kLocalMachine, shared, kKeyRead | kKeyWow64_32Key, &key), win32::kErrorSuccess);
  key.reset();
  if (env_->IsWine()) {
    // Wine takes both view flags at once where Windows 7 refuses them (87).
    EXPECT_EQ(reg.RegDeleteKeyEx(RootKey::kLocalMachine, shared, kKeyWow64_64Key), win32::kErrorSuccess);
    return;
  }
  const std::uint32_t both = kKeyWow64_32Key | kKeyWow64_64Key;
  EXPECT_EQ(reg.RegOpenKeyEx(RootKey::kLocalMachine, shared, kKeyRead | both, &key), win32::kErrorInvalidParameter);
  EXPECT_EQ(reg.RegCreateKeyEx(RootKey::kLocalMachine, shared, kKeyAllAccess | both, &key),
            win32::kErrorInvalidParameter);
  EXPECT_EQ(reg.RegDeleteKeyEx(RootKey::kLocalMachine, shared, both), win32::kErrorInvalidParameter);
  EXPECT_EQ(reg.RegDeleteKeyEx(RootKey::kLocalMachine, shared, kKeyWow64_64Key), win32::kErrorSuccess);
}

}  // namespace
}  // namespace kit::contract
