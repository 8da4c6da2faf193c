// This file is OS-independent.
#include "monitors/portui/configure_port.h"

#include "monitors/core/usb_ports.h"
#include "monitors/core/xcv_data.h"
#include "monitors/portui/serial_port_page.h"
#include "monitors/portui/usb_port_page.h"
#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {


PortUiResult Failed(PortUiHost& host, const PortUiTexts& texts, std::u16string_view message, WStringView subject,
                    std::uint32_t error) {
  host.ShowMessage(FillText(message, {subject, DecimalText(error), host.DescribeError(error)}), texts.caption,
                   ui::kMbOk | ui::kMbIconError);
  return {false, error};
}

// The Xcv handle: administer access, or read access where that is refused.
std::uint32_t Open(PortUiHost& host, std::unique_ptr<XcvChannel>* channel, bool* can_change) {
  std::uint32_t status = host.OpenXcv(kServerAccessAdminister, channel);
  *can_change = status == win32::kErrorSuccess;
  if (status == win32::kErrorAccessDenied) status = host.OpenXcv(kServerAccessEnumerate, channel);
  if (status == win32::kErrorSuccess && *channel == nullptr) status = win32::kErrorInvalidHandle;
  return status;
}

PortUiResult Ended(int result) {
  if (result == ui::kIdOk) return {true, 0};
  if (result < 0) return {false, win32::kErrorCanNotComplete};
  return {false, kErrorCancelled};
}

}  // namespace

PortUiResult ConfigureSerialPort(PortUiHost& host, const PortUiTexts& texts, WStringView monitor, WStringView port) {
  std::unique_ptr<XcvChannel> channel;
  bool can_change = false;
  std::uint32_t status = Open(host, &channel, &can_change);
  if (status != win32::kErrorSuccess) return Failed(host, texts, texts.open_failed, monitor, status);
  SerialSettings settings;
  status = GetPortSettings(*channel, port, &settings);
  if (status == win32::kErrorInvalidData) {
    // A stored value no serial port takes stops the port's jobs; the
    // dialog is where it is mended, so it opens with the defaults.
    Failed(host, texts, texts.damaged, port, status);
    settings = kDefaultSerialSettings;
  } else if (status == win32::kErrorInvalidName) {
    return Failed(host, texts, texts.not_a_port, port, status);
  } else if (status != win32::kErrorSuccess) {
    return Failed(host, texts, texts.read_failed, port, status);
  }
  SerialPortPage page(texts, WString(port), settings, can_change ? channel.get() : nullptr,
                      [&host](std::uint32_t error) { return host.DescribeError(error); });
  return Ended(host.RunModal(page));
}

PortUiResult ConfigureUsbPort(PortUiHost& host, const PortUiTexts& texts, WStringView monitor, WStringView port) {
  std::unique_ptr<XcvChannel> channel;
  bool can_change = false;
  std::uint32_t status = Open(host, &channel, &can_change);
  if (status != win32::kErrorSuccess) return Failed(host, texts, texts.open_failed, monitor, status);
  status = PortIsValid(*channel, port);
  const int index = UsbPortIndex(port);
  if (status == win32::kErrorSuccess && index == 0) status = win32::kErrorInvalidName;
  if (status != win32::kErrorSuccess) return Failed(host, texts, texts.not_a_port, port, status);
  UsbPortPage page(texts, WString(port), index);
  return Ended(host.RunModal(page));
}

PortUiResult RefusePortChange() { return {false, win32::kErrorNotSupported}; }

}  // namespace kit::monitors
