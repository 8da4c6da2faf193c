// A virtual machine with the sample kit laid out below C:\kit (its
// configuration and a placeholder for every file the configuration names),
// and the install engine's context on it. Language texts are the keys
// themselves, so a test reads which text a step chose.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/profile_file_source.h"
#include "platform/sim/scratch_machine.h"
#include "platform/sim/store.h"
#include "setup/config/printer_inf_manager.h"
#include "setup/engine/engine_context.h"

namespace kit::setup::testing {

// "Message"/key reads as the key.
class KeyTexts final : public LanguageTexts {
 public:
  std::string Get(std::string_view section, std::string_view key) const override {
    return section == kMessageSection ? std::string(key) : std::string();
  }
};

// The payload files of the sample kit, in both package folders.
extern const char* const kSamplePayload[];

// What the test kit holds for the payload file named in `text` ("W64
// KVRCOMMON.DLL"): the text itself, or for a monitor module its Linux
// build followed by the text.
std::string PayloadContent(const std::string& text);

class EngineMachine {
 public:
  explicit EngineMachine(const std::string& preset = "win7-x64-en");

  Platform& platform() { return scratch_->platform(); }
  sim::Machine& machine() { return scratch_->machine(); }
  EngineContext& ctx() { return *ctx_; }
  const CPrinterInfManager& config() { return *config_; }

  // Files on drive C: by Windows path.
  void Put(const std::string& windows_path, const std::string& content);
  bool Exists(const std::string& windows_path);
  std::string Content(const std::string& windows_path);
  void Remove(const std::string& windows_path);

  sim::Json State();
  void Change(const std::function<void(sim::Json&)>& change);
  void PathFault(const std::string& windows_path, std::uint32_t error);
  void CallFault(const std::string& api, std::uint32_t error, const std::string& subject = {}, int times = -1);
  // A DWORD under HKLM, nullopt when the key or value is missing.
  std::optional<std::uint32_t> Dword(const std::string& key, const std::string& value);
  std::optional<std::string> String(const std::string& key, const std::string& value);
  // Writes a value under HKLM (64-bit view), creating the key.
  void SetDword(const std::string& key, const std::string& value, std::uint32_t data);
  void SetString(const std::string& key, const std::string& value, const std::string& data);
  std::uint64_t Slept() { return machine().SleptMilliseconds(); }

  // The system folder as a 64-bit program sees it.
  std::string windows;
  std::string system32;
  std::string driver_folder;     // the native environment's printer-driver folder
  std::string processor_folder;

 private:
  std::unique_ptr<sim::ScratchMachine> scratch_;
  KeyTexts texts_;
  std::unique_ptr<PlatformFileSource> source_;
  std::unique_ptr<CPrinterInfManager> config_;
  std::unique_ptr<EngineContext> ctx_;
};

}  // namespace kit::setup::testing
