// KVRCOMMON.DLL, the "KVR Serial Port" monitor: the ports KVCOM1: to
// KVCOM8:, each writing to the serial port of the same number with the
// settings stored for it (monitors/core/serial_ports.h).
#include "monitors/core/serial_ports.h"
#include "monitors/dll/port_monitor_shell.h"
#include "monitors/serial/serial_device.h"

namespace {

using namespace kit::monitors;

class SerialPorts final : public PortFamily {
 public:
  kit::WStringView MonitorName() const override { return u"KVR Serial Port"; }
  std::vector<kit::WString> PortNames(kit::Registry&) override { return SerialPortNames(); }
  kit::WString FindPort(kit::Registry&, kit::WStringView name) override {
    const auto number = SerialPortNumber(name);
    return number ? SerialPortNames()[static_cast<std::size_t>(*number - 1)] : kit::WString();
  }
  std::uint32_t MakeDevice(kit::Registry& registry, kit::WStringView port,
                           std::unique_ptr<PortDevice>* device) override {
    const int number = *SerialPortNumber(port);
    const StoredSettings stored = ReadPortSettings(registry, number);
    if (stored.error != 0) return stored.error;
    *device = MakeSerialDevice(number, stored.settings);
    return 0;
  }
  std::uint32_t XcvData(kit::Registry& registry, const XcvRequest& request, std::uint32_t* needed) override {
    return SerialXcvData(registry, request, needed);
  }
};

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor) {
  return StartPortMonitor(std::make_unique<SerialPorts>(), init, monitor);
}
