// The printer application without an avahi daemon (the usual state on a
// till): DNS-SD is off, said once, and nothing else stops working.
#pragma once

namespace kit::printapp {

// The line that says so; the server logs it, `devices` prints it.
inline constexpr char kDnssdOffLine[] =
    "DNS-SD is off: no avahi daemon runs, so printers are neither announced nor found by DNS-SD.";

// Whether an avahi daemon answers on its socket.
bool AvahiRuns();

// "kvprinter devices" without DNS-SD: the USB and other local devices,
// one URI a line (and its description and device id with -v), then the
// line above on stderr. Exit status 0.
int ListDevicesWithoutDnssd(bool verbose);

}  // namespace kit::printapp
