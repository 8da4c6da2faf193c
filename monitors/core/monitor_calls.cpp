// This file is OS-independent.
#include "monitors/core/monitor_calls.h"

#include "monitors/core/port_info.h"
#include "platform/win32_errors.h"

namespace kit::monitors {

std::uint32_t ListFamilyPorts(PortFamily& family, Registry& registry, std::uint32_t level, std::uint8_t* buffer,
                              std::uint32_t size, std::uint32_t* needed, std::uint32_t* returned) {
  const auto names = family.PortNames(registry);
  PortInfoRequest request;
  request.level = level;
  request.names = &names;
  request.monitor_name = family.MonitorName();
  request.description = family.MonitorName();
  request.buffer = buffer;
  request.size = size;
  return PackPortInfo(request, needed, returned);
}

std::uint32_t StartPortJob(PortFamily& family, Registry& registry, WStringView port, Clock& clock,
                           PortStatusSink* status, std::unique_ptr<PortJob>* job) {
  std::unique_ptr<PortDevice> device;
  const std::uint32_t made = family.MakeDevice(registry, port, &device);
  if (made != win32::kErrorSuccess) return made;
  *job = std::make_unique<PortJob>(std::move(device), clock, status);
  return (*job)->StartJob();
}

std::uint32_t WriteToJob(PortJob* job, const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) {
  *written = 0;
  if (job == nullptr) return win32::kErrorInvalidHandle;
  std::uint32_t error = 0;
  return job->Write(data, size, written, &error) ? win32::kErrorSuccess : error;
}

std::uint32_t ReadFromJob(PortJob* job, std::uint8_t* data, std::uint32_t size, std::uint32_t* read) {
  *read = 0;
  if (job == nullptr) return win32::kErrorInvalidHandle;
  std::uint32_t error = 0;
  return job->Read(data, size, read, &error) ? win32::kErrorSuccess : error;
}

std::uint32_t FamilyXcvData(PortFamily& family, Registry& registry, WStringView command, const std::uint8_t* input,
                            std::uint32_t input_size, std::uint8_t* output, std::uint32_t output_size,
                            std::uint32_t access, std::uint32_t* needed) {
  XcvRequest request;
  request.command = command;
  request.input = input;
  request.input_size = input_size;
  request.output = output;
  request.output_size = output_size;
  request.granted_access = access;
  return family.XcvData(registry, request, needed);
}

}  // namespace kit::monitors
