// The plug-in's language files and the user's language choice.
//
// The driver directory holds the shipped catalogue of languages
// ("LANGUAGE_VRTQ40.DAT") and one text file per language; each user works on
// copies in a folder of their own under the application-data folder
// ("...\Orvant\"), refreshed from the driver's copies by version. The current
// language is a per-user registry value under HKEY_CURRENT_USER
// "SOFTWARE\VELDRAN\LANGUAGE\"; while "IsFirstRun_VRTQ40" is "TRUE" it
// follows the system language at every load of the module.
//
// Nothing here is reported to the user: a missing key, value, catalogue or
// file falls back to "ENG_VRTQ40.res" and the built-in English texts, and a
// failed copy leaves the older per-user copy in use.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/profile_file_source.h"

namespace kit::plugin {

inline constexpr char16_t kCatalogueFileName[] = u"LANGUAGE_VRTQ40.DAT";
inline constexpr char16_t kEnglishTextFile[] = u"ENG_VRTQ40.res";
inline constexpr char16_t kSimplifiedChineseTextFile[] = u"CHN_VRTQ40.res";
inline constexpr char16_t kTraditionalChineseTextFile[] = u"CHF_VRTQ40.res";

inline constexpr char16_t kLanguageKeyPath[] = u"SOFTWARE\\VELDRAN\\LANGUAGE\\";
inline constexpr char16_t kCurrentLanguageValue[] = u"LANGUAGE_VRTQ40";
inline constexpr char16_t kFirstRunValue[] = u"IsFirstRun_VRTQ40";
inline constexpr char16_t kTrue[] = u"TRUE";
inline constexpr char16_t kFalse[] = u"FALSE";

// The per-user folder's name under the application-data folder.
inline constexpr char16_t kUserFolderName[] = u"Orvant";

// Catalogue sections and keys.
inline constexpr char16_t kLanguageSection[] = u"LANGUAGE";
inline constexpr char16_t kCountKey[] = u"COUNT";
inline constexpr char16_t kStartFileKey[] = u"CUR_INI";
inline constexpr char16_t kFileVersionSection[] = u"FILEVER";
inline constexpr char16_t kFileVersionKey[] = u"INIVERSION";

// Names of the choice that follows the system language, in its language.
inline constexpr char16_t kSystemChoiceEnglish[] = u"System Language";
inline constexpr char16_t kSystemChoiceSimplified[] = u"\u7CFB\u7EDF\u8BED\u8A00(System)";    // 系统语言(System)
inline constexpr char16_t kSystemChoiceTraditional[] = u"\u7CFB\u7D71\u8A9E\u8A00(System)";   // 系統語言(System)

// System language ids with their own rule.
inline constexpr std::uint16_t kLangIdChinesePrc = 2052;
inline constexpr std::uint16_t kLangIdChineseTaiwan = 1028;
inline constexpr std::uint16_t kLangIdChineseHongKong = 3076;
inline constexpr std::uint16_t kLangIdChineseSingapore = 4100;

// The text file of a system language: simplified Chinese for the PRC,
// traditional Chinese for Taiwan, Hong Kong and Singapore, English for
// every other.
inline const char16_t* SystemLanguageTextFile(std::uint16_t system_language) {
  if (system_language == kLangIdChinesePrc) return kSimplifiedChineseTextFile;
  if (system_language == kLangIdChineseTaiwan || system_language == kLangIdChineseHongKong ||
      system_language == kLangIdChineseSingapore) {
    return kTraditionalChineseTextFile;
  }
  return kEnglishTextFile;
}

// Capacities (characters, terminator included).
inline constexpr std::size_t kStartFileCapacity = 30;        // "CUR_INI"
inline constexpr std::uint32_t kRegistryStringBytes = 256;   // registry reads
inline constexpr std::size_t kDisplayNameCapacity = 50;      // "Language<i>", "SYSLANG<i>"
inline constexpr std::size_t kTextFileNameCapacity = 20;     // "INI<i>"

// "COUNT" when the catalogue has none, and the most languages kept.
inline constexpr std::uint32_t kDefaultLanguageCount = 2;
inline constexpr std::uint32_t kMaxLanguages = 16;

// "INIVERSION" when absent: a driver copy without one always wins, a user
// copy without one always loses.
inline constexpr std::int32_t kMissingDriverVersion = 99999;
inline constexpr std::int32_t kMissingUserVersion = 0;

// One language of the catalogue.
struct LanguageEntry {
  std::u16string display_name;        // as shown in the "Language:" list
  std::u16string text_file;           // e.g. "CHN_VRTQ40.res"
  std::u16string system_choice_name;  // the system-language choice, in this language
};

// Module-wide language state, shared by every sheet of the process.
struct LanguageState {
  std::u16string user_folder;     // with its trailing backslash
  std::u16string catalogue_path;  // per-user catalogue
  std::u16string current_file;    // current text file name
  std::u16string text_file_path;  // per-user copy of the current text file
  std::u16string system_choice_name;
  std::vector<LanguageEntry> languages;  // as last loaded from the catalogue
};

class LanguageFiles {
 public:
  LanguageFiles(SystemFacts& system, Files& files, Registry& registry);
  explicit LanguageFiles(Platform& platform) : LanguageFiles(platform.system, platform.files, platform.registry) {}

  // Process attach: the per-user folder, the registry values, the
  // system-language rule, and fresh per-user copies of the catalogue and the
  // current text file.
  void SetUp();

  // Re-reads the current language from the registry (another process may
  // have changed it) and rebuilds the text file's path.
  void ReloadCurrentLanguage();

  // Refreshes the per-user catalogue and every listed language's text file
  // from the driver directory, then reads the language table.
  const std::vector<LanguageEntry>& LoadCatalogue();

  // The user picked `selected` in the "Language:" list: a language by its
  // display name (stored, no longer following the system), or the
  // system-language choice (stored, following the system again).
  void ChangeLanguage(std::u16string_view selected);

  // Whether the user follows the system language: "IsFirstRun_VRTQ40"
  // contains "TRUE". A missing value is written as "TRUE" and counts as
  // such; without the key the answer is true, as at process attach.
  bool FollowsSystemLanguage();

  // Records that a device sheet of a printer on `port` opened.
  void RecordPrinterPort(std::u16string_view port);

  // Where the driver's shipped copies are.
  std::u16string DriverDirectory();

  const LanguageState& state() const { return state_; }
  const ini::FileSource& file_source() const { return file_source_; }

 private:
  std::int32_t FileVersion(std::u16string_view path, std::int32_t missing) const;
  // The copy rule: the driver's copy replaces the user's when it is
  // newer or equal by "INIVERSION", or when the user has none.
  void RefreshUserCopy(std::u16string_view file_name, bool only_when_missing = false);
  void SetCurrentFile(std::u16string file);
  void StoreString(RegistryKey& key, std::u16string_view name, std::u16string_view value);
  RegistryKeyPtr OpenLanguageKey();

  SystemFacts& system_;
  Files& files_;
  Registry& registry_;
  PlatformFileSource file_source_;
  LanguageState state_;
};

}  // namespace kit::plugin
