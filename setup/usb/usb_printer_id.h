// The printer's USB id: read from the release number of its USB device
// descriptor and rewritten with the id-write command, through the maker's
// library "KvUsbInt.dll" in the package folder. Port index n (the "_n" of a
// "USB_" port) belongs to id n - 1; a reported id belongs to index
// (id mod 8) + 1.
// This file is OS-independent.
#pragma once

#include <array>
#include <cstdint>

#include "platform/usb_probe.h"
#include "setup/usb/usb_env.h"
#include "setup/usb/usb_prompts.h"

namespace kit::setup {

// The library's fixed texts, shown as they stand.
inline constexpr char kNoKvUsbIntText[] = "Can not load KvUsbInt.dll";
inline constexpr char kNoUsbFunctionText[] = "open function error";
inline constexpr char kNoDeviceIdText[] = "Get Device ID error";
inline constexpr char kNoUsbDeviceText[] = "Can not find USB device.";
inline constexpr char kWriteIdFailedText[] = "write ID error";

inline constexpr int kUsbDeviceIndexCount = kUsbPrinterIndexCount;
// The id-write command: nine fixed bytes, then the new id.
inline constexpr std::array<std::uint8_t, 9> kIdWritePrefix = {0x1B, 0x73, 0x42, 0x45, 0x92,
                                                              0x99, 0x1D, 0x49, 0x20};
using IdWriteCommand = std::array<std::uint8_t, kIdWritePrefix.size() + 1>;

// The port index (1-8) of a reported id.
inline constexpr int PortIndexOfUsbId(int id) { return UsbPortIndexOfId(static_cast<unsigned>(id)); }

// The command that gives the printer the id of port index `port_index`.
IdWriteCommand MakeIdWriteCommand(int port_index);

// The id of the one connected printer (0-65535); kNoUsbPrinter (-1) when
// there is none or the library fails, kSeveralUsbPrinters (-2) after
// "Message"/IDS_ERR_ONEPRINTER when there are two or more.
int ReadPrinterUsbId(const UsbEnv& env, UsbPrompts& prompts);

// Gives the first connected printer the id of port index 1-8; false (after
// the library's text) when that cannot be done.
bool WritePrinterUsbId(const UsbEnv& env, UsbPrompts& prompts, int port_index);

}  // namespace kit::setup
