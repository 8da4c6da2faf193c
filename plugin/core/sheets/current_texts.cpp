// This file is OS-independent.
#include "plugin/core/sheets/current_texts.h"

#include "common/strings/capacity.h"

namespace kit::plugin::sheets {

CurrentTexts::CurrentTexts(LanguageFiles* language) {
  if (language == nullptr) return;
  language->ReloadCurrentLanguage();
  file_.emplace(language->file_source(), language->state().text_file_path);
}

std::u16string CurrentTexts::Get(std::u16string_view section, std::u16string_view key, std::u16string_view builtin,
                                 std::size_t capacity) const {
  if (!file_) return CopyCapped(builtin, capacity);
  return file_->Lookup(section, key, builtin, capacity);
}

}  // namespace kit::plugin::sheets
