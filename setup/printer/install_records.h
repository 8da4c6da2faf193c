// The install records of USB printers, read back by the uninstaller: under
// HKLM "SOFTWARE\VELDRAN\PORTNAME\" a DWORD named by the USB port the
// printer uses, and under "SOFTWARE\VELDRAN\PRINTERPORT\" a DWORD named by
// the port chosen on the port page. Always in the 64-bit registry view on
// 64-bit Windows.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string_view>

#include "setup/engine/engine_context.h"

namespace kit::setup {

inline constexpr std::string_view kPortNameRecordKey = "SOFTWARE\\VELDRAN\\PORTNAME\\";
inline constexpr std::string_view kPrinterPortRecordKey = "SOFTWARE\\VELDRAN\\PRINTERPORT\\";

// At Install, before the worker: the PORTNAME value of the port (its
// [SUPPORTED-USB-DEVICE] number) and the PRINTERPORT key.
bool WriteUsbPortRecord(EngineContext& ctx, std::string_view port_name, std::uint32_t value);
// By the worker, once the driver is registered: the PRINTERPORT value 0
// named by the chosen port.
bool WritePrinterPortRecord(EngineContext& ctx, std::string_view chosen_port);

}  // namespace kit::setup
