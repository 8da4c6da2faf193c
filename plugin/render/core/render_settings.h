// The settings a print job carries in its private record, as the rendering
// side uses them. A record the plug-in cannot use (another plug-in's
// signature, too short, damaged) prints with the defaults, as Convert makes
// them; fields out of their range are brought back into it, so that a
// damaged record never prints something the pages could not have set.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "plugin/core/devmode/private_devmode.h"
#include "print/encoder/event_operations.h"

namespace kit::render {

enum class Event : int { kStartDoc = 0, kStartPage = 1, kEndPage = 2, kEndDoc = 3 };

// A size at 100 %: the zoom when the record's is out of range, and the
// watermark's largest; the zoom's smallest.
inline constexpr int kFullSize = 100;
inline constexpr int kMinZoom = 10;
inline constexpr int kLastWatermarkPosition = 9;
inline constexpr int kDefaultWatermarkPosition = 4;  // Center-Middle

struct RenderSettings {
  PrivateDevMode record;
  bool from_job = false;  // false: the job's record was unusable, these are the defaults

  const EventOperation& Block(Event event) const;
  int ZoomPercent() const;  // 100 unless zoom printing is on
  bool Rotate180() const { return record.Rotate180 != 0; }
  bool Watermark() const { return record.WatermarkMode == 1 || record.WatermarkMode == 2; }
  bool LogEnabled() const { return record.LogEnabled != 0; }
};

// The record behind the job's public device mode (`oem` may be empty).
RenderSettings ReadSettings(std::span<const std::uint8_t> oem, std::u16string_view system_directory);

// One event block as the encoder's operations.
print::encoder::EventOperations OperationsOf(const EventOperation& block);

}  // namespace kit::render
