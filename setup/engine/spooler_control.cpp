#include "setup/engine/spooler_control.h"

#include <cstdio>

namespace kit::setup {
namespace {

bool OpenSpooler(EngineContext& ctx, std::uint32_t access, ServiceHandle* service) {
  ServiceManagerHandle manager;
  if (!ctx.platform.services.OpenSCManager(kScManagerAllAccess, &manager)) return false;
  return manager->OpenService(kSpoolerServiceName, access, service);
}

}  // namespace

void StopSpooler(EngineContext& ctx) {
  ServiceHandle service;
  if (OpenSpooler(ctx, kServiceStop, &service)) {
    ServiceStatus status;
    service->ControlService(kServiceControlStop, &status);
  }
  ctx.platform.clock.Sleep(kAfterStopMs);
}

bool StartSpooler(EngineContext& ctx) {
  ServiceHandle service;
  if (OpenSpooler(ctx, kServiceStart, &service) && service->StartService()) return true;
  const win32::Error error = ctx.platform.system.GetLastError();
  if (error == win32::kErrorServiceAlreadyRunning) return true;
  char text[96];
  std::snprintf(text, sizeof text, std::string(kStartSpoolerErrorFormat).c_str(), static_cast<unsigned>(error));
  ctx.Fail(text);
  return false;
}

std::uint32_t QuerySpoolerState(EngineContext& ctx) {
  ServiceHandle service;
  ServiceStatus status;
  if (!OpenSpooler(ctx, kServiceQueryStatus, &service) || !service->QueryServiceStatus(&status)) return 0;
  return status.current_state;
}

std::uint32_t WaitForSpooler(EngineContext& ctx) {
  std::uint32_t state = 0;
  for (int query = 0; query < kSpoolerWaitQueries; ++query) {
    state = QuerySpoolerState(ctx);
    if (state == kServiceRunning) return state;
    ctx.platform.clock.Sleep(kSpoolerWaitStepMs);
  }
  ctx.Fail(std::string(kWaitSpoolerErrorText));
  return state;
}

}  // namespace kit::setup
