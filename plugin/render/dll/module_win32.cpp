// The rendering modules on Windows (VRTQ40R.dll, VRTD45R.dll, ...): at
// process attach the module finds its model from its own file name and takes
// the real Windows' files, system facts and clock for its jobs.
#include <memory>
#include <new>
#include <string>

#include "platform/win32/windows_platform.h"
#include "plugin/module/module_entry.h"
#include "plugin/render/com/render_module.h"

extern "C" {
__declspec(dllimport) unsigned long __stdcall GetModuleFileNameW(void* module, wchar_t* name, unsigned long size);
}

namespace {

constexpr unsigned long kPathCapacity = 32768;  // the longest path Windows hands out

struct ModuleFacilities {
  std::unique_ptr<kit::SystemFacts> system = kit::win32::MakeSystemFacts();
  std::unique_ptr<kit::Files> files = kit::win32::MakeFiles();
  std::unique_ptr<kit::Clock> clock = kit::win32::MakeClock();
};

// The model's token is ASCII; any other character cannot match one.
const kit::print::model::Model* ModelOfModule(void* module) {
  std::wstring path(kPathCapacity, L'\0');
  const unsigned long length = GetModuleFileNameW(module, path.data(), kPathCapacity);
  if (length == 0 || length >= kPathCapacity) return nullptr;
  std::string narrow;
  for (unsigned long i = 0; i < length; ++i) narrow += path[i] < 0x80 ? static_cast<char>(path[i]) : '?';
  return kit::print::model::FindModelOfRenderModule(narrow);
}

}  // namespace

void* kit::plugin::com_server::AttachModule(void* module) {
  auto* facilities = new (std::nothrow) ModuleFacilities();
  if (facilities != nullptr) {
    render_com::SetRenderModule(
        {ModelOfModule(module), facilities->files.get(), facilities->system.get(), facilities->clock.get()});
  }
  return facilities;
}

void kit::plugin::com_server::DetachModule(void* kept) {
  render_com::SetRenderModule({});
  delete static_cast<ModuleFacilities*>(kept);
}
