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
#include "plugin/pages/rawjob/raw_job.h"

namespace kit::plugin::rawjob {

struct JobResult {
  bool ok = false;
  std::uint64_t written = 0;  // bytes the spooler reported taken, all pieces
};

// Sends `job` on the sheet's printer.
JobResult SendRawJob(const sheets::PageContext& context, const RawJob& job);
// Sends `job` on an open printer (the pages go through the call above).
JobResult SendRawJob(Printer& printer, const RawJob& job);

// The printer's self-test page, between the brackets: 4, 7 and 4 bytes.
inline constexpr std::array<std::uint8_t, 7> kSelfTestCommand{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02};
RawJob SelfTestJob();

}  // namespace kit::plugin::rawjob
