// This file is OS-independent.
#include "tools/iconart/receipt_pictures.h"

#include <array>

namespace kit::iconart {
namespace {

constexpr Rgba kBackground{228, 231, 235};
constexpr Rgba kPaper{255, 255, 255};
constexpr Rgba kPaperEdge{170, 176, 184};
constexpr Rgba kText{110, 118, 128};
constexpr Rgba kOtherText{175, 181, 189};  // the neighbouring page, greyed
constexpr Rgba kCut{210, 44, 44};
constexpr Rgba kScissors{64, 72, 84};
constexpr Rgba kFeed{40, 110, 210};
constexpr Rgba kFeedShade{226, 236, 250};

// The paper strip and its printed lines.
constexpr double kPaperLeft = 26, kPaperRight = 92;
constexpr double kTextLeft = 32;
constexpr double kLinePitch = 9, kLineHeight = 3;
constexpr std::array<double, 7> kLineWidths{52, 40, 48, 30, 54, 44, 24};
// Heights of the parts along the strip.
constexpr double kMargin = 8;      // blank paper before or after the lines
constexpr double kBeyond = 44;     // what lies beyond the event
constexpr double kFeedLength = 40;
constexpr double kCutSpace = 10;   // the cut line's band

void Lines(Canvas& c, double top, double bottom, Rgba colour, int first_width) {
  int n = first_width;
  for (double y = top; y + kLineHeight <= bottom; y += kLinePitch, ++n) {
    const double width = kLineWidths[static_cast<std::size_t>(n) % kLineWidths.size()];
    c.FillRect(kTextLeft, y, kTextLeft + width, y + kLineHeight, colour);
  }
}

void Feed(Canvas& c, double top, double bottom) {
  c.FillRect(kPaperLeft + 1, top, kPaperRight - 1, bottom, kFeedShade);
  constexpr double x = (kPaperLeft + kPaperRight) / 2;
  c.Line({x, top + 4}, {x, bottom - 10}, 3, kFeed);
  c.FillPolygon({{x - 7, bottom - 12}, {x + 7, bottom - 12}, {x, bottom - 3}}, kFeed);
  c.Line({x - 10, top + 2}, {x + 10, top + 2}, 2, kFeed);
}

void Cut(Canvas& c, double y) {
  for (double x = kPaperLeft - 8; x < kPaperRight + 14; x += 9) c.FillRect(x, y - 1, x + 6, y + 1, kCut);
  // Scissors at the left, blades pointing along the line.
  c.FillArcBand(8, y - 6, 5, 2.6, 0, 360, kScissors);
  c.FillArcBand(8, y + 6, 5, 2.6, 0, 360, kScissors);
  c.Line({11, y - 3}, {25, y + 2}, 2.5, kScissors);
  c.Line({11, y + 3}, {25, y - 2}, 2.5, kScissors);
}

}  // namespace

Image DrawReceiptPicture(const ReceiptPicture& p) {
  Canvas c(kPictureWidth, kPictureHeight, kPictureWidth, kPictureHeight);
  c.Fill(kBackground);
  c.FillRect(kPaperLeft - 1, 0, kPaperRight + 1, kPictureHeight, kPaperEdge);
  c.FillRect(kPaperLeft, 0, kPaperRight, kPictureHeight, kPaper);

  // The marks in paper order, top (what leaves the printer first) down.
  const double marks = (p.feed ? kFeedLength : 0) + (p.cut ? kCutSpace : 0);
  const bool shown_beyond = p.beyond != Beyond::kNothing;
  if (p.edge == Edge::kStart) {
    // Beyond, then feed and cut, then the printed lines.
    double y = shown_beyond ? kBeyond : 0;
    if (p.beyond == Beyond::kOtherPage) Lines(c, kMargin, kBeyond - kMargin, kOtherText, 3);
    if (p.feed) Feed(c, y, y + kFeedLength), y += kFeedLength;
    if (p.cut) Cut(c, y + kCutSpace / 2), y += kCutSpace;
    Lines(c, y + kMargin, kPictureHeight, kText, 0);
  } else {
    // The printed lines, then feed and cut, then beyond.
    double y = kPictureHeight - (shown_beyond ? kBeyond : 0) - marks;
    Lines(c, kMargin, y - kMargin, kText, 0);
    if (p.feed) Feed(c, y, y + kFeedLength), y += kFeedLength;
    if (p.cut) Cut(c, y + kCutSpace / 2), y += kCutSpace;
    if (p.beyond == Beyond::kOtherPage) Lines(c, y + kMargin, kPictureHeight, kOtherText, 2);
  }
  return c.Finish();
}

}  // namespace kit::iconart
