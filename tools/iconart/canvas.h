// A small anti-aliased painter for the kit's artwork: filled shapes in
// design units, each pixel covered by a grid of samples, composited over
// what is already drawn. Icons start transparent, pictures on a background.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <vector>

namespace kit::iconart {

// A colour with straight (not premultiplied) alpha.
struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

struct Point {
  double x = 0;
  double y = 0;
};

// Pixels of a finished image, top row first, straight alpha.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;
  const Rgba& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

class Canvas {
 public:
  // A transparent canvas of `width` x `height` pixels onto which a design
  // of `design_width` x `design_height` units is scaled.
  Canvas(int width, int height, double design_width, double design_height);

  double Scale() const { return scale_x_; }
  void Fill(Rgba colour);
  void FillRect(double x0, double y0, double x1, double y1, Rgba colour);
  void FillRoundRect(double x0, double y0, double x1, double y1, double radius, Rgba colour);
  void FillEllipse(double cx, double cy, double rx, double ry, Rgba colour);
  // Nonzero winding rule.
  void FillPolygon(const std::vector<Point>& points, Rgba colour);
  // A straight stroke with square ends; never thinner than one pixel, so
  // that small sizes keep every line.
  void Line(Point from, Point to, double width, Rgba colour);
  // The band between two radii from angle `from_degrees` clockwise to
  // `to_degrees` (0 is east; y grows downwards).
  void FillArcBand(double cx, double cy, double outer, double inner, double from_degrees, double to_degrees,
                   Rgba colour);

  Image Finish() const;

 private:
  template <typename Inside>
  void Cover(double x0, double y0, double x1, double y1, Rgba colour, Inside inside);

  int width_, height_;
  double scale_x_, scale_y_;
  // Premultiplied channels, 0..1.
  std::vector<float> r_, g_, b_, a_;
};

}  // namespace kit::iconart
