// Uninstall.exe as a user meets it (Windows build, run under Wine): started
// in a kit folder it shows its English main window and ends on Exit;
// without Uninstall.ini it says so and ends, refused (status 2).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/wine/wine_path.h"
#include "ui/win32/remote.h"

namespace {

using kit::ui::win32::RemoteDialog;

constexpr int kTimeoutMs = 30000;
constexpr DWORD kPollMs = 50;

using kit::wine::WindowsPath;

class UninstallExeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    kit_ = std::wstring(temp) + L"kit-uninstall-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring data = WindowsPath(KIT_UNINSTALL_DATA);
    for (const wchar_t* folder : {L"", L"\\DRVCONFIG", L"\\language"}) CreateDirectoryW((kit_ + folder).c_str(), nullptr);
    for (const wchar_t* file : {L"\\DRVCONFIG\\Uninstall.ini", L"\\language\\uninstall_EN.ini"}) {
      ASSERT_TRUE(CopyFileW((data + file).c_str(), (kit_ + file).c_str(), FALSE)) << GetLastError();
    }
  }
  void TearDown() override {
    if (process_.hProcess != nullptr) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    for (const wchar_t* file : {L"\\DRVCONFIG\\Uninstall.ini", L"\\language\\uninstall_EN.ini"})
      DeleteFileW((kit_ + file).c_str());
    for (const wchar_t* folder : {L"\\DRVCONFIG", L"\\language", L""}) RemoveDirectoryW((kit_ + folder).c_str());
  }

  // Starts the program with the kit folder as its current directory.
  void Start() {
    std::wstring command = L"\"" + WindowsPath(UNINSTALL_EXE_PATH) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, kit_.c_str(), &startup,
                               &process_))
        << GetLastError();
  }
  DWORD WaitForExit() {
    if (WaitForSingleObject(process_.hProcess, kTimeoutMs) != WAIT_OBJECT_0) return ~0u;
    DWORD code = ~0u;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

  std::wstring kit_;
  PROCESS_INFORMATION process_{};
};

TEST_F(UninstallExeTest, ShowsItsEnglishMainWindowAndEndsOnExit) {
  Start();
  HWND window = kit::ui::win32::WaitForDialog(process_.dwThreadId, kTimeoutMs, L"Uninstall");
  ASSERT_NE(window, nullptr);
  RemoteDialog dialog(window);
  EXPECT_EQ(dialog.Text(1006),
            u"The printers, port monitors and print processors of the printer family found on this computer:");
  EXPECT_EQ(dialog.Text(1002), u"Uninstall");
  EXPECT_EQ(dialog.Text(1012), u"Select all");
  EXPECT_EQ(dialog.Text(2), u"Exit");
  EXPECT_EQ(dialog.Text(1019), u"Remove the USB printer driver");
  // No USB driver file on this system: the option is not offered.
  EXPECT_FALSE(dialog.Enabled(1019));
  HWND log = GetDlgItem(window, 1008);
  ASSERT_NE(log, nullptr);
  // Nothing of the family on this system: the log says so above the request
  // for a selection.
  ASSERT_EQ(SendMessageW(log, LB_GETCOUNT, 0, 0), 2);
  wchar_t first[256] = {};
  ASSERT_LT(SendMessageW(log, LB_GETTEXTLEN, 0, 0), 255);
  SendMessageW(log, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, L"Nothing of the printer family was found.");
  // A run over the empty list goes on the worker thread, which changes the
  // window through the dialog's thread: afterwards only Exit is enabled.
  ASSERT_TRUE(dialog.Enabled(1002));
  ASSERT_TRUE(dialog.Click(1002));
  // The run disables Uninstall first and enables Exit when it has ended.
  for (int waited = 0; waited < kTimeoutMs && (dialog.Enabled(1002) || !dialog.Enabled(2)); waited += kPollMs)
    Sleep(kPollMs);
  EXPECT_FALSE(dialog.Enabled(1002));
  EXPECT_FALSE(dialog.Enabled(1010));
  EXPECT_TRUE(dialog.Enabled(2));
  ASSERT_TRUE(dialog.Click(2));
  EXPECT_TRUE(dialog.WaitClosed(kTimeoutMs));
  EXPECT_EQ(WaitForExit(), 0u);
}

TEST_F(UninstallExeTest, WithoutUninstallIniItSaysSoAndEnds) {
  ASSERT_TRUE(DeleteFileW((kit_ + L"\\DRVCONFIG\\Uninstall.ini").c_str()));
  Start();
  HWND box = kit::ui::win32::WaitForMessageBox(process_.dwThreadId, nullptr, kTimeoutMs);
  ASSERT_NE(box, nullptr);
  RemoteDialog message(box);
  EXPECT_EQ(message.Caption(), u"Uninstall");
  EXPECT_EQ(message.MessageText(), u"The configuration file Uninstall.ini was not found!");
  ASSERT_TRUE(message.Click(IDOK));
  // Refused before any change, as every run of the uninstaller reckons it.
  EXPECT_EQ(WaitForExit(), 2u);
}

}  // namespace
