// Files (kernel32 file functions, version resources, WOW64 redirection).
//
// Paths are Windows paths; lookups are case-insensitive as on NTFS. Every
// call reports failure the Win32 way: false (or INVALID_FILE_ATTRIBUTES) and
// the last error of SystemFacts: kErrorFileNotFound, kErrorPathNotFound,
// kErrorSharingViolation (a file in use), kErrorAccessDenied, …
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "platform/types.h"

namespace kit {

inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;
inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
// MAX_PATH: the longest path the ANSI and plain wide calls take (with NUL).
inline constexpr std::size_t kMaxPath = 260;

// One entry of FindFirstFile / FindNextFile.
struct FindData {
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  WString file_name;           // name only, no folder
  WString alternate_file_name; // 8.3 name, may be empty
};

// A search started by FindFirstFile; FindClose on destruction.
class FindHandle {
 public:
  virtual ~FindHandle() = default;
  // FindNextFile: false with kErrorNoMoreFiles at the end.
  virtual bool FindNextFile(FindData* data) = 0;
  // FindClose; the destructor closes when this was not called.
  virtual bool FindClose() = 0;
};
using FindHandlePtr = std::unique_ptr<FindHandle>;

// The version resource of a file (GetFileVersionInfo), with VerQueryValue.
struct FileVersionInfo {
  struct Translation {
    std::uint16_t language = 0;
    std::uint16_t code_page = 0;
  };
  // VS_FIXEDFILEINFO file and product versions, most significant part first.
  std::array<std::uint16_t, 4> file_version{};
  std::array<std::uint16_t, 4> product_version{};
  // "\VarFileInfo\Translation", in resource order.
  std::vector<Translation> translations;
  // String tables keyed by "%04x%04x" (language, code page) in lower case,
  // each mapping a name ("FileVersion", "ProductName", …) to its text.
  std::map<std::u16string, std::map<std::u16string, WString>> strings;

  // VerQueryValue for "\StringFileInfo\<lang><cp>\<name>": false when absent.
  bool QueryString(WStringView sub_block, WString* value) const;
};

// Write modes of WriteFile.
enum class WriteMode {
  kCreateAlways,   // CREATE_ALWAYS: replace or create
  kCreateNew,      // CREATE_NEW: fail with kErrorFileExists when present
  kOpenAlwaysAppend,  // OPEN_ALWAYS, then write at the end
};

// Sharing modes for WriteFile (FILE_SHARE_…), passed on to CreateFile. The
// file is held only for the length of the call; a file another process
// holds open fails with kErrorSharingViolation (on the virtual machine: a
// path fault set with the machine tool).
inline constexpr std::uint32_t kFileShareRead = 0x1;
inline constexpr std::uint32_t kFileShareWrite = 0x2;

// The steps of reading a whole file held open alone, in order; the step
// that failed, or kDone.
enum class ExclusiveReadStep {
  kDone,
  kOpen,      // CreateFile(GENERIC_READ, no sharing, OPEN_EXISTING)
  kSize,      // GetFileSizeEx
  kTooLarge,  // larger than the caller takes, or no memory for it
  kSeek,      // SetFilePointerEx to the start
  kRead,      // ReadFile failed or gave fewer bytes than the size
};

class Files {
 public:
  virtual ~Files() = default;

  // GetFileAttributes: kInvalidFileAttributes with last error when missing.
  virtual std::uint32_t GetFileAttributes(WStringView path) = 0;
  virtual bool SetFileAttributes(WStringView path, std::uint32_t attributes) = 0;
  // CopyFile(source, destination, fail_if_exists). A read-only destination
  // gives kErrorAccessDenied; a destination in use kErrorSharingViolation.
  virtual bool CopyFile(WStringView source, WStringView destination, bool fail_if_exists) = 0;
  // DeleteFile: kErrorAccessDenied on a read-only file, as on Windows.
  virtual bool DeleteFile(WStringView path) = 0;
  virtual bool MoveFile(WStringView source, WStringView destination) = 0;
  // MoveFileEx(source, destination, MOVEFILE_REPLACE_EXISTING |
  // MOVEFILE_WRITE_THROUGH): renames `source` over `destination` in one step
  // (both in the same folder, so on one volume) and returns only when the
  // rename is on disk. Readers see the old file or the new one, never a
  // part. A read-only destination gives kErrorAccessDenied; on failure both
  // files stay as they were.
  virtual bool MoveFileReplace(WStringView source, WStringView destination) = 0;
  // CreateDirectory: one level; kErrorAlreadyExists when present,
  // kErrorPathNotFound when the parent is missing.
  virtual bool CreateDirectory(WStringView path) = 0;
  // RemoveDirectory: kErrorDirNotEmpty when it has entries.
  virtual bool RemoveDirectory(WStringView path) = 0;
  // FindFirstFile(pattern) with '*' and '?' in the last component. Null with
  // kErrorFileNotFound when nothing matches, kErrorPathNotFound when the
  // folder is missing.
  virtual FindHandlePtr FindFirstFile(WStringView pattern, FindData* first) = 0;

  // The whole content of a file of at most `max_size` bytes (CreateFile for
  // reading with read sharing, GetFileSizeEx, ReadFile, CloseHandle). Every
  // whole-file read states how much it takes: a larger file, or one whose
  // buffer cannot be had, fails with kErrorNotEnoughMemory before anything
  // is read, so no file can exhaust the process's memory.
  virtual bool ReadFile(WStringView path, std::uint64_t max_size, Bytes* content) = 0;
  // The first `count` bytes of a file, all of it when it is shorter (the same
  // calls; the buffer is never larger than `count`).
  virtual bool ReadFileHead(WStringView path, std::uint64_t count, Bytes* content) = 0;
  // Writes `content` (CreateFile with `mode` and `share`, WriteFile,
  // FlushFileBuffers, CloseHandle).
  virtual bool WriteFile(WStringView path, const Bytes& content, WriteMode mode,
                         std::uint32_t share = kFileShareRead) = 0;
  virtual bool GetFileSize(WStringView path, std::uint64_t* size) = 0;
  // Reads the whole of `path` while no one else may open it: CreateFile
  // without sharing, GetFileSizeEx, a buffer of that size (none above
  // `max_size` bytes; a failed allocation is kTooLarge), SetFilePointerEx to the start, ReadFile until the
  // size is read, CloseHandle on every path. A file another process holds
  // open fails at kOpen with kErrorSharingViolation. On the virtual machine
  // the steps fail through the faults "CreateFile", "GetFileSize",
  // "SetFilePointer" and "ReadFile" and a short-read fault.
  virtual ExclusiveReadStep ReadFileExclusive(WStringView path, std::uint64_t max_size, Bytes* content) = 0;

  // GetFileVersionInfoSize + GetFileVersionInfo, parsed. False with
  // kErrorResourceTypeNotFound when the file has no version resource.
  virtual bool GetFileVersionInfo(WStringView path, FileVersionInfo* info) = 0;

  // WriteProfileString(section, key, value): the user profile ("win.ini";
  // Windows NT keeps it in the user's registry).
  virtual bool WriteProfileString(WStringView section, WStringView key, WStringView value) = 0;

  // Whether "Wow64DisableWow64FsRedirection" and
  // "Wow64RevertWow64FsRedirection" can be found in kernel32 (Windows XP x64
  // and later; 32-bit XP SP2 has them too).
  virtual bool HasFsRedirectionFunctions() = 0;
  // Wow64DisableWow64FsRedirection(&old): while disabled, this thread's
  // accesses to the system folder reach the native 64-bit "system32"
  // instead of "SysWOW64". A no-op that succeeds for a native process.
  // Fails with kErrorProcNotFound when the entry point is missing.
  virtual bool Wow64DisableWow64FsRedirection(void** old_value) = 0;
  virtual bool Wow64RevertWow64FsRedirection(void* old_value) = 0;
};

}  // namespace kit
