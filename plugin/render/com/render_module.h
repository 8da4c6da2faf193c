// What the rendering plug-in module holds for its lifetime: the model it
// prints for, the facilities it reads and writes files through (the
// watermark picture, the driver log), the system's temporary folder and
// clock. Set at load by the module's entry (the real Windows, or the virtual
// machine of the Linux hosts).
//
// One source builds one module per model, each named as the model's plug-in
// list names it (VRTQ40R.DLL, VRTD45R.DLL, ...); the module finds its model
// from its own file name (print::model::FindModelOfRenderModule). A module of
// no model's name starts no job (EnablePDEV fails): it would print at another
// model's width.
#pragma once

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/system.h"
#include "print/model/model_table.h"

namespace kit::plugin::render_com {

struct RenderModule {
  const print::model::Model* model = nullptr;
  Files* files = nullptr;
  SystemFacts* system = nullptr;
  Clock* clock = nullptr;
};

void SetRenderModule(const RenderModule& module);
const RenderModule& CurrentRenderModule();

}  // namespace kit::plugin::render_com
