// A virtual machine with the printer family installed as setup leaves it,
// for the uninstaller's tests: the kit folder C:\kit (the uninstaller's
// data, USB installers, the USB library), the family's monitors, drivers and
// printers on every kind of port with setup's records, INF copies of a class
// printer, the USB driver file and a plugged printer, and a foreign printer
// whose driver name holds a 0. The kit's printers print through the system's
// processor; unless own_processor_ is cleared, the family also brings a
// print processor of its own ("KVRPrint", listed in the machine's
// Uninstall.ini), so the processor's removal is exercised.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/profile_file_source.h"
#include "tests/platform/sim/sim_fixture.h"
#include "uninstall/flow/uninstall_run.h"

namespace kit::uninstall {

inline constexpr char16_t kKit[] = u"C:\\kit";
inline constexpr char16_t kForeignPrinter[] = u"Acme Label 2000";
inline constexpr char16_t kNetworkPort[] = u"KVIP_192.168.0.50";

class FamilyMachineTest : public sim::SimTest {
 protected:
  // Creates the machine and lays out the kit folder; `family` installs the
  // components too.
  void Build(const std::string& preset, bool family = true);
  // Writes a small file (creating its folders).
  void Put(const WString& path, const std::string& text = "MZ");
  void AddDriver(const WString& name);
  void AddPrinter(const WString& name, const WString& port, const WString& driver);
  // Queues a job on the printer (its port held).
  void QueueJob(const WString& printer);
  bool Exists(const WString& path);
  bool HasPrinter(const WString& name);
  bool HasKey(const WString& key, std::uint32_t view = kKeyWow64_64Key);
  std::vector<std::string> Launches();
  int Restarts();

  // The machine as the 32-bit uninstaller sees it, and its context.
  Platform& u() { return program_->platform(); }
  const UninstallContext& Context();

  std::unique_ptr<sim::Machine> program_;
  bool x64_ = true;
  // Set before Build: the family brings its own print processor.
  bool own_processor_ = true;

 private:
  void InstallFamily();
  void InstallOwnProcessor();
  std::unique_ptr<PlatformFileSource> source_;
  std::unique_ptr<CMyString> messages_;
  std::unique_ptr<UninstallIni> ini_;
  std::unique_ptr<UninstallContext> context_;
};

// The window as a run sees it, in memory.
class FakeView final : public RunView {
 public:
  std::vector<Component> entries;
  std::vector<bool> ticked;
  bool usb_box = false;
  bool restart_answer = false;
  int restart_questions = 0;
  std::vector<std::string> log;
  bool disabled = false;
  bool end_entries_left = false;
  bool end_usb_box = false;

  void Add(const Component& c, bool tick = true) {
    entries.push_back(c);
    ticked.push_back(tick);
  }
  bool Logged(const std::string& line) const;

  void Log(const std::string& line) override { log.push_back(line); }
  int EntryCount() override { return static_cast<int>(entries.size()); }
  Component Entry(int index) override { return entries.at(index); }
  bool IsEntryTicked(int index) override { return ticked.at(index); }
  void DeleteEntry(int index) override {
    entries.erase(entries.begin() + index);
    ticked.erase(ticked.begin() + index);
  }
  bool IsUsbBoxTicked() override { return usb_box; }
  void DisableControls() override { disabled = true; }
  void EnableControls(bool entries_left, bool usb) override {
    disabled = false;
    end_entries_left = entries_left;
    end_usb_box = usb;
  }
  bool AskRestart() override {
    ++restart_questions;
    return restart_answer;
  }
  void FitLog() override {}
};

}  // namespace kit::uninstall
