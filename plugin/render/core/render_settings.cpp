// This file is OS-independent.
#include "plugin/render/core/render_settings.h"

#include <algorithm>
#include <array>

namespace kit::render {
namespace {

constexpr int kMaxFeedMm = 100;
constexpr int kLastDrawer = 4;
constexpr int kLastBuzzer = 5;
constexpr int kLastCut = 2;
constexpr int kLastAlign = 2;
constexpr int kMaxLogo = 9;

std::uint32_t ReadU32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Fields a damaged record may hold out of range, brought back into it.
void Repair(EventOperation& op) {
  op.CommandLength = static_cast<std::uint8_t>(std::min<std::size_t>(op.CommandLength, kMaxCommandLength));
  if (op.FeedMm > kMaxFeedMm) op.FeedMm = kMaxFeedMm;
  if (op.DrawerSelect > kLastDrawer) op.DrawerSelect = 0;
  if (op.BuzzerSelect > kLastBuzzer) op.BuzzerSelect = 0;
  if (op.CutType > kLastCut) op.CutType = 0;
  if (op.LogoSelect > kMaxLogo) op.LogoSelect = 0;
  if (op.LogoAlign > kLastAlign) op.LogoAlign = 0;
}

}  // namespace

const EventOperation& RenderSettings::Block(Event event) const {
  switch (event) {
    case Event::kStartDoc: return record.StartDocOp;
    case Event::kStartPage: return record.StartPageOp;
    case Event::kEndPage: return record.EndPageOp;
    case Event::kEndDoc: break;
  }
  return record.EndDocOp;
}

int RenderSettings::ZoomPercent() const {
  if (record.ZoomEnabled == 0) return kFullSize;
  return record.ZoomPercent;
}

RenderSettings ReadSettings(std::span<const std::uint8_t> oem, std::u16string_view system_directory) {
  // Defaults first: Convert leaves its output as it is without an input.
  std::array<std::uint8_t, kPrivateDevModeSize> bytes{};
  WriteDefaults(bytes, system_directory);
  if (!oem.empty()) Convert(oem, bytes, system_directory);
  RenderSettings settings;
  settings.record = Decode(bytes);
  settings.from_job = oem.size() >= 8 && ReadU32(oem, 4) == kPrivateDevModeSignature;
  PrivateDevMode& r = settings.record;
  for (EventOperation* op : {&r.StartDocOp, &r.StartPageOp, &r.EndPageOp, &r.EndDocOp}) Repair(*op);
  if (r.ZoomPercent < kMinZoom || r.ZoomPercent > kFullSize) r.ZoomPercent = kFullSize;
  if (r.WatermarkPosition > kLastWatermarkPosition) r.WatermarkPosition = kDefaultWatermarkPosition;
  if (r.WatermarkSize > kFullSize) r.WatermarkSize = kFullSize;
  return settings;
}

print::encoder::EventOperations OperationsOf(const EventOperation& block) {
  print::encoder::EventOperations ops;
  ops.send_command = block.SendCommand == 1;
  ops.command.assign(block.Command.begin(), block.Command.begin() + block.CommandLength);
  ops.feed_mm = block.FeedMm;
  ops.logo = block.LogoSelect;
  ops.logo_align = static_cast<print::encoder::Align>(block.LogoAlign);
  ops.logo_after_cut = block.LogoPosition != 0;
  ops.feed_to_cut = block.FeedToCut == 1;
  ops.cut = static_cast<print::encoder::Cut>(block.CutType);
  ops.drawer = block.DrawerSelect;
  ops.use_herald = block.UseHerald != 0;
  ops.herald_enabled = block.HeraldSelect == 0;
  ops.buzzer = block.BuzzerSelect;
  ops.buzzer_volume = block.BuzzerVolume;
  return ops;
}

}  // namespace kit::render
