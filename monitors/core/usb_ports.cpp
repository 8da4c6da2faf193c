// This file is OS-independent.
#include "monitors/core/usb_ports.h"

#include <algorithm>

#include "platform/usb_probe.h"
#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

constexpr std::size_t kPrefixLength = std::char_traits<char16_t>::length(kUsbPortPrefix);

class UsbPrinter final : public PortDevice {
 public:
  UsbPrinter(UsbLibraries& usb, WStringView library_path, int port_index)
      : usb_(usb), path_(library_path), index_(port_index) {}
  ~UsbPrinter() override { Close(); }

  std::uint32_t Open() override {
    Close();
    // Loaded again for each open: a library put in place while the job
    // waits is found on the next try.
    if (!library_) {
      LoadedKvUsbInt loaded = LoadKvUsbIntWith(usb_, path_, kUsbJobFunctions);
      if (loaded.outcome == KvUsbIntLoad::kNoLibrary) return win32::kErrorModNotFound;
      if (loaded.outcome == KvUsbIntLoad::kMissingFunction) return win32::kErrorProcNotFound;
      library_ = std::move(loaded.library);
    }
    // The printer whose id belongs to this port; every other one opened
    // on the way is closed again.
    for (int i = 0; i < kUsbPrinterIndexCount; ++i) {
      const UsbDeviceHandle h = library_->OpenDeviceX(i);
      if (!IsValidUsbHandle(h)) continue;
      unsigned id = 0;
      if (ReadOpenRelease(*library_, h, &id) && UsbPortIndexOfId(id) == index_) {
        handle_ = h;
        return win32::kErrorSuccess;
      }
      library_->CloseDevice(h);
    }
    library_.reset();
    return win32::kErrorNotReady;
  }

  std::uint32_t Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) override {
    *written = 0;
    if (!library_ || !IsValidUsbHandle(handle_)) return win32::kErrorNotReady;
    const int sent = library_->uWrite(handle_, kUsbDataPipe, data, size);
    // The library reports a failure as a count of 0 or below.
    if (sent <= 0) return win32::kErrorGenFailure;
    *written = std::min(static_cast<std::uint32_t>(sent), size);
    return win32::kErrorSuccess;
  }

  std::uint32_t Read(std::uint8_t*, std::uint32_t, std::uint32_t* read) override {
    *read = 0;
    return win32::kErrorNotSupported;
  }

  void Close() override {
    if (library_ && IsValidUsbHandle(handle_)) library_->CloseDevice(handle_);
    handle_ = 0;
    library_.reset();
  }

 private:
  UsbLibraries& usb_;
  WString path_;
  int index_;
  std::unique_ptr<KvUsbInt> library_;
  UsbDeviceHandle handle_ = 0;
};

}  // namespace

int UsbPortIndex(WStringView port_name) {
  if (port_name.size() < kPrefixLength + 2 ||
      !EqualsNoCase(port_name.substr(0, kPrefixLength), kUsbPortPrefix)) {
    return 0;
  }
  const std::size_t underscore = port_name.rfind(u'_');
  // One digit after the last underscore, and a name between it and the prefix.
  if (underscore == WStringView::npos || underscore < kPrefixLength || underscore + 2 != port_name.size()) return 0;
  const char16_t digit = port_name.back();
  if (digit < u'1' || digit > u'0' + kLastUsbPortIndex) return 0;
  return digit - u'0';
}

std::vector<WString> UsbPortNames(Registry& registry) {
  std::vector<WString> names;
  RegistryKeyPtr key;
  if (registry.RegOpenKeyEx(RootKey::kLocalMachine, kUsbPortRecordKey, kKeyQueryValue, &key) !=
      win32::kErrorSuccess) {
    return names;
  }
  WString name;
  std::uint32_t type = 0;
  for (std::uint32_t i = 0; key->EnumValue(i, &name, &type) == win32::kErrorSuccess; ++i) {
    if (UsbPortIndex(name) == 0) continue;
    const bool seen = std::any_of(names.begin(), names.end(), [&](const WString& n) { return EqualsNoCase(n, name); });
    if (!seen) names.push_back(name);
  }
  return names;
}

WString FindUsbPort(Registry& registry, WStringView port_name) {
  for (const WString& name : UsbPortNames(registry)) {
    if (EqualsNoCase(name, port_name)) return name;
  }
  return {};
}

std::unique_ptr<PortDevice> MakeUsbPrinter(UsbLibraries& usb, WStringView library_path, int port_index) {
  return std::make_unique<UsbPrinter>(usb, library_path, port_index);
}

WString UsbPortProblem(std::uint32_t cause) {
  if (cause == win32::kErrorModNotFound) return u"KvUsbInt.dll could not be loaded";
  if (cause == win32::kErrorProcNotFound) return u"KvUsbInt.dll lacks a function the port needs";
  return {};
}

std::uint32_t UsbXcvData(Registry& registry, const XcvRequest& request, std::uint32_t* needed) {
  *needed = 0;
  if (request.command == kXcvMonitorUi) return XcvAnswer(request, XcvTexts({kUsbMonitorUi}), needed);
  if (request.command == kXcvPortIsValid) {
    const auto texts = XcvInputTexts(request.input, request.input_size);
    if (!texts || texts->empty()) return win32::kErrorInvalidParameter;
    return !FindUsbPort(registry, (*texts)[0]).empty() ? win32::kErrorSuccess : win32::kErrorInvalidName;
  }
  return win32::kErrorInvalidParameter;
}

}  // namespace kit::monitors
