// This file is OS-independent.
#include "print/encoder/event_operations.h"

#include <algorithm>

#include "print/encoder/command_bytes.h"

namespace kit::print::encoder {
namespace {

namespace cmd = commands;

constexpr int kMaxFeedMm = 100;
constexpr int kMillimetreTenths = 10;

template <std::size_t N>
void Append(Bytes& out, const std::array<std::uint8_t, N>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// The cut the model can make of the one asked for.
Cut CutFor(Cut cut, const model::Model& model) {
  if (cut == Cut::kFull && !model.Takes(model::kFullCut)) cut = Cut::kPartial;
  if (cut == Cut::kPartial && !model.Takes(model::kPartialCut)) cut = model.Takes(model::kFullCut) ? Cut::kFull : Cut::kNone;
  return cut;
}

}  // namespace

int DotsOfMm(int mm, const model::Model& model) { return model.DotsOf(mm * kMillimetreTenths); }

void AppendFeedDots(Bytes& out, int dots) {
  while (dots > 0) {
    const int step = std::min(dots, cmd::kMaxFeedDots);
    Append(out, cmd::kFeedDotsCommand);
    out.push_back(static_cast<std::uint8_t>(step));
    dots -= step;
  }
}

void AppendFeedMm(Bytes& out, int mm, const model::Model& model) {
  if (mm <= 0 || mm > kMaxFeedMm) return;
  AppendFeedDots(out, DotsOfMm(mm, model));
}

void AppendLogo(Bytes& out, int logo, Align align) {
  if (logo < 1 || logo > static_cast<int>(cmd::kMaxLogos)) return;
  const auto a = static_cast<std::uint8_t>(align);
  if (a > static_cast<std::uint8_t>(Align::kRight)) return;
  Append(out, cmd::kAlignCommand);
  out.push_back(a);
  Append(out, cmd::kPrintLogoCommand);
  out.push_back(static_cast<std::uint8_t>(logo));
  out.push_back(cmd::kLogoNormalSize);
  // Raster blocks are placed by the justification: back to the left edge.
  Append(out, cmd::kAlignCommand);
  out.push_back(cmd::kAlignLeft);
}

void AppendCut(Bytes& out, Cut cut, bool feed_to_cut) {
  if (cut != Cut::kPartial && cut != Cut::kFull) return;
  Append(out, cmd::kCutCommand);
  const bool partial = cut == Cut::kPartial;
  if (feed_to_cut) {
    out.push_back(partial ? cmd::kFeedAndPartialCut : cmd::kFeedAndFullCut);
    out.push_back(cmd::kNoExtraFeed);
  } else {
    out.push_back(partial ? cmd::kPartialCut : cmd::kFullCut);
  }
}

void AppendDrawerPulse(Bytes& out, int drawer) {
  if (drawer < 1 || drawer >= static_cast<int>(cmd::kDrawerPulseMs.size())) return;
  const auto units = static_cast<std::uint8_t>(cmd::kDrawerPulseMs[drawer] / cmd::kPulseUnitMs);
  Append(out, cmd::kPulseCommand);
  out.insert(out.end(), {cmd::kDrawerPin, units, units});
}

void AppendHerald(Bytes& out) {
  Append(out, cmd::kPulseCommand);
  out.insert(out.end(), {cmd::kHeraldPin, cmd::kHeraldPulseUnits, cmd::kHeraldPulseUnits});
}

void AppendBuzzer(Bytes& out, int buzzer) {
  if (buzzer < 1 || buzzer >= static_cast<int>(cmd::kBuzzerBeeps.size())) return;
  Append(out, cmd::kBuzzerCommand);
  out.insert(out.end(), {cmd::kBuzzerBeeps[buzzer], cmd::kBeepUnits});
}

void AppendEvent(Bytes& out, const EventOperations& ops, const model::Model& model) {
  if (ops.send_command) out.insert(out.end(), ops.command.begin(), ops.command.end());
  AppendFeedMm(out, ops.feed_mm, model);
  const Cut cut = CutFor(ops.cut, model);
  const bool logo = model.Takes(model::kLogo) && ops.logo != 0;
  const bool logo_after = ops.logo_after_cut && cut != Cut::kNone;
  if (logo && !logo_after) AppendLogo(out, ops.logo, ops.logo_align);
  AppendCut(out, cut, ops.feed_to_cut);
  if (logo && logo_after) AppendLogo(out, ops.logo, ops.logo_align);
  if (model.Takes(model::kDrawer)) {
    if (!ops.use_herald) {
      AppendDrawerPulse(out, ops.drawer);
    } else if (ops.herald_enabled) {
      AppendHerald(out);
    }
  }
  if (model.Takes(model::kBuzzer)) AppendBuzzer(out, ops.buzzer);
}

Bytes EncodeEvent(const EventOperations& ops, const model::Model& model) {
  Bytes out;
  AppendEvent(out, ops, model);
  return out;
}

}  // namespace kit::print::encoder
