// The virtual receipt printer: draws a job's bytes as the family's receipt
// model would print them, on a picture of its paper roll (one pixel per dot),
// and says what it drew. It keeps the logos a job defines (the printer's
// memory) across jobs, and can save and load that memory as the define-logos
// command that fills it. Every other setting starts afresh with each job.
//
// No input makes it read past the job, draw past the roll or run longer than
// the longest receipt: commands it does not know become hex notes in the
// margin, and drawing stops where the longest paper ends. Notes use no
// paper: they stand beside what was printed (job_paper.cpp).
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <vector>

#include "tools/kvjob/receipt_picture.h"

namespace kit::tools {

class PrinterFonts;

// A logo in the printer's memory, as a define-logos command carried it.
struct StoredLogo {
  std::size_t x = 0;  // bytes across (8 dots each)
  std::size_t y = 0;  // groups of 8 dots down
  std::vector<std::uint8_t> data;  // column by column, top dot in the high bit
  bool Dot(std::size_t column, std::size_t row) const {
    return ((data[column * y + row / 8] >> (7 - row % 8)) & 1) != 0;
  }
};

// The most things one rendering lists; a job that draws or notes more (a
// zero-height logo printed a million times uses no paper) gets one more
// record, {"what": "not listed", "count": N}.
inline constexpr std::size_t kMaxRecords = 10000;

struct Rendering {
  ReceiptPicture picture;
  nlohmann::json drawn = nlohmann::json::array();  // one object per thing drawn or noted
  bool paper_end = false;  // the job ran past the longest receipt
};

class VirtualPrinter {
 public:
  // A printer of the receipt Q40's roll, or of another model's (RollOf).
  explicit VirtualPrinter(const paper::Roll& roll = {});
  ~VirtualPrinter();
  VirtualPrinter(const VirtualPrinter&) = delete;
  VirtualPrinter& operator=(const VirtualPrinter&) = delete;

  // Draws the job; `closing_note`, when given, is noted in the margin after
  // it (and listed), as a listening printer says it cut a job short.
  Rendering Render(std::span<const std::uint8_t> job, const std::string& closing_note = {});

  const std::vector<StoredLogo>& logos() const { return logos_; }
  // The memory as the command that fills it: 1C 71 n, the logos, 0A (or
  // 1C 71 00 00 0A when it holds none).
  std::vector<std::uint8_t> SaveMemory() const;
  // Fills the memory from such a command; false (memory unchanged) when the
  // bytes are not one.
  bool LoadMemory(std::span<const std::uint8_t> bytes);

 private:
  friend class JobRenderer;
  paper::Roll roll_;
  std::unique_ptr<PrinterFonts> fonts_;
  std::vector<StoredLogo> logos_;
};

// The JSON of a rendering: the paper's figures and what was drawn.
nlohmann::json DescribeRendering(const Rendering& rendering);

}  // namespace kit::tools
