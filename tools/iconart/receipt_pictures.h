// The operation dialog's preview pictures: a strip of receipt paper showing
// where an event's feed and cut fall. A start event shows the paper before
// the printing begins (blank paper at the start of a document, the end of
// the previous page at the start of a page); an end event shows the paper
// after the printing ends (blank paper after the document, the start of the
// next page after a page). A feed shows as blank paper with a blue arrow, a
// cut as a red dashed line with scissors.
// This file is OS-independent.
#pragma once

#include "tools/iconart/canvas.h"

namespace kit::iconart {

// Pixel size of every preview picture: the dialog's picture frame
// (78 x 140 dialog units) at the usual 96-dpi dialog font.
inline constexpr int kPictureWidth = 117;
inline constexpr int kPictureHeight = 228;

enum class Edge { kStart, kEnd };
// What lies beyond the event: the document's blank paper, another page, or
// nothing shown (the picture without feed and cut serves both).
enum class Beyond { kBlankPaper, kOtherPage, kNothing };

struct ReceiptPicture {
  Edge edge = Edge::kStart;
  Beyond beyond = Beyond::kNothing;
  bool feed = false;
  bool cut = false;
};

Image DrawReceiptPicture(const ReceiptPicture& picture);

}  // namespace kit::iconart
