// What the main window's removals came to, over every press of its
// Uninstall button, and the exit status that follows (the kit's table,
// common/exit_codes/exit_codes.h). The window, its scripted runs and the
// quiet removal all end with this one reckoning.
// This file is OS-independent.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace kit::uninstall {

// One run over the ticked entries.
struct RunResult {
  std::vector<std::string> removed;
  // Ticked entries still listed when the run ended: a step failed, or a
  // step stopped the run before them.
  std::vector<std::string> not_removed;
  // What a removed entry left behind: a driver whose deletion failed, a
  // file that could not be deleted, the print spooler left stopped.
  std::vector<std::string> left;
  bool usb_asked = false;
  // The USB installer could not be started.
  bool usb_failed = false;
  // Something was removed and the restart question was asked.
  bool restart_asked = false;
  // The restart was chosen and Windows took the request.
  bool restart_started = false;
};

struct RemovalEnding {
  int status = 0;
  std::string why;  // empty when done; otherwise one line saying why
};

class RemovalOutcome {
 public:
  // The window closed as it opened (its configuration missing, ...).
  void ClosedAtOpen(const std::string& message);
  // What the window could not list (a family member may be among it).
  void NotListed(const std::vector<std::string>& what);
  // A press refused before anything changed (jobs queued on a printer);
  // `log_line` says why.
  void Refused(const std::string& log_line);
  // A run ended; `last_log_line` is the log's last line before the end.
  void Ran(const RunResult& run, const std::string& last_log_line);

  // 2 for a window that closed as it opened, or whose last press was
  // refused before anything had changed; 1 when an entry a run was asked to
  // remove is still there or left something behind, something could not be
  // listed, the USB installer could not be started, or the last press was
  // refused after an earlier run had changed the machine;
  // 3010 when a removal asked for a restart that did not happen; else 0
  // (also for a window closed without a removal).
  RemovalEnding Ending() const;

 private:
  std::string closed_at_open_;
  std::string refusal_;  // the last press's refusal, until a run follows
  bool changed_ = false;
  std::set<std::string> failed_;
  std::set<std::string> left_;
  std::vector<std::string> not_listed_;
  std::string failure_line_;
  bool usb_failed_ = false;
  bool restart_pending_ = false;
};

}  // namespace kit::uninstall
