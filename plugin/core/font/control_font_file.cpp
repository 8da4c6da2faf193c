// This file is OS-independent.
#include "plugin/core/font/control_font_file.h"

#include "common/ini/profile_edit.h"
#include "platform/profile_file_source.h"

namespace kit::plugin::font {

std::u16string ControlFontPath(std::u16string_view windows_directory) {
  std::u16string path(windows_directory);
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  return path + kControlFontFolder + kControlFontFileName;
}

std::u16string ControlFontKey(int code) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string key;
  do {
    key.insert(key.begin(), kDigits[code % 16]);
    code /= 16;
  } while (code > 0);
  return key;
}

namespace {

ControlFontTexts LoadCapped(const ini::FileSource& files, std::u16string_view path, bool whole) {
  const ini::Profile profile = ini::LoadProfile(files, path);
  ControlFontTexts texts;
  for (int i = 0; i < kControlCodeCount; ++i) {
    const std::u16string key = ControlFontKey(kFirstControlCode + i);
    // Room for the whole value and its terminator, as a caller that first
    // asks for the value's length would give.
    const auto value = profile.FindValue(kControlFontSection, key);
    const std::size_t capacity = whole ? (value ? value->size() : 0) + 1 : kCommandTextCapacity;
    texts[i] = profile.GetString(kControlFontSection, key, u"", capacity);
  }
  return texts;
}

}  // namespace

ControlFontTexts LoadControlFontTexts(const ini::FileSource& files, std::u16string_view path) {
  return LoadCapped(files, path, false);
}

ControlFontTexts LoadControlFontValues(const ini::FileSource& files, std::u16string_view path) {
  return LoadCapped(files, path, true);
}

std::string ControlFontFileBytes(const ControlFontTexts& texts) {
  std::string bytes;
  for (int i = 0; i < kControlCodeCount; ++i) {
    if (texts[i].empty()) continue;
    bytes = ini::EditProfile(bytes, kControlFontSection, ControlFontKey(kFirstControlCode + i),
                             std::u16string_view{texts[i]})
                .bytes;
  }
  return bytes;
}

bool SaveControlFontTable(Files& files, std::u16string_view path, const ControlFontTexts& texts) {
  const std::string bytes = ControlFontFileBytes(texts);
  if (bytes.empty()) {
    // Nothing to keep: no file, as before. A file that is already gone is fine.
    if (files.GetFileAttributes(path) == kInvalidFileAttributes) return true;
    return files.DeleteFile(path);
  }
  const auto slash = path.find_last_of(u'\\');
  const std::u16string temp =
      std::u16string(path.substr(0, slash == std::u16string_view::npos ? 0 : slash + 1)) + kControlFontTempName;
  PlatformFileSource source(files);
  if (source.Write(temp, bytes) && files.MoveFileReplace(temp, path)) return true;
  files.DeleteFile(temp);
  return false;
}

}  // namespace kit::plugin::font
