// This file is OS-independent.
#include "setup/quiet/quiet_options.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>

namespace kit::setup::quiet {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == Lower(prefix);
}

template <std::size_t N>
std::string Choices(const std::array<std::string_view, N>& values) {
  std::string out;
  for (std::string_view v : values) out += (out.empty() ? "" : ", ") + std::string(v);
  return out;
}

template <std::size_t N>
int IndexOf(const std::array<std::string_view, N>& values, std::string_view value) {
  for (std::size_t i = 0; i < N; ++i)
    if (values[i] == Lower(value)) return static_cast<int>(i);
  return -1;
}

// Four decimal numbers 0-255 separated by dots.
bool IsDottedAddress(std::string_view text) {
  int parts = 0;
  std::size_t i = 0;
  while (true) {
    std::size_t digits = 0;
    int value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && digits < 4) {
      value = value * 10 + (text[i] - '0');
      ++i, ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return false;
    ++parts;
    if (i == text.size()) return parts == 4;
    if (text[i] != '.' || parts == 4) return false;
    ++i;
  }
}

}  // namespace

bool QuietOptions::PortIsUsb() const { return Lower(port) == Lower(kUsbPortOption) || StartsWithNoCase(port, "USB_"); }
bool QuietOptions::PortIsNetwork() const { return Lower(port) == Lower(kNetworkPortOption); }
bool QuietOptions::PortIsSerial() const { return Lower(port).find("com") != std::string::npos; }

bool WantsQuietOrHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& a) { return a == "--quiet" || a == "--help" || a == "/?"; });
}

bool ParseQuietOptions(const std::vector<std::string>& args, QuietOptions* o, std::string* error) {
  *o = QuietOptions{};
  std::vector<std::string> given;
  auto fail = [&](const std::string& option, const std::string& why) {
    *error = option + ": " + why;
    return false;
  };
  // Options that take a value, each with its reader; a reader returns an
  // error text or "".
  using Reader = std::function<std::string(const std::string&)>;
  const std::map<std::string, Reader> valued = {
      {"--series",
       [&](const std::string& v) {
         const int i = IndexOf(kSeriesNames, v);
         if (i < 0) return "\"" + v + "\" is not a series (" + Choices(kSeriesNames) + ")";
         o->series = i;
         return std::string();
       }},
      {"--model", [&](const std::string& v) { o->model = v; return std::string(); }},
      {"--mode",
       [&](const std::string& v) {
         if (Lower(v) != "typical" && Lower(v) != "advanced") return "\"" + v + "\" is not typical or advanced";
         o->advanced = Lower(v) == "advanced";
         return std::string();
       }},
      {"--port", [&](const std::string& v) { o->port = v; return std::string(); }},
      {"--ip",
       [&](const std::string& v) {
         if (!IsDottedAddress(v)) return "\"" + v + "\" is not an IPv4 address (four numbers 0-255 with dots)";
         o->ip = v;
         return std::string();
       }},
      {"--usb-port",
       [&](const std::string& v) {
         if (v.size() != 1 || v[0] < '0' + kFirstUsbPort || v[0] > '0' + kLastUsbPort)
           return "\"" + v + "\" is not a USB port index (1-4)";
         o->usb_port = v[0] - '0';
         return std::string();
       }},
      {"--baud",
       [&](const std::string& v) {
         if (IndexOf(kBaudValues, v) < 0) return "\"" + v + "\" is not a rate the port page offers (" + Choices(kBaudValues) + ")";
         o->baud = v;
         return std::string();
       }},
      {"--parity",
       [&](const std::string& v) {
         const int i = IndexOf(kParityNames, v);
         if (i < 0) return "\"" + v + "\" is not a parity (" + Choices(kParityNames) + ")";
         o->parity = i;
         return std::string();
       }},
      {"--data-bits",
       [&](const std::string& v) {
         if (IndexOf(kDataBitsValues, v) < 0) return "\"" + v + "\" is not a data-bit count (" + Choices(kDataBitsValues) + ")";
         o->data_bits = v;
         return std::string();
       }},
      {"--stop-bits",
       [&](const std::string& v) {
         if (IndexOf(kStopBitsValues, v) < 0) return "\"" + v + "\" is not a stop-bit count (" + Choices(kStopBitsValues) + ")";
         o->stop_bits = v;
         return std::string();
       }},
      {"--flow",
       [&](const std::string& v) {
         int i = IndexOf(kFlowNames, v);
         if (Lower(v) == kFlowXonXoffShort) i = 1;
         if (i < 0) return "\"" + v + "\" is not a flow control (" + Choices(kFlowNames) + ")";
         o->flow = i;
         return std::string();
       }},
      {"--raster",
       [&](const std::string& v) {
         if (Lower(v) != "on" && Lower(v) != "off") return "\"" + v + "\" is not on or off";
         o->raster = Lower(v) == "on";
         return std::string();
       }},
      {"--usb-id",
       [&](const std::string& v) {
         if (Lower(v) != "keep" && Lower(v) != "rewrite") return "\"" + v + "\" is not keep or rewrite";
         o->rewrite_usb_id = Lower(v) == "rewrite";
         return std::string();
       }},
      {"--log", [&](const std::string& v) { o->log_file = v; return std::string(); }},
      {"--record", [&](const std::string& v) { o->record_file = v; return std::string(); }},
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "/?") {
      o->help = true;
      continue;
    }
    if (a == "--quiet") o->quiet = true;
    else if (a == "--accept-licence" || a == "--accept-license") o->accept_licence = true;
    else if (a == "--set-default") o->set_default = true;
    else if (a == "--keep-existing") o->keep_existing = true;
    else if (auto it = valued.find(a); it != valued.end()) {
      if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) return fail(a, "needs a value");
      if (std::find(given.begin(), given.end(), a) != given.end()) return fail(a, "is given twice");
      given.push_back(a);
      if (args[++i].empty()) continue;  // the page's own choice
      if (const std::string why = it->second(args[i]); !why.empty()) return fail(a, why);
      continue;
    } else {
      return fail(a, "is not an option of kitsetup (kitsetup --help lists them)");
    }
    given.push_back(a);
  }
  if (o->help) return true;
  if (!o->quiet) return fail(given.empty() ? "--quiet" : given.front(), "needs --quiet");

  // Options that contradict each other or the port they go with.
  if (!o->ip.empty() && !o->PortIsNetwork()) return fail("--ip", "goes with --port NET: only");
  if (o->PortIsNetwork() && o->ip.empty()) return fail("--port \"NET:\"", "needs --ip ADDRESS");
  if (o->usb_port && !o->PortIsUsb()) return fail("--usb-port", "goes with --port USB only");
  // A port named in full carries its index ("USB_VRT-Q40_2"): another one
  // given beside it contradicts it.
  if (o->usb_port && o->port.size() > kUsbPortOption.size() &&
      o->port.substr(o->port.size() - 2) != "_" + std::to_string(*o->usb_port))
    return fail("--usb-port", "contradicts --port \"" + o->port + "\"");
  if (o->usb_port && *o->usb_port != kFirstUsbPort && o->advanced != true)
    return fail("--usb-port", "ports other than 1 need --mode advanced");
  if (o->SerialSettingGiven() && !o->port.empty() && !o->PortIsSerial())
    return fail("--port \"" + o->port + "\"", "has no serial settings (--baud, --parity, --data-bits, --stop-bits, --flow)");
  if (o->rewrite_usb_id && !o->port.empty() && !o->PortIsUsb()) return fail("--usb-id", "goes with --port USB only");
  if (!o->accept_licence)
    return fail("--accept-licence",
                "is required: a quiet install accepts the kit's licence agreement (License_*.txt in the kit "
                "folder) on the user's behalf");
  return true;
}

}  // namespace kit::setup::quiet
