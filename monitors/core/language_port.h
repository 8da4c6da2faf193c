// One port opened through the "KVR Language Monitor": every job call goes
// on to the port monitor below it, and what the port's writes report sets
// the job's status text in the spooler's queue (JobStatus). Both shells of
// the language monitor stand on it: the Windows module, over the port
// monitor's MONITOR2 table and winspool's GetJob/SetJob, and the virtual
// machine's.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "monitors/core/job_status.h"
#include "platform/types.h"

namespace kit::monitors {

inline constexpr char16_t kLanguageMonitorName[] = u"KVR Language Monitor";

// The port monitor's calls on the port it opened for the language monitor;
// each returns a Win32 code (0: the call returned TRUE).
class PortBelow {
 public:
  virtual ~PortBelow() = default;
  virtual std::uint32_t StartJob(const WString& printer, std::uint32_t job, std::uint32_t level,
                                 std::uint8_t* doc_info) = 0;
  virtual std::uint32_t Write(std::uint8_t* data, std::uint32_t size, std::uint32_t* written) = 0;
  // kErrorNotSupported when the port monitor offers no reads.
  virtual std::uint32_t Read(std::uint8_t* data, std::uint32_t size, std::uint32_t* read) = 0;
  virtual std::uint32_t EndJob() = 0;
  virtual std::uint32_t Close() = 0;
};

// A job's status text in the spooler's queue (JOB_INFO_1 pStatus). Best
// effort: a job the spooler no longer has is left alone.
class JobTexts {
 public:
  virtual ~JobTexts() = default;
  virtual WString Current(const WString& printer, std::uint32_t job) = 0;
  // An empty text clears it.
  virtual void Show(const WString& printer, std::uint32_t job, const WString& text) = 0;
};

class LanguagePort {
 public:
  LanguagePort(std::unique_ptr<PortBelow> below, JobTexts& texts, WString printer);

  // StartDocPort: the job the status belongs to (`printer` null: the one
  // the port was opened for).
  std::uint32_t StartJob(const char16_t* printer, std::uint32_t job, std::uint32_t level, std::uint8_t* doc_info);
  std::uint32_t Write(std::uint8_t* data, std::uint32_t size, std::uint32_t* written);
  std::uint32_t Read(std::uint8_t* data, std::uint32_t size, std::uint32_t* read);
  // EndDocPort: the job is done, its text cleared.
  std::uint32_t EndJob();
  // ClosePort: the port monitor's port is closed; the caller frees this.
  std::uint32_t Close();

 private:
  void Apply(const std::optional<WString>& text);

  std::unique_ptr<PortBelow> below_;
  JobTexts& texts_;
  WString printer_;
  std::uint32_t job_ = 0;
  JobStatus status_;
};

}  // namespace kit::monitors
