// Helpers shared by the tool's commands: opening a machine's state, parsing
// numbers and Windows paths given on the command line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/sim/core.h"
#include "platform/sim/store.h"
#include "tools/vmachine/commands.h"

namespace kit::vmachine {

using sim::Json;

// Reads a machine's state; prints the reason and returns false when the
// folder holds no usable machine.
inline bool ReadMachine(const std::string& folder, Json* state) {
  sim::Store store(folder);
  std::string message;
  if (store.Read(state, &message) != sim::StoreError::kNone) {
    std::fprintf(stderr, "vmachine: %s\n", message.c_str());
    return false;
  }
  return true;
}

// Changes a machine's state under its lock. `change` returns an empty
// string on success or the reason for refusing. Returns the exit code.
template <typename F>
int ChangeMachine(const std::string& folder, F&& change) {
  sim::Store store(folder);
  std::string message, refusal;
  const auto error = store.Update(
      [&](Json& state) {
        refusal = change(state);
        return refusal.empty();
      },
      &message);
  if (error != sim::StoreError::kNone) {
    std::fprintf(stderr, "vmachine: %s\n", message.c_str());
    return kExitMachine;
  }
  if (!refusal.empty()) {
    std::fprintf(stderr, "vmachine: %s\n", refusal.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

// A number in decimal or with 0x in hexadecimal.
inline std::optional<std::uint64_t> ParseNumber(const std::string& text, int default_base = 10) {
  if (text.empty()) return std::nullopt;
  int base = default_base;
  std::size_t pos = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    pos = 2;
  }
  std::uint64_t value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0 || digit >= base || value > (UINT64_MAX - digit) / base) return std::nullopt;
    value = value * base + static_cast<std::uint64_t>(digit);
  }
  return value;
}

inline int Usage(const char* text) {
  std::fprintf(stderr, "usage: vmachine %s\n", text);
  return kExitUsage;
}

}  // namespace kit::vmachine
