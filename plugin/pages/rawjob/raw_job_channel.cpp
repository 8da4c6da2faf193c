// This file is OS-independent.
#include "plugin/pages/rawjob/raw_job_channel.h"

#include <limits>

namespace kit::plugin::rawjob {

JobResult SendRawJob(Printer& printer, const RawJob& job) {
  JobResult result;
  // WritePrinter takes a 32-bit count and a piece is never split: a piece
  // that cannot go in one call fails the job before anything is sent.
  for (const Piece& piece : job.pieces)
    if (piece.size() > std::numeric_limits<std::uint32_t>::max()) return result;

  DocInfo1 doc;
  doc.doc_name = job.name;
  doc.datatype = kRawDatatype;
  if (printer.StartDocPrinter(doc) == 0) return result;
  if (!printer.StartPagePrinter()) {
    printer.EndDocPrinter();
    return result;
  }
  bool ok = true;
  for (const Piece& piece : job.pieces) {
    const auto size = static_cast<std::uint32_t>(piece.size());
    std::uint32_t written = 0;
    const bool taken = printer.WritePrinter(piece.data(), size, &written);
    result.written += taken ? written : 0;
    // A write that takes fewer bytes than asked failed as surely as one
    // that reports failure: the printer would get a cut command.
    if (!taken || written != size) {
      ok = false;
      break;
    }
  }
  ok = printer.EndPagePrinter() && ok;
  ok = printer.EndDocPrinter() && ok;
  result.ok = ok;
  return result;
}

JobResult SendRawJob(const sheets::PageContext& context, const RawJob& job) {
  PrinterHandle printer = context.UsePrinter();
  if (!printer) return {};
  return SendRawJob(*printer, job);
}

}  // namespace kit::plugin::rawjob
