// The Download page's file group: Browse with its filter and flags, and the
// file sent unchanged in one write, or the message of the step that failed.
#include <gtest/gtest.h>

#include "tests/plugin/pages/download/download_fixture.h"

namespace kit::plugin::download::testing {
namespace {

TEST(FirmwareFilter, IsChosenByTheTextFileWhateverItsCase) {
  struct Case {
    const char16_t* text_file;
    const char16_t* first;
  } cases[] = {
      {u"CHN_VRTQ40.res", u"*.JK(监控程序文件)"},
      {u"chn_vrtq40.RES", u"*.JK(监控程序文件)"},
      {u"CHF_VRTQ40.res", u"*.JK(監控程式文件)"},
      {u"ENG_VRTQ40.res", u"*.JK(Firmware)"},
      {u"", u"*.JK(Firmware)"},
  };
  for (const Case& c : cases) {
    const ui::OpenFileRequest request = FirmwareFileRequest(u"Open", c.text_file);
    ASSERT_EQ(request.filter.size(), 5u);
    EXPECT_EQ(request.filter[0].first, c.first);
    EXPECT_EQ(request.filter[4].second, u"*.EEP");
    EXPECT_EQ(request.flags, 0x00202C06u);
    EXPECT_EQ(request.path_capacity, 2048u);
  }
}

class FileDownloadTest : public DownloadPageTest {
 protected:
  void Browse(const WString& path) {
    env_.QueueFile(path);
    ASSERT_TRUE(d().Click(kBrowseButtonId));
  }
};

TEST_F(FileDownloadTest, TheFileGoesToThePrinterUnchangedInOneWrite) {
  Open();
  EXPECT_FALSE(d().IsEnabled(kDownloadButtonId));
  std::vector<std::uint8_t> firmware(70000);
  for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<std::uint8_t>(i * 31);
  Browse(Put(u"fw.jk", firmware));
  ASSERT_EQ(env_.FileDialogs().size(), 1u);
  EXPECT_EQ(env_.FileDialogs()[0].title, u"Open");
  EXPECT_EQ(d().Text(kPathEditId), u"C:\\logos\\fw.jk");
  ASSERT_TRUE(d().Click(kDownloadButtonId));
  const auto jobs = Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0]["document"], "FIRMWARE");
  EXPECT_EQ(jobs[0]["pieces"], sim::Json::array({70000}));
  EXPECT_EQ(JobBytes(jobs[0]), firmware);
  EXPECT_TRUE(env_.MessageBoxes().empty());
}

TEST_F(FileDownloadTest, EachFailingStepShowsItsMessageAndSendsNothing) {
  struct Case {
    const char* what;
    const char* list;
    sim::Json fault;  // on the file
    const char16_t* message;
  } cases[] = {
      {"in use", "paths", {{"path", "C:\\logos\\fw.jk"}, {"error", 32}}, u"Fail to open the selected file!"},
      {"size", "calls", {{"api", "GetFileSize"}, {"error", 5}, {"remaining", 1}},
       u"Failed to get the size of the selected file!"},
      {"seek", "calls", {{"api", "SetFilePointer"}, {"error", 131}, {"remaining", 1}},
       u"Failed to set the file point to the head of the file!"},
      {"read", "calls", {{"api", "ReadFile"}, {"error", 30}, {"subject", "fw.jk"}, {"remaining", 1}},
       u"Failed to get data from the file!"},
      {"short read", "short_reads", {{"subject", "fw.jk"}, {"taken", 10}, {"remaining", 1}},
       u"Failed to get data from the file!"},
  };
  Open();
  Browse(Put(u"fw.jk", std::vector<std::uint8_t>(100, 0x5A)));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetFault(c.list, c.fault);
    const std::size_t boxes = env_.MessageBoxes().size();
    ASSERT_TRUE(d().Click(kDownloadButtonId));
    ASSERT_EQ(env_.MessageBoxes().size(), boxes + 1);
    EXPECT_EQ(env_.MessageBoxes().back().text, c.message);
    EXPECT_EQ(env_.MessageBoxes().back().caption, u"Error");
    EXPECT_TRUE(Jobs().empty());
    ClearFaults();
  }
}

TEST_F(FileDownloadTest, EmptyLongAndEmptyFilePaths) {
  Open();
  // No path yet: the command does nothing.
  ASSERT_TRUE(d().SendCommand(kDownloadButtonId));
  EXPECT_TRUE(env_.MessageBoxes().empty());
  // An empty file has nothing to send.
  Browse(Put(u"empty.jk", {}));
  ASSERT_TRUE(d().Click(kDownloadButtonId));
  EXPECT_EQ(Messages().back(), u"Failed to get data from the file!");
  // A path of 1024 characters does not fit: refused before anything is
  // opened (an open, whole or cut, would take the fault set on it).
  const WString long_path = WString(kLogoFolder) + u"\\" + WString(1024 - 9 - 3, u'f') + u".jk";
  ASSERT_EQ(long_path.size(), 1024u);
  SetFault("calls", {{"api", "CreateFile"}, {"subject", "fffff.jk"}, {"error", 5}, {"remaining", 1}});
  Browse(long_path);
  ASSERT_TRUE(d().Click(kDownloadButtonId));
  EXPECT_EQ(Messages().back(), u"Fail to open the selected file!");
  EXPECT_TRUE(Jobs().empty());
  std::string message;
  sim::Json state;
  machine_->machine().store().Read(&state, &message);
  EXPECT_EQ(state["faults"]["calls"].size(), 1u);
  // A path longer than the dialog's buffer is never chosen.
  Browse(WString(2048, u'x'));
  EXPECT_EQ(d().Text(kPathEditId), long_path);
}

}  // namespace
}  // namespace kit::plugin::download::testing
