// The service control manager on the real Windows (advapi32).
#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

// A service or manager handle, closed with CloseServiceHandle.
class ScHandle {
 public:
  explicit ScHandle(SC_HANDLE handle) : handle_(handle) {}
  ~ScHandle() {
    if (handle_ != nullptr) {
      const DWORD saved = ::GetLastError();
      ::CloseServiceHandle(handle_);
      ::SetLastError(saved);
    }
  }
  ScHandle(const ScHandle&) = delete;
  ScHandle& operator=(const ScHandle&) = delete;
  SC_HANDLE Get() const { return handle_; }

 private:
  SC_HANDLE handle_;
};

void CopyStatus(const SERVICE_STATUS& from, ServiceStatus* to) {
  to->service_type = from.dwServiceType;
  to->current_state = from.dwCurrentState;
  to->controls_accepted = from.dwControlsAccepted;
  to->win32_exit_code = from.dwWin32ExitCode;
  to->check_point = from.dwCheckPoint;
  to->wait_hint = from.dwWaitHint;
}

class Win32Service final : public Service {
 public:
  Win32Service(SC_HANDLE handle, WString name) : handle_(handle), name_(std::move(name)) {}

  bool QueryServiceStatus(ServiceStatus* status) override {
    SERVICE_STATUS s{};
    if (!::QueryServiceStatus(handle_.Get(), &s)) {
      LogLastError("QueryServiceStatus", name_);
      return false;
    }
    CopyStatus(s, status);
    return true;
  }

  bool ControlService(std::uint32_t control, ServiceStatus* status) override {
    SERVICE_STATUS s{};
    const BOOL ok = ::ControlService(handle_.Get(), control, &s);
    // Windows fills the status also for some refusals (not active, cannot
    // accept the control).
    if (status != nullptr) CopyStatus(s, status);
    if (!ok) LogLastError("ControlService", name_);
    return ok != FALSE;
  }

  bool StartService() override {
    if (!::StartServiceW(handle_.Get(), 0, nullptr)) {
      LogLastError("StartServiceW", name_);
      return false;
    }
    return true;
  }

 private:
  ScHandle handle_;
  WString name_;
};

class Win32ServiceManager final : public ServiceManager {
 public:
  explicit Win32ServiceManager(SC_HANDLE handle) : handle_(handle) {}

  bool OpenService(WStringView name, std::uint32_t access, ServiceHandle* service) override {
    const std::wstring n = Wide(name);
    SC_HANDLE opened = ::OpenServiceW(handle_.Get(), n.c_str(), access);
    if (opened == nullptr) {
      LogLastError("OpenServiceW", name);
      return false;
    }
    *service = std::make_unique<Win32Service>(opened, WString(name));
    return true;
  }

 private:
  ScHandle handle_;
};

class Win32Services final : public Services {
 public:
  bool OpenSCManager(std::uint32_t access, ServiceManagerHandle* manager) override {
    SC_HANDLE opened = ::OpenSCManagerW(nullptr, nullptr, access);
    if (opened == nullptr) {
      LogLastError("OpenSCManagerW");
      return false;
    }
    *manager = std::make_unique<Win32ServiceManager>(opened);
    return true;
  }
};

}  // namespace

std::unique_ptr<Services> MakeServices() { return std::make_unique<Win32Services>(); }

}  // namespace kit::win32
