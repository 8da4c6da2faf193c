// Devices on the real Windows: SetupAPI (linked), newdev and the
// configuration manager (looked up at run time, as they are missing on older
// systems and the kit must say so rather than fail to start).
#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

// Characters of the destination buffer handed to SetupCopyOEMInf.
constexpr DWORD kOemInfNameChars = 256;
constexpr DWORD kClassNameChars = 32;  // MAX_CLASS_NAME_LEN

GUID ToGuid(const Guid& g) {
  GUID out{};
  out.Data1 = g.data1;
  out.Data2 = g.data2;
  out.Data3 = g.data3;
  for (int i = 0; i < 8; ++i) out.Data4[i] = g.data4[i];
  return out;
}

Guid FromGuid(const GUID& g) {
  Guid out;
  out.data1 = g.Data1;
  out.data2 = g.Data2;
  out.data3 = g.Data3;
  for (int i = 0; i < 8; ++i) out.data4[i] = g.Data4[i];
  return out;
}

bool Checked(BOOL ok, const char* api, WStringView subject = {}) {
  if (!ok) LogLastError(api, subject);
  return ok != FALSE;
}

class Win32DeviceInfoSet final : public DeviceInfoSet {
 public:
  explicit Win32DeviceInfoSet(HDEVINFO set) : set_(set) {}
  ~Win32DeviceInfoSet() override {
    const DWORD saved = ::GetLastError();
    ::SetupDiDestroyDeviceInfoList(set_);
    ::SetLastError(saved);
  }

  bool SetupDiEnumDeviceInfo(std::uint32_t index, DeviceInfoData* device) override {
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    if (!::SetupDiEnumDeviceInfo(set_, index, &data)) {
      if (::GetLastError() != kErrorNoMoreItems) LogLastError("SetupDiEnumDeviceInfo");
      return false;
    }
    device->class_guid = FromGuid(data.ClassGuid);
    device->dev_inst = data.DevInst;
    return true;
  }

  bool SetupDiGetDeviceRegistryProperty(const DeviceInfoData& device, std::uint32_t property, std::uint32_t* reg_type,
                                        Bytes* buffer, std::uint32_t buffer_size,
                                        std::uint32_t* required_size) override {
    SP_DEVINFO_DATA data{};
    if (!Find(device, &data)) return false;
    Bytes value(buffer_size);
    DWORD type = 0, required = 0;
    const BOOL ok = ::SetupDiGetDeviceRegistryPropertyW(set_, &data, property, &type,
                                                        buffer_size == 0 ? nullptr : value.data(), buffer_size,
                                                        &required);
    if (required_size != nullptr) *required_size = required;
    if (!ok) {
      const DWORD code = ::GetLastError();
      if (code != kErrorInsufficientBuffer && code != kErrorInvalidData) {
        LogFailure("SetupDiGetDeviceRegistryPropertyW", code);
      }
      return false;
    }
    if (reg_type != nullptr) *reg_type = type;
    value.resize(std::min<std::size_t>(required, value.size()));
    *buffer = std::move(value);
    return true;
  }

  bool SetupDiSetDeviceRegistryProperty(DeviceInfoData* device, std::uint32_t property, const Bytes& data) override {
    SP_DEVINFO_DATA info{};
    if (!Find(*device, &info)) return false;
    return Checked(::SetupDiSetDeviceRegistryPropertyW(set_, &info, property, data.empty() ? nullptr : data.data(),
                                                       static_cast<DWORD>(data.size())),
                   "SetupDiSetDeviceRegistryPropertyW");
  }

  bool SetupDiCreateDeviceInfo(WStringView device_name, const Guid& class_guid, WStringView description,
                               std::uint32_t flags, DeviceInfoData* device) override {
    const std::wstring name = Wide(device_name), text = Wide(description);
    const GUID guid = ToGuid(class_guid);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    if (!::SetupDiCreateDeviceInfoW(set_, name.c_str(), &guid, OrNull(text), nullptr, flags, &data)) {
      LogLastError("SetupDiCreateDeviceInfoW", device_name);
      return false;
    }
    device->class_guid = FromGuid(data.ClassGuid);
    device->dev_inst = data.DevInst;
    return true;
  }

  bool SetupDiCallClassInstaller(std::uint32_t function, const DeviceInfoData& device) override {
    SP_DEVINFO_DATA data{};
    if (!Find(device, &data)) return false;
    return Checked(::SetupDiCallClassInstaller(function, set_, &data), "SetupDiCallClassInstaller");
  }

 private:
  // SetupAPI needs the set's own record of a device (its private field
  // included), so the device is looked up in the set by its instance.
  bool Find(const DeviceInfoData& device, SP_DEVINFO_DATA* data) {
    for (DWORD i = 0;; ++i) {
      SP_DEVINFO_DATA candidate{};
      candidate.cbSize = sizeof candidate;
      if (!::SetupDiEnumDeviceInfo(set_, i, &candidate)) break;
      if (candidate.DevInst == device.dev_inst) {
        *data = candidate;
        return true;
      }
    }
    ::SetLastError(kErrorNoSuchDevinst);
    LogFailure("SetupDiEnumDeviceInfo (find device)", kErrorNoSuchDevinst);
    return false;
  }

  HDEVINFO set_;
};

class Win32InfFile final : public InfFile {
 public:
  explicit Win32InfFile(HINF inf) : inf_(inf) {}
  ~Win32InfFile() override { ::SetupCloseInfFile(inf_); }

  bool SetupFindFirstLine(WStringView section, WStringView key, InfContext* context) override {
    const std::wstring s = Wide(section), k = Wide(key);
    INFCONTEXT c{};
    if (!::SetupFindFirstLineW(inf_, s.c_str(), OrNull(k), &c)) {
      if (::GetLastError() != kErrorLineNotFound) LogLastError("SetupFindFirstLineW", section);
      return false;
    }
    *context = InfContext{c.Section, c.Line};
    return true;
  }

  bool SetupFindNextLine(const InfContext& current, InfContext* next) override {
    INFCONTEXT in = Native(current), out{};
    if (!::SetupFindNextLine(&in, &out)) return false;  // the end of the section
    *next = InfContext{out.Section, out.Line};
    return true;
  }

  std::uint32_t SetupGetFieldCount(const InfContext& context) override {
    INFCONTEXT c = Native(context);
    return ::SetupGetFieldCount(&c);
  }

  bool SetupGetStringField(const InfContext& context, std::uint32_t index, WString* value) override {
    INFCONTEXT c = Native(context);
    DWORD required = 0;
    if (!::SetupGetStringFieldW(&c, index, nullptr, 0, &required) || required == 0) {
      LogLastError("SetupGetStringFieldW");
      return false;
    }
    std::wstring buffer(required, L'\0');
    if (!::SetupGetStringFieldW(&c, index, buffer.data(), required, &required)) {
      LogLastError("SetupGetStringFieldW");
      return false;
    }
    *value = FromWideBuffer(buffer.data(), buffer.size());
    return true;
  }

 private:
  // The kit opens one INF per handle, so the current file is the file itself.
  INFCONTEXT Native(const InfContext& context) const {
    INFCONTEXT c{};
    c.Inf = inf_;
    c.CurrentInf = inf_;
    c.Section = context.section;
    c.Line = context.line;
    return c;
  }
  HINF inf_;
};

// The state SetupIterateCabinet hands back to its callback.
struct CabinetWalk {
  const CabinetCallback* callback = nullptr;
  DWORD error = NO_ERROR;
};

UINT CALLBACK CabinetNotify(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR /*param2*/) {
  auto* walk = static_cast<CabinetWalk*>(context);
  switch (notification) {
    case SPFILENOTIFY_FILEINCABINET: {
      auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_W*>(param1);
      // After a refusal no member is offered or extracted any more, also
      // where the system goes on walking after FILEOP_ABORT.
      if (walk->error != NO_ERROR) return FILEOP_SKIP;
      const CabinetMember member{FromWide(info->NameInCabinet), info->FileSize};
      const std::optional<WString> target = (*walk->callback)(member);
      if (!target) return FILEOP_SKIP;
      // The target must fit the fixed buffer SetupAPI extracts to; a longer
      // path stops the walk instead of being cut to another file's name.
      if (target->size() >= MAX_PATH) {
        walk->error = kErrorFilenameExcedRange;
        ::SetLastError(kErrorFilenameExcedRange);
        return FILEOP_ABORT;
      }
      std::fill(std::begin(info->FullTargetName), std::end(info->FullTargetName), L'\0');
      std::copy(target->begin(), target->end(), info->FullTargetName);
      return FILEOP_DOIT;
    }
    case SPFILENOTIFY_FILEEXTRACTED: {
      const auto* paths = reinterpret_cast<const FILEPATHS_W*>(param1);
      if (paths->Win32Error != NO_ERROR) {
        walk->error = paths->Win32Error;
        LogFailure("SetupIterateCabinetW (extract)", paths->Win32Error, FromWide(paths->Target));
        return paths->Win32Error;
      }
      return NO_ERROR;
    }
    case SPFILENOTIFY_NEEDNEWCABINET:
      // The kit reads single cabinets; a continuation is not at hand.
      walk->error = kErrorFileNotFound;
      return kErrorFileNotFound;
    default:
      return NO_ERROR;
  }
}

class Win32Devices final : public Devices {
 public:
  DeviceInfoSetHandle SetupDiGetClassDevs(const Guid* class_guid, WStringView enumerator,
                                          std::uint32_t flags) override {
    const std::wstring e = Wide(enumerator);
    GUID guid{};
    if (class_guid != nullptr) guid = ToGuid(*class_guid);
    HDEVINFO set = ::SetupDiGetClassDevsW(class_guid != nullptr ? &guid : nullptr, OrNull(e), nullptr, flags);
    if (set == INVALID_HANDLE_VALUE) {
      LogLastError("SetupDiGetClassDevsW", enumerator);
      return nullptr;
    }
    return std::make_unique<Win32DeviceInfoSet>(set);
  }

  DeviceInfoSetHandle SetupDiCreateDeviceInfoList(const Guid* class_guid) override {
    GUID guid{};
    if (class_guid != nullptr) guid = ToGuid(*class_guid);
    HDEVINFO set = ::SetupDiCreateDeviceInfoList(class_guid != nullptr ? &guid : nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE) {
      LogLastError("SetupDiCreateDeviceInfoList");
      return nullptr;
    }
    return std::make_unique<Win32DeviceInfoSet>(set);
  }

  bool UpdateDriverForPlugAndPlayDevices(WStringView hardware_id, WStringView inf_path, std::uint32_t flags,
                                         bool* reboot_required) override {
    using Fn = BOOL(WINAPI*)(HWND, LPCWSTR, LPCWSTR, DWORD, BOOL*);
    const auto fn = SystemProc<Fn>(L"newdev.dll", "UpdateDriverForPlugAndPlayDevicesW");
    if (fn == nullptr) return MissingProc("UpdateDriverForPlugAndPlayDevicesW");
    const std::wstring id = Wide(hardware_id), inf = Wide(inf_path);
    BOOL reboot = FALSE;
    const BOOL ok = fn(nullptr, id.c_str(), inf.c_str(), flags, &reboot);
    if (reboot_required != nullptr) *reboot_required = reboot != FALSE;
    return Checked(ok, "UpdateDriverForPlugAndPlayDevicesW", hardware_id);
  }

  bool SetupCopyOEMInf(WStringView source_inf, WStringView media_location, std::uint32_t media_type,
                       std::uint32_t copy_style, WString* destination_name) override {
    const std::wstring source = Wide(source_inf), media = Wide(media_location);
    wchar_t destination[kOemInfNameChars] = {};
    const BOOL ok = ::SetupCopyOEMInfW(source.c_str(), OrNull(media), media_type, copy_style, destination,
                                       kOemInfNameChars, nullptr, nullptr);
    // With SP_COPY_NOOVERWRITE Windows names the INF already in the store
    // even though the call fails.
    if (destination_name != nullptr) *destination_name = FromWideBuffer(destination, kOemInfNameChars);
    return Checked(ok, "SetupCopyOEMInfW", source_inf);
  }

  InfFileHandle SetupOpenInfFile(WStringView path, WStringView inf_class, std::uint32_t style,
                                 std::uint32_t* error_line) override {
    const std::wstring p = Wide(path), c = Wide(inf_class);
    UINT line = 0;
    HINF inf = ::SetupOpenInfFileW(p.c_str(), OrNull(c), style, &line);
    if (error_line != nullptr) *error_line = line;
    if (inf == INVALID_HANDLE_VALUE) {
      LogLastError("SetupOpenInfFileW", path);
      return nullptr;
    }
    return std::make_unique<Win32InfFile>(inf);
  }

  bool SetupDiGetINFClass(WStringView inf_path, Guid* class_guid, WString* class_name) override {
    const std::wstring p = Wide(inf_path);
    GUID guid{};
    wchar_t name[kClassNameChars] = {};
    DWORD required = 0;
    if (!::SetupDiGetINFClassW(p.c_str(), &guid, name, kClassNameChars, &required)) {
      LogLastError("SetupDiGetINFClassW", inf_path);
      return false;
    }
    if (class_guid != nullptr) *class_guid = FromGuid(guid);
    if (class_name != nullptr) *class_name = FromWideBuffer(name, kClassNameChars);
    return true;
  }

  bool SetupDiClassGuidsFromName(WStringView class_name, std::vector<Guid>* guids) override {
    const std::wstring n = Wide(class_name);
    DWORD required = 0;
    std::vector<GUID> list(1);
    if (!::SetupDiClassGuidsFromNameW(n.c_str(), list.data(), static_cast<DWORD>(list.size()), &required)) {
      if (::GetLastError() != kErrorInsufficientBuffer) return Checked(FALSE, "SetupDiClassGuidsFromNameW", class_name);
      list.resize(required);
      if (!::SetupDiClassGuidsFromNameW(n.c_str(), list.data(), static_cast<DWORD>(list.size()), &required)) {
        return Checked(FALSE, "SetupDiClassGuidsFromNameW", class_name);
      }
    }
    guids->clear();
    for (DWORD i = 0; i < required && i < list.size(); ++i) guids->push_back(FromGuid(list[i]));
    return true;
  }

  bool SetupIterateCabinet(WStringView cabinet_path, const CabinetCallback& callback) override {
    const std::wstring p = Wide(cabinet_path);
    CabinetWalk walk;
    walk.callback = &callback;
    if (!::SetupIterateCabinetW(p.c_str(), 0, CabinetNotify, &walk)) {
      if (walk.error != NO_ERROR) ::SetLastError(walk.error);
      LogLastError("SetupIterateCabinetW", cabinet_path);
      return false;
    }
    if (walk.error != NO_ERROR) {
      // Some systems report success after a callback stopped the walk.
      ::SetLastError(walk.error);
      LogFailure("SetupIterateCabinetW", walk.error, cabinet_path);
      return false;
    }
    return true;
  }

  bool HasConfigManager() override { return LocateDevNode() != nullptr && ReenumerateDevNode() != nullptr; }

  win32::ConfigRet CM_Locate_DevNode(std::uint32_t* dev_inst, WStringView device_id, std::uint32_t flags) override {
    const auto fn = LocateDevNode();
    if (fn == nullptr) {
      MissingProc("CM_Locate_DevNodeW");
      return kCrFailure;
    }
    std::wstring id = Wide(device_id);
    DEVINST node = 0;
    const CONFIGRET result = fn(&node, id.empty() ? nullptr : id.data(), flags);
    if (result == CR_SUCCESS) {
      *dev_inst = node;
    } else {
      LogFailure("CM_Locate_DevNodeW", result, device_id);
    }
    return result;
  }

  win32::ConfigRet CM_Reenumerate_DevNode(std::uint32_t dev_inst, std::uint32_t flags) override {
    const auto fn = ReenumerateDevNode();
    if (fn == nullptr) {
      MissingProc("CM_Reenumerate_DevNode");
      return kCrFailure;
    }
    const CONFIGRET result = fn(dev_inst, flags);
    if (result != CR_SUCCESS) LogFailure("CM_Reenumerate_DevNode", result);
    return result;
  }

 private:
  using LocateFn = CONFIGRET(WINAPI*)(PDEVINST, DEVINSTID_W, ULONG);
  using ReenumerateFn = CONFIGRET(WINAPI*)(DEVINST, ULONG);
  static LocateFn LocateDevNode() { return SystemProc<LocateFn>(L"cfgmgr32.dll", "CM_Locate_DevNodeW"); }
  static ReenumerateFn ReenumerateDevNode() {
    return SystemProc<ReenumerateFn>(L"cfgmgr32.dll", "CM_Reenumerate_DevNode");
  }
  static bool MissingProc(const char* name) {
    ::SetLastError(kErrorProcNotFound);
    LogFailure("GetProcAddress", kErrorProcNotFound, FromUtf8(name));
    return false;
  }
};

}  // namespace

std::unique_ptr<Devices> MakeDevices() { return std::make_unique<Win32Devices>(); }

}  // namespace kit::win32
