// This file is OS-independent.
#include "print/gpd/gpd_writer.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "print/encoder/command_bytes.h"
#include "print/fonts/font_table.h"

namespace kit::print::gpd {
namespace {

constexpr char kEol[] = "\r\n";
constexpr char kFileVersion[] = "1.0";
// The Y move's largest step, one feed command (1B 4A n): 255 dots.
constexpr int kMaxYMove = commands::kMaxFeedDots;

class Writer {
 public:
  void Line(const std::string& text) { out_ += text + kEol; }
  void Open(const std::string& head) {
    Line(Indent() + head);
    Line(Indent() + "{");
    ++depth_;
  }
  void Close() {
    --depth_;
    Line(Indent() + "}");
  }
  void Entry(const std::string& keyword, const std::string& value) { Line(Indent() + "*" + keyword + ": " + value); }
  std::string Take() { return std::move(out_); }

 private:
  std::string Indent() const { return std::string(static_cast<std::size_t>(depth_) * 4, ' '); }
  std::string out_;
  int depth_ = 0;
};

std::string Quoted(std::string_view text) {
  std::string quoted(1, '"');
  quoted.append(text);
  quoted += '"';
  return quoted;
}
std::string Pair(int x, int y) { return "PAIR(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

// Bytes as the GPD's hexadecimal substring: "<1D7630>".
template <typename Bytes>
std::string Hex(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "<";
  for (std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text + ">";
}

// The model's units: one master unit a dot, in both directions.
int Units(const model::Model& m, int tenths_mm) { return m.DotsOf(tenths_mm); }

void Header(Writer& w, const model::Model& m, Flavour flavour) {
  const bool gdi = flavour == Flavour::kGdi;
  w.Line("*% " + std::string(m.name) + " printer data file, " + (gdi ? "GDI" : "STD") +
         (gdi ? " flavour: text printed as raster, the command fonts as commands."
              : " flavour: text in the printer's fonts, pictures as raster."));
  w.Line("*% Written from the kit's model table by gpdgen; edit the table, not this file.");
  w.Entry("GPDSpecVersion", Quoted("1.0"));
  w.Entry("GPDFileVersion", Quoted(kFileVersion));
  w.Entry("GPDFileName", Quoted(FileName(m, flavour)));
  w.Entry("Include", Quoted("StdNames.gpd"));
  w.Entry("ModelName", Quoted(m.name));
  w.Entry("MasterUnits", Pair(m.dots_per_inch, m.dots_per_inch));
  // The rendering plug-in's module carries the printer fonts' metrics as
  // RC_UFM resources; the standard names keep coming from the universal
  // driver's own resources through StdNames.gpd.
  w.Entry("ResourceDLL", Quoted(std::string(m.token) + "R.DLL"));
  w.Entry("PrinterType", "SERIAL");
  w.Entry("MaxCopies", "1");
  w.Entry("OutputDataFormat", "H_BYTE");
  w.Entry("OptimizeLeftBound?", "FALSE");
  w.Entry("CursorXAfterCR", "AT_CURSOR_X_ORIGIN");
  w.Entry("CursorXAfterSendBlockData", "AT_GRXDATA_ORIGIN");
  w.Entry("CursorYAfterSendBlockData", "AUTO_INCREMENT");
  w.Entry("XMoveUnit", std::to_string(m.dots_per_inch));
  w.Entry("YMoveUnit", std::to_string(m.dots_per_inch));
  w.Entry("RotateCoordinate?", "FALSE");
  w.Entry("RotateRaster?", "FALSE");
}

// A feature of fixed options: its display name, default and each option's
// entries, written in this order.
struct OptionSpec {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
};
struct FeatureSpec {
  std::string name;
  std::string display;
  std::string default_option;
  std::vector<OptionSpec> options;
};

std::vector<FeatureSpec> FixedFeatures() {
  return {
      {"Orientation", "=ORIENTATION_DISPLAY", "PORTRAIT",
       {{"PORTRAIT", {{"rcNameID", "=PORTRAIT_DISPLAY"}}}, {"LANDSCAPE_CC270", {{"rcNameID", "=LANDSCAPE_DISPLAY"}}}}},
      // One paper source: the roll, fed like continuous paper.
      {"InputBin", "=PAPER_SOURCE_DISPLAY", "TRACTOR", {{"TRACTOR", {{"Name", Quoted("Roll Paper")}}}}},
      // The bands reach the rendering plug-in's ImageProcessing (no device
      // bits of the universal driver's own: it packs nothing itself).
      {"ColorMode", "=COLOR_PRINTING_MODE_DISPLAY", "Mono",
       {{"Mono",
         {{"rcNameID", "=MONO_DISPLAY"},
          {"DevNumOfPlanes", "0"},
          {"DevBPP", "0"},
          {"DrvBPP", "1"},
          {"Color?", "FALSE"},
          {"IPCallbackID", std::to_string(kImageCallback)}}}}},
  };
}

void Feature(Writer& w, const FeatureSpec& feature) {
  w.Open("*Feature: " + feature.name);
  w.Entry("rcNameID", feature.display);
  w.Entry("DefaultOption", feature.default_option);
  for (const OptionSpec& option : feature.options) {
    w.Open("*Option: " + option.name);
    for (const auto& [key, value] : option.entries) w.Entry(key, value);
    w.Close();
  }
  w.Close();
}

void Resolution(Writer& w, const model::Model& m) {
  const std::string dpi = std::to_string(m.dots_per_inch);
  const std::string option = "Option" + dpi;
  w.Open("*Feature: Resolution");
  w.Entry("rcNameID", "=RESOLUTION_DISPLAY");
  w.Entry("DefaultOption", option);
  w.Open("*Option: " + option);
  w.Entry("Name", Quoted(dpi + " x " + dpi + " dots per inch"));
  w.Entry("DPI", Pair(m.dots_per_inch, m.dots_per_inch));
  w.Entry("TextDPI", Pair(m.dots_per_inch, m.dots_per_inch));
  w.Entry("SpotDiameter", "100");
  // The printer's raster block: 1D 76 30 00 xL xH yL yH, then the rows.
  w.Open("*Command: CmdSendBlockData");
  w.Entry("Cmd", Quoted(Hex(commands::kRasterBlockCommand) + Hex(std::array{commands::kRasterNormalSize})) +
                     " %l{RasterDataWidthInBytes} %l{RasterDataHeightInPixels}");
  w.Close();
  w.Close();
  w.Close();
}

void PaperOption(Writer& w, const model::Model& m, const std::string& option, const model::RollSize& roll) {
  const int width = Units(m, m.paper_width_tenths_mm), length = Units(m, roll.length_tenths_mm);
  const int printable = std::min(m.printable_width_dots, width);
  w.Open("*Option: " + option);
  w.Entry("Name", Quoted(roll.name));
  w.Entry("PageDimensions", Pair(width, length));
  w.Entry("PrintableArea", Pair(printable, length));
  w.Entry("PrintableOrigin", Pair((width - printable) / 2, 0));
  w.Entry("CursorOrigin", Pair((width - printable) / 2, 0));
  w.Close();
}

// The named roll sizes and a user-defined size of any paper the model takes:
// *MaxSize the widest paper and the longest roll, *MaxPrintableWidth the
// model's line, centred on a paper wider than the line as the named sizes'
// printable areas are (Microsoft, "Supporting user-defined paper sizes":
// the explicit ranges; a paper narrower than the line prints to its right
// edge).
void PaperSize(Writer& w, const model::Model& m) {
  w.Open("*Feature: PaperSize");
  w.Entry("rcNameID", "=PAPER_SIZE_DISPLAY");
  w.Entry("DefaultOption", "ROLL1");
  for (std::size_t i = 0; i < m.rolls.size(); ++i) PaperOption(w, m, "ROLL" + std::to_string(i + 1), m.rolls[i]);
  const int widest = Units(m, m.paper_width_tenths_mm);
  w.Open("*Option: CUSTOMSIZE");
  w.Entry("rcNameID", "=USER_DEFINED_SIZE_DISPLAY");
  w.Entry("MinSize", Pair(Units(m, m.min_paper_width_tenths_mm), Units(m, m.min_length_tenths_mm)));
  w.Entry("MaxSize", Pair(widest, Units(m, m.max_length_tenths_mm)));
  w.Entry("MaxPrintableWidth", std::to_string(std::min(m.printable_width_dots, widest)));
  w.Entry("MinLeftMargin", "0");
  w.Entry("TopMargin", "0");
  w.Entry("BottomMargin", "0");
  w.Entry("CenterPrintable?", "TRUE");
  w.Close();
  w.Close();
}

void Callback(Writer& w, const char* command, const char* order, unsigned id) {
  w.Open(std::string("*Command: ") + command);
  w.Entry("Order", order);
  w.Entry("CallbackID", std::to_string(id));
  w.Close();
}

// The cursor commands the language requires, and the Y move that skips blank
// rows with a feed (1B 4A n) in steps of at most 255 dots.
// A page ends in the plug-in's End of Page operations, not in a form feed.
void Commands(Writer& w) {
  w.Entry("Command", "CmdCR: \"\"");
  w.Entry("Command", "CmdLF: " + Quoted(Hex(std::array{commands::kLineFeed})));
  w.Entry("Command", "CmdFF: \"\"");
  w.Open("*Command: CmdYMoveRelDown");
  w.Entry("Cmd", Quoted(Hex(commands::kFeedDotsCommand)) + " %c[0," + std::to_string(kMaxYMove) +
                     "]{max_repeat(DestYRel)}");
  w.Close();
  // The document's and the page's operations of the plug-in's settings.
  // The position of device text: the plug-in keeps the cursor, prints the
  // page's text at its lines (1B 24 nL nH for the line's position).
  w.Open("*Command: CmdXMoveAbsolute");
  w.Entry("CallbackID", std::to_string(kXMoveCallback));
  w.Entry("Params", "LIST(DestX)");
  w.Close();
  w.Open("*Command: CmdYMoveAbsolute");
  w.Entry("CallbackID", std::to_string(kYMoveCallback));
  w.Entry("Params", "LIST(DestY)");
  w.Close();
  Callback(w, "CmdStartDoc", "DOC_SETUP.1", kStartDocCallback);
  Callback(w, "CmdStartPage", "PAGE_SETUP.1", kStartPageCallback);
  Callback(w, "CmdEndPage", "PAGE_FINISH.1", kEndPageCallback);
  Callback(w, "CmdEndDoc", "DOC_FINISH.1", kEndDocCallback);
}

// The device fonts: in the STD flavour every font of the model's table, the
// first (FontA11) the default; in the GDI flavour the fonts that are printer
// commands only (barcodes, QR, control), the text fonts left to GDI's
// raster. A model without such fonts in its GDI flavour lists none.
void DeviceFonts(Writer& w, const model::Model& m, Flavour flavour) {
  const std::vector<int> ids = DeviceFontIdsOf(m, flavour);
  if (ids.empty()) return;
  std::string list;
  for (int id : ids) list += (list.empty() ? "" : ", ") + std::to_string(id);
  w.Entry("DeviceFonts", "LIST(" + list + ")");
  if (flavour == Flavour::kStd) w.Entry("DefaultFont", std::to_string(ids.front()));
}

}  // namespace

std::vector<int> DeviceFontIdsOf(const model::Model& model, Flavour flavour) {
  std::vector<int> ids;
  for (const fonts::PrinterFont& f : fonts::FontsOf(model).fonts) {
    if (flavour == Flavour::kStd || f.kind != fonts::FontKind::kText) ids.push_back(f.resource_id);
  }
  return ids;
}

std::string FileName(const model::Model& model, Flavour flavour) {
  return std::string(model.token) + static_cast<char>(flavour) + ".GPD";
}

std::string WriteGpd(const model::Model& model, Flavour flavour) {
  Writer w;
  Header(w, model, flavour);
  DeviceFonts(w, model, flavour);
  for (const FeatureSpec& feature : FixedFeatures()) Feature(w, feature);
  Resolution(w, model);
  PaperSize(w, model);
  Commands(w);
  return w.Take();
}

std::string IniFileName(const model::Model& model) { return std::string(model.token) + ".INI"; }

std::string WritePluginIni(const model::Model& model) {
  std::string ini = "[OEMFiles]";
  ini += kEol;
  ini += "OEMDriverFile1=" + std::string(model.token) + "R.DLL" + kEol;
  if (!model.ui_plugin.empty()) ini += "OEMConfigFile1=" + std::string(model.ui_plugin) + kEol;
  return ini;
}

}  // namespace kit::print::gpd
