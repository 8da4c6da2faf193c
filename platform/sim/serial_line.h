// A serial port of the virtual machine (COM1 ... COM8) as the program that
// opens it sees it: the bytes written to it go where `vmachine map-port
// DIR COMn: ...` sends that port's jobs: appended to the machine's capture
// file `ports/COMn.bin` (no mapping, or `file`), to a device node or
// pseudo-terminal (`device:`), to a TCP listener such as `kvjob listen`
// (`tcp:`, one connection from Open to Close). A port mapped to `hold` is a
// printer that is not there: Open fails with kErrorFileNotFound, as
// CreateFile on a serial port whose device is gone.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/sim/machine.h"

namespace kit::sim {

// The capture file of serial port `number` in the machine folder.
std::filesystem::path SerialCaptureFile(const std::filesystem::path& machine, int number);

class SerialLine {
 public:
  // Opens the machine's serial port `number` (1 for COM1) as mapped now.
  // Null with *error set: kErrorFileNotFound for a port held or a target
  // that cannot be reached.
  static std::unique_ptr<SerialLine> Open(Machine& machine, int number, std::uint32_t* error);
  virtual ~SerialLine() = default;
  // Writes all of `size` bytes, or fails with a Win32 code (the device is
  // gone).
  virtual std::uint32_t Write(const std::uint8_t* data, std::uint32_t size) = 0;
};

}  // namespace kit::sim
