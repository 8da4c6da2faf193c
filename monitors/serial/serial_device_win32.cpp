// The serial port through the Win32 communications functions: CreateFile on
// "\\.\COMn", SetCommState with the port's settings, SetCommTimeouts so that
// a write returns within its time-out with what went out.
#include <windows.h>

#include "monitors/core/serial_ports.h"
#include "monitors/serial/serial_device.h"
#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

void Fill(const SerialSettings& s, DCB* dcb) {
  dcb->BaudRate = s.baud;
  dcb->ByteSize = s.data_bits;
  switch (s.parity) {
    case Parity::kEven: dcb->Parity = EVENPARITY; break;
    case Parity::kMark: dcb->Parity = MARKPARITY; break;
    case Parity::kOdd: dcb->Parity = ODDPARITY; break;
    case Parity::kSpace: dcb->Parity = SPACEPARITY; break;
    case Parity::kNone: dcb->Parity = NOPARITY; break;
  }
  dcb->fParity = s.parity == Parity::kNone ? FALSE : TRUE;
  dcb->StopBits = s.stop_bits == StopBits::kOne ? ONESTOPBIT
                  : s.stop_bits == StopBits::kOneAndHalf ? ONE5STOPBITS
                                                         : TWOSTOPBITS;
  dcb->fBinary = TRUE;
  dcb->fDtrControl = DTR_CONTROL_ENABLE;
  dcb->fDsrSensitivity = FALSE;
  dcb->fOutxDsrFlow = FALSE;
  const bool hardware = s.flow == FlowControl::kHardware;
  const bool xon = s.flow == FlowControl::kXonXoff;
  dcb->fOutxCtsFlow = hardware ? TRUE : FALSE;
  dcb->fRtsControl = hardware ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
  dcb->fOutX = xon ? TRUE : FALSE;
  dcb->fInX = xon ? TRUE : FALSE;
  dcb->XonChar = 0x11;
  dcb->XoffChar = 0x13;
}

class SerialDevice final : public PortDevice {
 public:
  SerialDevice(int number, const SerialSettings& settings) : number_(number), settings_(settings) {}
  ~SerialDevice() override { Close(); }

  std::uint32_t Open() override {
    Close();
    const WString name = SerialDeviceName(number_);
    handle_ = CreateFileW(reinterpret_cast<const wchar_t*>(name.c_str()), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) return GetLastError();
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb)) return Fail();
    Fill(settings_, &dcb);
    if (!SetCommState(handle_, &dcb)) return Fail();
    const WriteTimeouts write = WriteTimeoutsFor(settings_);
    COMMTIMEOUTS timeouts{};
    // Reads return at once with what has arrived (MAXDWORD, 0, 0).
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutMultiplier = write.per_byte_ms;
    timeouts.WriteTotalTimeoutConstant = write.constant_ms;
    if (!SetCommTimeouts(handle_, &timeouts)) return Fail();
    return win32::kErrorSuccess;
  }

  std::uint32_t Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) override {
    DWORD done = 0;
    const BOOL ok = WriteFile(handle_, data, size, &done, nullptr);
    *written = done;
    return ok ? win32::kErrorSuccess : GetLastError();
  }

  std::uint32_t Read(std::uint8_t* data, std::uint32_t size, std::uint32_t* read) override {
    DWORD done = 0;
    const BOOL ok = ReadFile(handle_, data, size, &done, nullptr);
    *read = done;
    return ok ? win32::kErrorSuccess : GetLastError();
  }

  void Close() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  std::uint32_t Fail() {
    const std::uint32_t error = GetLastError();
    Close();
    return error == 0 ? win32::kErrorInvalidFunction : error;
  }

  int number_;
  SerialSettings settings_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<PortDevice> MakeSerialDevice(int number, const SerialSettings& settings) {
  return std::make_unique<SerialDevice>(number, settings);
}

}  // namespace kit::monitors
