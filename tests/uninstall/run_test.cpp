// The uninstall run on a machine with the family installed: the list, the
// queued-job check, each removal with its log lines and pauses, the USB
// driver hand-off and the restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/uninstall/family_machine.h"
#include "uninstall/flow/component_list.h"

namespace kit::uninstall {
namespace {

using K = ComponentKind;

// The installer's path as the program names it; the kit's folder is
// "USBDRV", found because Windows looks names up without case.
constexpr char kInstaller64Started[] = "C:\\kit\\USBDrv\\USBDriver_x64\\Install.exe 22";

class RunTest : public FamilyMachineTest {
 protected:
  std::uint64_t Slept() { return program_->SleptMilliseconds(); }
};

TEST_F(RunTest, TheListHoldsExactlyTheFamily) {
  Build("win7-x64-en");
  const std::vector<Component> expected = {
      {"VRT-Q40(U) 1", K::kPrinter}, {"KVRO TP80", K::kPrinter},    {"VRT-T80(S)", K::kPrinter},
      {"VRT-Q40(P)", K::kPrinter},   {"VRT-Q40(N) 1", K::kPrinter}, {"VRT-Q40(N) 2", K::kPrinter},
      {"KVR Language Monitor", K::kMonitor}, {"KVR USB Port", K::kMonitor}, {"KVR Serial Port", K::kMonitor},
      {"KVRPrint", K::kProcessor}};
  EXPECT_EQ(BuildComponentList(Context()), expected);
}

// The kit as it ships lists no processor; a list whose entries would take in
// the system's "winprint" still leaves it and its file alone in a whole run.
TEST_F(RunTest, TheSystemsProcessorIsNeverListedOrRemoved) {
  for (const char* list : {"PROCNUM=0\r\n", "PROCNUM=2\r\nPROCNAME1=print\r\nPROCNAME2=WinPrint\r\n"}) {
    TearDown();
    own_processor_ = false;
    Build("win7-x64-en");
    const WString ini = u"C:\\kit\\DRVCONFIG\\Uninstall.ini";
    Bytes bytes;
    ASSERT_TRUE(u().files.ReadFile(ini, 1 << 20, &bytes));
    std::string text(bytes.begin(), bytes.end());
    text.replace(text.find("PROCNUM=0\r\n"), 11, list);
    Put(ini, text);
    FakeView view;
    for (const auto& c : BuildComponentList(Context())) {
      EXPECT_NE(c.kind, K::kProcessor) << c.name << " " << list;
      view.Add(c);
    }
    UninstallRun(Context(), view).Run();
    EXPECT_TRUE(Exists(u"C:\\Windows\\System32\\spool\\prtprocs\\x64\\winprint.dll")) << list;
    EXPECT_TRUE(HasKey(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print Processors\\winprint"));
  }
}

TEST_F(RunTest, AQueuedJobOnAnyPrinterPreventsTheRun) {
  Build("win7-x64-en");
  FakeView view;
  EXPECT_TRUE(UninstallRun(Context(), view).CheckQueuedJobs());
  QueueJob(kForeignPrinter);
  EXPECT_FALSE(UninstallRun(Context(), view).CheckQueuedJobs());
  EXPECT_EQ(view.log, (std::vector<std::string>{"Delete the print jobs in Acme Label 2000 first!"}));
}

TEST_F(RunTest, SelectAllWithTheUsbBoxRemovesEverythingAndRestarts) {
  Build("win7-x64-en");
  FakeView view;
  for (const auto& c : BuildComponentList(Context())) view.Add(c);
  view.usb_box = true;
  view.restart_answer = true;
  UninstallRun(Context(), view).Run();

  EXPECT_TRUE(view.entries.empty());
  EXPECT_EQ(view.restart_questions, 1);
  EXPECT_FALSE(view.end_entries_left);
  for (const char16_t* printer : {u"VRT-Q40(U) 1", u"KVRO TP80", u"VRT-T80(S)", u"VRT-Q40(P)", u"VRT-Q40(N) 1"})
    EXPECT_FALSE(HasPrinter(printer)) << ToUtf8(printer);
  EXPECT_TRUE(HasPrinter(kForeignPrinter));
  EXPECT_TRUE(view.Logged("The driver was removed."));
  // Setup's records (64-bit view), the monitors' keys and files in the
  // 64-bit system folder, the processor's key and file.
  EXPECT_FALSE(HasKey(u"SOFTWARE\\VELDRAN\\PORTNAME"));
  EXPECT_FALSE(HasKey(u"SOFTWARE\\VELDRAN\\PRINTERPORT"));
  EXPECT_FALSE(HasKey(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KVR USB Port"));
  EXPECT_FALSE(HasKey(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print Processors\\KVRPrint"));
  for (const char16_t* f : {u"KVRLMON.DLL", u"KVRUSBMON.DLL", u"KVRUSBUI.DLL", u"KVRCOMMON.DLL", u"KVRCOMUI.DLL"})
    EXPECT_FALSE(Exists(WString(u"C:\\Windows\\System32\\") + f)) << ToUtf8(f);
  EXPECT_FALSE(Exists(u"C:\\Windows\\System32\\spool\\prtprocs\\x64\\KVRPRT64.DLL"));
  // The class printer's INF copies go, another maker's stay.
  EXPECT_FALSE(Exists(u"C:\\Windows\\inf\\oem3.inf"));
  EXPECT_FALSE(Exists(u"C:\\Windows\\inf\\oem3.PNF"));
  EXPECT_TRUE(Exists(u"C:\\Windows\\inf\\oem4.inf"));
  // The 64-bit USB installer with "22", then the restart.
  EXPECT_EQ(Launches(), (std::vector<std::string>{kInstaller64Started}));
  EXPECT_TRUE(view.Logged("The USB printer driver was removed."));
  EXPECT_EQ(Restarts(), 1);
}

TEST_F(RunTest, ASharedNetworkPortGoesWithTheSecondPrinter) {
  Build("win7-x64-en");
  auto ports = [&] {
    std::vector<PortInfo2> list;
    std::uint32_t needed = 0, returned = 0;
    u().spooler.EnumPorts(u"", 1, &list, 0, &needed, &returned);
    u().spooler.EnumPorts(u"", 1, &list, needed, &needed, &returned);
    for (const auto& p : list)
      if (p.port_name == kNetworkPort) return true;
    return false;
  };
  FakeView first;
  first.Add({"VRT-Q40(N) 1", K::kPrinter});
  UninstallRun(Context(), first).Run();
  EXPECT_FALSE(HasPrinter(u"VRT-Q40(N) 1"));
  EXPECT_TRUE(ports());
  // The driver stays while the other printers use it.
  EXPECT_TRUE(first.Logged("The driver is in use and cannot be removed!"));
  FakeView second;
  second.Add({"VRT-Q40(N) 2", K::kPrinter});
  UninstallRun(Context(), second).Run();
  EXPECT_FALSE(ports());
}

TEST_F(RunTest, APortThatCannotBeDeletedIsLoggedAndTheRunGoesOn) {
  Build("win7-x64-en");
  ASSERT_EQ(Tool("fault DIR call DeletePort 5"), 0);
  FakeView view;
  view.Add({"VRT-Q40(N) 1", K::kPrinter});
  view.Add({"VRT-Q40(N) 2", K::kPrinter});
  view.Add({"VRT-Q40(P)", K::kPrinter});
  UninstallRun(Context(), view).Run();
  EXPECT_TRUE(view.Logged("An error occurred while removing KVIP_192.168.0.50!"));
  EXPECT_TRUE(view.entries.empty());  // the printers went, the last one too
  EXPECT_FALSE(HasPrinter(u"VRT-Q40(P)"));
}

TEST_F(RunTest, TwoAdjacentTickedEntriesBothGoAndUntickedStay) {
  Build("win7-x64-en");
  FakeView view;
  view.Add({"VRT-Q40(N) 1", K::kPrinter});
  view.Add({"VRT-Q40(N) 2", K::kPrinter});
  view.Add({"VRT-Q40(P)", K::kPrinter}, false);
  UninstallRun(Context(), view).Run();
  EXPECT_FALSE(HasPrinter(u"VRT-Q40(N) 1"));
  EXPECT_FALSE(HasPrinter(u"VRT-Q40(N) 2"));
  EXPECT_TRUE(HasPrinter(u"VRT-Q40(P)"));
  EXPECT_EQ(view.entries, (std::vector<Component>{{"VRT-Q40(P)", K::kPrinter}}));
  EXPECT_TRUE(view.end_entries_left);
  EXPECT_TRUE(view.end_usb_box);
  EXPECT_EQ(view.restart_questions, 1);
  EXPECT_EQ(Restarts(), 0);  // "No"
}

TEST_F(RunTest, AnEmptyListWithTheUsbBoxOnlyStartsTheInstaller) {
  Build("win7-x64-en");
  FakeView view;
  view.usb_box = true;
  view.restart_answer = true;
  UninstallRun(Context(), view).Run();
  EXPECT_EQ(Launches(), (std::vector<std::string>{kInstaller64Started}));
  EXPECT_EQ(view.log, (std::vector<std::string>{"Removing the USB printer driver ...",
                                                "The USB printer driver was removed."}));
  EXPECT_EQ(view.restart_questions, 0);
}

TEST_F(RunTest, AMissingInstallerIsLoggedAsAFailure) {
  Build("win7-x64-en", false);
  ASSERT_TRUE(u().files.DeleteFile(u"C:\\kit\\USBDRV\\USBDriver_x64\\Install.exe"));
  FakeView view;
  view.usb_box = true;
  const std::uint64_t before = Slept();
  UninstallRun(Context(), view).Run();
  EXPECT_EQ(view.log, (std::vector<std::string>{
                          "Removing the USB printer driver ...",
                          "An error occurred while removing C:\\kit\\USBDrv\\USBDriver_x64\\Install.exe!"}));
  EXPECT_TRUE(Launches().empty());
  EXPECT_EQ(Slept() - before, 0u);  // no wait for a window that never comes
}

TEST_F(RunTest, APrinterThatCannotBeOpenedEndsTheWalk) {
  Build("win7-x64-en");
  FakeView view;
  view.Add({"Gone printer", K::kPrinter});
  view.Add({"VRT-Q40(P)", K::kPrinter});
  view.usb_box = true;
  UninstallRun(Context(), view).Run();
  EXPECT_EQ(view.log, (std::vector<std::string>{"Cannot open Gone printer!"}));
  EXPECT_TRUE(HasPrinter(u"VRT-Q40(P)"));
  EXPECT_TRUE(Launches().empty());  // the USB box has no effect
  EXPECT_EQ(view.restart_questions, 0);
  EXPECT_EQ(view.entries.size(), 2u);
}

TEST_F(RunTest, OnePrinterRemovalWaitsAsTheSpoolerNeeds) {
  Build("win7-x64-en");
  FakeView view;
  const std::uint64_t before = Slept();
  EXPECT_EQ(UninstallRun(Context(), view).RemovePrinter("VRT-Q40(P)"), UninstallRun::Step::kRemoved);
  // 100 after the deletion, 2000 inside the spooler restart, 1000 after it,
  // 100 after the driver line, 1000 before the port check.
  EXPECT_EQ(Slept() - before, 4200u);
  EXPECT_EQ(view.log, (std::vector<std::string>{"Removing printer VRT-Q40(P) ...", "VRT-Q40(P) was removed.",
                                                "Removing the driver of VRT-Q40(P) ...",
                                                "The driver is in use and cannot be removed!"}));
}

TEST_F(RunTest, AMonitorInUseIsTriedTwiceThenLoggedInUse) {
  Build("win7-x64-en");
  ASSERT_EQ(Tool("fault DIR call DeleteMonitor 3008 --times 2"), 0);
  FakeView view;
  const std::uint64_t before = Slept();
  EXPECT_EQ(UninstallRun(Context(), view).RemoveMonitor("KVR Language Monitor"), UninstallRun::Step::kFailed);
  EXPECT_EQ(view.log, (std::vector<std::string>{"Removing KVR Language Monitor ...",
                                                "KVR Language Monitor is in use and cannot be removed!"}));
  EXPECT_EQ(Slept() - before, 2000u + 500u + 100u);
  // A third try succeeds.
  EXPECT_EQ(UninstallRun(Context(), view).RemoveMonitor("KVR Language Monitor"), UninstallRun::Step::kRemoved);
}

TEST_F(RunTest, ASpoolerThatWillNotStartFailsEachEntryWithItsLine) {
  Build("win7-x64-en");
  ASSERT_EQ(Tool("fault DIR service Spooler --start-error 1058"), 0);
  FakeView view;
  view.Add({"KVR Language Monitor", K::kMonitor});
  view.Add({"KVRPrint", K::kProcessor});
  view.Add({"VRT-Q40(P)", K::kPrinter});
  const RunResult result = UninstallRun(Context(), view).Run();
  // The monitor goes; the spooler restart after it leaves the spooler
  // stopped: the processor fails with its line, and the printer cannot be
  // opened, which ends the walk. The stopped spooler is left behind.
  EXPECT_EQ(view.log, (std::vector<std::string>{"Removing KVR Language Monitor ...",
                                                "The print spooler did not start again.",
                                                "KVR Language Monitor was removed.",
                                                "Removing KVRPrint ...", "An error occurred while removing KVRPrint!",
                                                "Cannot open VRT-Q40(P)!"}));
  EXPECT_EQ(view.entries.size(), 2u);
  EXPECT_EQ(view.restart_questions, 0);
  EXPECT_EQ(result.left, std::vector<std::string>{kSpoolerLeftStopped});
}

// A removal that leaves a driver (not one in use), a file or a port behind
// ends the run 1 and names it; what a later removal took, or a refusal for a
// file that is not there, leaves nothing.
TEST_F(RunTest, WhatARemovalLeavesBehindIsNamed) {
  struct Case {
    const char* fault;
    std::vector<Component> entries;
    std::string left;         // "" for nothing left
    const char16_t* gone = nullptr;  // a file deleted before the run
  };
  const Component q40_lpt{"VRT-Q40(P)", K::kPrinter}, q40_usb{"VRT-Q40(U) 1", K::kPrinter};
  const Component net1{"VRT-Q40(N) 1", K::kPrinter}, net2{"VRT-Q40(N) 2", K::kPrinter};
  const Component class_printer{"KVRO TP80", K::kPrinter}, processor{"KVRPrint", K::kProcessor};
  const Case cases[] = {
      {"DeletePrinterDriverEx 5 --subject VRT-T80", {{"VRT-T80(S)", K::kPrinter}}, "driver VRT-T80"},
      // "In use" with no printer left that uses it is no excuse.
      {"DeletePrinterDriverEx 3001 --subject VRT-T80", {{"VRT-T80(S)", K::kPrinter}}, "driver VRT-T80"},
      // Other printers keep it: it goes with the last of them.
      {"DeletePrinterDriverEx 3001 --subject VRT-Q40 --times 1", {q40_lpt}, ""},
      {"DeleteFile 32 --subject KVRPRT64", {processor}, "file C:\\Windows\\system32\\spool"},
      // The driver the first printer's removal left goes with the last.
      {"DeletePrinterDriverEx 5 --subject VRT-Q40 --times 1", {q40_lpt, net1, net2, q40_usb}, ""},
      {"DeleteFile 5 --subject oem3.inf", {class_printer}, "file C:\\Windows\\inf\\oem3.inf"},
      {"DeleteFile 5 --subject oem3.PNF", {class_printer}, "", u"C:\\Windows\\inf\\oem3.PNF"},
      {"DeletePort 5", {net1, net2}, "port KVIP_192.168.0.50"},
      // Printers that cannot be listed may still use the port.
      {"EnumPrinters 5", {net1, net2}, "port KVIP_192.168.0.50"},
      {"GetPrintProcessorDirectory 5", {processor}, "file KVRPRT64.DLL"},
      // Setup's records of the USB ports go with the USB monitor.
      {"RegDeleteKey 31 --subject PORTNAME", {q40_usb, {"KVR USB Port", K::kMonitor}},
       "registry key HKLM\\SOFTWARE\\VELDRAN\\PORTNAME"},
  };
  for (const Case& c : cases) {
    TearDown();
    Build("win7-x64-en");
    if (c.gone != nullptr) ASSERT_TRUE(u().files.DeleteFile(c.gone));
    ASSERT_EQ(Tool(std::string("fault DIR call ") + c.fault), 0);
    FakeView view;
    for (const Component& entry : c.entries) view.Add(entry);
    RemovalOutcome outcome;
    const RunResult result = UninstallRun(Context(), view).Run();
    ASSERT_FALSE(view.log.empty()) << c.fault;
    outcome.Ran(result, view.log.back());
    EXPECT_TRUE(view.entries.empty()) << c.fault;
    EXPECT_EQ(outcome.Ending().status, c.left.empty() ? 3010 : 1) << c.fault;
    EXPECT_EQ(outcome.Ending().why.rfind("not removed: " + c.left, 0), c.left.empty() ? std::string::npos : 0u)
        << c.fault << ": " << outcome.Ending().why;
  }
}

// A driver an earlier removal left behind (refused, or the run cut short
// before it) is listed as unused and removed by the next run; while it
// cannot be removed the run ends 1 naming it. A driver a printer uses, or a
// foreign one, is never listed.
TEST_F(RunTest, ADriverNoPrinterUsesIsListedAndRemoved) {
  struct Case {
    const char* second_fault;  // "" for none
    int status;
    bool driver_stays;
  };
  const Case cases[] = {
      {"", 3010, false},
      {"DeletePrinterDriverEx 5 --subject VRT-T80", 1, true},
  };
  const Component t80{"VRT-T80", K::kDriver};
  for (const Case& c : cases) {
    TearDown();
    Build("win7-x64-en");
    AddDriver(u"Acme Unused 2000");
    ASSERT_EQ(Tool("fault DIR call DeletePrinterDriverEx 5 --subject VRT-T80 --times 1"), 0);
    FakeView first;
    first.Add({"VRT-T80(S)", K::kPrinter});
    UninstallRun(Context(), first).Run();
    const std::vector<Component> list = BuildComponentList(Context());
    const auto drivers = std::count_if(list.begin(), list.end(), [](const Component& e) { return e.kind == K::kDriver; });
    ASSERT_EQ(drivers, 1) << c.second_fault;
    ASSERT_NE(std::find(list.begin(), list.end(), t80), list.end()) << c.second_fault;
    if (*c.second_fault != '\0') ASSERT_EQ(Tool(std::string("fault DIR call ") + c.second_fault), 0);
    FakeView second;
    second.Add(t80);
    RemovalOutcome outcome;
    const RunResult result = UninstallRun(Context(), second).Run();
    ASSERT_FALSE(second.log.empty());
    outcome.Ran(result, second.log.back());
    EXPECT_EQ(outcome.Ending().status, c.status) << c.second_fault << ": " << outcome.Ending().why;
    const std::vector<Component> after = BuildComponentList(Context());
    EXPECT_EQ(std::find(after.begin(), after.end(), t80) != after.end(), c.driver_stays) << c.second_fault;
    if (c.driver_stays) EXPECT_NE(outcome.Ending().why.find("VRT-T80"), std::string::npos) << outcome.Ending().why;
  }
}

// The processor's file goes on every bitness, also where Uninstall.ini's
// section of the version names the other bitness's file.
class ProcessorFileTest : public RunTest, public testing::WithParamInterface<const char*> {};

TEST_P(ProcessorFileTest, TheFileTheSpoolerRunsGoesWithTheProcessor) {
  const std::string preset = GetParam();
  Build(preset);
  const bool x64 = preset.find("x64") != std::string::npos;
  // The 64-bit environment's folder, which the 32-bit program names.
  WString folder;
  ASSERT_TRUE(u().spooler.GetPrintProcessorDirectory(u"", x64 ? kEnvironmentX64 : u"", &folder));
  const WString file = folder + (x64 ? u"\\KVRPRT64.DLL" : u"\\KVRPRT32.DLL");
  ASSERT_TRUE(Exists(file));
  FakeView view;
  view.Add({"KVRPrint", K::kProcessor});
  UninstallRun(Context(), view).Run();
  EXPECT_TRUE(view.entries.empty());
  EXPECT_FALSE(Exists(file));
}

INSTANTIATE_TEST_SUITE_P(Presets, ProcessorFileTest, testing::Values("win7-x64-en", "win7-x86-zh-cn", "winxp-x86-en"));

TEST_F(RunTest, OnNt4ThePrinterGoesAndItsDriverStays) {
  Build("winnt4-x86-en");
  FakeView view;
  view.Add({"VRT-T80(S)", K::kPrinter});
  UninstallRun(Context(), view).Run();
  EXPECT_FALSE(HasPrinter(u"VRT-T80(S)"));
  EXPECT_FALSE(view.Logged("Removing the driver of VRT-T80(S) ..."));
  std::vector<DriverInfo3> drivers;
  std::uint32_t needed = 0, returned = 0;
  u().spooler.EnumPrinterDrivers(u"", u"", &drivers, 0, &needed, &returned);
  ASSERT_TRUE(u().spooler.EnumPrinterDrivers(u"", u"", &drivers, needed, &needed, &returned));
  EXPECT_TRUE(std::any_of(drivers.begin(), drivers.end(), [](const auto& d) { return d.name == u"VRT-T80"; }));
  EXPECT_FALSE(view.end_usb_box);  // NT 4.0 does not offer the box again
}

}  // namespace
}  // namespace kit::uninstall
