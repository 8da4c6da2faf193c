// The family's printer models, one entry per series the kit installs: what
// the printing side needs to know to lay a page out on the model's paper and
// which of the family's commands the model carries out.
//
// Figures in dots are at the model's resolution; lengths and widths of paper
// in tenths of a millimetre, the unit of the kit's paper forms. Where the
// kit's own data gives a figure (the receipt Q40's forms and its 395-dot
// line) the table takes it from there; every other figure is a choice of this
// table and says so beside it in model_table.cpp.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kit::print::model {

enum class Series : std::uint8_t { kReceipt, kTicket, kLabel, kEmbedded };

// The receipt Q40's figures from the kit's own data: the printer's dot of
// 1/180 inch (the barcode pages' unit), the Utility page's paper forms (28.7
// to 55.8 mm wide, 22.5 to 4095.8 mm long) and the 395 dots of a 55.8 mm
// line. Constant here so that the virtual printer can size its paper at
// compile time.
inline constexpr int kQ40DotsPerInch = 180;
inline constexpr int kQ40PaperWidthTenthsMm = 558;
inline constexpr int kQ40MinPaperWidthTenthsMm = 287;
inline constexpr int kQ40MinLengthTenthsMm = 225;
inline constexpr int kQ40MaxLengthTenthsMm = 40958;
inline constexpr int kQ40PrintableWidthDots = kQ40PaperWidthTenthsMm * kQ40DotsPerInch / 254;
static_assert(kQ40PrintableWidthDots == 395);

// The commands a model takes, as bits of Model::commands.
enum Command : std::uint32_t {
  kPartialCut = 1u << 0,
  kFullCut = 1u << 1,
  kDrawer = 1u << 2,   // the drawer connector's pulse (drawer and herald)
  kBuzzer = 1u << 3,
  kLogo = 1u << 4,     // printing a logo stored in the printer
  kRaster = 1u << 5,   // the raster block: every model of the family
};

// A roll size the model's data file offers by name.
struct RollSize {
  std::string_view name;    // the paper name, e.g. "Roll 58 x 297 mm"
  int length_tenths_mm;     // the page length of this named size
};

struct Model {
  std::string_view token;       // the model's file-name stem: "VRTQ40" (VRTQ40G.GPD, VRTQ40R.DLL)
  std::string_view name;        // the model's name as the kit shows it: "VRT-Q40"
  Series series;
  int dots_per_inch;
  int printable_width_dots;     // dots of one printed line
  int paper_width_tenths_mm;    // the widest paper the model takes
  int min_paper_width_tenths_mm;
  int min_length_tenths_mm;     // roll lengths a user-defined size may take
  int max_length_tenths_mm;
  std::uint32_t commands;       // Command bits
  std::span<const RollSize> rolls;  // the named sizes, the first the default
  std::string_view ui_plugin = {};  // the driver's UI plug-in, when the model has one
  // Label series: the gap between two labels on the liner. The printer is
  // fed across it to the next label's start at the end of every page, as
  // the family's command set has no command of its own for it. 0: no labels.
  int label_gap_tenths_mm = 0;

  bool Takes(Command command) const { return (commands & command) != 0; }
  bool PrintsLabels() const { return label_gap_tenths_mm > 0; }
  // Tenths of a millimetre to dots at this model's resolution, rounded down.
  int DotsOf(int tenths_mm) const { return tenths_mm * dots_per_inch / kTenthsMmPerInch; }
  // The printable width in tenths of a millimetre, rounded down.
  int PrintableWidthTenthsMm() const { return printable_width_dots * kTenthsMmPerInch / dots_per_inch; }

  static constexpr int kTenthsMmPerInch = 254;
};

// Every model of the family, in the kit's series order.
std::span<const Model> Models();

// The model of a token ("VRTQ40") or a name ("VRT-Q40"), compared without
// case; nullptr for any other.
const Model* FindModel(std::string_view token_or_name);

// The model a rendering plug-in module serves, from the module's file name:
// "<token>R.DLL" as the model's plug-in list names it, in any case and with
// any folder before it ("C:\\...\\VRTD45R.DLL"), or the Linux build's
// "libVRTD45R.so"; nullptr for a name of no model.
const Model* FindModelOfRenderModule(std::string_view module_path);

// The receipt Q40, the kit's first model.
const Model& ReceiptQ40();

}  // namespace kit::print::model
