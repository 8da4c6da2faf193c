// The virtual printer's logo memory as the define-logos command that fills
// it, and the JSON of a rendering.
//
// This file is OS-independent.
#include "tools/kvjob/command_reader.h"
#include "tools/kvjob/render_paper.h"
#include "tools/kvjob/virtual_printer.h"

namespace kit::tools {

std::vector<std::uint8_t> VirtualPrinter::SaveMemory() const {
  if (logos_.empty()) return {0x1C, 0x71, 0x00, 0x00, 0x0A};
  std::vector<std::uint8_t> out = {0x1C, 0x71, static_cast<std::uint8_t>(logos_.size())};
  for (const StoredLogo& logo : logos_) {
    out.push_back(static_cast<std::uint8_t>(logo.x & 0xFF));
    out.push_back(static_cast<std::uint8_t>(logo.x >> 8));
    out.push_back(static_cast<std::uint8_t>(logo.y & 0xFF));
    out.push_back(static_cast<std::uint8_t>(logo.y >> 8));
    out.insert(out.end(), logo.data.begin(), logo.data.end());
  }
  out.push_back(0x0A);
  return out;
}

bool VirtualPrinter::LoadMemory(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return false;
  const Command c = ReadCommand(bytes, 0);
  if (c.bytes.size() != bytes.size()) return false;
  if (c.kind == CommandKind::kClearLogos) {
    logos_.clear();
    return true;
  }
  if (c.kind != CommandKind::kDefineLogos) return false;
  logos_.clear();
  for (const LogoBlock& block : c.logos) {
    logos_.push_back({block.x, block.y, std::vector<std::uint8_t>(block.data.begin(), block.data.end())});
  }
  return true;
}

nlohmann::json DescribeRendering(const Rendering& rendering) {
  return {{"paper",
           {{"dots_per_inch", rendering.picture.roll().dots_per_inch},
            {"width_dots", rendering.picture.roll().width_dots},
            {"length_dots", rendering.picture.height()},
            {"printable_left", paper::kRollEdgeDots},
            {"margin_left", rendering.picture.roll().MarginLeft()}}},
          {"paper_end", rendering.paper_end},
          {"drawn", rendering.drawn}};
}

}  // namespace kit::tools
