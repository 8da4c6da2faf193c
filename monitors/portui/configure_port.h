// What the port dialog modules' MONITORUI functions do, over a small host
// (the caller's window, the monitor's Xcv handle, message boxes):
//
// ConfigurePortUI opens the monitor's Xcv handle with administer access;
// where the user is refused it (ERROR_ACCESS_DENIED) it opens it to read,
// and the serial dialog then shows the settings without letting them be
// changed. It asks the monitor about the port (the serial port's settings,
// whether a USB port is recorded), shows the dialog (for a serial port whose
// stored settings no serial port takes, after saying so, with the port's
// defaults, so that the port can be mended) and, for the serial
// port, stores the settings on OK. Every failure is shown in a message box
// naming the error, and returned as the call's last error: TRUE only when
// the dialog ended with OK, FALSE with ERROR_CANCELLED when it was closed
// without a change, as Windows' own port dialogs answer.
//
// AddPortUI and DeletePortUI: the serial monitor's ports are fixed and the
// USB monitor's are the ones the install records, so neither adds nor
// deletes one; both answer FALSE with ERROR_NOT_SUPPORTED, which Windows'
// Ports page reports itself.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "monitors/portui/port_ui_texts.h"
#include "monitors/portui/xcv_channel.h"
#include "ui/page.h"

namespace kit::monitors {

class PortUiHost {
 public:
  virtual ~PortUiHost() = default;
  // Opens the monitor's Xcv handle with `access` (kServerAccessAdminister
  // or kServerAccessEnumerate).
  virtual std::uint32_t OpenXcv(std::uint32_t access, std::unique_ptr<XcvChannel>* channel) = 0;
  // Runs `page` as a modal dialog owned by the caller's window: its result,
  // -1 when it could not be shown.
  virtual int RunModal(ui::Page& page) = 0;
  // A message box owned by the caller's window.
  virtual void ShowMessage(std::u16string_view text, std::u16string_view caption, std::uint32_t style) = 0;
  // The system's text of a Win32 error.
  virtual std::u16string DescribeError(std::uint32_t error) = 0;
};

// A MONITORUI function's answer: its BOOL and, when false, its last error.
struct PortUiResult {
  bool ok = false;
  std::uint32_t error = 0;
  friend bool operator==(const PortUiResult&, const PortUiResult&) = default;
};

// `monitor` names the monitor in the messages; `port` is the port asked for.
PortUiResult ConfigureSerialPort(PortUiHost& host, const PortUiTexts& texts, WStringView monitor, WStringView port);
PortUiResult ConfigureUsbPort(PortUiHost& host, const PortUiTexts& texts, WStringView monitor, WStringView port);
PortUiResult RefusePortChange();

}  // namespace kit::monitors
