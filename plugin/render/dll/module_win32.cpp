// VRTQ40R.dll on Windows: at process attach the module takes the real
// Windows' files, system facts and clock for its jobs.
#include <memory>
#include <new>

#include "platform/win32/windows_platform.h"
#include "plugin/module/module_entry.h"
#include "plugin/render/com/render_module.h"

namespace {

struct ModuleFacilities {
  std::unique_ptr<kit::SystemFacts> system = kit::win32::MakeSystemFacts();
  std::unique_ptr<kit::Files> files = kit::win32::MakeFiles();
  std::unique_ptr<kit::Clock> clock = kit::win32::MakeClock();
};

}  // namespace

void* kit::plugin::com_server::AttachModule(void* /*module*/) {
  auto* facilities = new (std::nothrow) ModuleFacilities();
  if (facilities != nullptr) {
    render_com::SetRenderModule({facilities->files.get(), facilities->system.get(), facilities->clock.get()});
  }
  return facilities;
}

void kit::plugin::com_server::DetachModule(void* kept) {
  render_com::SetRenderModule({});
  delete static_cast<ModuleFacilities*>(kept);
}
