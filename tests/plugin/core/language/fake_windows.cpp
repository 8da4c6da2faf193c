#include "tests/plugin/core/language/fake_windows.h"

#include <limits>

namespace kit::plugin::testing {
namespace {

std::u16string Upper(std::u16string_view text) { return ToUpperAscii(text); }

// Registry paths compare without case and without a trailing backslash.
std::u16string KeyName(std::u16string_view path) {
  std::u16string name = Upper(path);
  while (!name.empty() && name.back() == u'\\') name.pop_back();
  return name;
}

class FakeKey final : public RegistryKey {
 public:
  FakeKey(FakeWindows& windows, std::u16string name) : windows_(windows), name_(std::move(name)) {}

  std::uint32_t QueryValue(WStringView name, std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override {
    auto& values = windows_.user_keys[name_];
    auto it = values.find(Upper(name));
    if (it == values.end()) return win32::kErrorFileNotFound;
    const auto needed = static_cast<std::uint32_t>(it->second.data.size());
    if (type != nullptr) *type = it->second.type;
    const std::uint32_t room = *size;
    *size = needed;
    if (data == nullptr) return win32::kErrorSuccess;
    if (room < needed) return win32::kErrorMoreData;
    std::copy(it->second.data.begin(), it->second.data.end(), data);
    return win32::kErrorSuccess;
  }
  std::uint32_t SetValue(WStringView name, std::uint32_t type, const std::uint8_t* data,
                         std::uint32_t size) override {
    windows_.user_keys[name_][Upper(name)] = {type, Bytes(data, data + size)};
    return win32::kErrorSuccess;
  }
  std::uint32_t DeleteValue(WStringView name) override {
    return windows_.user_keys[name_].erase(Upper(name)) ? win32::kErrorSuccess : win32::kErrorFileNotFound;
  }
  std::uint32_t EnumKey(std::uint32_t, WString*) override { return win32::kErrorNotSupported; }
  std::uint32_t EnumValue(std::uint32_t, WString*, std::uint32_t*) override { return win32::kErrorNotSupported; }
  std::uint32_t OpenKey(WStringView, std::uint32_t, RegistryKeyPtr*) override { return win32::kErrorNotSupported; }
  std::uint32_t CreateKey(WStringView, std::uint32_t, RegistryKeyPtr*, std::uint32_t*) override {
    return win32::kErrorNotSupported;
  }
  std::uint32_t DeleteKey(WStringView) override { return win32::kErrorNotSupported; }

 private:
  FakeWindows& windows_;
  std::u16string name_;
};

class OneFolderFound final : public FindHandle {
 public:
  bool FindNextFile(FindData*) override { return false; }
  bool FindClose() override { return true; }
};

}  // namespace

void FakeWindows::PutFile(std::u16string_view path, const std::string& bytes) { files_[Upper(path)] = bytes; }
bool FakeWindows::HasFile(std::u16string_view path) const { return files_.count(Upper(path)) != 0; }
std::string FakeWindows::FileText(std::u16string_view path) const {
  auto it = files_.find(Upper(path));
  return it == files_.end() ? std::string() : it->second;
}
bool FakeWindows::HasFolder(std::u16string_view path) const { return folders_.count(Upper(path)) != 0; }
void FakeWindows::PutFolder(std::u16string_view path) { folders_.insert(Upper(path)); }

std::optional<std::u16string> FakeWindows::UserValue(std::u16string_view key, std::u16string_view name) const {
  auto k = user_keys.find(KeyName(key));
  if (k == user_keys.end()) return std::nullopt;
  auto v = k->second.find(Upper(name));
  if (v == k->second.end() || v->second.type != kRegSz) return std::nullopt;
  std::u16string text;
  const Bytes& d = v->second.data;
  for (std::size_t i = 0; i + 1 < d.size(); i += 2) {
    const auto c = static_cast<char16_t>(d[i] | (d[i + 1] << 8));
    if (c == u'\0') break;
    text.push_back(c);
  }
  return text;
}

void FakeWindows::PutUserValue(std::u16string_view key, std::u16string_view name, std::u16string_view text) {
  Bytes data;
  for (char16_t c : text) {
    data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  user_keys[KeyName(key)][Upper(name)] = {kRegSz, data};
}
void FakeWindows::PutUserKey(std::u16string_view key) { user_keys[KeyName(key)]; }
bool FakeWindows::HasUserKey(std::u16string_view key) const { return user_keys.count(KeyName(key)) != 0; }

bool FakeWindows::SHGetSpecialFolderPath(int csidl, bool, WString* path) {
  if (csidl != kCsidlAppData) return Unsupported();
  *path = app_data;
  return true;
}

std::uint32_t FakeWindows::GetFileAttributes(WStringView path) {
  if (HasFolder(path)) return kFileAttributeDirectory;
  if (HasFile(path)) return kFileAttributeArchive;
  last_error_ = win32::kErrorFileNotFound;
  return kInvalidFileAttributes;
}

bool FakeWindows::CopyFile(WStringView source, WStringView destination, bool fail_if_exists) {
  ++copies;
  if (!HasFile(source) || failing_copies.count(Upper(destination)) != 0) {
    last_error_ = win32::kErrorFileNotFound;
    return false;
  }
  if (fail_if_exists && HasFile(destination)) {
    last_error_ = win32::kErrorAlreadyExists;
    return false;
  }
  files_[Upper(destination)] = files_[Upper(source)];
  return true;
}

bool FakeWindows::CreateDirectory(WStringView path) {
  if (HasFolder(path)) {
    last_error_ = win32::kErrorAlreadyExists;
    return false;
  }
  folders_.insert(Upper(path));
  return true;
}

FindHandlePtr FakeWindows::FindFirstFile(WStringView pattern, FindData* first) {
  if (!HasFolder(pattern) && !HasFile(pattern)) {
    last_error_ = win32::kErrorFileNotFound;
    return nullptr;
  }
  first->file_name = std::u16string(pattern.substr(pattern.find_last_of(u'\\') + 1));
  first->attributes = GetFileAttributes(pattern);
  return std::make_unique<OneFolderFound>();
}

bool FakeWindows::ReadFile(WStringView path, std::uint64_t max_size, Bytes* content) {
  auto it = files_.find(Upper(path));
  if (it == files_.end()) {
    last_error_ = win32::kErrorFileNotFound;
    return false;
  }
  if (it->second.size() > max_size) {
    last_error_ = win32::kErrorNotEnoughMemory;
    return false;
  }
  content->assign(it->second.begin(), it->second.end());
  return true;
}

bool FakeWindows::ReadFileHead(WStringView path, std::uint64_t count, Bytes* content) {
  if (!ReadFile(path, std::numeric_limits<std::uint64_t>::max(), content)) return false;
  if (content->size() > count) content->resize(static_cast<std::size_t>(count));
  return true;
}

bool FakeWindows::WriteFile(WStringView path, const Bytes& content, WriteMode, std::uint32_t) {
  files_[Upper(path)] = std::string(content.begin(), content.end());
  return true;
}

std::uint32_t FakeWindows::RegOpenKeyEx(RootKey root, WStringView sub_key, std::uint32_t, RegistryKeyPtr* key) {
  if (root != RootKey::kCurrentUser || !HasUserKey(sub_key)) return win32::kErrorFileNotFound;
  *key = std::make_unique<FakeKey>(*this, KeyName(sub_key));
  return win32::kErrorSuccess;
}

std::uint32_t FakeWindows::RegCreateKeyEx(RootKey root, WStringView sub_key, std::uint32_t, RegistryKeyPtr* key,
                                          std::uint32_t* disposition) {
  if (root != RootKey::kCurrentUser || registry_refuses_create) return win32::kErrorAccessDenied;
  const bool existed = HasUserKey(sub_key);
  PutUserKey(sub_key);
  if (disposition != nullptr) *disposition = existed ? kRegOpenedExistingKey : kRegCreatedNewKey;
  if (key != nullptr) *key = std::make_unique<FakeKey>(*this, KeyName(sub_key));
  return win32::kErrorSuccess;
}

}  // namespace kit::plugin::testing
