// Registry: the install records, monitor and processor versions and the
// plug-in's per-user state rely on these behaviours.
#include <gtest/gtest.h>

#include "tests/platform/contract/contract_env.h"

namespace kit::contract {
namespace {

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    base_ = u"Software\\KitContract\\" + env_->UniqueName(u"reg");
  }
  void TearDown() override {
    // Leave nothing behind on a real machine (leaves first).
    Registry& r = env_->platform().registry;
    r.RegDeleteKey(RootKey::kCurrentUser, base_ + u"\\Child");
    r.RegDeleteKey(RootKey::kCurrentUser, base_);
  }
  Registry& reg() { return env_->platform().registry; }

  std::unique_ptr<ContractEnv> env_;
  WString base_;
};

TEST_F(RegistryContract, CreateOpenAndReadBackDwordAndString) {
  RegistryKeyPtr key;
  std::uint32_t disposition = 0;
  ASSERT_EQ(reg().RegCreateKeyEx(RootKey::kCurrentUser, base_, kKeyAllAccess, &key, &disposition), win32::kErrorSuccess);
  EXPECT_EQ(disposition, kRegCreatedNewKey);
  ASSERT_EQ(key->SetDword(u"USB_VRT-P80_1", 7), win32::kErrorSuccess);
  ASSERT_EQ(key->SetString(u"Driver", u"nKVUSBMON.DLL"), win32::kErrorSuccess);

  RegistryKeyPtr again;
  ASSERT_EQ(reg().RegCreateKeyEx(RootKey::kCurrentUser, base_, kKeyAllAccess, &again, &disposition),
            win32::kErrorSuccess);
  EXPECT_EQ(disposition, kRegOpenedExistingKey);
  std::uint32_t value = 0;
  EXPECT_EQ(again->GetDword(u"usb_vrt-p80_1", &value), win32::kErrorSuccess);  // names ignore case
  EXPECT_EQ(value, 7u);
  WString text;
  EXPECT_EQ(again->GetString(u"Driver", &text), win32::kErrorSuccess);
  EXPECT_EQ(text, u"nKVUSBMON.DLL");
  EXPECT_EQ(again->GetDword(u"Missing", &value), win32::kErrorFileNotFound);
  EXPECT_EQ(again->GetDword(u"Driver", &value), win32::kErrorInvalidData);  // a string is no DWORD
}

TEST_F(RegistryContract, QueryValueBufferBelowExactAndAbove) {
  RegistryKeyPtr key;
  ASSERT_EQ(reg().RegCreateKeyEx(RootKey::kCurrentUser, base_, kKeyAllAccess, &key), win32::kErrorSuccess);
  ASSERT_EQ(key->SetString(u"Text", u"abc"), win32::kErrorSuccess);  // 8 bytes with terminator
  std::uint32_t type = 0, size = 0;
  ASSERT_EQ(key->QueryValue(u"Text", &type, nullptr, &size), win32::kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  ASSERT_EQ(size, 8u);
  std::uint8_t buffer[16] = {};
  size = 7;
  EXPECT_EQ(key->QueryValue(u"Text", &type, buffer, &size), win32::kErrorMoreData);
  EXPECT_EQ(size, 8u);
  size = 8;
  EXPECT_EQ(key->QueryValue(u"Text", &type, buffer, &size), win32::kErrorSuccess);
  EXPECT_EQ(buffer[0], 'a');
  EXPECT_EQ(buffer[4], 'c');
  size = 9;
  EXPECT_EQ(key->QueryValue(u"Text", &type, buffer, &size), win32::kErrorSuccess);
  EXPECT_EQ(size, 8u);
}

TEST_F(RegistryContract, KeyWithSubkeysIsNotDeletedAndMissingKeyIsNotFound) {
  RegistryKeyPtr key, child;
  ASSERT_EQ(reg().RegCreateKeyEx(RootKey::kCurrentUser, base_ + u"\\Child", kKeyAllAccess, &child),
            win32::kErrorSuccess);
  child.reset();
  EXPECT_EQ(reg().RegDeleteKey(RootKey::kCurrentUser, base_), win32::kErrorAccessDenied);
  EXPECT_EQ(reg().RegOpenKeyEx(RootKey::kCurrentUser, base_ + u"\\Child", kKeyRead, &key), win32::kErrorSuccess);
  key.reset();
  EXPECT_EQ(reg().RegDeleteKey(RootKey::kCurrentUser, base_ + u"\\Child"), win32::kErrorSuccess);
  EXPECT_EQ(reg().RegDeleteKey(RootKey::kCurrentUser, base_), win32::kErrorSuccess);
  EXPECT_EQ(reg().RegDeleteKey(RootKey::kCurrentUser, base_), win32::kErrorFileNotFound);
  EXPECT_EQ(reg().RegOpenKeyEx(RootKey::kCurrentUser, base_, kKeyRead, &key), win32::kErrorFileNotFound);
}

TEST_F(RegistryContract, EnumerationListsValuesAndEndsWithNoMoreItems) {
  RegistryKeyPtr key;
  ASSERT_EQ(reg().RegCreateKeyEx(RootKey::kCurrentUser, base_, kKeyAllAccess, &key), win32::kErrorSuccess);
  ASSERT_EQ(key->SetDword(u"USB_A_1", 0), win32::kErrorSuccess);
  ASSERT_EQ(key->SetDword(u"USB_A_2", 0), win32::kErrorSuccess);
  ASSERT_EQ(key->DeleteValue(u"USB_A_1"), win32::kErrorSuccess);
  EXPECT_EQ(key->DeleteValue(u"USB_A_1"), win32::kErrorFileNotFound);
  WString name;
  std::uint32_t type = 0;
  EXPECT_EQ(key->EnumValue(0, &name, &type), win32::kErrorSuccess);
  EXPECT_EQ(name, u"USB_A_2");
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(key->EnumValue(1, &name, &type), win32::kErrorNoMoreItems);
  EXPECT_EQ(key->EnumKey(0, &name), win32::kErrorNoMoreItems);
}

TEST_F(RegistryContract, ReadOnlyKeyRefusesWrites) {
  RegistryKeyPtr key;
  ASSERT_EQ(reg().RegCreateKeyEx(RootKey::kCurrentUser, base_, kKeyAllAccess, &key), win32::kErrorSuccess);
  key.reset();
  ASSERT_EQ(reg().RegOpenKeyEx(RootKey::kCurrentUser, base_, kKeyRead, &key), win32::kErrorSuccess);
  EXPECT_EQ(key->SetDword(u"X", 1), win32::kErrorAccessDenied);
}

}  // namespace
}  // namespace kit::contract
