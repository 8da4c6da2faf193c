// A hostile stand-in for the outside USB libraries: one printer at index 2
// (index 5 answers all ones, the others nothing), a descriptor written with
// extra bytes past its 18, writes that echo their length, and a printer list
// that fills its whole buffer without a terminator; index 3 is a printer
// whose descriptor call reports success and fills nothing.
#include <windows.h>

#include <cstring>

namespace {
HANDLE const kPrinter = reinterpret_cast<HANDLE>(0x1234);
HANDLE const kSilentPrinter = reinterpret_cast<HANDLE>(0x1238);
constexpr int kDescriptorWriteSize = 64;  // more than a descriptor, on purpose
constexpr int kListBufferSize = 1024;
}  // namespace

extern "C" {

__declspec(dllexport) HANDLE WINAPI OpenDeviceX(int index) {
  if (index == 2) return kPrinter;
  if (index == 3) return kSilentPrinter;
  if (index == 5) return INVALID_HANDLE_VALUE;
  return nullptr;
}

__declspec(dllexport) int WINAPI GetDescriptor(HANDLE device, unsigned char* descriptor) {
  if (device == kSilentPrinter) return 1;
  if (device != kPrinter) return 0;
  std::memset(descriptor, 0xEE, kDescriptorWriteSize);
  descriptor[0] = 18;  // bLength
  descriptor[1] = 1;   // device descriptor
  descriptor[12] = 0x02;  // bcdDevice 0x0102
  descriptor[13] = 0x01;
  return 1;
}

__declspec(dllexport) int WINAPI uWrite(HANDLE device, int pipe, unsigned char* data, DWORD length) {
  if (device != kPrinter || pipe != 0 || data == nullptr) return -1;
  return static_cast<int>(length) + data[0];
}

__declspec(dllexport) void WINAPI CloseDevice(HANDLE) {}

__declspec(dllexport) int WINAPI EnumUSBPrinter(char* text) {
  static const char kList[] = "VRT-Q40@USB001;";
  std::memset(text, 'x', kListBufferSize);
  std::memcpy(text, kList, sizeof kList - 1);
  return 1;
}

}  // extern "C"
