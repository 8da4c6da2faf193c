#include "printapp/job_queue.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <cups/raster.h>

#include "printapp/driver.h"
#include "printapp/raster_job.h"

namespace kit::printapp {
namespace {

constexpr char kPwgRasterFormat[] = "image/pwg-raster";
constexpr char kAppleRasterFormat[] = "image/urf";
constexpr std::size_t kSpoolChunk = 64 * 1024;
// How long a check for jobs waits for the job it started to begin, and how
// often it looks (a job begins within a millisecond or so; the bound only
// keeps a lost start from holding the next check for long).
constexpr std::chrono::seconds kJobStartWait{2};
constexpr std::chrono::milliseconds kJobStartPoll{1};
constexpr unsigned kOneBit = 1;
constexpr unsigned kGreyBits = 8;
constexpr unsigned kBitsPerByte = 8;
constexpr unsigned char kFullWhite = 255;

bool IsGrey(cups_cspace_t space) {
  return space == CUPS_CSPACE_K || space == CUPS_CSPACE_W || space == CUPS_CSPACE_SW;
}

// One page of the spooled stream through the driver's raster callbacks:
// 8-bit grey dithered as PAPPL does for a stream, one-bit rows taken as
// they are (white-is-one rows inverted).
bool PrintPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, cups_raster_t* raster,
               const cups_page_header2_t& page, unsigned number) {
  if (!IsGrey(page.cupsColorSpace) || (page.cupsBitsPerPixel != kOneBit && page.cupsBitsPerPixel != kGreyBits)) {
    papplJobSetMessage(job, "The page came with %u bits a dot in colour space %u; the printer takes grey.",
                       page.cupsBitsPerPixel, static_cast<unsigned>(page.cupsColorSpace));
    return false;
  }
  options->header = page;
  options->header.cupsBitsPerColor = kOneBit;
  options->header.cupsBitsPerPixel = kOneBit;
  options->header.cupsColorSpace = CUPS_CSPACE_K;
  options->header.cupsBytesPerLine = (page.cupsWidth + kBitsPerByte - 1) / kBitsPerByte;
  if (!StartRasterPage(job, options, device, number) || JobFailed(job)) {
    EndRasterPage(job, options, device, number);
    return false;
  }
  const bool inverted = page.cupsColorSpace != CUPS_CSPACE_K;
  std::vector<unsigned char> row(page.cupsBytesPerLine), grey(page.cupsWidth),
      line(options->header.cupsBytesPerLine);
  bool ok = true;
  for (unsigned y = 0; ok && y < page.cupsHeight; ++y) {
    if (cupsRasterReadPixels(raster, row.data(), page.cupsBytesPerLine) != page.cupsBytesPerLine) break;
    if (page.cupsBitsPerPixel == kGreyBits) {
      for (unsigned x = 0; x < page.cupsWidth; ++x) grey[x] = inverted ? row[x] : kFullWhite - row[x];
      DitherRow(grey, y, options->dither, line);
    } else {
      for (std::size_t i = 0; i < line.size(); ++i) line[i] = inverted ? ~row[i] : row[i];
      if (const unsigned spare = line.size() * kBitsPerByte - page.cupsWidth) {
        line.back() &= static_cast<unsigned char>(0xFF << spare);  // no dots beyond the page's width
      }
    }
    ok = WriteRasterLine(job, options, device, y, line.data()) && !JobFailed(job);
  }
  // A page whose rows ended early fails here with the reason.
  ok = EndRasterPage(job, options, device, number) && ok;
  if (ok) papplJobSetImpressionsCompleted(job, 1);
  return ok;
}

// One copy of the spooled document: every page, until one fails or the
// job is cancelled; false when the file cannot be read as raster.
bool PrintCopy(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned& pages, bool& ok) {
  const int fd = open(papplJobGetFilename(job), O_RDONLY | O_CLOEXEC);
  cups_raster_t* raster = fd >= 0 ? cupsRasterOpen(fd, CUPS_RASTER_READ) : nullptr;
  if (!raster) {
    if (fd >= 0) close(fd);
    return false;
  }
  cups_page_header2_t page;
  while (ok && !papplJobIsCanceled(job) && cupsRasterReadHeader2(raster, &page)) {
    ok = PrintPage(job, options, device, raster, page, ++pages);
  }
  cupsRasterClose(raster);
  close(fd);
  return true;
}

// The spooled document, as many times as the job's copies: the raster a
// client sends holds one copy (the document again inside the one job, as
// the PDF filter prints copies).
bool FilterRasterFile(pappl_job_t* job, pappl_device_t* device, void* data) {
  (void)data;
  pappl_pr_options_t* options = papplJobCreatePrintOptions(job, 0, false);
  if (!options) return false;
  bool ok = StartRasterJob(job, options, device);
  unsigned pages = 0;
  for (int copy = 0; ok && copy < std::max(1, options->copies) && !papplJobIsCanceled(job); ++copy) {
    if (!PrintCopy(job, options, device, pages, ok)) {
      papplJobSetMessage(job, "The job's file cannot be read as raster.");
      ok = false;
    }
    if (pages == 0) break;  // nothing to print again
  }
  // A header refused by the raster guard is named by the job's end.
  ok = EndRasterJob(job, options, device) && ok;
  if (pages == 0 && papplJobGetMessage(job) == nullptr) papplJobSetMessage(job, "The raster data holds no page.");
  papplJobDeletePrintOptions(options);
  return ok && pages > 0;
}

// The document kept in the spool; false when the job's file cannot be made.
bool Spool(pappl_client_t* client, pappl_job_t* job, std::string& filename) {
  std::array<char, 1024> name{};
  const int fd = papplJobOpenFile(job, name.data(), name.size(), nullptr, nullptr, "w");
  if (fd < 0) {
    papplClientRespondIPP(client, IPP_STATUS_ERROR_INTERNAL, "Unable to create print file: %s", std::strerror(errno));
    return false;
  }
  filename = name.data();
  http_t* http = papplClientGetHTTP(client);
  std::vector<char> buffer(kSpoolChunk);
  ssize_t got;
  bool written = true;
  // A client that goes away early leaves the pages it sent: the filter
  // prints their rows and fails the job with the reason, as for a stream.
  while (written && (got = httpRead2(http, buffer.data(), buffer.size())) > 0) {
    written = write(fd, buffer.data(), static_cast<std::size_t>(got)) == got;
  }
  if (close(fd) != 0 || !written) {
    papplClientRespondIPP(client, IPP_STATUS_ERROR_INTERNAL, "Unable to write print file: %s", std::strerror(errno));
    unlink(filename.c_str());
    return false;
  }
  return true;
}

// The job PAPPL's next check would start: the first one waiting.
pappl_job_t* FirstPending(pappl_printer_t* printer) {
  pappl_job_t* found = nullptr;
  papplPrinterIterateActiveJobs(
      printer,
      [](pappl_job_t* job, void* data) {
        auto* first = static_cast<pappl_job_t**>(data);
        if (!*first && papplJobGetState(job) == IPP_JSTATE_PENDING) *first = job;
      },
      &found, 1, 0);
  return found;
}

}  // namespace

bool IsRasterFormat(const char* format) {
  return format && (std::strcmp(format, kPwgRasterFormat) == 0 || std::strcmp(format, kAppleRasterFormat) == 0);
}

void AddRasterFileFilters(pappl_system_t* system) {
  papplSystemAddMIMEFilter(system, kPwgRasterFormat, kRawFormat, FilterRasterFile, nullptr);
  papplSystemAddMIMEFilter(system, kAppleRasterFormat, kRawFormat, FilterRasterFile, nullptr);
}

}  // namespace kit::printapp

// PAPPL's library calls the two functions below by their exported names,
// so the program's own definitions come first; each calls the library's
// own one.
extern "C" void _papplJobSubmitFile(pappl_job_t* job, const char* filename);

// A document arrives: raster documents are spooled here, every other
// format by the library.
extern "C" void _papplJobCopyDocumentData(pappl_client_t* client, pappl_job_t* job) {
  using Copy = void (*)(pappl_client_t*, pappl_job_t*);
  static const auto library = reinterpret_cast<Copy>(dlsym(RTLD_NEXT, "_papplJobCopyDocumentData"));
  if (!kit::printapp::IsRasterFormat(papplJobGetFormat(job))) {
    library(client, job);
    return;
  }
  std::string filename;
  if (!kit::printapp::Spool(client, job, filename)) {
    papplJobCancel(job);  // ends the job that was made for the document
    return;
  }
  _papplJobSubmitFile(job, filename.c_str());
  // The answer PAPPL gives a document it spools: the job's id, URI and state.
  ipp_t* response = papplClientRespondIPP(client, IPP_STATUS_OK, nullptr);
  const char* printer_uri =
      ippGetString(ippFindAttribute(papplClientGetRequest(client), "printer-uri", IPP_TAG_URI), 0, nullptr);
  const std::string job_uri = std::string(printer_uri ? printer_uri : "") + "/" + std::to_string(papplJobGetID(job));
  ippAddString(response, IPP_TAG_JOB, IPP_TAG_URI, "job-uri", nullptr, job_uri.c_str());
  ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-id", papplJobGetID(job));
  const ipp_jstate_t state = papplJobGetState(job);
  ippAddString(response, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-state-reasons", nullptr,
               state == IPP_JSTATE_PROCESSING ? "job-printing"
               : state == IPP_JSTATE_COMPLETED ? "job-completed-successfully"
                                               : "none");
  ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state", state);
}

// One check at a time; after a check that started a job, the next waits
// until that job has left the waiting state (PAPPL marks the printer busy
// in the same step).
extern "C" void _papplPrinterCheckJobs(pappl_printer_t* printer) {
  using Check = void (*)(pappl_printer_t*);
  static const auto library = reinterpret_cast<Check>(dlsym(RTLD_NEXT, "_papplPrinterCheckJobs"));
  static std::mutex one_at_a_time;
  std::lock_guard<std::mutex> hold(one_at_a_time);
  // A busy or stopped printer starts nothing.
  const ipp_pstate_t state = papplPrinterGetState(printer);
  pappl_job_t* started = state == IPP_PSTATE_IDLE ? kit::printapp::FirstPending(printer) : nullptr;
  library(printer);
  const auto until = std::chrono::steady_clock::now() + kit::printapp::kJobStartWait;
  // The printer turning busy ends the wait too: the library started no
  // job when another was being started (not yet shown in the printer's state).
  // A job that has begun has its start time, also when a stop of the server
  // has sent it back to waiting at once.
  while (started && papplJobGetState(started) == IPP_JSTATE_PENDING && papplJobGetTimeProcessed(started) == 0 &&
         papplPrinterGetState(printer) == IPP_PSTATE_IDLE && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(kit::printapp::kJobStartPoll);
  }
}
