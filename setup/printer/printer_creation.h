// Creating the network port and the printer.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/spooler.h"
#include "setup/engine/engine_context.h"

namespace kit::setup {

inline constexpr char16_t kAddPortCommand[] = u"AddPort";
inline constexpr std::uint32_t kXcvOutputSize = 260;
inline constexpr std::uint32_t kRawPortNumber = 9100;
inline constexpr char16_t kSnmpCommunity[] = u"public";
inline constexpr std::uint32_t kSnmpDeviceIndex = 1;
inline constexpr std::uint32_t kDoubleSpool = 1;
// The numbered names tried when the printer name is taken: "(1)" to "(98)".
inline constexpr int kLastNumberedName = 98;

// Adds the standard TCP/IP port `port_name` for `address` (dotted). True
// when the port exists afterwards (one that existed already counts). On
// failure *error is the system's error code.
bool AddTcpIpPort(EngineContext& ctx, std::string_view port_name, std::string_view address, win32::Error* error);

// The printer record of an install: name, port, driver, processor and
// attributes; all else empty.
struct PrinterRecord {
  std::string printer_name;
  std::string port_name;
  std::string driver_name;
  std::string print_processor;
  std::uint32_t attributes = 0;
};

// Adds the printer; when the name is taken, "(1)" … "(98)" are tried in
// turn (not for USB, whose taken name means its port is taken). True when a
// printer was added: record->printer_name is the name used. On failure the
// text is set and the name cleared.
bool AddPrinterWithUniqueName(EngineContext& ctx, PrinterRecord* record, bool is_usb);

// Whether a local printer stands under one of the names AddPrinterWithUniqueName
// gives this record (its name, or for other ports than USB a numbered one),
// letters in either case as Windows compares printer names, with the
// record's driver and port. True: record->printer_name is that printer's
// name. False when there is none or the printers cannot be listed.
bool FindSamePrinter(EngineContext& ctx, PrinterRecord* record, bool is_usb);

}  // namespace kit::setup
