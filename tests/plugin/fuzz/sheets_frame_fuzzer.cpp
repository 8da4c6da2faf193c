// The plug-in's document and device sheets driven by random console actions
// over every control of every page they add, on every machine preset, with
// a random printer (port kind, held port, language files or not) and a
// random private settings record brought in through the plug-in's own
// conversion: no sequence may let an exception escape or touch memory the
// plug-in does not own.
//
// Input: byte 0 picks the preset, byte 1 the printer state and the sheets
// opened, byte 2 how many record bytes follow to patch (offset, value
// pairs), then the actions in groups (tab changes, Apply, OK, Cancel,
// clicks, selections, typed text, keys, message-box and file-dialog
// answers, waits).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/presets.h"
#include "platform/sim/stand_in_printer.h"
#include "platform/sim/store.h"
#include "plugin/core/com/exports.h"
#include "plugin/core/com/interfaces.h"
#include "plugin/core/dll/module_entry.h"
#include "plugin/core/language/language_files.h"
#include "plugin/core/sheets/hosted_page_record.h"
#include "plugin/core/sheets/sheet_handlers.h"
#include "plugin/core/sheets/sheet_protocol.h"
#include "plugin/host/host_driver.h"
#include "plugin/host/plugin_sheet.h"
#include "ui/console/console.h"
#include "ui/headless/sheet.h"

namespace {

namespace fs = std::filesystem;
using namespace kit::plugin::com;
namespace sheets = kit::plugin::sheets;

constexpr char16_t kPrinter[] = u"VRT-Q40 Receipt";
constexpr DWORD kDevModeSize = 1, kDevModeDefault = 2, kDevModeConvert = 3;
constexpr DWORD kDocumentSheet = 1, kDeviceSheet = 2;
constexpr BYTE kDmPubFormName = 9;   // DMPUB_FORMNAME
constexpr BYTE kOptTypeListBox = 6;  // TVOT_LISTBOX
// The ports a printer of the family can stand on.
constexpr const char16_t* kPorts[] = {u"LPT1:", u"COM1:", u"FILE:", u"LPT2:", u"COM2:", u"LPT3:", u"COM3:", u"LPT1:"};
constexpr const char* kLanguageFiles[] = {"LANGUAGE_VRTQ40.DAT", "ENG_VRTQ40.res", "CHN_VRTQ40.res",
                                          "CHF_VRTQ40.res"};
// The sheets opened, in order, by the input's choice.
const std::vector<std::vector<DWORD>> kSheetOrders = {
    {kDocumentSheet}, {kDeviceSheet}, {kDocumentSheet, kDeviceSheet}, {kDeviceSheet, kDocumentSheet}};

struct WorkFolder {
  fs::path path = fs::temp_directory_path() / ("kit-sheets-fuzz-" + std::to_string(::getpid()));
  ~WorkFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

// A machine of each preset and port, with the printer, made once.
fs::path TemplateMachine(const std::string& preset, std::size_t port, bool language_files) {
  static const WorkFolder work;
  const fs::path folder =
      work.path / (preset + "-" + std::to_string(port) + (language_files ? "-lang" : "")) / "template";
  if (fs::exists(folder)) return folder;
  std::string error;
  if (!kit::sim::CreateMachine(folder, preset, true, &error)) {
    std::fprintf(stderr, "cannot create the %s machine: %s\n", preset.c_str(), error.c_str());
    std::abort();
  }
  kit::sim::ProcessOptions process;
  process.bits = kit::sim::NativeProcessBits(folder, &error) == 64 ? 64 : 32;
  auto machine = kit::sim::Machine::Open(folder, process, &error);
  if (!machine || !kit::sim::AddStandInPrinter(*machine, kPrinter, kPorts[port], &error)) {
    std::fprintf(stderr, "cannot put the printer on %s: %s\n", preset.c_str(), error.c_str());
    std::abort();
  }
  if (language_files) {
    kit::plugin::LanguageFiles language(machine->platform());
    const std::u16string driver_dir = language.DriverDirectory();
    // A Windows 9x machine has no NT driver folder: make it, a level at a time.
    for (std::size_t at = driver_dir.find(u'\\', 3); at != std::u16string::npos; at = driver_dir.find(u'\\', at + 1)) {
      machine->platform().files.CreateDirectory(driver_dir.substr(0, at));
    }
    for (const char* name : kLanguageFiles) {
      std::ifstream in(std::string(KIT_PLUGIN_FILES) + "/" + name, std::ios::binary);
      const kit::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (bytes.empty() || !machine->platform().files.WriteFile(driver_dir + kit::FromUtf8(name), bytes,
                                                                 kit::WriteMode::kCreateAlways)) {
        std::fprintf(stderr, "cannot place %s\n", name);
        std::abort();
      }
    }
  }
  return folder;
}

// Console lines for the actions, over the control ids of the pages shown
// (and the buttons every box and dialog has).
std::string Script(const std::uint8_t*& data, const std::uint8_t* end, const std::vector<int>& ids, int tabs) {
  static const char* const kAnswers[] = {"OK", "Cancel", "Yes", "No", "Retry", "C:\\kit\\logo.bmp", "C:\\nothing.bmp"};
  static const char* const kTexts[] = {"", "0", "1", "65535", "99999999999", "abc", "-1", "12345678901234567890",
                                       "C:\\Windows\\win.ini"};
  static const char* const kKeys[] = {"tab", "shift-tab", "a", "1", " "};
  std::ostringstream out;
  auto next = [&]() -> std::uint8_t { return data < end ? *data++ : 0; };
  // One sheet's share: up to 48 actions, then the sheet is closed.
  for (int n = 0; n < 48 && data < end; ++n) {
    const std::uint8_t kind = next();
    if (kind == 0xFF) break;  // this sheet's actions end here
    const int id = ids.empty() ? 1 : ids[next() % ids.size()];
    switch (kind % 16) {
      case 0: case 1: case 2: out << "click " << id << "\n"; break;
      case 3: out << "select " << id << " " << static_cast<int>(next() % 24) << "\n"; break;
      case 4: out << "type " << id << " " << kTexts[next() % std::size(kTexts)] << "\n"; break;
      case 5: out << (next() % 2 ? "check " : "uncheck ") << id << "\n"; break;
      case 6: out << "set " << id << " " << static_cast<int>(static_cast<std::int8_t>(next())) << "\n"; break;
      case 7: out << "tab " << static_cast<int>(next() % (tabs + 1)) << "\n"; break;
      case 8: out << "apply\n"; break;
      case 9: out << "answer " << kAnswers[next() % std::size(kAnswers)] << "\n"; break;
      case 10: out << "key " << id << " " << kKeys[next() % std::size(kKeys)] << "\n"; break;
      case 11: out << "dblclick " << id << " " << static_cast<int>(next() % 8) << "\n"; break;
      case 12: out << (next() % 2 ? "tick " : "untick ") << id << " " << static_cast<int>(next() % 8) << "\n"; break;
      case 13: out << "wait " << static_cast<int>(next()) * 40 << "\n"; break;
      case 14: out << "help-key\n"; break;
      default: out << (next() % 4 == 0 ? "cancel" : "ok") << "\n"; break;
    }
  }
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  static const std::vector<kit::sim::PresetInfo> presets = kit::sim::ListPresets();
  const std::uint8_t state = data[1];
  const std::size_t port = state & 7;
  const bool language_files = (state & 8) != 0;
  const auto& order = kSheetOrders[(state >> 4) & 3];
  const bool held_port = (state & 0x40) != 0;
  const fs::path template_folder = TemplateMachine(presets[data[0] % presets.size()].id, port, language_files);
  const fs::path folder = template_folder.parent_path() / "run";
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::copy(template_folder, folder, fs::copy_options::recursive, ec);
  if (ec) std::abort();

  std::string error;
  kit::sim::ProcessOptions process;
  process.bits = kit::sim::NativeProcessBits(folder, &error) == 64 ? 64 : 32;
  auto machine = kit::sim::Machine::Open(folder, process, &error);
  if (!machine) std::abort();
  kit::Platform& platform = machine->platform();
  if (held_port) {
    // Jobs stay queued on the printer's port.
    machine->store().Update(
        [&](kit::sim::Json& s) {
          s["spooler"]["port_map"][kit::ToUtf8(kPorts[port])] = {{"kind", "hold"}};
          return true;
        },
        &error);
  }
  // The module's attach, as the library's load does it.
  static int module_anchor = 0;
  kit::plugin::dll::OnProcessAttach(&module_anchor, platform.system, platform.files, platform.registry);
  sheets::SetModuleSpooler(&platform.spooler);
  sheets::SetModulePagePlatform(&platform.files, &platform.shell, &platform.system);

  const std::uint8_t* cursor = data + 2;
  const std::uint8_t* const end = data + size;
  {
    void* out = nullptr;
    DllGetClassObject(&kClsidOemUi, &kIidIClassFactory, &out);
    auto* factory = static_cast<IClassFactory*>(out);
    if (factory == nullptr) std::abort();
    factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &out);
    factory->lpVtbl->Release(AsUnknown(factory));
    auto* ui = static_cast<IPrintOemUI*>(out);
    if (ui == nullptr) std::abort();
    const auto& v = *ui->lpVtbl;
    kit::plugin::host::HostDriver driver;
    v.PublishDriverInterface(ui, AsUnknown(static_cast<IPrintOemDriverUI*>(&driver)));

    OEMDMPARAM dm{};
    dm.cbSize = sizeof dm;
    v.DevMode(ui, kDevModeSize, &dm);
    std::vector<std::uint8_t> record(dm.cbBufSize);
    dm.pOEMDMOut = record.data();
    v.DevMode(ui, kDevModeDefault, &dm);
    // A record kept from an earlier run: the defaults with random bytes
    // changed, brought in through the plug-in's conversion.
    const int patches = cursor < end ? *cursor++ : 0;
    if (patches > 0 && !record.empty()) {
      std::vector<std::uint8_t> stored = record;
      for (int i = 0; i < patches && end - cursor >= 3; ++i, cursor += 3) {
        stored[(cursor[0] | cursor[1] << 8) % stored.size()] = cursor[2];
      }
      dm.pOEMDMIn = stored.data();
      v.DevMode(ui, kDevModeConvert, &dm);
      dm.pOEMDMIn = nullptr;
    }

    kit::PrinterHandle host_printer;
    kit::PrinterDefaults defaults;
    defaults.desired_access = kit::kPrinterAccessUse;
    if (!platform.spooler.OpenPrinter(kPrinter, defaults, &host_printer)) std::abort();
    std::u16string printer_name = kPrinter;
    // The driver's paper item with a few of the spooler's form names.
    std::vector<std::u16string> forms = {u"Letter", u"A4", u"80mm x 297mm"};
    std::vector<OPTPARAM> params(forms.size());
    for (std::size_t i = 0; i < forms.size(); ++i) {
      params[i] = OPTPARAM{};
      params[i].cbSize = sizeof(OPTPARAM);
      params[i].pData = forms[i].data();
    }
    OPTTYPE type{};
    type.cbSize = sizeof type;
    type.Type = kOptTypeListBox;
    type.Count = static_cast<WORD>(params.size());
    type.pOptParam = params.data();
    std::u16string paper_name = u"Paper Size";
    OPTITEM item{};
    item.cbSize = sizeof item;
    item.Level = 1;
    item.pName = paper_name.data();
    item.Sel = 0;
    item.pOptType = &type;
    item.DMPubID = kDmPubFormName;

    std::istringstream in;
    std::ostringstream console_out;
    kit::ui::console::Console console(in, console_out);
    kit::ui::headless::Environment env;
    console.Attach(env);
    for (const DWORD which : order) {
      const bool document = which == kDocumentSheet;
      kit::plugin::host::PluginSheet::Options sheet_options;
      sheet_options.document = document;
      sheet_options.printer = reinterpret_cast<HANDLE>(host_printer->NativeHandle());
      sheet_options.driver_items = &item;
      sheet_options.driver_item_count = 1;
      kit::plugin::host::PluginSheet plugin_sheet(ui, printer_name, record, sheet_options);
      plugin_sheet.Open();
      const auto& pages = plugin_sheet.pages();
      std::set<int> id_set = {1, 2};
      for (const auto& added : pages)
        for (const auto& control : added.page->Template().controls)
          if (control.id > 0) id_set.insert(control.id);
      const std::vector<int> ids(id_set.begin(), id_set.end());
      {
        kit::ui::headless::Sheet sheet(printer_name + u" Properties", env);
        for (const auto& added : pages) sheet.AddPage(*added.page, added.title);
        in.clear();
        in.str(Script(cursor, end, ids, static_cast<int>(pages.size())));
        if (!pages.empty()) console.RunSheet(sheet);
      }
    }
    v.Release(AsUnknown(ui));
    if (driver.refs != 1) std::abort();  // the plug-in must give the driver's interface back
  }
  if (DllCanUnloadNow() != kSOk) std::abort();  // an object of the plug-in outlived its release
  sheets::SetModuleSpooler(nullptr);
  sheets::SetModulePagePlatform(nullptr, nullptr, nullptr);
  kit::plugin::dll::OnProcessDetach();
  return 0;
}
