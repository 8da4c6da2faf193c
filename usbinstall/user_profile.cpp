// The user profile through the platform: WriteProfileStringA's texts in the
// system's ANSI code page, handed to the platform's profile writer.
#include "usbinstall/user_profile.h"

namespace kit::usbinstall {
namespace {

class PlatformProfile final : public UserProfile {
 public:
  PlatformProfile(SystemFacts& system, Files& files) : system_(system), files_(files) {}
  bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value) override {
    return files_.WriteProfileString(Wide(system_, section), Wide(system_, key), Wide(system_, value));
  }

 private:
  SystemFacts& system_;
  Files& files_;
};

}  // namespace

std::unique_ptr<UserProfile> MakeUserProfile(SystemFacts& system, Files& files) {
  return std::make_unique<PlatformProfile>(system, files);
}

}  // namespace kit::usbinstall
