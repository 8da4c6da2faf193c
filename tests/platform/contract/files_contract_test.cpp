// Files: what the kit relies on when it copies driver files, clears
// attributes, searches folders and reads version resources.
#include <gtest/gtest.h>

#include "tests/platform/contract/contract_env.h"
#include "tests/read_limit.h"

namespace kit::contract {
namespace {

class FilesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    dir_ = env_->ScratchFolder();
  }
  Files& files() { return env_->platform().files; }
  SystemFacts& sys() { return env_->platform().system; }
  bool Write(const WString& path, const std::string& text) {
    return files().WriteFile(path, Bytes(text.begin(), text.end()), WriteMode::kCreateAlways);
  }

  std::unique_ptr<ContractEnv> env_;
  WString dir_;
};

TEST_F(FilesContract, CopyOverwritesOrRefusesAndReportsWin32Codes) {
  ASSERT_TRUE(Write(dir_ + u"\\a.dll", "new"));
  ASSERT_TRUE(Write(dir_ + u"\\b.dll", "old"));
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().CopyFile(dir_ + u"\\a.dll", dir_ + u"\\b.dll", /*fail_if_exists=*/true));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorFileExists);
  ASSERT_TRUE(files().CopyFile(dir_ + u"\\a.dll", dir_ + u"\\B.DLL", false));
  Bytes content;
  ASSERT_TRUE(files().ReadFile(dir_ + u"\\b.dll", kTestReadLimit, &content));
  EXPECT_EQ(std::string(content.begin(), content.end()), "new");

  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().CopyFile(dir_ + u"\\missing.dll", dir_ + u"\\c.dll", false));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorFileNotFound);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().CopyFile(dir_ + u"\\a.dll", dir_ + u"\\nofolder\\c.dll", false));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorPathNotFound);
}

TEST_F(FilesContract, ReadOnlyFileRefusesOverwriteAndDeleteUntilAttributesCleared) {
  if (env_->IsWine()) {
    GTEST_SKIP() << "Wine: the read-only attribute is a Unix permission bit, which the root user (as in CI) passes";
  }
  ASSERT_TRUE(Write(dir_ + u"\\ro.dll", "locked"));
  ASSERT_TRUE(Write(dir_ + u"\\src.dll", "fresh"));
  ASSERT_TRUE(files().SetFileAttributes(dir_ + u"\\ro.dll", kFileAttributeReadOnly));
  EXPECT_EQ(files().GetFileAttributes(dir_ + u"\\ro.dll") & kFileAttributeReadOnly, kFileAttributeReadOnly);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().CopyFile(dir_ + u"\\src.dll", dir_ + u"\\ro.dll", false));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorAccessDenied);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().DeleteFile(dir_ + u"\\ro.dll"));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorAccessDenied);
  // Archive-only makes it writable again, as the install engine does.
  ASSERT_TRUE(files().SetFileAttributes(dir_ + u"\\ro.dll", kFileAttributeArchive));
  EXPECT_TRUE(files().CopyFile(dir_ + u"\\src.dll", dir_ + u"\\ro.dll", false));
  EXPECT_TRUE(files().DeleteFile(dir_ + u"\\ro.dll"));
  EXPECT_EQ(files().GetFileAttributes(dir_ + u"\\ro.dll"), kInvalidFileAttributes);
  EXPECT_EQ(sys().GetLastError(), win32::kErrorFileNotFound);
}

TEST_F(FilesContract, FoldersCreateOnceAndRefuseRemovalWhileNotEmpty) {
  const WString sub = dir_ + u"\\Sub";
  ASSERT_TRUE(files().CreateDirectory(sub));
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().CreateDirectory(dir_ + u"\\SUB"));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorAlreadyExists);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().CreateDirectory(dir_ + u"\\x\\y"));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorPathNotFound);
  ASSERT_TRUE(Write(sub + u"\\f.txt", "x"));
  EXPECT_FALSE(files().RemoveDirectory(sub));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorDirNotEmpty);
  EXPECT_NE(files().GetFileAttributes(sub) & kFileAttributeDirectory, 0u);
}

TEST_F(FilesContract, FindMatchesPatternsWithoutCaseAndEndsWithNoMoreFiles) {
  ASSERT_TRUE(Write(dir_ + u"\\oem1.inf", "a"));
  ASSERT_TRUE(Write(dir_ + u"\\OEM2.INF", "b"));
  ASSERT_TRUE(Write(dir_ + u"\\oem2.pnf", "c"));
  FindData data;
  auto find = files().FindFirstFile(dir_ + u"\\*.inf", &data);
  ASSERT_NE(find, nullptr);
  std::vector<WString> names = {data.file_name};
  sys().SetLastError(kSentinelError);
  while (find->FindNextFile(&data)) names.push_back(data.file_name);
  EXPECT_EQ(sys().GetLastError(), win32::kErrorNoMoreFiles);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<WString>{u"OEM2.INF", u"oem1.inf"}));
  EXPECT_TRUE(find->FindClose());

  sys().SetLastError(kSentinelError);
  EXPECT_EQ(files().FindFirstFile(dir_ + u"\\*.sys", &data), nullptr);
  EXPECT_EQ(sys().GetLastError(), win32::kErrorFileNotFound);
  sys().SetLastError(kSentinelError);
  EXPECT_EQ(files().FindFirstFile(dir_ + u"\\nofolder\\*.inf", &data), nullptr);
  EXPECT_EQ(sys().GetLastError(), win32::kErrorPathNotFound);
}

TEST_F(FilesContract, AppendKeepsEarlierContentAndCreateNewRefusesExisting) {
  const WString log = dir_ + u"\\Silent_Setup.Log";
  ASSERT_TRUE(files().WriteFile(log, Bytes{'a', '\r', '\n'}, WriteMode::kOpenAlwaysAppend, 0));
  ASSERT_TRUE(files().WriteFile(log, Bytes{'b', '\r', '\n'}, WriteMode::kOpenAlwaysAppend, 0));
  Bytes content;
  ASSERT_TRUE(files().ReadFile(log, kTestReadLimit, &content));
  EXPECT_EQ(std::string(content.begin(), content.end()), "a\r\nb\r\n");
  std::uint64_t size = 0;
  ASSERT_TRUE(files().GetFileSize(log, &size));
  EXPECT_EQ(size, 6u);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().WriteFile(log, Bytes{'c'}, WriteMode::kCreateNew));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorFileExists);
}

// A download to the printer reads its file held alone, step by step: the
// whole content, nothing above the caller's limit, an empty file as empty,
// and the open as the step that fails for a missing file.
TEST_F(FilesContract, ExclusiveReadGivesTheWholeFileOrTheStepThatFailed) {
  const WString path = dir_ + u"\\fw.jk";
  ASSERT_TRUE(Write(path, "firmware"));
  Bytes content;
  EXPECT_EQ(files().ReadFileExclusive(path, 8, &content), ExclusiveReadStep::kDone);
  EXPECT_EQ(std::string(content.begin(), content.end()), "firmware");
  content = {'x'};
  EXPECT_EQ(files().ReadFileExclusive(path, 7, &content), ExclusiveReadStep::kTooLarge);
  EXPECT_EQ(content, Bytes{'x'});

  ASSERT_TRUE(Write(dir_ + u"\\empty.jk", ""));
  EXPECT_EQ(files().ReadFileExclusive(dir_ + u"\\empty.jk", 8, &content), ExclusiveReadStep::kDone);
  EXPECT_TRUE(content.empty());

  sys().SetLastError(kSentinelError);
  EXPECT_EQ(files().ReadFileExclusive(dir_ + u"\\missing.jk", 8, &content), ExclusiveReadStep::kOpen);
  EXPECT_EQ(sys().GetLastError(), win32::kErrorFileNotFound);
}

// Every whole-file read states its limit: a file of the limit reads whole,
// one byte more fails with ERROR_NOT_ENOUGH_MEMORY before anything is read
// (the caller's buffer untouched); a head read takes the first bytes of any
// file, all of a shorter one.
TEST_F(FilesContract, BoundedReadsTakeNoMoreThanTheCallerStates) {
  const WString path = dir_ + u"\logo.bmp";
  ASSERT_TRUE(Write(path, "BM header"));  // 9 bytes
  struct Case {
    bool head;
    std::uint64_t limit;
    const char* expected;  // null: fails with ERROR_NOT_ENOUGH_MEMORY
  } cases[] = {
      {false, 10, "BM header"}, {false, 9, "BM header"}, {false, 8, nullptr},  {false, 0, nullptr},
      {true, 10, "BM header"},  {true, 9, "BM header"},  {true, 2, "BM"},      {true, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.head ? "head " : "whole ") + std::to_string(c.limit));
    Bytes content = {'x'};
    sys().SetLastError(kSentinelError);
    const bool read = c.head ? files().ReadFileHead(path, c.limit, &content) : files().ReadFile(path, c.limit, &content);
    if (c.expected == nullptr) {
      EXPECT_FALSE(read);
      EXPECT_EQ(sys().GetLastError(), win32::kErrorNotEnoughMemory);
      EXPECT_EQ(content, Bytes{'x'});
    } else {
      EXPECT_TRUE(read);
      EXPECT_EQ(std::string(content.begin(), content.end()), c.expected);
    }
  }
  Bytes content;
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().ReadFileHead(dir_ + u"\missing.bmp", 62, &content));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorFileNotFound);
}

// A section Windows does not map to the registry lives in "win.ini" itself.
TEST_F(FilesContract, ProfileStringsLandInWinIni) {
  const WString section = env_->UniqueName(u"KitContract");
  ASSERT_TRUE(files().WriteProfileString(section, u"COM3:", u"9600,n,8,1"));
  ASSERT_TRUE(files().WriteProfileString(section, u"COM3:", u"19200,e,7,1.5,x")) << "a second write replaces";
  Bytes content;
  ASSERT_TRUE(files().ReadFile(sys().GetWindowsDirectory() + u"\\win.ini", kTestReadLimit, &content));
  const std::string text(content.begin(), content.end());
  std::string header(1, '[');
  header += ToUtf8(section);
  header += ']';
  const auto at = text.find(header);
  ASSERT_NE(at, std::string::npos) << text;
  EXPECT_NE(text.find("COM3:=19200,e,7,1.5,x", at), std::string::npos) << text;
  EXPECT_EQ(text.find("COM3:=9600,n,8,1", at), std::string::npos);
}

TEST_F(FilesContract, BadPathsFailWithTheCodesWindowsGives) {
  sys().SetLastError(kSentinelError);
  EXPECT_EQ(files().GetFileAttributes(dir_ + u"\\bad|name.txt"), kInvalidFileAttributes);
  EXPECT_EQ(sys().GetLastError(), win32::kErrorInvalidName);
  const WString too_long = dir_ + u"\\" + WString(300, u'a');
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().WriteFile(too_long, Bytes{'x'}, WriteMode::kCreateAlways));
  EXPECT_NE(sys().GetLastError(), kSentinelError);
  EXPECT_NE(sys().GetLastError(), win32::kErrorSuccess);
}

TEST_F(FilesContract, FileWithoutVersionResourceHasNoVersionInfo) {
  ASSERT_TRUE(Write(dir_ + u"\\plain.sys", "no resources here"));
  FileVersionInfo info;
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().GetFileVersionInfo(dir_ + u"\\plain.sys", &info));
  EXPECT_NE(sys().GetLastError(), kSentinelError);
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().GetFileVersionInfo(dir_ + u"\\missing.sys", &info));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorFileNotFound);
}

TEST_F(FilesContract, MoveFileReplaceSwapsInTheNewFileOrLeavesBothAsTheyWere) {
  ASSERT_TRUE(Write(dir_ + u"\\table.dat", "old table"));
  ASSERT_TRUE(Write(dir_ + u"\\table.tmp", "new table"));
  ASSERT_TRUE(files().MoveFileReplace(dir_ + u"\\table.tmp", dir_ + u"\\TABLE.DAT"));
  Bytes content;
  ASSERT_TRUE(files().ReadFile(dir_ + u"\\table.dat", kTestReadLimit, &content));
  EXPECT_EQ(std::string(content.begin(), content.end()), "new table");
  sys().SetLastError(kSentinelError);
  EXPECT_EQ(files().GetFileAttributes(dir_ + u"\\table.tmp"), kInvalidFileAttributes);
  EXPECT_EQ(sys().GetLastError(), win32::kErrorFileNotFound);

  // Onto a name that does not exist yet it is a plain rename.
  ASSERT_TRUE(Write(dir_ + u"\\first.tmp", "first"));
  ASSERT_TRUE(files().MoveFileReplace(dir_ + u"\\first.tmp", dir_ + u"\\first.dat"));
  ASSERT_TRUE(files().ReadFile(dir_ + u"\\first.dat", kTestReadLimit, &content));
  EXPECT_EQ(std::string(content.begin(), content.end()), "first");

  // A missing source fails and leaves the destination alone.
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().MoveFileReplace(dir_ + u"\\missing.tmp", dir_ + u"\\table.dat"));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorFileNotFound);
  ASSERT_TRUE(files().ReadFile(dir_ + u"\\table.dat", kTestReadLimit, &content));
  EXPECT_EQ(std::string(content.begin(), content.end()), "new table");
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().MoveFileReplace(dir_ + u"\\first.dat", dir_ + u"\\nofolder\\x.dat"));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorPathNotFound);
  EXPECT_NE(files().GetFileAttributes(dir_ + u"\\first.dat"), kInvalidFileAttributes);
}

TEST_F(FilesContract, MoveFileReplaceRefusesAReadOnlyDestination) {
  if (env_->IsWine()) {
    GTEST_SKIP() << "Wine: the read-only attribute is a Unix permission bit, which the root user (as in CI) passes";
  }
  ASSERT_TRUE(Write(dir_ + u"\\ro.dat", "kept"));
  ASSERT_TRUE(Write(dir_ + u"\\ro.tmp", "lost"));
  ASSERT_TRUE(files().SetFileAttributes(dir_ + u"\\ro.dat", kFileAttributeReadOnly));
  sys().SetLastError(kSentinelError);
  EXPECT_FALSE(files().MoveFileReplace(dir_ + u"\\ro.tmp", dir_ + u"\\ro.dat"));
  EXPECT_EQ(sys().GetLastError(), win32::kErrorAccessDenied);
  Bytes content;
  ASSERT_TRUE(files().ReadFile(dir_ + u"\\ro.dat", kTestReadLimit, &content));
  EXPECT_EQ(std::string(content.begin(), content.end()), "kept");
  EXPECT_NE(files().GetFileAttributes(dir_ + u"\\ro.tmp"), kInvalidFileAttributes);
  ASSERT_TRUE(files().SetFileAttributes(dir_ + u"\\ro.dat", kFileAttributeArchive));
}

}  // namespace
}  // namespace kit::contract
