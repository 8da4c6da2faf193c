// A virtual Windows 7 machine for the serial port dialog's tests, on which
// one system serial port (`port`, such as u"COM2:") has no stored setting:
// Windows keeps one for its own COM ports on a fresh system.
#pragma once

#include <gtest/gtest.h>

#include "monitors/core/serial_ports.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::monitors::testing {

class SerialPortMachineTest : public sim::SimTest {
 protected:
  explicit SerialPortMachineTest(const char16_t* port) : port_(port) {}
  void SetUp() override { Fresh(); }
  void Fresh() {
    Create("win7-x64-en", 64);
    RegistryKeyPtr key;
    ASSERT_EQ(p().registry.RegOpenKeyEx(RootKey::kLocalMachine, kPortsKey, kKeyAllAccess, &key), 0u);
    key->DeleteValue(port_);
  }
  void Store(const char16_t* text) {
    RegistryKeyPtr key;
    ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kLocalMachine, kPortsKey, kKeyAllAccess, &key), 0u);
    ASSERT_EQ(key->SetString(port_, text), 0u);
  }
  // The port's stored setting, "(none)" when it has none.
  WString Stored() {
    RegistryKeyPtr key;
    WString text;
    if (p().registry.RegOpenKeyEx(RootKey::kLocalMachine, kPortsKey, kKeyRead, &key) != 0) return u"(no key)";
    if (key->GetString(port_, &text) != 0) return u"(none)";
    return text;
  }

 private:
  const char16_t* port_;
};

}  // namespace kit::monitors::testing
