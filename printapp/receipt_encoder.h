// A print job as the family's printer takes it: the pages of dots a
// renderer produces, line by line, become raster blocks between the
// operations of the job's four events.
//
// Lines are 1 bit a dot, the leftmost dot in the high bit, a 1 bit a printed
// dot (the layout of a one-bit black raster page). A page wider than the
// model's line is the paper with its margins: its middle is printed. Blank
// rows travel as paper feeds; on a roll the blank rows before a page's first
// printed row and after its last are dropped, so a receipt starts where its
// print starts and ends where it ends (a PDF laid out in the middle of a
// long page prints from its first dot). A label model keeps a page's
// leading blank rows: there they place the print on the label. The bytes collect until
// the caller takes them, so a long page never waits whole in memory.
//
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "print/encoder/raster_packer.h"
#include "print/model/model_table.h"
#include "printapp/job_options.h"

namespace kit::printapp {

using Bytes = std::vector<std::uint8_t>;

enum class PageCheck {
  kOk,
  kEmpty,    // no dots across or down
  kTooLong,  // longer than the model's longest roll
};

class ReceiptEncoder {
 public:
  ReceiptEncoder(const print::model::Model& model, const JobEvents& events);

  void StartJob();
  // A page `width` dots across and `height` rows down at the model's
  // resolution. Nothing is written for a page that fails the check.
  PageCheck StartPage(unsigned width, unsigned height);
  // One row of the page; bytes beyond the page's width are ignored, a short
  // row is blank where it has no bytes.
  void AddLine(std::span<const std::uint8_t> line);
  void EndPage();
  void EndJob();

  // The bytes made since the last call; the encoder forgets them.
  Bytes TakeBytes();
  std::size_t pending_bytes() const { return out_.size(); }

 private:
  const print::model::Model& model_;
  JobEvents events_;
  Bytes out_;
  std::unique_ptr<print::encoder::RasterPacker> packer_;
  std::vector<std::uint8_t> row_;  // one row cut to the model's line
  unsigned page_width_ = 0;
  unsigned offset_ = 0;  // dots of the page's left margin left out
};

// The longest page the model prints, in rows of its resolution.
unsigned MaxPageRows(const print::model::Model& model);

}  // namespace kit::printapp
