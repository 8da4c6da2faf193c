// This file is OS-independent.
#include "monitors/core/port_info.h"

#include <cstring>

#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

std::uint32_t TextBytes(WStringView text) { return static_cast<std::uint32_t>((text.size() + 1) * sizeof(char16_t)); }

// Copies `text` with its NUL just below *end and returns where it starts.
char16_t* PutText(std::uint8_t** end, WStringView text) {
  *end -= TextBytes(text);
  auto* start = reinterpret_cast<char16_t*>(*end);
  std::memcpy(start, text.data(), text.size() * sizeof(char16_t));
  start[text.size()] = 0;
  return start;
}

void PutPointer(std::uint8_t* at, const void* pointer) { std::memcpy(at, &pointer, sizeof pointer); }

}  // namespace

std::uint32_t PackPortInfo(const PortInfoRequest& request, std::uint32_t* needed, std::uint32_t* returned) {
  *needed = 0;
  *returned = 0;
  if (request.level != 1 && request.level != 2) return win32::kErrorInvalidLevel;
  const std::uint32_t record = request.level == 1 ? kPortInfo1Size : kPortInfo2Size;
  std::uint32_t total = 0;
  for (const WString& name : *request.names) {
    total += record + TextBytes(name);
    if (request.level == 2) total += TextBytes(request.monitor_name) + TextBytes(request.description);
  }
  *needed = total;
  if (request.buffer == nullptr || request.size < total) return win32::kErrorInsufficientBuffer;

  std::uint8_t* end = request.buffer + total;
  std::uint8_t* at = request.buffer;
  for (const WString& name : *request.names) {
    PutPointer(at, PutText(&end, name));
    if (request.level == 2) {
      PutPointer(at + sizeof(void*), PutText(&end, request.monitor_name));
      PutPointer(at + 2 * sizeof(void*), PutText(&end, request.description));
      const std::uint32_t type = kPortTypeWriteRead, reserved = 0;
      std::memcpy(at + 3 * sizeof(void*), &type, sizeof type);
      std::memcpy(at + 3 * sizeof(void*) + sizeof type, &reserved, sizeof reserved);
    }
    at += record;
  }
  *returned = static_cast<std::uint32_t>(request.names->size());
  return win32::kErrorSuccess;
}

}  // namespace kit::monitors
