// The "KVR Language Monitor" between the spooler and the USB port monitor
// passes every job's calls through; what it adds is the job's status in
// the spooler's queue, read from what the port's writes report: a port
// that takes nothing (the printer offline, out of paper or unplugged: the
// port cannot tell them apart) or fails a write shows on the job, and the
// text goes as soon as the printer takes data again or the job ends.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "platform/types.h"

namespace kit::monitors {

inline constexpr char16_t kJobWaitingText[] = u"Printer offline, out of paper or not connected: waiting";
// Followed by the port's Win32 code.
inline constexpr char16_t kJobPortErrorText[] = u"Port error ";

class JobStatus {
 public:
  // `shown`: what the job shows already (a job the port goes on with after
  // a pause keeps its text until the printer takes data).
  explicit JobStatus(WString shown = {}) : shown_(std::move(shown)) {}
  // After one WritePort call of the port monitor: its result, the bytes
  // asked for and taken, and its last error when it failed. The text the
  // job should show now when it changes (empty: clear it); nullopt when
  // the job's status stays as it is.
  std::optional<WString> AfterWrite(bool ok, std::uint32_t asked, std::uint32_t taken, std::uint32_t error);
  // At EndDocPort: clears what this job was given.
  std::optional<WString> AtEnd();

 private:
  std::optional<WString> Show(WString text);
  WString shown_;
};

}  // namespace kit::monitors
