// Creates a plug-in object the way the host does (DllGetClassObject, then
// CreateInstance) and releases it at the end of the test.
#pragma once

#include <gtest/gtest.h>

#include "plugin/core/com/exports.h"
#include "plugin/core/com/last_error.h"
#include "plugin/core/com/oem_ui_object.h"

namespace kit::plugin::com::testing {

inline constexpr std::uint32_t kSentinelError = 0xDEADBEEF;

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    void* factory = nullptr;
    ASSERT_EQ(DllGetClassObject(&kClsidOemUi, &kIidIClassFactory, &factory), kSOk);
    auto* cf = static_cast<IClassFactory*>(factory);
    void* object = nullptr;
    ASSERT_EQ(cf->lpVtbl->CreateInstance(cf, nullptr, &kIidIPrintOemUi, &object), kSOk);
    EXPECT_EQ(cf->lpVtbl->Release(AsUnknown(cf)), 0u);
    ui_ = static_cast<IPrintOemUI*>(object);
    SetThreadLastError(kSentinelError);
  }
  void TearDown() override {
    if (ui_ != nullptr) {
      EXPECT_EQ(ui_->lpVtbl->Release(AsUnknown(ui_)), 0u);
    }
    EXPECT_EQ(DllCanUnloadNow(), kSOk);
  }

  IPrintOemUI* ui_ = nullptr;
  const IPrintOemUIVtbl& V() { return *ui_->lpVtbl; }
};

}  // namespace kit::plugin::com::testing
