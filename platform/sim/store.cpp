// Locked, atomic access to the machine's state file (POSIX).
#include "platform/sim/store.h"
#include "platform/sim/fd_io.h"
#include "platform/sim/flush.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kit::sim {

Store::Store(std::filesystem::path folder) : folder_(std::move(folder)) {}

Store::LockFile::LockFile(const Store& store, bool exclusive) {
  const auto path = store.folder_ / kLockFileName;
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) return;
  int rc;
  do {
    rc = ::flock(fd_, exclusive ? LOCK_EX : LOCK_SH);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

Store::LockFile::~LockFile() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

StoreError Store::Fail(StoreError error, const std::string& text, std::string* message) {
  if (message) *message = text;
  return error;
}

namespace {

// The members the machine reads, with the JSON type each must have.
bool HasShape(const Json& state) {
  static const std::pair<const char*, Json::value_t> kTop[] = {
      {"system", Json::value_t::object},   {"clock", Json::value_t::object},   {"registry", Json::value_t::object},
      {"spooler", Json::value_t::object},  {"services", Json::value_t::object}, {"devices", Json::value_t::object},
      {"files", Json::value_t::object},    {"faults", Json::value_t::object},   {"windows", Json::value_t::array},
      {"mutexes", Json::value_t::array},   {"launches", Json::value_t::array},  {"programs", Json::value_t::object}};
  for (const auto& [name, type] : kTop) {
    if (state.contains(name) && state[name].type() != type) return false;
  }
  const Json& system = state["system"];
  for (const char* number : {"major", "minor", "build", "platform_id", "product_type", "arch", "lang", "acp", "oemcp",
                             "user_lang", "sp_major", "suite_mask", "processors"}) {
    if (system.contains(number) && !system[number].is_number_unsigned()) return false;
  }
  for (const char* flag : {"admin", "has_is_wow64_process", "has_wow64_functions", "has_native_system_info"}) {
    if (system.contains(flag) && !system[flag].is_boolean()) return false;
  }
  if (state.contains("spooler")) {
    for (const char* list : {"drivers", "monitors", "processors", "ports", "printers", "forms", "jobs"}) {
      if (!state["spooler"].contains(list)) continue;
      const Json& l = state["spooler"][list];
      if (!l.is_array()) return false;
      for (const auto& e : l) {
        if (!e.is_object()) return false;
      }
    }
  }
  if (state.contains("faults")) {
    for (const char* list : {"calls", "paths"}) {
      if (!state["faults"].contains(list)) continue;
      if (!state["faults"][list].is_array()) return false;
      for (const auto& e : state["faults"][list]) {
        if (!e.is_object()) return false;
      }
    }
  }
  if (state.contains("clock")) {
    for (const char* number : {"now_ms", "boot_ms", "slept_ms"}) {
      if (state["clock"].contains(number) && !state["clock"][number].is_number_unsigned()) return false;
    }
  }
  for (const char* flag : {"has_cfgmgr32"}) {
    if (system.contains(flag) && !system[flag].is_boolean()) return false;
  }
  for (const char* list : {"missing_libraries", "missing_procs"}) {
    if (!system.contains(list)) continue;
    if (!system[list].is_array()) return false;
    for (const auto& e : system[list]) {
      if (!e.is_string()) return false;
    }
  }
  if (state.contains("devices") && state["devices"].contains("list")) {
    if (!state["devices"]["list"].is_array()) return false;
    for (const auto& d : state["devices"]["list"]) {
      if (!d.is_object()) return false;
    }
  }
  return true;
}

}  // namespace

bool Store::IsMachineState(const Json& state) {
  return state.is_object() && state.contains("format") && state["format"].is_string() &&
         state["format"].get<std::string>() == kStateFormat && state.contains("version") &&
         state["version"].is_number_integer() && state["version"].get<int>() == kStateVersion && state.contains("system") && state["system"].is_object() &&
         HasShape(state);
}

namespace {

// The whole file, or false when it cannot be opened or read.
bool ReadWhole(const std::filesystem::path& path, std::string* text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  text->clear();
  const bool read = ReadAll(fd, text);
  ::close(fd);
  return read;
}

}  // namespace

StoreError Store::LoadUnlocked(Json* state, std::string* message) const {
  const auto path = folder_ / kStateFileName;
  std::string text;
  if (!ReadWhole(path, &text)) {
    return Fail(StoreError::kMissing, "no virtual machine in " + folder_.string() + " (" + kStateFileName + " is missing)",
                message);
  }
  {
    std::lock_guard<std::mutex> lock(parsed_->mutex);
    if (parsed_->valid && parsed_->text == text) {
      *state = parsed_->state;
      return StoreError::kNone;
    }
  }
  Json parsed = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded()) {
    return Fail(StoreError::kDamaged, "the machine state " + path.string() + " is damaged (not valid JSON)", message);
  }
  if (!IsMachineState(parsed)) {
    return Fail(StoreError::kForeign,
                "the file " + path.string() + " is not a virtual machine state of this kit (format " + kStateFormat +
                    ", version " + std::to_string(kStateVersion) + ")",
                message);
  }
  *state = std::move(parsed);
  std::lock_guard<std::mutex> lock(parsed_->mutex);
  parsed_->text = std::move(text);
  parsed_->state = *state;
  parsed_->valid = true;
  return StoreError::kNone;
}

StoreError Store::SaveUnlocked(Json state, std::string* message) {
  const auto path = folder_ / kStateFileName;
  const auto temp = folder_ / (std::string(kStateFileName) + ".new");
  std::string text = state.dump(1);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Fail(StoreError::kIo, "cannot write " + temp.string() + ": " + std::strerror(errno), message);
  if (!WriteAll(fd, text.data(), text.size())) {
    const std::string why = std::strerror(errno);
    ::close(fd);
    ::unlink(temp.c_str());
    return Fail(StoreError::kIo, "cannot write " + temp.string() + ": " + why, message);
  }
  if ((FlushWrites() && ::fsync(fd) != 0) || ::close(fd) != 0) {
    ::unlink(temp.c_str());
    return Fail(StoreError::kIo, "cannot flush " + temp.string(), message);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return Fail(StoreError::kIo, "cannot replace " + path.string() + ": " + std::strerror(errno), message);
  }
  {
    std::lock_guard<std::mutex> lock(parsed_->mutex);
    parsed_->text = std::move(text);
    parsed_->state = std::move(state);
    parsed_->valid = true;
  }
  // Make the rename itself durable.
  const int dir = FlushWrites() ? ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return StoreError::kNone;
}

StoreError Store::Check(std::string* message) const {
  Json state;
  return Read(&state, message);
}

StoreError Store::Read(Json* state, std::string* message) const {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder_, ec)) {
    return Fail(StoreError::kMissing, "no virtual machine folder " + folder_.string(), message);
  }
  LockFile lock(*this, /*exclusive=*/false);
  if (!lock.ok()) return Fail(StoreError::kIo, "cannot lock the machine state in " + folder_.string(), message);
  return LoadUnlocked(state, message);
}

StoreError Store::Create(const Json& state, std::string* message) {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  if (ec) return Fail(StoreError::kIo, "cannot create " + folder_.string() + ": " + ec.message(), message);
  LockFile lock(*this, /*exclusive=*/true);
  if (!lock.ok()) return Fail(StoreError::kIo, "cannot lock the machine state", message);
  return SaveUnlocked(state, message);
}

}  // namespace kit::sim
