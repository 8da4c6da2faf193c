// This file is OS-independent.
#include "tools/iconart/glyphs.h"

#include <cmath>
#include <numbers>

namespace kit::iconart {
namespace {

constexpr Rgba kPrinterBody{60, 70, 80};
constexpr Rgba kPrinterTop{92, 104, 116};
constexpr Rgba kPrinterSlot{24, 28, 34};
constexpr Rgba kPaper{255, 255, 255};
constexpr Rgba kPaperEdge{130, 140, 150};
constexpr Rgba kPrintedLine{120, 128, 138};
constexpr Rgba kLamp{60, 200, 90};
constexpr Rgba kCarton{206, 150, 80};
constexpr Rgba kCartonDark{160, 108, 48};
constexpr Rgba kCartonFlap{226, 176, 110};
constexpr Rgba kGreen{40, 150, 70};
constexpr Rgba kWhite{255, 255, 255};
constexpr Rgba kBin{84, 118, 146};
constexpr Rgba kBinDark{58, 86, 110};
constexpr Rgba kBinRib{150, 178, 200};
constexpr Rgba kBlue{40, 110, 210};
constexpr Rgba kFolderBack{214, 160, 40};
constexpr Rgba kFolderFront{246, 196, 78};
constexpr Rgba kLetter{30, 76, 150};

// Placement of a glyph inside the design square: design point (u, v) of a
// 48-unit glyph lands at (x + u * s, y + v * s).
struct Place {
  double x = 0, y = 0, s = 1;
  double X(double u) const { return x + u * s; }
  double Y(double v) const { return y + v * s; }
  double L(double length) const { return length * s; }
  Point P(double u, double v) const { return {X(u), Y(v)}; }
};

void Printer(Canvas& c, Place p) {
  // The receipt coming out of the top, then the body over its lower end.
  c.FillRect(p.X(13), p.Y(3), p.X(35), p.Y(22), kPaperEdge);
  c.FillRect(p.X(15), p.Y(5), p.X(33), p.Y(22), kPaper);
  for (double v : {9.0, 14.0})
    c.Line(p.P(18, v), p.P(v == 9.0 ? 30 : 27, v), p.L(2.5), kPrintedLine);
  c.FillRoundRect(p.X(4), p.Y(18), p.X(44), p.Y(42), p.L(5), kPrinterBody);
  c.FillRoundRect(p.X(6), p.Y(20), p.X(42), p.Y(29), p.L(3), kPrinterTop);
  c.FillRect(p.X(11), p.Y(21.5), p.X(37), p.Y(25), kPrinterSlot);
  c.FillEllipse(p.X(36), p.Y(35), p.L(2.5), p.L(2.5), kLamp);
}

}  // namespace

void DrawPrinterIcon(Canvas& canvas) { Printer(canvas, {0, 2, 1}); }

void DrawSetupIcon(Canvas& c) {
  // Back flaps, the printer standing in the carton, the carton's front.
  c.FillPolygon({{4, 24}, {14, 14}, {22, 24}}, kCartonDark);
  c.FillPolygon({{26, 24}, {34, 14}, {44, 24}}, kCartonDark);
  Printer(c, {6, -2, 0.75});
  c.FillRect(4, 26, 44, 46, kCarton);
  c.FillRect(4, 26, 44, 29, kCartonDark);
  c.FillPolygon({{4, 26}, {0, 36}, {8, 36}, {12, 26}}, kCartonFlap);
  c.FillPolygon({{44, 26}, {48, 36}, {40, 36}, {36, 26}}, kCartonFlap);
  c.FillRect(20, 33, 28, 46, kCartonDark);  // tape
}

void DrawInstallerIcon(Canvas& c) {
  Printer(c, {0, 0, 0.9});
  // A green disc with a white arrow pointing down.
  c.FillEllipse(35, 35, 12.5, 12.5, kWhite);
  c.FillEllipse(35, 35, 11, 11, kGreen);
  c.FillRect(32, 26, 38, 35, kWhite);
  c.FillPolygon({{27, 34}, {43, 34}, {35, 43}}, kWhite);
}

void DrawUninstallIcon(Canvas& c) {
  c.Line({19, 11}, {19, 5}, 3, kBinDark);  // handle
  c.Line({18, 5}, {30, 5}, 3, kBinDark);
  c.Line({29, 5}, {29, 11}, 3, kBinDark);
  c.FillRoundRect(6, 9, 42, 16, 2.5, kBinDark);  // lid
  c.FillPolygon({{10, 17}, {38, 17}, {35, 45}, {13, 45}}, kBin);
  for (double u : {17.5, 24.0, 30.5}) c.Line({u, 21}, {u, 40}, 3, kBinRib);
}

void DrawRestartIcon(Canvas& c) {
  // A ring open at the top with its arrow head pointing into the gap.
  constexpr double kCentre = 24, kOuter = 20, kInner = 13, kEnd = 240;
  c.FillArcBand(kCentre, kCentre + 1, kOuter, kInner, 300, kEnd, kBlue);
  const double a = kEnd * std::numbers::pi / 180;
  const double middle = (kOuter + kInner) / 2, half = (kOuter - kInner) / 2 + 5;
  const Point at{kCentre + middle * std::cos(a), kCentre + 1 + middle * std::sin(a)};
  const Point out{std::cos(a), std::sin(a)};      // away from the centre
  const Point ahead{-std::sin(a), std::cos(a)};   // clockwise along the ring
  c.FillPolygon({{at.x + out.x * half, at.y + out.y * half},
                 {at.x + ahead.x * 11, at.y + ahead.y * 11},
                 {at.x - out.x * half, at.y - out.y * half}},
                kBlue);
}

void DrawFolderIcon(Canvas& c) {
  c.FillRoundRect(3, 8, 22, 18, 3, kFolderBack);  // tab
  c.FillRoundRect(3, 12, 45, 42, 3, kFolderBack);
  c.FillPolygon({{8, 20}, {48, 20}, {43, 42}, {3, 42}}, kFolderFront);
}

void DrawFontIcon(Canvas& c) {
  c.FillRect(7, 2, 41, 46, kPaperEdge);
  c.FillRect(9, 4, 39, 44, kPaper);
  c.Line({11, 41}, {24, 7}, 6, kLetter);
  c.Line({24, 7}, {37, 41}, 6, kLetter);
  c.Line({16, 30}, {32, 30}, 5, kLetter);
}

}  // namespace kit::iconart
