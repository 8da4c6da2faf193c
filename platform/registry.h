// Registry (advapi32 Reg* functions).
//
// Keys are opened under a predefined root with an access mask; on 64-bit
// Windows a 32-bit process sees the 32-bit view of HKLM\SOFTWARE unless it
// asks for KEY_WOW64_64KEY (the kit's 0x2011F). Every call returns the
// LSTATUS code Windows returns (kErrorSuccess, kErrorFileNotFound, …); the
// last error is not used.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/types.h"

namespace kit {

enum class RootKey { kClassesRoot, kCurrentUser, kLocalMachine, kUsers };

// Access masks.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
inline constexpr std::uint32_t kKeyWow64_32Key = 0x0200;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
// Read and write in the 64-bit view: what the kit uses on 64-bit Windows.
inline constexpr std::uint32_t kKeyReadWrite64 = 0x2011F;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

// REG_MULTI_SZ data (also SPDRP_HARDWAREID): UTF-16LE strings, each ended by
// a NUL, the list ended by one more. Parsing stops at the empty string and
// keeps a last string whose terminator is missing.
Bytes EncodeMultiSz(const std::vector<WString>& items);
std::vector<WString> ParseMultiSz(const Bytes& data);

// RegCreateKeyEx dispositions.
inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

// Longest key name component (characters) and value name Windows accepts.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;

class RegistryKey;
using RegistryKeyPtr = std::unique_ptr<RegistryKey>;

// An open key; RegCloseKey on destruction.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // RegQueryValueEx with a caller buffer of *size bytes (data may be null to
  // ask the size). *size is always set to the size of the value;
  // kErrorMoreData when the buffer is too small. String data is UTF-16LE
  // with its terminator, as the W function gives it.
  virtual std::uint32_t QueryValue(WStringView name, std::uint32_t* type, std::uint8_t* data,
                                   std::uint32_t* size) = 0;
  // RegSetValueEx with raw data (UTF-16LE for strings).
  virtual std::uint32_t SetValue(WStringView name, std::uint32_t type, const std::uint8_t* data,
                                 std::uint32_t size) = 0;
  virtual std::uint32_t DeleteValue(WStringView name) = 0;
  // RegEnumKeyEx / RegEnumValue by index; kErrorNoMoreItems past the end.
  virtual std::uint32_t EnumKey(std::uint32_t index, WString* name) = 0;
  virtual std::uint32_t EnumValue(std::uint32_t index, WString* name, std::uint32_t* type) = 0;

  // Relative opens, in the same view as this key.
  virtual std::uint32_t OpenKey(WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key) = 0;
  virtual std::uint32_t CreateKey(WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key,
                                  std::uint32_t* disposition) = 0;
  // RegDeleteKey: Windows refuses (kErrorAccessDenied) a key with subkeys.
  virtual std::uint32_t DeleteKey(WStringView sub_key) = 0;

  // Conveniences over QueryValue / SetValue.
  std::uint32_t GetDword(WStringView name, std::uint32_t* value);
  std::uint32_t GetString(WStringView name, WString* value);  // REG_SZ and REG_EXPAND_SZ
  std::uint32_t SetDword(WStringView name, std::uint32_t value);
  std::uint32_t SetString(WStringView name, WStringView value, std::uint32_t type = kRegSz);
};

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyEx(root, sub_key, 0, access). kErrorFileNotFound when missing.
  virtual std::uint32_t RegOpenKeyEx(RootKey root, WStringView sub_key, std::uint32_t access,
                                     RegistryKeyPtr* key) = 0;
  // RegCreateKeyEx(root, sub_key, …, REG_OPTION_NON_VOLATILE, access):
  // creates missing keys along the path.
  virtual std::uint32_t RegCreateKeyEx(RootKey root, WStringView sub_key, std::uint32_t access,
                                       RegistryKeyPtr* key, std::uint32_t* disposition = nullptr) = 0;
  // RegDeleteKeyEx(root, sub_key, view access): kErrorAccessDenied while the
  // key has subkeys, kErrorFileNotFound when missing. `access` only selects
  // the view (kKeyWow64_64Key / kKeyWow64_32Key).
  virtual std::uint32_t RegDeleteKeyEx(RootKey root, WStringView sub_key, std::uint32_t access) = 0;
  // RegDeleteKey: the view of this process.
  std::uint32_t RegDeleteKey(RootKey root, WStringView sub_key) { return RegDeleteKeyEx(root, sub_key, 0); }
};

}  // namespace kit
