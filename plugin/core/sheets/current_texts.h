// The texts of the plug-in's pages in the current language: every sheet
// set-up and every page repaint re-reads the user's language choice (another
// process may have changed it) and looks its texts up in that language's
// file, falling back to the built-in English texts.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/text/plugin_text.h"
#include "plugin/core/language/language_files.h"

namespace kit::plugin::sheets {

class CurrentTexts {
 public:
  // Re-reads the current language of `language` and opens its text file;
  // null gives the built-in texts.
  explicit CurrentTexts(LanguageFiles* language);

  std::u16string Get(std::u16string_view section, std::u16string_view key, std::u16string_view builtin,
                     std::size_t capacity) const;

 private:
  std::optional<TextFile> file_;
};

}  // namespace kit::plugin::sheets
