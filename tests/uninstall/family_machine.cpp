#include "tests/uninstall/family_machine.h"

#include <algorithm>
#include <filesystem>

#include "platform/port_data.h"
#include "platform/profile_file_source.h"
#include "platform/sim/store.h"
#include "uninstall/config/system_values.h"

namespace kit::uninstall {
namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t kMaxIniBytes = 1 << 20;

constexpr char16_t kRecordsKey[] = u"SOFTWARE\\VELDRAN\\PORTNAME";
constexpr char16_t kPrinterPortKey[] = u"SOFTWARE\\VELDRAN\\PRINTERPORT";
constexpr char kClassInf[] =
    "[Version]\r\nClass=Printer\r\n[Manufacturer]\r\n%Mfg% = KVRO, NTx86, NTamd64\r\n[KVRO]\r\n"
    "\"KVRO TP80\" = KVROTP80_Install, USBPRINT\\KVROTP80A1B2\r\n[KVRO.NTamd64]\r\n"
    "\"KVRO TP80\" = KVROTP80_Install, USBPRINT\\KVROTP80A1B2\r\n";
constexpr char kOtherInf[] = "[Version]\r\nClass=Printer\r\n[Acme]\r\n\"Acme Label 2000\" = Acme_Install\r\n";

std::string ToUtf8String(WStringView w) { return ToUtf8(w); }

}  // namespace

bool FakeView::Logged(const std::string& line) const {
  return std::find(log.begin(), log.end(), line) != log.end();
}

void FamilyMachineTest::Put(const WString& path, const std::string& text) {
  const fs::path host = machine_->HostPath(path);
  fs::create_directories(host.parent_path());
  ASSERT_TRUE(machine_->platform().files.WriteFile(path, Bytes(text.begin(), text.end()), WriteMode::kCreateAlways))
      << ToUtf8String(path);
}

void FamilyMachineTest::Build(const std::string& preset, bool family) {
  context_.reset();  // a new machine: the context is read again
  x64_ = preset.find("x64") != std::string::npos;
  Create(preset, x64_ ? 64 : 32);  // the layout is made by a native program
  ASSERT_NE(machine_, nullptr);
  // The kit folder.
  std::error_code ec;
  fs::copy(KIT_UNINSTALL_DATA, machine_->HostPath(kKit), fs::copy_options::recursive, ec);
  ASSERT_FALSE(ec) << ec.message();
  Put(u"C:\\kit\\USBDRV\\USBDriver\\Install.exe");
  Put(u"C:\\kit\\USBDRV\\USBDriver_x64\\Install.exe");
  Put(u"C:\\kit\\KvUsbInt.dll");
  if (family) InstallFamily();
  program_ = Reopen(32);
}

// The processor, its file, and the Uninstall.ini entries that claim it.
void FamilyMachineTest::InstallOwnProcessor() {
  Platform& p = machine_->platform();
  WString processors;
  ASSERT_TRUE(p.spooler.GetPrintProcessorDirectory(u"", u"", &processors));
  const WString processor_dll = x64_ ? u"KVRPRT64.DLL" : u"KVRPRT32.DLL";
  Put(processors + u"\\" + processor_dll);
  ASSERT_TRUE(p.spooler.AddPrintProcessor(u"", u"", processor_dll, u"KVRPrint"));

  const WString ini = u"C:\\kit\\DRVCONFIG\\Uninstall.ini";
  Bytes bytes;
  ASSERT_TRUE(p.files.ReadFile(ini, kMaxIniBytes, &bytes));
  std::string text(bytes.begin(), bytes.end());
  const std::string none = "PROCNUM=0\r\n";
  const auto at = text.find(none);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, none.size(), "PROCNUM=1\r\nPROCNAME1=KVRPrint\r\n");
  for (const char* version : {"98", "NT", "2K"}) text += std::string("\r\n[KVRPrint.") + version + "]\r\nProcessorDllName=KVRPRT32.DLL\r\n";
  for (const char* version : {"2003", "Vista", "2008", "Win7"}) {
    text += std::string("\r\n[KVRPrint.") + version + "]\r\nProcessorDllName=KVRPRT64.DLL\r\n";
  }
  Put(ini, text);
}

void FamilyMachineTest::AddDriver(const WString& name) {
  Platform& p = machine_->platform();
  WString drivers;
  ASSERT_TRUE(p.spooler.GetPrinterDriverDirectory(u"", u"", &drivers));
  const WString gpd = name.substr(0, 7) + u".GPD";
  for (const WString& f : {WString(u"unidrv.dll"), WString(u"unidrvui.dll"), gpd}) Put(drivers + u"\\" + f);
  DriverInfo3 d;
  d.name = name;
  d.driver_path = u"unidrv.dll";
  d.data_file = gpd;
  d.config_file = u"unidrvui.dll";
  ASSERT_TRUE(p.spooler.AddPrinterDriver(u"", d)) << p.system.GetLastError();
}

void FamilyMachineTest::AddPrinter(const WString& name, const WString& port, const WString& driver) {
  PrinterInfo2 info;
  info.printer_name = name;
  info.port_name = port;
  info.driver_name = driver;
  info.print_processor = u"winprint";
  PrinterHandle printer;
  ASSERT_TRUE(machine_->platform().spooler.AddPrinter(u"", info, &printer))
      << ToUtf8String(name) << " " << machine_->platform().system.GetLastError();
}

void FamilyMachineTest::QueueJob(const WString& printer_name) {
  Platform& p = machine_->platform();
  PrinterDefaults defaults;
  defaults.desired_access = kPrinterAccessUse;
  PrinterHandle printer;
  ASSERT_TRUE(p.spooler.OpenPrinter(printer_name, defaults, &printer));
  PrinterInfo2 info;
  std::uint32_t needed = 0;
  printer->GetPrinter(2, &info, 0, &needed);
  ASSERT_TRUE(printer->GetPrinter(2, &info, needed, &needed));
  ASSERT_EQ(Tool("map-port DIR '" + ToUtf8String(info.port_name) + "' hold"), 0);
  DocInfo1 doc{u"held", u"", u"RAW"};
  ASSERT_NE(printer->StartDocPrinter(doc), 0u);
  const std::uint8_t bytes[] = {0x1B, 0x40};
  std::uint32_t written = 0;
  ASSERT_TRUE(printer->WritePrinter(bytes, sizeof bytes, &written));
  ASSERT_TRUE(printer->EndDocPrinter());
}

void FamilyMachineTest::InstallFamily() {
  Platform& p = machine_->platform();
  // Setup's records of the USB port (the USB monitor's ports).
  for (const char16_t* key : {kRecordsKey, kPrinterPortKey}) {
    RegistryKeyPtr records;
    ASSERT_EQ(p.registry.RegCreateKeyEx(RootKey::kLocalMachine, key, kKeyReadWrite64, &records), 0u);
    ASSERT_EQ(records->SetDword(u"USB_VRT-Q40_1", 0), 0u);
  }
  // The family's monitors are their Linux builds, loaded as Windows loads
  // them; the port dialogs are files the spooler does not load.
  const WString system = p.system.GetSystemDirectory();
  PutModule(system + u"\\KVRLMON.DLL", KIT_LANGUAGE_MONITOR_PATH);
  PutModule(system + u"\\KVRUSBMON.DLL", KIT_USB_MONITOR_PATH);
  PutModule(system + u"\\KVRCOMMON.DLL", KIT_SERIAL_MONITOR_PATH);
  for (const char16_t* f : {u"KVRUSBUI.DLL", u"KVRCOMUI.DLL"}) Put(system + u"\\" + f);
  ASSERT_TRUE(p.spooler.AddMonitor(u"", {u"KVR Language Monitor", u"", u"KVRLMON.DLL"}));
  ASSERT_TRUE(p.spooler.AddMonitor(u"", {u"KVR USB Port", u"", u"KVRUSBMON.DLL"}));
  ASSERT_TRUE(p.spooler.AddMonitor(u"", {u"KVR Serial Port", u"", u"KVRCOMMON.DLL"}));
  if (own_processor_) InstallOwnProcessor();

  // The network port two printers share, and the class printer's port.
  PrinterDefaults admin;
  admin.desired_access = kServerAccessAdminister;
  PrinterHandle xcv;
  ASSERT_TRUE(p.spooler.OpenPrinter(kXcvStandardTcpIpMonitor, admin, &xcv));
  PortData1 port;
  port.port_name = kNetworkPort;
  port.host_address = u"192.168.0.50";
  port.port_number = 9100;
  Bytes out;
  std::uint32_t needed = 0, status = 0;
  ASSERT_TRUE(xcv->XcvData(u"AddPort", EncodePortData1(port), 0, &out, &needed, &status));
  ASSERT_EQ(status, 0u);
  std::string error;
  ASSERT_EQ(machine_->store().Update(
                [](sim::Json& s) {
                  s["spooler"]["ports"].push_back(
                      {{"name", "USB001"}, {"monitor", "USB Monitor"}, {"description", "Virtual printer port for USB"}, {"type", 3}});
                  return true;
                },
                &error),
            sim::StoreError::kNone)
      << error;

  for (const char16_t* d : {u"VRT-Q40", u"VRT-T80", u"KVRO TP80", kForeignPrinter}) AddDriver(d);
  AddPrinter(u"VRT-Q40(U) 1", u"USB_VRT-Q40_1", u"VRT-Q40");
  AddPrinter(u"KVRO TP80", u"USB001", u"KVRO TP80");
  AddPrinter(u"VRT-T80(S)", u"KVCOM1:", u"VRT-T80");
  AddPrinter(u"VRT-Q40(P)", u"LPT1:", u"VRT-Q40");
  AddPrinter(u"VRT-Q40(N) 1", kNetworkPort, u"VRT-Q40");
  AddPrinter(u"VRT-Q40(N) 2", kNetworkPort, u"VRT-Q40");
  AddPrinter(kForeignPrinter, u"LPT2:", kForeignPrinter);

  // Windows' copies of the class printer's INF, and another maker's.
  const WString windows = p.system.GetWindowsDirectory();
  Put(windows + u"\\inf\\oem3.inf", kClassInf);
  Put(windows + u"\\inf\\oem3.PNF", "PNF");
  Put(windows + u"\\inf\\oem4.inf", kOtherInf);
  Put(windows + u"\\inf\\oem4.PNF", "PNF");
  // The USB driver and an attached printer.
  Put(windows + u"\\System32\\drivers\\KVPUSB.sys");
  ASSERT_EQ(Tool("plug DIR --vid 7A5C --pid 1000 --release 9 --kvusb"), 0);
}

bool FamilyMachineTest::Exists(const WString& path) {
  return machine_->platform().files.GetFileAttributes(path) != kInvalidFileAttributes;
}

bool FamilyMachineTest::HasPrinter(const WString& name) {
  PrinterHandle printer;
  return machine_->platform().spooler.OpenPrinter(name, {}, &printer);
}

bool FamilyMachineTest::HasKey(const WString& key, std::uint32_t view) {
  RegistryKeyPtr k;
  return machine_->platform().registry.RegOpenKeyEx(RootKey::kLocalMachine, key, kKeyRead | view, &k) == 0;
}

std::vector<std::string> FamilyMachineTest::Launches() {
  sim::Json s;
  std::string error;
  machine_->store().Read(&s, &error);
  std::vector<std::string> out;
  for (const auto& l : s["launches"]) out.push_back(l.value("file", "") + " " + l.value("parameters", ""));
  return out;
}

int FamilyMachineTest::Restarts() {
  sim::Json s;
  std::string error;
  machine_->store().Read(&s, &error);
  return static_cast<int>(s["restarts"].size());
}

const UninstallContext& FamilyMachineTest::Context() {
  if (!context_) {
    Platform& p = u();
    ini::ProfileOptions profile;
    source_ = std::make_unique<PlatformFileSource>(p.files);
    messages_ = std::make_unique<CMyString>(*source_, "C:\\kit", "\\language\\uninstall_EN.ini", "Message", profile);
    ini_ = std::make_unique<UninstallIni>(*source_, "C:\\kit\\DRVCONFIG\\Uninstall.ini", profile, ReadOsCode(p.system));
    ini_->Load();
    context_.reset(new UninstallContext{p, codepage::CodePage::kWestern, "C:\\kit", ReadOsCode(p.system),
                                        ReadRedirectionFlag(p.system), true, *ini_, *messages_, "Device driver setup"});
  }
  return *context_;
}

}  // namespace kit::uninstall
