// A fresh virtual machine in a temporary folder for one test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/sim/machine.h"

namespace kit::sim {

class SimTest : public ::testing::Test {
 protected:
  // Creates a machine from `preset` and opens it for a process of `bits`.
  void Create(const std::string& preset = "win7-x64-en", int bits = 32, bool administrator = true);
  void TearDown() override;
  Platform& p() { return machine_->platform(); }
  // Runs the machine tool on this machine; returns its exit code.
  int Tool(const std::string& arguments);
  // Same, giving what the tool printed on standard output.
  std::string ToolOutput(const std::string& arguments);
  // Reopens the machine (another process's view, or after a change on disk).
  std::unique_ptr<Machine> Reopen(int bits = 32);
  // Lays the host file `module` (a monitor's Linux build, a test module)
  // onto the machine at `windows_path`, as a copy puts a DLL in place.
  void PutModule(const WString& windows_path, const std::filesystem::path& module);
  // Lays stand-ins of a Unidrv driver's three files (unidrv.dll,
  // `data_file`, unidrvui.dll) in the driver folder and adds the driver
  // `name`, naming the language monitor `monitor` (empty: none).
  void AddUnidrvDriver(const WString& name, const WString& data_file, const WString& monitor = {});

  std::filesystem::path folder_;
  std::unique_ptr<Machine> machine_;
};

}  // namespace kit::sim
