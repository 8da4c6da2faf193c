// printui-sheets: opens the VRTQ40UI plug-in's property sheets the way the
// universal printer driver does, on a virtual Windows machine, and shows the
// pages the plug-in adds in the console host. A development and test tool
// of the Linux build.
//
//   printui-sheets --machine DIR [--create PRESET] [--kit-files DIR]
//                  [--printer NAME] [--sheets document,device,document]
//                  [--script FILE] [--plugin PATH]
//   printui-sheets prefs PRINTER --machine DIR [...]   (the document sheet)
//   printui-sheets props PRINTER --machine DIR [...]   (the device sheet)
//
// --create makes a new machine from a preset first; --kit-files copies the
// plug-in's language files (LANGUAGE_VRTQ40.DAT, *_VRTQ40.res) into the
// machine's driver folder before the plug-in is loaded. Each sheet named in
// --sheets is set up, run in the console (actions from --script, else from
// the terminal) until it is closed, and destroyed. Each sheet begins with
// stand-ins for the universal driver's own two pages, as on Windows, and
// opens on the plug-in's first page. The pages edit the private settings
// record in place; the host keeps what OK or Apply took: after Cancel, or
// when the input ends with the sheet open, the record and the paper go back
// to what the last Apply kept. The kept record is carried between sheets as
// a host keeps the job's device mode, and compared after every sheet. It is
// kept per printer in the machine folder (printui/<printer>.devmode), so
// settings survive between runs: a stored record is brought in through the
// plug-in's own conversion, and the record is stored at every Apply. The host
// offers the plug-in the universal driver's own option items it looks for:
// the paper size (DMPUB_FORMNAME) listing the spooler's forms, and the
// printer's density. The sheets run in a process of the machine's own
// bitness, as Windows opens a printer's sheets with the driver of that
// bitness: on a 64-bit machine the plug-in reads the 64-bit driver folder.
// Exit code 0 when every step answered as a host expects;
// 3 when the machine refuses the printer (Windows' answer on standard error,
// 1801 for a printer it does not have).
#include <dlfcn.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/presets.h"
#include "platform/types.h"
#include "plugin/core/com/interfaces.h"
#include "plugin/host/driver_pages.h"
#include "plugin/host/host_driver.h"
#include "plugin/host/plugin_sheet.h"
#include "plugin/core/language/language_files.h"
#include "ui/console/console.h"

namespace {

using namespace kit::plugin::com;

constexpr DWORD kDevModeSize = 1, kDevModeDefault = 2, kDevModeConvert = 3;
// The universal driver's option items the host offers the plug-in.
constexpr BYTE kDmPubFormName = 9;       // DMPUB_FORMNAME
constexpr BYTE kOptTypeListBox = 6;      // TVOT_LISTBOX
constexpr BYTE kDensityItemLevel = 2;
constexpr const char16_t* kDensityItemName = u"Density";
constexpr const char16_t* kDensityOptions[] = {u"Density1", u"Density2", u"Density3"};
// Where the host keeps each printer's record, below the machine folder.
constexpr const char* kRecordFolder = "printui";
constexpr int kExitRefused = 3;  // the machine refused the printer
constexpr const char* kLanguageFiles[] = {"LANGUAGE_VRTQ40.DAT", "ENG_VRTQ40.res", "CHN_VRTQ40.res",
                                          "CHF_VRTQ40.res"};

using kit::plugin::host::HostDriver;

int g_failures = 0;
void Check(const char* what, bool ok) {
  if (!ok) {
    std::printf("%s: unexpected answer\n", what);
    ++g_failures;
  }
}

// Places the kit's language files in the driver folder the plug-in reads.
bool ShipLanguageFiles(kit::Platform& platform, const std::string& kit_files) {
  kit::plugin::LanguageFiles language(platform);
  const std::u16string driver_dir = language.DriverDirectory();
  for (const char* name : kLanguageFiles) {
    std::ifstream in(kit_files + "/" + name, std::ios::binary);
    const kit::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty() ||
        !platform.files.WriteFile(driver_dir + kit::FromUtf8(name), bytes, kit::WriteMode::kCreateAlways)) {
      std::fprintf(stderr, "printui-sheets: cannot place %s in the driver folder\n", name);
      return false;
    }
  }
  std::printf("language files placed in %s\n", kit::ToUtf8(driver_dir).c_str());
  return true;
}

// Whether the driver folder holds any of the plug-in's language files: without
// them it shows its built-in English texts.
bool HasLanguageFiles(kit::Platform& platform) {
  kit::plugin::LanguageFiles language(platform);
  const std::u16string driver_dir = language.DriverDirectory();
  for (const char* name : kLanguageFiles) {
    if (platform.files.GetFileAttributes(driver_dir + kit::FromUtf8(name)) != kit::kInvalidFileAttributes) return true;
  }
  return false;
}

// The universal driver's own option items of one sheet: the strings, option
// lists and items stay in place while the plug-in holds pointers to them.
class DriverOptionItems {
 public:
  DriverOptionItems(const std::vector<std::u16string>& forms, std::size_t selected_form) {
    names_.reserve(forms.size() + std::size(kDensityOptions) + 2);
    AddItem(u"Paper Size", forms, kDmPubFormName, 1, static_cast<LONG>(selected_form));
    AddItem(kDensityItemName, {std::begin(kDensityOptions), std::end(kDensityOptions)}, kDmPubNone,
            kDensityItemLevel, 0);
  }
  OPTITEM* items() { return items_.data(); }
  DWORD count() const { return static_cast<DWORD>(items_.size()); }

 private:
  void AddItem(const std::u16string& name, const std::vector<std::u16string>& options, BYTE dm_pub_id, BYTE level,
               LONG sel) {
    names_.push_back(name);
    auto& params = params_.emplace_back();
    for (const auto& option : options) {
      names_.push_back(option);
      OPTPARAM param{};
      param.cbSize = sizeof param;
      param.pData = names_.back().data();
      params.push_back(param);
    }
    OPTTYPE& type = types_.emplace_back();
    type = OPTTYPE{};
    type.cbSize = sizeof type;
    type.Type = kOptTypeListBox;
    type.Count = static_cast<WORD>(params.size());
    type.pOptParam = params.data();
    OPTITEM item{};
    item.cbSize = sizeof item;
    item.Level = level;
    item.pName = names_[names_.size() - options.size() - 1].data();
    item.Sel = sel;
    item.pOptType = &type;
    item.DMPubID = dm_pub_id;
    items_.push_back(item);
  }

  // Reserved up front, so that the pointers handed out never move.
  std::vector<std::u16string> names_;
  std::deque<std::vector<OPTPARAM>> params_;
  std::deque<OPTTYPE> types_;
  std::vector<OPTITEM> items_;
};

// The spooler's form names, from the printer or else the print server.
std::vector<std::u16string> SpoolerForms(kit::Platform& platform, const std::u16string& printer_name) {
  kit::PrinterHandle handle;
  if (!platform.spooler.OpenPrinter(printer_name, {}, &handle) &&
      !platform.spooler.OpenPrinter(std::u16string(), {}, &handle)) {
    return {};
  }
  std::vector<kit::FormInfo1> forms;
  std::uint32_t needed = 0, returned = 0;
  handle->EnumForms(&forms, 0, &needed, &returned);
  if (!handle->EnumForms(&forms, needed, &needed, &returned)) return {};
  std::vector<std::u16string> names;
  for (const auto& form : forms) names.push_back(form.name);
  return names;
}

// The host's file for a printer's record: the printer's name with the
// characters a file name cannot hold replaced.
std::filesystem::path RecordFile(const std::string& machine_folder, const std::string& printer) {
  std::string name = printer;
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|') c = '_';
  }
  return std::filesystem::path(machine_folder) / kRecordFolder / (name + ".devmode");
}

// The host's own handle to the printer, opened on its view of the machine
// and passed to the plug-in as OEMCUIPPARAM.hPrinter, as the universal
// driver passes its handle. Null when the machine has no such printer.
kit::PrinterHandle OpenHostPrinter(kit::sim::Machine& machine, const std::u16string& printer_name) {
  kit::PrinterHandle handle;
  kit::PrinterDefaults defaults;
  defaults.desired_access = kit::kPrinterAccessUse;
  if (!machine.platform().spooler.OpenPrinter(printer_name, defaults, &handle)) return nullptr;
  return handle;
}

// The paper the driver's option shows for a printer, kept by name beside
// its record (printui/<printer>.paper) as the driver keeps it in the
// printer's device mode; the first form when none is kept or it is gone.
std::filesystem::path PaperFile(const std::filesystem::path& record_file) {
  std::filesystem::path file = record_file;
  return file.replace_extension(".paper");
}

std::size_t KeptPaper(const std::filesystem::path& file, const std::vector<std::u16string>& forms) {
  std::ifstream in(file, std::ios::binary);
  std::string name;
  std::getline(in, name);
  for (std::size_t i = 0; i < forms.size(); ++i)
    if (kit::ToUtf8(forms[i]) == name) return i;
  return 0;
}

void KeepPaper(const std::filesystem::path& file, const std::vector<std::u16string>& forms, LONG selected) {
  if (selected < 0 || static_cast<std::size_t>(selected) >= forms.size()) return;
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << kit::ToUtf8(forms[static_cast<std::size_t>(selected)]) << "\n";
  std::printf("paper of the driver's option: %s\n", kit::ToUtf8(forms[static_cast<std::size_t>(selected)]).c_str());
}

std::vector<std::uint8_t> ReadRecord(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteRecord(const std::filesystem::path& file, const std::vector<std::uint8_t>& record) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  const std::filesystem::path partial = file.string() + ".new";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
    if (!out.flush()) return false;
  }
  std::filesystem::rename(partial, file, ec);
  return !ec;
}

struct Options {
  std::string machine;
  std::string preset;
  std::string kit_files;
  std::string printer = "VRT-Q40 Receipt";
  std::string sheets = "document,device";
  std::string script;
  std::string plugin = KIT_DEFAULT_PLUGIN_PATH;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  int first = 1;
  if (argc >= 3 && (std::strcmp(argv[1], "prefs") == 0 || std::strcmp(argv[1], "props") == 0)) {
    options->sheets = std::strcmp(argv[1], "prefs") == 0 ? "document" : "device";
    options->printer = argv[2];
    first = 3;
  }
  for (int i = first; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (arg == "--machine") options->machine = value;
    else if (arg == "--create") options->preset = value;
    else if (arg == "--kit-files") options->kit_files = value;
    else if (arg == "--printer") options->printer = value;
    else if (arg == "--sheets") options->sheets = value;
    else if (arg == "--script") options->script = value;
    else if (arg == "--plugin") options->plugin = value;
    else return false;
  }
  return !options->machine.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: printui-sheets --machine DIR [--create PRESET] [--kit-files DIR] [--printer NAME]\n"
                 "                      [--sheets document,device] [--script FILE] [--plugin PATH]\n"
                 "       printui-sheets prefs|props PRINTER --machine DIR [options]\n");
    return 2;
  }
  std::string error;
  if (!options.preset.empty() && !kit::sim::CreateMachine(options.machine, options.preset, true, &error)) {
    std::fprintf(stderr, "printui-sheets: %s\n", error.c_str());
    return 1;
  }
  // The host and the plug-in: one process of the machine's own bitness.
  kit::sim::ProcessOptions process;
  process.bits = kit::sim::NativeProcessBits(options.machine, &error) == 64 ? 64 : 32;
  auto host_machine = kit::sim::Machine::Open(options.machine, process, &error);
  if (!host_machine) {
    std::fprintf(stderr, "printui-sheets: %s\n", error.c_str());
    return 1;
  }
  kit::Platform& host_platform = host_machine->platform();
  if (!options.kit_files.empty() && !ShipLanguageFiles(host_platform, options.kit_files)) return 1;

  // What the host itself reads from the machine: the printer, which must be
  // one the machine has (the spooler's answer otherwise), kept open while the
  // sheets run; and the spooler's forms.
  kit::PrinterHandle host_printer = OpenHostPrinter(*host_machine, kit::FromUtf8(options.printer));
  if (!host_printer) {
    std::fprintf(stderr, "printui-sheets: cannot open printer \"%s\": %s\n", options.printer.c_str(),
                 kit::sim::RefusalText(host_platform, host_platform.system.GetLastError()).c_str());
    return kExitRefused;
  }
  const std::vector<std::u16string> forms = SpoolerForms(host_platform, kit::FromUtf8(options.printer));
  if (!HasLanguageFiles(host_platform)) {
    std::fprintf(stderr,
                 "printui-sheets: no language files in the machine's driver folder; the pages show their "
                 "built-in English texts (--kit-files DIR places the kit's)\n");
  }

  // The plug-in finds its machine as a started program does.
  setenv(kit::sim::kEnvMachine, options.machine.c_str(), 1);
  setenv(kit::sim::kEnvProcessBits, std::to_string(process.bits).c_str(), 1);
  void* module = dlopen(options.plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    std::fprintf(stderr, "printui-sheets: cannot load %s: %s\n", options.plugin.c_str(), dlerror());
    return 1;
  }
  using GetClassObject = HRESULT(KIT_STDCALL*)(const GUID*, const GUID*, void**);
  using CanUnloadNow = HRESULT(KIT_STDCALL*)();
  auto get_class_object = reinterpret_cast<GetClassObject>(dlsym(module, "DllGetClassObject"));
  auto can_unload_now = reinterpret_cast<CanUnloadNow>(dlsym(module, "DllCanUnloadNow"));
  if (get_class_object == nullptr || can_unload_now == nullptr) {
    std::fprintf(stderr, "printui-sheets: %s lacks the COM exports\n", options.plugin.c_str());
    return 1;
  }

  void* out = nullptr;
  Check("DllGetClassObject", get_class_object(&kClsidOemUi, &kIidIClassFactory, &out) == kSOk);
  auto* factory = static_cast<IClassFactory*>(out);
  if (factory == nullptr) return 1;
  Check("CreateInstance", factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &out) == kSOk);
  factory->lpVtbl->Release(AsUnknown(factory));
  auto* ui = static_cast<IPrintOemUI*>(out);
  if (ui == nullptr) return 1;
  const auto& v = *ui->lpVtbl;
  HostDriver driver;
  Check("PublishDriverInterface", v.PublishDriverInterface(ui, AsUnknown(static_cast<IPrintOemDriverUI*>(&driver))) == kSOk);

  // The job's private settings record, as the host keeps it between sheets.
  OEMDMPARAM dm{};
  dm.cbSize = sizeof dm;
  Check("DevMode(size)", v.DevMode(ui, kDevModeSize, &dm) == kSOk);
  std::vector<std::uint8_t> record(dm.cbBufSize);
  dm.pOEMDMOut = record.data();
  Check("DevMode(defaults)", v.DevMode(ui, kDevModeDefault, &dm) == kSOk);
  const std::filesystem::path record_file = RecordFile(options.machine, options.printer);
  std::vector<std::uint8_t> stored = ReadRecord(record_file);
  if (!stored.empty()) {
    // A record kept from an earlier run comes in through the plug-in's own
    // conversion, as a stored device mode does.
    // The plug-in reads a record by its own size field: never hand it fewer
    // bytes than a whole record.
    if (stored.size() < record.size()) stored.resize(record.size());
    dm.pOEMDMIn = stored.data();
    Check("DevMode(convert)", v.DevMode(ui, kDevModeConvert, &dm) == kSOk);
    dm.pOEMDMIn = nullptr;
    std::printf("private settings record: brought in from %s\n", record_file.string().c_str());
  }

  std::u16string printer_name = kit::FromUtf8(options.printer);
  std::ifstream script_file;
  if (!options.script.empty()) {
    script_file.open(options.script);
    if (!script_file) {
      std::fprintf(stderr, "printui-sheets: cannot read %s\n", options.script.c_str());
      return 1;
    }
  }
  std::istream& input = options.script.empty() ? std::cin : script_file;
  kit::ui::console::Options console_options;
  console_options.interactive = options.script.empty();
  kit::ui::console::Console console(input, std::cout, console_options);
  kit::ui::headless::Environment env;
  console.Attach(env);
  // The universal driver names its own pages in the machine's language.
  const std::uint16_t language_id = host_platform.system.GetSystemDefaultLangID();

  std::stringstream list(options.sheets);
  std::string which;
  while (std::getline(list, which, ',')) {
    const bool document = which == "document";
    if (!document && which != "device") {
      std::fprintf(stderr, "printui-sheets: no sheet called %s\n", which.c_str());
      return 2;
    }
    const std::vector<std::uint8_t> before = record;
    DriverOptionItems driver_items(forms, KeptPaper(PaperFile(record_file), forms));
    kit::plugin::host::PluginSheet::Options sheet_options;
    sheet_options.document = document;
    sheet_options.printer = host_printer ? reinterpret_cast<HANDLE>(host_printer->NativeHandle()) : nullptr;
    sheet_options.driver_items = driver_items.items();
    sheet_options.driver_item_count = driver_items.count();
    sheet_options.note = [](const std::string& text) { std::printf("%s\n", text.c_str()); };
    kit::plugin::host::PluginSheet host(ui, printer_name, record, sheet_options);
    if (const char* failed = host.Open()) Check(failed, false);
    std::printf("=== %s sheet of \"%s\" (header \"%s\"), %zu plug-in page(s)\n", document ? "document" : "device",
                options.printer.c_str(), kit::ToUtf8(host.header_title()).c_str(), host.pages().size());
    // What OK or Apply took: the record and the driver's paper as the pages
    // left them then, kept in the machine at once.
    std::vector<std::uint8_t> applied = record;
    {
      kit::ui::headless::Sheet sheet(printer_name + (document ? u" Printing Preferences" : u" Properties"), env);
      std::vector<std::unique_ptr<kit::plugin::host::DriverStandInPage>> driver_pages;
      for (const std::u16string& title : kit::plugin::host::DriverPageTitles(document, language_id)) {
        driver_pages.push_back(std::make_unique<kit::plugin::host::DriverStandInPage>(title));
        sheet.AddPage(*driver_pages.back(), title);
      }
      for (const auto& page : host.pages()) sheet.AddPage(*page.page, page.title);
      sheet.applied = [&] {
        applied = record;
        Check("record kept in the machine", WriteRecord(record_file, record));
        if (document) KeepPaper(PaperFile(record_file), forms, driver_items.items()[0].Sel);
      };
      if (!host.pages().empty()) {
        // The stand-ins have nothing to set: the sheet opens on the
        // plug-in's first page, as a sheet given that start page does.
        sheet.Open(kit::plugin::host::kDriverPageCount);
        console.RunSheet(sheet);
      }
    }
    host.Close();
    // Cancelled or left open: the job keeps what the last Apply took (copied
    // into the same buffer, which the next sheet hands out again).
    if (record != applied) {
      std::copy(applied.begin(), applied.end(), record.begin());
      std::printf("private settings record: changes since the last Apply dropped\n");
    }
    std::printf("private settings record: %s\n", record == before ? "unchanged" : "changed");
  }

  Check("DllCanUnloadNow (object alive)", can_unload_now() == kSFalse);
  v.Release(AsUnknown(ui));
  Check("driver interface given back", driver.refs == 1);
  Check("DllCanUnloadNow", can_unload_now() == kSOk);
  dlclose(module);
  host_printer.reset();
  std::printf("%s\n", g_failures == 0 && console.Errors() == 0 ? "all steps answered as expected"
                                                               : "some steps answered unexpectedly");
  return g_failures == 0 && console.Errors() == 0 ? 0 : 1;
}
