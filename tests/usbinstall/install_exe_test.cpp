// Install.exe as other programs see it (Windows build, run under Wine): its
// window "Device driver setup" exists while an action runs, and the silent
// printer-class install writes one line per run to the log two folders
// above the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "tests/wine/wine_path.h"

namespace {

// The built program, as a Windows path.
std::wstring ProgramPath() { return kit::wine::WindowsPath(INSTALL_EXE_PATH); }

std::wstring TempKit() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"kit-install-" + std::to_wstring(GetCurrentProcessId());
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class InstallExeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kit_ = TempKit();
    program_folder_ = kit_ + L"\\USBDrv\\USBDriver_x64";
    CreateDirectoryW(kit_.c_str(), nullptr);
    CreateDirectoryW((kit_ + L"\\USBDrv").c_str(), nullptr);
    CreateDirectoryW(program_folder_.c_str(), nullptr);
    CreateDirectoryW((kit_ + L"\\Driver").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), (program_folder_ + L"\\Install.exe").c_str(), FALSE))
        << GetLastError();
    std::ofstream inf(std::filesystem::path(kit_ + L"\\Driver\\TP80.INF"), std::ios::binary);
    inf << "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
           "ClassGuid={4D36E979-E325-11CE-BFC1-08002BE10318}\r\n";
  }
  void TearDown() override {
    DeleteFileW((program_folder_ + L"\\Install.exe").c_str());
    DeleteFileW((kit_ + L"\\Driver\\TP80.INF").c_str());
    DeleteFileW((kit_ + L"\\Silent_Setup.Log").c_str());
    RemoveDirectoryW((kit_ + L"\\Driver").c_str());
    RemoveDirectoryW(program_folder_.c_str());
    RemoveDirectoryW((kit_ + L"\\USBDrv").c_str());
    RemoveDirectoryW(kit_.c_str());
  }

  // Runs the program; returns its exit code and whether its window was seen.
  DWORD Run(const std::wstring& arguments, bool* window_seen) {
    std::wstring command = L"\"" + program_folder_ + L"\\Install.exe\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
      ADD_FAILURE() << "CreateProcess " << GetLastError();
      return ~0u;
    }
    *window_seen = false;
    constexpr DWORD kPollMs = 50;
    constexpr int kMaxPolls = 1200;  // one minute
    for (int i = 0; i < kMaxPolls; ++i) {
      if (FindWindowW(nullptr, L"Device driver setup")) *window_seen = true;
      if (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0) break;
    }
    DWORD code = ~0u;
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
  }

  std::wstring kit_;
  std::wstring program_folder_;
};

TEST_F(InstallExeTest, SilentClassInstallAppendsOneLogLinePerRunTwoFoldersUp) {
  const std::wstring arguments = L"3 \"" + kit_ + L"\\Driver\\TP80.INF\" KVROTP80A1B2 1";
  bool window_seen = false;
  const DWORD status = Run(arguments, &window_seen);
  EXPECT_TRUE(window_seen);
  const std::regex line(
      "\\d\\d:\\d\\d:\\d\\d,(January|February|March|April|May|June|July|August|September|October|November|"
      "December) \\d\\d,\\d{4} -- (Successfully installed printer driver\\.|Add printer driver error\\.[^\\r\\n]*)"
      "\\r\\n");
  const std::string first = ReadAll(kit_ + L"\\Silent_Setup.Log");
  EXPECT_TRUE(std::regex_match(first, line)) << first;
  // The status follows the outcome the log line reports.
  EXPECT_EQ(status, first.find("Successfully installed") != std::string::npos ? 0u : 1u) << first;
  EXPECT_EQ(GetFileAttributesW((program_folder_ + L"\\Silent_Setup.Log").c_str()), INVALID_FILE_ATTRIBUTES);

  EXPECT_EQ(Run(arguments, &window_seen), status);
  const std::string both = ReadAll(kit_ + L"\\Silent_Setup.Log");
  ASSERT_GT(both.size(), first.size());
  EXPECT_EQ(both.substr(0, first.size()), first);
  EXPECT_TRUE(std::regex_match(both.substr(first.size()), line)) << both;
}

TEST_F(InstallExeTest, UnknownAndOddActionTextsRunTheDefaultActionAndEnd) {
  for (const wchar_t* arguments : {L"abc", L"\"\"", L"0", L"\"2 \\\"quoted\\\"\""}) {
    bool window_seen = false;
    EXPECT_EQ(Run(arguments, &window_seen), 0u) << arguments;
    EXPECT_TRUE(window_seen) << arguments;
    EXPECT_EQ(GetFileAttributesW((kit_ + L"\\Silent_Setup.Log").c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

}  // namespace
