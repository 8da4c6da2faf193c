#include "monitors/serial/serial_port_family.h"

#include "monitors/core/serial_ports.h"
#include "monitors/serial/serial_device.h"

namespace kit::monitors {
namespace {

class SerialPorts final : public PortFamily {
 public:
  WStringView MonitorName() const override { return u"KVR Serial Port"; }
  std::vector<WString> PortNames(Registry&) override { return SerialPortNames(); }
  WString FindPort(Registry&, WStringView name) override {
    const auto number = SerialPortNumber(name);
    return number ? SerialPortNames()[static_cast<std::size_t>(*number - 1)] : WString();
  }
  std::uint32_t MakeDevice(Registry& registry, WStringView port, std::unique_ptr<PortDevice>* device) override {
    const int number = *SerialPortNumber(port);
    const StoredSettings stored = ReadPortSettings(registry, number);
    if (stored.error != 0) return stored.error;
    *device = MakeSerialDevice(number, stored.settings);
    return 0;
  }
  std::uint32_t XcvData(Registry& registry, const XcvRequest& request, std::uint32_t* needed) override {
    return SerialXcvData(registry, request, needed);
  }
};

}  // namespace

std::unique_ptr<PortFamily> MakeSerialPortFamily() { return std::make_unique<SerialPorts>(); }

}  // namespace kit::monitors
