// What the rendering plug-in module holds for its lifetime: the facilities
// it reads and writes files through (the watermark picture, the driver log),
// the system's temporary folder and clock. Set at load by the module's entry
// (the real Windows, or the virtual machine of the Linux hosts).
#pragma once

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/system.h"

namespace kit::plugin::render_com {

struct RenderModule {
  Files* files = nullptr;
  SystemFacts* system = nullptr;
  Clock* clock = nullptr;
};

void SetRenderModule(const RenderModule& module);
const RenderModule& CurrentRenderModule();

}  // namespace kit::plugin::render_com
