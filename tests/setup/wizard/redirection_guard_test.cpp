// The wizard's redirection guard on virtual machines with parts of
// kernel32 taken away: each missing part shows its own text, and the
// access goes on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/sim/missing_exports.h"
#include "setup/app/redirection_guard.h"
#include "tests/setup/wizard/wizard_fixture.h"

namespace kit::setup {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::WizardRun;

constexpr char16_t kProbe[] = u"C:\\Windows\\system32\\probe.sys";

struct GuardCase {
  const char* missing;  // what the machine lacks ("" nothing)
  bool is_64bit;
  bool switched_off;    // redirection off inside the guard
  std::vector<std::u16string> notices;
};

TEST(RedirectionGuard, ShowsWhatCannotBeHadAndGoesOn) {
  const GuardCase cases[] = {
      {"", true, true, {}},
      {"", false, false, {}},
      {"Kernel32.dll", true, false, {kNoKernel32Text}},
      {"kernel32", false, false, {}},
      {"KERNEL32.DLL!wow64disablewow64fsredirection", true, false, {kNoDisableFunctionText}},
      {"Kernel32.dll!Wow64RevertWow64FsRedirection", true, true, {kNoRevertFunctionText}},
      {"Kernel32.dll!GetTickCount", true, true, {}},
  };
  for (const GuardCase& c : cases) {
    SCOPED_TRACE(std::string(c.missing) + (c.is_64bit ? " 64-bit" : " 32-bit"));
    WizardRun run("win7-x64-en");
    std::string error;
    if (*c.missing != '\0')
      run.machine().store().Update([&](nlohmann::json& s) { return sim::MarkMissing(s, c.missing).empty(); }, &error);
    ASSERT_TRUE(error.empty()) << error;
    Platform& p = run.machine().platform();
    std::vector<std::u16string> notices;
    {
      RedirectionGuard guard(p.system, p.files, c.is_64bit,
                             [&](std::u16string_view text) { notices.emplace_back(text); });
      EXPECT_EQ(guard.active(), c.switched_off);
      ASSERT_TRUE(p.files.WriteFile(kProbe, Bytes{1}, WriteMode::kCreateAlways));
    }
    // Written into the native folder only while redirection was off.
    EXPECT_EQ(p.files.GetFileAttributes(u"C:\\Windows\\Sysnative\\probe.sys") != kInvalidFileAttributes,
              c.switched_off);
    EXPECT_THAT(notices, ElementsAreArray(c.notices));
  }
}

TEST(MissingExports, NamesAndLookups) {
  nlohmann::json s = nlohmann::json::object();
  EXPECT_EQ(sim::MarkMissing(s, "KvUsbInt.dll!uWrite"), "");
  EXPECT_EQ(sim::MarkMissing(s, "kvusbint.DLL!UWRITE"), "");  // once only
  EXPECT_EQ(sim::MarkMissing(s, "USBPrintDll"), "");
  EXPECT_NE(sim::MarkMissing(s, "!uWrite"), "");
  EXPECT_NE(sim::MarkMissing(s, "KvUsbInt.dll!"), "");
  EXPECT_NE(sim::MarkMissing(s, "C:\\x\\KvUsbInt.dll!uWrite"), "");
  EXPECT_THAT(s["system"]["missing_procs"], ElementsAre("KVUSBINT.DLL!UWRITE"));
  EXPECT_THAT(s["system"]["missing_libraries"], ElementsAre("USBPRINTDLL.DLL"));
  EXPECT_TRUE(sim::ProcMissing(s, "C:\\kit\\KVUSBINT.dll", "uwrite"));
  EXPECT_FALSE(sim::ProcMissing(s, "KvUsbInt.dll", "uRead"));
  EXPECT_TRUE(sim::ProcMissing(s, "usbprintdll.dll", "EnumUSBPrinter"));
  EXPECT_TRUE(sim::LibraryMissing(s, "USBPrintDll"));
  EXPECT_FALSE(sim::LibraryMissing(s, "KvUsbInt.dll"));
}

// The machine's own lookups honour the list: LoadLibrary and GetProcAddress,
// and the outside USB libraries' entry points.
TEST(MissingExports, MachineLookupsHonourThem) {
  WizardRun run("win7-x64-en");
  std::string error;
  run.machine().store().Update(
      [&](nlohmann::json& s) {
        return sim::MarkMissing(s, "winspool.drv!SetDefaultPrinterA").empty() &&
               sim::MarkMissing(s, "cfgmgr32.dll").empty();
      },
      &error);
  Platform& p = run.machine().platform();
  const LibraryHandle winspool = p.system.LoadLibrary(u"Winspool.drv");
  ASSERT_NE(winspool, nullptr);
  EXPECT_FALSE(winspool->HasProc("SetDefaultPrinterA"));
  EXPECT_TRUE(winspool->HasProc("SetDefaultPrinterW"));
  p.system.SetLastError(0);
  EXPECT_EQ(p.system.LoadLibrary(u"C:\\Windows\\system32\\CFGMGR32.DLL"), nullptr);
  EXPECT_EQ(p.system.GetLastError(), win32::kErrorModNotFound);
}

}  // namespace
}  // namespace kit::setup
