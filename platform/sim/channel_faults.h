// Faults of the raw-job channel and the form calls beyond the named-call
// faults of the core: a WritePrinter that takes fewer bytes than asked, and
// the form changes Windows refuses a standard user; a file read that gives
// fewer bytes than the file holds.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/sim/store.h"
#include "platform/types.h"
#include "platform/win32_errors.h"

namespace kit::sim {

// Consumes a short-write fault set for `printer` (vmachine fault DIR
// short-write): the number of bytes the write of `size` bytes takes
// instead, always fewer than `size`. Nullopt when no such fault applies.
std::optional<std::uint32_t> TakeShortWrite(Json& state, WStringView printer, std::uint32_t size);
// The same for a file read (vmachine fault DIR short-read --subject PATH):
// the bytes a read of `size` bytes from `path` gives instead.
std::optional<std::uint64_t> TakeShortRead(Json& state, WStringView path, std::uint64_t size);

// AddForm, SetForm and DeleteForm change the print server's forms, which
// needs the server's administer right: a standard user gets access denied.
std::optional<win32::Error> FormChangeRefusal(const Json& state);

}  // namespace kit::sim
