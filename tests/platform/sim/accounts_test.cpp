// The signed-in user and the spooler on one machine: each process has its
// account's temporary folder, as GetTempPath reads each process's own TEMP
// on Windows, so a file the user's program puts in its temporary folder is
// not in the spooler's.
#include "tests/platform/sim/sim_fixture.h"
#include "tests/read_limit.h"

namespace kit::sim {
namespace {

class AccountsTest : public SimTest {
 protected:
  std::unique_ptr<Machine> OpenAs(const WString& account) {
    ProcessOptions process;
    process.account = account;
    std::string error;
    auto machine = Machine::Open(folder_, process, &error);
    EXPECT_NE(machine, nullptr) << error;
    return machine;
  }
};

TEST_F(AccountsTest, TheUserAndTheSpoolerHaveTheirOwnTemporaryFolders) {
  struct Case {
    const char16_t* account;
    const char16_t* user;
    const char16_t* temp;
  } cases[] = {
      {u"", u"User", u"C:\\Users\\User\\AppData\\Local\\Temp\\"},
      {u"SYSTEM", u"SYSTEM", u"C:\\Windows\\Temp\\"},
      {u"system", u"SYSTEM", u"C:\\Windows\\Temp\\"},
  };
  Create();
  for (const Case& c : cases) {
    auto machine = OpenAs(c.account);
    ASSERT_NE(machine, nullptr);
    Platform& q = machine->platform();
    EXPECT_EQ(q.system.GetUserName(), c.user) << ToUtf8(c.account);
    const WString temp = q.system.GetTempPath();
    EXPECT_EQ(temp, c.temp) << ToUtf8(temp);
    // The folder exists: a program writes there at once.
    EXPECT_TRUE(q.files.WriteFile(temp + u"probe.txt", Bytes{'x'}, WriteMode::kCreateAlways)) << ToUtf8(temp);
  }
  // What the user's program left in its temporary folder is not in the
  // spooler's.
  ASSERT_TRUE(p().files.WriteFile(p().system.GetTempPath() + u"P11.bmp", Bytes{'u'}, WriteMode::kCreateAlways));
  auto spooler = OpenAs(kSystemAccount);
  Bytes content;
  EXPECT_FALSE(spooler->platform().files.ReadFile(spooler->platform().system.GetTempPath() + u"P11.bmp",
                                                  kTestReadLimit, &content));
}

}  // namespace
}  // namespace kit::sim
