// Windows builds only.
#include "platform/win32/program_console.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "common/codepage/codepage.h"
#include "platform/win32/system_proc.h"

namespace kit::win32 {

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) return args;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg(argv[i]);
    args.push_back(codepage::Utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
  }
  LocalFree(argv);
  return args;
}

void UseParentConsoleWhereNoOutput() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output != nullptr && output != INVALID_HANDLE_VALUE) return;
  // AttachConsole exists from XP on; on Windows 2000 a program started
  // from a console keeps writing nowhere, as a GUI program does.
  using AttachConsoleFn = BOOL(WINAPI*)(DWORD);
  const auto attach = SystemProc<AttachConsoleFn>(L"kernel32.dll", "AttachConsole");
  if (attach == nullptr || !attach(ATTACH_PARENT_PROCESS)) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
  std::cout.clear();
  std::cerr.clear();
}

}  // namespace kit::win32
