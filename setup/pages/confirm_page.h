// The port page (dialog 132): the ports the chosen model supports on this
// system, the serial settings, the IP address of a network port, the raster
// choice and two notes about missing components. The frame fills the port
// list on entering the page and reads the members at Install.
// This file is OS-independent.
#pragma once

#include <array>
#include <string>

#include "setup/pages/wizard_page.h"

namespace kit::setup {

inline constexpr int kConfirmDialogId = 132;
inline constexpr int kConfirmGroupId = 1095;
inline constexpr int kConfirmPortsLabelId = 1096;
inline constexpr int kPortListId = 1049;
inline constexpr int kSerialGroupId = 1097;
inline constexpr int kBaudListId = 1041;
inline constexpr int kDataBitsListId = 1042;
inline constexpr int kParityListId = 1043;
inline constexpr int kStopBitsListId = 1044;
inline constexpr int kFlowListId = 1045;
inline constexpr int kBaudLabelId = 1098;
inline constexpr int kParityLabelId = 1099;
inline constexpr int kDataBitsLabelId = 1100;
inline constexpr int kStopBitsLabelId = 1101;
inline constexpr int kFlowLabelId = 1102;
inline constexpr int kRasterCheckId = 1052;
inline constexpr int kIpLabelId = 1103;
inline constexpr int kIpAddressId = 1106;
inline constexpr int kUsbDriverNoteId = 1065;
inline constexpr int kSerialNoteId = 1105;

// The baud rates offered, in list order.
inline constexpr std::array<int, 10> kBaudRates = {110, 300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
// The entry chosen for a configured rate the list does not hold (38400).
inline constexpr int kFallbackBaudIndex = 7;

// Port kinds by the port's name.
enum PortKind : int { kPortUnknown = -1, kPortSerial = 0, kPortParallel = 1, kPortUsb = 2, kPortNetwork = 3 };
// "USB_" first, then "COM", "LPT", "NET".
PortKind KindOfPort(std::string_view port_name);

class CSetupConfirm final : public WizardPage {
 public:
  explicit CSetupConfirm(const WizardContext& context) : WizardPage(context) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;
  bool ValidateAndSave() override;

  // Set by the frame before it fills the list.
  void SetMode(int mode) { mode_ = mode; }
  // Fills the port list for a model (kept as it is when neither the model
  // nor the mode changed since the last fill).
  void FillPortList(const std::string& model, int os_code, int series);
  // Selects the configured baud rate (38400 for a rate the list lacks) and
  // keeps the rate of the selected entry.
  void PreselectBaudRate(int configured);
  bool reload_baud_rate() const { return reload_baud_rate_; }
  void set_reload_baud_rate(bool reload) { reload_baud_rate_ = reload; }

  const std::string& port_name() const { return port_name_; }
  int baud_rate() const { return baud_rate_; }
  int data_bits() const { return data_bits_; }
  double stop_bits() const { return stop_bits_; }
  // The letters of the selected parity (e, m, n, o, s) and flow-control
  // (blank, x, p) items.
  char parity() const { return parity_; }
  char flow() const { return flow_; }
  int raster() const { return raster_; }
  const std::string& ip_address() const { return ip_address_; }
  int mode() const { return mode_; }

 private:
  void EnableSerialLists(ui::Window& window, bool enabled);
  void ApplyPortChoice(ui::Window& window);
  void OnPortChanged(ui::Window& window);
  void OnSerialListChanged(ui::Window& window, int id);
  void UpdateUsbNote(ui::Window& window);
  void TransferToControls(ui::Window& window);

  std::string port_name_;
  int baud_rate_ = 0;
  int data_bits_ = 8;
  double stop_bits_ = 1.0;
  char parity_ = 'n';
  char flow_ = 'p';
  int raster_ = 0;
  std::string ip_address_;
  int mode_ = 1;  // Typical
  std::string last_model_ = "PRINTER";
  int last_mode_ = 1;
  int os_code_ = 0;  // of the last fill
  bool reload_baud_rate_ = true;
};

}  // namespace kit::setup
