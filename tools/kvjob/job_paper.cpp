// This file is OS-independent.
#include "tools/kvjob/job_renderer.h"

#include <algorithm>
#include <cstdio>

namespace kit::tools {

std::string JobRenderer::Hex(std::span<const std::uint8_t> bytes) {
  std::string out;
  char buf[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, out.empty() ? "%02X" : " %02X", b);
    out += buf;
  }
  return out;
}

void JobRenderer::Grow(int rows) {
  if (rows > paper::kMaxLengthDots) out_.paper_end = true;
  out_.picture.Grow(rows);
}
void JobRenderer::Feed(int dots) {
  y_ += std::max(dots, 0);
  if (y_ >= paper::kMaxLengthDots) {
    y_ = paper::kMaxLengthDots;
    out_.paper_end = true;
  }
  Grow(y_);
}

// What was drawn, up to kMaxRecords; then one record says how many more.
void JobRenderer::Record(nlohmann::json item) {
  if (out_.drawn.size() < kMaxRecords) return out_.drawn.push_back(std::move(item));
  if (out_.drawn.size() == kMaxRecords) out_.drawn.push_back({{"what", "not listed"}, {"count", 0}});
  out_.drawn.back()["count"] = out_.drawn.back()["count"].get<std::size_t>() + 1;
}

// A note in the margin at the paper's current row, below earlier notes.
// Notes never use paper: they run at most kNoteRunAheadDots below the paper
// the job has used, and never past the longest paper, so a job of nothing
// but notes neither grows the receipt nor ends its paper. Where the margin
// beside the paper is full, one line says so and later notes wait for the
// paper to move on; every note is still listed (--json).
void JobRenderer::Note(const std::string& text, bool closing) {
  constexpr std::size_t kPerLine = paper::kMarginDots / paper::kFontB.width - 1;
  constexpr int kLine = paper::kFontB.height;
  for (std::size_t at = 0; at < text.size() && !out_.paper_end;) {
    // Lines break at a space when there is one; a word longer than a line
    // breaks where the line ends.
    std::size_t count = std::min(kPerLine, text.size() - at);
    if (at + count < text.size()) {
      const std::size_t space = text.rfind(' ', at + count);
      if (space != std::string::npos && space > at) count = space - at + 1;
    }
    const std::string part = text.substr(at, count);
    at += count;
    const int y = std::max(y_, margin_y_);
    const int room = std::min(closing ? paper::kMaxLengthDots : y_ + kNoteRunAheadDots, paper::kMaxLengthDots) - y;
    if (room >= 2 * kLine || (closing && room >= kLine)) {  // one line kept for the line that says the margin is full
      NoteLine(y, part);
      notes_held_ = false;
    } else if (room >= kLine && !notes_held_) {
      NoteLine(y, kNotesHeld);
      notes_held_ = true;
    }
  }
}

void JobRenderer::NoteLine(int y, const std::string& line) {
  out_.picture.Grow(y + paper::kFontB.height);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const Glyph& g = printer_.fonts_->Of(1, static_cast<unsigned char>(line[i]));
    const int x0 = printer_.roll_.MarginLeft() + paper::kFontB.width / 2 + static_cast<int>(i) * g.width;
    for (int gy = 0; gy < g.height; ++gy) {
      for (int gx = 0; gx < g.width; ++gx) {
        if (g.dots[gy * g.width + gx] != 0) out_.picture.Pixel(x0 + gx, y + gy, kNoteInk);
      }
    }
  }
  margin_y_ = y + paper::kFontB.height;
}

void JobRenderer::FlushUnknown() {
  if (unknown_.empty()) return;
  Record({{"what", "unknown"}, {"y", y_}, {"bytes", Hex(unknown_)}});
  for (std::size_t i = 0; i < unknown_.size() && !out_.paper_end; i += kNoteHexPerLine) {
    const std::size_t count = std::min(kNoteHexPerLine, unknown_.size() - i);
    Note("? " + Hex(std::span<const std::uint8_t>(unknown_).subspan(i, count)));
  }
  unknown_.clear();
}

void JobRenderer::Cut(const Command& c) {
  if (!line_.empty()) PrintLine();
  if (c.bytes.size() == 4) Feed(c.n2);
  const bool partial = IsPartialCut(c.n);
  Grow(y_ + 1);
  out_.picture.DashedLine(y_, kCutDash, partial);
  Record({{"what", "cut"}, {"y", y_}, {"kind", partial ? "partial" : "full"}});
  Note(partial ? "partial cut" : "full cut");
  Feed(kAfterCutDots);
}

}  // namespace kit::tools
