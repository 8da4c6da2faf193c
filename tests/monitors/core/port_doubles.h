// A clock that counts the pauses and a port state sink that spells the
// states a job went through, for the port monitors' job tests.
#pragma once

#include <string>

#include "monitors/core/port_job.h"

namespace kit::monitors::testing {

class CountingClock final : public Clock {
 public:
  void Sleep(std::uint32_t ms) override { slept += ms; }
  std::uint64_t GetTickCount64() override { return slept; }
  SystemTime GetLocalTime() override { return {}; }
  std::uint64_t slept = 0;
};

// The states as letters (R ready, F offline, N not responding) and the
// cause of the last offline.
class States final : public PortStatusSink {
 public:
  void Report(PortState state, std::uint32_t why) override {
    seen += state == PortState::kReady ? 'R' : state == PortState::kOffline ? 'F' : 'N';
    if (state == PortState::kOffline) cause = why;
  }
  std::string seen;
  std::uint32_t cause = 0;
};

}  // namespace kit::monitors::testing
