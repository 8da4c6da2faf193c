// The kit folder laid onto a machine: an exact copy of the given folder, and
// a folder that holds no kit refused.
#include "platform/sim/kit_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>

namespace kit::sim {
namespace {

namespace fs = std::filesystem;

class KitFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("kit_folder_test_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  static void Put(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Every entry below `folder` as "relative" (files with "=content").
  static std::set<std::string> Tree(const fs::path& folder) {
    std::set<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
      const std::string relative = fs::relative(e.path(), folder).generic_string();
      out.insert(e.is_directory() ? relative + "/" : relative + "=" + Content(e.path()));
    }
    return out;
  }

  fs::path root_;
};

TEST_F(KitFolderTest, TheMachinesKitFolderBecomesAnExactCopy) {
  const fs::path kit = root_ / "kit";
  Put(kit / "DRVCONFIG" / "setup.ini", "new setup");
  Put(kit / "language" / "uninstall_EN.ini", "texts");
  Put(kit / "kitsetup", "a Linux program");
  Put(kit / "USBDRV" / "USBDriver" / "Install.exe", "installer");
  fs::create_directories(kit / "empty");
  // What an earlier, different kit left on the machine.
  const fs::path target = root_ / "machine" / "drive_c" / "kit";
  Put(target / "DRVCONFIG" / "setup.ini", "old setup");
  Put(target / "DRVCONFIG" / "Uninstall.ini", "gone from the kit");  // a file the kit lacks
  Put(target / "W64" / "VRTQ40UI.DLL", "gone from the kit");         // a folder the kit lacks
  Put(target / "Language" / "uninstall_EN.ini", "other case");       // same name but for case
  Put(target / "Uninstall", "a Linux program");
  Put(target / "USBDRV", "a file where the kit has a folder");
  fs::create_directories(target / "empty" / "inner");
  fs::create_directory_symlink(root_, target / "link");

  std::string error;
  ASSERT_TRUE(LayOutKitFolder(kit, target, &error)) << error;
  const std::set<std::string> expected = {"DRVCONFIG/",       "DRVCONFIG/setup.ini=new setup",
                                          "language/",        "language/uninstall_EN.ini=texts",
                                          "USBDRV/",          "USBDRV/USBDriver/",
                                          "USBDRV/USBDriver/Install.exe=installer", "empty/"};
  EXPECT_EQ(Tree(target), expected);
  // Laying out the same kit again changes nothing.
  ASSERT_TRUE(LayOutKitFolder(kit, target, &error)) << error;
  EXPECT_EQ(Tree(target), expected);
  EXPECT_TRUE(fs::exists(root_ / "kit" / "kitsetup"));  // the link led out of the folder: only the link went
}

// Each refusal leaves the machine's kit folder as it was.
TEST_F(KitFolderTest, AFolderWithoutAKitOrInsideTheMachinesFolderIsRefused) {
  const fs::path target = root_ / "machine" / "drive_c" / "kit";
  Put(target / "DRVCONFIG" / "setup.ini", "laid out before");
  Put(root_ / "home" / "drvconfig.txt", "a file, not the folder");
  Put(target / "nested" / "DRVCONFIG" / "setup.ini", "a kit inside the machine's folder");
  Put(root_ / "lower" / "drvconfig" / "setup.ini", "the mark in another case");
  std::string error;
  EXPECT_TRUE(HoldsKit(root_ / "lower", &error)) << error;
  const struct {
    fs::path kit;
    fs::path target;
    const char* message_part;
  } cases[] = {
      {root_ / "home", target, "holds no kit: it has no DRVCONFIG folder"},
      {root_ / "missing", target, "does not exist"},
      {target / "nested", target, "one inside the other"},
      {root_ / "lower", root_ / "lower" / "machine" / "drive_c" / "kit", "one inside the other"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kit.string());
    const auto before = Tree(root_);
    error.clear();
    EXPECT_FALSE(LayOutKitFolder(c.kit, c.target, &error));
    EXPECT_NE(error.find(c.message_part), std::string::npos) << error;
    EXPECT_EQ(Tree(root_), before);
  }
}

}  // namespace
}  // namespace kit::sim
