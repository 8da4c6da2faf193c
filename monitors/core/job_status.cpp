// This file is OS-independent.
#include "monitors/core/job_status.h"

#include <string>

namespace kit::monitors {

std::optional<WString> JobStatus::Show(WString text) {
  if (text == shown_) return std::nullopt;
  shown_ = std::move(text);
  return shown_;
}

std::optional<WString> JobStatus::AfterWrite(bool ok, std::uint32_t asked, std::uint32_t taken, std::uint32_t error) {
  if (!ok) {
    const std::string code = std::to_string(error);
    return Show(kJobPortErrorText + WString(code.begin(), code.end()));
  }
  if (taken > 0) return Show({});
  // An empty write says nothing about the printer.
  if (asked == 0) return std::nullopt;
  return Show(kJobWaitingText);
}

std::optional<WString> JobStatus::AtEnd() { return Show({}); }

}  // namespace kit::monitors
