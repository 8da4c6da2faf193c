// PNG and JPEG pictures on a family printer: measured before they are
// decoded (a picture of more than kMaxPictureDots is refused with the
// reason), decoded to grey and printed at the top of the paper at their
// size, one picture dot a printer dot, centred across the line and scaled
// down only when wider than it. The page is as long as the picture: no
// blank paper above or below it (PAPPL's own filter centres a picture on
// the 297 mm default roll).
#pragma once

#include <pappl/pappl.h>

namespace kit::printapp {

// The most dots a picture may have: 16 million (4096 x 4096), 16 MiB of
// grey once decoded. An 80 mm receipt line is 640 dots; a phone's photo fits.
inline constexpr unsigned long long kMaxPictureDots = 4096ULL * 4096ULL;

// Adds the filters; they come before PAPPL's own for these formats.
void AddPictureFilters(pappl_system_t* system);

}  // namespace kit::printapp
