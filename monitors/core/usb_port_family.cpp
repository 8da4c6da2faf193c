// This file is OS-independent.
#include "monitors/core/usb_port_family.h"

#include <utility>

#include "monitors/core/usb_ports.h"
#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

class UsbPorts final : public PortFamily {
 public:
  UsbPorts(UsbLibraries& usb, WString library_path) : usb_(usb), library_path_(std::move(library_path)) {}
  WStringView MonitorName() const override { return kUsbMonitorName; }
  std::vector<WString> PortNames(Registry& registry) override { return UsbPortNames(registry); }
  WString FindPort(Registry& registry, WStringView name) override { return FindUsbPort(registry, name); }
  std::uint32_t MakeDevice(Registry&, WStringView port, std::unique_ptr<PortDevice>* device) override {
    *device = MakeUsbPrinter(usb_, library_path_, UsbPortIndex(port));
    return win32::kErrorSuccess;
  }
  std::uint32_t XcvData(Registry& registry, const XcvRequest& request, std::uint32_t* needed) override {
    return UsbXcvData(registry, request, needed);
  }
  WString Problem(std::uint32_t cause) const override { return UsbPortProblem(cause); }

 private:
  UsbLibraries& usb_;
  WString library_path_;
};

}  // namespace

std::unique_ptr<PortFamily> MakeUsbPortFamily(UsbLibraries& usb, WString library_path) {
  return std::make_unique<UsbPorts>(usb, std::move(library_path));
}

}  // namespace kit::monitors
