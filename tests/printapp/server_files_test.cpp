// The files a client may make the server open: a file: device only in the
// server's folder, a form's picture only as an upload in the temporary
// folder and within its size. Real files in a folder of the test's own.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "printapp/server_files.h"

namespace kit::printapp {
namespace {

class ServerFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kvprinter-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    ASSERT_EQ(mkdir((root_ + "/allowed").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((root_ + "/allowed/sub").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((root_ + "/allowedx").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((root_ + "/temp").c_str(), 0700), 0);
    Write(root_ + "/allowed/job.prn", "x");
    Write(root_ + "/secret", "root only");
    ASSERT_EQ(symlink((root_ + "/secret").c_str(), (root_ + "/allowed/link").c_str()), 0);
    ASSERT_EQ(symlink((root_ + "/secret").c_str(), (root_ + "/temp/link").c_str()), 0);
  }
  void TearDown() override { std::system(("rm -rf '" + root_ + "'").c_str()); }
  static void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

  std::string root_;
};

TEST_F(ServerFilesTest, FileDeviceOnlyInsideTheFolder) {
  const std::string folder = root_ + "/allowed";
  struct Case {
    std::string uri;
    std::string folder;
    bool allowed;
  };
  const Case cases[] = {
      {"file://" + folder, folder, true},                         // the folder: one file per job
      {"file://" + folder + "/", folder, true},
      {"file://" + folder + "/job.prn", folder, true},            // an existing file
      {"file://" + folder + "/new.prn", folder, true},            // a new file in it
      {"file:" + folder + "/new.prn", folder, true},              // without the authority
      {"file://localhost" + folder + "/new.prn", folder, true},
      {"file://" + folder + "/sub/new.prn?ext=prn", folder, true},
      {"socket://127.0.0.1:9100", "", true},                      // not a file: no business of this
      {"file://" + folder + "/new.prn", "", false},               // no folder given: file: is off
      {"file:///etc/passwd", folder, false},
      {"file://" + root_ + "/secret", folder, false},
      {"file://" + root_ + "/allowedx/new.prn", folder, false},   // a name that merely starts alike
      {"file://" + folder + "/../secret", folder, false},
      {"file://" + folder + "/./job.prn", folder, false},
      {"file://" + folder + "//job.prn", folder, false},
      {"file://" + folder + "/%2e%2e/secret", folder, false},
      {"file://" + folder + "/link", folder, false},              // a link out of the folder
      {"file://" + folder + "/missing/new.prn", folder, false},   // a folder that does not exist
      {"file://otherhost" + folder + "/new.prn", folder, false},
      {"file:relative/new.prn", folder, false},
      {"file://" + folder + "/new.prn", root_ + "/missing", false},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> refusal = FileDeviceRefusal(c.uri, c.folder);
    EXPECT_EQ(!refusal.has_value(), c.allowed) << c.uri << " in '" << c.folder << "': " << refusal.value_or("");
  }
}

TEST_F(ServerFilesTest, UploadOnlyFromTheTemporaryFolderAndWithinItsSize) {
  const std::string temp = root_ + "/temp";
  Write(temp + "/upload-1.bmp", "BM12345678");
  Write(temp + "/big.bmp", std::string(11, 'B'));
  struct Case {
    std::string value;
    std::size_t limit;
    std::string bytes;   // what is read, when taken
    bool taken;
  };
  const Case cases[] = {
      {temp + "/upload-1.bmp", 10, "BM12345678", true},
      {temp + "/big.bmp", 10, "", false},            // one byte over the cap
      {"/etc/shadow", 1 << 20, "", false},           // a path typed into the field
      {"/dev/zero", 1 << 20, "", false},
      {root_ + "/secret", 1 << 20, "", false},
      {temp + "/link", 1 << 20, "", false},          // a link in the folder to a file elsewhere
      {temp + "/../secret", 1 << 20, "", false},
      {temp + "/missing.bmp", 1 << 20, "", false},   // tells nothing of a file's existence elsewhere
      {temp, 1 << 20, "", false},
      {"upload-1.bmp", 1 << 20, "", false},
  };
  for (const Case& c : cases) {
    const Upload upload = ReadUpload(c.value, temp, c.limit);
    EXPECT_EQ(upload.refusal.empty(), c.taken) << c.value << ": " << upload.refusal;
    EXPECT_EQ(std::string(upload.bytes.begin(), upload.bytes.end()), c.bytes) << c.value;
  }
  // A path and a missing upload give the same answer: the form learns
  // nothing of the server's files.
  EXPECT_EQ(ReadUpload("/etc/shadow", temp, 1 << 20).refusal, ReadUpload(temp + "/missing", temp, 1 << 20).refusal);
}

}  // namespace
}  // namespace kit::printapp
