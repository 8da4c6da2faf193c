// This file is OS-independent.
#include "tools/kvjob/virtual_printer.h"

#include <algorithm>
#include <string>

#include "tools/kvjob/job_renderer.h"

namespace kit::tools {

JobRenderer::JobRenderer(VirtualPrinter& printer, Rendering& out) : printer_(printer), out_(out) {
  page_ = CodePageOf(kDefaultCodePage);
}

void JobRenderer::Run(std::span<const std::uint8_t> job, const std::string& closing_note) {
  for (std::size_t pos = 0; pos < job.size() && !out_.paper_end;) {
    const Command command = ReadCommand(job, pos);
    pos += command.bytes.size();
    if (command.kind == CommandKind::kUnknown) {
      unknown_.insert(unknown_.end(), command.bytes.begin(), command.bytes.end());
      continue;
    }
    FlushUnknown();
    Do(command);
  }
  FlushUnknown();
  if (!line_.empty()) {
    Note("text left waiting for a line feed:");
    PrintLine();
  }
  if (!closing_note.empty()) {
    Record({{"what", "note"}, {"y", y_}, {"text", closing_note}});
    Note(closing_note, true);
  }
  out_.picture.Grow(std::max(y_, margin_y_) + paper::kDefaultLineSpacing);
}

void JobRenderer::Do(const Command& c) {
  switch (c.kind) {
    case CommandKind::kText:
      for (std::uint8_t b : c.data) {
        if (out_.paper_end) return;
        Put(page_ ? page_->characters[b] : static_cast<char32_t>(b));
      }
      return;
    case CommandKind::kLineFeed:
      if (line_.empty()) return Feed(spacing_);
      return PrintLine();
    case CommandKind::kTab: {
      const int stop = paper::kTabCells * paper::kFontA.width;
      const int spaces = (stop - LineWidth() % stop) / CellOf(style_).width;
      for (int i = 0; i < std::max(spaces, 1); ++i) Put(U' ');
      return;
    }
    case CommandKind::kCarriageReturn:
    case CommandKind::kDataEnd:
    case CommandKind::kBracketOpen:
    case CommandKind::kBracketClose:
    case CommandKind::kUnknown:
      return;
    case CommandKind::kSkipped:
    case CommandKind::kCutShort: {
      const bool cut_short = c.kind == CommandKind::kCutShort;
      Record({{"what", cut_short ? "cut short" : "skipped"}, {"y", y_}, {"command", c.name},
              {"length", c.bytes.size()}});
      return Note(c.name + (cut_short ? " cut short by the job's end" : " not drawn") + " (" +
                  std::to_string(c.bytes.size()) + " bytes)");
    }
    case CommandKind::kSelfTest: return SelfTest();
    case CommandKind::kClearLogos:
      printer_.logos_.clear();
      Record({{"what", "logos cleared"}});
      return Note("logos cleared");
    case CommandKind::kDefineLogos: return Define(c);
    case CommandKind::kPrintLogo: return PrintLogo(c.n, c.n2);
    case CommandKind::kHriFont: hri_font_ = (c.n == 1 || c.n == '1') ? 1 : 0; return;
    case CommandKind::kHriPosition: hri_position_ = c.n >= '0' ? c.n - '0' : c.n; return;
    case CommandKind::kBarWidth: bar_width_ = c.n; return;
    case CommandKind::kBarHeight: bar_height_ = c.n; return;
    case CommandKind::kQrParameters:
      qr_module_ = c.n;
      qr_model_ = c.n3;
      return;
    case CommandKind::kBarcode: return Barcode(c);
    case CommandKind::kQrCode: return Qr(c.n2, c.data);
    case CommandKind::kSymbolFunction: return SymbolFunction(c);
    case CommandKind::kRasterImage: return PrintRaster(c);
    case CommandKind::kInitialise: return Initialise();
    case CommandKind::kPrintMode:
      style_.font = (c.n & kModeFontB) != 0 ? 1 : 0;
      style_.emphasis = (c.n & kModeEmphasis) != 0;
      style_.height = (c.n & kModeDoubleHeight) != 0 ? 2 : 1;
      style_.width = (c.n & kModeDoubleWidth) != 0 ? 2 : 1;
      style_.underline = (c.n & kModeUnderline) != 0 ? 1 : 0;
      return;
    case CommandKind::kEmphasis: style_.emphasis = (c.n & 1) != 0; return;
    case CommandKind::kUnderline: style_.underline = (c.n == 1 || c.n == '1') ? 1 : (c.n == 2 || c.n == '2') ? 2 : 0; return;
    case CommandKind::kFont: style_.font = (c.n == 1 || c.n == '1') ? 1 : 0; return;
    case CommandKind::kCharacterSize:
      if ((c.n & kSizeOutOfRange) != 0) return;  // the printer ignores it
      style_.width = std::min((c.n >> 4) + 1, paper::kMaxMagnification);
      style_.height = std::min((c.n & 0x0F) + 1, paper::kMaxMagnification);
      return;
    case CommandKind::kReverse: style_.reverse = (c.n & 1) != 0; return;
    case CommandKind::kAlign: align_ = c.n >= '0' ? c.n - '0' : c.n; return;
    // Both print the waiting line and feed n lines (dots) from its top.
    case CommandKind::kFeedLines:
      if (!line_.empty()) return PrintLine(spacing_ * c.n);
      return Feed(spacing_ * c.n);
    case CommandKind::kFeedDots:
      if (!line_.empty()) return PrintLine(c.n);
      return Feed(c.n);
    case CommandKind::kLineSpacing: spacing_ = c.n; return;
    case CommandKind::kDefaultSpacing: spacing_ = paper::kDefaultLineSpacing; return;
    case CommandKind::kPosition: {
      const int to = c.n | c.n2 << 8;
      if (to > LineWidth() && to < printer_.roll_.width_dots) line_.push_back({U' ', style_, to - LineWidth()});
      return;
    }
    case CommandKind::kCodePage:
      if (const CodePage* page = CodePageOf(c.n)) {
        page_ = page;
      } else {
        Note("code page " + std::to_string(c.n) + " not known");
      }
      return;
    case CommandKind::kCut: return Cut(c);
    case CommandKind::kDrawerPulse: {
      const std::string text = "drawer " + std::string(c.n % 2 == 0 ? "pin 2" : "pin 5") + ": " +
                               std::to_string(c.n2 * 2) + " ms on, " + std::to_string(c.n3 * 2) + " ms off";
      Record({{"what", "drawer"}, {"y", y_}, {"pin", c.n % 2 == 0 ? 2 : 5}, {"on_ms", c.n2 * 2}, {"off_ms", c.n3 * 2}});
      return Note(text);
    }
    case CommandKind::kBuzzer:
      Record({{"what", "buzzer"}, {"y", y_}, {"times", c.n}, {"duration", c.n2}});
      return Note("buzzer: " + std::to_string(c.n) + " beeps");
  }
}

// ESC @: the print modes, the barcode and the QR settings as at power-on.
void JobRenderer::Initialise() {
  style_ = Style{};
  align_ = 0;
  spacing_ = paper::kDefaultLineSpacing;
  page_ = CodePageOf(kDefaultCodePage);
  hri_font_ = 0;
  hri_position_ = kHriNone;
  bar_width_ = kDefaultBarWidth;
  bar_height_ = kDefaultBarHeight;
  qr_module_ = kDefaultQrModule;
  qr_model_ = kDefaultQrModel;
  qr_letter_ = kDefaultQrLetter;
  qr_data_.clear();
}

VirtualPrinter::VirtualPrinter(const paper::Roll& roll) : roll_(roll), fonts_(std::make_unique<PrinterFonts>()) {}
VirtualPrinter::~VirtualPrinter() = default;

Rendering VirtualPrinter::Render(std::span<const std::uint8_t> job, const std::string& closing_note) {
  Rendering out{ReceiptPicture(roll_)};
  JobRenderer(*this, out).Run(job, closing_note);
  return out;
}

}  // namespace kit::tools
