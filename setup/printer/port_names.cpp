#include "setup/printer/port_names.h"

#include "setup/pages/confirm_page.h"

namespace kit::setup {

int UsbPortIndex(std::string_view port_name) {
  if (port_name.size() < 2 || port_name[port_name.size() - 2] != '_') return 0;
  const int index = port_name.back() - '0';
  return index >= kFirstUsbPortIndex && index <= kLastUsbPortIndex ? index : 0;
}

std::string PrinterSuffix(int port_kind, std::string_view port_name) {
  switch (port_kind) {
    case kPortSerial: return std::string(kSerialSuffix);
    case kPortParallel: return std::string(kParallelSuffix);
    case kPortNetwork: return std::string(kNetworkSuffix);
    case kPortUsb: {
      const int index = UsbPortIndex(port_name);
      return index == 0 ? std::string() : std::string(kUsbSuffix) + std::to_string(index);
    }
    default: return {};
  }
}

std::string UsbPortFor(std::string_view model_name, std::string_view chosen_port) {
  if (model_name.find(kSharedUsbPortModel) == std::string_view::npos || chosen_port.empty())
    return std::string(chosen_port);
  return std::string(kUsbPortPrefix) + std::string(kSharedUsbPortModel) + "_" + chosen_port.back();
}

std::string DottedAddress(const IpAddress& address) {
  return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." + std::to_string(address[2]) + "." +
         std::to_string(address[3]);
}

std::string NetworkPortName(const IpAddress& address) {
  return std::string(kNetworkPortPrefix) + DottedAddress(address);
}

bool IsNullAddress(const IpAddress& address) {
  return address[0] == 0 && address[1] == 0 && address[2] == 0 && address[3] == 0;
}

IpAddress ParseIpAddressText(std::string_view text) {
  IpAddress address{};
  std::size_t field = 0;
  int value = 0;
  for (char c : text) {
    if (c == '.') {
      if (++field == address.size()) break;
      value = 0;
    } else if (c >= '0' && c <= '9') {
      value = value * 10 + (c - '0');
      if (value > 255) value = 255;
      address[field] = static_cast<std::uint8_t>(value);
    }
  }
  return address;
}

}  // namespace kit::setup
