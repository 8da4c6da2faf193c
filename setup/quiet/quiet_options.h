// The named options of an unattended install (kitsetup --quiet): what a
// deployment tool passes instead of a person's clicks. They are read here
// and checked for their form only; whether a model, a port or a setting is
// offered is for the wizard's pages to say (setup/quiet/quiet_wizard.h).
// This file is OS-independent.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit::setup::quiet {

// Names of the series, in the wizard's series order, as options take them.
inline constexpr std::array<std::string_view, 4> kSeriesNames = {"receipt", "ticket", "label", "embedded"};
// The parity and flow-control lists of the port page, in their item order,
// named in English whatever the machine's language.
inline constexpr std::array<std::string_view, 5> kParityNames = {"even", "mark", "none", "odd", "space"};
inline constexpr std::array<std::string_view, 3> kFlowNames = {"none", "xon/xoff", "hardware"};
inline constexpr std::string_view kFlowXonXoffShort = "xonxoff";
inline constexpr std::array<std::string_view, 4> kDataBitsValues = {"5", "6", "7", "8"};
inline constexpr std::array<std::string_view, 3> kStopBitsValues = {"1", "1.5", "2"};
inline constexpr std::array<std::string_view, 10> kBaudValues = {"110",   "300",   "1200",  "2400",  "4800",
                                                                 "9600",  "19200", "38400", "57600", "115200"};
// The USB port indices the Advanced mode offers.
inline constexpr int kFirstUsbPort = 1;
inline constexpr int kLastUsbPort = 4;
// --port values of the two kinds whose entries the page names itself.
inline constexpr std::string_view kUsbPortOption = "USB";
inline constexpr std::string_view kNetworkPortOption = "NET:";

struct QuietOptions {
  bool quiet = false;
  bool help = false;
  bool accept_licence = false;
  std::optional<int> series;  // index into kSeriesNames
  std::string model;
  std::optional<bool> advanced;  // --mode
  std::string port;              // as given
  std::string ip;
  std::optional<int> usb_port;
  std::string baud;                  // one of kBaudValues
  std::optional<int> parity;         // index into kParityNames
  std::string data_bits, stop_bits;  // as the lists show them
  std::optional<int> flow;           // index into kFlowNames
  std::optional<bool> raster;
  std::optional<bool> set_default;
  std::optional<bool> rewrite_usb_id;  // --usb-id rewrite|keep
  // --keep-existing: a printer already there under the install's name with
  // the same driver and port is kept, and the run ends done without a
  // second copy (deployment tools retry an install).
  bool keep_existing = false;
  std::string log_file;
  std::string record_file;  // --record: the printers this run created

  bool SerialSettingGiven() const {
    return !baud.empty() || parity || !data_bits.empty() || !stop_bits.empty() || flow;
  }
  bool PortIsUsb() const;
  bool PortIsNetwork() const;
  bool PortIsSerial() const;
};

// Reads the arguments after the program name. Arguments other than these
// options must have been taken out by the caller (the Linux program's
// --machine and --kit). False with *error set to one line naming the option
// and what is wrong with it: an unknown option, a missing value, a value of
// the wrong kind, two options that contradict each other, a missing
// --accept-licence. "--help" and "/?" ask for the option list and are never
// an error.
bool ParseQuietOptions(const std::vector<std::string>& args, QuietOptions* options, std::string* error);

// Whether the command line asks for a quiet run or the option list; a
// program without either runs as it always did.
bool WantsQuietOrHelp(const std::vector<std::string>& args);

}  // namespace kit::setup::quiet
