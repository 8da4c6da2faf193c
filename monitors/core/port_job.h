// One open port of a kit monitor and the job going through it: the
// StartDocPort / WritePort / EndDocPort / ClosePort calls of the spooler,
// over a device that writes with time-outs (a serial port, a USB printer).
//
// What the spooler sees follows Microsoft's documentation of WritePort:
// the call returns within the device's write time-out; TRUE with the bytes
// that went out, which may be none (the spooler checks the result, not the
// count, and calls again with the rest); FALSE only for a call it must not
// repeat (no document started). So a printer that stops taking data (paper
// out, unplugged, a serial line held by flow control) makes the job wait in
// the queue, the port showing its state, and carry on when the printer is
// back; no byte is lost or sent twice. A device that fails a write (gone
// from the system) is closed and opened again on the next call.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/clock.h"
#include "platform/types.h"

namespace kit::monitors {

// A printer's connection. Each call returns a Win32 code.
class PortDevice {
 public:
  virtual ~PortDevice() = default;
  // Opens and configures the device for a job.
  virtual std::uint32_t Open() = 0;
  // Writes up to `size` bytes within the device's write time-out; *written
  // is what went out (a time-out is success with fewer bytes).
  virtual std::uint32_t Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) = 0;
  // Reads what the printer sent back, up to `size` bytes, without waiting.
  virtual std::uint32_t Read(std::uint8_t* data, std::uint32_t size, std::uint32_t* read) = 0;
  virtual void Close() = 0;
};

// What the port shows in the spooler's queue while a job waits.
enum class PortState { kReady, kOffline, kNotResponding };

class PortStatusSink {
 public:
  virtual ~PortStatusSink() = default;
  // Called when the state changes. `cause` is the Win32 code of the open
  // that failed when the port goes offline because its printer could not
  // be opened (a missing library, no such device), 0 otherwise; the port
  // may name it in the queue.
  virtual void Report(PortState state, std::uint32_t cause) = 0;
};

// The pause before a write call that found the printer not there returns,
// so that the spooler's next try does not spin.
inline constexpr std::uint32_t kRetryPauseMs = 2000;

class PortJob {
 public:
  PortJob(std::unique_ptr<PortDevice> device, Clock& clock, PortStatusSink* status);
  ~PortJob();

  // StartDocPort: a printer that cannot be opened does not fail the job;
  // the writes open it when it is there.
  std::uint32_t StartJob();
  // WritePort: returns false only outside a document (*error set).
  bool Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written, std::uint32_t* error);
  // ReadPort: false with *error when the device is not open or fails.
  bool Read(std::uint8_t* data, std::uint32_t size, std::uint32_t* read, std::uint32_t* error);
  // EndDocPort: closes the device.
  void EndJob();

  bool in_document() const { return in_document_; }
  bool device_open() const { return open_; }

 private:
  void SetState(PortState state, std::uint32_t cause = 0);
  bool OpenDevice();

  std::unique_ptr<PortDevice> device_;
  Clock& clock_;
  PortStatusSink* status_;
  bool in_document_ = false;
  bool open_ = false;
  PortState state_ = PortState::kReady;
};

}  // namespace kit::monitors
