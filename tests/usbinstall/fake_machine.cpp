#include "tests/usbinstall/fake_machine.h"

#include <limits>

#include <algorithm>

#include "platform/registry.h"

namespace kit::usbinstall::testing {
namespace {

class FakeLibrary final : public Library {
 public:
  explicit FakeLibrary(std::set<std::string> missing) : missing_(std::move(missing)) {}
  bool HasProc(std::string_view name) const override { return missing_.count(std::string(name)) == 0; }

 private:
  std::set<std::string> missing_;
};

// '*' and '?' matching, without regard to case.
bool Matches(WStringView pattern, WStringView name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == u'*') {
    for (std::size_t i = 0; i <= name.size(); ++i) {
      if (Matches(pattern.substr(1), name.substr(i))) return true;
    }
    return false;
  }
  if (name.empty()) return false;
  if (pattern[0] != u'?' && ToUpperAscii(pattern.substr(0, 1)) != ToUpperAscii(name.substr(0, 1))) return false;
  return Matches(pattern.substr(1), name.substr(1));
}

class FakeFind final : public FindHandle {
 public:
  explicit FakeFind(std::vector<FindData> rest) : rest_(std::move(rest)) {}
  bool FindNextFile(FindData* data) override {
    if (next_ >= rest_.size()) return false;
    *data = rest_[next_++];
    return true;
  }
  bool FindClose() override { return true; }

 private:
  std::vector<FindData> rest_;
  std::size_t next_ = 0;
};

WString Key(WStringView path) { return ToUpperAscii(path); }

}  // namespace

LibraryHandle FakeSystem::LoadLibrary(WStringView name) {
  const WString key = ToUpperAscii(name);
  for (const auto& missing : missing_libraries) {
    if (ToUpperAscii(missing) == key) {
      last_error = win32::kErrorModNotFound;
      return nullptr;
    }
  }
  std::set<std::string> procs;
  for (const auto& [library, names] : missing_procs) {
    if (ToUpperAscii(library) == key) procs = names;
  }
  return std::make_unique<FakeLibrary>(procs);
}

void FakeFiles::Put(WStringView path, std::string bytes, std::uint32_t attributes) {
  files[Key(path)] = Entry{std::move(bytes), attributes};
}

std::string FakeFiles::Content(WStringView path) const {
  const auto it = files.find(Key(path));
  return it == files.end() ? std::string() : it->second.bytes;
}

std::uint32_t FakeFiles::GetFileAttributes(WStringView path) {
  const auto it = files.find(Key(path));
  if (it == files.end()) {
    system_.last_error = win32::kErrorFileNotFound;
    return kInvalidFileAttributes;
  }
  return it->second.attributes;
}

bool FakeFiles::SetFileAttributes(WStringView path, std::uint32_t attributes) {
  const auto it = files.find(Key(path));
  if (it == files.end()) {
    system_.last_error = win32::kErrorFileNotFound;
    return false;
  }
  it->second.attributes = attributes;
  return true;
}

bool FakeFiles::DeleteFile(WStringView path) {
  const auto it = files.find(Key(path));
  if (it == files.end()) {
    system_.last_error = win32::kErrorFileNotFound;
    return false;
  }
  // Windows refuses to delete a read-only file.
  if (it->second.attributes & kFileAttributeReadOnly) {
    system_.last_error = win32::kErrorAccessDenied;
    return false;
  }
  files.erase(it);
  deleted.emplace_back(path);
  return true;
}

FindHandlePtr FakeFiles::FindFirstFile(WStringView pattern, FindData* first) {
  if (fail_find) {
    system_.last_error = win32::kErrorPathNotFound;
    return nullptr;
  }
  const auto slash = pattern.rfind(u'\\');
  const WString folder = Key(pattern.substr(0, slash + 1));
  const WStringView name_pattern = pattern.substr(slash + 1);
  std::vector<FindData> found;
  for (const auto& [key, entry] : files) {
    if (key.size() <= folder.size() || key.compare(0, folder.size(), folder) != 0) continue;
    const WString name = key.substr(folder.size());
    if (name.find(u'\\') != WString::npos || !Matches(name_pattern, name)) continue;
    FindData data;
    data.file_name = name;
    data.attributes = entry.attributes;
    data.size = entry.bytes.size();
    found.push_back(data);
  }
  if (found.empty()) {
    system_.last_error = win32::kErrorFileNotFound;
    return nullptr;
  }
  *first = found.front();
  found.erase(found.begin());
  return std::make_unique<FakeFind>(std::move(found));
}

bool FakeFiles::ReadFile(WStringView path, std::uint64_t max_size, Bytes* content) {
  const auto it = files.find(Key(path));
  if (it == files.end()) {
    system_.last_error = win32::kErrorFileNotFound;
    return false;
  }
  if (it->second.bytes.size() > max_size) {
    system_.last_error = win32::kErrorNotEnoughMemory;
    return false;
  }
  content->assign(it->second.bytes.begin(), it->second.bytes.end());
  return true;
}

bool FakeFiles::ReadFileHead(WStringView path, std::uint64_t count, Bytes* content) {
  if (!ReadFile(path, std::numeric_limits<std::uint64_t>::max(), content)) return false;
  if (content->size() > count) content->resize(static_cast<std::size_t>(count));
  return true;
}

bool FakeFiles::WriteFile(WStringView path, const Bytes& content, WriteMode mode, std::uint32_t share) {
  auto& entry = files[Key(path)];
  const std::string bytes(content.begin(), content.end());
  if (mode == WriteMode::kOpenAlwaysAppend) {
    entry.bytes += bytes;
  } else {
    entry.bytes = bytes;
  }
  entry.share = share;
  return true;
}

// ---- Devices ----

namespace {

// A set over devices of the tree (indices), plus devices created in it.
class FakeSet final : public DeviceInfoSet {
 public:
  FakeSet(FakeDevices& owner, std::vector<std::size_t> members) : owner_(owner), members_(std::move(members)) {}

  bool SetupDiEnumDeviceInfo(std::uint32_t index, DeviceInfoData* device) override {
    if (index >= members_.size()) {
      owner_.system().SetLastError(win32::kErrorNoMoreItems);
      return false;
    }
    device->dev_inst = static_cast<std::uint32_t>(members_[index]) + 1;
    device->class_guid = owner_.tree[members_[index]].class_guid;
    return true;
  }
  bool SetupDiGetDeviceRegistryProperty(const DeviceInfoData& device, std::uint32_t property, std::uint32_t* type,
                                        Bytes* buffer, std::uint32_t buffer_size,
                                        std::uint32_t* required_size) override {
    if (property != kSpdrpHardwareId) return owner_.system().Unsupported();
    const Bytes value = EncodeMultiSz(Device(device).hardware_ids);
    *required_size = static_cast<std::uint32_t>(value.size());
    *type = 7;
    if (buffer_size < value.size()) {
      owner_.system().SetLastError(win32::kErrorInsufficientBuffer);
      return false;
    }
    *buffer = value;
    return true;
  }
  bool SetupDiSetDeviceRegistryProperty(DeviceInfoData* device, std::uint32_t property, const Bytes& data) override {
    if (owner_.Fault("SetupDiSetDeviceRegistryProperty")) return false;
    if (property != kSpdrpHardwareId) return owner_.system().Unsupported();
    Device(*device).hardware_ids = ParseMultiSz(data);
    last_property_ = data;
    return true;
  }
  bool SetupDiCreateDeviceInfo(WStringView, const Guid& class_guid, WStringView description, std::uint32_t flags,
                               DeviceInfoData* device) override {
    if (owner_.Fault("SetupDiCreateDeviceInfo")) return false;
    if (!(flags & kDicdGenerateId)) return owner_.system().Unsupported();
    FakeDevice created;
    created.class_guid = class_guid;
    created.description = WString(description);
    created.root_enumerated = true;
    created.removed = true;  // not in the tree until registered
    owner_.tree.push_back(created);
    members_.push_back(owner_.tree.size() - 1);
    device->dev_inst = static_cast<std::uint32_t>(owner_.tree.size());
    device->class_guid = class_guid;
    return true;
  }
  bool SetupDiCallClassInstaller(std::uint32_t function, const DeviceInfoData& device) override {
    const std::size_t index = device.dev_inst - 1;
    if (function == kDifRegisterDevice) {
      if (owner_.Fault("DIF_REGISTERDEVICE")) return false;
      owner_.tree[index].removed = false;
      return true;
    }
    if (function == kDifRemove) {
      if (owner_.unremovable.count(index)) {
        owner_.system().SetLastError(win32::kErrorAccessDenied);
        return false;
      }
      owner_.tree[index].removed = true;
      return true;
    }
    return owner_.system().Unsupported();
  }
  Bytes last_property_;

 private:
  FakeDevice& Device(const DeviceInfoData& device) { return owner_.tree[device.dev_inst - 1]; }
  FakeDevices& owner_;
  std::vector<std::size_t> members_;
};

class FakeInfFile final : public InfFile {
 public:
  explicit FakeInfFile(const FakeInf& inf) : inf_(inf) {
    for (const auto& [name, lines] : inf.sections) names_.push_back(name);
  }
  bool SetupFindFirstLine(WStringView section, WStringView key, InfContext* context) override {
    for (std::uint32_t s = 0; s < names_.size(); ++s) {
      if (!EqualsNoCase(names_[s], section)) continue;
      const auto& lines = inf_.sections.at(names_[s]);
      for (std::uint32_t l = 0; l < lines.size(); ++l) {
        if (key.empty() || EqualsNoCase(lines[l][0], key)) {
          *context = InfContext{s, l};
          return true;
        }
      }
    }
    last_error_ = win32::kErrorLineNotFound;
    return false;
  }
  bool SetupFindNextLine(const InfContext& current, InfContext* next) override {
    const auto& lines = inf_.sections.at(names_[current.section]);
    if (current.line + 1 >= lines.size()) return false;
    *next = InfContext{current.section, current.line + 1};
    return true;
  }
  std::uint32_t SetupGetFieldCount(const InfContext& context) override {
    return static_cast<std::uint32_t>(Line(context).size() - 1);
  }
  bool SetupGetStringField(const InfContext& context, std::uint32_t index, WString* value) override {
    const auto& line = Line(context);
    if (index >= line.size()) return false;
    *value = line[index];
    return true;
  }
  win32::Error last_error_ = 0;

 private:
  const FakeInfLine& Line(const InfContext& context) {
    return inf_.sections.at(names_[context.section]).at(context.line);
  }
  FakeInf inf_;
  std::vector<WString> names_;
};

// The INF file reports its lookup failures through the system's last error.
class ReportingInfFile final : public InfFile {
 public:
  ReportingInfFile(const FakeInf& inf, FakeSystem& system) : inner_(inf), system_(system) {}
  bool SetupFindFirstLine(WStringView section, WStringView key, InfContext* context) override {
    if (inner_.SetupFindFirstLine(section, key, context)) return true;
    system_.SetLastError(inner_.last_error_);
    return false;
  }
  bool SetupFindNextLine(const InfContext& current, InfContext* next) override {
    return inner_.SetupFindNextLine(current, next);
  }
  std::uint32_t SetupGetFieldCount(const InfContext& context) override { return inner_.SetupGetFieldCount(context); }
  bool SetupGetStringField(const InfContext& context, std::uint32_t index, WString* value) override {
    if (inner_.SetupGetStringField(context, index, value)) return true;
    system_.SetLastError(win32::kErrorInvalidParameter);
    return false;
  }

 private:
  FakeInfFile inner_;
  FakeSystem& system_;
};

}  // namespace

bool FakeDevices::Fault(const std::string& api) {
  const int n = ++calls[api];
  const auto it = faults.find(api);
  if (it == faults.end() || it->second.first != n) return false;
  system_.SetLastError(it->second.second);
  return true;
}

DeviceInfoSetHandle FakeDevices::SetupDiGetClassDevs(const Guid* class_guid, WStringView, std::uint32_t flags) {
  std::vector<std::size_t> members;
  for (std::size_t i = 0; i < tree.size(); ++i) {
    if (tree[i].removed && (flags & kDigcfPresent)) continue;
    if (class_guid && !(tree[i].class_guid == *class_guid)) continue;
    members.push_back(i);
  }
  return std::make_unique<FakeSet>(*this, members);
}

DeviceInfoSetHandle FakeDevices::SetupDiCreateDeviceInfoList(const Guid*) {
  if (Fault("SetupDiCreateDeviceInfoList")) return nullptr;
  ++created_sets;
  return std::make_unique<FakeSet>(*this, std::vector<std::size_t>{});
}

bool FakeDevices::UpdateDriverForPlugAndPlayDevices(WStringView hardware_id, WStringView inf_path,
                                                    std::uint32_t flags, bool* reboot_required) {
  *reboot_required = false;
  updates.push_back({WString(hardware_id), WString(inf_path), flags});
  if (Fault("UpdateDriverForPlugAndPlayDevices")) return false;
  int matched = 0;
  for (auto& device : tree) {
    if (device.removed) continue;
    for (const auto& id : device.hardware_ids) {
      if (EqualsNoCase(id, hardware_id)) {
        device.driver_inf = WString(inf_path);
        ++matched;
        break;
      }
    }
  }
  if (matched == 0) {
    system_.SetLastError(win32::kErrorNoSuchDevinst);
    return false;
  }
  *reboot_required = update_needs_restart;
  return true;
}

bool FakeDevices::SetupCopyOEMInf(WStringView source_inf, WStringView media_location, std::uint32_t media_type,
                                  std::uint32_t copy_style, WString* destination_name) {
  copies.push_back({WString(source_inf), WString(media_location), media_type, copy_style});
  const WString key = ToUpperAscii(source_inf);
  const bool present = std::find(store.begin(), store.end(), key) != store.end();
  *destination_name = u"C:\\Windows\\inf\\oem1.inf";
  if (Fault("SetupCopyOEMInf")) return false;
  if (present && (copy_style & kSpCopyNoOverwrite)) {
    system_.SetLastError(win32::kErrorFileExists);
    return false;
  }
  if (!present && (copy_style & kSpCopyReplaceOnly)) {
    system_.SetLastError(win32::kErrorFileNotFound);
    return false;
  }
  if (!present) store.push_back(key);
  return true;
}

InfFileHandle FakeDevices::SetupOpenInfFile(WStringView path, WStringView, std::uint32_t, std::uint32_t* error_line) {
  *error_line = 0;
  const auto it = infs.find(ToUpperAscii(path));
  if (it == infs.end()) {
    system_.SetLastError(win32::kErrorFileNotFound);
    return nullptr;
  }
  return std::make_unique<ReportingInfFile>(it->second, system_);
}

bool FakeDevices::SetupDiGetINFClass(WStringView inf_path, Guid* class_guid, WString* class_name) {
  const auto it = infs.find(ToUpperAscii(inf_path));
  if (it == infs.end()) {
    system_.SetLastError(win32::kErrorFileNotFound);
    return false;
  }
  *class_guid = it->second.class_guid;
  *class_name = it->second.class_name;
  return true;
}

bool FakeDevices::SetupDiClassGuidsFromName(WStringView class_name, std::vector<Guid>* guids) {
  guids->clear();
  if (EqualsNoCase(class_name, u"Ports")) guids->push_back(kGuidDevClassPorts);
  if (EqualsNoCase(class_name, u"USB")) guids->push_back(kGuidDevClassUsb);
  return true;
}

win32::ConfigRet FakeDevices::CM_Locate_DevNode(std::uint32_t* dev_inst, WStringView device_id, std::uint32_t) {
  if (!device_id.empty()) return win32::kCrNoSuchDevnode;
  *dev_inst = 0x10000;
  return win32::kCrSuccess;
}

win32::ConfigRet FakeDevices::CM_Reenumerate_DevNode(std::uint32_t dev_inst, std::uint32_t flags) {
  if (dev_inst != 0x10000 || flags != 0) return win32::kCrInvalidDevnode;
  ++reenumerations;
  return win32::kCrSuccess;
}

// ---- Spooler ----

namespace {

class FakePrinter final : public Printer {
 public:
  FakePrinter(FakeSpooler& spooler, WString key) : spooler_(spooler), key_(std::move(key)) {}
  bool ClosePrinter() override { return true; }
  std::uintptr_t NativeHandle() const override { return 1; }
  bool GetPrinter(std::uint32_t level, PrinterInfo2* info, std::uint32_t buffer_size,
                  std::uint32_t* needed) override {
    if (level != 2) return spooler_.system().Unsupported();
    *needed = 512;
    if (buffer_size < *needed) {
      spooler_.system().SetLastError(win32::kErrorInsufficientBuffer);
      return false;
    }
    *info = spooler_.printers.at(key_);
    return true;
  }
  bool SetPrinter(const PrinterInfo2& info) override {
    spooler_.set_printer_records.push_back(info);
    spooler_.printers[key_] = info;
    return true;
  }
  bool DeletePrinter() override { return spooler_.system().Unsupported(); }
  std::uint32_t StartDocPrinter(const DocInfo1&) override { return 0; }
  bool StartPagePrinter() override { return false; }
  bool WritePrinter(const std::uint8_t*, std::uint32_t, std::uint32_t*) override { return false; }
  bool EndPagePrinter() override { return false; }
  bool EndDocPrinter() override { return false; }
  bool EnumForms(std::vector<FormInfo1>*, std::uint32_t, std::uint32_t*, std::uint32_t*) override { return false; }
  bool AddForm(const FormInfo1&) override { return false; }
  bool SetForm(WStringView, const FormInfo1&) override { return false; }
  bool DeleteForm(WStringView) override { return false; }
  bool XcvData(WStringView, const Bytes&, std::uint32_t, Bytes*, std::uint32_t*, std::uint32_t*) override {
    return false;
  }

 private:
  FakeSpooler& spooler_;
  WString key_;
};

}  // namespace

bool FakeSpooler::OpenPrinter(WStringView name, const PrinterDefaults&, PrinterHandle* printer) {
  const WString key = ToUpperAscii(name);
  if (!printers.count(key)) {
    system_.SetLastError(win32::kErrorInvalidPrinterName);
    return false;
  }
  *printer = std::make_unique<FakePrinter>(*this, key);
  return true;
}

bool FakeSpooler::SetDefaultPrinter(WStringView name) {
  ++set_default_calls;
  if (!printers.count(ToUpperAscii(name))) {
    system_.SetLastError(win32::kErrorInvalidPrinterName);
    return false;
  }
  default_printer = WString(name);
  return true;
}

}  // namespace kit::usbinstall::testing
