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
#pragma once

#include <pappl/pappl.h>

namespace kit::printapp {

// What the system is made for: the "server" command serves; the others
// only look at its drivers.
struct SystemUse {
  bool serving = false;
};

// papplMainloop's system callback; `data` is a SystemUse.
pappl_system_t* CreateSystem(int num_options, cups_option_t* options, void* data);

}  // namespace kit::printapp
