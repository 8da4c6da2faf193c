#include "tests/setup/usb/usb_machine.h"

#include <cstdio>

#include "platform/sim/missing_exports.h"
#include "platform/sim/store.h"

namespace kit::setup::testing {
namespace {

std::string Hex4(unsigned v) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", v & 0xFFFF);
  return text;
}

}  // namespace

UsbMachine::UsbMachine(const std::string& preset) : EngineMachine(preset) {
  Put("C:\\kit\\KvUsbInt.dll", "stand-in");
  Put("C:\\kit\\USBPrintDll.dll", "stand-in");
}

void UsbMachine::Plug(const PluggedPrinter& printer) {
  Change([&](sim::Json& s) {
    auto& dev = s["devices"];
    const std::uint32_t inst = dev.value("next_inst", 2u);
    const std::string base = "USB\\VID_7A5C&PID_" + Hex4(printer.pid);
    sim::Json ids = sim::Json::array();
    for (const auto& id : printer.ids) ids.push_back(id);
    if (ids.empty()) ids = {base + "&REV_" + Hex4(printer.release), base};
    sim::Json usb = {{"vid", 0x7A5C}, {"pid", printer.pid},         {"release", printer.release},
                     {"kvusb", printer.kvusb}, {"writes", sim::Json::array()}};
    if (!printer.enum_text.empty()) usb["enum_text"] = printer.enum_text;
    dev["list"].push_back({{"inst", inst},
                           {"instance_id", base + "\\" + std::to_string(inst)},
                           {"hardware_ids", ids},
                           {"class", "USB"},
                           {"plugged", true},
                           {"installed", true},
                           {"usb", usb}});
    dev["next_inst"] = inst + 1;
  });
}

std::vector<unsigned> UsbMachine::Releases() {
  std::vector<unsigned> out;
  const sim::Json state = State();
  for (const auto& d : state["devices"]["list"])
    if (d.contains("usb")) out.push_back(d["usb"].value("release", 0u));
  return out;
}

std::vector<std::vector<std::string>> UsbMachine::Writes() {
  std::vector<std::vector<std::string>> out;
  const sim::Json state = State();
  for (const auto& d : state["devices"]["list"]) {
    if (!d.contains("usb")) continue;
    out.emplace_back();
    for (const auto& w : d["usb"]["writes"]) out.back().push_back(w.value("data", std::string()));
  }
  return out;
}

void UsbMachine::SetDeviceNameKey(const std::string& key, const std::string& value) {
  const std::string path = "C:\\kit\\DRVCONFIG\\setup.ini";
  std::string text = Content(path);
  const std::string line = key + "=";
  const std::size_t at = text.find(line);
  if (at == std::string::npos) {
    const std::size_t section = text.find("[DEVICENAME]");
    const std::size_t after = text.find('\n', section) + 1;
    text.insert(after, line + value + "\r\n");
  } else {
    const std::size_t end = text.find_first_of("\r\n", at);
    text.replace(at, end - at, line + value);
  }
  Put(path, text);
}

void UsbMachine::Missing(const std::string& name) {
  Change([&](sim::Json& s) { sim::MarkMissing(s, name); });
}

void UsbMachine::SetFileVersion(const std::string& windows_path, const std::string& version) {
  Change([&](sim::Json& s) {
    s["files"][sim::UpperKey(FromUtf8(windows_path))]["version"] = {
        {"file_version", version},
        {"translations", sim::Json::array({sim::Json::array({0x0409, 0x04B0})})},
        {"strings", {{"040904b0", {{"FileVersion", version}}}}}};
  });
}

std::vector<std::string> UsbMachine::Launches() {
  std::vector<std::string> out;
  const sim::Json state = State();
  for (const auto& l : state["launches"])
    out.push_back(l.value("file", std::string()) + "|" + l.value("parameters", std::string()) + "|" +
                  l.value("verb", std::string()) + "|" + std::to_string(l.value("show", 0)));
  return out;
}

}  // namespace kit::setup::testing
