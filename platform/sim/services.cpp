// Service control manager of the virtual machine. Services live in the
// state with their state; faults make one refuse to start or stay "stop
// pending". Starting the spooler starts a new spooler epoch: printer
// handles opened before are invalid afterwards.
#include "platform/sim/core.h"

namespace kit::sim {
namespace {

class SimService final : public Service {
 public:
  SimService(Core& core, WString name, std::uint32_t access) : core_(core), name_(std::move(name)), access_(access) {}

  bool QueryServiceStatus(ServiceStatus* status) override {
    if (!(access_ & kServiceQueryStatus)) return Core::Fail(win32::kErrorAccessDenied);
    return core_.Update([&](Json& s) {
      Json* svc = Find(s);
      if (!svc) return Core::Fail(win32::kErrorInvalidHandle);
      if (auto f = Core::TakeFault(s, "QueryServiceStatus", name_)) return Core::Fail(*f);
      Fill(*svc, status);
      // A service left "stop pending" by a fault reaches "stopped" after the
      // number of queries the fault allows (none: it stays pending).
      if ((*svc).value("state", kServiceRunning) == kServiceStopPending) {
        const int left = (*svc).value("pending_queries", -1);
        if (left > 0) (*svc)["pending_queries"] = left - 1;
        if (left == 1) (*svc)["state"] = kServiceStopped;
      }
      return true;
    });
  }

  bool ControlService(std::uint32_t control, ServiceStatus* status) override {
    if (control == kServiceControlStop && !(access_ & kServiceStop)) return Core::Fail(win32::kErrorAccessDenied);
    return core_.Update([&](Json& s) {
      Json* svc = Find(s);
      if (!svc) return Core::Fail(win32::kErrorInvalidHandle);
      if (auto f = Core::TakeFault(s, "ControlService", name_)) return Core::Fail(*f);
      const auto state = (*svc).value("state", kServiceRunning);
      if (control == kServiceControlStop) {
        if (state == kServiceStopped) return Core::Fail(win32::kErrorServiceNotActive);
        if (state == kServiceStopPending) return Core::Fail(win32::kErrorServiceCannotAcceptCtrl);
        const int pending = (*svc).value("stop_pending_queries", 0);
        if (pending != 0) {
          (*svc)["state"] = kServiceStopPending;
          (*svc)["pending_queries"] = pending;
        } else {
          (*svc)["state"] = kServiceStopped;
        }
        (*svc)["stops"] = (*svc).value("stops", 0) + 1;
        if (status) Fill(*svc, status);
        return true;
      }
      if (control == kServiceControlInterrogate) {
        if (state == kServiceStopped) return Core::Fail(win32::kErrorServiceNotActive);
        if (status) Fill(*svc, status);
        return true;
      }
      return Core::Fail(win32::kErrorInvalidServiceControl);
    });
  }

  bool StartService() override {
    if (!(access_ & kServiceStart)) return Core::Fail(win32::kErrorAccessDenied);
    return core_.Update([&](Json& s) {
      Json* svc = Find(s);
      if (!svc) return Core::Fail(win32::kErrorInvalidHandle);
      if (auto f = Core::TakeFault(s, "StartService", name_)) return Core::Fail(*f);
      const auto state = (*svc).value("state", kServiceRunning);
      if (state != kServiceStopped) return Core::Fail(win32::kErrorServiceAlreadyRunning);
      const auto refuse = (*svc).value("start_error", 0u);
      if (refuse != 0) return Core::Fail(refuse);
      (*svc)["state"] = kServiceRunning;
      (*svc)["starts"] = (*svc).value("starts", 0) + 1;
      if (EqualsNoCase(name_, kSpoolerServiceName)) {
        s["spooler"]["epoch"] = s["spooler"].value("epoch", std::uint64_t{0}) + 1;
      }
      return true;
    });
  }

 private:
  Json* Find(Json& s) {
    for (auto& [k, v] : s["services"].items()) {
      if (EqualsNoCase(FromUtf8(k), name_)) return &v;
    }
    return nullptr;
  }
  static void Fill(const Json& svc, ServiceStatus* status) {
    *status = ServiceStatus{};
    status->current_state = svc.value("state", kServiceRunning);
    status->controls_accepted = status->current_state == kServiceRunning ? 1u : 0u;
  }

  Core& core_;
  WString name_;
  std::uint32_t access_;
};

class SimServiceManager final : public ServiceManager {
 public:
  explicit SimServiceManager(Core& core) : core_(core) {}
  bool OpenService(WStringView name, std::uint32_t access, ServiceHandle* service) override {
    WString found;
    const bool ok = core_.Update([&](Json& s) {
      if (auto f = Core::TakeFault(s, "OpenService", name)) return Core::Fail(*f);
      for (auto& [k, v] : s["services"].items()) {
        (void)v;
        if (EqualsNoCase(FromUtf8(k), name)) found = FromUtf8(k);
      }
      if (found.empty()) return Core::Fail(win32::kErrorServiceDoesNotExist);
      return true;
    });
    if (!ok) return false;
    *service = std::make_unique<SimService>(core_, found, access);
    return true;
  }

 private:
  Core& core_;
};

class SimServices final : public Services {
 public:
  explicit SimServices(Core& core) : core_(core) {}
  bool OpenSCManager(std::uint32_t access, ServiceManagerHandle* manager) override {
    const bool ok = core_.Update([&](Json& s) {
      if (auto f = Core::TakeFault(s, "OpenSCManager")) return Core::Fail(*f);
      // A standard user may connect, but not with full access.
      if (!s["system"].value("admin", true) && (access & ~0x20015u & 0xF003Fu) != 0) {
        return Core::Fail(win32::kErrorAccessDenied);
      }
      return true;
    });
    if (!ok) return false;
    *manager = std::make_unique<SimServiceManager>(core_);
    return true;
  }

 private:
  Core& core_;
};

}  // namespace

std::unique_ptr<Services> MakeServices(Core& core) { return std::make_unique<SimServices>(core); }

}  // namespace kit::sim
