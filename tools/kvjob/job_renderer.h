// The virtual printer's drawing of one job, shared by the files that each
// hold one of its jobs: reading the commands (virtual_printer.cpp), text
// (job_text.cpp), paper, cuts and margin notes (job_paper.cpp), barcodes and
// QR codes (job_symbols.cpp), logos, raster images and the self-test
// (job_pictures.cpp). Not for use outside the virtual printer.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "tools/kvjob/command_reader.h"
#include "tools/kvjob/printer_font.h"
#include "tools/kvjob/printer_symbols.h"
#include "tools/kvjob/render_paper.h"
#include "tools/kvjob/virtual_printer.h"

namespace kit::tools {

// Draws one job on a fresh picture with the printer's memory.
class JobRenderer {
 public:
  JobRenderer(VirtualPrinter& printer, Rendering& out);
  // Draws the job; `closing_note`, when not empty, is noted after it.
  void Run(std::span<const std::uint8_t> job, const std::string& closing_note);

 private:
  static constexpr std::uint8_t kDefaultCodePage = 0;
  static constexpr int kCutDash = 6;
  // The paper the cutter leaves after a cut, before the next receipt.
  static constexpr int kAfterCutDots = 24;
  static constexpr std::size_t kNoteHexPerLine = 7;
  // How far margin notes may run below the paper used so far: ten lines.
  static constexpr int kNoteRunAheadDots = 10 * paper::kFontB.height;
  // The margin's last line where more notes wait for the paper to move on.
  static constexpr const char* kNotesHeld = "(more notes in --json)";  // fits a margin line
  static constexpr std::uint8_t kHriNone = 0, kHriAbove = 1, kHriBelow = 2, kHriBoth = 3;
  static constexpr int kDefaultBarWidth = 3;
  static constexpr int kDefaultBarHeight = 162;
  static constexpr int kDefaultQrModule = 3;
  static constexpr int kDefaultQrModel = 2;
  static constexpr std::uint8_t kDefaultQrLetter = 'L';
  // GS ! n: bits 3 and 7 set are outside its range (1 to 8 each way).
  static constexpr std::uint8_t kSizeOutOfRange = 0x88;
  // Bits of ESC ! n.
  static constexpr std::uint8_t kModeFontB = 0x01, kModeEmphasis = 0x08, kModeDoubleHeight = 0x10,
                                kModeDoubleWidth = 0x20, kModeUnderline = 0x80;

  struct Style {
    int font = 0;
    int width = 1, height = 1;  // magnification
    bool emphasis = false;
    int underline = 0;  // dots
    bool reverse = false;
  };
  struct Cell {
    char32_t character;
    Style style;
    int blank = 0;  // a gap of this many dots (1B 24) instead of a character
  };

  // virtual_printer.cpp: one command, and ESC @.
  void Do(const Command& c);
  void Initialise();

  // job_text.cpp
  static paper::FontCell CellOf(const Style& s);
  int LineWidth() const;
  void Put(char32_t character);
  int AlignedX(int width) const;
  void PrintLine();
  void PrintLine(int spacing);
  static void Utf8(std::string& out, char32_t c);
  void DrawCharacter(int x, int y, const Cell& cell);
  void DrawString(int x, int y, int font, const std::string& text);

  // job_paper.cpp
  static std::string Hex(std::span<const std::uint8_t> bytes);
  void Grow(int rows);
  void Feed(int dots);
  void Record(nlohmann::json item);
  // `closing`: the job's closing note, drawn below a full margin too.
  void Note(const std::string& text, bool closing = false);
  void NoteLine(int y, const std::string& line);
  void FlushUnknown();
  void Cut(const Command& c);

  // job_symbols.cpp
  static std::string Printable(std::span<const std::uint8_t> bytes);
  bool DrawModules(const Symbol& s, int mw, int mh, int y, int* x_out);
  void Barcode(const Command& c);
  void Qr(std::uint8_t letter, std::span<const std::uint8_t> bytes);
  void SymbolFunction(const Command& c);

  // job_pictures.cpp
  void Define(const Command& c);
  void PrintLogo(std::uint8_t n, std::uint8_t m);
  void PrintRaster(const Command& c);
  void PrintDots(std::size_t columns, std::size_t rows, std::uint8_t m,
                 const std::function<bool(std::size_t, std::size_t)>& dot, nlohmann::json record);
  void SelfTest();

  VirtualPrinter& printer_;
  Rendering& out_;
  const CodePage* page_ = nullptr;
  Style style_;
  std::vector<Cell> line_;
  std::vector<std::uint8_t> unknown_;
  int y_ = 0, margin_y_ = 0;
  bool notes_held_ = false;  // the margin beside the paper so far is full
  int align_ = 0;
  int spacing_ = paper::kDefaultLineSpacing;
  int hri_font_ = 0, hri_position_ = kHriNone;
  int bar_width_ = kDefaultBarWidth, bar_height_ = kDefaultBarHeight;
  int qr_module_ = kDefaultQrModule, qr_model_ = kDefaultQrModel;
  std::uint8_t qr_letter_ = kDefaultQrLetter;  // GS ( k's error level
  std::vector<std::uint8_t> qr_data_;          // GS ( k's stored data
};

}  // namespace kit::tools
