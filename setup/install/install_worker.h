// The install worker: registers the components, copies the driver's files,
// adds the driver and creates the printer, on a thread of its own while the
// progress dialog runs. It stops at the first failure with one text.
// This file is OS-independent.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "setup/engine/engine_context.h"
#include "setup/install/install_plan.h"

namespace kit::setup {

// Pauses of the component update.
inline constexpr std::uint32_t kBeforeUpdateMs = 500;
inline constexpr std::uint32_t kAfterStartNt4Win2000Ms = 1000;
inline constexpr std::uint32_t kAfterStartXp2003Ms = 2500;
inline constexpr std::uint32_t kAfterSecondStartMs = 2500;

// Port enumeration: the first call's buffer, the smallest second buffer.
inline constexpr std::uint32_t kEnumPortsProbeSize = 100;
inline constexpr std::uint32_t kEnumPortsSmallNeed = 300;
inline constexpr std::uint32_t kEnumPortsMinimumSize = 1000;

// Files for Windows XP (32-bit) that the driver's tools need.
inline constexpr std::string_view kXpRestoreClient = "srclient.dll";
inline constexpr std::string_view kXpFrameDynamic = "framedyn.dll";
inline constexpr std::string_view kXpNewDevice = "newdev.dll";
// Windows 9x Unidrv files.
inline constexpr std::string_view kIconLibrary = "ICONLIB.DLL";
inline constexpr std::string_view kUnidrvDll = "UNIDRV.DLL";
inline constexpr std::string_view kSystemBackupFolder = "\\Sysbckup\\";
inline constexpr std::string_view kColourLibrary = "DMCOLOR.DLL";
inline constexpr std::string_view kColourModels[] = {"VRT-C3", "VRT-B2"};

// Runs the install. Sets *state to kProgressDone or kProgressFailed at the
// end, after ctx.error_text holds the failure text or the final
// information text.
void InstallWorker(EngineContext& ctx, const InstallPlan& plan, std::atomic<int>* state);

}  // namespace kit::setup
