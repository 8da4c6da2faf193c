// Reads the version resource block that GetFileVersionInfoW returns
// (VS_VERSIONINFO with its StringFileInfo and VarFileInfo children) into a
// FileVersionInfo. Pure byte parsing with bounds checks on every node, so a
// damaged resource gives false, never a read past the block.
#pragma once

#include "platform/files.h"

namespace kit {

// Signature of VS_FIXEDFILEINFO.
inline constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

bool ParseVersionResource(const std::uint8_t* block, std::size_t size, FileVersionInfo* info);

}  // namespace kit
