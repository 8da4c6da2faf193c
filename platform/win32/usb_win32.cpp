// The two outside USB libraries of the kit, loaded from the package folder
// with LoadLibrary and called through GetProcAddress. A missing library is
// an error code for the caller; a missing entry point answers "no device".
#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

// The libraries export plain C functions with the Windows calling
// convention (the same as the C one on x64).
using OpenDeviceXFn = HANDLE(WINAPI*)(int index);
using GetDescriptorFn = int(WINAPI*)(HANDLE device, unsigned char* descriptor);
using UWriteFn = int(WINAPI*)(HANDLE device, int pipe, unsigned char* data, DWORD length);
using CloseDeviceFn = void(WINAPI*)(HANDLE device);
using EnumUsbPrinterFn = int(WINAPI*)(char* text);

// The descriptor is read into a buffer well above its 18 bytes, so a library
// that writes a longer record cannot reach past the caller's memory.
constexpr std::size_t kDescriptorScratchSize = 256;

HMODULE LoadFromPackage(WStringView dll_path) {
  const std::wstring path = Wide(dll_path);
  // With a full path, the library's own dependencies are looked for beside it.
  HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module == nullptr) LogLastError("LoadLibraryExW", dll_path);
  return module;
}

void MissingFunction(const char* name) {
  ::SetLastError(kErrorProcNotFound);
  LogFailure("GetProcAddress", kErrorProcNotFound, FromUtf8(name));
}

class Win32KvUsbInt final : public KvUsbInt {
 public:
  explicit Win32KvUsbInt(HMODULE module)
      : module_(module),
        open_(module_.Proc<OpenDeviceXFn>("OpenDeviceX")),
        descriptor_(module_.Proc<GetDescriptorFn>("GetDescriptor")),
        write_(module_.Proc<UWriteFn>("uWrite")),
        close_(module_.Proc<CloseDeviceFn>("CloseDevice")) {}

  bool HasFunction(std::string_view name) const override {
    return ::GetProcAddress(module_.Get(), std::string(name).c_str()) != nullptr;
  }

  UsbDeviceHandle OpenDeviceX(int index) override {
    if (open_ == nullptr) {
      MissingFunction("OpenDeviceX");
      return 0;
    }
    return reinterpret_cast<UsbDeviceHandle>(open_(index));
  }

  int GetDescriptor(UsbDeviceHandle handle, std::uint8_t* buffer, std::size_t buffer_size) override {
    if (descriptor_ == nullptr) {
      MissingFunction("GetDescriptor");
      return 0;
    }
    if (buffer == nullptr || buffer_size < kUsbDeviceDescriptorSize) {
      ::SetLastError(kErrorInsufficientBuffer);
      return 0;
    }
    unsigned char scratch[kDescriptorScratchSize] = {};
    const int result = descriptor_(reinterpret_cast<HANDLE>(handle), scratch);
    if (result != 0) std::copy(scratch, scratch + kUsbDeviceDescriptorSize, buffer);
    return result;
  }

  int uWrite(UsbDeviceHandle handle, int pipe, const std::uint8_t* data, std::uint32_t length) override {
    if (write_ == nullptr) {
      MissingFunction("uWrite");
      return 0;
    }
    // The library takes a non-const pointer; it only reads the bytes.
    Bytes copy(data, data + length);
    return write_(reinterpret_cast<HANDLE>(handle), pipe, copy.empty() ? nullptr : copy.data(), length);
  }

  void CloseDevice(UsbDeviceHandle handle) override {
    if (close_ == nullptr) {
      MissingFunction("CloseDevice");
      return;
    }
    close_(reinterpret_cast<HANDLE>(handle));
  }

 private:
  UniqueModule module_;
  OpenDeviceXFn open_;
  GetDescriptorFn descriptor_;
  UWriteFn write_;
  CloseDeviceFn close_;
};

class Win32UsbPrintDll final : public UsbPrintDll {
 public:
  explicit Win32UsbPrintDll(HMODULE module)
      : module_(module), enumerate_(module_.Proc<EnumUsbPrinterFn>("EnumUSBPrinter")) {}

  bool HasFunction(std::string_view name) const override {
    return ::GetProcAddress(module_.Get(), std::string(name).c_str()) != nullptr;
  }

  int EnumUSBPrinter(WString* text) override {
    if (enumerate_ == nullptr) {
      MissingFunction("EnumUSBPrinter");
      return -1;
    }
    // One byte beyond the library's buffer keeps the text terminated even
    // when the library fills all of it.
    std::string buffer(kEnumUsbPrinterBufferSize + 1, '\0');
    const int result = enumerate_(buffer.data());
    buffer[kEnumUsbPrinterBufferSize] = '\0';
    const std::size_t length = std::char_traits<char>::length(buffer.c_str());
    text->clear();
    if (length == 0) return result;
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, buffer.data(), static_cast<int>(length), nullptr, 0);
    if (wide <= 0) {
      LogLastError("MultiByteToWideChar");
      return result;
    }
    std::wstring converted(static_cast<std::size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, buffer.data(), static_cast<int>(length), converted.data(), wide);
    *text = FromWide(converted.data(), converted.size());
    return result;
  }

 private:
  UniqueModule module_;
  EnumUsbPrinterFn enumerate_;
};

class Win32UsbLibraries final : public UsbLibraries {
 public:
  std::unique_ptr<KvUsbInt> LoadKvUsbInt(WStringView dll_path) override {
    HMODULE module = LoadFromPackage(dll_path);
    if (module == nullptr) return nullptr;
    return std::make_unique<Win32KvUsbInt>(module);
  }
  std::unique_ptr<UsbPrintDll> LoadUsbPrintDll(WStringView dll_path) override {
    HMODULE module = LoadFromPackage(dll_path);
    if (module == nullptr) return nullptr;
    return std::make_unique<Win32UsbPrintDll>(module);
  }
};

}  // namespace

std::unique_ptr<UsbLibraries> MakeUsbLibraries() { return std::make_unique<Win32UsbLibraries>(); }

}  // namespace kit::win32
