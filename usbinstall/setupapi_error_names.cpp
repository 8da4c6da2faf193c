// This file is OS-independent.
#include "usbinstall/setupapi_error_names.h"

#include <array>

namespace kit::usbinstall {
namespace {

// Customer bit and error severity, as the setup header builds its codes.
constexpr std::uint32_t kSetupApiBase = 0xE0000000;
constexpr std::uint32_t E(std::uint32_t offset) { return kSetupApiBase | offset; }

constexpr std::array<SetupApiErrorEntry, 57> kNames = {{
    // INF syntax.
    {E(0x000), "ERROR_EXPECTED_SECTION_NAME"},
    {E(0x001), "ERROR_BAD_SECTION_NAME_LINE"},
    {E(0x002), "ERROR_SECTION_NAME_TOO_LONG"},
    {E(0x003), "ERROR_GENERAL_SYNTAX"},
    // INF runtime.
    {E(0x100), "ERROR_WRONG_INF_STYLE"},
    {E(0x101), "ERROR_SECTION_NOT_FOUND"},
    {E(0x102), "ERROR_LINE_NOT_FOUND"},
    {E(0x103), "ERROR_NO_BACKUP"},
    // Device installer.
    {E(0x200), "ERROR_NO_ASSOCIATED_CLASS"},
    {E(0x201), "ERROR_CLASS_MISMATCH"},
    {E(0x202), "ERROR_DUPLICATE_FOUND"},
    {E(0x203), "ERROR_NO_DRIVER_SELECTED"},
    {E(0x204), "ERROR_KEY_DOES_NOT_EXIST"},
    {E(0x205), "ERROR_INVALID_DEVINST_NAME"},
    {E(0x206), "ERROR_INVALID_CLASS"},
    {E(0x207), "ERROR_DEVINST_ALREADY_EXISTS"},
    {E(0x208), "ERROR_DEVINFO_NOT_REGISTERED"},
    {E(0x209), "ERROR_INVALID_REG_PROPERTY"},
    {E(0x20A), "ERROR_NO_INF"},
    {E(0x20B), "ERROR_NO_SUCH_DEVINST"},
    {E(0x20C), "ERROR_CANT_LOAD_CLASS_ICON"},
    {E(0x20D), "ERROR_INVALID_CLASS_INSTALLER"},
    {E(0x20E), "ERROR_DI_DO_DEFAULT"},
    {E(0x20F), "ERROR_DI_NOFILECOPY"},
    {E(0x210), "ERROR_INVALID_HWPROFILE"},
    {E(0x211), "ERROR_NO_DEVICE_SELECTED"},
    {E(0x212), "ERROR_DEVINFO_LIST_LOCKED"},
    {E(0x213), "ERROR_DEVINFO_DATA_LOCKED"},
    {E(0x214), "ERROR_DI_BAD_PATH"},
    {E(0x215), "ERROR_NO_CLASSINSTALL_PARAMS"},
    {E(0x216), "ERROR_FILEQUEUE_LOCKED"},
    {E(0x217), "ERROR_BAD_SERVICE_INSTALLSECT"},
    {E(0x218), "ERROR_NO_CLASS_DRIVER_LIST"},
    {E(0x219), "ERROR_NO_ASSOCIATED_SERVICE"},
    {E(0x21A), "ERROR_NO_DEFAULT_DEVICE_INTERFACE"},
    {E(0x21A), "ERROR_NO_DEFAULT_INTERFACE_DEVICE"},
    {E(0x21B), "ERROR_DEVICE_INTERFACE_ACTIVE"},
    {E(0x21B), "ERROR_INTERFACE_DEVICE_ACTIVE"},
    {E(0x21C), "ERROR_DEVICE_INTERFACE_REMOVED"},
    {E(0x21C), "ERROR_INTERFACE_DEVICE_REMOVED"},
    {E(0x21D), "ERROR_BAD_INTERFACE_INSTALLSECT"},
    {E(0x21E), "ERROR_NO_SUCH_INTERFACE_CLASS"},
    {E(0x21F), "ERROR_INVALID_REFERENCE_STRING"},
    {E(0x220), "ERROR_INVALID_MACHINENAME"},
    {E(0x221), "ERROR_REMOTE_COMM_FAILURE"},
    {E(0x222), "ERROR_MACHINE_UNAVAILABLE"},
    {E(0x223), "ERROR_NO_CONFIGMGR_SERVICES"},
    {E(0x224), "ERROR_INVALID_PROPPAGE_PROVIDER"},
    {E(0x225), "ERROR_NO_SUCH_DEVICE_INTERFACE"},
    {E(0x225), "ERROR_NO_SUCH_INTERFACE_DEVICE"},
    {E(0x226), "ERROR_DI_POSTPROCESSING_REQUIRED"},
    {E(0x227), "ERROR_INVALID_COINSTALLER"},
    {E(0x228), "ERROR_NO_COMPAT_DRIVERS"},
    {E(0x229), "ERROR_NO_DEVICE_ICON"},
    {E(0x22A), "ERROR_INVALID_INF_LOGCONFIG"},
    {E(0x22B), "ERROR_DI_DONT_INSTALL"},
    {E(0x1000), "ERROR_NOT_INSTALLED"},
}};

}  // namespace

std::span<const SetupApiErrorEntry> SetupApiErrorNames() { return kNames; }

std::string_view SetupApiErrorName(std::uint32_t code) {
  for (const auto& entry : kNames) {
    if (entry.code == code) return entry.name;
  }
  return {};
}

}  // namespace kit::usbinstall
