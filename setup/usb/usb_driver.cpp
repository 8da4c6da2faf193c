#include "setup/usb/usb_driver.h"

#include <cstdio>

#include "common/oscode/os_code.h"
#include "setup/app/redirection_guard.h"
#include "setup/app/system_detection.h"
#include "setup/usb/usb_queries.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

constexpr char kFileVersionPath[] = "\\StringFileInfo\\%04x%04x\\FileVersion";
constexpr char16_t kOpenVerb[] = u"open";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

VersionFields ParseVersionFields(std::string_view text) {
  VersionFields fields{};
  std::size_t i = 0;
  for (std::size_t f = 0; f < fields.size() && i < text.size(); ++f) {
    while (i < text.size() && text[i] == ' ') ++i;
    unsigned long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      // A field beyond any real version saturates instead of wrapping.
      value = value > 0xFFFFFFFFul / 10 ? 0xFFFFFFFFul : value * 10 + static_cast<unsigned long>(text[i] - '0');
    }
    fields[f] = value;
    // Skip to past the next separator.
    while (i < text.size() && text[i] != '.' && text[i] != ',') ++i;
    if (i < text.size()) ++i;
  }
  return fields;
}

int CompareUsbDriverVersions(std::string_view installed, std::string_view package) {
  if (installed == package) return kUsbDriverCurrent;
  const VersionFields have = ParseVersionFields(installed);
  if (have == VersionFields{}) return kUsbDriverNotInstalled;
  return have < ParseVersionFields(package) ? kUsbDriverOlder : kUsbDriverCurrent;
}

std::string ReadFileVersionText(Files& files, WStringView path) {
  FileVersionInfo info;
  if (!files.GetFileVersionInfo(path, &info) || info.translations.empty()) return kNoDriverVersion;
  char block[64];
  std::snprintf(block, sizeof block, kFileVersionPath, info.translations[0].language,
                info.translations[0].code_page);
  WString value;
  if (!info.QueryString(FromUtf8(block), &value)) return kNoDriverVersion;
  return ui::ToAnsi(value);
}

std::string UsbDriverFolder(const UsbEnv& env) {
  return env.package_folder + (env.is_64bit ? kUsbDriverFolder64 : kUsbDriverFolder32);
}

std::string InstalledUsbDriverVersion(const UsbEnv& env, UsbPrompts& prompts) {
  Platform& p = env.platform;
  const WString path = p.system.GetWindowsDirectory() + WString(kInstalledUsbDriver);
  RedirectionGuard guard(p.system, p.files, env.is_64bit,
                         [&](std::u16string_view text) { prompts.Notice(ui::ToAnsi(text)); });
  return ReadFileVersionText(p.files, path);
}

int CheckUsbDriverVersion(const UsbEnv& env, UsbPrompts& prompts) {
  const std::string package =
      ReadFileVersionText(env.platform.files, ui::FromAnsi(UsbDriverFolder(env) + kUsbDriverFile));
  return CompareUsbDriverVersions(InstalledUsbDriverVersion(env, prompts), package);
}

void StartUsbInstaller(const UsbEnv& env, std::string_view parameters) {
  ShellExecuteRequest start;
  start.verb = kOpenVerb;
  start.file = ui::FromAnsi(UsbDriverFolder(env) + kUsbInstaller);
  start.parameters = ui::FromAnsi(parameters);
  start.show_command = kSwShowNormal;
  env.platform.shell.ShellExecute(start);
}

bool InstallUsbDriverIfNeeded(const UsbEnv& env, UsbPrompts& prompts) {
  const int os = DetectOs(env.platform.system).code;
  if (os == kOsWin9x || os == kOsNt4) return false;
  if (CheckUsbDriverVersion(env, prompts) == kUsbDriverCurrent) return false;
  const std::string folder = UsbDriverFolder(env);
  Files& files = env.platform.files;
  files.SetFileAttributes(ui::FromAnsi(folder + kUsbDriverFile), kFileAttributeArchive);
  files.SetFileAttributes(ui::FromAnsi(folder + kUsbDriverInf), kFileAttributeArchive);
  StartUsbInstaller(env, kInstallUsbDriverAction);
  for (std::uint32_t pause : kUsbDriverInstallPauses) env.platform.clock.Sleep(pause);
  return true;
}

}  // namespace kit::setup
