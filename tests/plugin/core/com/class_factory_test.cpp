// The module exports and the class factory: class ids, interfaces,
// aggregation, reference and lock counts, and allocation failure.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "plugin/core/com/exports.h"
#include "plugin/core/com/module_state.h"
#include "plugin/core/com/oem_ui_object.h"

namespace kit::plugin::com {
namespace {

IClassFactory* GetFactory() {
  void* out = nullptr;
  EXPECT_EQ(DllGetClassObject(&kClsidOemUi, &kIidIClassFactory, &out), kSOk);
  return static_cast<IClassFactory*>(out);
}

TEST(DllGetClassObject, RefusesEveryOtherClassAndLeavesTheOutPointerAlone) {
  void* marker = reinterpret_cast<void*>(0x1234);
  void* out = marker;
  GUID other = kClsidOemUi;
  other.Data4[7] ^= 1;
  EXPECT_EQ(DllGetClassObject(&other, &kIidIClassFactory, &out), static_cast<HRESULT>(0x80040111u));
  EXPECT_EQ(out, marker);
  EXPECT_EQ(DllGetClassObject(&kIidIPrintOemUi, &kIidIUnknown, &out), kClassEClassNotAvailable);
  EXPECT_EQ(DllGetClassObject(nullptr, &kIidIUnknown, &out), kClassEClassNotAvailable);
  EXPECT_EQ(out, marker);
}

TEST(DllGetClassObject, HandsOutAFactoryWithOneReferenceForIUnknownAndIClassFactory) {
  for (const GUID* iid : {&kIidIUnknown, &kIidIClassFactory}) {
    void* out = nullptr;
    ASSERT_EQ(DllGetClassObject(&kClsidOemUi, iid, &out), kSOk);
    auto* factory = static_cast<IClassFactory*>(out);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->lpVtbl->AddRef(AsUnknown(factory)), 2u);
    EXPECT_EQ(factory->lpVtbl->Release(AsUnknown(factory)), 1u);
    EXPECT_EQ(factory->lpVtbl->Release(AsUnknown(factory)), 0u);
  }
}

TEST(DllGetClassObject, AnUnknownInterfaceGivesNoInterfaceAndNull) {
  void* out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(DllGetClassObject(&kClsidOemUi, &kIidIPrintOemUi, &out), kENoInterface);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(DllGetClassObject(&kClsidOemUi, &kIidIClassFactory, nullptr), kEPointer);
  out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(DllGetClassObject(&kClsidOemUi, nullptr, &out), kENoInterface);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(DllCanUnloadNow(), kSOk);
}

TEST(ClassFactory, RefusesAggregationAndUnknownInterfaces) {
  IClassFactory* factory = GetFactory();
  IUnknown outer{};
  void* out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, &outer, &kIidIPrintOemUi, &out),
            static_cast<HRESULT>(0x80040110u));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIClassFactory, &out), kENoInterface);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, nullptr), kEPointer);
  EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, nullptr, &out), kENoInterface);
  EXPECT_EQ(out, nullptr);
  // No object survives a refused creation.
  EXPECT_EQ(LiveObjects(), 0);
  EXPECT_EQ(factory->lpVtbl->Release(AsUnknown(factory)), 0u);
}

TEST(ClassFactory, QueryInterfaceAnswersOnlyItsOwnInterfaces) {
  IClassFactory* factory = GetFactory();
  void* out = nullptr;
  EXPECT_EQ(factory->lpVtbl->QueryInterface(AsUnknown(factory), &kIidIUnknown, &out), kSOk);
  EXPECT_EQ(out, factory);
  EXPECT_EQ(factory->lpVtbl->QueryInterface(AsUnknown(factory), &kIidIPrintOemUi, &out), kENoInterface);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->lpVtbl->Release(AsUnknown(factory)), 1u);
  EXPECT_EQ(factory->lpVtbl->Release(AsUnknown(factory)), 0u);
}

TEST(DllCanUnloadNow, FollowsLiveObjectsAndLocks) {
  ASSERT_EQ(DllCanUnloadNow(), kSOk);
  IClassFactory* factory = GetFactory();
  // A factory alone does not keep the module.
  EXPECT_EQ(DllCanUnloadNow(), kSOk);

  void* first = nullptr;
  void* second = nullptr;
  ASSERT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &first), kSOk);
  ASSERT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIUnknown, &second), kSOk);
  EXPECT_NE(first, second);
  EXPECT_EQ(LiveObjects(), 2);
  EXPECT_EQ(DllCanUnloadNow(), kSFalse);

  auto* a = static_cast<IPrintOemUI*>(first);
  auto* b = static_cast<IPrintOemUI*>(second);
  EXPECT_EQ(a->lpVtbl->Release(AsUnknown(a)), 0u);
  EXPECT_EQ(DllCanUnloadNow(), kSFalse);
  EXPECT_EQ(b->lpVtbl->AddRef(AsUnknown(b)), 2u);
  EXPECT_EQ(b->lpVtbl->Release(AsUnknown(b)), 1u);
  EXPECT_EQ(DllCanUnloadNow(), kSFalse);
  EXPECT_EQ(b->lpVtbl->Release(AsUnknown(b)), 0u);
  EXPECT_EQ(DllCanUnloadNow(), kSOk);

  EXPECT_EQ(factory->lpVtbl->LockServer(factory, 1), kSOk);
  EXPECT_EQ(factory->lpVtbl->LockServer(factory, 7), kSOk);
  EXPECT_EQ(DllCanUnloadNow(), kSFalse);
  EXPECT_EQ(factory->lpVtbl->LockServer(factory, 0), kSOk);
  EXPECT_EQ(DllCanUnloadNow(), kSFalse);
  EXPECT_EQ(factory->lpVtbl->LockServer(factory, 0), kSOk);
  EXPECT_EQ(DllCanUnloadNow(), kSOk);
  EXPECT_EQ(factory->lpVtbl->Release(AsUnknown(factory)), 0u);
}

TEST(AllocationFailure, LeavesNothingHalfBuilt) {
  void* out = reinterpret_cast<void*>(0x1234);
  FailNextAllocationsForTesting(1);
  EXPECT_EQ(DllGetClassObject(&kClsidOemUi, &kIidIClassFactory, &out), kEOutOfMemory);

  IClassFactory* factory = GetFactory();
  FailNextAllocationsForTesting(1);
  out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &out), kEOutOfMemory);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(LiveObjects(), 0);
  EXPECT_EQ(DllCanUnloadNow(), kSOk);
  // The next creation works again.
  ASSERT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &out), kSOk);
  auto* ui = static_cast<IPrintOemUI*>(out);
  EXPECT_EQ(ui->lpVtbl->Release(AsUnknown(ui)), 0u);
  EXPECT_EQ(factory->lpVtbl->Release(AsUnknown(factory)), 0u);
}

TEST(PluginObject, CountsStayExactWhenManyThreadsCreateAndReleaseAtOnce) {
  IClassFactory* factory = GetFactory();
  void* out = nullptr;
  ASSERT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &out), kSOk);
  auto* shared = static_cast<IPrintOemUI*>(out);
  constexpr int kThreads = 8;
  constexpr int kRounds = 100000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        shared->lpVtbl->AddRef(AsUnknown(shared));
        factory->lpVtbl->LockServer(factory, 1);
        void* own = nullptr;
        if (i % 64 == 0 && factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &own) == kSOk) {
          static_cast<IPrintOemUI*>(own)->lpVtbl->Release(AsUnknown(static_cast<IPrintOemUI*>(own)));
        }
        factory->lpVtbl->LockServer(factory, 0);
        shared->lpVtbl->Release(AsUnknown(shared));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(ObjectOf(shared)->refs.load(), 1u);
  EXPECT_EQ(LiveObjects(), 1);
  EXPECT_EQ(Locks(), 0);
  EXPECT_EQ(shared->lpVtbl->Release(AsUnknown(shared)), 0u);
  EXPECT_EQ(factory->lpVtbl->Release(AsUnknown(factory)), 0u);
  EXPECT_EQ(DllCanUnloadNow(), kSOk);
}

TEST(PluginObject, StartsWithUnsetSheetHandlesAndNoDriver) {
  IClassFactory* factory = GetFactory();
  void* out = nullptr;
  ASSERT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &kIidIPrintOemUi, &out), kSOk);
  factory->lpVtbl->Release(AsUnknown(factory));
  OemUiObject* object = ObjectOf(static_cast<IPrintOemUI*>(out));
  const auto unset = reinterpret_cast<HANDLE>(~std::uintptr_t{0});
  EXPECT_EQ(object->refs.load(), 1u);
  EXPECT_EQ(object->driver, nullptr);
  EXPECT_EQ(object->device_sheet.hComPropSheet, unset);
  EXPECT_EQ(object->device_sheet.hPage, unset);
  EXPECT_EQ(object->device_sheet.pfnComPropSheet, nullptr);
  EXPECT_EQ(object->device_sheet.pOemCUIPParam, nullptr);
  EXPECT_EQ(object->document_sheet.hComPropSheet, unset);
  EXPECT_EQ(object->document_sheet.hPage, unset);
  EXPECT_EQ(object->document_sheet.lParamInit, 0);
  EXPECT_EQ(object->document_sheet.pDriver, nullptr);

  IPrintOemUI* ui = object;
  void* again = nullptr;
  EXPECT_EQ(ui->lpVtbl->QueryInterface(AsUnknown(ui), &kIidIUnknown, &again), kSOk);
  EXPECT_EQ(again, ui);
  EXPECT_EQ(object->refs.load(), 2u);
  EXPECT_EQ(ui->lpVtbl->QueryInterface(AsUnknown(ui), &kIidIClassFactory, &again), kENoInterface);
  EXPECT_EQ(again, nullptr);
  EXPECT_EQ(ui->lpVtbl->QueryInterface(AsUnknown(ui), &kIidIPrintOemUi, nullptr), kEPointer);
  EXPECT_EQ(ui->lpVtbl->Release(AsUnknown(ui)), 1u);
  EXPECT_EQ(ui->lpVtbl->Release(AsUnknown(ui)), 0u);
}

}  // namespace
}  // namespace kit::plugin::com
