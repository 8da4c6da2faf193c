// Finds a resource in the bytes of a Windows executable image (PE32 or
// PE32+: programs, libraries, drivers) the way the loader's resource lookup
// does: section table, resource directory, type, name, language. Pure byte
// walking with bounds checks on every header, entry and offset, so a damaged
// or foreign file gives false, never a read outside the bytes.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/files.h"

namespace kit {

// Resource type of a version resource (RT_VERSION).
inline constexpr std::uint16_t kResourceTypeVersion = 16;

// The COFF machine of an image: 0x14C (i386), 0x8664 (x86-64), ...; false
// for bytes that are no PE image.
inline constexpr std::uint16_t kPeMachineI386 = 0x14C;
inline constexpr std::uint16_t kPeMachineAmd64 = 0x8664;
bool ReadPeMachine(const std::uint8_t* image, std::size_t size, std::uint16_t* machine);

// The bytes of the first resource of `type` (first name, first language).
// False when the image is no PE file, has no resource directory, or the
// resource is missing or reaches outside the image.
bool FindPeResource(const std::uint8_t* image, std::size_t size, std::uint16_t type, Bytes* data);

// The image's version resource, parsed (GetFileVersionInfo on the file).
bool ReadPeVersionInfo(const std::uint8_t* image, std::size_t size, FileVersionInfo* info);

}  // namespace kit
