// Shared core of the virtual machine: errors, faults and paths.
#include "platform/sim/core.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/sim/faultable_calls.h"

namespace kit::sim {
namespace {

thread_local win32::Error t_last_error = 0;
// The program this process runs as on the machine (upper case), for the
// call log and for a kill meant for one program. Made at its first use: the
// plug-in module opens its machine from its load-time constructor, which may
// run before the module's namespace-scope objects are constructed.
std::string& ProcessModule() {
  static std::string module;
  return module;
}
thread_local std::map<const Core*, bool> t_redirection_disabled;
// A kill after a call's effect that fell due: the process dies once the
// change of the call is saved.
bool t_kill_when_saved = false;

[[noreturn]] void KillThisProcess() {
  ::kill(::getpid(), SIGKILL);
  for (;;) ::pause();
}

// Characters Windows refuses in a file name.
bool IsInvalidNameChar(char16_t c) {
  return c < 32 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*' || c == u':';
}

// Sub-folders of system32 that WOW64 does not redirect.
bool IsRedirectionExempt(const WString& upper_rest, bool vista_or_later) {
  static constexpr WStringView kExempt[] = {u"CATROOT", u"CATROOT2", u"DRIVERS\\ETC", u"LOGFILES", u"SPOOL"};
  for (auto e : kExempt) {
    if (upper_rest.size() >= e.size() && WStringView(upper_rest).substr(0, e.size()) == e &&
        (upper_rest.size() == e.size() || upper_rest[e.size()] == u'\\')) {
      return true;
    }
  }
  // The driver store is shared by both views from Windows 7 on.
  if (vista_or_later && WStringView(upper_rest).substr(0, 11) == u"DRIVERSTORE") return true;
  return false;
}

}  // namespace

Core::Core(std::filesystem::path folder, ProcessOptions process)
    : store_(std::move(folder)), process_(std::move(process)), pid_(static_cast<std::uint64_t>(::getpid())) {
  ProcessModule() = UpperKey(process_.module_path);
}

win32::Error Core::LastError() { return t_last_error; }
void Core::SetLastError(win32::Error code) { t_last_error = code; }

bool Core::Read(Json* state) {
  std::string message;
  if (store_.Read(state, &message) != StoreError::kNone) {
    last_store_message_ = message;
    SetLastError(win32::kErrorInvalidData);
    return false;
  }
  return true;
}

std::optional<win32::Error> Core::TakeFault(Json& state, std::string_view api, WStringView subject) {
  if (!IsFaultableCall(api)) {  // a call missing from the list the tool offers
    std::fprintf(stderr, "virtual machine: the call %.*s is not in kFaultableCalls\n", static_cast<int>(api.size()),
                 api.data());
    std::abort();
  }
  if (!state.contains("faults")) return std::nullopt;
  Json& faults = state["faults"];
  // The call log: every faultable call in the order the programs made it.
  if (faults.contains(kCallLogMember) && faults[kCallLogMember].is_array()) {
    faults[kCallLogMember].push_back(
        {{"api", std::string(api)}, {"subject", ToUtf8(subject)}, {"process", ProcessModule()}});
  }
  // "kill --after N": the process dies at its (N+1)-th faultable call, in
  // the middle of a change, as a process ended from outside would: before
  // the call changed anything, or with --after-effect once its change is
  // saved, before the program learns the call's outcome.
  const std::string kill_only = UpperKey(JsonText(faults, kKillProcessMember));
  if (faults.contains(kKillAfterMember) && ProcessModule().find(kill_only) != std::string::npos) {
    const int left = faults.value(kKillAfterMember, 0);
    if (left <= 0) {
      if (!faults.value(kKillAfterEffectMember, false)) KillThisProcess();
      t_kill_when_saved = true;
      faults.erase(kKillAfterMember);
      faults.erase(kKillAfterEffectMember);
    } else {
      faults[kKillAfterMember] = left - 1;
    }
  }
  if (!faults.contains("calls")) return std::nullopt;
  auto& calls = state["faults"]["calls"];
  for (auto it = calls.begin(); it != calls.end(); ++it) {
    auto& fault = *it;
    if (fault.value("api", std::string()) != api) continue;
    const WString wanted = JsonText(fault, "subject");
    if (!wanted.empty()) {
      const WString a = ToUpperAscii(subject), b = ToUpperAscii(wanted);
      if (a.find(b) == WString::npos) continue;
    }
    // "--after N": the first N matching calls go through.
    if (const int skip = fault.value("skip", 0); skip > 0) {
      fault["skip"] = skip - 1;
      continue;
    }
    const auto code = fault.value("error", std::uint32_t{win32::kErrorAccessDenied});
    const int remaining = fault.value("remaining", -1);
    if (remaining > 0) {
      if (remaining == 1) {
        calls.erase(it);
      } else {
        fault["remaining"] = remaining - 1;
      }
    }
    return code;
  }
  return std::nullopt;
}

void Core::KillIfDue() {
  if (t_kill_when_saved) KillThisProcess();
}

std::optional<win32::Error> Core::TakeReadFault(const Json& read, std::string_view api, WStringView subject) {
  if (!read.contains("faults")) {
    Json none;
    return TakeFault(none, api, subject);  // still refuses a call missing from the list
  }
  std::optional<win32::Error> fault;
  Update([&](Json& state) {
    fault = TakeFault(state, api, subject);
    return true;
  });
  return fault;
}

std::optional<win32::Error> Core::PathFault(const Json& state, const std::string& key) {
  if (!state.contains("faults") || !state["faults"].contains("paths")) return std::nullopt;
  for (const auto& fault : state["faults"]["paths"]) {
    if (UpperKey(JsonText(fault, "path")) == key) return fault.value("error", std::uint32_t{win32::kErrorAccessDenied});
  }
  return std::nullopt;
}

bool Core::Is64BitMachine(const Json& state) {
  return state["system"].value("arch", 0) == kProcessorArchitectureAmd64;
}

WString Core::WindowsDirectory(const Json& state) {
  const WString dir = JsonText(state["system"], "windows_dir");
  return dir.empty() ? WString(u"C:\\Windows") : dir;
}

WString Core::LocalEnvironment(const Json& state) const {
  if (state["system"].value("platform_id", 2) == static_cast<int>(kVerPlatformWin32Windows)) return kEnvironmentWin40;
  return Is64BitMachine(state) ? WString(kEnvironmentX64) : WString(kEnvironmentNtX86);
}

WString Core::CallerEnvironment(const Json& state) const {
  return IsWow64(state) ? WString(kEnvironmentNtX86) : LocalEnvironment(state);
}

bool Core::RedirectionDisabled() const {
  const auto it = t_redirection_disabled.find(this);
  return it != t_redirection_disabled.end() && it->second;
}

void Core::SetRedirectionDisabled(bool disabled) { t_redirection_disabled[this] = disabled; }

bool Core::Resolve(const Json& state, WStringView path, bool redirect, ResolvedPath* out) {
  if (path.empty()) return Fail(win32::kErrorPathNotFound);
  WString full;
  if (path.size() >= 2 && path[1] == u':') {
    full = WString(path);
  } else if (!path.empty() && (path[0] == u'\\' || path[0] == u'/')) {
    if (path.size() > 1 && (path[1] == u'\\' || path[1] == u'/')) return Fail(win32::kErrorBadPathname);  // UNC
    full = u"C:" + WString(path);
  } else {
    WString cwd = process_.current_directory;
    if (cwd.empty()) {
      const auto slash = process_.module_path.find_last_of(u'\\');
      cwd = slash == WString::npos ? WString(u"C:\\") : process_.module_path.substr(0, slash);
    }
    full = cwd + u"\\" + WString(path);
  }
  for (auto& c : full) {
    if (c == u'/') c = u'\\';
  }
  if (full.size() >= kMaxPath) return Fail(win32::kErrorFilenameExcedRange);
  const char16_t drive = static_cast<char16_t>(full[0] & ~0x20);
  if (drive != u'C' || full.size() < 2) return Fail(win32::kErrorPathNotFound);
  // Split into components and fold "." and "..".
  std::vector<WString> parts;
  std::size_t pos = 2;
  while (pos <= full.size()) {
    const auto next = full.find(u'\\', pos);
    const WString part = full.substr(pos, next == WString::npos ? WString::npos : next - pos);
    if (part.empty() || part == u".") {
    } else if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
    } else {
      for (char16_t c : part) {
        if (IsInvalidNameChar(c)) return Fail(win32::kErrorInvalidName);
      }
      // Windows drops trailing dots and spaces of a component.
      WString trimmed = part;
      while (!trimmed.empty() && (trimmed.back() == u'.' || trimmed.back() == u' ')) trimmed.pop_back();
      if (trimmed.empty()) return Fail(win32::kErrorInvalidName);
      parts.push_back(trimmed);
    }
    if (next == WString::npos) break;
    pos = next + 1;
  }
  // WOW64: a 32-bit process sees SysWOW64 under the name system32, and
  // reaches the real system32 through "Sysnative".
  const WString windir = WindowsDirectory(state);
  const WString windir_name = windir.size() > 3 ? windir.substr(3) : WString(u"Windows");
  if (IsWow64(state) && parts.size() >= 2 && EqualsNoCase(parts[0], windir_name)) {
    const bool vista = state["system"].value("major", 5) >= 6;
    if (redirect && !RedirectionDisabled() && EqualsNoCase(parts[1], u"System32")) {
      WString rest;
      for (std::size_t i = 2; i < parts.size(); ++i) rest += (i > 2 ? u"\\" : u"") + ToUpperAscii(parts[i]);
      const bool win7 = state["system"].value("major", 5) > 6 ||
                        (state["system"].value("major", 5) == 6 && state["system"].value("minor", 0) >= 1);
      if (!IsRedirectionExempt(rest, win7)) parts[1] = u"SysWOW64";
    } else if (vista && EqualsNoCase(parts[1], u"Sysnative")) {
      parts[1] = u"System32";
    }
  }
  out->windows = u"C:";
  if (parts.empty()) out->windows += u"\\";
  std::filesystem::path host = store_.Folder() / kDriveCFolder;
  for (const auto& part : parts) {
    out->windows += u"\\" + part;
    // Case-insensitive lookup: reuse the spelling already on disk.
    std::filesystem::path next = host / ToUtf8(part);
    std::error_code ec;
    if (!std::filesystem::exists(next, ec) && std::filesystem::is_directory(host, ec)) {
      for (const auto& entry : std::filesystem::directory_iterator(host, ec)) {
        if (EqualsNoCase(FromUtf8(entry.path().filename().string()), part)) {
          next = entry.path();
          break;
        }
      }
    }
    host = next;
  }
  out->key = UpperKey(out->windows);
  out->host = host;
  return true;
}

std::filesystem::path Core::HostPathOf(WStringView windows_path) {
  Json state;
  if (!Read(&state)) return {};
  ResolvedPath resolved;
  if (!Resolve(state, windows_path, /*redirect=*/false, &resolved)) return {};
  return resolved.host;
}

WString JsonText(const Json& object, const char* member) {
  if (!object.is_object()) return {};
  const auto it = object.find(member);
  if (it == object.end() || !it->is_string()) return {};
  return FromUtf8(it->get<std::string>());
}

std::string ToHex(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (auto b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

Bytes FromHex(const std::string& text) {
  auto value = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  Bytes out;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const int hi = value(text[i]), lo = value(text[i + 1]);
    if (hi < 0 || lo < 0) break;
    out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return out;
}

}  // namespace kit::sim
