#include "platform/profile_file_source.h"

namespace kit {

std::optional<std::string> PlatformFileSource::Read(std::u16string_view path) const {
  Bytes content;
  if (!files_.ReadFile(path, kMaxProfileFileBytes, &content)) return std::nullopt;
  return std::string(content.begin(), content.end());
}

bool PlatformFileSource::Write(std::u16string_view path, std::string_view bytes) {
  return files_.WriteFile(path, Bytes(bytes.begin(), bytes.end()), WriteMode::kCreateAlways);
}

}  // namespace kit
