// Commands of the virtual machine tool. Each returns the process exit code.
#pragma once

#include <string>
#include <vector>

namespace kit::vmachine {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitMachine = 2;  // no machine, damaged or foreign state
inline constexpr int kExitFailed = 3;   // the machine refused the change
inline constexpr int kExitDifferent = 4;  // diff: the machines differ

using Args = std::vector<std::string>;

int CmdPresets(const Args& args, bool json);
int CmdCreate(const Args& args, bool json);
int CmdShow(const Args& args, bool json);
int CmdRegistry(const Args& args, bool json);
int CmdFiles(const Args& args, bool json);
int CmdJobs(const Args& args, bool json);
int CmdPlug(const Args& args, bool json);
int CmdUnplug(const Args& args, bool json);
int CmdMapPort(const Args& args, bool json);
int CmdFault(const Args& args, bool json);
int CmdProgram(const Args& args, bool json);
int CmdAddPrinter(const Args& args, bool json);
int CmdPut(const Args& args, bool json);
int CmdFileVersion(const Args& args, bool json);
int CmdSet(const Args& args, bool json);
int CmdSnapshot(const Args& args, bool json);
int CmdDiff(const Args& args, bool json);
// "fault DIR short-write ...", reached through CmdFault.
int CmdFaultShortTransfer(const Args& args, bool read);

// "Usage" text of the tool.
void PrintUsage();

}  // namespace kit::vmachine
