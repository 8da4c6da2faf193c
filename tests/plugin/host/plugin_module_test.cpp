// The built plug-in module, loaded as the universal driver loads it: only
// its two exports, then the host's calling order through the tables.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "plugin/core/com/interfaces.h"
#include "tests/plugin/core/com/fake_driver.h"
#include "tests/plugin/host/plugin_module.h"

namespace kit::plugin::testing {
namespace {

using namespace com;

constexpr DWORD kSignature = 1, kInterfaceVersion = 2, kDevModeSize = 1, kDevModeDefault = 2,
                kDevModeValidate = 4;

class PluginModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.loaded()) << module_.error();
    ASSERT_NE(module_.get_class_object(), nullptr);
    ASSERT_NE(module_.can_unload_now(), nullptr);
  }

  IPrintOemUI* Create() {
    void* out = nullptr;
    EXPECT_EQ(module_.get_class_object()(&kClsidOemUi, &kIidIClassFactory, &out), kSOk);
    auto* factory = static_cast<IClassFactory*>(out);
    if (factory == nullptr) return nullptr;
    void* object = nullptr;
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &object), kSOk);
    EXPECT_EQ(factory->lpVtbl->Release(AsUnknown(factory)), 0u);
    return static_cast<IPrintOemUI*>(object);
  }

  void ExpectLastError(std::uint32_t expected) {
    std::uint32_t code = 0;
    if (module_.LastError(code)) {
      EXPECT_EQ(code, expected);
    }
  }

  PluginModule module_;
};

TEST_F(PluginModuleTest, ExportsTheTwoComEntryPointsByTheirPlainNames) {
  EXPECT_TRUE(module_.Exports("DllGetClassObject"));
  EXPECT_TRUE(module_.Exports("DllCanUnloadNow"));
  EXPECT_FALSE(module_.Exports("DllRegisterServer"));
  EXPECT_FALSE(module_.Exports("_ZN3kit6plugin3com12LiveObjectsEv"));  // internals stay inside
}

TEST_F(PluginModuleTest, GoesThroughTheHostsCallingOrder) {
  EXPECT_EQ(module_.can_unload_now()(), kSOk);
  IPrintOemUI* ui = Create();
  ASSERT_NE(ui, nullptr);
  EXPECT_EQ(module_.can_unload_now()(), kSFalse);

  com::testing::FakeDriver driver;
  EXPECT_EQ(ui->lpVtbl->PublishDriverInterface(ui, driver.Unknown()), kSOk);
  EXPECT_EQ(driver.refs, 2u);

  DWORD value = 0, needed = 0;
  EXPECT_EQ(ui->lpVtbl->GetInfo(ui, kSignature, &value, sizeof value, &needed), kSOk);
  EXPECT_EQ(value, 0x56513430u);
  module_.ClearLastError();
  EXPECT_EQ(ui->lpVtbl->GetInfo(ui, kInterfaceVersion, &value, sizeof value, &needed), kEFail);
  ExpectLastError(87);
  module_.ClearLastError();
  needed = 0;
  EXPECT_EQ(ui->lpVtbl->GetInfo(ui, kSignature, &value, 3, &needed), kEFail);
  EXPECT_EQ(needed, 4u);
  ExpectLastError(122);

  OEMDMPARAM param{};
  param.cbSize = sizeof param;
  EXPECT_EQ(ui->lpVtbl->DevMode(ui, kDevModeSize, &param), kSOk);
  EXPECT_EQ(param.cbBufSize, 1976u);
  std::vector<unsigned char> in(1976, 1), out(1976, 2);
  param.pOEMDMIn = in.data();
  param.pOEMDMOut = out.data();
  module_.ClearLastError();
  EXPECT_EQ(ui->lpVtbl->DevMode(ui, kDevModeValidate + 1, &param), kEFail);
  ExpectLastError(87);
  EXPECT_EQ(out, std::vector<unsigned char>(1976, 2));
  param.cbBufSize = 1976;
  EXPECT_EQ(ui->lpVtbl->DevMode(ui, kDevModeDefault, &param), kSOk);
  DWORD header[3] = {};
  std::memcpy(header, out.data(), sizeof header);
  EXPECT_EQ(header[0], 1976u);
  EXPECT_EQ(header[1], 0x56513430u);
  EXPECT_EQ(header[2], 1u);

  unsigned char profile[32];
  ULONG size = sizeof profile, flags = 0;
  EXPECT_EQ(ui->lpVtbl->QueryColorProfile(ui, nullptr, nullptr, nullptr, nullptr, 0, profile, &size, &flags), kSOk);
  EXPECT_EQ(flags, 2u);
  EXPECT_EQ(std::memcmp(profile, u"OEMPROFILE.icm", 30), 0);

  EXPECT_EQ(ui->lpVtbl->Release(AsUnknown(ui)), 0u);
  EXPECT_EQ(driver.refs, 1u);  // the driver interface was given back
  EXPECT_EQ(module_.can_unload_now()(), kSOk);
}

TEST_F(PluginModuleTest, RefusesForeignClassesAndAggregation) {
  void* marker = reinterpret_cast<void*>(0x4321);
  void* out = marker;
  EXPECT_EQ(module_.get_class_object()(&kIidIPrintOemUi, &kIidIClassFactory, &out),
            static_cast<HRESULT>(0x80040111u));
  EXPECT_EQ(out, marker);
  ASSERT_EQ(module_.get_class_object()(&kClsidOemUi, &kIidIClassFactory, &out), kSOk);
  auto* factory = static_cast<IClassFactory*>(out);
  IUnknown outer{};
  void* object = marker;
  EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, &outer, &kIidIPrintOemUi, &object),
            static_cast<HRESULT>(0x80040110u));
  EXPECT_EQ(factory->lpVtbl->LockServer(factory, 1), kSOk);
  EXPECT_EQ(module_.can_unload_now()(), kSFalse);
  EXPECT_EQ(factory->lpVtbl->LockServer(factory, 0), kSOk);
  EXPECT_EQ(factory->lpVtbl->Release(AsUnknown(factory)), 0u);
  EXPECT_EQ(module_.can_unload_now()(), kSOk);
}

}  // namespace
}  // namespace kit::plugin::testing
