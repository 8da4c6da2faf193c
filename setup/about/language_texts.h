// The setup wizard's language texts as its dialogs read them: one text per
// (section, key) of the language file, as bytes in the ANSI code page, empty
// when the file or the key is missing. This file is OS-independent.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "common/ini/profile_file.h"

namespace kit::setup {

class LanguageTexts {
 public:
  virtual ~LanguageTexts() = default;
  virtual std::string Get(std::string_view section, std::string_view key) const = 0;
};

// Texts held in memory: what tests and demos hand to the dialogs.
class MemoryLanguageTexts final : public LanguageTexts {
 public:
  void Set(std::string section, std::string key, std::string value) {
    texts_[{std::move(section), std::move(key)}] = std::move(value);
  }
  std::string Get(std::string_view section, std::string_view key) const override {
    const auto it = texts_.find({std::string(section), std::string(key)});
    return it == texts_.end() ? std::string{} : it->second;
  }

 private:
  std::map<std::pair<std::string, std::string>, std::string> texts_;
};

// Texts of the wizard's language file, fetched as the wizard fetches every
// text (CMyString: at most 2047 characters, the first "\1", "\2", "\3"
// each made a line break).
class FileLanguageTexts final : public LanguageTexts {
 public:
  // `files` must outlive this object.
  FileLanguageTexts(const ini::FileSource& files, std::string language_file, ini::ProfileOptions options = {})
      : files_(files), language_file_(std::move(language_file)), options_(options) {}
  std::string Get(std::string_view section, std::string_view key) const override;

 private:
  const ini::FileSource& files_;
  std::string language_file_;
  ini::ProfileOptions options_;
};

}  // namespace kit::setup
