// A raster stream's page header is checked before PAPPL reads the page
// (raster_guard.cpp): a page longer than any roll ends the job at once.
#pragma once

#include <string>

namespace kit::printapp {

// Why this thread's last raster page header was refused, once; empty when
// none was. PAPPL takes a refused header after the first page for the end
// of the stream: the job's end asks this so as not to call it complete.
std::string TakeRasterRefusal();

}  // namespace kit::printapp
