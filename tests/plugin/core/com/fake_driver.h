// A stand-in for the universal driver's IPrintOemDriverUI: counts its
// references, records DrvUpdateUISetting calls, and can refuse to be asked
// for its interface.
#pragma once

#include <vector>

#include "plugin/core/com/interfaces.h"

namespace kit::plugin::com::testing {

struct FakeDriver : IPrintOemDriverUI {
  FakeDriver();
  IUnknown* Unknown() { return com::AsUnknown(static_cast<IPrintOemDriverUI*>(this)); }

  ULONG refs = 1;
  bool refuse_query = false;
  struct Update {
    void* pci;
    void* item;
    DWORD previous;
    DWORD mode;
  };
  std::vector<Update> updates;
};

}  // namespace kit::plugin::com::testing
