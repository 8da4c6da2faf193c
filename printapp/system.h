// The printer application's system: PAPPL's IPP server, web interface and
// spool, created from the server's options (papplMainloop's "-o NAME=VALUE"
// and its configuration files), with the family's drivers, the PDF filter
// and the printers' utility pages.
//
// Options beside PAPPL's usual ones ("server-hostname", "server-port",
// "spool-directory", "log-file", "log-level", "admin-group",
// "auth-service", "server-options"):
//   listen-hostname  the one address to listen on, e.g. 127.0.0.1 (default:
//                    every address of the machine)
//   state-file       where printers and settings are kept between runs
//   file-folder      the one folder `file:` devices may name (default: none,
//                    so `file:` devices are refused); made if missing
//   local-socket     a further local socket, open to the service's group
//                    only (the systemd unit's /run/kvprinter/kvprinter.sock)
//
// Who may administer: the local socket's clients and the loopback always;
// another machine only when "auth-service" names a PAM service, then over
// TLS with a user of "admin-group". Without "auth-service" every other
// machine is refused every administrative page and operation; printing
// stays open to all.
#pragma once

#include <string>

#include <pappl/pappl.h>

namespace kit::printapp {

// What the system is made for: the "server" command serves; the others
// only look at its drivers.
struct SystemUse {
  bool serving = false;
};

// papplMainloop's system callback; `data` is a SystemUse.
pappl_system_t* CreateSystem(int num_options, cups_option_t* options, void* data);

// The server's "file-folder" (empty: `file:` devices are refused).
const std::string& FileDeviceFolder();

// The local socket of PAPPL's main loop, where its commands reach the
// server of this user.
std::string MainloopSocket();

}  // namespace kit::printapp
