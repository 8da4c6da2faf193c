// Stand-in USBPrintDll.dll: lists the printers of the file beside it by
// their list texts, cut to the caller's 1024-byte buffer with its
// terminator. Without the file the list is empty.
#include <windows.h>

#include <cstring>

#include "tools/usbstandin/printer_file.h"
#include "tools/usbstandin/stand_in_files_win32.h"

using namespace kit::usbstandin;

extern "C" {

__declspec(dllexport) int WINAPI EnumUSBPrinter(char* text) {
  if (text == nullptr) return -1;
  const auto printers = ParsePrinterFile(ReadWhole(BesideModule(kPrinterFileName)));
  const std::string list = PrinterList(printers);
  std::memcpy(text, list.c_str(), list.size() + 1);
  return static_cast<int>(printers.size());
}

}  // extern "C"
