// Stand-in KvUsbInt.dll: opens the printers of the file beside it by index,
// answers their device descriptors, takes writes (each one logged; the
// id-write command changes the printer's release in the file, as the
// printer stores its new id at once) and closes them. Without the file
// there is no printer.
#include <windows.h>

#include "tools/usbstandin/printer_file.h"
#include "tools/usbstandin/stand_in_files_win32.h"

namespace kit::usbstandin {
namespace {

// Handles are the index plus this base, so 0 and -1 (no printer) never occur.
constexpr INT_PTR kHandleBase = 0x4B560000;

std::vector<SimulatedPrinter> Printers() { return ParsePrinterFile(ReadWhole(BesideModule(kPrinterFileName))); }

// The index of an open handle, or -1.
int IndexOf(HANDLE device) {
  const INT_PTR index = reinterpret_cast<INT_PTR>(device) - kHandleBase;
  return index >= 0 && index < static_cast<INT_PTR>(kMaxPrinters) ? static_cast<int>(index) : -1;
}

}  // namespace
}  // namespace kit::usbstandin

using namespace kit::usbstandin;

extern "C" {

__declspec(dllexport) HANDLE WINAPI OpenDeviceX(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= Printers().size()) return nullptr;
  return reinterpret_cast<HANDLE>(kHandleBase + index);
}

__declspec(dllexport) int WINAPI GetDescriptor(HANDLE device, unsigned char* descriptor) {
  const auto printers = Printers();
  const int index = IndexOf(device);
  if (descriptor == nullptr || index < 0 || static_cast<std::size_t>(index) >= printers.size()) return 0;
  Descriptor(printers[static_cast<std::size_t>(index)], descriptor);
  return 1;
}

__declspec(dllexport) int WINAPI uWrite(HANDLE device, int pipe, unsigned char* data, DWORD length) {
  const std::wstring file = BesideModule(kPrinterFileName);
  const std::string text = ReadWhole(file);
  const auto printers = ParsePrinterFile(text);
  const int index = IndexOf(device);
  if (index < 0 || static_cast<std::size_t>(index) >= printers.size() || (data == nullptr && length > 0)) return -1;
  Append(BesideModule(kWriteLogName), WriteLogLine(static_cast<std::size_t>(index), pipe, data, length));
  std::uint16_t id = 0;
  if (IdWrite(data, length, &id)) WriteWhole(file, WithRelease(text, printers[static_cast<std::size_t>(index)], id));
  return static_cast<int>(length);
}

__declspec(dllexport) void WINAPI CloseDevice(HANDLE) {}

}  // extern "C"
