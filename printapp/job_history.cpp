#include "printapp/job_history.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "printapp/job_ids.h"

// PAPPL's own job record and state, by their exported names (PAPPL 1.3
// offers no public call that makes a job with a given id).
extern "C" pappl_job_t* _papplJobCreate(pappl_printer_t* printer, int job_id, const char* username,
                                        const char* format, const char* job_name, ipp_t* attrs);
extern "C" void _papplJobSetState(pappl_job_t* job, ipp_jstate_t state);

namespace kit::printapp {
namespace {

constexpr char kIdsSuffix[] = ".jobids";
// A file being written beside the one it replaces.
constexpr char kNewSuffix[] = ".new";
// A job a stop cut, as it is shown after the restart: who sent it is not
// kept beside its file.
constexpr char kCutJobUser[] = "unknown";
constexpr char kCutJobFormat[] = "application/octet-stream";
constexpr char kCutJobReason[] = "The server stopped before the job ended; it printed in part or not at all.";
constexpr mode_t kIdsMode = 0600;
// PAPPL's name for a job's saved attributes file ("...-NAME.ipp") and the
// room its names take.
constexpr char kAttributesExt[] = "ipp";
constexpr std::size_t kSpoolPathSize = 1024;
// The job attributes whose text PAPPL's job record points at.
constexpr char kJobNameAttr[] = "job-name";
constexpr char kJobOwnerAttr[] = "job-originating-user-name";

std::mutex g_lock;
HighestJobIds g_ids;
std::string g_ids_file;
// PAPPL keeps the name given to a job it makes by its pointer, not a copy:
// the names of the cut jobs recorded here live as long as the program.
std::deque<std::string> g_cut_job_names;
// While the saved state loads: a job's attributes file is read into the
// attributes PAPPL has just given the job.
std::atomic<bool> g_loading_state{false};

// The whole file replaced at once: a crash leaves the old or the new one.
void WriteIds(pappl_system_t* system, const HighestJobIds& ids) {
  const std::string text = FormatJobIds(ids);
  const std::string temp = g_ids_file + kNewSuffix;
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

// A cut job ended: aborted by the system, with the reason, among its
// printer's ended jobs, its file gone. A job not yet among the ended ones
// goes there as a job waiting does when it is cancelled (PAPPL's
// cancellation removes its file); PAPPL shows a job that never started
// as cancelled, so the state is set to aborted after it.
void EndCutJob(pappl_job_t* job, bool listed_as_ended, const std::string& spool) {
  if (listed_as_ended) {
    const char* file = papplJobGetFilename(job);
    std::string folder = spool;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (file && !folder.empty() && std::string(file).rfind(folder + "/", 0) == 0) unlink(file);
  } else {
    _papplJobSetState(job, IPP_JSTATE_PENDING);
    papplJobCancel(job);
  }
  // The attributes PAPPL saved beside the document of a job that had not
  // ended ("x": removed).
  std::array<char, kSpoolPathSize> attributes{};
  papplJobOpenFile(job, attributes.data(), attributes.size(), nullptr, kAttributesExt, "x");
  _papplJobSetState(job, IPP_JSTATE_ABORTED);
  papplJobSetReasons(job, PAPPL_JREASON_ABORTED_BY_SYSTEM,
                     PAPPL_JREASON_JOB_CANCELED_BY_USER | PAPPL_JREASON_JOB_PRINTING);
  papplJobSetMessage(job, "%s", kCutJobReason);
}

// The cut job in its printer's history under its own id, when the saved
// state does not hold it (the state was saved before the job was made).
void RecordCutJob(pappl_printer_t* printer, int id, const std::string& name) {
  g_cut_job_names.push_back(name);
  pappl_job_t* job = _papplJobCreate(printer, id, kCutJobUser, kCutJobFormat, g_cut_job_names.back().c_str(), nullptr);
  if (job) EndCutJob(job, false, "");  // a job with no document: nothing to remove
}

void AddJob(pappl_job_t* job, void* data) { static_cast<std::vector<pappl_job_t*>*>(data)->push_back(job); }

std::vector<pappl_job_t*> Jobs(pappl_printer_t* printer, void (*iterate)(pappl_printer_t*, pappl_job_cb_t, void*, int, int)) {
  std::vector<pappl_job_t*> jobs;
  iterate(printer, AddJob, &jobs, 1, 0);  // from the first, no limit
  return jobs;
}

// The jobs the saved state brings back as they were when a stop cut them
// (printing, or sent back to waiting by the stop): ended as cut. They are
// gathered first: PAPPL holds the printer while it lists its jobs.
void EndCutJobsOfState(pappl_printer_t* printer, void* data) {
  const std::string& spool = *static_cast<const std::string*>(data);
  const std::vector<pappl_job_t*> ended = Jobs(printer, papplPrinterIterateCompletedJobs);
  const std::set<pappl_job_t*> listed_as_ended(ended.begin(), ended.end());
  for (pappl_job_t* job : Jobs(printer, papplPrinterIterateAllJobs)) {
    if (!CutByStop(static_cast<JobState>(papplJobGetState(job)), papplJobGetTimeProcessed(job) != 0,
                   papplJobGetTimeCompleted(job) != 0)) {
      continue;
    }
    EndCutJob(job, listed_as_ended.count(job) != 0, spool);
    papplLog(papplPrinterGetSystem(printer), PAPPL_LOGLEVEL_WARN,
             "Job %d of printer %d was cut by a stop of the server; its files are removed and the job shown as aborted.",
             papplJobGetID(job), papplPrinterGetID(printer));
  }
}

// Job files of jobs the loaded state does not know: left by a stop while
// they were waiting or printing. A job may have left more than one (its
// document, and the attributes PAPPL saves beside it): all go, and the job
// is recorded once.
void ClearCutJobs(pappl_system_t* system, const std::string& spool) {
  DIR* folder = spool.empty() ? nullptr : opendir(spool.c_str());
  if (!folder) return;
  std::map<std::pair<int, int>, std::vector<std::string>> unknown;  // (printer, job) -> its files
  while (const dirent* entry = readdir(folder)) {
    const auto job = SpoolFileJob(entry->d_name);
    if (!job) continue;
    pappl_printer_t* printer = papplSystemFindPrinter(system, nullptr, job->first, nullptr);
    if (printer && papplPrinterFindJob(printer, job->second)) continue;
    unknown[*job].push_back(entry->d_name);
  }
  closedir(folder);
  for (const auto& [job, files] : unknown) {
    for (const std::string& file : files) {
      const std::string path = spool + "/" + file;
      unlink(path.c_str());
      papplLog(system, PAPPL_LOGLEVEL_WARN,
               "Job %d of printer %d was cut by a stop of the server; its file %s is removed, its id kept and the job shown as aborted.",
               job.second, job.first, file.c_str());
    }
    int& highest = g_ids[job.first];
    highest = std::max(highest, job.second);
    pappl_printer_t* printer = papplSystemFindPrinter(system, nullptr, job.first, nullptr);
    if (printer) RecordCutJob(printer, job.second, SpoolFileJobName(files.front()));
  }
}

void StartAbove(pappl_printer_t* printer, void* data) {
  (void)data;
  const auto found = g_ids.find(papplPrinterGetID(printer));
  if (found != g_ids.end() && papplPrinterGetNextJobID(printer) <= found->second) {
    papplPrinterSetNextJobID(printer, found->second + 1);
  }
}

}  // namespace

void LoadState(pappl_system_t* system, const std::string& state_file) {
  g_loading_state = true;
  papplSystemLoadState(system, state_file.c_str());
  g_loading_state = false;
}

// PAPPL writes its state file in place: a server killed while it saved
// (a crash, kill -9, the file size limit) left a file cut short, and the
// printers after the cut were gone at the next start. The state is written
// beside the file and then put in its place, so a stop leaves the old
// state or the new one.
bool SaveState(pappl_system_t* system, void* data) {
  const std::string& state_file = *static_cast<const std::string*>(data);
  const std::string temp = state_file + kNewSuffix;
  if (!papplSystemSaveState(system, temp.c_str())) {
    unlink(temp.c_str());
    return false;
  }
  if (rename(temp.c_str(), state_file.c_str()) != 0) {
    papplLog(system, PAPPL_LOGLEVEL_ERROR, "Cannot write %s: %s", state_file.c_str(), std::strerror(errno));
    unlink(temp.c_str());
    return false;
  }
  return true;
}

void KeepJobIds(pappl_system_t* system, const std::string& state_file, const std::string& spool) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_ids_file = state_file + kIdsSuffix;
  std::ifstream in(g_ids_file, std::ios::binary);
  g_ids = ParseJobIds(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  std::string spool_folder = spool;
  papplSystemIteratePrinters(system, EndCutJobsOfState, &spool_folder);
  ClearCutJobs(system, spool);
  papplSystemIteratePrinters(system, StartAbove, nullptr);
  WriteIds(system, g_ids);
  papplSystemSetEventCallback(system, JobMade, nullptr);
}

}  // namespace kit::printapp

// PAPPL's library calls the function below by its exported name, so the
// program's own definition comes first; it calls the library's own one.
//
// PAPPL 1.3 loads a job that had not ended by making the job (which gives
// it its name, owner, id, URIs and UUID) and then reading its saved
// attributes file into the same attributes: every one of those came twice,
// and a client asking for the job's attributes was answered with each
// duplicated (ipptool refuses such an answer). While the state loads, what
// the file holds is read apart and added so that each attribute is there
// once: the saved value, the one clients were given (the job's URIs and
// UUID as first made), except the name and owner, whose text PAPPL's job
// record points at (the saved ones are the same).
extern "C" ipp_state_t ippReadFile(int fd, ipp_t* ipp) {
  using Read = ipp_state_t (*)(int, ipp_t*);
  static const auto library = reinterpret_cast<Read>(dlsym(RTLD_NEXT, "ippReadFile"));
  if (!kit::printapp::g_loading_state.load() || !ipp) return library(fd, ipp);
  std::unique_ptr<ipp_t, void (*)(ipp_t*)> saved(ippNew(), ippDelete);
  const ipp_state_t state = library(fd, saved.get());
  for (ipp_attribute_t* attr = ippFirstAttribute(saved.get()); attr; attr = ippNextAttribute(saved.get())) {
    const char* name = ippGetName(attr);
    if (!name) continue;
    if (ipp_attribute_t* made = ippFindAttribute(ipp, name, IPP_TAG_ZERO)) {
      if (std::strcmp(name, kit::printapp::kJobNameAttr) == 0 || std::strcmp(name, kit::printapp::kJobOwnerAttr) == 0) {
        continue;
      }
      ippDeleteAttribute(ipp, made);
    }
    ippCopyAttribute(ipp, attr, 0);
  }
  return state;
}
