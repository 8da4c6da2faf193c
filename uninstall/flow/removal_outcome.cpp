// This file is OS-independent.
#include "uninstall/flow/removal_outcome.h"

#include "common/exit_codes/exit_codes.h"

namespace kit::uninstall {

void RemovalOutcome::ClosedAtOpen(const std::string& message) {
  closed_at_open_ = message.empty() ? "the uninstaller's window closed as it opened" : message;
}

void RemovalOutcome::NotListed(const std::vector<std::string>& what) {
  not_listed_.insert(not_listed_.end(), what.begin(), what.end());
}

void RemovalOutcome::Refused(const std::string& log_line) {
  refusal_ = log_line.empty() ? "the removal was refused" : log_line;
}

void RemovalOutcome::Ran(const RunResult& run, const std::string& last_log_line) {
  refusal_.clear();
  if (!run.removed.empty() || (run.usb_asked && !run.usb_failed)) changed_ = true;
  // An entry that failed once and was removed by a later run is no failure.
  for (const std::string& name : run.removed) failed_.erase(name);
  for (const std::string& name : run.not_removed) failed_.insert(name);
  if (run.usb_asked) usb_failed_ = run.usb_failed;
  left_.insert(run.left.begin(), run.left.end());
  if (!run.not_removed.empty() || !run.left.empty() || run.usb_failed) failure_line_ = last_log_line;
  if (run.restart_asked) restart_pending_ = !run.restart_started;
}

RemovalEnding RemovalOutcome::Ending() const {
  if (!closed_at_open_.empty()) return {exit_code::kRefused, closed_at_open_};
  const std::string because = failure_line_.empty() ? "" : " (" + failure_line_ + ")";
  std::string names;
  for (const std::string& name : failed_) names += (names.empty() ? "" : ", ") + name;
  for (const std::string& name : left_) names += (names.empty() ? "" : ", ") + name;
  std::string unlisted;
  for (const std::string& what : not_listed_) unlisted += (unlisted.empty() ? "" : ", ") + what;
  if (!names.empty()) {
    return {exit_code::kFailed,
            "not removed: " + names + because + (unlisted.empty() ? "" : "; not listed: " + unlisted)};
  }
  if (usb_failed_) return {exit_code::kFailed, "the USB printer driver was not removed" + because};
  if (!refusal_.empty()) return {changed_ ? exit_code::kFailed : exit_code::kRefused, refusal_};
  if (!unlisted.empty()) return {exit_code::kFailed, "not listed: " + unlisted};
  if (restart_pending_) return {exit_code::kRestartNeeded, ""};
  return {exit_code::kDone, ""};
}

}  // namespace kit::uninstall
