// The selections the wizard gathers from its pages when Install is pressed:
// what the install that follows works from. This file is OS-independent.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kit::setup {

struct InstallRequest {
  int series_index = -1;
  std::string model_name;
  bool set_as_default = false;
  int os_code = 0;
  int mode = 1;  // Typical
  std::string port_name;
  int port_kind = -1;  // PortKind of the port page
  int baud_rate = 0;
  int data_bits = 8;
  double stop_bits = 1.0;
  char parity = 'n';
  char flow = 'p';
  int raster = 0;  // 1: GDI flavour, 0: STD flavour
  std::string ip_address;                // the address control's text
  std::array<std::uint8_t, 4> ip_bytes{};  // its four fields; a blank control reads 0.0.0.0
  std::string series_file;  // full path of the model's per-series file
  std::string setup_ini;    // full path of setup.ini
};

}  // namespace kit::setup
