#include "platform/sim/channel_faults.h"

#include "platform/sim/core.h"

namespace kit::sim {

namespace {

// Consumes the first fault of `list` whose subject is part of `subject`:
// the bytes a transfer of `size` bytes moves instead, always fewer.
std::optional<std::uint64_t> TakeShortTransfer(Json& state, const char* list, WStringView subject,
                                               std::uint64_t size) {
  if (size == 0 || !state.contains("faults") || !state["faults"].contains(list)) return std::nullopt;
  auto& faults = state["faults"][list];
  for (auto it = faults.begin(); it != faults.end(); ++it) {
    auto& fault = *it;
    const WString wanted = JsonText(fault, "subject");
    if (!wanted.empty() && ToUpperAscii(WString(subject)).find(ToUpperAscii(wanted)) == WString::npos) continue;
    const int skip = fault.value("skip", 0);
    if (skip > 0) {
      fault["skip"] = skip - 1;
      continue;
    }
    // -1: one byte fewer than asked.
    const std::int64_t taken = fault.value("taken", std::int64_t{-1});
    const int remaining = fault.value("remaining", -1);
    if (remaining == 1) {
      faults.erase(it);
    } else if (remaining > 1) {
      fault["remaining"] = remaining - 1;
    }
    if (taken < 0 || static_cast<std::uint64_t>(taken) >= size) return size - 1;
    return static_cast<std::uint64_t>(taken);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::uint32_t> TakeShortWrite(Json& state, WStringView printer, std::uint32_t size) {
  const auto taken = TakeShortTransfer(state, "short_writes", printer, size);
  if (!taken) return std::nullopt;
  return static_cast<std::uint32_t>(*taken);
}

std::optional<std::uint64_t> TakeShortRead(Json& state, WStringView path, std::uint64_t size) {
  return TakeShortTransfer(state, "short_reads", path, size);
}

std::optional<win32::Error> FormChangeRefusal(const Json& state) {
  if (!state.value("system", Json::object()).value("admin", true)) return win32::kErrorAccessDenied;
  return std::nullopt;
}

}  // namespace kit::sim
