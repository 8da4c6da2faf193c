// The comparison of two machine states: what is volatile by nature is left
// out and nothing else; registry keys and values are shown by their names,
// list elements by theirs; a raw job differs by its bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/sim/presets.h"
#include "platform/sim/store.h"
#include "tools/vmachine/leftover_list.h"
#include "tools/vmachine/machine_diff.h"

namespace kit::vmachine {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// A folder of this process alone: the test cases run as parallel processes.
fs::path TempFolder(const std::string& name) {
  return fs::temp_directory_path() / (name + " " + std::to_string(::getpid()));
}

Json FreshState() {
  static const Json state = [] {
    const fs::path folder = TempFolder("vmachine diff fresh");
    fs::remove_all(folder);
    std::string error;
    EXPECT_TRUE(sim::CreateMachine(folder, "win7-x64-en", true, &error)) << error;
    Json s;
    EXPECT_EQ(sim::Store(folder).Read(&s, &error), sim::StoreError::kNone) << error;
    fs::remove_all(folder);
    return s;
  }();
  return state;
}

// A REG_SZ value as the machine stores it: UTF-16LE hex with its terminator.
Json RegSz(const std::string& ascii) {
  std::string hex;
  char buffer[8];
  for (char c : ascii + '\0') {
    std::snprintf(buffer, sizeof buffer, "%02x00", static_cast<unsigned char>(c));
    hex += buffer;
  }
  return {{"t", 1}, {"d", hex}};
}

std::vector<std::string> Lines(const std::vector<Difference>& differences) {
  std::vector<std::string> out;
  for (const auto& d : differences) out.push_back(DifferenceText(d));
  return out;
}

TEST(MachineDiffTest, VolatileMembersAreLeftOutAndNothingElse) {
  struct Case {
    const char* what;
    void (*change)(Json&);
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"the clock", [](Json& s) { s["clock"]["now_ms"] = 42; s["clock"]["slept_ms"] = 7; }, {}},
      {"job ids", [](Json& s) { s["spooler"]["next_job"] = 9; }, {}},
      {"the spooler's generation", [](Json& s) { s["spooler"]["epoch"] = 5; }, {}},
      {"service start and stop counts, not the service's state",
       [](Json& s) { s["services"]["Spooler"].update({{"state", 1}, {"starts", 8}, {"stops", 8}}); },
       {"~ state services/Spooler/state: 4 -> 1"}},
      {"device rescans", [](Json& s) { s["devices"]["reenumerations"] = 3; }, {}},
      {"a window's owner and handle",
       [](Json& s) { s["windows"] = Json::array({{{"id", 77}, {"pid", 1234}, {"title", "Uninstall"}}}); },
       {"+ state windows/0 = {\"title\":\"Uninstall\"}"}},
      {"a started program", [](Json& s) { s["launches"].push_back({{"file", "Install.exe"}}); },
       {"+ state launches/0 = {\"file\":\"Install.exe\"}"}},
      {"the default printer", [](Json& s) { s["spooler"]["default_printer"] = "P"; },
       {"~ state spooler/default_printer: \"\" -> \"P\""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Json changed = FreshState();
    c.change(changed);
    EXPECT_EQ(Lines(DiffStates(FreshState(), changed)), c.expected);
  }
}

TEST(MachineDiffTest, RegistryKeysAndValuesByName) {
  Json after = FreshState();
  auto& software = after["registry"]["HKLM"]["k"]["SOFTWARE"]["k"];
  software["VELDRAN"]["k"]["PORTNAME"]["v"]["USB_VRT-Q40_1"] = RegSz("VRT-Q40(U) 1");
  software["VELDRAN"]["v"]["Count"] = {{"t", 4}, {"d", "0a000000"}};
  EXPECT_EQ(Lines(DiffStates(FreshState(), after)),
            (std::vector<std::string>{"+ registry HKLM\\SOFTWARE\\VELDRAN",
                                      "+ registry HKLM\\SOFTWARE\\VELDRAN : Count = dword 10",
                                      "+ registry HKLM\\SOFTWARE\\VELDRAN\\PORTNAME",
                                      "+ registry HKLM\\SOFTWARE\\VELDRAN\\PORTNAME : USB_VRT-Q40_1 = \"VRT-Q40(U) 1\""}));
  Json changed = after;
  changed["registry"]["HKLM"]["k"]["SOFTWARE"]["k"]["VELDRAN"]["k"]["PORTNAME"]["v"]["USB_VRT-Q40_1"] = RegSz("other");
  EXPECT_EQ(Lines(DiffStates(after, changed)),
            std::vector<std::string>{"~ registry HKLM\\SOFTWARE\\VELDRAN\\PORTNAME : USB_VRT-Q40_1: \"VRT-Q40(U) 1\" -> \"other\""});
}

TEST(MachineDiffTest, ListElementsByNameSoARemovalInTheMiddleIsOneDifference) {
  Json before = FreshState();
  for (const char* name : {"A", "B", "C"}) before["spooler"]["printers"].push_back({{"name", name}, {"port", "LPT1:"}});
  Json after = before;
  after["spooler"]["printers"].erase(1);
  after["spooler"]["printers"][1]["port"] = "COM1:";
  EXPECT_EQ(Lines(DiffStates(before, after)),
            (std::vector<std::string>{"- state spooler/printers/B = {\"name\":\"B\",\"port\":\"LPT1:\"}",
                                      "~ state spooler/printers/C/port: \"LPT1:\" -> \"COM1:\""}));
}

TEST(MachineDiffTest, MachinesDifferByJobBytesFilesAndFolders) {
  const fs::path a = TempFolder("vmachine diff a"), b = TempFolder("vmachine diff b");
  for (const auto& folder : {a, b}) {
    fs::remove_all(folder);
    Json state = FreshState();
    // The same job under different ids: the same job.
    const int id = folder == a ? 1 : 7;
    const std::string file = "jobs/" + std::to_string(id) + ".bin";
    state["spooler"]["jobs"].push_back({{"id", id}, {"printer", "P"}, {"file", file}});
    std::string error;
    ASSERT_EQ(sim::Store(folder).Create(state, &error), sim::StoreError::kNone) << error;
    fs::create_directories(folder / "jobs");
    fs::create_directories(folder / "drive_c" / "Windows");
    std::ofstream(folder / file, std::ios::binary) << "\x1b@";
  }
  std::vector<Difference> differences;
  std::string error;
  ASSERT_TRUE(DiffMachines(a, b, &differences, &error)) << error;
  EXPECT_TRUE(differences.empty()) << ::testing::PrintToString(Lines(differences));

  std::ofstream(b / "jobs" / "7.bin", std::ios::binary) << "\x1b@\x1dV";
  fs::create_directories(b / "drive_c" / "kit folder");
  std::ofstream(a / "drive_c" / "Windows" / "a.ini") << "[x]";
  std::ofstream(b / "drive_c" / "Windows" / "A.INI") << "[y]";
  ASSERT_TRUE(DiffMachines(a, b, &differences, &error)) << error;
  EXPECT_EQ(Lines(differences),
            (std::vector<std::string>{"~ state spooler/jobs/0/bytes: \"1b40\" -> \"1b401d56\"",
                                      "+ folder C:\\kit folder",
                                      "~ file C:\\Windows\\A.INI: 3 bytes -> 3 bytes, other bytes"}));
  EXPECT_FALSE(DiffMachines(a, fs::temp_directory_path() / "no such machine", &differences, &error));
  EXPECT_NE(error.find("no such machine"), std::string::npos);
  fs::remove_all(a);
  fs::remove_all(b);
}

// The leftover list of `diff --ignore`: "*" stays within one name of a
// path, "**" spans anything, everything else is literal (regular-expression
// characters included); a line without a reason is refused with its number.
TEST(LeftoverListTest, PatternsMatchWholeLinesAndBadEntriesAreNamed) {
  struct Case {
    const char* pattern;
    const char* line;
    bool matches;
  };
  static constexpr Case kCases[] = {
      {"+ file C:\\kit\\**", "+ file C:\\kit\\W32\\a.dll = 2 bytes", true},
      {"+ file C:\\kit\\*", "+ file C:\\kit\\W32\\a.dll = 2 bytes", false},
      {"+ file C:\\Windows\\*\\3\\*.RES = **", "+ file C:\\Windows\\W32X86\\3\\ENG.RES = 9 bytes", true},
      {"+ file C:\\Windows\\*\\3\\*.RES = **", "+ file C:\\Windows\\a\\b\\3\\ENG.RES = 9 bytes", false},
      {"+ folder C:\\kit", "+ folder C:\\kit\\W32", false},
      {"+ folder C:\\kit**", "+ folder C:\\kit", true},
      {"+ state spooler/jobs/* = **", "+ state spooler/jobs/2 = {\"a\":1}", true},
      {"~ registry HKLM\\X : COM1:: **", "~ registry HKLM\\X : COM1:: \"9600\" -> \"19200\"", true},
      {"+ file C:\\a.b(1)", "+ file C:\\axb(1)", false},
      {"+ file C:\\a.b(1)", "+ file C:\\a.b(1)", true},
      {"***", "", true},
      {"*", "a\\b", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(MatchesLeftover(c.pattern, c.line), c.matches) << c.pattern << " on " << c.line;
  }

  std::string error;
  const auto entries = ParseLeftovers("# a comment\r\n\r\n+ folder C:\\kit** | the kit folder\r\n+ file ** | any\n",
                                      "list.txt", &error);
  ASSERT_TRUE(entries) << error;
  ASSERT_EQ(entries->size(), 2u);
  const LeftoverEntry* found = FindLeftover(*entries, "+ folder C:\\kit\\W32");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->reason, "the kit folder");
  EXPECT_EQ(FindLeftover(*entries, "- folder C:\\kit"), nullptr);
  for (const char* bad : {"+ folder C:\\kit\n", "x\n+ folder C:\\kit |   \n", " | no pattern\n"}) {
    error.clear();
    EXPECT_FALSE(ParseLeftovers(bad, "list.txt", &error)) << bad;
    EXPECT_NE(error.find("list.txt:"), std::string::npos) << error;
  }
  EXPECT_FALSE(ReadLeftovers("/no such folder/list.txt", &error));
}

}  // namespace
}  // namespace kit::vmachine
