// Stopping, starting and waiting for the "Spooler" service, with the fixed
// pauses the install relies on (taken on the platform clock).
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string_view>

#include "setup/engine/engine_context.h"

namespace kit::setup {

inline constexpr std::uint32_t kAfterStopMs = 100;
inline constexpr int kSpoolerWaitQueries = 10;
inline constexpr std::uint32_t kSpoolerWaitStepMs = 300;
inline constexpr std::string_view kStartSpoolerErrorFormat = "Start spool service error, error code = %u";
inline constexpr std::string_view kWaitSpoolerErrorText = "StartSpoolService error";

// Sends the stop control and waits 100 ms. Failures are not reported.
void StopSpooler(EngineContext& ctx);
// Starts the service; "already running" counts as started. Another failure
// writes the start-error text and answers false.
bool StartSpooler(EngineContext& ctx);
// Queries up to 10 times, 300 ms apart, until the service runs. Returns
// the last state seen (kServiceRunning when it runs); when it does not run
// the error text becomes "StartSpoolService error".
std::uint32_t WaitForSpooler(EngineContext& ctx);

// The service state, or 0 when it cannot be queried.
std::uint32_t QuerySpoolerState(EngineContext& ctx);

}  // namespace kit::setup
