// This file is OS-independent.
#include "monitors/core/port_job.h"

#include "platform/win32_errors.h"

namespace kit::monitors {

PortJob::PortJob(std::unique_ptr<PortDevice> device, Clock& clock, PortStatusSink* status)
    : device_(std::move(device)), clock_(clock), status_(status) {}

PortJob::~PortJob() { EndJob(); }

void PortJob::SetState(PortState state, std::uint32_t cause) {
  if (state == state_) return;
  state_ = state;
  if (status_ != nullptr) status_->Report(state, cause);
}

// Opens the device; a failure shows the port offline with its cause.
bool PortJob::OpenDevice() {
  const std::uint32_t status = device_->Open();
  open_ = status == win32::kErrorSuccess;
  if (!open_) SetState(PortState::kOffline, status);
  return open_;
}

std::uint32_t PortJob::StartJob() {
  in_document_ = true;
  if (!open_ && !OpenDevice()) return win32::kErrorSuccess;
  SetState(PortState::kReady);
  return win32::kErrorSuccess;
}

bool PortJob::Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written, std::uint32_t* error) {
  *written = 0;
  *error = win32::kErrorSuccess;
  if (!in_document_) {
    *error = win32::kErrorInvalidHandle;
    return false;
  }
  if (size == 0) return true;
  if (!open_ && !OpenDevice()) {
    clock_.Sleep(kRetryPauseMs);
    return true;
  }
  std::uint32_t sent = 0;
  const std::uint32_t status = device_->Write(data, size, &sent);
  if (sent > size) sent = size;  // never report more than was asked
  *written = sent;
  if (status != win32::kErrorSuccess) {
    // The device went away under the write: what it took is counted, the
    // rest goes again once it is back.
    device_->Close();
    open_ = false;
    SetState(PortState::kOffline);
    if (sent == 0) clock_.Sleep(kRetryPauseMs);
    return true;
  }
  SetState(sent == 0 ? PortState::kNotResponding : PortState::kReady);
  return true;
}

bool PortJob::Read(std::uint8_t* data, std::uint32_t size, std::uint32_t* read, std::uint32_t* error) {
  *read = 0;
  *error = win32::kErrorSuccess;
  if (!open_) {
    *error = win32::kErrorNotReady;
    return false;
  }
  *error = device_->Read(data, size, read);
  if (*read > size) *read = size;
  return *error == win32::kErrorSuccess;
}

void PortJob::EndJob() {
  if (open_) device_->Close();
  open_ = false;
  in_document_ = false;
  SetState(PortState::kReady);
}

}  // namespace kit::monitors
