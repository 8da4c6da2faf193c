// Spooler: the error codes and two-pass buffers the install engine, the
// uninstaller and the plug-in's raw jobs and forms rely on.
#include <gtest/gtest.h>

#include "platform/port_data.h"
#include "tests/platform/contract/contract_env.h"

namespace kit::contract {
namespace {

// Windows' own print processor, which every test printer uses.
constexpr const char16_t* kTestPrintProcessor = u"WinPrint";

class SpoolerContract : public ::testing::Test {
 protected:
  void SetUp() override { env_ = MakeContractEnv(); }
  void TearDown() override {
    for (const auto& name : created_) {
      PrinterHandle p;
      if (spooler().OpenPrinter(name, {u"", {}, kPrinterAllAccess}, &p)) p->DeletePrinter();
    }
  }
  Spooler& spooler() { return env_->platform().spooler; }
  SystemFacts& sys() { return env_->platform().system; }

  PrinterHandle AddTestPrinter(const WString& name) {
    PrinterInfo2 info;
    info.printer_name = name;
    info.port_name = env_->TestPortName();
    info.driver_name = env_->TestDriverName();
    info.print_processor = kTestPrintProcessor;
    info.datatype = u"RAW";
    PrinterHandle printer;
    if (spooler().AddPrinter(u"", info, &printer)) created_.push_back(name);
    return printer;
  }

  std::unique_ptr<ContractEnv> env_;
  std::vector<WString> created_;
};

TEST_F(SpoolerContract, EnumPortsBufferBelowExactAndAbove) {
  std::vector<PortInfo2> ports;
  std::uint32_t needed = 0, returned = 0;
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().EnumPorts(u"", 1, &ports, 0, &needed, &returned));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorInsufficientBuffer);
  ASSERT_GT(needed, 0u);
  const std::uint32_t exact = needed;
  EXPECT_FALSE(spooler().EnumPorts(u"", 1, &ports, exact - 1, &needed, &returned));
  EXPECT_EQ(needed, exact);
  EXPECT_TRUE(ports.empty());
  ASSERT_TRUE(spooler().EnumPorts(u"", 1, &ports, exact, &needed, &returned));
  EXPECT_EQ(returned, ports.size());
  ASSERT_TRUE(spooler().EnumPorts(u"", 2, &ports, 64 * 1024, &needed, &returned));
  bool lpt1 = false;
  for (const auto& p : ports) lpt1 = lpt1 || EqualsNoCase(p.port_name, u"LPT1:");
  EXPECT_TRUE(lpt1);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().EnumPorts(u"", 3, &ports, 64 * 1024, &needed, &returned));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorInvalidLevel);
}

TEST_F(SpoolerContract, AlreadyInstalledMonitorAndProcessorAndUnknownNames) {
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().AddMonitor(u"", {u"Local Port", u"", u"localspl.dll"}));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorPrintMonitorAlreadyInstalled);
  // Wine: AddPrintProcessorW and DeletePrintProcessorW are stubs that
  // succeed, and DeletePrinterDriverW of an unknown driver fails without
  // setting the last error.
  if (!env_->IsWine()) {
    sys().SetLastError(kSentinelError);
    EXPECT_FALSE(spooler().AddPrintProcessor(u"", u"", u"winprint.dll", u"winprint"));
    EXPECT_EQ(sys().GetLastError(), win32::kErrorPrintProcessorAlreadyInstalled);
  }
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().DeleteMonitor(u"", u"", env_->UniqueName(u"NoMonitor")));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorUnknownPrintMonitor);
  if (!env_->IsWine()) {
    sys().SetLastError(kSentinelError);
    EXPECT_FALSE(spooler().DeletePrinterDriver(u"", u"", env_->UniqueName(u"NoDriver")));
    EXPECT_EQ(sys().GetLastError(), win32::kErrorUnknownPrinterDriver);
    sys().SetLastError(kSentinelError);
    EXPECT_FALSE(spooler().DeletePrintProcessor(u"", u"", env_->UniqueName(u"NoProc")));
    EXPECT_EQ(sys().GetLastError(), win32::kErrorUnknownPrintProcessor);
  }
  PrinterHandle p;
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().OpenPrinter(env_->UniqueName(u"NoPrinter"), {}, &p));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorInvalidPrinterName);
}

TEST_F(SpoolerContract, EnumerationsOfMonitorsProcessorsAndDriversAgreeWithTheirSizes) {
  std::vector<MonitorInfo2> monitors;
  std::uint32_t needed = 0, returned = 0;
  EXPECT_FALSE(spooler().EnumMonitors(u"", 1, &monitors, 0, &needed, &returned));
  ASSERT_TRUE(spooler().EnumMonitors(u"", 1, &monitors, needed, &needed, &returned));
  EXPECT_EQ(returned, monitors.size());
  bool local = false;
  for (const auto& m : monitors) local = local || m.name == u"Local Port";
  EXPECT_TRUE(local);

  std::vector<PrintProcessorInfo1> processors;
  EXPECT_FALSE(spooler().EnumPrintProcessors(u"", u"", &processors, 0, &needed, &returned));
  ASSERT_TRUE(spooler().EnumPrintProcessors(u"", u"", &processors, needed, &needed, &returned));
  bool winprint = false;
  for (const auto& p : processors) winprint = winprint || EqualsNoCase(p.name, u"winprint");
  EXPECT_TRUE(winprint);

  std::vector<DriverInfo3> drivers;
  EXPECT_FALSE(spooler().EnumPrinterDrivers(u"", u"", &drivers, 0, &needed, &returned));
  ASSERT_TRUE(spooler().EnumPrinterDrivers(u"", u"", &drivers, needed, &needed, &returned));
  bool found = false;
  for (const auto& d : drivers) found = found || d.name == env_->TestDriverName();
  EXPECT_TRUE(found);
}

TEST_F(SpoolerContract, DriverAndPrintProcessorFoldersAreReported) {
  WString drivers, processors;
  ASSERT_TRUE(spooler().GetPrinterDriverDirectory(u"", u"", &drivers));
  ASSERT_TRUE(spooler().GetPrintProcessorDirectory(u"", u"", &processors));
  EXPECT_NE(ToUpperAscii(drivers).find(u"\\SPOOL\\DRIVERS\\"), WString::npos);
  EXPECT_NE(ToUpperAscii(processors).find(u"\\SPOOL\\PRTPROCS\\"), WString::npos);
  EXPECT_NE(env_->platform().files.GetFileAttributes(drivers), kInvalidFileAttributes);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().GetPrinterDriverDirectory(u"", u"Windows 3.1", &drivers));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorInvalidEnvironment);
}

TEST_F(SpoolerContract, PrinterNameTakenGives1802AndLevelTwoReadsBack) {
  const WString name = env_->UniqueName(u"Kit Contract (S)");
  auto printer = AddTestPrinter(name);
  ASSERT_NE(printer, nullptr) << sys().GetLastError();
  PrinterInfo2 info;
  info.printer_name = name;
  info.port_name = env_->TestPortName();
  info.driver_name = env_->TestDriverName();
  info.print_processor = kTestPrintProcessor;  // only the name is at issue
  info.datatype = u"RAW";
  PrinterHandle second;
  if (!env_->IsWine()) {  // Wine: AddPrinterW accepts a name that is taken
    sys().SetLastError(kSentinelError);
    EXPECT_FALSE(spooler().AddPrinter(u"", info, &second));
    EXPECT_EQ(sys().GetLastError(), win32::kErrorPrinterAlreadyExists);
  }

  PrinterInfo2 read;
  std::uint32_t needed = 0;
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(printer->GetPrinter(2, &read, 0, &needed));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorInsufficientBuffer);
  const std::uint32_t exact = needed;
  EXPECT_FALSE(printer->GetPrinter(2, &read, exact - 1, &needed));
  ASSERT_TRUE(printer->GetPrinter(2, &read, exact, &needed));
  EXPECT_EQ(read.printer_name, name);
  EXPECT_TRUE(EqualsNoCase(read.port_name, env_->TestPortName()));
  EXPECT_EQ(read.driver_name, env_->TestDriverName());
  EXPECT_EQ(read.jobs, 0u);
  ASSERT_TRUE(printer->GetPrinter(2, &read, exact + 1, &needed));

  std::vector<PrinterInfo2> all;
  std::uint32_t returned = 0;
  EXPECT_FALSE(spooler().EnumPrinters(kPrinterEnumLocal, u"", 5, &all, 0, &needed, &returned));
  ASSERT_TRUE(spooler().EnumPrinters(kPrinterEnumLocal, u"", 5, &all, needed, &needed, &returned));
  bool listed = false;
  for (const auto& p : all) listed = listed || p.printer_name == name;
  EXPECT_TRUE(listed);
}

TEST_F(SpoolerContract, UnknownPortOrDriverIsRefused) {
  PrinterInfo2 info;
  info.printer_name = env_->UniqueName(u"Kit Contract Bad");
  info.port_name = env_->UniqueName(u"NOPORT");
  info.driver_name = env_->TestDriverName();
  info.print_processor = kTestPrintProcessor;  // only the port, then the driver, is at issue
  info.datatype = u"RAW";
  PrinterHandle p;
  if (!env_->IsWine()) {  // Wine: AddPrinterW does not check the port
    sys().SetLastError(kSentinelError);
    EXPECT_FALSE(spooler().AddPrinter(u"", info, &p));
    EXPECT_EQ(sys().GetLastError(), win32::kErrorUnknownPort);
  }
  info.port_name = env_->TestPortName();
  info.driver_name = env_->UniqueName(u"No Driver");
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().AddPrinter(u"", info, &p));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorUnknownPrinterDriver);
}

TEST_F(SpoolerContract, DriverInUseIsNotDeletedAndDefaultPrinterFollows) {
  const WString name = env_->UniqueName(u"Kit Contract Default");
  auto printer = AddTestPrinter(name);
  ASSERT_NE(printer, nullptr);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().DeletePrinterDriverEx(u"", u"", env_->TestDriverName(), kDpdDeleteUnusedFiles, 0));
  if (env_->IsWine()) {
    // Wine: DeletePrinterDriverExW refuses with 87 whatever the driver's use.
    EXPECT_EQ(sys().GetLastError(), win32::kErrorInvalidParameter);
  } else {
    EXPECT_EQ(sys().GetLastError(), win32::kErrorPrinterDriverInUse);
  }
  ASSERT_TRUE(spooler().SetDefaultPrinter(name));
  WString current;
  ASSERT_TRUE(spooler().GetDefaultPrinter(&current));
  EXPECT_EQ(current, name);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().SetDefaultPrinter(env_->UniqueName(u"NoPrinter")));
  EXPECT_NE(sys().GetLastError(), kSentinelError);
}

TEST_F(SpoolerContract, RawJobRunsThroughAndBorrowedHandleStaysOpen) {
  const WString name = env_->UniqueName(u"Kit Contract Raw");
  auto printer = AddTestPrinter(name);
  ASSERT_NE(printer, nullptr);
  std::uint32_t written = 0;
  const std::uint8_t piece[] = {0x1B, 0x63, 0x3B, 0x01};
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(printer->WritePrinter(piece, sizeof piece, &written));  // no document started
  EXPECT_NE(sys().GetLastError(), kSentinelError);

  auto borrowed = spooler().BorrowPrinter(printer->NativeHandle());
  ASSERT_NE(borrowed, nullptr);
  const std::uint32_t job = borrowed->StartDocPrinter({u"SELFTEST", u"", u"RAW"});
  ASSERT_NE(job, 0u) << sys().GetLastError();
  ASSERT_TRUE(borrowed->StartPagePrinter());
  ASSERT_TRUE(borrowed->WritePrinter(piece, sizeof piece, &written));
  EXPECT_EQ(written, sizeof piece);
  EXPECT_TRUE(borrowed->EndPagePrinter());
  EXPECT_TRUE(borrowed->EndDocPrinter());
  borrowed.reset();  // releasing a borrowed handle leaves the owner's open
  PrinterInfo2 read;
  std::uint32_t needed = 0;
  EXPECT_TRUE(printer->GetPrinter(2, &read, 64 * 1024, &needed));
  EXPECT_TRUE(printer->ClosePrinter());
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(printer->ClosePrinter());
  EXPECT_EQ(sys().GetLastError(), win32::kErrorInvalidHandle);
}

TEST_F(SpoolerContract, UserFormsAddSetDeleteAndDuplicateIsRefused) {
  if (env_->IsWine()) GTEST_SKIP() << "Wine: user forms are not stored (AddFormW succeeds, the form is never listed)";
  const WString name = env_->UniqueName(u"Kit Contract Forms");
  auto printer = AddTestPrinter(name);
  ASSERT_NE(printer, nullptr);
  const WString form = u"Custom Paper-" + env_->UniqueName(u"F");
  FormInfo1 info{kFormUser, form, 58000, 100000, 0, 0, 58000, 100000};
  ASSERT_TRUE(printer->AddForm(info)) << sys().GetLastError();
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(printer->AddForm(info));
  EXPECT_NE(sys().GetLastError(), kSentinelError);
  info.height = 200000;
  info.imageable_bottom = 200000;
  ASSERT_TRUE(printer->SetForm(form, info));
  std::vector<FormInfo1> forms;
  std::uint32_t needed = 0, returned = 0;
  EXPECT_FALSE(printer->EnumForms(&forms, 0, &needed, &returned));
  const std::uint32_t exact = needed;
  EXPECT_FALSE(printer->EnumForms(&forms, exact - 1, &needed, &returned));
  ASSERT_TRUE(printer->EnumForms(&forms, exact, &needed, &returned));
  bool found = false;
  for (const auto& f : forms) {
    if (f.name == form) {
      found = true;
      EXPECT_EQ(f.height, 200000);
      EXPECT_EQ(f.width, 58000);
    }
  }
  EXPECT_TRUE(found);
  ASSERT_TRUE(printer->DeleteForm(form));
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(printer->DeleteForm(form));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorInvalidFormName);
}

// Forms belong to the print server: only an administrator changes them. The
// refusal is access denied for every change, whoever's form it is.
TEST_F(SpoolerContract, AStandardUserMayListFormsButNotChangeThem) {
  if (env_->IsWine()) GTEST_SKIP() << "Wine: user forms are not stored (AddFormW succeeds, the form is never listed)";
  const WString name = env_->UniqueName(u"Kit Contract User Forms");
  auto printer = AddTestPrinter(name);
  ASSERT_NE(printer, nullptr);
  const WString form = u"Custom Paper-" + env_->UniqueName(u"U");
  FormInfo1 info{kFormUser, form, 58000, 100000, 0, 0, 58000, 100000};
  const bool administrator = sys().IsAdministrator();
  if (administrator) ASSERT_TRUE(printer->AddForm(info)) << sys().GetLastError();
  if (!env_->BecomeStandardUser() && administrator) {
    printer->DeleteForm(form);
    GTEST_SKIP() << "the test runs as an administrator";
  }
  std::vector<FormInfo1> forms;
  std::uint32_t needed = 0, returned = 0;
  printer->EnumForms(&forms, 0, &needed, &returned);
  EXPECT_TRUE(printer->EnumForms(&forms, needed, &needed, &returned));
  FormInfo1 other = info;
  other.name = form + u"2";
  struct Change {
    const char* call;
    bool (*run)(Printer&, const FormInfo1&, const FormInfo1&);
  };
  const Change changes[] = {
      {"AddForm", [](Printer& p, const FormInfo1&, const FormInfo1& o) { return p.AddForm(o); }},
      {"SetForm", [](Printer& p, const FormInfo1& f, const FormInfo1&) { return p.SetForm(f.name, f); }},
      {"DeleteForm", [](Printer& p, const FormInfo1& f, const FormInfo1&) { return p.DeleteForm(f.name); }},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.call);
    sys().SetLastError(kSentinelError);
    EXPECT_FALSE(change.run(*printer, info, other));
    EXPECT_EQ(sys().GetLastError(), win32::kErrorAccessDenied);
  }
}

TEST_F(SpoolerContract, StandardTcpIpPortIsAddedThroughXcvData) {
  if (env_->IsWine()) GTEST_SKIP() << "Wine: no Standard TCP/IP Port monitor is registered";
  PrinterHandle xcv;
  ASSERT_TRUE(spooler().OpenPrinter(kXcvStandardTcpIpMonitor, {u"", {}, kServerAccessAdminister}, &xcv))
      << sys().GetLastError();
  PortData1 data;
  data.port_name = u"KVIP_" + env_->UniqueName(u"10.0.0.9");
  data.host_address = u"10.0.0.9";
  data.snmp_community = u"public";
  data.double_spool = 1;
  data.port_number = 9100;
  data.snmp_dev_index = 1;
  Bytes output;
  std::uint32_t needed = 0, status = kSentinelError;
  ASSERT_TRUE(xcv->XcvData(u"AddPort", EncodePortData1(data), 260, &output, &needed, &status));
  EXPECT_EQ(status, win32::kErrorSuccess);
  std::vector<PortInfo2> ports;
  std::uint32_t returned = 0;
  ASSERT_TRUE(spooler().EnumPorts(u"", 2, &ports, 256 * 1024, &needed, &returned));
  bool found = false;
  for (const auto& p : ports) found = found || p.port_name == data.port_name;
  EXPECT_TRUE(found);
  EXPECT_TRUE(spooler().DeletePort(u"", data.port_name));
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(spooler().DeletePort(u"", data.port_name));
  EXPECT_NE(sys().GetLastError(), kSentinelError);
}

}  // namespace
}  // namespace kit::contract
