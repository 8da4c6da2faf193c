// A raster stream's page header is checked before PAPPL reads the page.
//
// PAPPL 1.3 reads every row a PWG or Apple raster page header claims from
// the client, even beyond the job's paper (it prints the paper's length
// and drops the rest), waiting up to a minute for each row that does not
// come. A header claiming 30,000 rows of a 4 m roll, or four billion, so
// held the printer for minutes or for good while every other raster job
// was told "busy". This definition comes before libcups' own for PAPPL's
// calls: a page no family printer could print (longer than the longest
// roll of any model, or without a resolution) fails its header read, and
// PAPPL aborts the job at once ("Unable to read page from raster stream").
// Every other header is libcups' unchanged.
#include <dlfcn.h>

#include <cups/raster.h>

#include <algorithm>
#include <cstdio>

#include "print/model/model_table.h"
#include "printapp/raster_guard.h"

namespace {

constexpr double kTenthsMmPerInch = 254.0;

// PAPPL reads a stream's pages and calls the driver in the client's thread.
thread_local std::string t_refusal;

// The longest page of any model, in tenths of a millimetre.
int LongestPage() {
  static const int longest = [] {
    int most = 0;
    for (const kit::print::model::Model& m : kit::print::model::Models()) most = std::max(most, m.max_length_tenths_mm);
    return most;
  }();
  return longest;
}

}  // namespace

extern "C" unsigned cupsRasterReadHeader2(cups_raster_t* ras, cups_page_header2_t* header) {
  using Read = unsigned (*)(cups_raster_t*, cups_page_header2_t*);
  static const auto real = reinterpret_cast<Read>(dlsym(RTLD_NEXT, "cupsRasterReadHeader2"));
  if (!real || !real(ras, header)) return 0;
  const unsigned resolution = header->HWResolution[1];
  const double length = resolution ? header->cupsHeight * kTenthsMmPerInch / resolution : 0;
  if (resolution == 0 || length > LongestPage()) {
    char reason[160];
    std::snprintf(reason, sizeof reason, "A raster page of %u rows at %u dpi (%.0f mm) is longer than any roll.",
                  header->cupsHeight, resolution, length / 10);
    std::fprintf(stderr, "kvprinter: %s\n", reason);
    t_refusal = reason;
    return 0;
  }
  return 1;
}

namespace kit::printapp {

std::string TakeRasterRefusal() {
  std::string refusal;
  refusal.swap(t_refusal);
  return refusal;
}

}  // namespace kit::printapp
