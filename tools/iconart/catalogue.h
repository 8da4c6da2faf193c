// Every piece of the kit's artwork by its file name, and the bytes of its
// file. The resource scripts of the programs and the plug-in name these
// files; the build asks the generator for exactly those names.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "tools/iconart/receipt_pictures.h"

namespace kit::iconart {

// Icon sizes: program icons carry 48 x 48 for large-icon views, the others
// the window and list sizes only.
inline constexpr int kSmallIcon = 16;
inline constexpr int kLargeIcon = 32;
inline constexpr int kExtraLargeIcon = 48;

struct Artwork {
  std::string_view file;
  // An icon: its sizes and glyph. A bitmap: its picture.
  std::vector<int> icon_sizes;
  void (*glyph)(Canvas&) = nullptr;
  ReceiptPicture picture;

  bool IsIcon() const { return glyph != nullptr; }
};

const std::vector<Artwork>& Catalogue();
// The artwork named `file`, or null.
const Artwork* FindArtwork(std::string_view file);
// The images of an icon, in the order of its sizes.
std::vector<Image> RenderIcon(const Artwork& art);
// The whole file: .ico for icons, .bmp for pictures.
std::vector<std::uint8_t> ArtworkFile(const Artwork& art);

}  // namespace kit::iconart
