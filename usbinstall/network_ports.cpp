// This file is OS-independent.
#include "usbinstall/network_ports.h"

#include <vector>

#include "common/exit_codes/exit_codes.h"
#include "usbinstall/action_table.h"
#include "usbinstall/error_box.h"

namespace kit::usbinstall {
namespace {

constexpr std::string_view kDotsLine = ".............................................\r\n";
constexpr std::string_view kFinishLine = "Driver install finish, please plug in TCP printer.\r\n";
constexpr std::string_view kFailedLine = "install failed , please uninstall and restart to install.\r\n";

// Names of the steps, as the error box shows them.
constexpr std::string_view kStepOpenInf = "SetupOpenInfFile";
constexpr std::string_view kStepFindDevice = "search for specified device";
constexpr std::string_view kStepCreateList = "SetupDiCreateDeviceInfoList";
constexpr std::string_view kStepCreateDevice = "SetupDiCreateDeviceInfo or SetupDiSetDeviceRegistryProperty";
constexpr std::string_view kStepRegister = "SetupDiCallClassInstaller(DIF_REGISTERDEVICE)";
constexpr std::string_view kStepUpdate = "UpdateDriverForPlugAndPlayDevices";

constexpr char16_t kManufacturerSection[] = u"Manufacturer";
constexpr std::uint32_t kModelsField = 1;
constexpr std::uint32_t kDescriptionField = 0;
constexpr std::uint32_t kHardwareIdField = 2;

int Fail(InstallerContext& context, std::string_view step) {
  const auto code = context.system.GetLastError();
  ShowErrorBox(context, step, code);
  context.view.AppendProgress(kFailedLine);
  return exit_code::kFailed;
}

}  // namespace

bool FindRootDeviceModel(InfFile& inf, RootDeviceModel* model) {
  InfContext line;
  WString models;
  if (!inf.SetupFindFirstLine(kManufacturerSection, u"", &line)) return false;
  if (!inf.SetupGetStringField(line, kModelsField, &models)) return false;
  if (!inf.SetupFindFirstLine(models, u"", &line)) return false;
  if (!inf.SetupGetStringField(line, kDescriptionField, &model->description)) return false;
  model->hardware_id.clear();
  if (inf.SetupGetFieldCount(line) >= kHardwareIdField) {
    if (!inf.SetupGetStringField(line, kHardwareIdField, &model->hardware_id)) return false;
  }
  return true;
}

Bytes HardwareIdProperty(WStringView hardware_id) {
  Bytes data;
  data.reserve((hardware_id.size() + 2) * 2);
  for (const char16_t c : hardware_id) {
    data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  data.insert(data.end(), 4, 0);  // end of the id, end of the list
  return data;
}

int RunNetworkPorts(InstallerContext& context, int device_count) {
  auto& devices = context.devices;
  const WString inf_path = Wide(context.system, context.program_folder) + u"\\" +
                           Wide(context.system, InfFileOf(ActionKind::kNetworkSerial));

  std::uint32_t error_line = 0;
  InfFileHandle inf = devices.SetupOpenInfFile(inf_path, u"", kInfStyleWin4, &error_line);
  if (!inf) return Fail(context, kStepOpenInf);
  Guid class_guid;
  WString class_name;
  if (!devices.SetupDiGetINFClass(inf_path, &class_guid, &class_name)) return Fail(context, kStepOpenInf);
  if (class_guid.IsNull()) {
    std::vector<Guid> guids;
    if (devices.SetupDiClassGuidsFromName(class_name, &guids) && !guids.empty()) class_guid = guids.front();
  }

  context.view.AppendProgress(kDotsLine);

  RootDeviceModel model;
  if (!FindRootDeviceModel(*inf, &model)) return Fail(context, kStepFindDevice);

  // The devices this run registered: a failure removes them all again, so
  // that no port device is left without its driver.
  struct Made {
    DeviceInfoSetHandle set;
    DeviceInfoData device;
  };
  std::vector<Made> made;
  const auto fail = [&](std::string_view step) {
    const int status = Fail(context, step);
    for (Made& m : made) m.set->SetupDiCallClassInstaller(kDifRemove, m.device);
    return status;
  };
  bool reboot = false;
  for (int repetition = 1; repetition <= device_count; ++repetition) {
    DeviceInfoSetHandle set = devices.SetupDiCreateDeviceInfoList(&class_guid);
    if (!set) return fail(kStepCreateList);

    DeviceInfoData device;
    if (!set->SetupDiCreateDeviceInfo(class_name, class_guid, model.description, kDicdGenerateId, &device) ||
        !set->SetupDiSetDeviceRegistryProperty(&device, kSpdrpHardwareId, HardwareIdProperty(model.hardware_id))) {
      return fail(kStepCreateDevice);  // the unregistered device goes with its set
    }
    if (!set->SetupDiCallClassInstaller(kDifRegisterDevice, device)) return fail(kStepRegister);
    made.push_back({std::move(set), device});

    if (repetition == device_count) {
      if (!devices.UpdateDriverForPlugAndPlayDevices(model.hardware_id, inf_path, kInstallFlagForce, &reboot)) {
        return fail(kStepUpdate);
      }
      context.view.AppendProgress(kDotsLine);
    }
    context.view.AppendProgress(kFinishLine);
  }
  return reboot ? exit_code::kRestartNeeded : exit_code::kDone;
}

}  // namespace kit::usbinstall
