#include "printapp/pdf_filter.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "printapp/raster_job.h"

extern char** environ;

namespace kit::printapp {
namespace {

constexpr int kMaxGrey = 255;
// PAPPL's last page of a job without "page-ranges": every page.
constexpr unsigned kAllPages = INT_MAX;

// The renderer's output: grey pages ("P5" portable grey maps) one after
// the other on a pipe.
class GreyPages {
 public:
  explicit GreyPages(FILE* in) : in_(in) {}

  // The next page's size; false at the end of the output or on a header
  // that is not a grey map of 8 bits.
  bool NextPage(unsigned& width, unsigned& height) {
    int c = std::fgetc(in_);
    if (c == EOF) return false;
    if (c != 'P' || std::fgetc(in_) != '5') return false;
    unsigned max = 0;
    if (!Number(width) || !Number(height) || !Number(max) || max != kMaxGrey) return false;
    return width > 0 && height > 0;
  }
  bool Row(std::vector<unsigned char>& row) { return std::fread(row.data(), 1, row.size(), in_) == row.size(); }

 private:
  // A decimal number after white space and comments, and the one white
  // space character that ends it.
  bool Number(unsigned& value) {
    int c = std::fgetc(in_);
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '#') {
      if (c == '#') {
        while (c != '\n' && c != EOF) c = std::fgetc(in_);
      }
      c = std::fgetc(in_);
    }
    if (c < '0' || c > '9') return false;
    value = 0;
    for (; c >= '0' && c <= '9'; c = std::fgetc(in_)) value = value * 10 + static_cast<unsigned>(c - '0');
    return true;
  }

  FILE* in_;
};

// Runs the renderer on the job's file; its output comes on the returned
// stream, its messages are dropped.
FILE* StartRenderer(pappl_job_t* job, const pappl_pr_options_t& options, pid_t& pid) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return nullptr;
  const std::string resolution = std::to_string(options.header.HWResolution[0]);
  const std::string width = std::to_string(options.header.cupsWidth);
  std::string file = papplJobGetFilename(job);
  std::vector<std::string> args{kPdfRenderer, "-gray", "-r", resolution, "-scale-to-x", width, "-scale-to-y", "-1"};
  // "page-ranges" (PAPPL takes one range): the renderer draws only those.
  if (options.first_page > 1) args.insert(args.end(), {"-f", std::to_string(options.first_page)});
  if (options.last_page >= std::max(1u, options.first_page) && options.last_page < kAllPages) {
    args.insert(args.end(), {"-l", std::to_string(options.last_page)});
  }
  args.push_back(file);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  const int spawned = posix_spawnp(&pid, kPdfRenderer, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (spawned != 0) {
    close(pipe_fds[0]);
    return nullptr;
  }
  return fdopen(pipe_fds[0], "rb");
}

bool PrintPages(pappl_job_t* job, pappl_device_t* device, pappl_pr_options_t* options, FILE* in) {
  GreyPages pages(in);
  unsigned width = 0, height = 0, page = 0;
  bool ok = true;
  while (ok && pages.NextPage(width, height)) {
    options->header.cupsHeight = height;
    if (!StartRasterPage(job, options, device, page) || JobFailed(job)) return false;
    std::vector<unsigned char> grey(width), line(options->header.cupsBytesPerLine);
    for (unsigned y = 0; ok && y < height; ++y) {
      ok = pages.Row(grey);
      if (!ok) papplJobSetMessage(job, "The PDF renderer stopped in the middle of page %u.", page + 1);
      DitherRow(grey, y, options->dither, line);
      ok = ok && WriteRasterLine(job, options, device, y, line.data()) && !JobFailed(job);
    }
    ok = ok && EndRasterPage(job, options, device, page);
    if (ok) papplJobSetImpressionsCompleted(job, 1);
    ++page;
  }
  if (ok && page == 0) papplJobSetMessage(job, "The document is not a PDF file the renderer can read.");
  return ok && page > 0;
}

// One pass of the renderer over the document, its pages printed.
bool RenderPass(pappl_job_t* job, pappl_device_t* device, pappl_pr_options_t* options) {
  pid_t pid = 0;
  FILE* in = StartRenderer(job, *options, pid);
  if (!in) {
    papplJobSetMessage(job, "The PDF renderer %s cannot be started.", kPdfRenderer);
    return false;
  }
  bool ok = PrintPages(job, device, options, in);
  // A job stopped early (cancelled, or failed) leaves the renderer with
  // pages to go: it is ended rather than waited for.
  if (!ok) kill(pid, SIGTERM);
  std::fclose(in);
  int status = 0;
  waitpid(pid, &status, 0);
  if (ok && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
    papplJobSetMessage(job, "The PDF renderer failed on the document.");
    ok = false;
  }
  return ok;
}

bool FilterPdf(pappl_job_t* job, pappl_device_t* device, void* data) {
  (void)data;
  // The page count is not known before the renderer runs: 0, so that
  // PAPPL's page range is the job's own, not cut to one page.
  pappl_pr_options_t* options = papplJobCreatePrintOptions(job, 0, false);
  if (!options) return false;
  bool ok = StartRasterJob(job, options, device);
  // Copies are the document again inside the one job, as the Windows
  // driver prints them: the job's start and end operations come once.
  for (int copy = 0; ok && copy < std::max(1, options->copies) && !papplJobIsCanceled(job); ++copy) {
    ok = RenderPass(job, device, options);
  }
  // The job's end is sent even after a failed page: EndRasterJob decides
  // what a half-printed job still needs.
  ok = EndRasterJob(job, options, device) && ok;
  papplJobDeletePrintOptions(options);
  return ok;
}

}  // namespace

void AddPdfFilter(pappl_system_t* system) {
  papplSystemAddMIMEFilter(system, "application/pdf", "image/pwg-raster", FilterPdf, nullptr);
}

}  // namespace kit::printapp
