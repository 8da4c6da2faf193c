// The plug-in's one channel to the printer: a raw spooler job on the printer
// whose sheet is open, into which the pages' command pieces are written
// unchanged.
//
//   StartDocPrinter(DOC_INFO_1: job name, no output file, "RAW")
//     fails      -> nothing else;
//   StartPagePrinter
//     fails      -> EndDocPrinter;
//   one WritePrinter per piece, in order
//     fails, or takes fewer bytes than asked -> the remaining pieces are
//                   skipped;
//   EndPagePrinter, EndDocPrinter.
// No job is left open on any path. The job succeeds only when every call
// succeeded and every piece was taken whole. Nothing is shown to the user.
//
// The printer is the sheet's: the host's handle, borrowed and never closed;
// when this module's spooler does not know that handle (a host on another
// view of the spooler), the printer opened by the sheet's printer name for
// this one job and closed after it. No printer, no job.
//
// This file is OS-independent.
#pragma once

#include <array>
#include <cstdint>

#include "platform/spooler.h"
#include "plugin/core/sheets/page_context.h"
#include "print/rawjob/raw_job.h"

namespace kit::plugin::rawjob {

// The job record lives with the printer's commands; the pages name it here.
using print::rawjob::kRawDatatype;
using print::rawjob::MakePiece;
using print::rawjob::Piece;
using print::rawjob::RawJob;

struct JobResult {
  bool ok = false;
  std::uint64_t written = 0;  // bytes the spooler reported taken, all pieces
};

// Sends `job` on the sheet's printer.
JobResult SendRawJob(const sheets::PageContext& context, const RawJob& job);
// Sends `job` on an open printer (the pages go through the call above).
JobResult SendRawJob(Printer& printer, const RawJob& job);


}  // namespace kit::plugin::rawjob
