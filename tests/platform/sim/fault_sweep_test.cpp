// The fault sweep's own checks: each kind of half-made spooler object is
// named, a logged call is failed at exactly its own repetition, and a run's
// messages and exit status are judged by its road's rules.
#include "tests/platform/sim/fault_sweep.h"

#include "platform/sim/stand_in_printer.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

class FaultSweepTest : public SimTest {
 protected:
  void Change(const std::function<void(Json&)>& change) {
    std::string error;
    machine_->store().Update(
        [&](Json& s) {
          change(s);
          return true;
        },
        &error);
  }
};

// The end state holds the values under the keys a road names, with their
// data, and nothing of the registry beside them.
TEST_F(FaultSweepTest, TheEndStateHoldsTheNamedKeysValues) {
  const std::vector<std::string> keys = {"HKLM\\SOFTWARE\\VELDRAN"};
  struct Case {
    const char* key;
    const char16_t* value;
    bool differs;
  };
  const Case cases[] = {
      {"SOFTWARE\\VELDRAN\\PORTNAME", u"19200,e,7,1.5,x", true},       // a key below a named one
      {"SOFTWARE\\VELDRAN", u"another", true},                           // the named key itself
      {"SOFTWARE\\VELDRANX", u"19200,e,7,1.5,x", false},                 // a name that only starts alike
      {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", u"x", false},  // not named
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    TearDown();
    Create("win7-x64-en", 64);
    Platform& p = machine_->platform();
    const std::u16string key(c.key, c.key + std::char_traits<char>::length(c.key));
    RegistryKeyPtr handle;
    ASSERT_EQ(p.registry.RegCreateKeyEx(RootKey::kLocalMachine, key, kKeyAllAccess, &handle), 0u);
    ASSERT_EQ(handle->SetString(u"COM3:", u"9600,n,8,1,n"), 0u);
    const std::set<std::string> before = testing::EndState(*machine_, keys);
    const std::set<std::string> without_keys = testing::EndState(*machine_);
    ASSERT_EQ(handle->SetString(u"COM3:", c.value), 0u);
    EXPECT_EQ(testing::EndState(*machine_, keys) != before, c.differs);
    EXPECT_EQ(testing::EndState(*machine_), without_keys);
  }
}

TEST_F(FaultSweepTest, EachHalfMadeObjectIsNamed) {
  struct Case {
    const char* what;
    std::function<void(Json&)> damage;
    const char* named;
  };
  const Case cases[] = {
      {"whole", [](Json&) {}, nullptr},
      {"driver gone", [](Json& s) { s["spooler"]["drivers"] = Json::array(); }, "printer P1 without its driver Kit Stand-in Driver"},
      {"port gone", [](Json& s) { s["spooler"]["printers"][0]["port"] = "NOPORT:"; }, "printer P1 without its port NOPORT:"},
      {"monitor gone",
       [](Json& s) { s["spooler"]["ports"].push_back({{"name", "KVCOM9:"}, {"monitor", "KVR Serial Port"}}); },
       "port KVCOM9: without its monitor KVR Serial Port"},
      {"monitor DLL gone",
       [](Json& s) { s["spooler"]["monitors"].push_back({{"name", "KVR USB Port"}, {"dll", "KVRUSBMON.DLL"}}); },
       "monitor KVR USB Port without its DLL KVRUSBMON.DLL"},
      {"job not ended",
       [](Json& s) { s["spooler"]["jobs"].push_back({{"id", 7}, {"document", "LOGO"}, {"printer", "P1"}, {"status", "spooling"}}); },
       "job 7 'LOGO' on P1 left open"},
  };
  for (const Case& c : cases) {
    Create("win7-x64-en", 64);
    std::string error;
    ASSERT_TRUE(AddStandInPrinter(*machine_, u"P1", u"LPT1:", &error)) << error;
    Change(c.damage);
    const auto half = testing::HalfMadeObjects(*machine_);
    if (c.named == nullptr) {
      EXPECT_EQ(half, std::vector<std::string>{}) << c.what;
    } else {
      ASSERT_FALSE(half.empty()) << c.what;
      EXPECT_EQ(half.front(), c.named) << c.what;
    }
    TearDown();
  }
  // A driver whose file was deleted.
  Create("win7-x64-en", 64);
  std::string error;
  ASSERT_TRUE(AddStandInPrinter(*machine_, u"P1", u"LPT1:", &error)) << error;
  Json s;
  ASSERT_EQ(machine_->store().Read(&s, &error), StoreError::kNone);
  const std::string file = s["spooler"]["drivers"][0]["files"][0];
  ASSERT_TRUE(p().files.DeleteFile(FromUtf8(file)));
  const auto half = testing::HalfMadeObjects(*machine_);
  ASSERT_EQ(half.size(), 1u);
  EXPECT_NE(half[0].find("without its file " + file), std::string::npos) << half[0];
}

TEST_F(FaultSweepTest, ALoggedCallFailsAtItsOwnRepetitionOnly) {
  Create();
  ASSERT_TRUE(p().files.WriteFile(u"C:\\a.txt", Bytes{'a'}, WriteMode::kCreateAlways));
  testing::StartCallLog(machine_->store());
  auto copies = [&] {
    std::vector<bool> done;
    for (const char16_t* to : {u"C:\\b.txt", u"C:\\c.txt", u"C:\\b.txt"}) done.push_back(p().files.CopyFile(u"C:\\a.txt", to, false));
    return done;
  };
  EXPECT_EQ(copies(), (std::vector<bool>{true, true, true}));
  const auto log = testing::TakeCallLog(machine_->store());
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[2].api, "CopyFile");
  testing::FailLoggedCall(machine_->store(), log, 2, win32::kErrorSharingViolation);
  EXPECT_FALSE(testing::FaultTaken(machine_->store()));
  EXPECT_EQ(copies(), (std::vector<bool>{true, true, false}));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorSharingViolation);
  EXPECT_TRUE(testing::FaultTaken(machine_->store()));

  // A call that only reads is logged, and fails once, too.
  testing::StartCallLog(machine_->store());
  Bytes read;
  auto reads = [&] {
    std::vector<bool> done;
    for (int i = 0; i < 3; ++i) done.push_back(p().files.ReadFile(u"C:\\b.txt", 16, &read));
    return done;
  };
  EXPECT_EQ(reads(), (std::vector<bool>{true, true, true}));
  const auto read_log = testing::TakeCallLog(machine_->store());
  ASSERT_EQ(read_log.size(), 3u);
  EXPECT_EQ(read_log[1].api, "ReadFile");
  testing::FailLoggedCall(machine_->store(), read_log, 1, win32::kErrorAccessDenied);
  EXPECT_EQ(reads(), (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(testing::FaultTaken(machine_->store()));
}

TEST(FaultSweepJudge, MessagesAndExitStatusAgainstTheRoadsRules) {
  testing::Road plain;
  testing::Road plugin;
  plugin.silent_apis = {"WritePrinter 'P1'"};
  plugin.outcome_is_last_message = false;
  testing::Road known;
  known.exit_zero_expected["CopyFile 'a.dll'"] = "exits 0 today";
  testing::Road any;
  any.exit_zero_expected["*"] = "exits 0 today";
  const std::vector<std::string> success = {"Done."}, clean = {"Installing", "Done."};
  struct Case {
    const char* what;
    const testing::Road* road;
    testing::LoggedCall call;
    testing::RoadResult result;
    std::vector<std::string> findings;
    std::size_t expected = 0;
  };
  auto ran = [](bool failed, std::vector<std::string> messages, std::optional<int> status) {
    testing::RoadResult r;
    r.failed = failed;
    r.messages = std::move(messages);
    r.exit_status = status;
    return r;
  };
  const Case cases[] = {
      {"failed with its message and status 1", &plain, {"CopyFile", "C:\\a.dll"}, ran(true, {"Copy failed."}, 1), {}},
      {"failed, refused before a change", &plain, {"RegOpenKey", "HKLM"}, ran(true, {"No."}, 2), {}},
      {"silent failure", &plain, {"CopyFile", "C:\\a.dll"}, ran(true, {}, 1), {"failed without a message"}},
      {"only the clean run's lines", &plain, {"CopyFile", "C:\\a.dll"}, ran(true, {"Installing"}, 1),
       {"failed without a message"}},
      {"silent, the same call on another subject", &plugin, {"WritePrinter", "P2"}, ran(true, {}, std::nullopt),
       {"failed without a message"}},
      {"silent by design", &plugin, {"WritePrinter", "P1"}, ran(true, {}, std::nullopt), {}},
      {"silent, another call", &plugin, {"CreateFile", "C:\\b"}, ran(true, {}, std::nullopt), {"failed without a message"}},
      {"success after the failure", &plain, {"CopyFile", "C:\\a.dll"}, ran(true, {"Copy failed.", "Done."}, 1),
       {"success text \"Done.\" after the failure", "failed, yet its last message is the success text \"Done.\""}},
      {"only the last message counts elsewhere", &plugin, {"CreateFile", "C:\\b"}, ran(true, {"No file.", "Done."}, std::nullopt), {}},
      {"failed, exit 0", &plain, {"CopyFile", "C:\\a.dll"}, ran(true, {"Copy failed."}, 0), {"failed, yet the program exited 0"}},
      {"failed, exit 3010", &plain, {"CopyFile", "C:\\a.dll"}, ran(true, {"Copy failed."}, 3010), {"failed, yet the program exited 3010"}},
      {"failed, exit 0 known", &known, {"CopyFile", "C:\\a.dll"}, ran(true, {"Copy failed."}, 0), {}, 1},
      {"failed, exit 0 known for another call", &known, {"MoveFile", "C:\\a.dll"}, ran(true, {"Move failed."}, 0),
       {"failed, yet the program exited 0"}},
      {"failed, exit 0 known for any call", &any, {"MoveFile", "C:\\a.dll"}, ran(true, {"Move failed."}, 0), {}, 1},
      {"tolerated, exit 0", &plain, {"CopyFile", "C:\\a.dll"}, ran(false, {"Done."}, 0), {}},
      {"tolerated, exit 1", &plain, {"CopyFile", "C:\\a.dll"}, ran(false, {"Done."}, 1), {"whole at its end, yet the program exited 1"}},
      {"tolerated, no program", &plugin, {"CopyFile", "C:\\a.dll"}, ran(false, {}, std::nullopt), {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> expected;
    EXPECT_EQ(testing::JudgeRun(*c.road, success, clean, c.call, c.result, &expected), c.findings) << c.what;
    EXPECT_EQ(expected.size(), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace kit::sim
