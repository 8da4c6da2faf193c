// The kit's outside USB libraries on the virtual machine: KvUsbInt.dll
// reaches the plugged family printers in plug order; USBPrintDll.dll lists
// the plugged class printers by the text each one was given.
#include <map>

#include "platform/sim/core.h"
#include "platform/sim/missing_exports.h"
#include "tools/usbstandin/printer_file.h"

namespace kit::sim {
namespace {

static_assert(usbstandin::kDescriptorSize == kUsbDeviceDescriptorSize);
constexpr int kMaxUsbIndex = 7;
constexpr UsbDeviceHandle kFirstHandle = 0x5100;

// The plugged USB devices the maker's library can open, in plug order.
std::vector<Json*> OpenableDevices(Json& s) {
  std::vector<Json*> out;
  for (auto& d : s["devices"]["list"]) {
    if (d.value("plugged", true) && d.contains("usb") && d["usb"].value("kvusb", false)) out.push_back(&d);
  }
  return out;
}

// An entry point the machine took away answers as the real wrapper does
// when GetProcAddress failed: no device, last error 127.
bool Missing(Core& core, const char* library, const char* proc) {
  Json s;
  if (!core.Read(&s)) return true;
  if (!ProcMissing(s, library, proc)) return false;
  Core::SetLastError(win32::kErrorProcNotFound);
  return true;
}

class SimKvUsbInt final : public KvUsbInt {
 public:
  explicit SimKvUsbInt(Core& core) : core_(core) {}

  bool HasFunction(std::string_view name) const override {
    Json s;
    if (!core_.Read(&s)) return false;
    return !ProcMissing(s, kLibrary, name);
  }

  UsbDeviceHandle OpenDeviceX(int index) override {
    if (Missing(core_, kLibrary, "OpenDeviceX")) return 0;
    if (index < 0 || index > kMaxUsbIndex) return 0;
    std::uint32_t inst = 0;
    core_.Update([&](Json& s) {
      if (Core::TakeFault(s, "OpenDeviceX")) return false;
      const auto devices = OpenableDevices(s);
      if (static_cast<std::size_t>(index) >= devices.size()) return false;
      inst = devices[index]->value("inst", 0u);
      return true;
    });
    if (inst == 0) return 0;
    const UsbDeviceHandle h = next_++;
    open_[h] = inst;
    return h;
  }

  int GetDescriptor(UsbDeviceHandle handle, std::uint8_t* buffer, std::size_t buffer_size) override {
    if (Missing(core_, kLibrary, "GetDescriptor")) return 0;
    if (buffer == nullptr || buffer_size < kUsbDeviceDescriptorSize) {
      Core::SetLastError(win32::kErrorInsufficientBuffer);
      return 0;
    }
    const auto it = open_.find(handle);
    if (it == open_.end()) return 0;
    Json s;
    if (!core_.Read(&s)) return 0;
    if (core_.TakeReadFault(s, "GetDescriptor")) return 0;
    for (const auto& d : s["devices"]["list"]) {
      if (d.value("inst", 0u) != it->second || !d.value("plugged", true)) continue;
      // The same printer the kit's stand-in libraries simulate.
      const auto& usb = d["usb"];
      usbstandin::SimulatedPrinter printer;
      printer.vid = usb.value("vid", std::uint16_t{0});
      printer.pid = usb.value("pid", std::uint16_t{0});
      printer.release = usb.value("release", std::uint16_t{0});
      usbstandin::Descriptor(printer, buffer);
      return 1;
    }
    return 0;
  }

  int uWrite(UsbDeviceHandle handle, int pipe, const std::uint8_t* data, std::uint32_t length) override {
    if (Missing(core_, kLibrary, "uWrite")) return 0;
    const auto it = open_.find(handle);
    if (it == open_.end() || (data == nullptr && length > 0)) return 0;
    int written = 0;
    core_.Update([&](Json& s) {
      if (Core::TakeFault(s, "uWrite")) return false;
      for (auto& d : s["devices"]["list"]) {
        if (d.value("inst", 0u) != it->second || !d.value("plugged", true)) continue;
        const Bytes bytes(data, data + length);
        d["usb"]["writes"].push_back({{"pipe", pipe}, {"data", ToHex(bytes)}});
        // The printer takes a new id from the id-write command at once.
        std::uint16_t id = 0;
        if (usbstandin::IdWrite(data, length, &id)) d["usb"]["release"] = id;
        written = static_cast<int>(length);
        return true;
      }
      return false;
    });
    return written;
  }

  void CloseDevice(UsbDeviceHandle handle) override {
    if (Missing(core_, kLibrary, "CloseDevice")) return;
    open_.erase(handle);
  }

 private:
  static constexpr char kLibrary[] = "KvUsbInt.dll";
  Core& core_;
  std::map<UsbDeviceHandle, std::uint32_t> open_;
  UsbDeviceHandle next_ = kFirstHandle;
};

class SimUsbPrintDll final : public UsbPrintDll {
 public:
  explicit SimUsbPrintDll(Core& core) : core_(core) {}
  bool HasFunction(std::string_view name) const override {
    Json s;
    if (!core_.Read(&s)) return false;
    return !ProcMissing(s, "USBPrintDll.dll", name);
  }
  int EnumUSBPrinter(WString* text) override {
    if (Missing(core_, "USBPrintDll.dll", "EnumUSBPrinter")) return -1;
    Json s;
    if (!core_.Read(&s)) return -1;
    if (core_.TakeReadFault(s, "EnumUSBPrinter")) return -1;
    WString out;
    int count = 0;
    for (const auto& d : s["devices"]["list"]) {
      if (!d.value("plugged", true) || !d.contains("usb")) continue;
      const WString entry = JsonText(d["usb"], "enum_text");
      if (entry.empty()) continue;
      out += entry;
      ++count;
    }
    // The library's buffer holds 1024 bytes with its terminator.
    if (out.size() > kEnumUsbPrinterBufferSize - 1) out.resize(kEnumUsbPrinterBufferSize - 1);
    *text = out;
    return count;
  }

 private:
  Core& core_;
};

class SimUsbLibraries final : public UsbLibraries {
 public:
  explicit SimUsbLibraries(Core& core) : core_(core) {}

  std::unique_ptr<KvUsbInt> LoadKvUsbInt(WStringView dll_path) override {
    if (!Loadable(dll_path)) return nullptr;
    return std::make_unique<SimKvUsbInt>(core_);
  }
  std::unique_ptr<UsbPrintDll> LoadUsbPrintDll(WStringView dll_path) override {
    if (!Loadable(dll_path)) return nullptr;
    return std::make_unique<SimUsbPrintDll>(core_);
  }

 private:
  // The library must be on drive C: where the caller looks for it, and not
  // taken away from the machine.
  bool Loadable(WStringView dll_path) {
    Json s;
    ResolvedPath r;
    if (!core_.Read(&s) || !core_.Resolve(s, dll_path, true, &r)) return false;
    if (LibraryMissing(s, U8(dll_path))) return Core::Fail(win32::kErrorModNotFound);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(r.host, ec)) return Core::Fail(win32::kErrorModNotFound);
    return true;
  }

  Core& core_;
};

}  // namespace

std::unique_ptr<UsbLibraries> MakeUsbLibraries(Core& core) { return std::make_unique<SimUsbLibraries>(core); }

}  // namespace kit::sim
