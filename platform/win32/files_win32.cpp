// Files on the real Windows: kernel32 file calls, version resources and the
// WOW64 file-system redirection switch.
#include "platform/pe/version_resource.h"
#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"

#include <algorithm>
#include <new>
#include <optional>

namespace kit::win32 {
namespace {

// ReadFile and WriteFile move at most this much per call.
constexpr DWORD kIoChunk = 1u << 20;

void CopyFindData(const WIN32_FIND_DATAW& from, FindData* to) {
  to->attributes = from.dwFileAttributes;
  to->size = (static_cast<std::uint64_t>(from.nFileSizeHigh) << 32) | from.nFileSizeLow;
  to->file_name = FromWideBuffer(from.cFileName, MAX_PATH);
  to->alternate_file_name = FromWideBuffer(from.cAlternateFileName, 14);
}

// Reads from the file's position into `data` until it is full or the file
// ends; the bytes read, nothing when ReadFile fails.
std::optional<std::size_t> ReadUpTo(HANDLE file, Bytes& data, WStringView path) {
  std::size_t done = 0;
  while (done < data.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kIoChunk, data.size() - done));
    DWORD got = 0;
    if (!::ReadFile(file, data.data() + done, want, &got, nullptr)) {
      LogLastError("ReadFile", path);
      return std::nullopt;
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

enum class ReadExtent {
  kWhole,  // the whole file, which must fit the limit
  kHead,   // the file's first bytes, up to the limit
};

// The one bounded read of the whole kit: opens `path` with `share`, takes
// its size, allocates at most `limit` bytes (a failed allocation is caught:
// the plug-in runs inside the printing application, which must not end
// because a file is large) and reads from the start. CloseHandle on every
// path. The step that failed, with the last error set.
ExclusiveReadStep ReadOpened(WStringView path, DWORD share, std::uint64_t limit, ReadExtent extent, Bytes* content) {
  const std::wstring p = Wide(path);
  UniqueHandle file(::CreateFileW(p.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    LogLastError("CreateFileW", path);
    return ExclusiveReadStep::kOpen;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size)) {
    LogLastError("GetFileSizeEx", path);
    return ExclusiveReadStep::kSize;
  }
  std::uint64_t bytes = static_cast<std::uint64_t>(size.QuadPart);
  if (extent == ReadExtent::kHead) bytes = std::min(bytes, limit);
  if (bytes > limit || bytes > Bytes().max_size()) {
    ::SetLastError(kErrorNotEnoughMemory);
    LogFailure("ReadFile", kErrorNotEnoughMemory, path);
    return ExclusiveReadStep::kTooLarge;
  }
  Bytes data;
  try {
    data.resize(static_cast<std::size_t>(bytes));
  } catch (const std::bad_alloc&) {
    ::SetLastError(kErrorNotEnoughMemory);
    LogFailure("ReadFile", kErrorNotEnoughMemory, path);
    return ExclusiveReadStep::kTooLarge;
  }
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN)) {
    LogLastError("SetFilePointerEx", path);
    return ExclusiveReadStep::kSeek;
  }
  const auto done = ReadUpTo(file.Get(), data, path);
  if (!done) return ExclusiveReadStep::kRead;
  if (*done != data.size()) {
    // The file ended before its size. A shared reader takes what is there
    // (the file shrank while it read); the sole reader calls it a short read.
    if (share == 0) {
      ::SetLastError(kErrorReadFault);
      return ExclusiveReadStep::kRead;
    }
    data.resize(*done);
  }
  *content = std::move(data);
  return ExclusiveReadStep::kDone;
}

class Win32FindHandle final : public FindHandle {
 public:
  explicit Win32FindHandle(HANDLE handle) : handle_(handle) {}
  ~Win32FindHandle() override {
    if (handle_ != INVALID_HANDLE_VALUE) {
      const DWORD saved = ::GetLastError();
      ::FindClose(handle_);
      ::SetLastError(saved);
    }
  }
  bool FindNextFile(FindData* data) override {
    WIN32_FIND_DATAW found{};
    if (handle_ == INVALID_HANDLE_VALUE) {
      ::SetLastError(kErrorInvalidHandle);
      return false;
    }
    if (!::FindNextFileW(handle_, &found)) {
      // The end of the list is the normal way out, not a failure to log.
      if (::GetLastError() != kErrorNoMoreFiles) LogLastError("FindNextFileW");
      return false;
    }
    CopyFindData(found, data);
    return true;
  }
  bool FindClose() override {
    if (handle_ == INVALID_HANDLE_VALUE) {
      ::SetLastError(kErrorInvalidHandle);
      return false;
    }
    const BOOL ok = ::FindClose(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    if (!ok) LogLastError("FindClose");
    return ok != FALSE;
  }

 private:
  HANDLE handle_;
};

using Wow64Disable = BOOL(WINAPI*)(PVOID*);
using Wow64Revert = BOOL(WINAPI*)(PVOID);

class Win32Files final : public Files {
 public:
  std::uint32_t GetFileAttributes(WStringView path) override {
    const std::wstring p = Wide(path);
    const DWORD attributes = ::GetFileAttributesW(p.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      // Asking whether a file exists is routine; only odd failures are logged.
      const DWORD code = ::GetLastError();
      if (code != kErrorFileNotFound && code != kErrorPathNotFound) LogFailure("GetFileAttributesW", code, path);
    }
    return attributes;
  }

  bool SetFileAttributes(WStringView path, std::uint32_t attributes) override {
    const std::wstring p = Wide(path);
    return Check(::SetFileAttributesW(p.c_str(), attributes), "SetFileAttributesW", path);
  }

  bool CopyFile(WStringView source, WStringView destination, bool fail_if_exists) override {
    const std::wstring from = Wide(source), to = Wide(destination);
    return Check(::CopyFileW(from.c_str(), to.c_str(), fail_if_exists ? TRUE : FALSE), "CopyFileW", destination);
  }

  bool DeleteFile(WStringView path) override {
    const std::wstring p = Wide(path);
    return Check(::DeleteFileW(p.c_str()), "DeleteFileW", path);
  }

  bool MoveFile(WStringView source, WStringView destination) override {
    const std::wstring from = Wide(source), to = Wide(destination);
    return Check(::MoveFileW(from.c_str(), to.c_str()), "MoveFileW", destination);
  }

  bool MoveFileReplace(WStringView source, WStringView destination) override {
    const std::wstring from = Wide(source), to = Wide(destination);
    return Check(::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH),
                 "MoveFileExW", destination);
  }

  bool CreateDirectory(WStringView path) override {
    const std::wstring p = Wide(path);
    return Check(::CreateDirectoryW(p.c_str(), nullptr), "CreateDirectoryW", path);
  }

  bool RemoveDirectory(WStringView path) override {
    const std::wstring p = Wide(path);
    return Check(::RemoveDirectoryW(p.c_str()), "RemoveDirectoryW", path);
  }

  FindHandlePtr FindFirstFile(WStringView pattern, FindData* first) override {
    const std::wstring p = Wide(pattern);
    WIN32_FIND_DATAW found{};
    HANDLE handle = ::FindFirstFileW(p.c_str(), &found);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD code = ::GetLastError();
      if (code != kErrorFileNotFound) LogFailure("FindFirstFileW", code, pattern);
      return nullptr;
    }
    CopyFindData(found, first);
    return std::make_unique<Win32FindHandle>(handle);
  }

  bool ReadFile(WStringView path, std::uint64_t max_size, Bytes* content) override {
    return ReadOpened(path, FILE_SHARE_READ, max_size, ReadExtent::kWhole, content) == ExclusiveReadStep::kDone;
  }

  bool ReadFileHead(WStringView path, std::uint64_t count, Bytes* content) override {
    return ReadOpened(path, FILE_SHARE_READ, count, ReadExtent::kHead, content) == ExclusiveReadStep::kDone;
  }

  ExclusiveReadStep ReadFileExclusive(WStringView path, std::uint64_t max_size, Bytes* content) override {
    return ReadOpened(path, 0, max_size, ReadExtent::kWhole, content);
  }

  bool WriteFile(WStringView path, const Bytes& content, WriteMode mode, std::uint32_t share) override {
    const std::wstring p = Wide(path);
    DWORD disposition = CREATE_ALWAYS;
    if (mode == WriteMode::kCreateNew) disposition = CREATE_NEW;
    if (mode == WriteMode::kOpenAlwaysAppend) disposition = OPEN_ALWAYS;
    UniqueHandle file(
        ::CreateFileW(p.c_str(), GENERIC_WRITE, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
      LogLastError("CreateFileW", path);
      return false;
    }
    if (mode == WriteMode::kOpenAlwaysAppend) {
      LARGE_INTEGER zero{};
      if (!::SetFilePointerEx(file.Get(), zero, nullptr, FILE_END)) {
        LogLastError("SetFilePointerEx", path);
        return false;
      }
    }
    std::size_t done = 0;
    while (done < content.size()) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kIoChunk, content.size() - done));
      DWORD wrote = 0;
      if (!::WriteFile(file.Get(), content.data() + done, want, &wrote, nullptr)) {
        LogLastError("WriteFile", path);
        return false;
      }
      done += wrote;
    }
    if (!::FlushFileBuffers(file.Get())) {
      LogLastError("FlushFileBuffers", path);
      return false;
    }
    return true;
  }

  bool GetFileSize(WStringView path, std::uint64_t* size) override {
    const std::wstring p = Wide(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &data)) {
      LogLastError("GetFileAttributesExW", path);
      return false;
    }
    *size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
  }

  bool GetFileVersionInfo(WStringView path, FileVersionInfo* info) override {
    const std::wstring p = Wide(path);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(p.c_str(), &ignored);
    if (size == 0) {
      LogLastError("GetFileVersionInfoSizeW", path);
      return false;
    }
    Bytes block(size);
    if (!::GetFileVersionInfoW(p.c_str(), 0, size, block.data())) {
      LogLastError("GetFileVersionInfoW", path);
      return false;
    }
    if (!ParseVersionResource(block.data(), block.size(), info)) {
      ::SetLastError(kErrorResourceDataNotFound);
      LogFailure("GetFileVersionInfoW (parse)", kErrorResourceDataNotFound, path);
      return false;
    }
    return true;
  }

  bool WriteProfileString(WStringView section, WStringView key, WStringView value) override {
    return Check(::WriteProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(value).c_str()),
                 "WriteProfileStringW", key);
  }

  bool HasFsRedirectionFunctions() override {
    return SystemProc<Wow64Disable>(L"kernel32.dll", "Wow64DisableWow64FsRedirection") != nullptr &&
           SystemProc<Wow64Revert>(L"kernel32.dll", "Wow64RevertWow64FsRedirection") != nullptr;
  }

  bool Wow64DisableWow64FsRedirection(void** old_value) override {
#ifdef _WIN64
    // A native 64-bit process sees the real system folder already.
    *old_value = nullptr;
    return true;
#else
    const auto fn = SystemProc<Wow64Disable>(L"kernel32.dll", "Wow64DisableWow64FsRedirection");
    if (fn == nullptr) return MissingProc("Wow64DisableWow64FsRedirection");
    return Check(fn(old_value), "Wow64DisableWow64FsRedirection", {});
#endif
  }

  bool Wow64RevertWow64FsRedirection(void* old_value) override {
#ifdef _WIN64
    (void)old_value;
    return true;
#else
    const auto fn = SystemProc<Wow64Revert>(L"kernel32.dll", "Wow64RevertWow64FsRedirection");
    if (fn == nullptr) return MissingProc("Wow64RevertWow64FsRedirection");
    return Check(fn(old_value), "Wow64RevertWow64FsRedirection", {});
#endif
  }

 private:
  static bool Check(BOOL ok, const char* api, WStringView subject) {
    if (!ok) LogLastError(api, subject);
    return ok != FALSE;
  }
  [[maybe_unused]] static bool MissingProc(const char* name) {
    ::SetLastError(kErrorProcNotFound);
    LogFailure("GetProcAddress", kErrorProcNotFound, FromUtf8(name));
    return false;
  }
};

}  // namespace

std::unique_ptr<Files> MakeFiles() { return std::make_unique<Win32Files>(); }

}  // namespace kit::win32
