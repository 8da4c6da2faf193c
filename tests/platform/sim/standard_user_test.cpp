// A standard user on the virtual machine: below the Windows folder (the
// system and driver folders among it) every change is refused with access
// denied, as on Windows; reading stays allowed, and so does writing
// elsewhere.
#include <functional>
#include <vector>

#include "tests/platform/sim/sim_fixture.h"
#include "tests/read_limit.h"

namespace kit::sim {
namespace {

class StandardUser : public SimTest {
 protected:
  bool Write(const WString& path, const std::string& text) {
    return p().files.WriteFile(path, Bytes(text.begin(), text.end()), WriteMode::kCreateAlways);
  }
  std::string Read(const WString& path) {
    Bytes content;
    if (!p().files.ReadFile(path, kTestReadLimit, &content)) return "(missing)";
    return std::string(content.begin(), content.end());
  }
};

constexpr char16_t kDriverFolder[] = u"C:\\Windows\\system32\\spool\\drivers\\w32x86\\3";

TEST_F(StandardUser, EveryChangeBelowTheWindowsFolderGivesAccessDenied) {
  Create("win7-x64-en", 64, /*administrator=*/true);
  const WString table = WString(kDriverFolder) + u"\\TABLE.dat";
  ASSERT_TRUE(Write(table, "admin wrote this"));
  ASSERT_TRUE(Write(u"C:\\Users\\table.tmp", "user data"));
  ASSERT_EQ(Tool("set DIR admin false"), 0);
  machine_ = Reopen(64);

  struct Case {
    const char* what;
    std::function<bool()> call;
  };
  const WString temp = WString(kDriverFolder) + u"\\TABLE.tmp";
  const std::vector<Case> cases = {
      {"WriteFile", [&] { return Write(temp, "x"); }},
      {"WriteFile over the file", [&] { return Write(table, "x"); }},
      {"DeleteFile", [&] { return p().files.DeleteFile(table); }},
      {"CopyFile", [&] { return p().files.CopyFile(u"C:\\Users\\table.tmp", table, false); }},
      {"MoveFile", [&] { return p().files.MoveFile(table, u"C:\\Users\\moved.dat"); }},
      {"MoveFileReplace", [&] { return p().files.MoveFileReplace(u"C:\\Users\\table.tmp", table); }},
      {"SetFileAttributes", [&] { return p().files.SetFileAttributes(table, kFileAttributeReadOnly); }},
      {"CreateDirectory", [&] { return p().files.CreateDirectory(WString(kDriverFolder) + u"\\sub"); }},
      {"RemoveDirectory", [&] { return p().files.RemoveDirectory(u"C:\\Windows\\system32\\spool\\drivers\\w32x86\\3"); }},
  };
  for (const Case& c : cases) {
    p().system.SetLastError(0);
    EXPECT_FALSE(c.call()) << c.what;
    EXPECT_EQ(p().system.GetLastError(), win32::kErrorAccessDenied) << c.what;
  }
  EXPECT_EQ(Read(table), "admin wrote this");
  EXPECT_EQ(Read(u"C:\\Users\\table.tmp"), "user data");
  // Outside the Windows folder the user writes as before.
  EXPECT_TRUE(Write(u"C:\\Users\\other.txt", "fine"));
  EXPECT_EQ(Read(u"C:\\Users\\other.txt"), "fine");
  // So does everybody in the Windows folder's Temp.
  p().files.CreateDirectory(u"C:\\Windows\\Temp");
  EXPECT_TRUE(Write(u"C:\\Windows\\Temp\\mine.txt", "fine"));
}

}  // namespace
}  // namespace kit::sim
