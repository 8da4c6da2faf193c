// Devices: SetupAPI (device sets, INF files, driver store, cabinets),
// newdev (UpdateDriverForPlugAndPlayDevices) and the configuration manager
// (CM_Locate_DevNode, CM_Reenumerate_DevNode).
//
// SetupAPI calls return false and set the last error (SetupAPI codes are
// 0xE0000000 and up, e.g. kErrorNoSuchDevinst); CM_ calls return a CONFIGRET.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/types.h"

namespace kit {

// SetupDiGetClassDevs flags.
inline constexpr std::uint32_t kDigcfDefault = 0x01;
inline constexpr std::uint32_t kDigcfPresent = 0x02;
inline constexpr std::uint32_t kDigcfAllClasses = 0x04;
inline constexpr std::uint32_t kDigcfProfile = 0x08;
inline constexpr std::uint32_t kDigcfDeviceInterface = 0x10;

// Device registry properties (SPDRP_…).
inline constexpr std::uint32_t kSpdrpDeviceDesc = 0x00;
inline constexpr std::uint32_t kSpdrpHardwareId = 0x01;
inline constexpr std::uint32_t kSpdrpCompatibleIds = 0x02;
inline constexpr std::uint32_t kSpdrpClass = 0x07;
inline constexpr std::uint32_t kSpdrpClassGuid = 0x08;
inline constexpr std::uint32_t kSpdrpDriver = 0x09;
inline constexpr std::uint32_t kSpdrpMfg = 0x0B;
inline constexpr std::uint32_t kSpdrpFriendlyName = 0x0C;

// Class installer functions (DIF_…).
inline constexpr std::uint32_t kDifRemove = 0x05;
inline constexpr std::uint32_t kDifRegisterDevice = 0x19;

// SetupDiCreateDeviceInfo flags.
inline constexpr std::uint32_t kDicdGenerateId = 0x1;

// UpdateDriverForPlugAndPlayDevices flags.
inline constexpr std::uint32_t kInstallFlagForce = 0x1;

// SetupCopyOEMInf.
inline constexpr std::uint32_t kSpostNone = 0;
inline constexpr std::uint32_t kSpostPath = 1;
inline constexpr std::uint32_t kSpCopyReplaceOnly = 0x0002;
inline constexpr std::uint32_t kSpCopyNoOverwrite = 0x0008;

// SetupOpenInfFile styles.
inline constexpr std::uint32_t kInfStyleOldNt = 0x1;
inline constexpr std::uint32_t kInfStyleWin4 = 0x2;

// CM_Locate_DevNode flags.
inline constexpr std::uint32_t kCmLocateDevnodeNormal = 0x0;
inline constexpr std::uint32_t kCmReenumerateNormal = 0x0;

// SP_DEVINFO_DATA.
struct DeviceInfoData {
  Guid class_guid;
  std::uint32_t dev_inst = 0;
};

// A device information set (SetupDiGetClassDevs or
// SetupDiCreateDeviceInfoList); SetupDiDestroyDeviceInfoList on destruction.
// Devices created in the set and not registered are dropped with it.
class DeviceInfoSet {
 public:
  virtual ~DeviceInfoSet() = default;

  // SetupDiEnumDeviceInfo: false with kErrorNoMoreItems past the end.
  virtual bool SetupDiEnumDeviceInfo(std::uint32_t index, DeviceInfoData* device) = 0;
  // SetupDiGetDeviceRegistryProperty (W): `buffer` receives up to
  // buffer_size bytes of the value (multi-strings keep their embedded and
  // final terminators). *required_size always receives the full size in
  // bytes; a short buffer fails with kErrorInsufficientBuffer. A property
  // the device lacks fails with kErrorInvalidData.
  virtual bool SetupDiGetDeviceRegistryProperty(const DeviceInfoData& device, std::uint32_t property,
                                                std::uint32_t* reg_type, Bytes* buffer, std::uint32_t buffer_size,
                                                std::uint32_t* required_size) = 0;
  // SetupDiSetDeviceRegistryProperty (W), data in UTF-16LE.
  virtual bool SetupDiSetDeviceRegistryProperty(DeviceInfoData* device, std::uint32_t property,
                                                const Bytes& data) = 0;
  // SetupDiCreateDeviceInfo(name or class name with kDicdGenerateId, class,
  // description, no parent window, flags).
  virtual bool SetupDiCreateDeviceInfo(WStringView device_name, const Guid& class_guid, WStringView description,
                                       std::uint32_t flags, DeviceInfoData* device) = 0;
  // SetupDiCallClassInstaller(function, set, device): kDifRegisterDevice
  // makes a created device a root-enumerated device of the tree;
  // kDifRemove removes the device.
  virtual bool SetupDiCallClassInstaller(std::uint32_t function, const DeviceInfoData& device) = 0;
};
using DeviceInfoSetHandle = std::unique_ptr<DeviceInfoSet>;

// INFCONTEXT: a position in an open INF file.
struct InfContext {
  std::uint32_t section = 0;
  std::uint32_t line = 0;
};

// An INF file opened with SetupOpenInfFile; SetupCloseInfFile on destruction.
class InfFile {
 public:
  virtual ~InfFile() = default;
  // SetupFindFirstLine(section, key or empty for the first line):
  // kErrorLineNotFound when the section has no such line (or is missing).
  virtual bool SetupFindFirstLine(WStringView section, WStringView key, InfContext* context) = 0;
  // SetupFindNextLine: the next line of the same section.
  virtual bool SetupFindNextLine(const InfContext& current, InfContext* next) = 0;
  // SetupGetFieldCount: fields after the key (the key is field 0).
  virtual std::uint32_t SetupGetFieldCount(const InfContext& context) = 0;
  // SetupGetStringField(index): strings substituted from [Strings].
  // kErrorInvalidParameter for an index past the last field.
  virtual bool SetupGetStringField(const InfContext& context, std::uint32_t index, WString* value) = 0;
};
using InfFileHandle = std::unique_ptr<InfFile>;

// One member of a cabinet, offered to the SetupIterateCabinet callback.
struct CabinetMember {
  WString name;           // as stored in the cabinet
  std::uint64_t size = 0;
};
// The callback returns the full target path to extract the member to, or
// nullopt to skip it.
using CabinetCallback = std::function<std::optional<WString>(const CabinetMember&)>;

class Devices {
 public:
  virtual ~Devices() = default;

  // SetupDiGetClassDevs(class or null, enumerator or empty, no window, flags).
  // Null with the last error on failure.
  virtual DeviceInfoSetHandle SetupDiGetClassDevs(const Guid* class_guid, WStringView enumerator,
                                                  std::uint32_t flags) = 0;
  virtual DeviceInfoSetHandle SetupDiCreateDeviceInfoList(const Guid* class_guid) = 0;

  // UpdateDriverForPlugAndPlayDevices(no window or a window, hardware id,
  // INF path, flags, &reboot): binds the INF's driver to every present
  // device with this hardware id (compared case-insensitively).
  // kErrorNoSuchDevinst when none is present, kErrorFileNotFound when the
  // INF is missing, kErrorInWow64 for a 32-bit process on 64-bit Windows.
  virtual bool UpdateDriverForPlugAndPlayDevices(WStringView hardware_id, WStringView inf_path,
                                                 std::uint32_t flags, bool* reboot_required) = 0;
  // SetupCopyOEMInf(source INF, media location, media type, copy style,
  // destination buffer of 256 characters, …): copies the INF into the
  // driver store as "oem<n>.inf" in the Windows "inf" folder. With
  // kSpCopyNoOverwrite an INF already in the store fails with
  // kErrorFileExists (the destination name is still returned); with
  // kSpCopyReplaceOnly an INF not yet in the store fails with
  // kErrorFileNotFound.
  virtual bool SetupCopyOEMInf(WStringView source_inf, WStringView media_location, std::uint32_t media_type,
                               std::uint32_t copy_style, WString* destination_name) = 0;

  // SetupOpenInfFile(path, class or empty, style). Null with the last error.
  virtual InfFileHandle SetupOpenInfFile(WStringView path, WStringView inf_class, std::uint32_t style,
                                         std::uint32_t* error_line) = 0;
  // SetupDiGetINFClass(path): the class GUID (null when the INF names none)
  // and the class name.
  virtual bool SetupDiGetINFClass(WStringView inf_path, Guid* class_guid, WString* class_name) = 0;
  // SetupDiClassGuidsFromName: the GUIDs registered for a class name.
  virtual bool SetupDiClassGuidsFromName(WStringView class_name, std::vector<Guid>* guids) = 0;
  // SetupIterateCabinet: offers every member in order; false with the last
  // error when the file is not a cabinet or cannot be read.
  virtual bool SetupIterateCabinet(WStringView cabinet_path, const CabinetCallback& callback) = 0;

  // Configuration manager, looked up in "cfgmgr32.dll" at run time by the
  // kit: whether the two entry points exist.
  virtual bool HasConfigManager() = 0;
  // CM_Locate_DevNode(&dev_inst, device id or empty for the root, flags).
  virtual win32::ConfigRet CM_Locate_DevNode(std::uint32_t* dev_inst, WStringView device_id,
                                             std::uint32_t flags) = 0;
  // CM_Reenumerate_DevNode(dev_inst, flags): newly present devices appear.
  virtual win32::ConfigRet CM_Reenumerate_DevNode(std::uint32_t dev_inst, std::uint32_t flags) = 0;
};

}  // namespace kit
