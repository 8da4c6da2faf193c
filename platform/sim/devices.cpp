// Devices of the virtual machine: the device tree (plugged hardware and
// root-enumerated devices with hardware ids, class and bound driver), the
// driver store in the Windows "inf" folder, INF files, cabinets and the
// configuration manager.
#include <algorithm>
#include <fstream>

#include "platform/profile_file_source.h"
#include "platform/sim/cabinet.h"
#include "platform/sim/core.h"
#include "platform/sim/driver_binding.h"
#include "platform/sim/inf_text.h"

namespace kit::sim {
namespace {

namespace fs = std::filesystem;

// The largest cabinet the machine opens (a driver cabinet is a few megabytes).
constexpr std::uint64_t kMaxCabinetBytes = 256u << 20;

constexpr std::uint32_t kRootDevInst = 1;
constexpr char16_t kRootDeviceId[] = u"HTREE\\ROOT\\0";

Bytes Sz(const WString& s) {
  Bytes out = EncodeMultiSz({s});
  out.resize(out.size() - 2);
  return out;
}

std::vector<WString> TextList(const Json& device, const char* member) {
  std::vector<WString> out;
  for (const auto& v : device.value(member, Json::array())) {
    if (v.is_string()) out.push_back(FromUtf8(v.get<std::string>()));
  }
  return out;
}

bool IsPresent(const Json& d) { return d.value("plugged", true) && d.value("installed", true); }

struct KnownClass {
  const char16_t* name;
  Guid guid;
};
constexpr KnownClass kKnownClasses[] = {
    {u"USB", kGuidDevClassUsb},
    {u"Ports", kGuidDevClassPorts},
    {u"Printer", kGuidDevClassPrinter},
    {u"Image", kGuidDevClassImage},
};

// A device created in a set and not yet registered in the tree.
struct PendingDevice {
  std::uint32_t dev_inst = 0;
  Json record;
};

class SimDeviceSet final : public DeviceInfoSet {
 public:
  SimDeviceSet(Core& core, std::vector<std::uint32_t> members, std::optional<Guid> class_guid)
      : core_(core), members_(std::move(members)), class_guid_(class_guid) {}

  bool SetupDiEnumDeviceInfo(std::uint32_t index, DeviceInfoData* device) override {
    if (index >= members_.size()) return Core::Fail(win32::kErrorNoMoreItems);
    Json s;
    if (!core_.Read(&s)) return false;
    device->dev_inst = members_[index];
    const Json* d = FindIn(s, members_[index]);
    const PendingDevice* p = FindPending(members_[index]);
    const Json& rec = d ? *d : (p ? p->record : Json::object());
    device->class_guid = Guid::Parse(JsonText(rec, "class_guid")).value_or(Guid{});
    return true;
  }

  bool SetupDiGetDeviceRegistryProperty(const DeviceInfoData& device, std::uint32_t property, std::uint32_t* reg_type,
                                        Bytes* buffer, std::uint32_t buffer_size,
                                        std::uint32_t* required_size) override {
    Json s;
    if (!core_.Read(&s)) return false;
    if (auto f = core_.TakeReadFault(s, "SetupDiGetDeviceRegistryProperty")) return Core::Fail(*f);
    const Json* d = FindIn(s, device.dev_inst);
    const PendingDevice* p = FindPending(device.dev_inst);
    if (!d && !p) return Core::Fail(win32::kErrorNoSuchDevinst);
    const Json& rec = d ? *d : p->record;
    Bytes value;
    std::uint32_t type = kRegSz;
    switch (property) {
      case kSpdrpHardwareId:
      case kSpdrpCompatibleIds: {
        const auto ids = TextList(rec, property == kSpdrpHardwareId ? "hardware_ids" : "compatible_ids");
        if (ids.empty()) return Core::Fail(win32::kErrorInvalidData);
        value = EncodeMultiSz(ids);
        type = kRegMultiSz;
        break;
      }
      case kSpdrpDeviceDesc:
      case kSpdrpClass:
      case kSpdrpClassGuid:
      case kSpdrpMfg:
      case kSpdrpFriendlyName:
      case kSpdrpDriver: {
        const char* member = property == kSpdrpDeviceDesc   ? "description"
                             : property == kSpdrpClass      ? "class"
                             : property == kSpdrpClassGuid  ? "class_guid"
                             : property == kSpdrpMfg        ? "manufacturer"
                             : property == kSpdrpFriendlyName ? "friendly_name"
                                                              : "driver_key";
        const WString text = JsonText(rec, member);
        if (text.empty()) return Core::Fail(win32::kErrorInvalidData);
        value = Sz(text);
        break;
      }
      default:
        return Core::Fail(win32::kErrorInvalidRegProperty);
    }
    if (reg_type) *reg_type = type;
    if (required_size) *required_size = static_cast<std::uint32_t>(value.size());
    if (buffer_size < value.size()) return Core::Fail(win32::kErrorInsufficientBuffer);
    if (buffer) *buffer = value;
    return true;
  }

  bool SetupDiSetDeviceRegistryProperty(DeviceInfoData* device, std::uint32_t property, const Bytes& data) override {
    const char* member = property == kSpdrpHardwareId     ? "hardware_ids"
                         : property == kSpdrpCompatibleIds ? "compatible_ids"
                         : property == kSpdrpDeviceDesc    ? "description"
                         : property == kSpdrpFriendlyName  ? "friendly_name"
                                                           : nullptr;
    if (!member) return Core::Fail(win32::kErrorInvalidRegProperty);
    auto apply = [&](Json& rec) {
      if (property == kSpdrpHardwareId || property == kSpdrpCompatibleIds) {
        Json list = Json::array();
        for (const auto& id : ParseMultiSz(data)) list.push_back(U8(id));
        rec[member] = list;
      } else {
        const auto items = ParseMultiSz(data);
        rec[member] = items.empty() ? std::string() : U8(items[0]);
      }
    };
    if (PendingDevice* p = FindPending(device->dev_inst)) {
      apply(p->record);
      return true;
    }
    return core_.Update([&](Json& s) {
      if (auto f = Core::TakeFault(s, "SetupDiSetDeviceRegistryProperty")) return Core::Fail(*f);
      Json* d = FindIn(s, device->dev_inst);
      if (!d) return Core::Fail(win32::kErrorNoSuchDevinst);
      apply(*d);
      return true;
    });
  }

  bool SetupDiCreateDeviceInfo(WStringView device_name, const Guid& class_guid, WStringView description,
                               std::uint32_t flags, DeviceInfoData* device) override {
    if (class_guid_ && !class_guid_->IsNull() && !(*class_guid_ == class_guid)) {
      return Core::Fail(win32::kErrorClassMismatch);
    }
    std::uint32_t inst = 0;
    WString instance_id;
    const bool ok = core_.Update([&](Json& s) {
      if (auto f = Core::TakeFault(s, "SetupDiCreateDeviceInfo")) return Core::Fail(*f);
      auto& dev = s["devices"];
      inst = dev.value("next_inst", 2u);
      dev["next_inst"] = inst + 1;
      if (flags & kDicdGenerateId) {
        // ROOT\<class name>\NNNN, numbered per class.
        int n = 0;
        const WString prefix = u"ROOT\\" + ToUpperAscii(device_name) + u"\\";
        for (const auto& d : dev["list"]) {
          if (ToUpperAscii(JsonText(d, "instance_id")).rfind(prefix, 0) == 0) ++n;
        }
        for (const auto& p : pending_) {
          if (ToUpperAscii(JsonText(p.record, "instance_id")).rfind(prefix, 0) == 0) ++n;
        }
        char number[16];
        std::snprintf(number, sizeof number, "%04d", n);
        instance_id = prefix + FromUtf8(number);
      } else {
        instance_id = WString(device_name);
        for (const auto& d : dev["list"]) {
          if (EqualsNoCase(JsonText(d, "instance_id"), instance_id)) return Core::Fail(win32::kErrorDevinstAlreadyExists);
        }
      }
      return true;
    });
    if (!ok) return false;
    WString class_name;
    for (const auto& k : kKnownClasses) {
      if (k.guid == class_guid) class_name = k.name;
    }
    PendingDevice p;
    p.dev_inst = inst;
    p.record = {{"inst", inst},
                {"instance_id", U8(instance_id)},
                {"class", U8(class_name)},
                {"class_guid", U8(class_guid.ToString())},
                {"description", U8(description)},
                {"hardware_ids", Json::array()},
                {"root", true},
                {"plugged", true},
                {"installed", true}};
    pending_.push_back(p);
    device->dev_inst = inst;
    device->class_guid = class_guid;
    members_.push_back(inst);
    return true;
  }

  bool SetupDiCallClassInstaller(std::uint32_t function, const DeviceInfoData& device) override {
    if (function == kDifRegisterDevice) {
      auto it = std::find_if(pending_.begin(), pending_.end(), [&](const auto& p) { return p.dev_inst == device.dev_inst; });
      if (it == pending_.end()) return Core::Fail(win32::kErrorNoSuchDevinst);
      const bool ok = core_.Update([&](Json& s) {
        if (auto f = Core::TakeFault(s, "SetupDiCallClassInstaller(DIF_REGISTERDEVICE)")) return Core::Fail(*f);
        s["devices"]["list"].push_back(it->record);
        return true;
      });
      if (ok) pending_.erase(it);
      return ok;
    }
    if (function == kDifRemove) {
      auto it = std::find_if(pending_.begin(), pending_.end(), [&](const auto& p) { return p.dev_inst == device.dev_inst; });
      if (it != pending_.end()) {
        pending_.erase(it);
        return true;
      }
      return core_.Update([&](Json& s) {
        if (auto f = Core::TakeFault(s, "SetupDiCallClassInstaller(DIF_REMOVE)")) return Core::Fail(*f);
        auto& list = s["devices"]["list"];
        for (auto d = list.begin(); d != list.end(); ++d) {
          if ((*d).value("inst", 0u) != device.dev_inst) continue;
          if ((*d).value("root", false)) {
            list.erase(d);  // a root-enumerated device is gone for good
          } else {
            // Plugged hardware loses its device node and driver until the
            // tree is enumerated again.
            (*d)["installed"] = false;
            (*d)["driver_inf"] = "";
          }
          return true;
        }
        return Core::Fail(win32::kErrorNoSuchDevinst);
      });
    }
    return Core::Fail(win32::kErrorDiDoDefault);
  }

 private:
  static const Json* FindIn(const Json& s, std::uint32_t inst) {
    for (const auto& d : s["devices"]["list"]) {
      if (d.value("inst", 0u) == inst) return &d;
    }
    return nullptr;
  }
  static Json* FindIn(Json& s, std::uint32_t inst) {
    for (auto& d : s["devices"]["list"]) {
      if (d.value("inst", 0u) == inst) return &d;
    }
    return nullptr;
  }
  PendingDevice* FindPending(std::uint32_t inst) {
    for (auto& p : pending_) {
      if (p.dev_inst == inst) return &p;
    }
    return nullptr;
  }

  Core& core_;
  std::vector<std::uint32_t> members_;
  std::optional<Guid> class_guid_;
  std::vector<PendingDevice> pending_;
};

class SimInfFile final : public InfFile {
 public:
  explicit SimInfFile(InfText inf) : inf_(std::move(inf)) {}

  bool SetupFindFirstLine(WStringView section, WStringView key, InfContext* context) override {
    for (std::uint32_t s = 0; s < inf_.sections.size(); ++s) {
      if (!EqualsNoCase(inf_.sections[s].name, section)) continue;
      const auto& lines = inf_.sections[s].lines;
      for (std::uint32_t l = 0; l < lines.size(); ++l) {
        if (key.empty() || EqualsNoCase(lines[l].key, key)) {
          *context = {s, l};
          return true;
        }
      }
      return Core::Fail(win32::kErrorLineNotFound);
    }
    return Core::Fail(win32::kErrorLineNotFound);
  }
  bool SetupFindNextLine(const InfContext& current, InfContext* next) override {
    if (current.section >= inf_.sections.size() || current.line + 1 >= inf_.sections[current.section].lines.size()) {
      return Core::Fail(win32::kErrorLineNotFound);
    }
    *next = {current.section, current.line + 1};
    return true;
  }
  std::uint32_t SetupGetFieldCount(const InfContext& context) override {
    const InfLine* line = Line(context);
    return line ? static_cast<std::uint32_t>(line->fields.size()) : 0;
  }
  bool SetupGetStringField(const InfContext& context, std::uint32_t index, WString* value) override {
    const InfLine* line = Line(context);
    if (!line) return Core::Fail(win32::kErrorInvalidParameter);
    if (index == 0) {
      *value = line->key;
      return true;
    }
    if (index > line->fields.size()) return Core::Fail(win32::kErrorInvalidParameter);
    *value = line->fields[index - 1];
    return true;
  }

 private:
  const InfLine* Line(const InfContext& c) const {
    if (c.section >= inf_.sections.size() || c.line >= inf_.sections[c.section].lines.size()) return nullptr;
    return &inf_.sections[c.section].lines[c.line];
  }
  InfText inf_;
};

class SimDevices final : public Devices {
 public:
  SimDevices(Core& core, Files& files) : core_(core), files_(files) {}

  DeviceInfoSetHandle SetupDiGetClassDevs(const Guid* class_guid, WStringView enumerator, std::uint32_t flags) override {
    std::vector<std::uint32_t> members;
    const bool ok = core_.Update([&](Json& s) {
      if (auto f = Core::TakeFault(s, "SetupDiGetClassDevs")) return Core::Fail(*f);
      if (!class_guid && !(flags & kDigcfAllClasses)) return Core::Fail(win32::kErrorInvalidParameter);
      for (const auto& d : s["devices"]["list"]) {
        if ((flags & kDigcfPresent) && !IsPresent(d)) continue;
        if (!(flags & kDigcfAllClasses) && Guid::Parse(JsonText(d, "class_guid")) != *class_guid) continue;
        if (!enumerator.empty()) {
          const WString id = JsonText(d, "instance_id");
          if (id.size() <= enumerator.size() || !EqualsNoCase(WStringView(id).substr(0, enumerator.size()), enumerator) ||
              id[enumerator.size()] != u'\\') {
            continue;
          }
        }
        members.push_back(d.value("inst", 0u));
      }
      return true;
    });
    if (!ok) return nullptr;
    return std::make_unique<SimDeviceSet>(core_, std::move(members),
                                          class_guid ? std::optional<Guid>(*class_guid) : std::nullopt);
  }

  DeviceInfoSetHandle SetupDiCreateDeviceInfoList(const Guid* class_guid) override {
    return std::make_unique<SimDeviceSet>(core_, std::vector<std::uint32_t>{},
                                          class_guid ? std::optional<Guid>(*class_guid) : std::nullopt);
  }

  bool UpdateDriverForPlugAndPlayDevices(WStringView hardware_id, WStringView inf_path, std::uint32_t,
                                         bool* reboot_required) override {
    if (reboot_required) *reboot_required = false;
    if (hardware_id.empty() || inf_path.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    Bytes content;
    Json probe;
    if (!core_.Read(&probe)) return false;
    // newdev refuses a 32-bit caller on 64-bit Windows.
    if (core_.IsWow64(probe)) return Core::Fail(win32::kErrorInWow64);
    if (!files_.ReadFile(inf_path, kMaxProfileFileBytes, &content)) return false;
    const InfText inf = ParseInf(content);
    WString stored;
    if (!CopyToStore(inf_path, content, 0, &stored, /*count_fault=*/false)) return false;
    return core_.Update([&](Json& s) {
      if (auto f = Core::TakeFault(s, "UpdateDriverForPlugAndPlayDevices", hardware_id)) return Core::Fail(*f);
      int matched = 0;
      for (auto& d : s["devices"]["list"]) {
        if (!IsPresent(d)) continue;
        bool match = false;
        for (const auto& id : TextList(d, "hardware_ids")) match = match || EqualsNoCase(id, hardware_id);
        for (const auto& id : TextList(d, "compatible_ids")) match = match || EqualsNoCase(id, hardware_id);
        if (!match) continue;
        ++matched;
        d["driver_inf"] = U8(stored);
        const WString cls = inf.VersionValue(u"Class");
        if (!cls.empty()) d["class"] = U8(cls);
        const WString guid = inf.VersionValue(u"ClassGUID");
        if (!guid.empty()) d["class_guid"] = U8(guid);
        if (!ApplyDriverBinding(core_, s, d, inf, inf_path, hardware_id)) return false;
      }
      if (matched == 0) return Core::Fail(win32::kErrorNoSuchDevinst);
      return true;
    });
  }

  bool SetupCopyOEMInf(WStringView source_inf, WStringView media_location, std::uint32_t media_type,
                       std::uint32_t copy_style, WString* destination_name) override {
    if (media_type != kSpostNone && media_type != kSpostPath) return Core::Fail(win32::kErrorInvalidParameter);
    (void)media_location;
    Bytes content;
    if (!files_.ReadFile(source_inf, kMaxProfileFileBytes, &content)) return false;
    return CopyToStore(source_inf, content, copy_style, destination_name, /*count_fault=*/true);
  }

  InfFileHandle SetupOpenInfFile(WStringView path, WStringView, std::uint32_t style, std::uint32_t* error_line) override {
    if (error_line) *error_line = 0;
    Bytes content;
    if (!files_.ReadFile(path, kMaxProfileFileBytes, &content)) return nullptr;
    InfText inf = ParseInf(content);
    if (style & kInfStyleWin4) {
      const WString signature = ToUpperAscii(inf.VersionValue(u"Signature"));
      if (signature != u"$WINDOWS NT$" && signature != u"$CHICAGO$" && signature != u"$WINDOWS 95$") {
        Core::SetLastError(win32::kErrorWrongInfStyle);
        return nullptr;
      }
    }
    return std::make_unique<SimInfFile>(std::move(inf));
  }

  bool SetupDiGetINFClass(WStringView inf_path, Guid* class_guid, WString* class_name) override {
    Bytes content;
    if (!files_.ReadFile(inf_path, kMaxProfileFileBytes, &content)) return false;
    const InfText inf = ParseInf(content);
    const WString name = inf.VersionValue(u"Class");
    const WString guid = inf.VersionValue(u"ClassGUID");
    if (name.empty() && guid.empty()) return Core::Fail(win32::kErrorNoAssociatedClass);
    *class_guid = Guid::Parse(guid).value_or(Guid{});
    *class_name = name;
    return true;
  }

  bool SetupDiClassGuidsFromName(WStringView class_name, std::vector<Guid>* guids) override {
    guids->clear();
    for (const auto& k : kKnownClasses) {
      if (EqualsNoCase(k.name, class_name)) guids->push_back(k.guid);
    }
    return true;
  }

  bool SetupIterateCabinet(WStringView cabinet_path, const CabinetCallback& callback) override {
    Bytes content;
    if (!files_.ReadFile(cabinet_path, kMaxCabinetBytes, &content)) return false;
    std::vector<CabinetFile> members;
    std::string error;
    if (!ReadCabinet(content, &members, &error)) return Core::Fail(win32::kErrorInvalidData);
    for (const auto& m : members) {
      const auto target = callback({m.name, m.data.size()});
      if (!target) continue;
      if (!files_.WriteFile(*target, m.data, WriteMode::kCreateAlways)) return false;
    }
    return true;
  }

  bool HasConfigManager() override {
    Json s;
    if (!core_.Read(&s)) return false;
    return s["system"].value("has_cfgmgr32", true);
  }

  win32::ConfigRet CM_Locate_DevNode(std::uint32_t* dev_inst, WStringView device_id, std::uint32_t) override {
    if (!dev_inst) return win32::kCrInvalidPointer;
    Json s;
    if (!core_.Read(&s)) return win32::kCrFailure;
    if (device_id.empty() || EqualsNoCase(device_id, kRootDeviceId)) {
      *dev_inst = kRootDevInst;
      return win32::kCrSuccess;
    }
    for (const auto& d : s["devices"]["list"]) {
      if (IsPresent(d) && EqualsNoCase(JsonText(d, "instance_id"), device_id)) {
        *dev_inst = d.value("inst", 0u);
        return win32::kCrSuccess;
      }
    }
    return win32::kCrNoSuchDevnode;
  }

  win32::ConfigRet CM_Reenumerate_DevNode(std::uint32_t dev_inst, std::uint32_t) override {
    win32::ConfigRet result = win32::kCrSuccess;
    core_.Update([&](Json& s) {
      if (auto f = Core::TakeFault(s, "CM_Reenumerate_DevNode")) {
        result = *f;
        return false;
      }
      if (dev_inst != kRootDevInst) {
        bool found = false;
        for (const auto& d : s["devices"]["list"]) found = found || d.value("inst", 0u) == dev_inst;
        if (!found) {
          result = win32::kCrNoSuchDevnode;
          return false;
        }
      }
      // Plugged hardware without a device node gets one again.
      for (auto& d : s["devices"]["list"]) {
        if (d.value("plugged", true)) d["installed"] = true;
      }
      s["devices"]["reenumerations"] = s["devices"].value("reenumerations", 0) + 1;
      return true;
    });
    return result;
  }

 private:
  // Puts an INF into the driver store as oem<n>.inf (with its .PNF).
  bool CopyToStore(WStringView source, const Bytes& content, std::uint32_t style, WString* name, bool count_fault) {
    return core_.Update([&](Json& s) {
      if (count_fault) {
        if (auto f = Core::TakeFault(s, "SetupCopyOEMInf", source)) return Core::Fail(*f);
      }
      auto& store = s["devices"]["store"];
      const std::string original = U8(WString(source.substr(source.find_last_of(u"\\/") == WStringView::npos
                                                                ? 0
                                                                : source.find_last_of(u"\\/") + 1)));
      const WString inf_dir = Core::WindowsDirectory(s) + u"\\inf";
      // An INF already in the store is one with the same content.
      for (const auto& e : store) {
        ResolvedPath r;
        if (!core_.Resolve(s, inf_dir + u"\\" + JsonText(e, "oem"), false, &r)) continue;
        std::ifstream in(r.host, std::ios::binary);
        const Bytes existing((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (existing != content) continue;
        *name = inf_dir + u"\\" + JsonText(e, "oem");
        if (style & kSpCopyNoOverwrite) return Core::Fail(win32::kErrorFileExists);
        return true;
      }
      if (style & kSpCopyReplaceOnly) return Core::Fail(win32::kErrorFileNotFound);
      int n = 0;
      for (const auto& e : store) n = std::max(n, e.value("number", 0));
      // Numbers already used by files in the inf folder are skipped too.
      ResolvedPath dir;
      if (!core_.Resolve(s, inf_dir, false, &dir)) return false;
      std::error_code ec;
      fs::create_directories(dir.host, ec);
      WString oem;
      ResolvedPath target;
      for (++n;; ++n) {
        oem = u"oem" + FromUtf8(std::to_string(n)) + u".inf";
        if (!core_.Resolve(s, inf_dir + u"\\" + oem, false, &target)) return false;
        if (!fs::exists(target.host, ec)) break;
      }
      std::ofstream(target.host, std::ios::binary).write(reinterpret_cast<const char*>(content.data()),
                                                          static_cast<std::streamsize>(content.size()));
      ResolvedPath pnf;
      if (core_.Resolve(s, inf_dir + u"\\oem" + FromUtf8(std::to_string(n)) + u".PNF", false, &pnf)) {
        std::ofstream(pnf.host, std::ios::binary) << "PNF " << original;
      }
      store.push_back({{"oem", U8(oem)}, {"number", n}, {"original", original}});
      *name = inf_dir + u"\\" + oem;
      return true;
    });
  }

  Core& core_;
  Files& files_;
};

}  // namespace

std::unique_ptr<Devices> MakeDevices(Core& core, Files& files) { return std::make_unique<SimDevices>(core, files); }

}  // namespace kit::sim
