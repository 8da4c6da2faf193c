// The rendering plug-in's COM object: a thin shell over the portable job
// (plugin/render/core). The universal driver calls GetInfo, DevMode,
// PublishDriverInterface and GetImplementedMethod on every plug-in; this one
// hooks the driver's Start of Document for the document's name
// (EnableDriver, DisableDriver), keeps one job per PDEV (EnablePDEV,
// ResetPDEV, DisablePDEV) and takes the data file's event callbacks
// (CommandCallback) and the page's bands (ImageProcessing, sending them to
// the spooler itself), and prints the model's device fonts (SendFontCmd,
// OutputCharStr: the strings kept in the page until its end). Every other method
// answers E_NOTIMPL, as the documentation allows.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/core/com/last_error.h"
#include "plugin/core/com/module_state.h"
#include "plugin/core/com/oem_ui_core.h"
#include "plugin/core/font/control_font_file.h"
#include "plugin/module/com_server.h"
#include "plugin/render/com/render_interfaces.h"
#include "plugin/render/com/render_module.h"
#include "plugin/render/core/render_job.h"
#include "print/model/model_table.h"

namespace kit::plugin::render_com {
namespace {

using com::kENoInterface;
using com::kENotImpl;
using com::kEFail;
using com::kEPointer;
using com::kSFalse;
using com::kSOk;

constexpr DWORD kSignature = 0x56513430;  // "VQ40", the private record's signature
// The driver's 1-bit band holds the GDI palette (0 black, 1 white).
constexpr bool kBandOneIsInk = false;

RenderModule g_module;

// ---- the driver's spool buffer and the module's files, for the job -----------

class ShellHost final : public render::RenderHost {
 public:
  ShellHost(IPrintOemDriverUni* driver, DEVOBJ* devobj) : driver_(driver), devobj_(devobj) {}
  void Rebind(DEVOBJ* devobj) { devobj_ = devobj; }

  bool Write(std::span<const std::uint8_t> bytes) override {
    if (driver_ == nullptr) return false;
    DWORD written = 0;
    const HRESULT hr = driver_->lpVtbl->DrvWriteSpoolBuf(driver_, devobj_, const_cast<std::uint8_t*>(bytes.data()),
                                                        static_cast<DWORD>(bytes.size()), &written);
    return hr == kSOk && written == bytes.size();
  }
  std::optional<std::vector<std::uint8_t>> ReadFile(const std::u16string& path) override {
    constexpr std::uint64_t kMaxPicture = 64u << 20;
    if (g_module.files == nullptr) return std::nullopt;
    Bytes content;
    if (!g_module.files->ReadFile(path, kMaxPicture, &content)) return std::nullopt;
    return std::vector<std::uint8_t>(content.begin(), content.end());
  }
  void AppendFile(const std::u16string& path, const std::string& text) override {
    if (g_module.files == nullptr) return;
    // The whole folder path: one that exists already refuses harmlessly.
    for (const std::u16string& folder : render::FoldersOfFile(path)) g_module.files->CreateDirectory(folder);
    g_module.files->WriteFile(path, Bytes(text.begin(), text.end()), WriteMode::kOpenAlwaysAppend);
  }
  render::LogTime Now() override {
    if (g_module.clock == nullptr) return {};
    const SystemTime t = g_module.clock->GetLocalTime();
    return {t.year, t.month, t.day, t.hour, t.minute, t.second};
  }

 private:
  IPrintOemDriverUni* driver_;
  DEVOBJ* devobj_;
};

// The plug-in's PDEV: one job, on the model this module serves.
struct Pdev {
  Pdev(IPrintOemDriverUni* driver, DEVOBJ* devobj, const print::model::Model& model, render::RenderSettings settings,
       render::JobIdentity identity)
      : host(driver, devobj), job(host, model, std::move(settings), std::move(identity)) {}
  ShellHost host;
  render::RenderJob job;
  // The driver's own Start of Document, which the plug-in's hook hands on to.
  DrvStartDocFunction driver_start_doc = nullptr;
};

struct RenderPlugin {
  IPrintOemUni iface;
  std::atomic<long> refs{1};
  IPrintOemDriverUni* driver = nullptr;
};

RenderPlugin* Self(void* p) { return reinterpret_cast<RenderPlugin*>(p); }
Pdev* PdevOf(DEVOBJ* devobj) { return devobj != nullptr ? static_cast<Pdev*>(devobj->pdevOEM) : nullptr; }

std::span<const std::uint8_t> OemRecord(const DEVOBJ* devobj) {
  if (devobj == nullptr || devobj->pOEMDM == nullptr) return {};
  DWORD size = 0;
  std::memcpy(&size, devobj->pOEMDM, sizeof size);
  return {static_cast<const std::uint8_t*>(devobj->pOEMDM), std::min<std::size_t>(size, kPrivateDevModeSize)};
}

HRESULT KIT_STDCALL QueryInterface(IUnknown* self, const GUID* riid, void** ppv) {
  if (ppv == nullptr) return kEPointer;
  *ppv = nullptr;
  if (riid == nullptr) return kENoInterface;
  if (*riid == com::kIidIUnknown || *riid == kIidIPrintOemUni) {
    *ppv = self;
    ++Self(self)->refs;
    return kSOk;
  }
  return kENoInterface;
}
ULONG KIT_STDCALL AddRef(IUnknown* self) { return static_cast<ULONG>(++Self(self)->refs); }
ULONG KIT_STDCALL Release(IUnknown* self) {
  RenderPlugin* plugin = Self(self);
  const long left = --plugin->refs;
  if (left == 0) {
    if (plugin->driver != nullptr) plugin->driver->lpVtbl->Release(reinterpret_cast<IUnknown*>(plugin->driver));
    delete plugin;
    com_server::DecrementLiveObjects();
  }
  return static_cast<ULONG>(left);
}

HRESULT KIT_STDCALL GetInfo(IPrintOemUni*, DWORD mode, void* buffer, DWORD size, DWORD* needed) {
  if (needed == nullptr) return kEFail;
  *needed = sizeof(DWORD);
  if (buffer == nullptr || size < sizeof(DWORD)) return kEFail;
  DWORD value = 0;
  switch (mode) {
    case kOemGetSignature: value = kSignature; break;
    case kOemGetInterfaceVersion: value = kPrinterOemIntfVersion; break;
    case kOemGetVersion: value = kPluginVersion; break;
    default: return kEFail;
  }
  std::memcpy(buffer, &value, sizeof value);
  return kSOk;
}

// The UI plug-in's own DevMode: both sides must treat the record alike.
HRESULT KIT_STDCALL DevMode(IPrintOemUni*, DWORD mode, OEMDMPARAM* param) { return com::DevModeCore(mode, param); }

HRESULT KIT_STDCALL PublishDriverInterface(IPrintOemUni* self, IUnknown* unknown) {
  RenderPlugin* plugin = Self(self);
  if (plugin->driver != nullptr) return kSOk;
  if (unknown == nullptr) return kEFail;
  void* driver = nullptr;
  if (unknown->lpVtbl->QueryInterface(unknown, &kIidIPrintOemDriverUni, &driver) != kSOk || driver == nullptr) {
    return kEFail;
  }
  plugin->driver = static_cast<IPrintOemDriverUni*>(driver);
  return kSOk;
}

HRESULT KIT_STDCALL GetImplementedMethod(IPrintOemUni*, char* name) {
  if (name == nullptr) return kSFalse;
  const std::string_view method(name);
  for (std::string_view implemented : {"GetInfo", "DevMode", "PublishDriverInterface", "GetImplementedMethod",
                                       "EnableDriver", "DisableDriver", "EnablePDEV", "DisablePDEV", "ResetPDEV", "CommandCallback",
                                       "ImageProcessing", "OutputCharStr", "SendFontCmd"}) {
    if (method == implemented) return kSOk;
  }
  return kSFalse;
}

// ---- the driver's Start of Document, hooked for the document's name -----------

// The job learns the document's name here (the driver log names it), then
// the driver starts the document as it would unhooked.
BOOL KIT_STDCALL HookedStartDoc(SURFOBJ* surface, WCHAR* document, DWORD job_id) {
  auto* devobj = surface != nullptr ? static_cast<DEVOBJ*>(surface->dhpdev) : nullptr;
  Pdev* pdev = PdevOf(devobj);
  if (pdev == nullptr || pdev->driver_start_doc == nullptr) return 0;
  if (document != nullptr) pdev->job.NameDocument(document);
  return pdev->driver_start_doc(surface, document, job_id);
}

DRVFN g_hooks[] = {{kIndexDrvStartDoc, reinterpret_cast<PFN>(&HookedStartDoc)}};

HRESULT KIT_STDCALL EnableDriver(IPrintOemUni*, DWORD, DWORD size, DRVENABLEDATA* table) {
  if (table == nullptr || size < sizeof(DRVENABLEDATA)) return kEFail;
  table->iDriverVersion = kPrinterOemIntfVersion;
  table->c = static_cast<ULONG>(std::size(g_hooks));
  table->pdrvfn = g_hooks;
  return kSOk;
}

HRESULT KIT_STDCALL DisableDriver(IPrintOemUni*) { return kSOk; }

HRESULT KIT_STDCALL EnablePDEV(IPrintOemUni* self, DEVOBJ* devobj, WCHAR* printer, ULONG, void*, ULONG, void*,
                               ULONG device_info_size, void* device_info, DRVENABLEDATA* driver_functions,
                               void** pdev_out) {
  if (devobj == nullptr || pdev_out == nullptr) return kEFail;
  *pdev_out = nullptr;
  if (g_module.model == nullptr) return kEFail;  // a module of no model's name
  const std::u16string system_directory = g_module.system != nullptr ? g_module.system->GetSystemDirectory() : u"";
  render::JobIdentity identity;
  if (printer != nullptr) identity.printer = printer;
  if (g_module.system != nullptr) {
    identity.temp_folder = g_module.system->GetTempPath();
    g_module.system->SHGetSpecialFolderPath(kCsidlCommonAppData, false, &identity.common_app_data);
  }
  const std::size_t system_folder = system_directory.rfind(u'\\');
  if (system_folder != std::u16string::npos) {
    identity.control_font_path = font::ControlFontPath(system_directory.substr(0, system_folder));
  }
  // A model without a UI plug-in has no page that sets the record: it
  // prints with the defaults, which the encoder fits to what the model has.
  const std::span<const std::uint8_t> record =
      g_module.model->ui_plugin.empty() ? std::span<const std::uint8_t>() : OemRecord(devobj);
  auto* pdev = new (std::nothrow) Pdev(Self(self)->driver, devobj, *g_module.model,
                                       render::ReadSettings(record, system_directory), std::move(identity));
  if (pdev == nullptr) return kEFail;
  // "Print all text as graphics": GDI gets no device font (EnablePDEV may
  // change the DEVINFO the driver hands GDI), so every text, the barcode and
  // control fonts' too, is drawn by GDI into the page's raster.
  if (pdev->job.settings().record.PrintAsGraphics != 0 && device_info != nullptr &&
      device_info_size >= kDevInfoFontCountOffset + sizeof(ULONG)) {
    const ULONG none = 0;
    std::memcpy(static_cast<BYTE*>(device_info) + kDevInfoFontCountOffset, &none, sizeof none);
  }
  pdev->driver_start_doc = reinterpret_cast<DrvStartDocFunction>(FindDriverFunction(driver_functions, kIndexDrvStartDoc));
  *pdev_out = pdev;
  return kSOk;
}

HRESULT KIT_STDCALL DisablePDEV(IPrintOemUni*, DEVOBJ* devobj) {
  delete PdevOf(devobj);
  if (devobj != nullptr) devobj->pdevOEM = nullptr;
  return kSOk;
}

// A new PDEV within the same job (a device-mode change between pages): the
// job carries on with the old one's state.
HRESULT KIT_STDCALL ResetPDEV(IPrintOemUni*, DEVOBJ* old_devobj, DEVOBJ* new_devobj) {
  Pdev* old_pdev = PdevOf(old_devobj);
  Pdev* new_pdev = PdevOf(new_devobj);
  if (old_pdev == nullptr || new_pdev == nullptr) return kEFail;
  new_pdev->job.CarryOver(old_pdev->job);
  return kSOk;
}

HRESULT KIT_STDCALL CommandCallback(IPrintOemUni*, DEVOBJ* devobj, DWORD id, DWORD count, DWORD* params,
                                    INT* result) {
  Pdev* pdev = PdevOf(devobj);
  if (result != nullptr) *result = 0;
  if (pdev == nullptr) return kEFail;
  pdev->host.Rebind(devobj);
  std::vector<std::uint32_t> values;
  if (params != nullptr) values.assign(params, params + count);
  return pdev->job.Callback(id, values) ? kSOk : kEFail;
}

// ---- device fonts ----------------------------------------------------------------

// The font's selection (or its undo) as the metrics carry it: kept for the
// next string, so that it prints at the string's line of the page.
HRESULT KIT_STDCALL SendFontCmd(IPrintOemUni*, DEVOBJ* devobj, void*, void* invocation) {
  Pdev* pdev = PdevOf(devobj);
  const auto* command = static_cast<const FINVOCATION*>(invocation);
  if (pdev == nullptr || command == nullptr) return kEFail;
  if (command->dwCount != 0 && command->pubCommand != nullptr) {
    pdev->job.FontCommand(std::span<const std::uint8_t>(command->pubCommand, command->dwCount));
  }
  return kSOk;
}

// A string in one of the model's device fonts: its characters from the
// driver (glyph handles or ids to Unicode), printed at the cursor.
HRESULT KIT_STDCALL OutputCharStr(IPrintOemUni*, DEVOBJ* devobj, void* font_object, DWORD type, DWORD count,
                                  void* glyphs) {
  Pdev* pdev = PdevOf(devobj);
  auto* font = static_cast<UNIFONTOBJ*>(font_object);
  if (pdev == nullptr || font == nullptr || font->pfnGetInfo == nullptr || (count != 0 && glyphs == nullptr) ||
      (type != kTypeGlyphHandle && type != kTypeGlyphId)) {
    return kEFail;
  }
  std::u16string text(count, u'\0');
  if (count != 0) {
    GETINFO_GLYPHSTRING request{sizeof(GETINFO_GLYPHSTRING), count, type, glyphs, kTypeUnicode, text.data(), 0};
    DWORD needed = 0;
    if (!font->pfnGetInfo(font, kUfoGetInfoGlyphString, &request, sizeof request, &needed)) return kEFail;
  }
  pdev->host.Rebind(devobj);
  return pdev->job.PrintText(static_cast<int>(font->ulFontID), text) ? kSOk : kEFail;
}

// Every band of the page; the plug-in sends the page itself at End of Page
// (*ppbResult TRUE), so the driver sends no raster of its own.
HRESULT KIT_STDCALL ImageProcessing(IPrintOemUni*, DEVOBJ* devobj, BYTE* bits, BITMAPINFOHEADER* info, BYTE*, DWORD,
                                    IPPARAMS* params, BYTE** result) {
  Pdev* pdev = PdevOf(devobj);
  if (pdev == nullptr || info == nullptr || params == nullptr || result == nullptr) return kEFail;
  *result = reinterpret_cast<BYTE*>(static_cast<std::uintptr_t>(1));  // TRUE: handled here
  if (params->bBlankBand || bits == nullptr) {
    if (info->biHeight != 0) pdev->job.AddBlankBand(params->ptOffset.y, info->biHeight > 0 ? info->biHeight : -info->biHeight);
    return kSOk;
  }
  if (info->biBitCount != 1 || info->biWidth <= 0 || info->biHeight == 0) {
    *result = nullptr;  // FALSE
    return kEFail;
  }
  // The rows are top-down whatever the sign of biHeight (Microsoft,
  // IPrintOemUni::ImageProcessing, "Source bitmap characteristics"): the
  // sign says nothing of the order here, only the size counts.
  const int height = info->biHeight > 0 ? info->biHeight : -info->biHeight;
  render::Band band;
  band.bits = bits;
  band.stride = ((static_cast<std::size_t>(info->biWidth) + 31) / 32) * 4;  // DIB rows end on 4 bytes
  band.width = info->biWidth;
  band.height = height;
  band.x = params->ptOffset.x;
  band.y = params->ptOffset.y;
  band.one_is_ink = kBandOneIsInk;
  pdev->host.Rebind(devobj);
  pdev->job.AddBand(band);
  return kSOk;
}

template <typename... Args>
HRESULT KIT_STDCALL NotImplemented(IPrintOemUni*, Args...) {
  return kENotImpl;
}

const IPrintOemUniVtbl kVtbl = {
    QueryInterface,
    AddRef,
    Release,
    GetInfo,
    DevMode,
    EnableDriver,
    DisableDriver,
    EnablePDEV,
    DisablePDEV,
    ResetPDEV,
    PublishDriverInterface,
    GetImplementedMethod,
    NotImplemented<void*, void*, DWORD, DWORD*>,  // DriverDMS
    CommandCallback,
    ImageProcessing,
    NotImplemented<DEVOBJ*, BYTE*, DWORD>,                                        // FilterGraphics
    NotImplemented<DEVOBJ*, BYTE*, BYTE*, DWORD, DWORD, INT*>,                    // Compression
    NotImplemented<DEVOBJ*, BYTE*, DWORD, DWORD, DWORD, DWORD, BYTE*, DWORD>,     // HalftonePattern
    NotImplemented<DEVOBJ*, void*>,                                               // MemoryUsage
    NotImplemented<DEVOBJ*, DWORD, void*, DWORD, DWORD*>,                         // TTYGetInfo
    NotImplemented<DEVOBJ*, void*, DWORD*>,                                       // DownloadFontHeader
    NotImplemented<DEVOBJ*, void*, ULONG, DWORD*, DWORD*>,                        // DownloadCharGlyph
    NotImplemented<DEVOBJ*, void*, DWORD*>,                                       // TTDownloadMethod
    OutputCharStr,
    SendFontCmd,
    NotImplemented<void*, void*, void*, void*, void*, void*, void*, void*, void*, ULONG>,  // TextOutAsBitmap
};

// ---- the object the class factory makes ---------------------------------------

HRESULT CreateRenderPlugin(const GUID* riid, void** ppv) {
  auto* plugin = com_server::AllocationAllowed() ? new (std::nothrow) RenderPlugin{{&kVtbl}} : nullptr;
  if (plugin == nullptr) return com::kEOutOfMemory;
  com_server::IncrementLiveObjects();
  IUnknown* unknown = reinterpret_cast<IUnknown*>(plugin);
  const HRESULT hr = QueryInterface(unknown, riid, ppv);
  Release(unknown);  // the creation reference; destroys the object when the query failed
  return hr;
}

constexpr com_server::ServedClass kServedClass{&kClsidOemRender, CreateRenderPlugin};

}  // namespace

void SetRenderModule(const RenderModule& module) {
  g_module = module;
  if (module.system != nullptr) com::SetSystemDirectory(module.system->GetSystemDirectory());
}
const RenderModule& CurrentRenderModule() { return g_module; }

}  // namespace kit::plugin::render_com

using namespace kit::plugin::render_com;

extern "C" HRESULT KIT_STDCALL DllGetClassObject(const GUID* rclsid, const GUID* riid, void** ppv) {
  return kit::plugin::com_server::GetClassObject(kServedClass, rclsid, riid, ppv);
}

extern "C" HRESULT KIT_STDCALL DllCanUnloadNow() { return kit::plugin::com_server::CanUnloadNow(); }
