// The plug-in module loaded by a host that runs on a virtual machine: its
// load prepares the user's language state on that machine.
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sim/machine.h"
#include "platform/sim/presets.h"
#include "tests/plugin/host/plugin_module.h"

namespace kit::plugin::testing {
namespace {

TEST(PluginModuleOnMachine, LoadingTheModulePreparesTheUsersLanguage) {
  char pattern[] = "/tmp/kit-plugin-module-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::filesystem::path folder = pattern;
  std::string error;
  ASSERT_TRUE(sim::CreateMachine(folder, "win7-x86-zh-cn", false, &error)) << error;

  ::setenv(sim::kEnvMachine, folder.c_str(), 1);
  {
    PluginModule module;
    ASSERT_TRUE(module.loaded()) << module.error();
  }
  ::unsetenv(sim::kEnvMachine);

  auto machine = sim::Machine::Open(folder, {}, &error);
  ASSERT_NE(machine, nullptr) << error;
  RegistryKeyPtr key;
  ASSERT_EQ(machine->platform().registry.RegOpenKeyEx(RootKey::kCurrentUser, u"SOFTWARE\\VELDRAN\\LANGUAGE\\",
                                                      kKeyRead, &key),
            win32::kErrorSuccess);
  WString value;
  EXPECT_EQ(key->GetString(u"LANGUAGE_VRTQ40", &value), win32::kErrorSuccess);
  EXPECT_EQ(value, u"CHN_VRTQ40.res");
  EXPECT_EQ(key->GetString(u"IsFirstRun_VRTQ40", &value), win32::kErrorSuccess);
  EXPECT_EQ(value, u"TRUE");
  key.reset();
  machine.reset();
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kit::plugin::testing
