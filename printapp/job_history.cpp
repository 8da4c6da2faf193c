#include "printapp/job_history.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>

#include "printapp/job_ids.h"

// PAPPL's own job record and state, by their exported names (PAPPL 1.3
// offers no public call that makes a job with a given id).
extern "C" pappl_job_t* _papplJobCreate(pappl_printer_t* printer, int job_id, const char* username,
                                        const char* format, const char* job_name, ipp_t* attrs);
extern "C" void _papplJobSetState(pappl_job_t* job, ipp_jstate_t state);

namespace kit::printapp {
namespace {

constexpr char kIdsSuffix[] = ".jobids";
// A job a stop cut, as it is shown after the restart: who sent it is not
// kept beside its file.
constexpr char kCutJobUser[] = "unknown";
constexpr char kCutJobFormat[] = "application/octet-stream";
constexpr char kCutJobReason[] = "The server stopped before the job ended; it printed in part or not at all.";
constexpr mode_t kIdsMode = 0600;

std::mutex g_lock;
HighestJobIds g_ids;
std::string g_ids_file;

// The whole file replaced at once: a crash leaves the old or the new one.
void WriteIds(pappl_system_t* system, const HighestJobIds& ids) {
  const std::string text = FormatJobIds(ids);
  const std::string temp = g_ids_file + ".new";
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kIdsMode);
  const bool written = fd >= 0 && write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  if (fd >= 0) close(fd);
  if (!written || rename(temp.c_str(), g_ids_file.c_str()) != 0) {
    papplLog(system, PAPPL_LOGLEVEL_ERROR, "Cannot write %s: %s", g_ids_file.c_str(), std::strerror(errno));
    unlink(temp.c_str());
  }
}

void JobMade(pappl_system_t* system, pappl_printer_t* printer, pappl_job_t* job, pappl_event_t event, void* data) {
  (void)data;
  if (!(event & PAPPL_EVENT_JOB_CREATED) || !printer || !job) return;
  std::lock_guard<std::mutex> hold(g_lock);
  int& highest = g_ids[papplPrinterGetID(printer)];
  if (papplJobGetID(job) <= highest) return;
  highest = papplJobGetID(job);
  WriteIds(system, g_ids);
}

// The cut job in its printer's history under its own id: aborted, with
// the reason. (PAPPL 1.3 keeps no job across a restart.)
void RecordCutJob(pappl_printer_t* printer, int id, const std::string& name) {
  std::unique_ptr<ipp_t, void (*)(ipp_t*)> attrs(ippNew(), ippDelete);
  pappl_job_t* job = _papplJobCreate(printer, id, kCutJobUser, kCutJobFormat, name.c_str(), attrs.get());
  if (!job) return;
  papplJobSetMessage(job, "%s", kCutJobReason);
  papplJobCancel(job);  // a job with no document: ended at once, nothing printed
  _papplJobSetState(job, IPP_JSTATE_ABORTED);
  papplJobSetReasons(job, PAPPL_JREASON_ABORTED_BY_SYSTEM, PAPPL_JREASON_JOB_CANCELED_BY_USER);
}

// Job files of jobs the loaded state does not know: left by a stop while
// they were waiting or printing.
void ClearCutJobs(pappl_system_t* system, const std::string& spool) {
  DIR* folder = spool.empty() ? nullptr : opendir(spool.c_str());
  if (!folder) return;
  while (const dirent* entry = readdir(folder)) {
    const auto job = SpoolFileJob(entry->d_name);
    if (!job) continue;
    pappl_printer_t* printer = papplSystemFindPrinter(system, nullptr, job->first, nullptr);
    if (printer && papplPrinterFindJob(printer, job->second)) continue;
    const std::string path = spool + "/" + entry->d_name;
    unlink(path.c_str());
    papplLog(system, PAPPL_LOGLEVEL_WARN,
             "Job %d of printer %d was cut by a stop of the server; its file %s is removed, its id kept and the job shown as aborted.",
             job->second, job->first, entry->d_name);
    int& highest = g_ids[job->first];
    highest = std::max(highest, job->second);
    if (printer) RecordCutJob(printer, job->second, SpoolFileJobName(entry->d_name));
  }
  closedir(folder);
}

void StartAbove(pappl_printer_t* printer, void* data) {
  (void)data;
  const auto found = g_ids.find(papplPrinterGetID(printer));
  if (found != g_ids.end() && papplPrinterGetNextJobID(printer) <= found->second) {
    papplPrinterSetNextJobID(printer, found->second + 1);
  }
}

}  // namespace

void KeepJobIds(pappl_system_t* system, const std::string& state_file, const std::string& spool) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_ids_file = state_file + kIdsSuffix;
  std::ifstream in(g_ids_file, std::ios::binary);
  g_ids = ParseJobIds(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  ClearCutJobs(system, spool);
  papplSystemIteratePrinters(system, StartAbove, nullptr);
  WriteIds(system, g_ids);
  papplSystemSetEventCallback(system, JobMade, nullptr);
}

}  // namespace kit::printapp
