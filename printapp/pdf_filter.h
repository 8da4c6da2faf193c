// PDF documents for the family's printers, through the system's own PDF
// renderer: poppler's pdftoppm draws each page in grey at the printer's
// resolution and as wide as the printer's line, and the pages go through
// the same raster callbacks as PWG raster. A document pdftoppm cannot read
// ends the job with an error; the server goes on with the next job.
#pragma once

#include <pappl/pappl.h>

namespace kit::printapp {

// pdftoppm, found on PATH.
inline constexpr char kPdfRenderer[] = "pdftoppm";

// Registers the filter from application/pdf for every printer.
void AddPdfFilter(pappl_system_t* system);

}  // namespace kit::printapp
