// A small in-memory Windows for the language tests: files and folders,
// HKEY_CURRENT_USER values and the system facts the language set-up asks
// for. Calls the set-up never makes fail loudly (they report "not
// supported"), so a test notices when the set-up starts to rely on them.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace kit::plugin::testing {

class FakeWindows : public SystemFacts, public Files, public Registry {
 public:
  // ---- what a test sets up and inspects
  std::u16string windows_directory = u"C:\\Windows";
  std::u16string app_data = u"C:\\Users\\ann\\AppData\\Roaming";
  std::uint16_t processor_architecture = kProcessorArchitectureAmd64;
  std::uint16_t system_language = 0x0409;
  bool registry_refuses_create = false;
  std::set<std::u16string> failing_copies;  // destinations whose copy fails

  void PutFile(std::u16string_view path, const std::string& bytes);
  bool HasFile(std::u16string_view path) const;
  std::string FileText(std::u16string_view path) const;
  bool HasFolder(std::u16string_view path) const;
  void PutFolder(std::u16string_view path);
  // HKCU values: REG_SZ text, or nothing when missing.
  std::optional<std::u16string> UserValue(std::u16string_view key, std::u16string_view name) const;
  void PutUserValue(std::u16string_view key, std::u16string_view name, std::u16string_view text);
  void PutUserKey(std::u16string_view key);
  bool HasUserKey(std::u16string_view key) const;
  int copies = 0;

  // ---- SystemFacts
  win32::Error GetLastError() const override { return last_error_; }
  void SetLastError(win32::Error code) override { last_error_ = code; }
  WString FormatMessage(win32::Error, std::uint16_t) override { return {}; }
  bool GetVersionEx(OsVersionInfo*) override { return Unsupported(); }
  void GetSystemInfo(SystemInfo* info) override { info->processor_architecture = processor_architecture; }
  bool GetNativeSystemInfo(SystemInfo*) override { return Unsupported(); }
  bool IsWow64Process(bool*) override { return Unsupported(); }
  bool Is64BitProcess() const override { return true; }
  std::uint16_t GetSystemDefaultLangID() override { return system_language; }
  std::uint16_t GetUserDefaultLangID() override { return system_language; }
  std::uint32_t GetACP() override { return 1252; }
  std::uint32_t GetOEMCP() override { return 437; }
  bool IsAdministrator() override { return false; }
  WString GetWindowsDirectory() override { return windows_directory; }
  WString GetSystemDirectory() override { return windows_directory + u"\\system32"; }
  WString GetTempPath() override { return {}; }
  WString GetUserName() override { return u"User"; }
  std::vector<WString> EnumFontFamilies(std::uint8_t) override { return {}; }
  bool SHGetSpecialFolderPath(int csidl, bool create, WString* path) override;
  WString GetModuleFileName() override { return {}; }
  WString GetCurrentDirectory() override { return {}; }
  WString GetCommandLine() override { return {}; }
  LibraryHandle LoadLibrary(WStringView) override { return nullptr; }

  // ---- Files
  std::uint32_t GetFileAttributes(WStringView path) override;
  bool SetFileAttributes(WStringView, std::uint32_t) override { return Unsupported(); }
  bool CopyFile(WStringView source, WStringView destination, bool fail_if_exists) override;
  bool DeleteFile(WStringView) override { return Unsupported(); }
  bool MoveFile(WStringView, WStringView) override { return Unsupported(); }
  bool MoveFileReplace(WStringView, WStringView) override { return Unsupported(); }
  bool CreateDirectory(WStringView path) override;
  bool RemoveDirectory(WStringView) override { return Unsupported(); }
  FindHandlePtr FindFirstFile(WStringView pattern, FindData* first) override;
  bool ReadFile(WStringView path, std::uint64_t max_size, Bytes* content) override;
  bool ReadFileHead(WStringView path, std::uint64_t count, Bytes* content) override;
  bool WriteFile(WStringView path, const Bytes& content, WriteMode, std::uint32_t) override;
  bool GetFileSize(WStringView, std::uint64_t*) override { return Unsupported(); }
  ExclusiveReadStep ReadFileExclusive(WStringView, std::uint64_t, Bytes*) override {
    Unsupported();
    return ExclusiveReadStep::kOpen;
  }
  bool GetFileVersionInfo(WStringView, FileVersionInfo*) override { return Unsupported(); }
  bool WriteProfileString(WStringView, WStringView, WStringView) override { return Unsupported(); }
  bool HasFsRedirectionFunctions() override { return false; }
  bool Wow64DisableWow64FsRedirection(void**) override { return Unsupported(); }
  bool Wow64RevertWow64FsRedirection(void*) override { return Unsupported(); }

  // ---- Registry (HKEY_CURRENT_USER only)
  std::uint32_t RegOpenKeyEx(RootKey root, WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key) override;
  std::uint32_t RegCreateKeyEx(RootKey root, WStringView sub_key, std::uint32_t access, RegistryKeyPtr* key,
                               std::uint32_t* disposition) override;
  std::uint32_t RegDeleteKeyEx(RootKey, WStringView, std::uint32_t) override { return win32::kErrorNotSupported; }

  struct Value {
    std::uint32_t type = 0;
    Bytes data;
  };
  std::map<std::u16string, std::map<std::u16string, Value>> user_keys;  // upper-case names

 private:
  bool Unsupported() {
    last_error_ = win32::kErrorNotSupported;
    return false;
  }
  win32::Error last_error_ = 0;
  std::map<std::u16string, std::string> files_;  // upper-case paths
  std::set<std::u16string> folders_;
};

}  // namespace kit::plugin::testing
