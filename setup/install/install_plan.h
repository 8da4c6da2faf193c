// Everything the install worker needs, settled on the user-interface
// thread when Install is pressed and read-only to the worker afterwards.
// This file is OS-independent.
#pragma once

#include <string>

#include "platform/spooler.h"
#include "setup/config/model_config.h"
#include "setup/printer/printer_creation.h"
#include "setup/printer/printer_settings.h"

namespace kit::setup {

struct InstallPlan {
  std::string model_name;
  int port_kind = -1;
  std::string chosen_port;   // the port page's name (PRINTERPORT value, serial settings)
  std::string port_name;     // the port the printer uses ("KVIP_…", a shared "USB_VRT-D4_n")
  DriverDescription driver;  // for the flavour of the port
  DriverInfo3 driver_record;
  PrinterRecord printer;
  MonitorSet monitors;
  int processor_version = 0;
  bool unidrv_flag = false;  // copy the Unidrv core files, require DataFileDLLName
  bool set_as_default = false;
  bool keep_existing_printer = false;  // keep a printer of the same name, driver and port
  SerialSettings serial;
};

}  // namespace kit::setup
