// The installer's actions: which INF package each one installs and which
// hardware ids it offers the package to, in the order they are tried.
// This file is OS-independent.
#pragma once

#include <span>
#include <string_view>

namespace kit::usbinstall {

enum class ActionKind {
  kUsbPrinter,       // every code not listed below, including 0 and 2
  kUsbVirtualSerial, // 1
  kClassDriver,      // 3: a printer-class package named on the command line
  kUsbScanner,       // 4
  kNetworkSerial,    // 8: root-enumerated virtual serial ports
  kRemoveUsbSerial,  // 11
  kRemoveUsbPrinter, // 22
  kRemoveUsbScanner, // 44
  kRemoveNetworkSerial,  // 88
};

inline constexpr int kActionUsbVirtualSerial = 1;
inline constexpr int kActionUsbPrinter = 2;
inline constexpr int kActionClassDriver = 3;
inline constexpr int kActionUsbScanner = 4;
inline constexpr int kActionNetworkSerial = 8;
inline constexpr int kActionRemoveUsbSerial = 11;
inline constexpr int kActionRemoveUsbPrinter = 22;
inline constexpr int kActionRemoveUsbScanner = 44;
inline constexpr int kActionRemoveNetworkSerial = 88;

ActionKind KindOfAction(int action_code);

bool IsRemoval(ActionKind kind);

// The INF file of an install action, in the program's folder; empty for the
// class-driver install and the removals.
std::string_view InfFileOf(ActionKind kind);

// The hardware ids an update tries, in order and with their exact letter
// case; empty for actions that do not update by hardware id list.
std::span<const std::string_view> HardwareIdsOf(ActionKind kind);

}  // namespace kit::usbinstall
