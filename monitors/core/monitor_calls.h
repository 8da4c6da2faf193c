// The port monitor calls' work that every shell of a kit port monitor does
// the same way (the Windows module and the Linux build the virtual machine
// loads): each takes the portable state and plain sizes and returns a Win32
// code; the shells keep only their calling interface and handle checks.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "monitors/core/port_family.h"
#include "monitors/core/port_job.h"
#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/types.h"

namespace kit::monitors {

// EnumPorts: the family's ports as PORT_INFO_1 or _2 records in `buffer`.
std::uint32_t ListFamilyPorts(PortFamily& family, Registry& registry, std::uint32_t level, std::uint8_t* buffer,
                              std::uint32_t size, std::uint32_t* needed, std::uint32_t* returned);

// StartDocPort: a job on `port` as its settings are now (a change in the
// port dialog holds from the next job on).
std::uint32_t StartPortJob(PortFamily& family, Registry& registry, WStringView port, Clock& clock,
                           PortStatusSink* status, std::unique_ptr<PortJob>* job);

// WritePort and ReadPort on a port's job; no job started is an invalid handle.
std::uint32_t WriteToJob(PortJob* job, const std::uint8_t* data, std::uint32_t size, std::uint32_t* written);
std::uint32_t ReadFromJob(PortJob* job, std::uint8_t* data, std::uint32_t size, std::uint32_t* read);

// XcvDataPort on a handle opened with `access`.
std::uint32_t FamilyXcvData(PortFamily& family, Registry& registry, WStringView command, const std::uint8_t* input,
                            std::uint32_t input_size, std::uint8_t* output, std::uint32_t output_size,
                            std::uint32_t access, std::uint32_t* needed);

}  // namespace kit::monitors
