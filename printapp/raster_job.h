// The callbacks through which PAPPL prints a job on a family printer:
// raster pages (from PWG or Apple raster, PNG, JPEG, or a PDF through the
// PDF filter) become the printer's bytes through the receipt encoder, a job
// in the printer's own bytes passes unchanged, and the printer's state is
// read back where its port answers.
#pragma once

#include <pappl/pappl.h>

#include <vector>

#include "printapp/job_options.h"

namespace kit::printapp {

// Names the print callbacks in a driver's data.
void SetPrintCallbacks(pappl_pr_driver_data_t* data);

// The job's choices from its vendor options and finishings, and for an
// option the job does not name, the printer's default.
JobOptions JobOptionsOf(pappl_job_t* job, const pappl_pr_options_t* options);

// The raster callbacks, for a filter that feeds pages itself (the PDF one).
bool StartRasterJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
bool StartRasterPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool WriteRasterLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned y,
                     const unsigned char* line);
bool EndRasterPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool EndRasterJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
// A grey row (0 black, 255 white) to the printer's one-bit dots with the
// driver's dither matrix: a dot wherever the grey is at or below the
// threshold. `line` is cleared first; grey beyond it is dropped.
void DitherRow(const std::vector<unsigned char>& grey, unsigned y, const pappl_dither_t& dither,
               std::vector<unsigned char>& line);

// Whether the job has failed (a page refused, the printer not taking bytes);
// its page end then fails too.
bool JobFailed(pappl_job_t* job);

}  // namespace kit::printapp
