// Files of the virtual machine: drive C: is a folder; attributes, version
// resources and injected faults are kept in the state beside it.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <new>

#include "platform/pe/pe_resources.h"
#include "platform/profile_file_source.h"
#include "platform/sim/channel_faults.h"
#include "platform/sim/core.h"
#include "platform/sim/fd_io.h"
#include "platform/sim/flush.h"
#include "platform/sim/missing_exports.h"
#include "platform/sim/loaded_modules.h"

namespace kit::sim {
namespace {

namespace fs = std::filesystem;

constexpr char kKernel32[] = "kernel32.dll";
constexpr char kWow64Disable[] = "Wow64DisableWow64FsRedirection";
constexpr char kWow64Revert[] = "Wow64RevertWow64FsRedirection";

// Case-insensitive match of '*' and '?' patterns.
bool Matches(WStringView pattern, WStringView name) {
  std::size_t p = 0, n = 0, star = WString::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || EqualsNoCase(pattern.substr(p, 1), name.substr(n, 1)))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      mark = n;
    } else if (star != WString::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  // "*.*" also matches names without a dot, as on Windows.
  if (p + 2 == pattern.size() && pattern.substr(p) == u".*") return true;
  return p == pattern.size();
}

bool WriteAll(const fs::path& path, const Bytes& content, bool append) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0644);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < content.size()) {
    const auto n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      ::close(fd);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (FlushWrites()) ::fsync(fd);
  return ::close(fd) == 0;
}

void SyncFolder(const fs::path& folder) {
  if (!FlushWrites()) return;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The largest image whose version resource is read; Windows maps the file,
// the machine reads it whole.
constexpr std::uintmax_t kMaxVersionedImageSize = 64u << 20;

// GetFileVersionInfo of a file on the machine's drive from its own bytes:
// 1813 when it is no executable image or carries no readable version.
bool ReadImageVersion(const fs::path& host, FileVersionInfo* info) {
  std::error_code ec;
  const auto size = fs::file_size(host, ec);
  if (ec || size > kMaxVersionedImageSize) return Core::Fail(win32::kErrorResourceTypeNotFound);
  std::string image;
  if (!ReadHostFile(host.string(), &image)) return Core::Fail(win32::kErrorResourceTypeNotFound);
  FileVersionInfo parsed;
  if (!ReadPeVersionInfo(reinterpret_cast<const std::uint8_t*>(image.data()), image.size(), &parsed)) return Core::Fail(win32::kErrorResourceTypeNotFound);
  *info = std::move(parsed);
  return true;
}

class SimFindHandle final : public FindHandle {
 public:
  explicit SimFindHandle(std::vector<FindData> rest) : rest_(std::move(rest)) {}
  bool FindNextFile(FindData* data) override {
    if (closed_) return Core::Fail(win32::kErrorInvalidHandle);
    if (next_ >= rest_.size()) return Core::Fail(win32::kErrorNoMoreFiles);
    *data = rest_[next_++];
    return true;
  }
  bool FindClose() override {
    if (closed_) return Core::Fail(win32::kErrorInvalidHandle);
    closed_ = true;
    return true;
  }

 private:
  std::vector<FindData> rest_;
  std::size_t next_ = 0;
  bool closed_ = false;
};

class SimFiles final : public Files {
 public:
  explicit SimFiles(Core& core) : core_(core) {}

  std::uint32_t GetFileAttributes(WStringView path) override {
    Json s;
    ResolvedPath r;
    if (!core_.Read(&s) || !core_.Resolve(s, path, true, &r)) return kInvalidFileAttributes;
    std::error_code ec;
    const auto st = fs::status(r.host, ec);
    if (ec || !fs::exists(st)) {
      Core::SetLastError(ParentExists(r) ? win32::kErrorFileNotFound : win32::kErrorPathNotFound);
      return kInvalidFileAttributes;
    }
    return Attributes(s, r, fs::is_directory(st));
  }

  bool SetFileAttributes(WStringView path, std::uint32_t attributes) override {
    return core_.Update([&](Json& s) {
      ResolvedPath r;
      if (!core_.Resolve(s, path, true, &r)) return false;
      if (auto f = Core::TakeFault(s, "SetFileAttributes", r.windows)) return Core::Fail(*f);
      if (StandardUserDenied(s, r)) return Core::Fail(win32::kErrorAccessDenied);
      std::error_code ec;
      if (!fs::exists(r.host, ec)) return Core::Fail(ParentExists(r) ? win32::kErrorFileNotFound : win32::kErrorPathNotFound);
      // FILE_ATTRIBUTE_NORMAL alone means "no attributes".
      const std::uint32_t kept = attributes == kFileAttributeNormal ? 0 : attributes & 0x27;
      s["files"][r.key]["attributes"] = kept;
      return true;
    });
  }

  bool CopyFile(WStringView source, WStringView destination, bool fail_if_exists) override {
    return core_.Update([&](Json& s) {
      ResolvedPath from, to;
      if (!core_.Resolve(s, source, true, &from) || !core_.Resolve(s, destination, true, &to)) return false;
      if (auto f = Core::TakeFault(s, "CopyFile", to.windows)) return Core::Fail(*f);
      if (StandardUserDenied(s, to)) return Core::Fail(win32::kErrorAccessDenied);
      if (auto f = Core::PathFault(s, from.key)) return Core::Fail(*f);
      std::error_code ec;
      if (!fs::is_regular_file(from.host, ec)) {
        return Core::Fail(ParentExists(from) ? win32::kErrorFileNotFound : win32::kErrorPathNotFound);
      }
      if (!ParentExists(to)) return Core::Fail(win32::kErrorPathNotFound);
      if (fs::is_directory(to.host, ec)) return Core::Fail(win32::kErrorAccessDenied);
      const bool exists = fs::exists(to.host, ec);
      if (exists && fail_if_exists) return Core::Fail(win32::kErrorFileExists);
      if (auto f = Core::PathFault(s, to.key)) return Core::Fail(*f);
      if (exists) {
        if (auto f = LoadedModuleFault(core_, s, to)) return Core::Fail(*f);
      }
      // Windows refuses to overwrite a read-only (or hidden/system) file.
      if (exists && (Attributes(s, to, false) & (kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem))) {
        return Core::Fail(win32::kErrorAccessDenied);
      }
      const auto temp = to.host.parent_path() / (to.host.filename().string() + ".copying");
      fs::copy_file(from.host, temp, fs::copy_options::overwrite_existing, ec);
      if (ec) return Core::Fail(win32::kErrorWriteFault);
      fs::rename(temp, to.host, ec);
      if (ec) return Core::Fail(win32::kErrorWriteFault);
      // The copy takes the source's attributes (archive set) and version.
      Json meta = s["files"].value(from.key, Json::object());
      meta["attributes"] = (meta.value("attributes", std::uint32_t{kFileAttributeArchive}) | kFileAttributeArchive);
      s["files"][to.key] = meta;
      return true;
    });
  }

  bool DeleteFile(WStringView path) override {
    return core_.Update([&](Json& s) {
      ResolvedPath r;
      if (!core_.Resolve(s, path, true, &r)) return false;
      if (auto f = Core::TakeFault(s, "DeleteFile", r.windows)) return Core::Fail(*f);
      if (StandardUserDenied(s, r)) return Core::Fail(win32::kErrorAccessDenied);
      std::error_code ec;
      if (fs::is_directory(r.host, ec)) return Core::Fail(win32::kErrorAccessDenied);
      if (!fs::exists(r.host, ec)) return Core::Fail(ParentExists(r) ? win32::kErrorFileNotFound : win32::kErrorPathNotFound);
      if (auto f = Core::PathFault(s, r.key)) return Core::Fail(*f);
      if (Attributes(s, r, false) & kFileAttributeReadOnly) return Core::Fail(win32::kErrorAccessDenied);
      fs::remove(r.host, ec);
      if (ec) return Core::Fail(win32::kErrorAccessDenied);
      s["files"].erase(r.key);
      return true;
    });
  }

  bool MoveFile(WStringView source, WStringView destination) override {
    return core_.Update([&](Json& s) {
      ResolvedPath from, to;
      if (!core_.Resolve(s, source, true, &from) || !core_.Resolve(s, destination, true, &to)) return false;
      if (auto f = Core::TakeFault(s, "MoveFile", to.windows)) return Core::Fail(*f);
      if (StandardUserDenied(s, from) || StandardUserDenied(s, to)) return Core::Fail(win32::kErrorAccessDenied);
      std::error_code ec;
      if (!fs::exists(from.host, ec)) return Core::Fail(ParentExists(from) ? win32::kErrorFileNotFound : win32::kErrorPathNotFound);
      if (fs::exists(to.host, ec)) return Core::Fail(win32::kErrorAlreadyExists);
      if (!ParentExists(to)) return Core::Fail(win32::kErrorPathNotFound);
      if (auto f = Core::PathFault(s, from.key)) return Core::Fail(*f);
      fs::rename(from.host, to.host, ec);
      if (ec) return Core::Fail(win32::kErrorAccessDenied);
      if (s["files"].contains(from.key)) {
        s["files"][to.key] = s["files"][from.key];
        s["files"].erase(from.key);
      }
      return true;
    });
  }

  bool MoveFileReplace(WStringView source, WStringView destination) override {
    return core_.Update([&](Json& s) {
      ResolvedPath from, to;
      if (!core_.Resolve(s, source, true, &from) || !core_.Resolve(s, destination, true, &to)) return false;
      if (auto f = Core::TakeFault(s, "MoveFileReplace", to.windows)) return Core::Fail(*f);
      if (StandardUserDenied(s, from) || StandardUserDenied(s, to)) return Core::Fail(win32::kErrorAccessDenied);
      std::error_code ec;
      if (!fs::is_regular_file(from.host, ec)) {
        return Core::Fail(ParentExists(from) ? win32::kErrorFileNotFound : win32::kErrorPathNotFound);
      }
      if (!ParentExists(to)) return Core::Fail(win32::kErrorPathNotFound);
      if (fs::is_directory(to.host, ec)) return Core::Fail(win32::kErrorAccessDenied);
      if (auto f = Core::PathFault(s, from.key)) return Core::Fail(*f);
      const bool exists = fs::exists(to.host, ec);
      if (exists) {
        if (auto f = Core::PathFault(s, to.key)) return Core::Fail(*f);
        // Windows refuses to replace a read-only file.
        if (Attributes(s, to, false) & kFileAttributeReadOnly) return Core::Fail(win32::kErrorAccessDenied);
      }
      // rename(2) replaces the destination in one step; the folder is synced
      // so that the rename is on disk when the call returns (write-through).
      fs::rename(from.host, to.host, ec);
      if (ec) return Core::Fail(win32::kErrorAccessDenied);
      SyncFolder(to.host.parent_path());
      Json meta = s["files"].value(from.key, Json::object());
      s["files"].erase(from.key);
      if (meta.empty()) {
        s["files"].erase(to.key);
      } else {
        s["files"][to.key] = meta;
      }
      return true;
    });
  }

  bool CreateDirectory(WStringView path) override {
    return core_.Update([&](Json& s) {
      ResolvedPath r;
      if (!core_.Resolve(s, path, true, &r)) return false;
      if (auto f = Core::TakeFault(s, "CreateDirectory", r.windows)) return Core::Fail(*f);
      if (StandardUserDenied(s, r)) return Core::Fail(win32::kErrorAccessDenied);
      std::error_code ec;
      if (fs::exists(r.host, ec)) return Core::Fail(win32::kErrorAlreadyExists);
      if (!ParentExists(r)) return Core::Fail(win32::kErrorPathNotFound);
      fs::create_directory(r.host, ec);
      if (ec) return Core::Fail(win32::kErrorAccessDenied);
      return true;  // nothing in the state changed
    });
  }

  bool RemoveDirectory(WStringView path) override {
    return core_.Update([&](Json& s) {
      ResolvedPath r;
      if (!core_.Resolve(s, path, true, &r)) return false;
      if (StandardUserDenied(s, r)) return Core::Fail(win32::kErrorAccessDenied);
      std::error_code ec;
      if (!fs::is_directory(r.host, ec)) {
        return Core::Fail(fs::exists(r.host, ec) ? win32::kErrorDirectory : win32::kErrorFileNotFound);
      }
      if (!fs::is_empty(r.host, ec)) return Core::Fail(win32::kErrorDirNotEmpty);
      fs::remove(r.host, ec);
      if (ec) return Core::Fail(win32::kErrorAccessDenied);
      return true;
    });
  }

  FindHandlePtr FindFirstFile(WStringView pattern, FindData* first) override {
    Json s;
    if (!core_.Read(&s)) return nullptr;
    WString folder = u".", name_pattern(pattern);
    const auto slash = WString(pattern).find_last_of(u"\\/");
    if (slash != WString::npos) {
      folder = WString(pattern.substr(0, slash));
      name_pattern = WString(pattern.substr(slash + 1));
      if (folder.size() == 2 && folder[1] == u':') folder += u"\\";
    }
    if (name_pattern.empty()) {
      Core::SetLastError(win32::kErrorFileNotFound);
      return nullptr;
    }
    ResolvedPath r;
    if (!core_.Resolve(s, folder, true, &r)) return nullptr;
    std::error_code ec;
    if (!fs::is_directory(r.host, ec)) {
      Core::SetLastError(win32::kErrorPathNotFound);
      return nullptr;
    }
    std::vector<FindData> found;
    const bool is_root = r.windows.size() <= 3;
    if (!is_root) {
      for (const WString dots : {u".", u".."}) {
        if (Matches(name_pattern, dots)) found.push_back({kFileAttributeDirectory, 0, dots, {}});
      }
    }
    std::vector<fs::directory_entry> entries;
    for (const auto& e : fs::directory_iterator(r.host, ec)) entries.push_back(e);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      return ToUpperAscii(FromUtf8(a.path().filename().string())) < ToUpperAscii(FromUtf8(b.path().filename().string()));
    });
    for (const auto& e : entries) {
      const WString name = FromUtf8(e.path().filename().string());
      if (name.size() > 9 && name.substr(name.size() - 8) == u".copying") continue;
      if (!Matches(name_pattern, name)) continue;
      ResolvedPath child;
      child.windows = r.windows + (is_root ? u"" : u"\\") + name;
      child.key = UpperKey(child.windows);
      const bool dir = e.is_directory(ec);
      FindData d;
      d.attributes = Attributes(s, child, dir);
      d.size = dir ? 0 : e.file_size(ec);
      d.file_name = name;
      found.push_back(d);
    }
    if (found.empty()) {
      Core::SetLastError(win32::kErrorFileNotFound);
      return nullptr;
    }
    *first = found.front();
    found.erase(found.begin());
    return std::make_unique<SimFindHandle>(std::move(found));
  }

  // The bounded read every whole-file read goes through: a buffer of `size`
  // bytes, none above `limit` and a failed allocation caught, both failing
  // with kErrorNotEnoughMemory as Windows' ReadFile path does.
  static bool Allocate(std::uint64_t size, std::uint64_t limit, Bytes* data) {
    if (size > limit || size > data->max_size()) return Core::Fail(win32::kErrorNotEnoughMemory);
    try {
      data->resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
      return Core::Fail(win32::kErrorNotEnoughMemory);
    }
    return true;
  }

  // A read with read sharing: the whole file within `limit`, or with `head`
  // its first `limit` bytes.
  bool ReadShared(WStringView path, std::uint64_t limit, bool head, Bytes* content) {
    Json s;
    ResolvedPath r;
    if (!core_.Read(&s) || !core_.Resolve(s, path, true, &r)) return false;
    if (auto f = core_.TakeReadFault(s, "ReadFile", r.windows)) return Core::Fail(*f);
    std::ifstream in;
    if (!OpenForReading(s, r, &in)) return false;
    std::error_code ec;
    std::uint64_t size = fs::file_size(r.host, ec);
    if (ec) return Core::Fail(win32::kErrorAccessDenied);
    if (head) size = std::min(size, limit);
    Bytes data;
    if (!Allocate(size, limit, &data)) return false;
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size));
    // A file that shrank while it was read gives what it holds.
    data.resize(static_cast<std::size_t>(in.gcount()));
    *content = std::move(data);
    return true;
  }

  // Opens an existing file for reading as CreateFile does: a folder or a
  // file in use (vmachine fault DIR path PATH 32) cannot be opened.
  bool OpenForReading(const Json& s, const ResolvedPath& r, std::ifstream* in) {
    std::error_code ec;
    if (fs::is_directory(r.host, ec)) return Core::Fail(win32::kErrorAccessDenied);
    if (!fs::exists(r.host, ec)) return Core::Fail(ParentExists(r) ? win32::kErrorFileNotFound : win32::kErrorPathNotFound);
    if (auto f = Core::PathFault(s, r.key)) return Core::Fail(*f);
    in->open(r.host, std::ios::binary);
    if (!*in) return Core::Fail(win32::kErrorAccessDenied);
    return true;
  }

  bool ReadFile(WStringView path, std::uint64_t max_size, Bytes* content) override {
    return ReadShared(path, max_size, false, content);
  }

  bool ReadFileHead(WStringView path, std::uint64_t count, Bytes* content) override {
    return ReadShared(path, count, true, content);
  }

  ExclusiveReadStep ReadFileExclusive(WStringView path, std::uint64_t max_size, Bytes* content) override {
    ExclusiveReadStep failed = ExclusiveReadStep::kOpen;
    const bool done = core_.Update([&](Json& s) {
      ResolvedPath r;
      if (!core_.Resolve(s, path, true, &r)) return false;
      if (auto f = Core::TakeFault(s, "CreateFile", r.windows)) return Core::Fail(*f);
      std::ifstream in;
      if (!OpenForReading(s, r, &in)) return false;
      failed = ExclusiveReadStep::kSize;
      if (auto f = Core::TakeFault(s, "GetFileSize", r.windows)) return Core::Fail(*f);
      std::error_code ec;
      const std::uint64_t size = fs::file_size(r.host, ec);
      if (ec) return Core::Fail(win32::kErrorAccessDenied);
      failed = ExclusiveReadStep::kTooLarge;
      Bytes data;
      if (!Allocate(size, max_size, &data)) return false;
      failed = ExclusiveReadStep::kSeek;
      if (auto f = Core::TakeFault(s, "SetFilePointer", r.windows)) return Core::Fail(*f);
      failed = ExclusiveReadStep::kRead;
      if (auto f = Core::TakeFault(s, "ReadFile", r.windows)) return Core::Fail(*f);
      const std::uint64_t wanted = TakeShortRead(s, r.windows, size).value_or(size);
      in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(wanted));
      if (static_cast<std::uint64_t>(in.gcount()) != size) return Core::Fail(win32::kErrorReadFault);
      *content = std::move(data);
      failed = ExclusiveReadStep::kDone;
      return true;
    });
    return done ? ExclusiveReadStep::kDone : failed;
  }

  bool WriteFile(WStringView path, const Bytes& content, WriteMode mode, std::uint32_t) override {
    return core_.Update([&](Json& s) {
      ResolvedPath r;
      if (!core_.Resolve(s, path, true, &r)) return false;
      if (auto f = Core::TakeFault(s, "WriteFile", r.windows)) return Core::Fail(*f);
      if (StandardUserDenied(s, r)) return Core::Fail(win32::kErrorAccessDenied);
      std::error_code ec;
      if (fs::is_directory(r.host, ec)) return Core::Fail(win32::kErrorAccessDenied);
      if (!ParentExists(r)) return Core::Fail(win32::kErrorPathNotFound);
      const bool exists = fs::exists(r.host, ec);
      if (exists && mode == WriteMode::kCreateNew) return Core::Fail(win32::kErrorFileExists);
      if (auto f = Core::PathFault(s, r.key)) return Core::Fail(*f);
      if (exists && (Attributes(s, r, false) & kFileAttributeReadOnly)) return Core::Fail(win32::kErrorAccessDenied);
      if (!WriteAll(r.host, content, mode == WriteMode::kOpenAlwaysAppend)) return Core::Fail(win32::kErrorWriteFault);
      if (!exists) s["files"][r.key]["attributes"] = kFileAttributeArchive;
      return true;
    });
  }

  bool GetFileSize(WStringView path, std::uint64_t* size) override {
    Json s;
    ResolvedPath r;
    if (!core_.Read(&s) || !core_.Resolve(s, path, true, &r)) return false;
    std::error_code ec;
    if (!fs::is_regular_file(r.host, ec)) return Core::Fail(ParentExists(r) ? win32::kErrorFileNotFound : win32::kErrorPathNotFound);
    *size = fs::file_size(r.host, ec);
    return !ec;
  }

  bool GetFileVersionInfo(WStringView path, FileVersionInfo* info) override {
    Json s;
    ResolvedPath r;
    if (!core_.Read(&s) || !core_.Resolve(s, path, true, &r)) return false;
    std::error_code ec;
    if (!fs::is_regular_file(r.host, ec)) return Core::Fail(ParentExists(r) ? win32::kErrorFileNotFound : win32::kErrorPathNotFound);
    const Json meta = s["files"].value(r.key, Json::object());
    // A file without a version set on the machine answers from its own
    // version resource, as it would on Windows.
    if (!meta.contains("version") || !meta["version"].is_object()) return ReadImageVersion(r.host, info);
    const Json& v = meta["version"];
    *info = FileVersionInfo{};
    auto parse_quad = [](const std::string& text, std::array<std::uint16_t, 4>* out) {
      std::size_t part = 0;
      std::uint32_t value = 0;
      for (char c : text + ".") {
        if (c >= '0' && c <= '9') {
          value = value * 10 + static_cast<std::uint32_t>(c - '0');
        } else if (c == '.' || c == ',') {
          if (part < 4) (*out)[part++] = static_cast<std::uint16_t>(value);
          value = 0;
        }
      }
    };
    parse_quad(v.value("file_version", std::string("0.0.0.0")), &info->file_version);
    parse_quad(v.value("product_version", v.value("file_version", std::string("0.0.0.0"))), &info->product_version);
    for (const auto& t : v.value("translations", Json::array())) {
      if (t.is_array() && t.size() == 2) {
        info->translations.push_back({t[0].get<std::uint16_t>(), t[1].get<std::uint16_t>()});
      }
    }
    const Json tables = v.value("strings", Json::object());
    for (const auto& [table, entries] : tables.items()) {
      for (const auto& [name, text] : entries.items()) {
        if (text.is_string()) info->strings[FromUtf8(table)][FromUtf8(name)] = FromUtf8(text.get<std::string>());
      }
    }
    return true;
  }

  // The profile is "win.ini" in the Windows folder, written with the
  // profile-file rules.
  bool WriteProfileString(WStringView section, WStringView key, WStringView value) override {
    Json s;
    if (!core_.Read(&s)) return false;
    PlatformFileSource source(*this);
    return ini::WriteProfileValue(source, Core::WindowsDirectory(s) + u"\\win.ini", section, key, value);
  }

  bool HasFsRedirectionFunctions() override {
    return HasRedirectionFunction(kWow64Disable) && HasRedirectionFunction(kWow64Revert);
  }

  bool Wow64DisableWow64FsRedirection(void** old_value) override {
    if (!HasRedirectionFunction(kWow64Disable)) return Core::Fail(win32::kErrorProcNotFound);
    if (!On64BitWindows()) return Core::Fail(win32::kErrorInvalidFunction);
    if (old_value) *old_value = reinterpret_cast<void*>(static_cast<std::uintptr_t>(core_.RedirectionDisabled() ? 1 : 0));
    core_.SetRedirectionDisabled(true);
    return true;
  }

  bool Wow64RevertWow64FsRedirection(void* old_value) override {
    if (!HasRedirectionFunction(kWow64Revert)) return Core::Fail(win32::kErrorProcNotFound);
    if (!On64BitWindows()) return Core::Fail(win32::kErrorInvalidFunction);
    core_.SetRedirectionDisabled(reinterpret_cast<std::uintptr_t>(old_value) != 0);
    return true;
  }

 private:
  // 32-bit Windows (Vista on) exports the redirection functions, but has no
  // redirection: they fail with ERROR_INVALID_FUNCTION there.
  bool On64BitWindows() {
    Json s;
    return core_.Read(&s) && Core::Is64BitMachine(s);
  }

  // A Windows that has the WOW64 functions, and neither kernel32 nor the
  // entry point marked missing on this machine.
  bool HasRedirectionFunction(const char* proc) {
    Json s;
    if (!core_.Read(&s)) return false;
    return s["system"].value("has_wow64_functions", true) && !ProcMissing(s, kKernel32, proc);
  }

  // A standard user may read below the Windows folder but not change
  // anything there (the system and driver folders among it); its "Temp"
  // folder is the one place Windows lets every user create files.
  static bool StandardUserDenied(const Json& s, const ResolvedPath& r) {
    if (s["system"].value("admin", true)) return false;
    const std::string windows = UpperKey(Core::WindowsDirectory(s)) + "\\";
    const std::string temp = windows + "TEMP\\";
    return r.key.compare(0, windows.size(), windows) == 0 && r.key.compare(0, temp.size(), temp) != 0;
  }

  static bool ParentExists(const ResolvedPath& r) {
    std::error_code ec;
    return fs::is_directory(r.host.parent_path(), ec);
  }

  static std::uint32_t Attributes(const Json& s, const ResolvedPath& r, bool directory) {
    std::uint32_t a = directory ? kFileAttributeDirectory : kFileAttributeArchive;
    if (s.contains("files") && s["files"].contains(r.key)) {
      a = s["files"][r.key].value("attributes", a) | (directory ? kFileAttributeDirectory : 0);
    }
    return a == 0 ? kFileAttributeNormal : a;
  }

  Core& core_;
};

}  // namespace

std::unique_ptr<Files> MakeFiles(Core& core) { return std::make_unique<SimFiles>(core); }

}  // namespace kit::sim
