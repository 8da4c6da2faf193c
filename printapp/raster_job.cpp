#include "printapp/raster_job.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "printapp/driver.h"
#include "printapp/raster_guard.h"
#include "printapp/receipt_encoder.h"

namespace kit::printapp {
namespace {

// Bytes collected before they go to the printer: a few raster blocks.
constexpr std::size_t kWriteChunk = 64 * 1024;
constexpr std::size_t kRawReadChunk = 64 * 1024;
constexpr double kTenthsMmPerInch = 254.0;
constexpr unsigned char kWhiteGrey = 255;
constexpr unsigned kDotsPerByte = 8;
constexpr int kDitherCells = 16;  // PAPPL's dither matrix: 16 x 16
// "Beep one" of the document sheet's buzzer list.
constexpr int kIdentifyBeeps = 1;
// A cancel is looked for once a band of this many rows: a cancelled job
// stops within a few millimetres of paper.
constexpr unsigned kCancelBandRows = 64;

// One job's state between PAPPL's callbacks.
struct RasterJob {
  explicit RasterJob(const print::model::Model& model, const JobEvents& events) : encoder(model, events) {}
  ReceiptEncoder encoder;
  bool printed_page = false;  // a page passed its check
  bool failed = false;
  unsigned rows = 0;          // rows of the current page handed over
};

RasterJob* JobOf(pappl_job_t* job) { return static_cast<RasterJob*>(papplJobGetData(job)); }

bool Write(pappl_job_t* job, pappl_device_t* device, const Bytes& bytes) {
  if (bytes.empty()) return true;
  if (papplDeviceWrite(device, bytes.data(), bytes.size()) < 0) {
    papplJobSetMessage(job, "The printer did not take the job's bytes.");
    return false;
  }
  return true;
}

bool Flush(pappl_job_t* job, pappl_device_t* device, RasterJob& state) {
  if (!Write(job, device, state.encoder.TakeBytes())) {
    state.failed = true;
    return false;
  }
  return true;
}

// The device's state as IPP printer-state-reasons, read only from ports
// that answer without a job of their own (a USB printer's port status): a
// network port would take the question for a connection.
bool UpdateStatus(pappl_printer_t* printer) {
  const char* uri = papplPrinterGetDeviceURI(printer);
  if (!uri || std::strncmp(uri, "usb:", 4) != 0) return true;
  pappl_device_t* device = papplPrinterOpenDevice(printer);
  if (!device) return true;  // printing: the job's own writes tell
  const pappl_preason_t reasons = papplDeviceGetStatus(device) & PAPPL_PREASON_DEVICE_STATUS;
  papplPrinterCloseDevice(printer);
  papplPrinterSetReasons(printer, reasons, PAPPL_PREASON_DEVICE_STATUS & ~reasons);
  return true;
}

// "Identify-Printer": one beep of the buzzer, when the printer is not busy
// printing (a job's bytes are never interleaved with others).
void Identify(pappl_printer_t* printer, pappl_identify_actions_t actions, const char* message) {
  (void)message;
  const print::model::Model* model = ModelOf(printer);
  if (!(actions & PAPPL_IDENTIFY_ACTIONS_SOUND) || !model || !model->Takes(print::model::kBuzzer)) return;
  pappl_device_t* device = papplPrinterOpenDevice(printer);
  if (!device) return;
  Bytes beep;
  print::encoder::AppendBuzzer(beep, kIdentifyBeeps);
  papplDeviceWrite(device, beep.data(), beep.size());
  papplPrinterCloseDevice(printer);
}

// A job in the printer's own bytes: sent unchanged.
bool PrintRawFile(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device) {
  (void)options;
  const int fd = open(papplJobGetFilename(job), O_RDONLY);
  if (fd < 0) {
    papplJobSetMessage(job, "The job's file cannot be read.");
    return false;
  }
  std::array<unsigned char, kRawReadChunk> buffer;
  bool ok = true;
  ssize_t got;
  while (ok && (got = read(fd, buffer.data(), buffer.size())) > 0) {
    ok = papplDeviceWrite(device, buffer.data(), static_cast<std::size_t>(got)) >= 0;
  }
  close(fd);
  if (!ok) papplJobSetMessage(job, "The printer did not take the job's bytes.");
  return ok;
}

}  // namespace

JobOptions JobOptionsOf(pappl_job_t* job, const pappl_pr_options_t* options) {
  // The job's own value first, then the printer's default (the Printing
  // Defaults page, Set-Printer-Attributes): PAPPL 1.3 hands a job only the
  // values it came with, so a job through CUPS's driverless queue, which
  // sends none, took the built-in defaults.
  pappl_printer_t* printer = papplJobGetPrinter(job);
  std::unique_ptr<ipp_t, void (*)(ipp_t*)> defaults(printer ? papplPrinterGetDriverAttributes(printer) : nullptr,
                                                    ippDelete);
  const OptionLookup lookup = [options, &defaults](std::string_view name) -> std::optional<std::string> {
    const std::string key(name);
    if (const char* value = cupsGetOption(key.c_str(), options->num_vendor, options->vendor)) return value;
    const std::string default_name = key + "-default";
    ipp_attribute_t* attr = defaults ? ippFindAttribute(defaults.get(), default_name.c_str(), IPP_TAG_ZERO) : nullptr;
    const char* value = attr ? ippGetString(attr, 0, nullptr) : nullptr;
    if (!value) return std::nullopt;
    return std::string(value);
  };
  return ParseJobOptions(lookup, (options->finishings & PAPPL_FINISHINGS_TRIM) != 0);
}

bool StartRasterJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device) {
  (void)device;
  TakeRasterRefusal();  // none left over from this thread's last job
  const print::model::Model* model = ModelOf(papplJobGetPrinter(job));
  if (!model) {
    papplJobSetMessage(job, "The printer has no model of the family.");
    return false;
  }
  auto state = std::make_unique<RasterJob>(*model, EventsOf(JobOptionsOf(job, options)));
  // The job's opening operations wait for its first page: a job refused at
  // its first page leaves the printer untouched.
  state->encoder.StartJob();
  papplJobSetData(job, state.release());
  return true;
}

bool StartRasterPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page) {
  (void)page;
  RasterJob* state = JobOf(job);
  if (!state) return false;
  // A page the printer cannot take fails its job at the page's end: PAPPL
  // 1.3 ends a job whose page start failed as completed, and one whose page
  // end failed as aborted. Its rows are read and dropped.
  if (state->failed) return true;
  const cups_page_header2_t& header = options->header;
  if (header.cupsBitsPerPixel != 1) {
    papplJobSetMessage(job, "The page came with %u bits a dot; the printer takes 1.", header.cupsBitsPerPixel);
    state->failed = true;
    return true;
  }
  switch (state->encoder.StartPage(header.cupsWidth, header.cupsHeight)) {
    case PageCheck::kOk:
      state->printed_page = true;
      state->rows = 0;
      Flush(job, device, *state);  // a failure fails the page at its end
      return true;
    case PageCheck::kEmpty:
      papplJobSetMessage(job, "The page has no dots.");
      break;
    case PageCheck::kTooLong: {
      const double resolution = header.HWResolution[1] > 0 ? header.HWResolution[1] : 1;
      papplJobSetMessage(job, "The page is %.0f mm long; the longest the printer takes is %.1f mm.",
                         header.cupsHeight * kTenthsMmPerInch / 10.0 / resolution,
                         ModelOf(papplJobGetPrinter(job))->max_length_tenths_mm / 10.0);
      break;
    }
  }
  state->failed = true;
  return true;
}

bool JobFailed(pappl_job_t* job) {
  const RasterJob* state = JobOf(job);
  return !state || state->failed;
}

bool WriteRasterLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned y,
                     const unsigned char* line) {
  (void)y;
  RasterJob* state = JobOf(job);
  if (!state) return false;
  if (state->failed) return true;
  if (state->rows % kCancelBandRows == 0 && papplJobIsCanceled(job)) {
    // PAPPL reads no further rows of a cancelled job; the rows so far
    // are printed and the receipt ends as a failed job's does.
    state->failed = true;
    Flush(job, device, *state);
    return false;
  }
  state->encoder.AddLine({line, options->header.cupsBytesPerLine});
  ++state->rows;
  return state->encoder.pending_bytes() < kWriteChunk || Flush(job, device, *state);
}

bool EndRasterPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page) {
  (void)page;
  RasterJob* state = JobOf(job);
  if (!state || state->failed) return false;
  // A raster stream cut short ends its page early: PAPPL would call the
  // job done. The page's rows so far are printed and the job fails.
  state->encoder.EndPage();
  if (state->rows < options->header.cupsHeight) {
    papplJobSetMessage(job, "The raster data ended after %u of the page's %u rows.", state->rows,
                       options->header.cupsHeight);
    state->failed = true;
    Flush(job, device, *state);
    return false;
  }
  return Flush(job, device, *state);
}

bool EndRasterJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device) {
  (void)options;
  std::unique_ptr<RasterJob> state(JobOf(job));
  papplJobSetData(job, nullptr);
  if (!state) return false;
  const std::string refusal = TakeRasterRefusal();  // a later page's header refused
  if (!refusal.empty()) {
    papplJobSetMessage(job, "%s", refusal.c_str());
    state->failed = true;
  }
  // A job that failed before any page printed sends nothing at all; one
  // that failed later (rows already printed as they came) still ends its
  // receipt with the cut, so that the next receipt starts on paper of its own.
  if (!state->printed_page) return false;
  state->encoder.EndJob();
  const bool ok = Flush(job, device, *state) && !state->failed;
  return ok;
}

void DitherRow(const std::vector<unsigned char>& grey, unsigned y, const pappl_dither_t& dither,
               std::vector<unsigned char>& line) {
  std::fill(line.begin(), line.end(), 0);
  const unsigned char* thresholds = dither[y % kDitherCells];
  const std::size_t width = std::min(grey.size(), line.size() * kDotsPerByte);
  for (std::size_t x = 0; x < width; ++x) {
    if (grey[x] < kWhiteGrey && grey[x] <= thresholds[x % kDitherCells]) {
      line[x / kDotsPerByte] |= static_cast<unsigned char>(0x80 >> (x % kDotsPerByte));
    }
  }
}

void SetPrintCallbacks(pappl_pr_driver_data_t* data) {
  data->printfile_cb = PrintRawFile;
  data->rstartjob_cb = StartRasterJob;
  data->rstartpage_cb = StartRasterPage;
  data->rwriteline_cb = WriteRasterLine;
  data->rendpage_cb = EndRasterPage;
  data->rendjob_cb = EndRasterJob;
  data->status_cb = UpdateStatus;
  data->identify_cb = Identify;
}

}  // namespace kit::printapp
