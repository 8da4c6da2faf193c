#include "plugin/core/language/language_files.h"

#include <optional>
#include <utility>

#include "common/ini/profile.h"
#include "common/strings/decimal.h"

namespace kit::plugin {
namespace {

constexpr char16_t kDriverSubfolder64[] = u"\\system32\\spool\\drivers\\x64\\3\\";
constexpr char16_t kDriverSubfolder32[] = u"\\system32\\spool\\drivers\\w32x86\\3\\";

// A REG_SZ value read into a buffer of `bytes` bytes, as far as its
// terminator; nothing when the value is missing, not a string or too long
// for the buffer.
std::optional<std::u16string> ReadString(RegistryKey& key, std::u16string_view name, std::uint32_t bytes) {
  Bytes buffer(bytes, 0);
  std::uint32_t type = 0;
  std::uint32_t size = bytes;
  if (key.QueryValue(name, &type, buffer.data(), &size) != win32::kErrorSuccess) return std::nullopt;
  if (type != kRegSz && type != kRegExpandSz) return std::nullopt;
  std::u16string text;
  for (std::uint32_t i = 0; i + 1 < size && i + 1 < bytes; i += 2) {
    const char16_t c = static_cast<char16_t>(buffer[i] | (buffer[i + 1] << 8));
    if (c == u'\0') break;
    text.push_back(c);
  }
  return text;
}

}  // namespace

LanguageFiles::LanguageFiles(SystemFacts& system, Files& files, Registry& registry)
    : system_(system), files_(files), registry_(registry), file_source_(files) {}

std::u16string LanguageFiles::DriverDirectory() {
  SystemInfo info;
  system_.GetSystemInfo(&info);
  const bool wide = info.processor_architecture == kProcessorArchitectureAmd64 ||
                    info.processor_architecture == kProcessorArchitectureIa64;
  return system_.GetWindowsDirectory() + (wide ? kDriverSubfolder64 : kDriverSubfolder32);
}

RegistryKeyPtr LanguageFiles::OpenLanguageKey() {
  RegistryKeyPtr key;
  if (registry_.RegOpenKeyEx(RootKey::kCurrentUser, kLanguageKeyPath, kKeyAllAccess, &key) !=
      win32::kErrorSuccess) {
    return nullptr;
  }
  return key;
}

void LanguageFiles::StoreString(RegistryKey& key, std::u16string_view name, std::u16string_view value) {
  key.SetString(name, value);  // REG_SZ with its terminator counted
}

void LanguageFiles::SetCurrentFile(std::u16string file) {
  state_.current_file = std::move(file);
  state_.text_file_path = state_.user_folder + state_.current_file;
}

void LanguageFiles::SetUp() {
  // 1. The per-user folder, created when missing.
  std::u16string app_data;
  system_.SHGetSpecialFolderPath(kCsidlAppData, false, &app_data);
  std::u16string folder = app_data + u"\\" + kUserFolderName;
  FindData found;
  if (files_.FindFirstFile(folder, &found) == nullptr) files_.CreateDirectory(folder);
  state_.user_folder = folder + u"\\";
  state_.catalogue_path = state_.user_folder + kCatalogueFileName;

  // 2./3. The current text file from the registry; a new user starts with
  // the catalogue's choice, which is stored.
  RegistryKeyPtr key = OpenLanguageKey();
  if (key == nullptr) {
    RegistryKeyPtr created;
    registry_.RegCreateKeyEx(RootKey::kCurrentUser, kLanguageKeyPath, kKeyAllAccess, &created);
    created.reset();
    key = OpenLanguageKey();
    if (key == nullptr) {
      SetCurrentFile(kEnglishTextFile);
    } else {
      SetCurrentFile(ini::ReadProfileString(file_source_, state_.catalogue_path, kLanguageSection, kStartFileKey,
                                            kEnglishTextFile, kStartFileCapacity));
      StoreString(*key, kCurrentLanguageValue, state_.current_file);
    }
  } else {
    // 4. A missing value gives English, not stored.
    SetCurrentFile(ReadString(*key, kCurrentLanguageValue, kRegistryStringBytes).value_or(kEnglishTextFile));
  }

  // 6. Whether the user follows the system language.
  std::u16string first_run = kTrue;
  if (key != nullptr) {
    if (auto stored = ReadString(*key, kFirstRunValue, kRegistryStringBytes)) {
      first_run = *stored;
    } else {
      StoreString(*key, kFirstRunValue, kTrue);
    }
  }

  // 7. The system-language rule.
  const std::uint16_t system_language = system_.GetSystemDefaultLangID();
  const char16_t* system_file = SystemLanguageTextFile(system_language);
  if (system_file == kSimplifiedChineseTextFile) {
    state_.system_choice_name = kSystemChoiceSimplified;
  } else if (system_file == kTraditionalChineseTextFile) {
    state_.system_choice_name = kSystemChoiceTraditional;
  } else {
    state_.system_choice_name = kSystemChoiceEnglish;
  }
  if (first_run.find(kTrue) != std::u16string::npos) {
    SetCurrentFile(system_file);
    if (key != nullptr) StoreString(*key, kCurrentLanguageValue, state_.current_file);
  }
  key.reset();  // 8.

  // 9./10. Fresh per-user copies.
  RefreshUserCopy(kCatalogueFileName, /*only_when_missing=*/true);
  RefreshUserCopy(state_.current_file);
}

std::int32_t LanguageFiles::FileVersion(std::u16string_view path, std::int32_t missing) const {
  return static_cast<std::int32_t>(
      ini::ReadProfileInt(file_source_, path, kFileVersionSection, kFileVersionKey, missing));
}

void LanguageFiles::RefreshUserCopy(std::u16string_view file_name, bool only_when_missing) {
  const std::u16string user_copy = state_.user_folder + std::u16string(file_name);
  const std::u16string driver_copy = DriverDirectory() + std::u16string(file_name);
  if (files_.GetFileAttributes(user_copy) != kInvalidFileAttributes) {
    if (only_when_missing) return;
    if (FileVersion(driver_copy, kMissingDriverVersion) < FileVersion(user_copy, kMissingUserVersion)) return;
  }
  files_.CopyFile(driver_copy, user_copy, /*fail_if_exists=*/false);
}

void LanguageFiles::ReloadCurrentLanguage() {
  std::optional<std::u16string> stored;
  if (RegistryKeyPtr key = OpenLanguageKey()) stored = ReadString(*key, kCurrentLanguageValue, kRegistryStringBytes);
  SetCurrentFile(stored.value_or(kEnglishTextFile));
}

const std::vector<LanguageEntry>& LanguageFiles::LoadCatalogue() {
  RefreshUserCopy(kCatalogueFileName);
  const ini::Profile catalogue = ini::LoadProfile(file_source_, state_.catalogue_path);
  std::uint32_t count = catalogue.GetInt(kLanguageSection, kCountKey, kDefaultLanguageCount);
  if (count > kMaxLanguages) count = kMaxLanguages;
  state_.languages.clear();
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::u16string index = DecimalText(i);
    LanguageEntry entry;
    entry.display_name = catalogue.GetString(kLanguageSection, u"Language" + index, u"English", kDisplayNameCapacity);
    entry.text_file = catalogue.GetString(kLanguageSection, u"INI" + index, kEnglishTextFile, kTextFileNameCapacity);
    entry.system_choice_name =
        catalogue.GetString(kLanguageSection, u"SYSLANG" + index, kSystemChoiceEnglish, kDisplayNameCapacity);
    state_.languages.push_back(std::move(entry));
  }
  for (const LanguageEntry& entry : state_.languages) RefreshUserCopy(entry.text_file);
  return state_.languages;
}

void LanguageFiles::ChangeLanguage(std::u16string_view selected) {
  RegistryKeyPtr key = OpenLanguageKey();
  if (key == nullptr) return;
  for (const LanguageEntry& entry : state_.languages) {
    if (entry.display_name == selected) {
      StoreString(*key, kCurrentLanguageValue, entry.text_file);
      StoreString(*key, kFirstRunValue, kFalse);
    }
  }
  for (const LanguageEntry& entry : state_.languages) {
    if (entry.system_choice_name == selected) {
      StoreString(*key, kCurrentLanguageValue, entry.text_file);
      StoreString(*key, kFirstRunValue, kTrue);
    }
  }
  key.reset();
  ReloadCurrentLanguage();
}

bool LanguageFiles::FollowsSystemLanguage() {
  RegistryKeyPtr key = OpenLanguageKey();
  if (key == nullptr) return true;
  const std::optional<std::u16string> stored = ReadString(*key, kFirstRunValue, kRegistryStringBytes);
  if (!stored) {
    StoreString(*key, kFirstRunValue, kTrue);
    return true;
  }
  return stored->find(kTrue) != std::u16string::npos;
}

void LanguageFiles::RecordPrinterPort(std::u16string_view port) {
  if (RegistryKeyPtr key = OpenLanguageKey()) StoreString(*key, port, kCurrentLanguageValue);
}

}  // namespace kit::plugin
