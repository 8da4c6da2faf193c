// printui-host: loads the VRTQ40UI plug-in the way the universal printer
// driver does and walks it through the host's calling order, printing what
// each step answers. A development and test tool of the Linux build.
//
//   printui-host [--plugin PATH] [--machine FOLDER [--printer NAME]]
//
// With --machine the plug-in runs on that virtual machine (it prepares the
// user's language files there when it is loaded), and --printer names one
// of the machine's printers, whose name the sheets are given.
//
// Steps: DllGetClassObject, CreateInstance, PublishDriverInterface (with this
// host's own driver interface), GetInfo (signature, version), DevMode (size,
// defaults, validate), CommonUIProp for both sheets, DocumentPropertySheets
// and DevicePropertySheets with the sheet's first request, Release and
// DllCanUnloadNow. Exit code 0 when every step answered as a host expects.
#include <dlfcn.h>

#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/types.h"
#include "plugin/core/com/interfaces.h"
#include "plugin/host/host_driver.h"
#include "plugin/core/devmode/private_devmode.h"

namespace {

using namespace kit::plugin::com;

constexpr DWORD kGetSignature = 1, kGetVersion = 3;
constexpr DWORD kDevModeSize = 1, kDevModeDefault = 2, kDevModeValidate = 4;
constexpr DWORD kDocumentSheet = 1, kDeviceSheet = 2;
constexpr WORD kPropSheetUiVersion = 0x0100;
constexpr WORD kReasonInit = 0;

using kit::plugin::host::HostDriver;

LONG_PTR KIT_STDCALL SheetCallback(HANDLE, UINT function, LPARAM, LPARAM) {
  std::printf("sheet: callback function %u\n", function);
  return 1;
}

int g_failures = 0;

// The language the plug-in chose for the user on the machine.
void ShowLanguage(kit::Platform& platform) {
  kit::RegistryKeyPtr key;
  kit::WString value = u"(none)";
  if (platform.registry.RegOpenKeyEx(kit::RootKey::kCurrentUser, u"SOFTWARE\\VELDRAN\\LANGUAGE\\", kit::kKeyRead,
                                     &key) == kit::win32::kErrorSuccess) {
    key->GetString(u"LANGUAGE_VRTQ40", &value);
  }
  std::printf("machine: the user's language file is %s\n", kit::ToUtf8(value).c_str());
}

void Step(const char* what, HRESULT hr, HRESULT expected) {
  std::printf("%-36s 0x%08X%s\n", what, static_cast<unsigned>(hr), hr == expected ? "" : "  (unexpected)");
  if (hr != expected) ++g_failures;
}

}  // namespace

int main(int argc, char** argv) {
  std::string plugin_path = KIT_DEFAULT_PLUGIN_PATH;
  std::string machine_folder;
  std::u16string printer = u"VRT-Q40 Receipt";
  bool printer_given = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) {
      plugin_path = argv[++i];
    } else if (std::strcmp(argv[i], "--machine") == 0 && i + 1 < argc) {
      machine_folder = argv[++i];
    } else if (std::strcmp(argv[i], "--printer") == 0 && i + 1 < argc) {
      printer = kit::FromUtf8(argv[++i]);
      printer_given = true;
    } else {
      std::fprintf(stderr, "usage: printui-host [--plugin PATH] [--machine FOLDER [--printer NAME]]\n");
      return 2;
    }
  }

  std::unique_ptr<kit::sim::Machine> machine;
  if (!machine_folder.empty()) {
    std::string error;
    machine = kit::sim::Machine::Open(machine_folder, {}, &error);
    if (machine == nullptr) {
      std::fprintf(stderr, "printui-host: %s\n", error.c_str());
      return 1;
    }
    kit::PrinterHandle handle;
    if (printer_given && !machine->platform().spooler.OpenPrinter(printer, {}, &handle)) {
      std::fprintf(stderr, "printui-host: the machine has no printer \"%s\"\n", kit::ToUtf8(printer).c_str());
      return 1;
    }
    ::setenv(kit::sim::kEnvMachine, machine_folder.c_str(), 1);  // the plug-in's machine, read at load
  }

  void* module = dlopen(plugin_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    std::fprintf(stderr, "printui-host: cannot load %s: %s\n", plugin_path.c_str(), dlerror());
    return 1;
  }
  using GetClassObject = HRESULT(KIT_STDCALL*)(const GUID*, const GUID*, void**);
  using CanUnloadNow = HRESULT(KIT_STDCALL*)();
  auto get_class_object = reinterpret_cast<GetClassObject>(dlsym(module, "DllGetClassObject"));
  auto can_unload_now = reinterpret_cast<CanUnloadNow>(dlsym(module, "DllCanUnloadNow"));
  if (get_class_object == nullptr || can_unload_now == nullptr) {
    std::fprintf(stderr, "printui-host: %s lacks the COM exports\n", plugin_path.c_str());
    return 1;
  }
  std::printf("plug-in: %s\n", plugin_path.c_str());
  if (machine) ShowLanguage(machine->platform());

  void* out = nullptr;
  Step("DllGetClassObject", get_class_object(&kClsidOemUi, &kIidIClassFactory, &out), kSOk);
  auto* factory = static_cast<IClassFactory*>(out);
  if (factory == nullptr) return 1;
  Step("IClassFactory::CreateInstance", factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &out),
       kSOk);
  factory->lpVtbl->Release(AsUnknown(factory));
  auto* ui = static_cast<IPrintOemUI*>(out);
  if (ui == nullptr) return 1;
  const auto& v = *ui->lpVtbl;

  HostDriver driver;
  Step("PublishDriverInterface", v.PublishDriverInterface(ui, AsUnknown(static_cast<IPrintOemDriverUI*>(&driver))),
       kSOk);

  DWORD value = 0, needed = 0;
  Step("GetInfo(signature)", v.GetInfo(ui, kGetSignature, &value, sizeof value, &needed), kSOk);
  std::printf("  signature 0x%08X\n", value);
  Step("GetInfo(version)", v.GetInfo(ui, kGetVersion, &value, sizeof value, &needed), kSOk);
  std::printf("  version %u\n", value);

  OEMDMPARAM dm{};
  dm.cbSize = sizeof dm;
  Step("DevMode(size)", v.DevMode(ui, kDevModeSize, &dm), kSOk);
  std::printf("  private record %u bytes\n", dm.cbBufSize);
  std::vector<std::uint8_t> record(dm.cbBufSize), validated(dm.cbBufSize);
  dm.pOEMDMOut = record.data();
  Step("DevMode(defaults)", v.DevMode(ui, kDevModeDefault, &dm), kSOk);
  dm.pOEMDMIn = record.data();
  dm.pOEMDMOut = validated.data();
  Step("DevMode(validate)", v.DevMode(ui, kDevModeValidate, &dm), kSOk);
  if (validated.size() == kit::kPrivateDevModeSize) {
    const kit::PrivateDevMode decoded =
        kit::Decode(kit::ConstPrivateDevModeSpan(validated.data(), kit::kPrivateDevModeSize));
    std::printf("  end of document: cut type %u, feed to cut %u; log folder %s\n", decoded.EndDocOp.CutType,
                decoded.EndDocOp.FeedToCut, kit::ToUtf8(kit::TextOf(decoded.LogDirectory)).c_str());
  }

  std::vector<char16_t> printer_name(printer.begin(), printer.end());
  printer_name.push_back(u'\0');
  OEMCUIPPARAM cuip{};
  cuip.cbSize = sizeof cuip;
  cuip.pPrinterName = printer_name.data();
  cuip.pOEMDM = validated.data();
  Step("CommonUIProp(document)", v.CommonUIProp(ui, kDocumentSheet, &cuip), kSOk);
  Step("CommonUIProp(printer)", v.CommonUIProp(ui, kDeviceSheet, &cuip), kSOk);

  OEMUIPSPARAM ps{};
  ps.cbSize = sizeof ps;
  ps.pPrinterName = printer_name.data();
  ps.pOEMDM = validated.data();
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.Version = kPropSheetUiVersion;
  info.Reason = kReasonInit;
  info.pfnComPropSheet = SheetCallback;
  info.lParamInit = reinterpret_cast<LPARAM>(&ps);
  const HRESULT document = v.DocumentPropertySheets(ui, &info, 0);
  std::printf("%-36s 0x%08X%s\n", "DocumentPropertySheets(init)", static_cast<unsigned>(document),
              document == kENotImpl ? "  (no pages in this build)" : "");
  const HRESULT device = v.DevicePropertySheets(ui, &info, 0);
  std::printf("%-36s 0x%08X%s\n", "DevicePropertySheets(init)", static_cast<unsigned>(device),
              device == kENotImpl ? "  (no pages in this build)" : "");

  Step("DllCanUnloadNow (object alive)", can_unload_now(), kSFalse);
  std::printf("%-36s %u\n", "Release", v.Release(AsUnknown(ui)));
  if (driver.refs != 1) {
    std::printf("  the driver interface was not given back (%u references)\n", driver.refs);
    ++g_failures;
  }
  Step("DllCanUnloadNow", can_unload_now(), kSOk);
  dlclose(module);
  std::printf("%s\n", g_failures == 0 ? "all steps answered as expected" : "some steps answered unexpectedly");
  return g_failures == 0 ? 0 : 1;
}
