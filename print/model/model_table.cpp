// This file is OS-independent.
#include "print/model/model_table.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kit::print::model {
namespace {

// The family's common resolution outside the Q40: 8 dots a millimetre
// (203 dpi). A choice: the kit's data names no other model's dot.
constexpr int kCommonDotsPerInch = 203;
// The 80 mm roll's paper and its 72 mm line (576 dots at 203 dpi), the
// 58 mm roll's 48 mm line (384 dots): choices, the usual figures of those rolls.
constexpr int kWideRollTenthsMm = 800;
constexpr int kWideRollDots = 576;
constexpr int kNarrowRollTenthsMm = 580;
constexpr int kNarrowRollDots = 384;
constexpr int kLabelWidthTenthsMm = 500;
// The gap between two labels: 3 mm, the usual die-cut liner's. A choice.
constexpr int kLabelGapTenthsMm = 30;

constexpr std::uint32_t kReceiptCommands = kPartialCut | kFullCut | kDrawer | kBuzzer | kLogo | kRaster;
// A ticket printer stands in a kiosk without a drawer; a label printer tears
// its labels off; an embedded panel printer has a partial cutter only.
// Choices, as the kit's data does not list the commands of these series.
constexpr std::uint32_t kTicketCommands = kPartialCut | kFullCut | kLogo | kRaster;
constexpr std::uint32_t kLabelCommands = kLogo | kRaster;
constexpr std::uint32_t kEmbeddedCommands = kPartialCut | kLogo | kRaster;

// Named sizes: the default 297 mm (an A4 page's length: a document laid out
// for A4 prints at its own scale), a short 210 mm one and the longest receipt
// the kit's forms admit. Choices beside the kit's own limits.
constexpr std::array kQ40Rolls{
    RollSize{"Receipt 55.8 x 297 mm", 2970},
    RollSize{"Receipt 55.8 x 210 mm", 2100},
    RollSize{"Receipt 55.8 x 4095.8 mm", kQ40MaxLengthTenthsMm},
};
constexpr std::array kWideRolls{
    RollSize{"Receipt 80 x 297 mm", 2970},
    RollSize{"Receipt 80 x 210 mm", 2100},
    RollSize{"Receipt 80 x 4095.8 mm", kQ40MaxLengthTenthsMm},
};
constexpr std::array kTicketRolls{
    RollSize{"Ticket 80 x 150 mm", 1500},
    RollSize{"Ticket 80 x 297 mm", 2970},
};
constexpr std::array kLabelRolls{
    RollSize{"Label 50 x 30 mm", 300},
    RollSize{"Label 50 x 80 mm", 800},
};
constexpr std::array kEmbeddedRolls{
    RollSize{"Receipt 58 x 297 mm", 2970},
    RollSize{"Receipt 58 x 210 mm", 2100},
};

constexpr std::array kModels{
    Model{"VRTQ40", "VRT-Q40", Series::kReceipt, kQ40DotsPerInch, kQ40PrintableWidthDots, kQ40PaperWidthTenthsMm,
          kQ40MinPaperWidthTenthsMm, kQ40MinLengthTenthsMm, kQ40MaxLengthTenthsMm,
          kReceiptCommands, kQ40Rolls, "VRTQ40UI.DLL"},
    Model{"VRTD45", "VRT-D45", Series::kReceipt, kCommonDotsPerInch, kWideRollDots, kWideRollTenthsMm,
          kQ40MinPaperWidthTenthsMm, kQ40MinLengthTenthsMm, kQ40MaxLengthTenthsMm,
          kReceiptCommands, kWideRolls},
    // Tickets and labels: from 10 mm to 600 mm and 300 mm, choices.
    Model{"VRTT80", "VRT-T80", Series::kTicket, kCommonDotsPerInch, kWideRollDots, kWideRollTenthsMm,
          kWideRollTenthsMm, 100, 6000, kTicketCommands, kTicketRolls},
    Model{"VRTL50", "VRT-L50", Series::kLabel, kCommonDotsPerInch, kNarrowRollDots, kLabelWidthTenthsMm,
          kLabelWidthTenthsMm, 100, 3000, kLabelCommands, kLabelRolls, {}, kLabelGapTenthsMm},
    Model{"VRTE20", "VRT-E20", Series::kEmbedded, kCommonDotsPerInch, kNarrowRollDots, kNarrowRollTenthsMm,
          kQ40MinPaperWidthTenthsMm, kQ40MinLengthTenthsMm, kQ40MaxLengthTenthsMm,
          kEmbeddedCommands, kEmbeddedRolls},
};

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::span<const Model> Models() { return kModels; }

const Model* FindModel(std::string_view token_or_name) {
  for (const Model& m : kModels) {
    if (SameText(m.token, token_or_name) || SameText(m.name, token_or_name)) return &m;
  }
  return nullptr;
}

const Model* FindModelOfRenderModule(std::string_view path) {
  constexpr std::string_view kLinuxPrefix = "lib";
  const std::size_t slash = path.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return nullptr;
  name = name.substr(0, dot);
  if (name.starts_with(kLinuxPrefix)) name.remove_prefix(kLinuxPrefix.size());
  if (name.empty() || std::toupper(static_cast<unsigned char>(name.back())) != 'R') return nullptr;
  name.remove_suffix(1);
  for (const Model& m : kModels) {
    if (SameText(m.token, name)) return &m;
  }
  return nullptr;
}

const Model& ReceiptQ40() { return kModels[0]; }

}  // namespace kit::print::model
