// The user profile of the virtual machine: "win.ini" in its Windows folder.
#include "common/ini/profile_file.h"
#include "usbinstall/user_profile.h"

namespace kit::usbinstall {
namespace {

// The machine's files as a profile-file source.
class MachineFileSource final : public ini::FileSource {
 public:
  explicit MachineFileSource(Files& files) : files_(files) {}
  std::optional<std::string> Read(std::u16string_view path) const override {
    Bytes bytes;
    if (!files_.ReadFile(path, &bytes)) return std::nullopt;
    return std::string(bytes.begin(), bytes.end());
  }
  bool Write(std::u16string_view path, std::string_view bytes) override {
    return files_.WriteFile(path, Bytes(bytes.begin(), bytes.end()), WriteMode::kCreateAlways);
  }

 private:
  Files& files_;
};

class WinIniProfile final : public UserProfile {
 public:
  WinIniProfile(SystemFacts& system, Files& files) : system_(system), source_(files) {}
  bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value) override {
    const WString path = system_.GetWindowsDirectory() + kUserProfileFile;
    return ini::WriteProfileValue(source_, path, Wide(system_, section), Wide(system_, key),
                                  WString(Wide(system_, value)));
  }

 private:
  SystemFacts& system_;
  MachineFileSource source_;
};

}  // namespace

std::unique_ptr<UserProfile> MakeUserProfile(SystemFacts& system, Files& files) {
  return std::make_unique<WinIniProfile>(system, files);
}

}  // namespace kit::usbinstall
