// The plug-in object (IPrintOemUI) and its class factory.
//
// Both are plain records whose first member is the interface the host holds,
// so an interface pointer and the object's address are the same. Reference
// counts start at 1 and change with interlocked operations; the object at
// zero gives back the driver interface it holds and frees itself.
// This file is OS-independent.
#pragma once

#include <atomic>

#include "plugin/core/com/interfaces.h"
#include "plugin/core/com/sheet_context.h"

namespace kit::plugin::com {

struct OemUiObject : IPrintOemUI {
  OemUiObject();
  ~OemUiObject();
  OemUiObject(const OemUiObject&) = delete;
  OemUiObject& operator=(const OemUiObject&) = delete;

  std::atomic<ULONG> refs{1};
  IPrintOemDriverUI* driver = nullptr;  // null until PublishDriverInterface
  DeviceSheetContext device_sheet;
  DocumentSheetContext document_sheet;
};


// The object behind an interface pointer the plug-in handed out.
inline OemUiObject* ObjectOf(IPrintOemUI* iface) { return static_cast<OemUiObject*>(iface); }

// The class factory's creation of the plug-in object (plugin/module).
HRESULT CreateOemUiObject(const GUID* riid, void** ppv);

}  // namespace kit::plugin::com
