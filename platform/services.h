// Service control manager (advapi32): open the manager and a service, stop,
// start and query it. The kit drives the "Spooler" service.
// Calls return false and set the last error as Windows does
// (kErrorServiceAlreadyRunning, kErrorServiceNotActive, …).
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/types.h"

namespace kit {

inline constexpr char16_t kSpoolerServiceName[] = u"Spooler";

inline constexpr std::uint32_t kScManagerAllAccess = 0xF003F;
inline constexpr std::uint32_t kServiceQueryStatus = 0x0004;
inline constexpr std::uint32_t kServiceStart = 0x0010;
inline constexpr std::uint32_t kServiceStop = 0x0020;
inline constexpr std::uint32_t kServiceAllAccess = 0xF01FF;

inline constexpr std::uint32_t kServiceControlStop = 1;
inline constexpr std::uint32_t kServiceControlInterrogate = 4;

inline constexpr std::uint32_t kServiceStopped = 1;
inline constexpr std::uint32_t kServiceStartPending = 2;
inline constexpr std::uint32_t kServiceStopPending = 3;
inline constexpr std::uint32_t kServiceRunning = 4;

// SERVICE_STATUS, the parts the kit reads.
struct ServiceStatus {
  std::uint32_t service_type = 0x10;  // own process
  std::uint32_t current_state = 0;
  std::uint32_t controls_accepted = 0;
  std::uint32_t win32_exit_code = 0;
  std::uint32_t check_point = 0;
  std::uint32_t wait_hint = 0;
};

// An open service; CloseServiceHandle on destruction.
class Service {
 public:
  virtual ~Service() = default;
  virtual bool QueryServiceStatus(ServiceStatus* status) = 0;
  // ControlService: kErrorServiceNotActive when it is not running.
  virtual bool ControlService(std::uint32_t control, ServiceStatus* status) = 0;
  // StartService without arguments: kErrorServiceAlreadyRunning when it runs.
  virtual bool StartService() = 0;
};
using ServiceHandle = std::unique_ptr<Service>;

// An open service control manager; CloseServiceHandle on destruction.
class ServiceManager {
 public:
  virtual ~ServiceManager() = default;
  // OpenService: kErrorServiceDoesNotExist for an unknown name.
  virtual bool OpenService(WStringView name, std::uint32_t access, ServiceHandle* service) = 0;
};
using ServiceManagerHandle = std::unique_ptr<ServiceManager>;

class Services {
 public:
  virtual ~Services() = default;
  // OpenSCManager(local machine, active database, access): kErrorAccessDenied
  // for a user without administrator rights asking for all access.
  virtual bool OpenSCManager(std::uint32_t access, ServiceManagerHandle* manager) = 0;
};

}  // namespace kit
