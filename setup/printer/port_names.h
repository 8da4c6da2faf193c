// How the wizard names ports and printers: the USB port index, the shared
// USB ports of the "VRT-D4" models, the network port of an address, and the
// port-kind suffix of a printer name.
// This file is OS-independent.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kit::setup {

inline constexpr std::string_view kUsbPortPrefix = "USB_";
inline constexpr std::string_view kNetworkPortPrefix = "KVIP_";
// Every model whose name holds this text uses the ports "USB_VRT-D4_n".
inline constexpr std::string_view kSharedUsbPortModel = "VRT-D4";
inline constexpr int kFirstUsbPortIndex = 1;
inline constexpr int kLastUsbPortIndex = 4;

inline constexpr std::string_view kSerialSuffix = "(S)";
inline constexpr std::string_view kParallelSuffix = "(P)";
inline constexpr std::string_view kNetworkSuffix = "(E)";
inline constexpr std::string_view kUsbSuffix = "(U) ";

using IpAddress = std::array<std::uint8_t, 4>;

// The index of a USB port: the trailing "_n" (1 to 4) of its name, 0 when
// the name does not end so. Only the end counts, so a model name holding
// "_3" does not change it.
int UsbPortIndex(std::string_view port_name);

// The printer-name suffix for the port kind: "(S)", "(P)", "(E)", or
// "(U) " with the USB port index.
std::string PrinterSuffix(int port_kind, std::string_view port_name);

// The USB port a model's printer uses: the chosen one, or for a "VRT-D4"
// model the shared port of the same index.
std::string UsbPortFor(std::string_view model_name, std::string_view chosen_port);

// The address in dotted form ("192.168.0.5") and the network port named by
// it ("KVIP_192.168.0.5").
std::string DottedAddress(const IpAddress& address);
std::string NetworkPortName(const IpAddress& address);
bool IsNullAddress(const IpAddress& address);
// The four fields of an IP address control's text ("192.168.0.5"); a blank
// field reads 0, as the control reports it, and a blank control 0.0.0.0.
IpAddress ParseIpAddressText(std::string_view text);

}  // namespace kit::setup
