// This file is OS-independent.
#include "common/text/plugin_text.h"

namespace kit::plugin {

std::u16string LookupText(const ini::FileSource& files, std::u16string_view text_file_path,
                          std::u16string_view section, std::u16string_view key,
                          std::u16string_view builtin, std::size_t capacity,
                          const ini::ProfileOptions& options) {
  return ini::ReadProfileString(files, text_file_path, section, key, builtin, capacity, options);
}

TextFile::TextFile(const ini::FileSource& files, std::u16string_view text_file_path,
                   const ini::ProfileOptions& options)
    : profile_(ini::LoadProfile(files, text_file_path, options)) {}

std::u16string TextFile::Lookup(std::u16string_view section, std::u16string_view key,
                                std::u16string_view builtin, std::size_t capacity) const {
  return profile_.GetString(section, key, builtin, capacity);
}

}  // namespace kit::plugin
