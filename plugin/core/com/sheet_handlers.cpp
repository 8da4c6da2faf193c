#include <atomic>

#include "plugin/core/com/sheet_context.h"

namespace kit::plugin::com {
namespace {
std::atomic<DocumentSheetHandler> g_document_handler{nullptr};
std::atomic<DeviceSheetHandler> g_device_handler{nullptr};
}  // namespace

void SetSheetHandlers(DocumentSheetHandler document, DeviceSheetHandler device) {
  g_document_handler.store(document);
  g_device_handler.store(device);
}
DocumentSheetHandler CurrentDocumentSheetHandler() { return g_document_handler.load(); }
DeviceSheetHandler CurrentDeviceSheetHandler() { return g_device_handler.load(); }

}  // namespace kit::plugin::com
