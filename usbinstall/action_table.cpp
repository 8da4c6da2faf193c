// This file is OS-independent.
#include "usbinstall/action_table.h"

#include <array>

namespace kit::usbinstall {
namespace {

constexpr std::array<std::string_view, 5> kUsbSerialIds = {
    "USB\\VID_7A5C&PID_7A5C", "USB\\VID_04ce&PID_04ce", "USB\\VID_7a5c&PID_1000",
    "USB\\VID_7a5c&PID_1001", "USB\\VID_0AA7&PID_030A"};
constexpr std::array<std::string_view, 2> kUsbScannerIds = {"USB\\VID_7A5C&PID_2002", "USB\\VID_7A5C&PID_2018"};
constexpr std::array<std::string_view, 6> kUsbPrinterIds = {
    "USB\\VID_7A5C&PID_7A5C", "USB\\VID_04ce&PID_04ce", "USB\\VID_7a5c&PID_1000",
    "USB\\VID_7a5c&PID_1001", "USB\\VID_7a5c&PID_1002", "USB\\VID_0AA7&PID_030A"};

}  // namespace

ActionKind KindOfAction(int action_code) {
  switch (action_code) {
    case kActionUsbVirtualSerial: return ActionKind::kUsbVirtualSerial;
    case kActionClassDriver: return ActionKind::kClassDriver;
    case kActionUsbScanner: return ActionKind::kUsbScanner;
    case kActionNetworkSerial: return ActionKind::kNetworkSerial;
    case kActionRemoveUsbSerial: return ActionKind::kRemoveUsbSerial;
    case kActionRemoveUsbPrinter: return ActionKind::kRemoveUsbPrinter;
    case kActionRemoveUsbScanner: return ActionKind::kRemoveUsbScanner;
    case kActionRemoveNetworkSerial: return ActionKind::kRemoveNetworkSerial;
    default: return ActionKind::kUsbPrinter;
  }
}

bool IsRemoval(ActionKind kind) {
  return kind == ActionKind::kRemoveUsbSerial || kind == ActionKind::kRemoveUsbPrinter ||
         kind == ActionKind::kRemoveUsbScanner || kind == ActionKind::kRemoveNetworkSerial;
}

std::string_view InfFileOf(ActionKind kind) {
  switch (kind) {
    case ActionKind::kUsbPrinter: return "KVPUSB.INF";
    case ActionKind::kUsbVirtualSerial: return "USBVCOM.INF";
    case ActionKind::kUsbScanner: return "kvsusb.inf";
    case ActionKind::kNetworkSerial: return "XKVVCOM.INF";
    default: return {};
  }
}

std::span<const std::string_view> HardwareIdsOf(ActionKind kind) {
  switch (kind) {
    case ActionKind::kUsbPrinter: return kUsbPrinterIds;
    case ActionKind::kUsbVirtualSerial: return kUsbSerialIds;
    case ActionKind::kUsbScanner: return kUsbScannerIds;
    default: return {};
  }
}

}  // namespace kit::usbinstall
