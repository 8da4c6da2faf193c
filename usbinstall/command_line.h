// The command line of the USB device-driver installer: the action text with
// its action code and device count, and the four further arguments of the
// printer-class driver install.
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kit::usbinstall {

// Device counts outside 1..kMaxDeviceCount fall back to one device.
inline constexpr int kMaxDeviceCount = 255;

struct CommandLine {
  std::string action_text;  // first argument not starting with '/' or '-'
  int action = 0;           // its leading decimal number, 0 without one
  int device_count = 1;     // the number after its first '-' (not the first character)
  // Arguments 2 to 5 when at least two arguments follow the program name.
  std::string inf_path;
  std::string device_id;
  std::string display_flag;
  std::string printer_name;
};

// The leading decimal number of a text as the C run-time's atoi reads it
// (leading white space, an optional sign, digits), saturated to the int range
// instead of overflowing: "8-3" gives 8, "abc" and "" give 0.
int LeadingNumber(std::string_view text);

// Parses the arguments after the program's name (argv[1] onwards).
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace kit::usbinstall
