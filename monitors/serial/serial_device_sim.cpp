#include "monitors/serial/serial_device_sim.h"

#include "monitors/serial/serial_device.h"
#include "platform/sim/serial_line.h"
#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

sim::Machine* g_machine = nullptr;

// The machine's line takes every byte at once or is gone: a port mapped to
// `hold` (the printer not there) cannot be opened, which the job's writes
// see as a printer that is away.
class SimSerialDevice final : public PortDevice {
 public:
  explicit SimSerialDevice(int number) : number_(number) {}
  std::uint32_t Open() override {
    if (g_machine == nullptr) return win32::kErrorFileNotFound;
    std::uint32_t error = 0;
    line_ = sim::SerialLine::Open(*g_machine, number_, &error);
    return error;
  }
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) override {
    *written = 0;
    if (!line_) return win32::kErrorInvalidHandle;
    if (const auto error = line_->Write(data, size)) return error;
    *written = size;
    return 0;
  }
  std::uint32_t Read(std::uint8_t*, std::uint32_t, std::uint32_t* read) override {
    // The machine's serial ports carry nothing back.
    *read = 0;
    return line_ ? 0 : win32::kErrorInvalidHandle;
  }
  void Close() override { line_.reset(); }

 private:
  int number_;
  std::unique_ptr<sim::SerialLine> line_;
};

}  // namespace

void SetSerialMachine(sim::Machine* machine) { g_machine = machine; }

std::unique_ptr<PortDevice> MakeSerialDevice(int number, const SerialSettings& /*settings*/) {
  return std::make_unique<SimSerialDevice>(number);
}

}  // namespace kit::monitors
