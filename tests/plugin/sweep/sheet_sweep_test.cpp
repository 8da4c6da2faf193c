// The plug-in's roads that talk to the printer under the fault sweep: the
// self-test of the Utility page, a logo download of the Download page and
// a 1D barcode test print, each from the plug-in's load through its sheet
// driven by a console script to the sheet's end, run once per Windows call
// it makes with that call failing. The pages end a raw job silently when the
// spooler fails it (the user simply gets no printout); any other failure
// that loses the printout must be shown. No job may be left open, the
// driver's interface and every object of the plug-in must be given back,
// and the foreign printer must not change.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "platform/sim/machine.h"
#include "platform/sim/presets.h"
#include "platform/sim/stand_in_printer.h"
#include "plugin/core/com/exports.h"
#include "plugin/core/com/interfaces.h"
#include "plugin/core/dll/module_entry.h"
#include "plugin/core/language/language_files.h"
#include "plugin/core/sheets/hosted_page_record.h"
#include "plugin/core/sheets/sheet_handlers.h"
#include "plugin/core/sheets/sheet_protocol.h"
#include "plugin/host/host_driver.h"
#include "plugin/host/plugin_sheet.h"
#include "tests/platform/sim/fault_sweep.h"
#include "tests/print/commands/mono_bitmaps.h"
#include "ui/console/console.h"
#include "ui/headless/sheet.h"

namespace kit::plugin {
namespace {

namespace fs = std::filesystem;
using namespace com;
using sim::testing::Road;
using sim::testing::RoadResult;

constexpr char16_t kPrinter[] = u"VRT-Q40 Receipt";
constexpr char16_t kLogoFolder[] = u"C:\\logos";
constexpr char16_t kLogoFile[] = u"C:\\logos\\mono.bmp";
constexpr DWORD kDevModeSize = 1, kDevModeDefault = 2;
constexpr DWORD kDocumentSheet = 1, kDeviceSheet = 2;
constexpr const char* kLanguageFiles[] = {"LANGUAGE_VRTQ40.DAT", "ENG_VRTQ40.res", "CHN_VRTQ40.res",
                                          "CHF_VRTQ40.res"};
// The raw job calls the pages end silently on (no message, no printout).
const std::vector<std::string> kRawJobCalls = {
    "OpenPrinter 'VRT-Q40 Receipt'",      "StartDocPrinter 'VRT-Q40 Receipt'", "StartPagePrinter 'VRT-Q40 Receipt'",
    "WritePrinter 'VRT-Q40 Receipt'",     "EndPagePrinter 'VRT-Q40 Receipt'",  "EndDocPrinter 'VRT-Q40 Receipt'",
    "ClosePrinter 'VRT-Q40 Receipt'"};

struct SheetRoad {
  const char* name;
  DWORD sheet;
  const char* script;
};

[[noreturn]] void Abort(const std::string& what) {
  std::fprintf(stderr, "sheet sweep: %s\n", what.c_str());
  std::abort();
}

fs::path WorkFolder() {
  static const fs::path folder = fs::temp_directory_path() / ("kit-sheet-sweep-" + std::to_string(::getpid()));
  return folder;
}

// The machine every run starts from: the printer with the plug-in's
// language files, the foreign printer, and a one-bit logo to download.
const fs::path& TemplateMachine() {
  static const fs::path folder = [] {
    const fs::path f = WorkFolder() / "template";
    std::error_code ec;
    fs::remove_all(f, ec);
    std::string error;
    if (!sim::CreateMachine(f, "win7-x64-en", true, &error)) Abort("cannot create the machine: " + error);
    sim::ProcessOptions process;
    process.bits = 64;
    auto machine = sim::Machine::Open(f, process, &error);
    if (!machine || !sim::AddStandInPrinter(*machine, kPrinter, u"LPT1:", &error)) Abort("no printer: " + error);
    sim::testing::AddForeignPrinter(*machine);
    Platform& p = machine->platform();
    const std::u16string driver_dir = LanguageFiles(p).DriverDirectory();
    for (const char* name : kLanguageFiles) {
      std::ifstream in(std::string(KIT_PLUGIN_FILES) + "/" + name, std::ios::binary);
      const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (bytes.empty() || !p.files.WriteFile(driver_dir + FromUtf8(name), bytes, WriteMode::kCreateAlways))
        Abort(std::string("cannot place ") + name);
    }
    // A 64 x 16 logo of stripes, entry 0 white.
    const auto logo = print::commands::testing::MakeMono(64, 16, false, [](int x, int y) { return (x + y) % 3 == 0; });
    if (!p.files.CreateDirectory(kLogoFolder) ||
        !p.files.WriteFile(kLogoFile, Bytes(logo.begin(), logo.end()), WriteMode::kCreateAlways))
      Abort("cannot place the logo");
    return f;
  }();
  return folder;
}

// What the spooler holds of the road's printer: each job's name, state and
// bytes.
std::string Jobs(sim::Machine& machine) {
  sim::Json s;
  std::string error;
  if (machine.store().Read(&s, &error) != sim::StoreError::kNone) Abort("unreadable machine: " + error);
  std::string jobs;
  for (const auto& j : s["spooler"]["jobs"]) {
    if (j.value("printer", "") != ToUtf8(kPrinter)) continue;
    std::ifstream in(machine.store().Folder() / j.value("file", std::string()), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    jobs += j.value("document", "") + " " + j.value("status", "") + " " + std::to_string(bytes.size()) + ":" + bytes + "\n";
  }
  return jobs;
}

// One run: the plug-in loaded into a host that holds the printer open, its
// sheet run by the road's script, the plug-in released and unloaded. The
// printout of the road's clean run is what every other run is held to.
class SheetRoadRun final : public sim::testing::RoadRun {
 public:
  SheetRoadRun(const SheetRoad& road, std::shared_ptr<std::optional<std::string>> clean_jobs)
      : road_(road), clean_jobs_(std::move(clean_jobs)) {
    // A folder of this process's own: the sweep spreads its runs over processes.
    folder_ = WorkFolder() / ("run-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(folder_, ec);
    fs::copy(TemplateMachine(), folder_, fs::copy_options::recursive, ec);
    if (ec) Abort("cannot copy the machine: " + ec.message());
    std::string error;
    sim::ProcessOptions process;
    process.bits = 64;
    machine_ = sim::Machine::Open(folder_, process, &error);
    if (!machine_) Abort("cannot open the machine: " + error);
    // The host opened the printer before it loads the plug-in.
    PrinterDefaults defaults;
    defaults.desired_access = kPrinterAccessUse;
    if (!machine_->platform().spooler.OpenPrinter(kPrinter, defaults, &host_printer_)) Abort("cannot open the printer");
  }
  ~SheetRoadRun() override {
    host_printer_.reset();
    machine_.reset();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  sim::Machine& machine() override { return *machine_; }

  RoadResult Run() override {
    Platform& platform = machine_->platform();
    static int module_anchor = 0;
    dll::OnProcessAttach(&module_anchor, platform.system, platform.files, platform.registry);
    sheets::SetModuleSpooler(&platform.spooler);
    sheets::SetModulePagePlatform(&platform.files, &platform.shell, &platform.system);
    ui::headless::Environment env;
    RunSheet(env);
    sheets::SetModuleSpooler(nullptr);
    sheets::SetModulePagePlatform(nullptr, nullptr, nullptr);
    dll::OnProcessDetach();

    RoadResult result;
    for (const auto& box : env.MessageBoxes()) result.messages.push_back(ToUtf8(box.text));
    const std::string jobs = Jobs(*machine_);
    if (!clean_jobs_->has_value()) {
      // The clean run: it prints, and without a word.
      *clean_jobs_ = jobs;
      result.failed = jobs.empty() || !result.messages.empty();
      return result;
    }
    // The road failed when its printout is not the clean run's.
    result.failed = jobs != **clean_jobs_;
    return result;
  }

  std::vector<std::string> Untruths() override { return untruths_; }

 private:
  void RunSheet(ui::headless::Environment& env) {
    void* out = nullptr;
    DllGetClassObject(&kClsidOemUi, &kIidIClassFactory, &out);
    auto* factory = static_cast<IClassFactory*>(out);
    if (factory == nullptr) {
      untruths_.push_back("no class factory");
      return;
    }
    factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &out);
    factory->lpVtbl->Release(AsUnknown(factory));
    auto* ui = static_cast<IPrintOemUI*>(out);
    if (ui == nullptr) {
      untruths_.push_back("no plug-in object");
      return;
    }
    const auto& v = *ui->lpVtbl;
    host::HostDriver driver;
    v.PublishDriverInterface(ui, AsUnknown(static_cast<IPrintOemDriverUI*>(&driver)));
    OEMDMPARAM dm{};
    dm.cbSize = sizeof dm;
    v.DevMode(ui, kDevModeSize, &dm);
    std::vector<std::uint8_t> record(dm.cbBufSize);
    dm.pOEMDMOut = record.data();
    v.DevMode(ui, kDevModeDefault, &dm);

    std::u16string printer_name = kPrinter;
    host::PluginSheet::Options sheet_options;
    sheet_options.document = road_.sheet == kDocumentSheet;
    sheet_options.printer = reinterpret_cast<HANDLE>(host_printer_->NativeHandle());
    host::PluginSheet plugin_sheet(ui, printer_name, record, sheet_options);
    plugin_sheet.Open();
    {
      std::istringstream in(road_.script);
      std::ostringstream console_out;
      ui::console::Console console(in, console_out);
      console.Attach(env);
      ui::headless::Sheet sheet(printer_name + u" Properties", env);
      for (const auto& added : plugin_sheet.pages()) sheet.AddPage(*added.page, added.title);
      if (plugin_sheet.pages().empty()) {
        untruths_.push_back("the plug-in added no page");
      } else {
        console.RunSheet(sheet);
      }
      // KIT_SHEET_SWEEP_TRACE=1 shows what the console saw of every run.
      if (std::getenv("KIT_SHEET_SWEEP_TRACE") != nullptr) std::fprintf(stderr, "%s\n", console_out.str().c_str());
    }
    plugin_sheet.Close();
    v.Release(AsUnknown(ui));
    if (driver.refs != 1) untruths_.push_back("the driver's interface was not given back");
    if (DllCanUnloadNow() != kSOk) untruths_.push_back("an object of the plug-in outlived its release");
  }

  const SheetRoad& road_;
  std::shared_ptr<std::optional<std::string>> clean_jobs_;
  fs::path folder_;
  std::unique_ptr<sim::Machine> machine_;
  PrinterHandle host_printer_;
  std::vector<std::string> untruths_;
};

TEST(SheetSweep, EveryCallOfThePrintingRoadsFailing) {
  static const SheetRoad kRoads[] = {
      {"device sheet: self-test", kDeviceSheet, "tab Utility\nclick 1401\nok\n"},
      {"device sheet: logo download", kDeviceSheet,
       "tab Download\nclick Add\nfile C:\\logos\\mono.bmp\nselect 1041 0\nclick Transformation\n"
       "click Download all\ncancel\n"},
      // Code93 of 123456789.
      {"document sheet: 1D barcode test print", kDocumentSheet,
       "tab 1D Code\nselect 1022 7\ntype 1104 123456789\nclick 1036\nok\n"},
  };
  sim::testing::SweepFigures figures;
  for (const SheetRoad& r : kRoads) {
    Road road;
    road.name = r.name;
    // A message of the page (a logo file that cannot be read) is the road's
    // outcome; no success text exists.
    road.outcome_is_last_message = false;
    road.silent_apis = kRawJobCalls;
    // The plug-in's per-user copies of its language files, made when it is
    // loaded: without them the pages show their built-in texts and work.
    for (const char* call : {"CreateDirectory 'Roaming\\Orvant'", "CopyFile 'Roaming\\Orvant\\'",
                             "ReadFile 'Roaming\\Orvant\\LANGUAGE_VRTQ40.DAT'"})
      road.other_done_end[call] = "loading the plug-in: the pages show their built-in texts";
    // A job whose end the spooler refused stays with the spooler.
    road.may_stay_after["EndDocPrinter 'VRT-Q40 Receipt'"] = {"left open"};
#ifdef KIT_SWEEP_FIRST_CALLS_ONLY
    // The pages read their language file and value again for every text:
    // under the sanitizers each is failed where it is made first only.
    road.fail_repeats = false;
#endif
    auto clean_jobs = std::make_shared<std::optional<std::string>>();
    road.make = [&r, clean_jobs] { return std::make_unique<SheetRoadRun>(r, clean_jobs); };
    sim::testing::SweepRoad(road, &figures);
    ASSERT_TRUE(clean_jobs->has_value());
  }
  figures.Print("sheet sweep");
  EXPECT_GT(figures.runs, 0);
  EXPECT_EQ(figures.findings, std::vector<std::string>{});
}

}  // namespace
}  // namespace kit::plugin
