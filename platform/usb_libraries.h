// The two outside USB libraries of the kit, loaded from the package folder
// at each use: "KvUsbInt.dll" (open a printer by index, read its USB device
// descriptor, write to it, close it) and "USBPrintDll.dll" (list the
// connected USB printers as text).
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/types.h"

namespace kit {

inline constexpr char16_t kKvUsbIntDll[] = u"KvUsbInt.dll";
inline constexpr char16_t kUsbPrintDll[] = u"USBPrintDll.dll";
// Size of a USB device descriptor; the release number (bcdDevice) is the
// little-endian 16-bit field at offset 12.
inline constexpr std::size_t kUsbDeviceDescriptorSize = 18;
inline constexpr std::size_t kUsbDescriptorReleaseOffset = 12;
// The buffer EnumUSBPrinter fills, in bytes.
inline constexpr std::size_t kEnumUsbPrinterBufferSize = 1024;

// A handle as OpenDeviceX returns it: 0 or -1 mean no printer at that index.
using UsbDeviceHandle = std::intptr_t;
inline constexpr bool IsValidUsbHandle(UsbDeviceHandle h) { return h != 0 && h != -1; }

// KvUsbInt.dll, loaded; FreeLibrary on destruction.
class KvUsbInt {
 public:
  virtual ~KvUsbInt() = default;
  // Whether GetProcAddress finds "OpenDeviceX", "GetDescriptor", "uWrite",
  // "CloseDevice".
  virtual bool HasFunction(std::string_view name) const = 0;
  // OpenDeviceX(index 0-7).
  virtual UsbDeviceHandle OpenDeviceX(int index) = 0;
  // GetDescriptor(handle, buffer): non-zero on success; fills the first
  // kUsbDeviceDescriptorSize bytes of a buffer of that size or more.
  virtual int GetDescriptor(UsbDeviceHandle handle, std::uint8_t* buffer, std::size_t buffer_size) = 0;
  // uWrite(handle, pipe, data, length): bytes written, > 0 on success.
  virtual int uWrite(UsbDeviceHandle handle, int pipe, const std::uint8_t* data, std::uint32_t length) = 0;
  virtual void CloseDevice(UsbDeviceHandle handle) = 0;
};

// USBPrintDll.dll, loaded; FreeLibrary on destruction.
class UsbPrintDll {
 public:
  virtual ~UsbPrintDll() = default;
  virtual bool HasFunction(std::string_view name) const = 0;
  // EnumUSBPrinter(buffer of kEnumUsbPrinterBufferSize zero-filled bytes):
  // negative on failure; the text (ANSI in the library, converted here with
  // the system's ANSI code page) lists the connected USB printers.
  virtual int EnumUSBPrinter(WString* text) = 0;
};

class UsbLibraries {
 public:
  virtual ~UsbLibraries() = default;
  // LoadLibrary(path) of the library in the package folder: null with the
  // last error (kErrorModNotFound) when it cannot be loaded.
  virtual std::unique_ptr<KvUsbInt> LoadKvUsbInt(WStringView dll_path) = 0;
  virtual std::unique_ptr<UsbPrintDll> LoadUsbPrintDll(WStringView dll_path) = 0;
};

}  // namespace kit
