// Damaged configuration and language text: Uninstall.ini read for every OS
// code with every lookup the uninstaller makes, the INF rule over the same
// bytes, and the bytes used as a log text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/oscode/os_code.h"
#include "uninstall/config/inf_rule.h"
#include "uninstall/config/log_text.h"
#include "uninstall/config/uninstall_ini.h"

namespace {

class OneFile final : public kit::ini::FileSource {
 public:
  explicit OneFile(std::string bytes) : bytes_(std::move(bytes)) {}
  std::optional<std::string> Read(std::u16string_view) const override { return bytes_; }
  bool Write(std::u16string_view, std::string_view) override { return false; }

 private:
  std::string bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  OneFile file(bytes);
  for (int os_code = kit::kOsWin9x; os_code <= kit::kOsWin7; ++os_code) {
    kit::uninstall::UninstallIni ini(file, "C:\\kit\\Uninstall.ini", {}, os_code);
    ini.Load();
    for (const auto& monitor : ini.monitors()) {
      ini.MonitorRegistryName(monitor);
      ini.MonitorFiles(monitor);
    }
    for (const auto& processor : ini.processors()) ini.ProcessorFile(processor);
    ini.IsFamilyDriver(bytes);
    kit::uninstall::InfBelongsToPrinter(file, "C:\\Windows\\inf\\oem1.inf", bytes.substr(0, 64), ini.manufacturer(), {});
  }
  kit::uninstall::FormatLogText(bytes, "KVR USB Port");
  kit::uninstall::FormatErrorCodeLine(bytes, static_cast<std::uint32_t>(size));
  return 0;
}
