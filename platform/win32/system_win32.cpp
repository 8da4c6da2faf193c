// System facts on the real Windows: kernel32 and advapi32 queries.
#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

// Size of the buffers for the folder queries (MAX_PATH plus room for the
// longer paths GetTempPath may give).
constexpr DWORD kFolderBufferChars = 1024;

// EnumFontFamiliesExW callback: each TrueType family once, in the order
// reported (a family comes once per script it has).
int CALLBACK AddTrueTypeFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM data) {
  auto* families = reinterpret_cast<std::vector<WString>*>(data);
  if ((type & TRUETYPE_FONTTYPE) == 0) return 1;
  const WString name = FromWide(font->lfFaceName);
  if (std::find(families->begin(), families->end(), name) == families->end()) families->push_back(name);
  return 1;
}

class Win32Library final : public Library {
 public:
  explicit Win32Library(HMODULE module) : module_(module) {}
  bool HasProc(std::string_view name) const override {
    return ::GetProcAddress(module_.Get(), std::string(name).c_str()) != nullptr;
  }

 private:
  UniqueModule module_;
};

void CopySystemInfo(const SYSTEM_INFO& from, SystemInfo* to) {
  to->processor_architecture = from.wProcessorArchitecture;
  to->page_size = from.dwPageSize;
  to->number_of_processors = from.dwNumberOfProcessors;
}

// Reads a folder through a call that takes (buffer size, buffer) and answers
// the length, or the size needed when the buffer is short.
template <typename Call>
WString ReadFolder(const char* api, Call call) {
  std::wstring buffer(kFolderBufferChars, L'\0');
  DWORD length = call(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {
    buffer.assign(length + 1, L'\0');
    length = call(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (length == 0 || length >= buffer.size()) {
    LogLastError(api);
    return {};
  }
  return FromWide(buffer.data(), length);
}

class Win32SystemFacts final : public SystemFacts {
 public:
  win32::Error GetLastError() const override { return ::GetLastError(); }
  void SetLastError(win32::Error code) override { ::SetLastError(code); }

  WString FormatMessage(win32::Error code, std::uint16_t language) override {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        language, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) return {};
    WString result = FromWide(text, length);
    ::LocalFree(text);
    return result;
  }

  bool GetVersionEx(OsVersionInfo* info) override {
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v))) {
      LogLastError("GetVersionExW");
      return false;
    }
    info->major = v.dwMajorVersion;
    info->minor = v.dwMinorVersion;
    info->build = v.dwBuildNumber;
    info->platform_id = v.dwPlatformId;
    info->csd_version = FromWideBuffer(v.szCSDVersion, sizeof v.szCSDVersion / sizeof v.szCSDVersion[0]);
    info->service_pack_major = v.wServicePackMajor;
    info->service_pack_minor = v.wServicePackMinor;
    info->suite_mask = v.wSuiteMask;
    info->product_type = v.wProductType;
    return true;
  }

  void GetSystemInfo(SystemInfo* info) override {
    SYSTEM_INFO si{};
    ::GetSystemInfo(&si);
    CopySystemInfo(si, info);
  }

  bool GetNativeSystemInfo(SystemInfo* info) override {
    using Fn = void(WINAPI*)(SYSTEM_INFO*);
    const auto fn = SystemProc<Fn>(L"kernel32.dll", "GetNativeSystemInfo");
    if (fn == nullptr) {
      ::SetLastError(kErrorProcNotFound);
      LogFailure("GetProcAddress GetNativeSystemInfo", kErrorProcNotFound);
      return false;
    }
    SYSTEM_INFO si{};
    fn(&si);
    CopySystemInfo(si, info);
    return true;
  }

  bool IsWow64Process(bool* wow64) override {
#ifdef _WIN64
    // A native 64-bit process never runs under WOW64.
    *wow64 = false;
    return true;
#else
    using Fn = BOOL(WINAPI*)(HANDLE, BOOL*);
    const auto fn = SystemProc<Fn>(L"kernel32.dll", "IsWow64Process");
    if (fn == nullptr) {
      ::SetLastError(kErrorProcNotFound);
      LogFailure("GetProcAddress IsWow64Process", kErrorProcNotFound);
      return false;
    }
    BOOL value = FALSE;
    if (!fn(::GetCurrentProcess(), &value)) {
      LogLastError("IsWow64Process");
      return false;
    }
    *wow64 = value != FALSE;
    return true;
#endif
  }

  bool Is64BitProcess() const override { return sizeof(void*) == 8; }

  std::uint16_t GetSystemDefaultLangID() override { return ::GetSystemDefaultLangID(); }
  std::uint16_t GetUserDefaultLangID() override { return ::GetUserDefaultLangID(); }
  std::uint32_t GetACP() override { return ::GetACP(); }
  std::uint32_t GetOEMCP() override { return ::GetOEMCP(); }

  bool IsAdministrator() override {
    SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                    0, 0, 0, &administrators)) {
      LogLastError("AllocateAndInitializeSid");
      return false;
    }
    // A null token checks the thread's impersonation token, else the process's.
    BOOL member = FALSE;
    const BOOL ok = ::CheckTokenMembership(nullptr, administrators, &member);
    if (!ok) LogLastError("CheckTokenMembership");
    ::FreeSid(administrators);
    return ok && member;
  }

  WString GetWindowsDirectory() override {
    return ReadFolder("GetWindowsDirectoryW", [](wchar_t* b, UINT n) { return ::GetWindowsDirectoryW(b, n); });
  }
  WString GetSystemDirectory() override {
    return ReadFolder("GetSystemDirectoryW", [](wchar_t* b, UINT n) { return ::GetSystemDirectoryW(b, n); });
  }
  WString GetTempPath() override {
    return ReadFolder("GetTempPathW", [](wchar_t* b, UINT n) { return ::GetTempPathW(n, b); });
  }
  std::vector<WString> EnumFontFamilies(std::uint8_t charset) override {
    std::vector<WString> families;
    LOGFONTW query{};
    query.lfCharSet = charset;
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return {};
    ::EnumFontFamiliesExW(screen, &query, AddTrueTypeFamily, reinterpret_cast<LPARAM>(&families), 0);
    ::ReleaseDC(nullptr, screen);
    return families;
  }
  WString GetCurrentDirectory() override {
    return ReadFolder("GetCurrentDirectoryW", [](wchar_t* b, UINT n) { return ::GetCurrentDirectoryW(n, b); });
  }

  bool SHGetSpecialFolderPath(int csidl, bool create, WString* path) override {
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl, create ? TRUE : FALSE)) {
      LogLastError("SHGetSpecialFolderPathW");
      return false;
    }
    *path = FromWideBuffer(buffer, MAX_PATH);
    return true;
  }

  WString GetModuleFileName() override {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
      const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (length == 0) {
        LogLastError("GetModuleFileNameW");
        return {};
      }
      // A full buffer means the path was cut: grow and ask again.
      if (length < buffer.size()) return FromWide(buffer.data(), length);
      buffer.assign(buffer.size() * 2, L'\0');
    }
  }

  WString GetCommandLine() override { return FromWide(::GetCommandLineW()); }

  WString GetUserName() override {
    // An account name is at most UNLEN (256) characters; GetUserNameW
    // counts the terminator in and out.
    constexpr DWORD kUserNameChars = 256 + 1;
    wchar_t buffer[kUserNameChars] = {};
    DWORD size = kUserNameChars;
    if (!::GetUserNameW(buffer, &size) || size == 0) {
      LogLastError("GetUserNameW");
      return {};
    }
    return FromWide(buffer, size - 1);
  }

  LibraryHandle LoadLibrary(WStringView name) override {
    const std::wstring wide = Wide(name);
    HMODULE module = ::LoadLibraryW(wide.c_str());
    if (module == nullptr) {
      LogLastError("LoadLibraryW", name);
      return nullptr;
    }
    return std::make_unique<Win32Library>(module);
  }
};

}  // namespace

std::unique_ptr<SystemFacts> MakeSystemFacts() { return std::make_unique<Win32SystemFacts>(); }

}  // namespace kit::win32
