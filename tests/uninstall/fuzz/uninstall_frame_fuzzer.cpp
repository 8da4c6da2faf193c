// Uninstall driven by random console actions on a machine with the printer
// family installed on every kind of port beside a foreign printer, with
// random parts of the family already gone and a randomly damaged
// Uninstall.ini: no sequence may let an exception escape, touch memory the
// program does not own, or change anything of the foreign printer.
//
// Input: byte 0 picks the machine (64-bit, 32-bit Chinese, XP, Windows 95),
// bytes 1-2 the parts of the family taken away first, byte 3 how many
// (offset, value) patches of Uninstall.ini follow, then the actions.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/port_data.h"
#include "platform/profile_file_source.h"
#include "platform/sim/machine.h"
#include "platform/sim/presets.h"
#include "platform/sim/stand_in_printer.h"
#include "uninstall/app/uninstall_app.h"
#include "uninstall/dialog/small_dialogs.h"
#include "uninstall/dialog/uninstall_dlg.h"
#include "ui/console/console.h"
#include "ui/text.h"

namespace {

namespace fs = std::filesystem;
using kit::WString;

constexpr const char* kPresets[] = {"win7-x64-en", "win7-x86-zh-cn", "winxp-x86-en", "win95-x86-en"};
constexpr char16_t kKit[] = u"C:\\kit";
constexpr char16_t kIni[] = u"C:\\kit\\DRVCONFIG\\Uninstall.ini";
constexpr char16_t kForeignPrinter[] = u"Acme Label 2000";
constexpr char16_t kForeignPort[] = u"LPT2:";
constexpr char16_t kNetworkPort[] = u"KVIP_192.168.0.50";
constexpr char16_t kRecordsKey[] = u"SOFTWARE\\VELDRAN\\PORTNAME";
constexpr char16_t kPrinterPortKey[] = u"SOFTWARE\\VELDRAN\\PRINTERPORT";

struct FamilyPrinter {
  const char16_t* name;
  const char16_t* port;
  const char16_t* driver;
};
constexpr FamilyPrinter kPrinters[] = {{u"VRT-Q40(U) 1", u"USB_VRT-Q40_1", u"VRT-Q40"},
                                       {u"VRT-T80(S)", u"KVCOM1:", u"VRT-T80"},
                                       {u"VRT-Q40(P)", u"LPT1:", u"VRT-Q40"},
                                       {u"VRT-Q40(N) 1", kNetworkPort, u"VRT-Q40"},
                                       {u"VRT-Q40(N) 2", kNetworkPort, u"VRT-Q40"}};
constexpr const char16_t* kMonitors[] = {u"KVR Language Monitor", u"KVR USB Port", u"KVR Serial Port"};
constexpr const char16_t* kDrivers[] = {u"VRT-Q40", u"VRT-T80"};

struct WorkFolder {
  fs::path path = fs::temp_directory_path() / ("kit-uninstall-fuzz-" + std::to_string(::getpid()));
  ~WorkFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "uninstall fuzzer set-up: %s\n", what.c_str());
  std::abort();
}

void Put(kit::Platform& p, kit::sim::Machine& m, const WString& path, const std::string& text = "MZ") {
  std::error_code ec;
  fs::create_directories(m.HostPath(path).parent_path(), ec);
  if (!p.files.WriteFile(path, kit::Bytes(text.begin(), text.end()), kit::WriteMode::kCreateAlways))
    Fail("cannot write " + kit::ToUtf8(path));
}

void PutModule(kit::Platform& p, kit::sim::Machine& m, const WString& path, const char* module) {
  std::ifstream in(module, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.empty()) Fail(std::string("cannot read ") + module);
  Put(p, m, path, bytes);
}

// The family as setup leaves it, and a foreign printer.
void InstallFamily(kit::sim::Machine& m) {
  kit::Platform& p = m.platform();
  std::string error;
  for (const char16_t* key : {kRecordsKey, kPrinterPortKey}) {
    kit::RegistryKeyPtr records;
    if (p.registry.RegCreateKeyEx(kit::RootKey::kLocalMachine, key, kit::kKeyReadWrite64, &records) != 0) Fail("records");
    records->SetDword(u"USB_VRT-Q40_1", 0);
  }
  // The family's monitors are their Linux builds, loaded as Windows loads
  // them; the port dialogs are files the spooler does not load.
  const WString system = p.system.GetSystemDirectory();
  PutModule(p, m, system + u"\\KVRLMON.DLL", KIT_LANGUAGE_MONITOR_PATH);
  PutModule(p, m, system + u"\\KVRUSBMON.DLL", KIT_USB_MONITOR_PATH);
  PutModule(p, m, system + u"\\KVRCOMMON.DLL", KIT_SERIAL_MONITOR_PATH);
  for (const char16_t* f : {u"KVRUSBUI.DLL", u"KVRCOMUI.DLL"}) Put(p, m, system + u"\\" + f);
  p.spooler.AddMonitor(u"", {kMonitors[0], u"", u"KVRLMON.DLL"});
  p.spooler.AddMonitor(u"", {kMonitors[1], u"", u"KVRUSBMON.DLL"});
  p.spooler.AddMonitor(u"", {kMonitors[2], u"", u"KVRCOMMON.DLL"});
  WString processors;
  if (p.spooler.GetPrintProcessorDirectory(u"", u"", &processors)) {
    Put(p, m, processors + u"\\KVRPRT32.DLL");
    p.spooler.AddPrintProcessor(u"", u"", u"KVRPRT32.DLL", u"KVRPrint");
  }
  kit::PrinterDefaults admin;
  admin.desired_access = kit::kServerAccessAdminister;
  kit::PrinterHandle xcv;
  if (p.spooler.OpenPrinter(kit::kXcvStandardTcpIpMonitor, admin, &xcv)) {
    kit::PortData1 port;
    port.port_name = kNetworkPort;
    port.host_address = u"192.168.0.50";
    port.port_number = 9100;
    kit::Bytes out;
    std::uint32_t needed = 0, status = 0;
    xcv->XcvData(u"AddPort", kit::EncodePortData1(port), 0, &out, &needed, &status);
  }
  for (const FamilyPrinter& printer : kPrinters) {
    if (!kit::sim::AddStandInPrinter(m, printer.name, printer.port, &error, printer.driver)) {
      // A machine without a network or serial port monitor keeps the rest.
      continue;
    }
  }
  if (!kit::sim::AddStandInPrinter(m, kForeignPrinter, kForeignPort, &error, kForeignPrinter))
    Fail("foreign printer: " + error);
  Put(p, m, p.system.GetWindowsDirectory() + u"\\System32\\drivers\\KVPUSB.sys");
}

fs::path TemplateMachine(std::size_t preset) {
  static const WorkFolder work;
  const fs::path folder = work.path / kPresets[preset] / "template";
  if (fs::exists(folder)) return folder;
  std::string error;
  if (!kit::sim::CreateMachine(folder, kPresets[preset], true, &error)) Fail(error);
  kit::sim::ProcessOptions process;
  process.bits = kit::sim::NativeProcessBits(folder, &error) == 64 ? 64 : 32;
  auto machine = kit::sim::Machine::Open(folder, process, &error);
  if (!machine) Fail(error);
  std::error_code ec;
  fs::copy(KIT_UNINSTALL_DATA, machine->HostPath(kKit), fs::copy_options::recursive, ec);
  if (ec) Fail(ec.message());
  for (const char16_t* f : {u"C:\\kit\\USBDRV\\USBDriver\\Install.exe", u"C:\\kit\\USBDRV\\USBDriver_x64\\Install.exe",
                            u"C:\\kit\\KvUsbInt.dll"})
    Put(machine->platform(), *machine, f);
  InstallFamily(*machine);
  return folder;
}

// The foreign printer as the spooler describes it.
std::string ForeignPrinter(kit::Platform& p) {
  kit::PrinterHandle printer;
  if (!p.spooler.OpenPrinter(kForeignPrinter, {}, &printer)) return "gone";
  kit::PrinterInfo2 info;
  std::uint32_t needed = 0;
  printer->GetPrinter(2, &info, 0, &needed);
  if (!printer->GetPrinter(2, &info, needed, &needed)) return "unreadable";
  return kit::ToUtf8(info.printer_name + u"|" + info.port_name + u"|" + info.driver_name + u"|" + info.print_processor);
}

// Takes away the parts of the family the mask names, as a half-finished
// earlier removal or a user's hand would.
void TakeAway(kit::Platform& p, unsigned mask) {
  int bit = 0;
  for (const FamilyPrinter& printer : kPrinters) {
    if (mask >> bit++ & 1) {
      kit::PrinterDefaults all;
      all.desired_access = kit::kPrinterAllAccess;
      kit::PrinterHandle handle;
      if (p.spooler.OpenPrinter(printer.name, all, &handle)) handle->DeletePrinter();
    }
  }
  for (const char16_t* driver : kDrivers)
    if (mask >> bit++ & 1) p.spooler.DeletePrinterDriverEx(u"", u"", driver, 0, 0);
  for (const char16_t* monitor : kMonitors)
    if (mask >> bit++ & 1) p.spooler.DeleteMonitor(u"", u"", monitor);
  if (mask >> bit++ & 1) p.registry.RegDeleteKeyEx(kit::RootKey::kLocalMachine, kRecordsKey, kit::kKeyWow64_64Key);
  if (mask >> bit++ & 1) p.files.DeleteFile(u"C:\\kit\\language\\uninstall_EN.ini");
  if (mask >> bit++ & 1) p.files.DeleteFile(kIni);
  if (mask >> bit++ & 1) p.spooler.DeletePrintProcessor(u"", u"", u"KVRPrint");
}

std::string Script(const std::uint8_t* data, const std::uint8_t* end) {
  using namespace kit::uninstall;
  static const int kIds[] = {kUninstallButtonId, kSelectButtonId, kComponentListId, kUsbBoxId, kLogId,
                             kit::ui::kIdOk,     kit::ui::kIdCancel, kNoteId};
  static const char* const kAnswers[] = {"OK", "Cancel", "Yes", "No"};
  std::ostringstream out;
  auto next = [&]() -> std::uint8_t { return data < end ? *data++ : 0; };
  while (data < end) {
    const std::uint8_t kind = next();
    const int id = kIds[next() % std::size(kIds)];
    switch (kind % 12) {
      case 0: case 1: out << "click " << id << "\n"; break;
      case 2: out << (next() % 2 ? "tick " : "untick ") << kComponentListId << " " << static_cast<int>(next() % 16) << "\n"; break;
      case 3: out << "select " << kComponentListId << " " << static_cast<int>(next() % 16) << "\n"; break;
      case 4: out << (next() % 2 ? "check " : "uncheck ") << kUsbBoxId << "\n"; break;
      case 5: out << "click " << kUninstallButtonId << "\n"; break;
      case 6: out << "click " << kSelectButtonId << "\n"; break;
      case 7: out << "answer " << kAnswers[next() % std::size(kAnswers)] << "\n"; break;
      case 8: out << "menu " << kAboutCommand << "\n"; break;
      case 9: out << "key " << id << " " << (next() % 2 ? "tab" : " ") << "\n"; break;
      case 10: out << "dblclick " << kComponentListId << " " << static_cast<int>(next() % 16) << "\n"; break;
      default: out << (next() % 8 == 0 ? "close" : "show") << "\n"; break;
    }
  }
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const fs::path template_folder = TemplateMachine(data[0] % std::size(kPresets));
  const fs::path folder = template_folder.parent_path() / "run";
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::copy(template_folder, folder, fs::copy_options::recursive, ec);
  if (ec) std::abort();

  std::string error;
  kit::sim::ProcessOptions process;
  process.bits = 32;  // the uninstaller is a 32-bit program
  process.module_path = u"C:\\kit\\Uninstall.exe";
  process.current_directory = kKit;
  auto machine = kit::sim::Machine::Open(folder, process, &error);
  if (!machine) std::abort();
  kit::Platform& p = machine->platform();
  TakeAway(p, static_cast<unsigned>(data[1] | data[2] << 8));
  const std::uint8_t* cursor = data + 4;
  const std::uint8_t* const end = data + size;
  if (data[3] > 0) {
    kit::Bytes ini;
    if (p.files.ReadFile(kIni, kit::kMaxProfileFileBytes, &ini) && !ini.empty()) {
      for (int i = 0; i < data[3] && end - cursor >= 3; ++i, cursor += 3)
        ini[(cursor[0] | cursor[1] << 8) % ini.size()] = cursor[2];
      p.files.WriteFile(kIni, ini, kit::WriteMode::kCreateAlways);
    }
  }
  const std::string foreign_before = ForeignPrinter(p);
  kit::ui::SetAnsiCodePage(p.system.GetACP());

  std::istringstream in(Script(cursor, end));
  std::ostringstream out;
  kit::ui::console::Console console(in, out);
  kit::ui::headless::Environment env;
  console.Attach(env);
  kit::uninstall::CUninstallPrinterApp::Options options;
  options.platform = &p;
  options.host.message_box = [](std::u16string_view, std::u16string_view) {};
  options.host.run_modal = [&](kit::ui::Page& dialog) {
    kit::ui::headless::Dialog d(dialog, env);
    d.Create();
    if (!d.Ended()) console.Run(d);
    return d.Result();
  };
  {
    kit::uninstall::CUninstallPrinterApp app(std::move(options));
    app.Run();
  }
  if (ForeignPrinter(p) != foreign_before) {
    std::fprintf(stderr, "the foreign printer changed: %s -> %s\n", foreign_before.c_str(), ForeignPrinter(p).c_str());
    std::abort();
  }
  return 0;
}
