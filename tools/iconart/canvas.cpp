// This file is OS-independent.
#include "tools/iconart/canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kit::iconart {
namespace {

// Samples per pixel along each axis: 4 x 4 gives 17 levels of coverage,
// smooth enough for edges at 16 x 16.
constexpr int kSamples = 4;
constexpr double kDegreesToRadians = std::numbers::pi / 180.0;

// Winding number of `p` around the closed polygon.
int Winding(const std::vector<Point>& poly, Point p) {
  int winding = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    const Point a = poly[i];
    const Point b = poly[(i + 1) % poly.size()];
    const double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
    if (a.y <= p.y) {
      if (b.y > p.y && side > 0) ++winding;
    } else if (b.y <= p.y && side < 0) {
      --winding;
    }
  }
  return winding;
}

}  // namespace

Canvas::Canvas(int width, int height, double design_width, double design_height)
    : width_(width),
      height_(height),
      scale_x_(width / design_width),
      scale_y_(height / design_height),
      r_(static_cast<std::size_t>(width) * height),
      g_(r_.size()),
      b_(r_.size()),
      a_(r_.size()) {}

// Covers the pixels of the design-unit box (x0, y0)-(x1, y1) with `colour`
// wherever `inside(x, y)` holds for a sample, in pixel coordinates.
template <typename Inside>
void Canvas::Cover(double x0, double y0, double x1, double y1, Rgba colour, Inside inside) {
  const int px0 = std::max(0, static_cast<int>(std::floor(std::min(x0, x1) * scale_x_)) - 1);
  const int py0 = std::max(0, static_cast<int>(std::floor(std::min(y0, y1) * scale_y_)) - 1);
  const int px1 = std::min(width_, static_cast<int>(std::ceil(std::max(x0, x1) * scale_x_)) + 1);
  const int py1 = std::min(height_, static_cast<int>(std::ceil(std::max(y0, y1) * scale_y_)) + 1);
  const float alpha = colour.a / 255.0f;
  for (int y = py0; y < py1; ++y) {
    for (int x = px0; x < px1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
          if (inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
      if (hits == 0) continue;
      const float a = alpha * static_cast<float>(hits) / (kSamples * kSamples);
      const std::size_t i = static_cast<std::size_t>(y) * width_ + x;
      r_[i] = colour.r / 255.0f * a + r_[i] * (1 - a);
      g_[i] = colour.g / 255.0f * a + g_[i] * (1 - a);
      b_[i] = colour.b / 255.0f * a + b_[i] * (1 - a);
      a_[i] = a + a_[i] * (1 - a);
    }
  }
}

void Canvas::Fill(Rgba colour) {
  const float a = colour.a / 255.0f;
  std::fill(r_.begin(), r_.end(), colour.r / 255.0f * a);
  std::fill(g_.begin(), g_.end(), colour.g / 255.0f * a);
  std::fill(b_.begin(), b_.end(), colour.b / 255.0f * a);
  std::fill(a_.begin(), a_.end(), a);
}

void Canvas::FillRect(double x0, double y0, double x1, double y1, Rgba colour) {
  const double sx = scale_x_, sy = scale_y_;
  Cover(x0, y0, x1, y1, colour,
        [=](double x, double y) { return x >= x0 * sx && x < x1 * sx && y >= y0 * sy && y < y1 * sy; });
}

void Canvas::FillRoundRect(double x0, double y0, double x1, double y1, double radius, Rgba colour) {
  const double sx = scale_x_, sy = scale_y_;
  Cover(x0, y0, x1, y1, colour, [=](double px, double py) {
    const double x = px / sx, y = py / sy;
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
    // Distance into the nearest corner's square, if any.
    const double dx = x < x0 + radius ? x0 + radius - x : (x > x1 - radius ? x - (x1 - radius) : 0);
    const double dy = y < y0 + radius ? y0 + radius - y : (y > y1 - radius ? y - (y1 - radius) : 0);
    return dx * dx + dy * dy <= radius * radius;
  });
}

void Canvas::FillEllipse(double cx, double cy, double rx, double ry, Rgba colour) {
  const double sx = scale_x_, sy = scale_y_;
  Cover(cx - rx, cy - ry, cx + rx, cy + ry, colour, [=](double px, double py) {
    const double dx = (px / sx - cx) / rx, dy = (py / sy - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
  });
}

void Canvas::FillPolygon(const std::vector<Point>& points, Rgba colour) {
  if (points.size() < 3) return;
  double x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
  std::vector<Point> pixels;
  for (const Point& p : points) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    pixels.push_back({p.x * scale_x_, p.y * scale_y_});
  }
  Cover(x0, y0, x1, y1, colour, [&](double x, double y) { return Winding(pixels, {x, y}) != 0; });
}

void Canvas::Line(Point from, Point to, double width, Rgba colour) {
  const double length = std::hypot(to.x - from.x, to.y - from.y);
  if (length == 0) return;
  // At least one pixel wide, measured in design units.
  const double half = std::max(width, 1.0 / std::min(scale_x_, scale_y_)) / 2;
  const double ux = (to.x - from.x) / length * half, uy = (to.y - from.y) / length * half;
  FillPolygon({{from.x - ux - uy, from.y - uy + ux},
               {to.x + ux - uy, to.y + uy + ux},
               {to.x + ux + uy, to.y + uy - ux},
               {from.x - ux + uy, from.y - uy - ux}},
              colour);
}

void Canvas::FillArcBand(double cx, double cy, double outer, double inner, double from_degrees, double to_degrees,
                         Rgba colour) {
  const double sx = scale_x_, sy = scale_y_;
  const double span = std::fmod(std::fmod(to_degrees - from_degrees, 360.0) + 360.0, 360.0);
  Cover(cx - outer, cy - outer, cx + outer, cy + outer, colour, [=](double px, double py) {
    const double dx = px / sx - cx, dy = py / sy - cy;
    const double d2 = dx * dx + dy * dy;
    if (d2 > outer * outer || d2 < inner * inner) return false;
    const double angle = std::atan2(dy, dx) / kDegreesToRadians;
    return std::fmod(std::fmod(angle - from_degrees, 360.0) + 360.0, 360.0) <= span;
  });
}

Image Canvas::Finish() const {
  Image image{width_, height_, std::vector<Rgba>(r_.size(), Rgba{0, 0, 0, 0})};
  const auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
  for (std::size_t i = 0; i < r_.size(); ++i) {
    const float a = a_[i];
    if (a <= 0) continue;  // stays transparent black
    image.pixels[i] = {byte(r_[i] / a), byte(g_[i] / a), byte(b_[i] / a), byte(a)};
  }
  return image;
}

}  // namespace kit::iconart
