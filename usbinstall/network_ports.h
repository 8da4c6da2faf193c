// Network virtual serial ports: root-enumerated devices created from the
// first model of the package's INF, with their driver installed once after
// the last one.
// This file is OS-independent.
#pragma once

#include "usbinstall/installer_context.h"

namespace kit::usbinstall {

// The device the package describes: its description and hardware id.
struct RootDeviceModel {
  WString description;
  WString hardware_id;
};

// Field 1 of the first line of [Manufacturer] names the models section; the
// first line there gives the description (field 0) and the hardware id
// (field 2, empty when the line has none). False with the last error of the
// failing lookup.
bool FindRootDeviceModel(InfFile& inf, RootDeviceModel* model);

// The hardware-id property value: the id and two terminating zeros, UTF-16LE.
Bytes HardwareIdProperty(WStringView hardware_id);

// Action 8: creates `device_count` devices and installs their driver. The
// kit's exit status: failed after a failing step (the devices it made are
// removed again), 3010 when Windows must restart for the driver, else done.
int RunNetworkPorts(InstallerContext& context, int device_count);

}  // namespace kit::usbinstall
