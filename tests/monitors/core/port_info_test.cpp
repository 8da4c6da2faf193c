// EnumPorts' records: the two passes, each level's layout, and strings that
// stay inside the caller's buffer.
#include <gtest/gtest.h>

#include <cstring>

#include "monitors/core/port_info.h"
#include "monitors/core/serial_ports.h"
#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

WString TextAt(const std::uint8_t* record, std::size_t pointer_index, const Bytes& buffer) {
  const char16_t* text = nullptr;
  std::memcpy(&text, record + pointer_index * sizeof(void*), sizeof text);
  const auto* start = reinterpret_cast<const std::uint8_t*>(text);
  EXPECT_GE(start, buffer.data());
  EXPECT_LT(start, buffer.data() + buffer.size());
  return text;
}

TEST(PortInfo, TwoPassesAtEachLevel) {
  const auto names = SerialPortNames();
  struct Case {
    std::uint32_t level;
    std::uint32_t status;
    std::uint32_t record;
    std::uint32_t text_bytes;  // of every port's strings
  };
  // "KVCOMn:" is 7 characters, "KVR Serial Port" 15: with their NULs.
  const std::vector<Case> cases = {
      {1, 0, kPortInfo1Size, 16},
      {2, 0, kPortInfo2Size, 16 + 32 + 32},
      {0, win32::kErrorInvalidLevel, 0, 0},
      {3, win32::kErrorInvalidLevel, 0, 0},
  };
  static_assert(kPortInfo2Size == (sizeof(void*) == 8 ? 32 : 20));
  for (const Case& c : cases) {
    SCOPED_TRACE("level " + std::to_string(c.level));
    PortInfoRequest request;
    request.level = c.level;
    request.names = &names;
    request.monitor_name = u"KVR Serial Port";
    request.description = u"KVR Serial Port";
    std::uint32_t needed = 1, returned = 1;
    const std::uint32_t first = PackPortInfo(request, &needed, &returned);
    if (c.status != 0) {
      EXPECT_EQ(first, c.status);
      continue;
    }
    const std::uint32_t total = 8 * (c.record + c.text_bytes);
    EXPECT_EQ(first, win32::kErrorInsufficientBuffer);
    EXPECT_EQ(needed, total);
    EXPECT_EQ(returned, 0u);
    // One byte short, then exactly, then with room to spare.
    for (std::uint32_t size : {total - 1, total, total + 9}) {
      Bytes buffer(size, 0xCC);
      request.buffer = buffer.data();
      request.size = size;
      const std::uint32_t status = PackPortInfo(request, &needed, &returned);
      EXPECT_EQ(needed, total);
      if (size < total) {
        EXPECT_EQ(status, win32::kErrorInsufficientBuffer);
        EXPECT_EQ(returned, 0u);
        EXPECT_EQ(buffer, Bytes(size, 0xCC));
        continue;
      }
      ASSERT_EQ(status, 0u);
      ASSERT_EQ(returned, 8u);
      for (std::uint32_t i = 0; i < 8; ++i) {
        const std::uint8_t* record = buffer.data() + i * c.record;
        EXPECT_EQ(TextAt(record, 0, buffer), names[i]);
        if (c.level == 2) {
          EXPECT_EQ(TextAt(record, 1, buffer), u"KVR Serial Port");
          EXPECT_EQ(TextAt(record, 2, buffer), u"KVR Serial Port");
          std::uint32_t type = 0;
          std::memcpy(&type, record + 3 * sizeof(void*), sizeof type);
          EXPECT_EQ(type, kPortTypeWriteRead);
        }
      }
      // Nothing past what was asked for.
      for (std::uint32_t i = total; i < size; ++i) EXPECT_EQ(buffer[i], 0xCC);
    }
  }
}

}  // namespace
}  // namespace kit::monitors
