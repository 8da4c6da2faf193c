#include "platform/sim/channel_faults.h"

#include "platform/sim/core.h"

namespace kit::sim {

std::optional<std::uint32_t> TakeShortWrite(Json& state, WStringView printer, std::uint32_t size) {
  if (size == 0 || !state.contains("faults") || !state["faults"].contains("short_writes")) return std::nullopt;
  auto& faults = state["faults"]["short_writes"];
  for (auto it = faults.begin(); it != faults.end(); ++it) {
    auto& fault = *it;
    const WString wanted = JsonText(fault, "subject");
    if (!wanted.empty() && ToUpperAscii(WString(printer)).find(ToUpperAscii(wanted)) == WString::npos) continue;
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
    if (taken < 0 || taken >= size) return size - 1;
    return static_cast<std::uint32_t>(taken);
  }
  return std::nullopt;
}

std::optional<win32::Error> FormChangeRefusal(const Json& state) {
  if (!state.value("system", Json::object()).value("admin", true)) return win32::kErrorAccessDenied;
  return std::nullopt;
}

}  // namespace kit::sim
