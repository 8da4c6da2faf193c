// Conveniences over the raw registry and version-resource calls.
// This file is OS-independent.
#include <cstring>

#include "platform/files.h"
#include "platform/registry.h"

namespace kit {
namespace {

Bytes Utf16Le(WStringView text) {
  Bytes out;
  out.reserve((text.size() + 1) * 2);
  for (char16_t c : text) {
    out.push_back(static_cast<std::uint8_t>(c & 0xFF));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

}  // namespace

Bytes EncodeMultiSz(const std::vector<WString>& items) {
  Bytes out;
  for (const auto& s : items) {
    const Bytes one = Utf16Le(s);
    out.insert(out.end(), one.begin(), one.end());
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

std::vector<WString> ParseMultiSz(const Bytes& data) {
  std::vector<WString> out;
  WString current;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) {
      if (current.empty()) break;
      out.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) out.push_back(current);
  return out;
}

std::uint32_t RegistryKey::GetDword(WStringView name, std::uint32_t* value) {
  std::uint32_t type = 0;
  std::uint8_t data[4] = {};
  std::uint32_t size = 0;
  auto status = QueryValue(name, &type, nullptr, &size);
  if (status != win32::kErrorSuccess) return status;
  if (type != kRegDword || size != 4) return win32::kErrorInvalidData;
  status = QueryValue(name, &type, data, &size);
  if (status != win32::kErrorSuccess) return status;
  if (type != kRegDword || size != 4) return win32::kErrorInvalidData;
  *value = static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
           (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
  return win32::kErrorSuccess;
}

std::uint32_t RegistryKey::GetString(WStringView name, WString* value) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  auto status = QueryValue(name, &type, nullptr, &size);
  if (status != win32::kErrorSuccess) return status;
  if (type != kRegSz && type != kRegExpandSz) return win32::kErrorInvalidData;
  Bytes data(size);
  status = QueryValue(name, &type, data.data(), &size);
  if (status != win32::kErrorSuccess) return status;
  WString text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  *value = text;
  return win32::kErrorSuccess;
}

std::uint32_t RegistryKey::SetDword(WStringView name, std::uint32_t value) {
  const std::uint8_t data[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return SetValue(name, kRegDword, data, sizeof data);
}

std::uint32_t RegistryKey::SetString(WStringView name, WStringView value, std::uint32_t type) {
  const Bytes data = Utf16Le(value);
  return SetValue(name, type, data.data(), static_cast<std::uint32_t>(data.size()));
}

bool FileVersionInfo::QueryString(WStringView sub_block, WString* value) const {
  static constexpr WStringView kPrefix = u"\\StringFileInfo\\";
  if (sub_block.size() <= kPrefix.size() || !EqualsNoCase(sub_block.substr(0, kPrefix.size()), kPrefix)) {
    return false;
  }
  const WStringView rest = sub_block.substr(kPrefix.size());
  const auto slash = rest.find(u'\\');
  if (slash == WStringView::npos) return false;
  const WStringView table = rest.substr(0, slash);
  const WStringView name = rest.substr(slash + 1);
  for (const auto& [key, entries] : strings) {
    if (!EqualsNoCase(key, table)) continue;
    for (const auto& [entry_name, text] : entries) {
      if (EqualsNoCase(entry_name, name)) {
        *value = text;
        return true;
      }
    }
  }
  return false;
}

}  // namespace kit
