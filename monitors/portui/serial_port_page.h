// The serial port's Configure Port dialog: the port's line settings as
// five lists (bits per second, data bits, parity, stop bits, flow control:
// what the settings text can hold), OK storing them through the monitor's
// XcvData "SetPortSettings", Cancel leaving them, Restore Defaults choosing
// the port's defaults. Opened without the right to change them, it shows
// them with the lists disabled, a note saying why, and Close alone.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "monitors/core/serial_settings.h"
#include "monitors/portui/port_ui_texts.h"
#include "monitors/portui/xcv_channel.h"
#include "ui/page.h"

namespace kit::monitors {

// Control ids.
inline constexpr int kSerialDialogId = 1200;
inline constexpr int kPortNameId = 1201;
inline constexpr int kBaudListId = 1202;
inline constexpr int kDataBitsListId = 1203;
inline constexpr int kParityListId = 1204;
inline constexpr int kStopBitsListId = 1205;
inline constexpr int kFlowListId = 1206;
inline constexpr int kRestoreDefaultsId = 1207;
inline constexpr int kReadOnlyNoteId = 1208;

// The speeds the list offers; a stored speed not among them is added in
// its place in the order.
inline constexpr std::uint32_t kOfferedBauds[] = {1200,  2400,  4800,   9600,   19200, 38400,
                                                  57600, 115200, 230400, 460800, 921600};

// The lists' entries and the settings they stand for, in list order.
std::vector<std::uint32_t> BaudChoices(std::uint32_t current);
inline constexpr std::uint8_t kDataBitChoices[] = {5, 6, 7, 8};
inline constexpr Parity kParityChoices[] = {Parity::kNone, Parity::kOdd, Parity::kEven, Parity::kMark,
                                            Parity::kSpace};
inline constexpr StopBits kStopBitChoices[] = {StopBits::kOne, StopBits::kOneAndHalf, StopBits::kTwo};
inline constexpr FlowControl kFlowChoices[] = {FlowControl::kHardware, FlowControl::kXonXoff,
                                               FlowControl::kNone};

// The text of a Win32 error, for the failure messages.
using ErrorDescriber = std::function<std::u16string(std::uint32_t error)>;

class SerialPortPage final : public ui::Page {
 public:
  // `channel` null: the settings are shown, not changed.
  SerialPortPage(const PortUiTexts& texts, WString port, SerialSettings settings, XcvChannel* channel,
                 ErrorDescriber describe);

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;

  // The settings the lists show.
  SerialSettings Chosen(const ui::Window& window) const;
  // What was stored by OK (the settings it was opened with until then).
  const SerialSettings& settings() const { return settings_; }

 private:
  void ShowSettings(ui::Window& window, const SerialSettings& settings);
  void Fail(ui::Window& window, std::u16string_view text, std::uint32_t error);

  const PortUiTexts& texts_;
  WString port_;
  SerialSettings settings_;
  XcvChannel* channel_;
  ErrorDescriber describe_;
  std::vector<std::uint32_t> bauds_;
};

}  // namespace kit::monitors
