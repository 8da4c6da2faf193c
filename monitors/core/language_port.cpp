// This file is OS-independent.
#include "monitors/core/language_port.h"

#include <utility>

#include "platform/win32_errors.h"

namespace kit::monitors {

LanguagePort::LanguagePort(std::unique_ptr<PortBelow> below, JobTexts& texts, WString printer)
    : below_(std::move(below)), texts_(texts), printer_(std::move(printer)) {}

void LanguagePort::Apply(const std::optional<WString>& text) {
  if (text && job_ != 0 && !printer_.empty()) texts_.Show(printer_, job_, *text);
}

std::uint32_t LanguagePort::StartJob(const char16_t* printer, std::uint32_t job, std::uint32_t level,
                                     std::uint8_t* doc_info) {
  if (printer != nullptr) printer_ = printer;
  job_ = job;
  // A job sent again after a pause starts from what it shows.
  status_ = JobStatus(job_ != 0 && !printer_.empty() ? texts_.Current(printer_, job_) : WString());
  return below_->StartJob(printer_, job, level, doc_info);
}

std::uint32_t LanguagePort::Write(std::uint8_t* data, std::uint32_t size, std::uint32_t* written) {
  *written = 0;
  const std::uint32_t error = below_->Write(data, size, written);
  if (*written > size) *written = size;
  Apply(status_.AfterWrite(error == win32::kErrorSuccess, size, *written, error));
  return error;
}

std::uint32_t LanguagePort::Read(std::uint8_t* data, std::uint32_t size, std::uint32_t* read) {
  *read = 0;
  return below_->Read(data, size, read);
}

std::uint32_t LanguagePort::EndJob() {
  Apply(status_.AtEnd());
  job_ = 0;
  return below_->EndJob();
}

std::uint32_t LanguagePort::Close() { return below_->Close(); }

}  // namespace kit::monitors
