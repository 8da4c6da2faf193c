// The virtual machine's state file: one JSON document in the machine folder,
// read and changed under a file lock (several programs share one machine)
// and replaced atomically (write a new file, flush it, rename it over the
// old one), so a program killed in the middle of a write leaves the previous
// state intact. A Store keeps the last state it read or wrote, parsed: a read
// that finds the same text on disk takes that copy instead of parsing again
// (the programs of a machine make hundreds of calls a second, each a read).
#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

namespace kit::sim {

using Json = nlohmann::json;

// Format marker and version written into every state file.
inline constexpr char kStateFormat[] = "kit-virtual-windows-machine";
inline constexpr int kStateVersion = 1;
inline constexpr char kStateFileName[] = "state.json";
inline constexpr char kLockFileName[] = "state.lock";
inline constexpr char kDriveCFolder[] = "drive_c";
inline constexpr char kJobsFolder[] = "jobs";

// Why a machine folder could not be used.
enum class StoreError {
  kNone = 0,
  kMissing,   // no state file
  kDamaged,   // not JSON
  kForeign,   // JSON, but not a machine state of this format/version
  kIo,        // the folder or file could not be read or written
};

class Store {
 public:
  explicit Store(std::filesystem::path folder);

  const std::filesystem::path& Folder() const { return folder_; }

  // Checks the state file once; on failure *message says why in a sentence
  // fit for the user.
  StoreError Check(std::string* message) const;

  // Loads the state under a shared lock.
  StoreError Read(Json* state, std::string* message) const;

  // Loads the state under an exclusive lock, lets `change` edit it, and
  // writes it back atomically when `change` returns true.
  template <typename F>
  StoreError Update(F&& change, std::string* message) {
    LockFile lock(*this, /*exclusive=*/true);
    if (!lock.ok()) return Fail(StoreError::kIo, "cannot lock the machine state", message);
    Json state;
    const auto error = LoadUnlocked(&state, message);
    if (error != StoreError::kNone) return error;
    if (!change(state)) return StoreError::kNone;
    return SaveUnlocked(std::move(state), message);
  }

  // Writes a fresh state (machine creation); replaces any state present.
  StoreError Create(const Json& state, std::string* message);

  // Validation of a parsed document: the format marker and version.
  static bool IsMachineState(const Json& state);

 private:
  class LockFile {
   public:
    LockFile(const Store& store, bool exclusive);
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    bool ok() const { return fd_ >= 0; }

   private:
    int fd_ = -1;
  };

  // The state file's last text this Store read or wrote and that text
  // parsed; shared by copies of the Store (one folder), guarded for threads.
  struct Parsed {
    std::mutex mutex;
    bool valid = false;
    std::string text;
    Json state;
  };

  static StoreError Fail(StoreError error, const std::string& text, std::string* message);
  StoreError LoadUnlocked(Json* state, std::string* message) const;
  StoreError SaveUnlocked(Json state, std::string* message);

  std::filesystem::path folder_;
  std::shared_ptr<Parsed> parsed_ = std::make_shared<Parsed>();
};

}  // namespace kit::sim
