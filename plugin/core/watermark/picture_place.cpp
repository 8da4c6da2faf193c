// This file is OS-independent.
#include "plugin/core/watermark/picture_place.h"

namespace kit::plugin::watermark_place {
namespace {

constexpr char16_t kNotInNames[] = u"\\/:*?\"<>|";
constexpr char16_t kFirstPrintable = 0x20;

std::u16string WithBackslash(std::u16string_view folder) {
  std::u16string path(folder);
  if (path.back() != u'\\') path += u'\\';
  return path;
}

}  // namespace

bool IsPlainName(std::u16string_view name) {
  // Windows drops a name's trailing dots and spaces ("ann." is "ann", ".."
  // the folder above): such a name would stand for another.
  if (name.empty() || name.back() == u'.' || name.back() == u' ') return false;
  for (char16_t c : name)
    if (c < kFirstPrintable) return false;
  return name.find_first_of(kNotInNames) == std::u16string_view::npos;
}

std::u16string OwnerFolder(std::u16string_view common_app_data, std::u16string_view owner) {
  if (common_app_data.empty() || !IsPlainName(owner) || owner.size() >= kWatermarkOwnerCapacity) return {};
  return WithBackslash(common_app_data) + kPictureFolder + u"\\" + std::u16string(owner);
}

std::u16string PictureIn(std::u16string_view folder, std::u16string_view printer) {
  if (folder.empty() || !IsPlainName(printer)) return {};
  return WithBackslash(folder) + std::u16string(printer) + kPictureSuffix;
}

std::u16string PictureFor(const PrivateDevMode& record, const PictureFolders& folders, std::u16string_view printer) {
  const std::u16string owner = TextOf(record.WatermarkOwner);
  if (owner.empty()) return PictureIn(folders.temp, printer);
  return PictureIn(OwnerFolder(folders.common_app_data, owner), printer);
}

}  // namespace kit::plugin::watermark_place
