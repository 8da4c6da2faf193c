// Registry of the virtual machine: a tree of keys in the state file, with
// the 32-bit view of HKLM\SOFTWARE below "Wow6432Node" on 64-bit machines.
#include "platform/sim/core.h"

namespace kit::sim {
namespace {

using Path = std::vector<WString>;

const char* RootName(RootKey root) {
  switch (root) {
    case RootKey::kClassesRoot: return "HKCR";
    case RootKey::kCurrentUser: return "HKCU";
    case RootKey::kLocalMachine: return "HKLM";
    case RootKey::kUsers: return "HKU";
  }
  return "HKLM";
}

constexpr std::uint32_t kWriteRights = kKeySetValue | kKeyCreateSubKey | 0x00010000 /*DELETE*/;
// Both view flags at once (KEY_WOW64_RES): Windows refuses the call.
constexpr std::uint32_t kBothViews = kKeyWow64_32Key | kKeyWow64_64Key;

// Keys below HKLM\SOFTWARE that 64-bit Windows shares between its 32-bit and
// 64-bit views ("Registry Keys Affected by WOW64", Windows 7): a 32-bit
// program reaches the one key, not a copy below Wow6432Node. Subkeys share
// with their parent. Classes is redirected and reflected before Windows 7;
// one copy stands for both here.
constexpr const char16_t* kSharedSoftwareKeys[] = {
    u"Classes",
    u"Microsoft\\COM3",
    u"Microsoft\\Cryptography\\Calais\\Current",
    u"Microsoft\\Cryptography\\Calais\\Readers",
    u"Microsoft\\Cryptography\\Services",
    u"Microsoft\\CTF\\SystemShared",
    u"Microsoft\\CTF\\TIP",
    u"Microsoft\\DFS",
    u"Microsoft\\Driver Signing",
    u"Microsoft\\EnterpriseCertificates",
    u"Microsoft\\EventSystem",
    u"Microsoft\\MSMQ",
    u"Microsoft\\Non-Driver Signing",
    u"Microsoft\\Notepad\\DefaultFonts",
    u"Microsoft\\OLE",
    u"Microsoft\\RAS",
    u"Microsoft\\RPC",
    u"Microsoft\\SOFTWARE\\Microsoft\\Shared Tools\\MSInfo",
    u"Microsoft\\SystemCertificates",
    u"Microsoft\\TermServLicensing",
    u"Microsoft\\Transaction Server",
    u"Microsoft\\Windows\\CurrentVersion\\App Paths",
    u"Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes",
    u"Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers",
    u"Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons",
    u"Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap",
    u"Microsoft\\Windows\\CurrentVersion\\Group Policy",
    u"Microsoft\\Windows\\CurrentVersion\\Policies",
    u"Microsoft\\Windows\\CurrentVersion\\PreviewHandlers",
    u"Microsoft\\Windows\\CurrentVersion\\Setup",
    u"Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations",
    u"Microsoft\\Windows NT\\CurrentVersion\\Console",
    u"Microsoft\\Windows NT\\CurrentVersion\\FontDpi",
    u"Microsoft\\Windows NT\\CurrentVersion\\FontLink",
    u"Microsoft\\Windows NT\\CurrentVersion\\FontMapper",
    u"Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    u"Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
    u"Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize",
    u"Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
    u"Microsoft\\Windows NT\\CurrentVersion\\LanguagePack",
    u"Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    u"Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    u"Microsoft\\Windows NT\\CurrentVersion\\Ports",
    u"Microsoft\\Windows NT\\CurrentVersion\\Print",
    u"Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
    u"Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
    u"Policies",
    u"RegisteredApplications",
};

// Splits "A\B\C"; false for an empty or over-long component.
bool SplitKeyPath(WStringView text, Path* out) {
  out->clear();
  std::size_t pos = 0;
  while (pos <= text.size()) {
    auto next = text.find(u'\\', pos);
    if (next == WStringView::npos) next = text.size();
    const WStringView part = text.substr(pos, next - pos);
    if (!part.empty()) {
      if (part.size() > kMaxKeyNameLength) return false;
      out->emplace_back(part);
    }
    pos = next + 1;
  }
  return true;
}

// The child named `name` (any case), or null.
Json* Child(Json& node, const WString& name) {
  if (!node.contains("k")) return nullptr;
  for (auto& [key, child] : node["k"].items()) {
    if (EqualsNoCase(FromUtf8(key), name)) return &child;
  }
  return nullptr;
}

Json* Find(Json& node, const Path& path) {
  Json* at = &node;
  for (const auto& part : path) {
    at = Child(*at, part);
    if (!at) return nullptr;
  }
  return at;
}

class SimRegistry;

class SimKey final : public RegistryKey {
 public:
  SimKey(Core& core, SimRegistry& registry, RootKey root, Path path, std::uint32_t access)
      : core_(core), registry_(registry), root_(root), path_(std::move(path)), access_(access) {}

  std::uint32_t QueryValue(WStringView name, std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;
  std::uint32_t SetValue(WStringView name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) override;
  std::uint32_t DeleteValue(WStringView name) override;
  std::uint32_t EnumKey(std::uint32_t index, WString* name) override;
  std::uint32_t EnumValue(std::uint32_t index, WString* name, std::uint32_t* type) override;
  std::uint32_t OpenKey(WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key) override;
  std::uint32_t CreateKey(WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key,
                          std::uint32_t* disposition) override;
  std::uint32_t DeleteKey(WStringView sub_key) override;

 private:
  // Runs `f` on this key's node; kErrorKeyDeleted when it is gone.
  template <typename F>
  std::uint32_t WithNode(bool write, const char* api, F&& f);

  Core& core_;
  SimRegistry& registry_;
  RootKey root_;
  Path path_;  // already mapped to the view
  std::uint32_t access_;
};

class SimRegistry final : public Registry {
 public:
  explicit SimRegistry(Core& core) : core_(core) {}

  // Applies the WOW64 view to a path below HKLM.
  Path MapView(const Json& s, RootKey root, Path path, std::uint32_t access) const {
    if (root != RootKey::kLocalMachine || !Core::Is64BitMachine(s) || path.empty()) return path;
    const bool want32 = (access & kKeyWow64_32Key) || (core_.process().bits == 32 && !(access & kKeyWow64_64Key));
    if (!want32 || !EqualsNoCase(path[0], u"SOFTWARE")) return path;
    if (path.size() >= 2 && (EqualsNoCase(path[1], u"Wow6432Node") || IsSharedSoftwareKey(path))) return path;
    path.insert(path.begin() + 1, u"Wow6432Node");
    return path;
  }

  // Whether SOFTWARE\<rest> lies in (or is) one of the shared keys.
  static bool IsSharedSoftwareKey(const Path& path) {
    for (const char16_t* shared : kSharedSoftwareKeys) {
      Path parts;
      SplitKeyPath(shared, &parts);
      if (path.size() < parts.size() + 1) continue;
      bool inside = true;
      for (std::size_t i = 0; i < parts.size() && inside; ++i) inside = EqualsNoCase(path[i + 1], parts[i]);
      if (inside) return true;
    }
    return false;
  }

  std::uint32_t Open(RootKey root, const Path& base, WStringView sub_key, std::uint32_t access, bool create,
                     RegistryKeyPtr* key, std::uint32_t* disposition, bool map_view) {
    Path rel;
    if (!SplitKeyPath(sub_key, &rel) || (access & kBothViews) == kBothViews) return win32::kErrorInvalidParameter;
    std::uint32_t status = win32::kErrorSuccess;
    Path full = base;
    const bool ok = core_.Update([&](Json& s) {
      full.insert(full.end(), rel.begin(), rel.end());
      if (map_view) full = MapView(s, root, full, access);
      const WString subject = FromUtf8(RootName(root)) + u"\\" + Join(full);
      if (auto f = Core::TakeFault(s, create ? "RegCreateKeyEx" : "RegOpenKeyEx", subject)) {
        status = *f;
        return false;
      }
      const bool admin = s["system"].value("admin", true);
      if (!admin && root == RootKey::kLocalMachine && (access & (kWriteRights | 0x000F0000) & ~0x00020000)) {
        // A standard user cannot write below HKLM.
        status = win32::kErrorAccessDenied;
        return false;
      }
      Json& rootNode = s["registry"][RootName(root)];
      Json* node = &rootNode;
      bool created = false;
      for (const auto& part : full) {
        Json* child = Child(*node, part);
        if (!child) {
          if (!create) {
            status = win32::kErrorFileNotFound;
            return false;
          }
          (*node)["k"][ToUtf8(part)] = Json::object();
          child = &(*node)["k"][ToUtf8(part)];
          created = true;
        }
        node = child;
      }
      if (disposition) *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
      return true;
    });
    if (!ok) return status != win32::kErrorSuccess ? status : win32::kErrorInvalidData;
    *key = std::make_unique<SimKey>(core_, *this, root, full, access);
    return win32::kErrorSuccess;
  }

  std::uint32_t Delete(RootKey root, Path full, std::uint32_t access, bool map_view) {
    std::uint32_t status = win32::kErrorSuccess;
    const bool ok = core_.Update([&](Json& s) {
      if (map_view) full = MapView(s, root, full, access);
      if (full.empty()) {
        status = win32::kErrorAccessDenied;
        return false;
      }
      if (auto f = Core::TakeFault(s, "RegDeleteKey", FromUtf8(RootName(root)) + u"\\" + Join(full))) {
        status = *f;
        return false;
      }
      if (!s["system"].value("admin", true) && root == RootKey::kLocalMachine) {
        status = win32::kErrorAccessDenied;
        return false;
      }
      Path parent_path(full.begin(), full.end() - 1);
      Json* parent = Find(s["registry"][RootName(root)], parent_path);
      Json* node = parent ? Child(*parent, full.back()) : nullptr;
      if (!node) {
        status = win32::kErrorFileNotFound;
        return false;
      }
      // Windows refuses to delete a key that has subkeys.
      if (node->contains("k") && !(*node)["k"].empty()) {
        status = win32::kErrorAccessDenied;
        return false;
      }
      for (auto it = (*parent)["k"].begin(); it != (*parent)["k"].end(); ++it) {
        if (EqualsNoCase(FromUtf8(it.key()), full.back())) {
          (*parent)["k"].erase(it);
          break;
        }
      }
      return true;
    });
    if (!ok) return status != win32::kErrorSuccess ? status : win32::kErrorInvalidData;
    return win32::kErrorSuccess;
  }

  std::uint32_t RegOpenKeyEx(RootKey root, WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key) override {
    return Open(root, {}, sub_key, access, false, key, nullptr, true);
  }
  std::uint32_t RegCreateKeyEx(RootKey root, WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key,
                               std::uint32_t* disposition) override {
    return Open(root, {}, sub_key, access, true, key, disposition, true);
  }
  std::uint32_t RegDeleteKeyEx(RootKey root, WStringView sub_key, std::uint32_t access) override {
    Path path;
    if (!SplitKeyPath(sub_key, &path) || (access & kBothViews) == kBothViews) return win32::kErrorInvalidParameter;
    return Delete(root, path, access, true);
  }

  static WString Join(const Path& path) {
    WString out;
    for (const auto& p : path) out += (out.empty() ? u"" : u"\\") + p;
    return out;
  }

  Core& core() { return core_; }

 private:
  Core& core_;
};

template <typename F>
std::uint32_t SimKey::WithNode(bool write, const char* api, F&& f) {
  if (write && !(access_ & (kKeySetValue | kKeyCreateSubKey))) return win32::kErrorAccessDenied;
  if (!write && !(access_ & (kKeyQueryValue | kKeyEnumerateSubKeys))) return win32::kErrorAccessDenied;
  std::uint32_t status = win32::kErrorSuccess;
  const bool ok = core_.Update([&](Json& s) {
    if (auto fault = Core::TakeFault(s, api, FromUtf8(RootName(root_)) + u"\\" + SimRegistry::Join(path_))) {
      status = *fault;
      return false;
    }
    Json* node = Find(s["registry"][RootName(root_)], path_);
    if (!node) {
      status = win32::kErrorKeyDeleted;
      return false;
    }
    status = f(*node);
    return status == win32::kErrorSuccess;
  });
  if (!ok && status == win32::kErrorSuccess) return win32::kErrorInvalidData;
  return status;
}

// The value named `name` (any case) in a node, or null. The default value
// has the empty name.
Json* Value(Json& node, WStringView name) {
  if (!node.contains("v")) return nullptr;
  for (auto& [key, v] : node["v"].items()) {
    if (EqualsNoCase(FromUtf8(key), name)) return &v;
  }
  return nullptr;
}

std::uint32_t SimKey::QueryValue(WStringView name, std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
  return WithNode(false, "RegQueryValueEx", [&](Json& node) -> std::uint32_t {
    Json* v = Value(node, name);
    if (!v) return win32::kErrorFileNotFound;
    const Bytes bytes = FromHex(v->value("d", std::string()));
    if (type) *type = v->value("t", kRegNone);
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data == nullptr) {
      if (size) *size = needed;
      return win32::kErrorSuccess;
    }
    if (!size) return win32::kErrorInvalidParameter;
    if (*size < needed) {
      *size = needed;
      return win32::kErrorMoreData;
    }
    std::copy(bytes.begin(), bytes.end(), data);
    *size = needed;
    return win32::kErrorSuccess;
  });
}

std::uint32_t SimKey::SetValue(WStringView name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
  if (name.size() > kMaxValueNameLength) return win32::kErrorInvalidParameter;
  if (size > 0 && data == nullptr) return win32::kErrorInvalidParameter;
  if (!(access_ & kKeySetValue)) return win32::kErrorAccessDenied;
  return WithNode(true, "RegSetValueEx", [&](Json& node) -> std::uint32_t {
    Json* v = Value(node, name);
    Json value = {{"t", type}, {"d", ToHex(Bytes(data, data + size))}};
    if (v) {
      *v = value;
    } else {
      node["v"][ToUtf8(name)] = value;
    }
    return win32::kErrorSuccess;
  });
}

std::uint32_t SimKey::DeleteValue(WStringView name) {
  if (!(access_ & kKeySetValue)) return win32::kErrorAccessDenied;
  return WithNode(true, "RegDeleteValue", [&](Json& node) -> std::uint32_t {
    if (!node.contains("v")) return win32::kErrorFileNotFound;
    for (auto it = node["v"].begin(); it != node["v"].end(); ++it) {
      if (EqualsNoCase(FromUtf8(it.key()), name)) {
        node["v"].erase(it);
        return win32::kErrorSuccess;
      }
    }
    return win32::kErrorFileNotFound;
  });
}

std::uint32_t SimKey::EnumKey(std::uint32_t index, WString* name) {
  return WithNode(false, "RegEnumKeyEx", [&](Json& node) -> std::uint32_t {
    if (!node.contains("k") || index >= node["k"].size()) return win32::kErrorNoMoreItems;
    auto it = node["k"].begin();
    std::advance(it, index);
    *name = FromUtf8(it.key());
    return win32::kErrorSuccess;
  });
}

std::uint32_t SimKey::EnumValue(std::uint32_t index, WString* name, std::uint32_t* type) {
  return WithNode(false, "RegEnumValue", [&](Json& node) -> std::uint32_t {
    if (!node.contains("v") || index >= node["v"].size()) return win32::kErrorNoMoreItems;
    auto it = node["v"].begin();
    std::advance(it, index);
    *name = FromUtf8(it.key());
    if (type) *type = it.value().value("t", kRegNone);
    return win32::kErrorSuccess;
  });
}

std::uint32_t SimKey::OpenKey(WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key) {
  return registry_.Open(root_, path_, sub_key, access, false, key, nullptr, false);
}

std::uint32_t SimKey::CreateKey(WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key,
                                std::uint32_t* disposition) {
  if (!(access_ & kKeyCreateSubKey)) return win32::kErrorAccessDenied;
  return registry_.Open(root_, path_, sub_key, access, true, key, disposition, false);
}

std::uint32_t SimKey::DeleteKey(WStringView sub_key) {
  Path rel;
  if (!SplitKeyPath(sub_key, &rel) || rel.empty()) return win32::kErrorInvalidParameter;
  Path full = path_;
  full.insert(full.end(), rel.begin(), rel.end());
  return registry_.Delete(root_, full, 0, false);
}

}  // namespace

std::unique_ptr<Registry> MakeRegistry(Core& core) { return std::make_unique<SimRegistry>(core); }

}  // namespace kit::sim
