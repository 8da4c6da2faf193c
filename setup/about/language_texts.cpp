#include "setup/about/language_texts.h"

#include "common/text/setup_string.h"

namespace kit::setup {

std::string FileLanguageTexts::Get(std::string_view section, std::string_view key) const {
  // The fetch fills a buffer shared by every reader: copy it out at once.
  const CMyString reader(files_, language_file_, std::string(section), options_);
  return std::string(reader.Get(key));
}

}  // namespace kit::setup
