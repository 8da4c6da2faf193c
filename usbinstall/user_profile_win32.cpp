// The user profile on Windows: WriteProfileStringA, which Windows NT maps
// to the user's registry.
#include <windows.h>

#include <string>

#include "usbinstall/user_profile.h"

namespace kit::usbinstall {
namespace {

class SystemProfile final : public UserProfile {
 public:
  bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value) override {
    return ::WriteProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                 std::string(value).c_str()) != FALSE;
  }
};

}  // namespace

std::unique_ptr<UserProfile> MakeUserProfile(SystemFacts&, Files&) { return std::make_unique<SystemProfile>(); }

}  // namespace kit::usbinstall
