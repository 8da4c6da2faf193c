// The registry on the real Windows (advapi32). Every call returns the
// LSTATUS Windows gives; failures other than "not found" are logged.
#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

// The view bits of an access mask, kept by a key so that its relative
// opens stay in the same view.
constexpr std::uint32_t kViewBits = kKeyWow64_64Key | kKeyWow64_32Key;

HKEY RootHandle(RootKey root) {
  switch (root) {
    case RootKey::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RootKey::kCurrentUser: return HKEY_CURRENT_USER;
    case RootKey::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RootKey::kUsers: return HKEY_USERS;
  }
  return HKEY_LOCAL_MACHINE;
}

std::uint32_t Logged(LSTATUS status, const char* api, WStringView subject) {
  const auto code = static_cast<std::uint32_t>(status);
  if (code != kErrorSuccess && code != kErrorFileNotFound && code != kErrorNoMoreItems && code != kErrorMoreData) {
    LogFailure(api, code, subject);
  }
  return code;
}

// RegDeleteKeyExW exists from XP x64 and Vista on.
using DeleteKeyExFn = LSTATUS(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
DeleteKeyExFn DeleteKeyEx() { return SystemProc<DeleteKeyExFn>(L"advapi32.dll", "RegDeleteKeyExW"); }

std::uint32_t Open(HKEY parent, WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key);
std::uint32_t Create(HKEY parent, WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key,
                     std::uint32_t* disposition);

class Win32RegistryKey final : public RegistryKey {
 public:
  Win32RegistryKey(HKEY key, std::uint32_t view) : key_(key), view_(view) {}
  ~Win32RegistryKey() override { ::RegCloseKey(key_); }

  std::uint32_t QueryValue(WStringView name, std::uint32_t* type, std::uint8_t* data,
                           std::uint32_t* size) override {
    const std::wstring n = Wide(name);
    DWORD t = 0;
    DWORD bytes = data == nullptr ? 0 : *size;
    const LSTATUS status = ::RegQueryValueExW(key_, n.c_str(), nullptr, &t, data, &bytes);
    if (type != nullptr) *type = t;
    *size = bytes;
    return Logged(status, "RegQueryValueExW", name);
  }

  std::uint32_t SetValue(WStringView name, std::uint32_t type, const std::uint8_t* data,
                         std::uint32_t size) override {
    const std::wstring n = Wide(name);
    return Logged(::RegSetValueExW(key_, n.c_str(), 0, type, data, size), "RegSetValueExW", name);
  }

  std::uint32_t DeleteValue(WStringView name) override {
    const std::wstring n = Wide(name);
    return Logged(::RegDeleteValueW(key_, n.c_str()), "RegDeleteValueW", name);
  }

  std::uint32_t EnumKey(std::uint32_t index, WString* name) override {
    wchar_t buffer[kMaxKeyNameLength + 1] = {};
    DWORD length = kMaxKeyNameLength + 1;
    const LSTATUS status = ::RegEnumKeyExW(key_, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) *name = FromWide(buffer, length);
    return Logged(status, "RegEnumKeyExW", {});
  }

  std::uint32_t EnumValue(std::uint32_t index, WString* name, std::uint32_t* type) override {
    std::wstring buffer(kMaxValueNameLength + 1, L'\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    DWORD t = 0;
    const LSTATUS status = ::RegEnumValueW(key_, index, buffer.data(), &length, nullptr, &t, nullptr, nullptr);
    if (status == ERROR_SUCCESS) {
      *name = FromWide(buffer.data(), length);
      if (type != nullptr) *type = t;
    }
    return Logged(status, "RegEnumValueW", {});
  }

  std::uint32_t OpenKey(WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key) override {
    return Open(key_, sub_key, WithView(access), key);
  }

  std::uint32_t CreateKey(WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key,
                          std::uint32_t* disposition) override {
    return Create(key_, sub_key, WithView(access), key, disposition);
  }

  std::uint32_t DeleteKey(WStringView sub_key) override {
    const std::wstring s = Wide(sub_key);
    // Windows refuses to delete a key that still has subkeys. A key opened
    // in a chosen view deletes its subkey in that view.
    const auto fn = DeleteKeyEx();
    if (view_ != 0 && fn != nullptr) return Logged(fn(key_, s.c_str(), view_, 0), "RegDeleteKeyExW", sub_key);
    return Logged(::RegDeleteKeyW(key_, s.c_str()), "RegDeleteKeyW", sub_key);
  }

 private:
  std::uint32_t WithView(std::uint32_t access) const {
    return (access & kViewBits) != 0 ? access : access | view_;
  }
  HKEY key_;
  std::uint32_t view_;
};

std::uint32_t Open(HKEY parent, WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key) {
  const std::wstring s = Wide(sub_key);
  HKEY opened = nullptr;
  const LSTATUS status = ::RegOpenKeyExW(parent, s.c_str(), 0, access, &opened);
  if (status == ERROR_SUCCESS) *key = std::make_unique<Win32RegistryKey>(opened, access & kViewBits);
  return Logged(status, "RegOpenKeyExW", sub_key);
}

std::uint32_t Create(HKEY parent, WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key,
                     std::uint32_t* disposition) {
  const std::wstring s = Wide(sub_key);
  HKEY created = nullptr;
  DWORD how = 0;
  const LSTATUS status = ::RegCreateKeyExW(parent, s.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                           &created, &how);
  if (status == ERROR_SUCCESS) {
    *key = std::make_unique<Win32RegistryKey>(created, access & kViewBits);
    if (disposition != nullptr) *disposition = how;
  }
  return Logged(status, "RegCreateKeyExW", sub_key);
}

class Win32Registry final : public Registry {
 public:
  std::uint32_t RegOpenKeyEx(RootKey root, WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key) override {
    return Open(RootHandle(root), sub_key, access, key);
  }

  std::uint32_t RegCreateKeyEx(RootKey root, WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key,
                               std::uint32_t* disposition) override {
    return Create(RootHandle(root), sub_key, access, key, disposition);
  }

  std::uint32_t RegDeleteKeyEx(RootKey root, WStringView sub_key, std::uint32_t access) override {
    const std::wstring s = Wide(sub_key);
    // Without a view to choose, or where RegDeleteKeyExW is missing,
    // RegDeleteKeyW deletes in this process's own view.
    const auto fn = DeleteKeyEx();
    if ((access & kViewBits) == 0 || fn == nullptr) {
      return Logged(::RegDeleteKeyW(RootHandle(root), s.c_str()), "RegDeleteKeyW", sub_key);
    }
    return Logged(fn(RootHandle(root), s.c_str(), access & kViewBits, 0), "RegDeleteKeyExW", sub_key);
  }
};

}  // namespace

std::unique_ptr<Registry> MakeRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace kit::win32
