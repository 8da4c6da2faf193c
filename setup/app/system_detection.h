// What the wizard learns about the running Windows: the version record it is
// shown, the OS code, whether Windows is 64-bit, whether the user is an
// administrator, and the language-dependent file names.
//
// The facts are read from the platform in system_facts.cpp and classified
// in system_detection.cpp; this header names neither side's types in full,
// so that product files can include it beside either.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>

namespace kit {
class SystemFacts;
struct OsVersion;
}  // namespace kit

namespace kit::setup {

// The plain values the platform reports: the extended version record and
// the native processor architecture (GetNativeSystemInfo where kernel32
// exports it, else GetSystemInfo).
struct VersionFacts {
  std::uint32_t platform_id = 0;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint8_t product_type = 0;
  std::uint16_t processor_architecture = 0;
};
VersionFacts ReadVersionFacts(SystemFacts& system);
OsVersion ToOsVersion(const VersionFacts& facts);
OsVersion ReadOsVersion(SystemFacts& system);

// OS detection: the OS code of the running Windows. `known_platform` is
// false for a platform that is neither Windows 9x nor NT; the caller then
// tells the user "Message"/IDS_ERR_SYSTEM and goes on with code 0.
struct OsDetection {
  int code = 0;
  bool known_platform = true;
};
OsDetection DetectOs(SystemFacts& system);

// Whether the version is one the wizard refuses at start-up: Windows 98 and
// Me (9x with a minor version), and Windows NT 4.0.
bool IsRefusedWindows(const VersionFacts& version);

// The 64-bit flag: the process runs on 64-bit Windows. IsWow64Process is
// looked up in "<system folder>\kernel32.dll", failing that in
// "kernel32.dll"; a missing entry point means 32-bit, a failing call the
// native processor's width (GetNativeSystemInfo). A native 64-bit build is
// on 64-bit Windows by construction.
bool Detect64BitWindows(SystemFacts& system);

// The administrator test: the token holds the Administrators group.
bool IsAdministrator(SystemFacts& system);

// Language ids that choose the Chinese texts and the shared font.
bool IsChineseLanguage(std::uint16_t language_id);

// The licence and help files chosen by the system language.
std::string LicenceFileName(std::uint16_t language_id);
std::string HelpFileName(std::uint16_t language_id);

}  // namespace kit::setup
