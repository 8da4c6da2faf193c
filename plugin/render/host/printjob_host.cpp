// printjob-host: plays the universal printer driver's part for the rendering
// plug-in, as printui-sheets plays the sheet's. It loads the plug-in module
// through its exports, reads the job's order of commands from the printer's
// data file, and prints the pages of a picture or a PDF:
//
//   printjob-host JOB.pdf|PAGE.pgm... --printer P [--machine M | --record FILE]
//                 [--gpd FILE] [--plugin MODULE] [--document NAME] -o JOB.bin
//
// The data file's *ModelName names the model: the pages are laid out at its
// width, and without --plugin its own rendering module of this build prints.
// The calls, in the documented order: DllGetClassObject, CreateInstance,
// GetInfo, PublishDriverInterface (the host's driver interface, whose
// DrvWriteSpoolBuf captures the spooler's bytes), EnableDriver (the driver
// functions the plug-in hooks), DevMode (size; defaults, or with --machine
// the printer's saved record converted by the plug-in: what the document
// sheet saved is what prints), EnablePDEV (with the host's own driver
// functions); Start of Document, through the plug-in's hook when it has one,
// with the document's name (--document, else the first input's file name)
// and job id 1; then the commands of JOB_SETUP and DOC_SETUP, per page those of PAGE_SETUP, the page's bands to
// ImageProcessing (1-bit DIBs, rows top-down, 0 black), those of PAGE_FINISH;
// then DOC_FINISH and JOB_FINISH; DisablePDEV, DisableDriver, Release. A command with a
// callback id goes to CommandCallback, a plain one is written as the driver
// writes it. Exit 0 when every call answered as the driver expects. The
// Windows build (run under Wine) loads VRTQ40R.dll and takes a saved record
// with --record; it prints PGM pages only.
#ifdef _WIN32
extern "C" __declspec(dllimport) void* __stdcall LoadLibraryA(const char* name);
extern "C" __declspec(dllimport) void* __stdcall GetProcAddress(void* module, const char* name);
#else
#include <dlfcn.h>
#include <stdlib.h>
#endif

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include "platform/sim/machine.h"
#endif
#include "platform/types.h"
#include "plugin/render/com/render_interfaces.h"
#include "plugin/render/host/job_script.h"
#include "plugin/render/host/page_source.h"
#include "plugin/render/host/text_page.h"
#include "print/gpd/gpd_file.h"
#include "print/model/model_table.h"

namespace {

using namespace kit::plugin::render_com;
namespace host = kit::plugin::render_host;
using kit::plugin::com::kSOk;

constexpr DWORD kDevModeSize = 1, kDevModeDefault = 2, kDevModeConvert = 3;
constexpr int kBandRows = 128;   // rows of one band, as a driver bands a page
constexpr int kInkBelow = 128;   // grey below this prints
constexpr char kRecordFolder[] = "printui";

struct Options {
  std::vector<std::string> inputs;
  std::string printer, machine, record, gpd = KIT_DEFAULT_GPD_PATH, plugin, output, document;
  std::string fonts = KIT_DEFAULT_FONT_METRICS;
};

// The model's own rendering module of this build, as the model's plug-in
// list names it: <folder>/VRTD45R.dll, or libVRTD45R.so in the Linux build.
std::string ModuleOfModel(const kit::print::model::Model& model) {
  return std::string(KIT_RENDER_MODULE_FOLDER) + "/" + KIT_MODULE_PREFIX + std::string(model.token) + "R" +
         KIT_MODULE_SUFFIX;
}

// A page to print: its raster, and the text runs of a page description.
struct HostPage {
  host::GreyPage grey;
  std::vector<host::TextRun> runs;
};

// The host's glyph handles are the characters' Unicode values; GetInfo
// turns them back into the characters, as the driver does through the
// font's translation (UFO_GETINFO_GLYPHSTRING, TYPE_GLYPHHANDLE to TYPE_UNICODE).
BOOL KIT_STDCALL HostFontInfo(UNIFONTOBJ*, DWORD id, void* data, DWORD size, DWORD* needed) {
  if (needed != nullptr) *needed = sizeof(GETINFO_GLYPHSTRING);
  auto* request = static_cast<GETINFO_GLYPHSTRING*>(data);
  if (id != kUfoGetInfoGlyphString || request == nullptr || size < sizeof(GETINFO_GLYPHSTRING) ||
      request->dwTypeIn != kTypeGlyphHandle || request->dwTypeOut != kTypeUnicode) {
    return 0;
  }
  const auto* handles = static_cast<const DWORD*>(request->pGlyphIn);
  auto* out = static_cast<WCHAR*>(request->pGlyphOut);
  for (DWORD i = 0; i < request->dwCount; ++i) out[i] = static_cast<WCHAR>(handles[i]);
  return 1;
}

// The callback id of a command of the GPD (CmdXMoveAbsolute, ...); 0 for none.
DWORD CallbackOf(const std::string& gpd_text, const std::string& command) {
  const kit::print::gpd::GpdFile file = kit::print::gpd::ReadGpd(gpd_text);
  for (const kit::print::gpd::Entry* e : kit::print::gpd::All(file.root, "Command")) {
    if (kit::print::gpd::ConstructName(*e) != command) continue;
    const kit::print::gpd::Entry* id = kit::print::gpd::First(e->children, "CallbackID");
    return id != nullptr ? static_cast<DWORD>(std::strtoul(id->value.c_str(), nullptr, 10)) : 0;
  }
  return 0;
}
// The spooler's job id the host's document has.
constexpr DWORD kJobId = 1;

int failures = 0;
void Check(const char* step, bool ok) {
  if (!ok) {
    std::fprintf(stderr, "printjob-host: %s failed\n", step);
    ++failures;
  }
}

// The host's driver interface: DrvWriteSpoolBuf appends to the job.
struct HostDriver {
  IPrintOemDriverUni iface;
  std::vector<std::uint8_t>* job;
};
HRESULT KIT_STDCALL DriverQi(IUnknown* self, const GUID* riid, void** ppv) {
  *ppv = (*riid == kIidIPrintOemDriverUni || *riid == kit::plugin::com::kIidIUnknown) ? self : nullptr;
  return *ppv != nullptr ? kSOk : kit::plugin::com::kENoInterface;
}
ULONG KIT_STDCALL DriverRef(IUnknown*) { return 1; }
HRESULT KIT_STDCALL DriverWrite(IPrintOemDriverUni* self, DEVOBJ*, void* buffer, DWORD size, DWORD* written) {
  auto* bytes = static_cast<const std::uint8_t*>(buffer);
  reinterpret_cast<HostDriver*>(self)->job->insert(reinterpret_cast<HostDriver*>(self)->job->end(), bytes, bytes + size);
  if (written != nullptr) *written = size;
  return kSOk;
}
const IPrintOemDriverUniVtbl kDriverVtbl = {DriverQi, DriverRef, DriverRef, nullptr, DriverWrite,
                                            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

// The driver's own Start of Document, as the driver hands it to EnablePDEV:
// counts its calls and keeps the name it was given.
int driver_start_docs = 0;
std::u16string started_document;
BOOL KIT_STDCALL DriverStartDoc(SURFOBJ*, WCHAR* document, DWORD) {
  ++driver_start_docs;
  if (document != nullptr) started_document = document;
  return 1;
}
DRVFN driver_functions[] = {{kIndexDrvStartDoc, reinterpret_cast<PFN>(&DriverStartDoc)}};

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The printer's record as printui-sheets keeps it in the machine folder, or
// the file --record names; empty when there is none. A record shorter than
// its own size field (the first four bytes) is refused: the plug-in would
// read the size it claims. Sets `refusal` to the one line saying why.
std::vector<std::uint8_t> SavedRecord(const Options& o, std::string& refusal) {
  std::string path = o.record;
  if (path.empty()) {
    if (o.machine.empty()) return {};
    std::string name = o.printer;
    for (char& c : name) {
      if (std::strchr("/\\:*?\"<>|", c) != nullptr) c = '_';
    }
    path = (std::filesystem::path(o.machine) / kRecordFolder / (name + ".devmode")).string();
    if (!std::filesystem::exists(path)) return {};  // nothing saved: the defaults print
  }
  const std::string text = ReadText(path);
  std::uint32_t claimed = 0;
  if (text.size() >= sizeof claimed) std::memcpy(&claimed, text.data(), sizeof claimed);  // little-endian
  if (text.size() < sizeof claimed) {
    refusal = path + ": the saved record holds " + std::to_string(text.size()) + " bytes, not even its size field";
    return {};
  }
  if (claimed > text.size()) {
    refusal = path + ": the saved record holds " + std::to_string(text.size()) + " bytes, fewer than its size " +
              std::to_string(claimed);
    return {};
  }
  return {text.begin(), text.end()};
}

#ifndef _WIN32
// The machine --machine names exists and has the printer --printer names;
// else the one line saying which does not.
std::string MachineRefusal(const Options& o) {
  std::string error;
  auto machine = kit::sim::Machine::Open(o.machine, {}, &error);
  if (machine == nullptr) return "--machine " + o.machine + ": " + error;
  kit::PrinterHandle printer;
  if (!machine->platform().spooler.OpenPrinter(kit::FromUtf8(o.printer), {}, &printer)) {
    return "the machine " + o.machine + " has no printer \"" + o.printer + "\"";
  }
  return {};
}
#endif

// One band of a page as Unidrv hands it over: a 1-bit DIB whose rows are
// top-down although its biHeight is positive (Microsoft,
// IPrintOemUni::ImageProcessing, "Source bitmap characteristics"), rows
// padded to four bytes, the GDI palette (0 black, 1 white).
std::vector<std::uint8_t> BandBits(const host::GreyPage& page, int top, int rows, int width, std::size_t stride) {
  std::vector<std::uint8_t> bits(stride * rows, 0xFF);
  for (int r = 0; r < rows; ++r) {
    std::uint8_t* row = bits.data() + static_cast<std::size_t>(r) * stride;
    for (int x = 0; x < width && x < page.width; ++x) {
      if (page.grey[static_cast<std::size_t>(top + r) * page.width + x] < kInkBelow) {
        row[x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
      }
    }
  }
  return bits;
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string& out) { return i + 1 < argc ? (out = argv[++i], true) : false; };
    if (a == "--printer") { if (!value(o.printer)) return false; }
    else if (a == "--machine") { if (!value(o.machine)) return false; }
    else if (a == "--record") { if (!value(o.record)) return false; }
    else if (a == "--gpd") { if (!value(o.gpd)) return false; }
    else if (a == "--plugin") { if (!value(o.plugin)) return false; }
    else if (a == "--document") { if (!value(o.document)) return false; }
    else if (a == "--fonts") { if (!value(o.fonts)) return false; }
    else if (a == "-o") { if (!value(o.output)) return false; }
    else o.inputs.push_back(a);
  }
  return !o.inputs.empty() && !o.printer.empty() && !o.output.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(stderr, "usage: printjob-host JOB.pdf|PAGE.pgm... --printer P [--machine M | --record FILE] "
                         "[--gpd FILE] [--plugin MODULE] [--document NAME] -o JOB.bin\n");
    return 2;
  }
#ifdef _WIN32
  if (!o.machine.empty()) {
    std::fprintf(stderr, "printjob-host: --machine is for the Linux build; give the record with --record\n");
    return 1;
  }
#else
  if (!o.machine.empty()) {
    if (const std::string refusal = MachineRefusal(o); !refusal.empty()) {
      std::fprintf(stderr, "printjob-host: %s\n", refusal.c_str());
      return 1;
    }
  }
#endif
  std::string refusal;
  std::vector<std::uint8_t> saved = SavedRecord(o, refusal);
  if (!refusal.empty()) {
    std::fprintf(stderr, "printjob-host: %s\n", refusal.c_str());
    return 1;
  }
  const host::JobScript script = host::ReadJobScript(ReadText(o.gpd));
  if (!script.error.empty()) {
    std::fprintf(stderr, "printjob-host: %s: %s\n", o.gpd.c_str(), script.error.c_str());
    return 2;
  }
  // The driver knows its printer from the data file's model name, and
  // lays the page out at that model's width.
  const kit::print::model::Model* found = kit::print::model::FindModel(script.model_name);
  if (found == nullptr) {
    std::fprintf(stderr, "printjob-host: %s: \"%s\" is no model of the family\n", o.gpd.c_str(),
                 script.model_name.c_str());
    return 2;
  }
  const kit::print::model::Model& model = *found;
  if (o.plugin.empty()) o.plugin = ModuleOfModel(model);
  const std::string work = std::filesystem::path(o.output).parent_path().string();
  std::vector<HostPage> pages;
  for (const std::string& input : o.inputs) {
    if (std::filesystem::path(input).extension() == ".page") {
      std::string error;
      const auto description = host::ReadPageDescription(ReadText(input), error);
      if (!description) {
        std::fprintf(stderr, "printjob-host: %s: %s\n", input.c_str(), error.c_str());
        return 2;
      }
      pages.push_back({host::GreyOf(*description, model.printable_width_dots), description->runs});
      continue;
    }
    for (auto& page : host::ReadPages(input, model.printable_width_dots, work.empty() ? "." : work)) {
      pages.push_back({std::move(page), {}});
    }
  }
  const std::string gpd_text = ReadText(o.gpd);
  const std::vector<host::DeviceFont> device_fonts = host::ListedFonts(gpd_text, model, o.fonts);
  const DWORD x_move = CallbackOf(gpd_text, "CmdXMoveAbsolute"), y_move = CallbackOf(gpd_text, "CmdYMoveAbsolute");
  if (pages.empty()) {
    std::fprintf(stderr, "printjob-host: no page could be read\n");
    return 2;
  }
#ifdef _WIN32
  void* module = LoadLibraryA(o.plugin.c_str());
  auto symbol = [&](const char* name) { return module != nullptr ? GetProcAddress(module, name) : nullptr; };
#else
  if (!o.machine.empty()) setenv(kit::sim::kEnvMachine, o.machine.c_str(), 1);
  // The spooler renders a local job in its own account (the system's, with
  // the Windows folder's temporary folder), not the printing user's.
  setenv(kit::sim::kEnvAccount, "SYSTEM", 0);
  void* module = dlopen(o.plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
  auto symbol = [&](const char* name) { return module != nullptr ? dlsym(module, name) : nullptr; };
#endif
  if (module == nullptr) {
    std::fprintf(stderr, "printjob-host: cannot load %s\n", o.plugin.c_str());
    return 2;
  }
  using GetClassObject = HRESULT(KIT_STDCALL*)(const GUID*, const GUID*, void**);
  auto get_class_object = reinterpret_cast<GetClassObject>(symbol("DllGetClassObject"));
  void* out = nullptr;
  Check("DllGetClassObject", get_class_object != nullptr &&
                                 get_class_object(&kClsidOemRender, &kit::plugin::com::kIidIClassFactory, &out) == kSOk);
  if (out == nullptr) return 1;
  auto* factory = static_cast<kit::plugin::com::IClassFactory*>(out);
  void* object = nullptr;
  Check("CreateInstance", factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUni, &object) == kSOk);
  factory->lpVtbl->Release(reinterpret_cast<IUnknown*>(factory));
  if (object == nullptr) return 1;
  auto* plugin = static_cast<IPrintOemUni*>(object);
  const IPrintOemUniVtbl& v = *plugin->lpVtbl;

  DWORD signature = 0, needed = 0;
  Check("GetInfo", v.GetInfo(plugin, kOemGetSignature, &signature, sizeof signature, &needed) == kSOk);
  std::vector<std::uint8_t> job;
  HostDriver driver{{&kDriverVtbl}, &job};
  Check("PublishDriverInterface", v.PublishDriverInterface(plugin, reinterpret_cast<IUnknown*>(&driver)) == kSOk);
  DRVENABLEDATA hooks{};
  const HRESULT enabled = v.EnableDriver(plugin, kPrinterOemIntfVersion, sizeof hooks, &hooks);
  Check("EnableDriver", enabled == kSOk || enabled == kit::plugin::com::kENotImpl);

  OEMDMPARAM dm{};
  dm.cbSize = sizeof dm;
  Check("DevMode(size)", v.DevMode(plugin, kDevModeSize, &dm) == kSOk);
  std::vector<std::uint8_t> record(dm.cbBufSize);
  dm.pOEMDMOut = record.data();
  Check("DevMode(defaults)", v.DevMode(plugin, kDevModeDefault, &dm) == kSOk);
  if (!saved.empty()) {
    dm.pOEMDMIn = saved.data();
    Check("DevMode(convert)", v.DevMode(plugin, kDevModeConvert, &dm) == kSOk);
  }

  DEVOBJ devobj{};
  devobj.dwSize = sizeof devobj;
  devobj.pOEMDM = record.data();
  std::u16string printer = kit::FromUtf8(o.printer);
  void* pdev = nullptr;
  DRVENABLEDATA driver_table{kPrinterOemIntfVersion, static_cast<ULONG>(std::size(driver_functions)), driver_functions};
  // The DEVINFO the driver hands GDI: its count of device fonts, which the
  // plug-in may set to 0 (then GDI draws every text itself).
  std::vector<BYTE> device_info(kDevInfoFontCountOffset + 24, 0);
  const ULONG listed = static_cast<ULONG>(device_fonts.size());
  std::memcpy(device_info.data() + kDevInfoFontCountOffset, &listed, sizeof listed);
  Check("EnablePDEV", v.EnablePDEV(plugin, &devobj, printer.data(), 0, nullptr, 0, nullptr,
                                   static_cast<ULONG>(device_info.size()), device_info.data(), &driver_table,
                                   &pdev) == kSOk);
  devobj.pdevOEM = pdev;
  ULONG font_count = 0;
  std::memcpy(&font_count, device_info.data() + kDevInfoFontCountOffset, sizeof font_count);
  int device_runs = 0, raster_runs = 0;

  std::u16string document =
      kit::FromUtf8(o.document.empty() ? std::filesystem::path(o.inputs.front()).filename().string() : o.document);
  SURFOBJ surface{nullptr, nullptr, &devobj};
  auto start_doc = reinterpret_cast<DrvStartDocFunction>(FindDriverFunction(&hooks, kIndexDrvStartDoc));
  if (start_doc == nullptr) start_doc = DriverStartDoc;
  Check("StartDoc", start_doc(&surface, document.data(), kJobId) != 0 && driver_start_docs == 1 &&
                        started_document == document);

  auto run = [&](host::Section section) {
    for (const host::JobCommand* c : host::CommandsOf(script, section)) {
      if (!c->callback) {
        job.insert(job.end(), c->bytes.begin(), c->bytes.end());
        continue;
      }
      INT result = 0;
      Check(c->name.c_str(), v.CommandCallback(plugin, &devobj, c->callback_id, 0, nullptr, &result) == kSOk);
    }
  };
  run(host::Section::kJobSetup);
  run(host::Section::kDocSetup);
  const int width = model.printable_width_dots;
  const std::size_t stride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
  for (HostPage& host_page : pages) {
    run(host::Section::kPageSetup);
    // The text path: each run GDI gives the device font, as the driver
    // prints it: the cursor's moves, the font's selection when it changes,
    // the string's glyphs; the last font's undo after the page's text.
    const host::DeviceFont* selected = nullptr;
    for (const host::TextRun& r : host_page.runs) {
      const host::DeviceFont* font = font_count != 0 ? host::MapFont(device_fonts, r) : nullptr;
      if (font == nullptr) {
        host::DrawText(host_page.grey, r);
        ++raster_runs;
        continue;
      }
      ++device_runs;
      INT result = 0;
      DWORD y = static_cast<DWORD>(r.y), x = static_cast<DWORD>(r.x);
      Check("CmdYMoveAbsolute", y_move != 0 && v.CommandCallback(plugin, &devobj, y_move, 1, &y, &result) == kSOk);
      Check("CmdXMoveAbsolute", x_move != 0 && v.CommandCallback(plugin, &devobj, x_move, 1, &x, &result) == kSOk);
      if (font != selected) {
        if (selected != nullptr && !selected->unselect.empty()) {
          FINVOCATION undo{static_cast<DWORD>(selected->unselect.size()), const_cast<BYTE*>(selected->unselect.data())};
          Check("SendFontCmd", v.SendFontCmd(plugin, &devobj, nullptr, &undo) == kSOk);
        }
        if (!font->select.empty()) {
          FINVOCATION select{static_cast<DWORD>(font->select.size()), const_cast<BYTE*>(font->select.data())};
          Check("SendFontCmd", v.SendFontCmd(plugin, &devobj, nullptr, &select) == kSOk);
        }
        selected = font;
      }
      UNIFONTOBJ font_object{static_cast<ULONG>(font->id), 0, nullptr, HostFontInfo};
      std::vector<DWORD> handles(r.text.begin(), r.text.end());
      Check("OutputCharStr", v.OutputCharStr(plugin, &devobj, &font_object, kTypeGlyphHandle,
                                             static_cast<DWORD>(handles.size()), handles.data()) == kSOk);
    }
    if (selected != nullptr && !selected->unselect.empty()) {
      FINVOCATION undo{static_cast<DWORD>(selected->unselect.size()), const_cast<BYTE*>(selected->unselect.data())};
      Check("SendFontCmd", v.SendFontCmd(plugin, &devobj, nullptr, &undo) == kSOk);
    }
    const host::GreyPage& page = host_page.grey;
    for (int top = 0; top < page.height; top += kBandRows) {
      const int rows = std::min(kBandRows, page.height - top);
      std::vector<std::uint8_t> bits = BandBits(page, top, rows, width, stride);
      BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), width, rows, 1, 1, 0, static_cast<DWORD>(bits.size()), 0, 0, 2, 2};
      IPPARAMS params{sizeof(IPPARAMS), {0, top}, nullptr, 1, 0};
      BYTE* result = nullptr;
      Check("ImageProcessing", v.ImageProcessing(plugin, &devobj, bits.data(), &info, nullptr, script.image_callback,
                                                 &params, &result) == kSOk &&
                                   result != nullptr);
    }
    run(host::Section::kPageFinish);
  }
  run(host::Section::kDocFinish);
  run(host::Section::kJobFinish);
  Check("DisablePDEV", v.DisablePDEV(plugin, &devobj) == kSOk);
  if (enabled == kSOk) Check("DisableDriver", v.DisableDriver(plugin) == kSOk);
  v.Release(reinterpret_cast<IUnknown*>(plugin));

  std::ofstream file(o.output, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(job.data()), static_cast<std::streamsize>(job.size()));
  Check("writing the job", static_cast<bool>(file));
  if (device_runs + raster_runs != 0) {
    std::printf("printjob-host: %d text run(s) in device fonts, %d drawn as raster\n", device_runs, raster_runs);
  }
  std::printf("printjob-host: %zu page(s), %zu bytes to %s\n", pages.size(), job.size(), o.output.c_str());
  return failures == 0 ? 0 : 1;
}
