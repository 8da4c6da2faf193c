// The control-font table saved on the real Windows (under Wine in CI): the
// whole file replaces the old one through MoveFileExW, no temporary file is
// left, an empty table removes the file, and a save into a missing folder
// fails without creating anything.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/windows_platform.h"
#include "plugin/core/font/control_font_file.h"
#include "tests/read_limit.h"

namespace kit::plugin::font {
namespace {

class ControlFontFileWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::u16string(reinterpret_cast<const char16_t*>(temp)) + u"kit-control-font-" +
              std::u16string(1, static_cast<char16_t>(u'a' + GetCurrentProcessId() % 26));
    files_->CreateDirectory(folder_);
    path_ = folder_ + u"\\VRTQ40CONTROL.dat";
  }
  void TearDown() override {
    files_->DeleteFile(path_);
    files_->DeleteFile(folder_ + u"\\VRTQ40CONTROL.tmp");
    files_->RemoveDirectory(folder_);
  }
  std::string Read(const std::u16string& path) {
    Bytes content;
    if (!files_->ReadFile(path, kTestReadLimit, &content)) return "(missing)";
    return std::string(content.begin(), content.end());
  }

  std::unique_ptr<Files> files_ = kit::win32::MakeFiles();
  std::u16string folder_, path_;
};

TEST_F(ControlFontFileWin32, SaveReplacesTheFileWholeAndAnEmptyTableRemovesIt) {
  const std::string old_file = "[Character Translation Table]\r\n20=0A\r\n";
  ASSERT_TRUE(files_->WriteFile(path_, Bytes(old_file.begin(), old_file.end()), WriteMode::kCreateAlways));
  ControlFontTexts texts;
  texts['A' - kFirstControlCode] = u"1B 70 00 ";
  ASSERT_TRUE(SaveControlFontTable(*files_, path_, texts));
  EXPECT_EQ(Read(path_), "[Character Translation Table]\r\n41=1B 70 00 \r\n");
  EXPECT_EQ(Read(folder_ + u"\\VRTQ40CONTROL.tmp"), "(missing)");

  ASSERT_TRUE(SaveControlFontTable(*files_, path_, ControlFontTexts{}));
  EXPECT_EQ(Read(path_), "(missing)");
  EXPECT_TRUE(SaveControlFontTable(*files_, path_, ControlFontTexts{})) << "nothing to remove";

  const std::u16string nowhere = folder_ + u"\\missing\\VRTQ40CONTROL.dat";
  EXPECT_FALSE(SaveControlFontTable(*files_, nowhere, texts));
  EXPECT_EQ(Read(nowhere), "(missing)");
}

}  // namespace
}  // namespace kit::plugin::font
